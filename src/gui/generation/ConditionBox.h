#pragma once
// ConditionBox: the generation dialog's Condition box, a condition across
// seats in the script language ("hcp(north) + hcp(south) >= 25") that every
// board must meet besides the seats' definitions. It checks the text as it
// is typed and says under it where it goes wrong; its Add menu inserts the
// common cases.
#include "core/conditions/SetupCondition.h"

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace zelv {

class ConditionBox : public QWidget {
    Q_OBJECT
  public:
    explicit ConditionBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Blank: no condition.
    bool isBlank() const;
    // The compiled condition; null when the box is blank or wrong.
    std::shared_ptr<const SetupCondition> condition() const { return condition_; }
    // "Line 2, column 5: ..." while the text is wrong; empty otherwise.
    QString problem() const { return problem_; }
    // Adds `expression` to the condition: alone in an empty box, else joined
    // to what is there with &&.
    void addCase(const QString& expression);

  signals:
    void changed();

  private:
    void check();

    QPlainTextEdit* edit_ = nullptr;
    QLabel* error_ = nullptr;
    QToolButton* add_ = nullptr;
    std::shared_ptr<const SetupCondition> condition_;
    QString problem_;
};

} // namespace zelv
