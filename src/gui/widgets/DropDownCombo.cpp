#include "gui/widgets/DropDownCombo.h"

namespace zelv {

DropDownCombo::DropDownCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void DropDownCombo::setSortedItems(const QStringList& items) {
    const QString keep = currentText();
    QStringList sorted = items;
    sorted.sort(Qt::CaseInsensitive);
    const QSignalBlocker block(this);
    clear();
    addItems(sorted);
    setCurrentIndex(keep.isEmpty() ? -1 : findText(keep));
}

void DropDownCombo::showPopup() {
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

} // namespace zelv
