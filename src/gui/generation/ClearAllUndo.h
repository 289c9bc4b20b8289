#pragma once
// Clear All that can be taken back: after a clear its button reads Undo for
// a few seconds, and Ctrl+Z takes back the last clear until the dialog
// closes or clears again.
#include <QObject>
#include <QString>

#include <functional>

class QPushButton;
class QShortcut;
class QTimer;

namespace zelv {

class ClearAllUndo : public QObject {
    Q_OBJECT
  public:
    // `clear` clears the dialog and returns what puts it back as it was.
    using Clear = std::function<std::function<void()>()>;
    ClearAllUndo(QPushButton* button, Clear clear, int undoMilliseconds = 5000);

    bool CanUndo() const { return static_cast<bool>(restore_); }
    // What was cleared is past taking back (the dialog closes).
    void Forget();

  private:
    void Clicked();
    void Undo();
    void ShowClear();

    QPushButton* button_;
    Clear clear_;
    std::function<void()> restore_;
    QString caption_, hint_;
    QTimer* timer_;
    QShortcut* shortcut_;
};

} // namespace zelv
