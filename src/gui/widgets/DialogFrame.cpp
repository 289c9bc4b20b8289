#include "gui/widgets/DialogFrame.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace zelv {

namespace {

// Window managers that iconify a dialog with the window it belongs to
// (openbox does, whatever the dialog asks for) would leave nothing on the
// screen: the dialog comes straight back, and its owner with it.
class StayOnScreen : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowStateChange && dialog && dialog->isMinimized()) {
            QPointer<QWidget> guarded(dialog);
            QTimer::singleShot(0, dialog, [guarded] {
                if (!guarded) return;
                QWidget* owner = guarded->parentWidget() ? guarded->parentWidget()->window() : nullptr;
                for (QWidget* w : {owner, guarded.data()}) {
                    if (!w) continue;
                    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                    w->show();
                }
                guarded->raise();
                guarded->activateWindow();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

void KeepOnScreen(QWidget* dialog) {
    if (!dialog->findChild<StayOnScreen*>(QString(), Qt::FindDirectChildrenOnly))
        dialog->installEventFilter(new StayOnScreen(dialog));
}

} // namespace

void SetFixedDialogFrame(QWidget* dialog) {
    // Without the customize hint the window manager would add its own buttons.
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    KeepOnScreen(dialog);
}

void SetSizableDialogFrame(QWidget* dialog) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowMaximizeButtonHint);
    KeepOnScreen(dialog);
}

} // namespace zelv
