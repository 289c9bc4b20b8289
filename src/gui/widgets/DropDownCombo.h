#pragma once
// A pick-only drop-down list that announces, just before its list opens, that
// it is about to open, so its owner can refill the entries first.
#include <QComboBox>
#include <QStringList>

namespace zelv {

class DropDownCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit DropDownCombo(QWidget* parent = nullptr);

    // Replaces the entries by `items` in ascending order (case-insensitive,
    // as the platform's sorted lists compare), keeping the current text
    // selected when it is still among them, else selecting nothing.
    void setSortedItems(const QStringList& items);

    void showPopup() override;

  signals:
    // Emitted by showPopup() before the list is shown.
    void aboutToShowPopup();
};

} // namespace zelv
