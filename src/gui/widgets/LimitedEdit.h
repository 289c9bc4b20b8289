#pragma once
// An edit whose length limit holds for typing and pasting only. QLineEdit's
// own maxLength also cuts texts set by the program, which would silently
// shorten a longer value read from a file.
#include <QLineEdit>

namespace zelv {

class LimitedEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit LimitedEdit(int typingLimit, QWidget* parent = nullptr);
    int typingLimit() const { return limit_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    int limit_;
};

} // namespace zelv
