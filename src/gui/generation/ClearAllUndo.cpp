#include "gui/generation/ClearAllUndo.h"

#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace zelv {

ClearAllUndo::ClearAllUndo(QPushButton* button, Clear clear, int undoMilliseconds)
    : QObject(button), button_(button), clear_(std::move(clear)), caption_(button->text()), hint_(button->toolTip()),
      timer_(new QTimer(this)), shortcut_(new QShortcut(QKeySequence::Undo, button->window())) {
    timer_->setSingleShot(true);
    timer_->setInterval(undoMilliseconds);
    connect(timer_, &QTimer::timeout, this, &ClearAllUndo::ShowClear);
    connect(button_, &QPushButton::clicked, this, &ClearAllUndo::Clicked);
    connect(shortcut_, &QShortcut::activated, this, [this] {
        if (CanUndo() && button_->isEnabled()) Undo();
    });
}

void ClearAllUndo::Clicked() {
    if (timer_->isActive() && CanUndo()) {
        Undo();
        return;
    }
    restore_ = clear_();
    button_->setText(QStringLiteral("&Undo"));
    button_->setToolTip(QStringLiteral("Put back what Clear All cleared (Ctrl+Z)"));
    timer_->start();
}

void ClearAllUndo::Undo() {
    const std::function<void()> restore = std::move(restore_);
    restore_ = nullptr;
    ShowClear();
    restore();
}

void ClearAllUndo::ShowClear() {
    timer_->stop();
    button_->setText(caption_);
    button_->setToolTip(hint_);
}

void ClearAllUndo::Forget() {
    restore_ = nullptr;
    ShowClear();
}

} // namespace zelv
