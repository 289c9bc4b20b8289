#pragma once
// A label that reports a left click, for headings that switch a group on.
#include <QLabel>

namespace zelv {

class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace zelv
