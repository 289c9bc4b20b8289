#include "gui/widgets/LimitedEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

namespace zelv {

LimitedEdit::LimitedEdit(int typingLimit, QWidget* parent) : QLineEdit(parent), limit_(typingLimit) {
    // The menu's Paste and dropped text would bypass the limit.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void LimitedEdit::keyPressEvent(QKeyEvent* event) {
    const int room = limit_ - static_cast<int>(text().size()) + static_cast<int>(selectedText().size());
    if (event->matches(QKeySequence::Paste)) {
        QString pasted = QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), 0, 0);
        if (room > 0) insert(pasted.left(room));
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    if (printable && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && room < typed.size()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace zelv
