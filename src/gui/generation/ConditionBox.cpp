#include "gui/generation/ConditionBox.h"

#include "gui/widgets/Prompts.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelv {

namespace {

struct CommonCase {
    const char* Label;
    const char* Expression;
};

// What teachers ask for most, North-South's side first.
constexpr CommonCase CommonCases[] = {
    {"North-South 25+ points", "hcp(north) + hcp(south) >= 25"},
    {"East-West 20 points or fewer", "hcp(east) + hcp(west) <= 20"},
    {"North-South spade fit (8+ cards)", "spades(north) + spades(south) >= 8"},
    {"North-South heart fit (8+ cards)", "hearts(north) + hearts(south) >= 8"},
    {"North-South major fit", "(spades(north) + spades(south) >= 8 || hearts(north) + hearts(south) >= 8)"},
    {"North-South no major fit", "!(spades(north) + spades(south) >= 8 || hearts(north) + hearts(south) >= 8)"},
    {"North-South fit in any suit", "(spades(north) + spades(south) >= 8 || hearts(north) + hearts(south) >= 8 ||\n"
                                    " diamonds(north) + diamonds(south) >= 8 || clubs(north) + clubs(south) >= 8)"},
    {"North balanced", "shape(north, any 4333 + any 4432 + any 5332)"},
    {"South holds the ace of spades", "hascard(south, AS)"},
    {"North-South make 3NT (double dummy)", "tricks(north, notrump) >= 9"},
};

} // namespace

ConditionBox::ConditionBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ConditionBox"));
    auto* title = new QLabel(QStringLiteral("Condition across seats (empty: none):"), this);
    add_ = new QToolButton(this);
    add_->setObjectName(QStringLiteral("ConditionAddBtn"));
    add_->setText(QStringLiteral("Add"));
    add_->setPopupMode(QToolButton::InstantPopup);
    add_->setToolTip(QStringLiteral("Insert a common condition"));
    auto* menu = new QMenu(add_);
    for (const CommonCase& c : CommonCases) {
        const QString expression = QString::fromUtf8(c.Expression);
        menu->addAction(QString::fromUtf8(c.Label), this, [this, expression] { addCase(expression); });
    }
    add_->setMenu(menu);
    auto* help = new QToolButton(this);
    help->setObjectName(QStringLiteral("ConditionHelpBtn"));
    help->setText(QStringLiteral("?"));
    help->setToolTip(QStringLiteral("How to write a condition, with examples"));
    connect(help, &QToolButton::clicked, this, [this] { Prompts::current().help(window(), HelpTopic::Conditions); });

    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName(QStringLiteral("ConditionEdit"));
    edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit_->setTabChangesFocus(true);
    edit_->setPlaceholderText(QStringLiteral("hcp(north) + hcp(south) >= 25 && spades(north) + spades(south) >= 8"));
    edit_->setFixedHeight(4 * edit_->fontMetrics().lineSpacing() + 12);
    edit_->setToolTip(QStringLiteral("Every board must also meet this, written as in dealer scripts; see Help"));
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("ConditionErrorLbl"));
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    // Room kept for the message, so that the dialog does not jump as it comes and goes.
    error_->setMinimumHeight(2 * error_->fontMetrics().lineSpacing());
    error_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* head = new QHBoxLayout;
    head->addWidget(title);
    head->addStretch(1);
    head->addWidget(add_);
    head->addWidget(help);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addLayout(head);
    rows->addWidget(edit_);
    rows->addWidget(error_);
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
        check();
        emit changed();
    });
}

QString ConditionBox::text() const { return edit_->toPlainText(); }

void ConditionBox::setText(const QString& text) { edit_->setPlainText(text); }

bool ConditionBox::isBlank() const { return text().trimmed().isEmpty(); }

void ConditionBox::addCase(const QString& expression) {
    QString now = text();
    while (!now.isEmpty() && now.back().isSpace()) now.chop(1);
    setText(now.isEmpty() ? expression : now + QStringLiteral("\n&& ") + expression);
    edit_->moveCursor(QTextCursor::End);
}

void ConditionBox::check() {
    condition_.reset();
    problem_.clear();
    if (!isBlank()) {
        ConditionProblem problem;
        condition_ = SetupCondition::Compile(text().toStdString(), &problem);
        if (!condition_) problem_ = QString::fromStdString(ConditionProblemText(problem));
    }
    error_->setText(problem_);
}

} // namespace zelv
