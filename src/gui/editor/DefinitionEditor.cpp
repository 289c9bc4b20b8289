#include "gui/editor/DefinitionEditor.h"

#include "core/definitions/ShapeCatalogue.h"
#include "core/files/FileUtil.h"
#include "core/odds/Odds.h"
#include "core/settings/Settings.h"
#include "gui/editor/ShapePresets.h"
#include "gui/widgets/ClickLabel.h"
#include "gui/widgets/DialogFrame.h"
#include "gui/widgets/LimitedEdit.h"
#include "gui/widgets/LocaleNumbers.h"
#include "gui/widgets/Prompts.h"
#include "gui/widgets/SuitSigns.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace zelv {

namespace {

constexpr int FieldLimit = 2;
// "Ace", "Spade": the core's names of ranks and suits as hints show them.
QString RankCaption(int rank) {
    QString name = QString::fromLatin1(RankNames[static_cast<std::size_t>(rank)]);
    name[0] = name[0].toUpper();
    return name;
}
QString SuitCaption(int suit) {
    QString name = QString::fromLatin1(SuitNames[static_cast<std::size_t>(suit)]);
    name[0] = name[0].toUpper();
    name.chop(1);
    return name;
}

// The hand panel's fields, in the order of LimitKeys.
struct HandField {
    const char* Name;
    const char* Hint;
};
constexpr HandField HandFields[6] = {
    {"MinPts", "Minimum Points in Hand"}, {"MaxPts", "Maximum Points in Hand"}, {"MinAK", "Min AK (21) Controls"},
    {"MaxAK", "Max AK (21) Controls"},    {"MinAKQ", "Min AKQ (321) Controls"}, {"MaxAKQ", "Max AKQ (321) Controls"},
};

// The suit panel's columns, left to right; "%1" stands for the suit.
struct SuitColumn {
    LimitGroup Group;
    const char* Heading;
    const char* MinName;
    const char* MaxName;
    const char* MinHint;
    const char* MaxHint;
    const char* ToHint;
};
constexpr SuitColumn SuitColumns[4] = {
    // "Maximium" (sic) is kept as users and stored files know it; do not correct it.
    {GroupLength, "Lengths", "Min%1Len", "Max%1Len", "Min Length of %1 Suit", "Maximium Length of %1 Suit", ""},
    {GroupPoints, "Points", "Min%1Pts", "Max%1Pts", "Min Points in Suit", "Maximum Points in Suit", ""},
    {GroupTop3, "Honours (3)", "MinTop3%1", "MaxTop3%1", "Min No. of Top 3 Honours", "Max No. of Top 3 Honours",
     "Click Here to Enable Honours(3)"},
    {GroupTop5, "Honours (5)", "MinTop5%1", "MaxTop5%1", "Min Number of Top 5 Honours", "Max No. of Top 5 Honours",
     "Click on Heading to Enable Honours(5)"},
};

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString L(const char* s) { return QString::fromLatin1(s); }

QLabel* Heading(const QString& text, QWidget* parent, bool bold = true) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
    return label;
}

void SetBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

QFrame* Panel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    return panel;
}

QPushButton* Button(const QString& name, const QString& caption, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    // Enter in a field must not press whichever button last had the focus.
    b->setAutoDefault(false);
    return b;
}

// The honours headings switch their group on when clicked; the others are plain.
QLabel* ColumnHeading(const SuitColumn& col, QWidget* panel) {
    if (col.Group != GroupTop3 && col.Group != GroupTop5) return Heading(L(col.Heading), panel);
    auto* click = new ClickLabel(L(col.Heading), panel);
    if (col.Group == GroupTop3) {
        click->setObjectName(QStringLiteral("H3Label"));
        click->setToolTip(QStringLiteral("Click here to Enable Honours(3)"));
    } else {
        click->setObjectName(QStringLiteral("H5Label"));
        click->setToolTip(QStringLiteral("Click Here to Enable Honours(5)"));
    }
    return click;
}

} // namespace

DefinitionEditor::DefinitionEditor(QWidget* parent) : QDialog(parent) { FormCreate(); }

DefinitionEditor::~DefinitionEditor() = default;

QLineEdit* DefinitionEditor::MakeField(int limitIndex, const QString& name, const QString& hint) {
    auto* edit = new LimitedEdit(FieldLimit, this);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setAlignment(Qt::AlignRight);
    const int w = edit->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14;
    edit->setFixedWidth(w);
    edit->installEventFilter(this);
    fields_[static_cast<std::size_t>(limitIndex)] = edit;
    return edit;
}

void DefinitionEditor::FormCreate() {
    setObjectName(QStringLiteral("HandDefnDlg"));
    setWindowTitle(QStringLiteral("Zelvano Hand Definition"));
    SetFixedDialogFrame(this);
    masterShapes_.assign(ShapeCatalogue.begin(), ShapeCatalogue.end());

    QFrame* shapePanel = BuildShapePanel();
    QFrame* handPanel = BuildHandPanel();
    QFrame* switchPanel = BuildSwitchPanel();
    QFrame* suitPanel = BuildSuitPanel();
    QFrame* cardsPanel = BuildCardsPanel();
    BuildButtons();
    OddsLbl = new QLabel(this);
    OddsLbl->setObjectName(QStringLiteral("OddsLbl"));
    OddsLbl->setToolTip(QStringLiteral("How many of all hands this definition accepts, counted exactly"));
    // Room for a long reason on a second line, without the dialog changing size.
    OddsLbl->setWordWrap(true);
    OddsLbl->setMinimumHeight(2 * OddsLbl->fontMetrics().lineSpacing());
    OddsLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LayOutForm(shapePanel, handPanel, switchPanel, suitPanel, cardsPanel);
    for (int i = 0; i < LimitCount; ++i) exitRules_.insert(Field(i), ExitRuleFor(i));
    SetKeyboardOrder();
    SetDefaultValues();
    FitToDesign();
    WatchForOdds();
    UpdateOdds();
}

void DefinitionEditor::WatchForOdds() {
    // A count takes a few milliseconds; waiting for a pause in the typing
    // keeps it from running on every key of a burst.
    oddsTimer_ = new QTimer(this);
    oddsTimer_->setSingleShot(true);
    oddsTimer_->setInterval(150);
    connect(oddsTimer_, &QTimer::timeout, this, &DefinitionEditor::UpdateOdds);
    auto later = [this] { oddsTimer_->start(); };
    for (QLineEdit* edit : fields_) connect(edit, &QLineEdit::textChanged, this, later);
    for (int c = 1; c <= 52; ++c) connect(cards_[static_cast<std::size_t>(c)], &QCheckBox::toggled, this, later);
    for (QListWidget* list : {YesShapeLB, NoShapeLB}) {
        connect(list->model(), &QAbstractItemModel::rowsInserted, this, later);
        connect(list->model(), &QAbstractItemModel::rowsRemoved, this, later);
        connect(list->model(), &QAbstractItemModel::modelReset, this, later);
    }
}

QString DefinitionEditor::OddsText() const {
    HandDefinition defn;
    std::string error;
    if (!ToEngineDefinition(Definition(), defn, &error)) return QStringLiteral("Odds: ") + Q(error);
    const DefinitionOdds odds = OddsOfDefinition(defn);
    if (odds.Hands == 0) return QStringLiteral("Accepts no hand: ") + Q(odds.Reason);
    const QString limit = PointsLimitAlone(odds.Hands);
    if (!limit.isEmpty()) return QStringLiteral("Accepts every hand but those with ") + limit;
    return WithLocaleNumbers(QStringLiteral("Accepts ") + Q(HandsText(odds.Hands)));
}

QString DefinitionEditor::PointsLimitAlone(std::uint64_t hands) const {
    // "All but 1 hand in 923,000,000" hides that the maximum of 34 points
    // (37 are possible) is what leaves them out: when the hand points alone
    // limit the definition, they are named instead.
    if (hands == AllHands) return {};
    const DefinitionText now = Definition();
    DefinitionText open = now;
    open.Limit(LimMinPoints) = "0";
    open.Limit(LimMaxPoints) = "37";
    HandDefinition defn;
    if (!ToEngineDefinition(open, defn, nullptr) || CountHands(defn) != AllHands) return {};
    const QString min = Q(now.Limit(LimMinPoints)).trimmed(), max = Q(now.Limit(LimMaxPoints)).trimmed();
    const bool fewer = min.toInt() > 0, more = max.toInt() < 37;
    if (fewer && more) return QStringLiteral("fewer than %1 or more than %2 points").arg(min, max);
    return fewer ? QStringLiteral("fewer than %1 points").arg(min) : QStringLiteral("more than %1 points").arg(max);
}

void DefinitionEditor::UpdateOdds() {
    oddsTimer_->stop();
    OddsLbl->setText(OddsText());
}

DefinitionEditor::ExitRule DefinitionEditor::ExitRuleFor(int limitIndex) {
    switch (limitIndex) {
    case LimMinPoints:
        return ExitRule::MinPts;
    case LimMaxPoints:
        return ExitRule::MaxPts;
    case LimMinAK:
        return ExitRule::MinAK;
    case LimMaxAK:
        return ExitRule::MaxSE;
    case LimMinAKQ:
        return ExitRule::MinSE;
    case LimMaxAKQ:
        return ExitRule::MaxSE;
    default:
        break;
    }
    const bool isMax = (limitIndex - GroupPoints) % 2 == 1;
    if (limitIndex >= GroupLength && limitIndex < GroupTop3) return isMax ? ExitRule::MaxLen : ExitRule::MinLen;
    return isMax ? ExitRule::MaxSE : ExitRule::MinSE;
}

QListWidget* DefinitionEditor::MakeShapeList(const QString& name, QWidget* panel) {
    auto* list = new QListWidget(panel);
    list->setObjectName(name);
    list->setToolTip(QStringLiteral("Ctrl A - Select All"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A fixed-pitch font keeps the leading blank of " 4432" as wide as a digit.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(font().pointSize() > 0 ? font().pointSize() : 9);
    list->setFont(mono);
    const QFontMetrics fm(mono);
    list->setFixedWidth(fm.horizontalAdvance(QStringLiteral("000000")) +
                        list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4 * list->frameWidth() + 8);
    list->installEventFilter(this);
    return list;
}

QFrame* DefinitionEditor::BuildShapePanel() {
    QFrame* shapePanel = Panel(this, QStringLiteral("ShapePanel"));
    auto* shapeGrid = new QGridLayout(shapePanel);
    shapeGrid->addWidget(Heading(QStringLiteral("Hand Shapes"), shapePanel), 0, 0, 1, 3, Qt::AlignHCenter);
    shapeGrid->addWidget(Heading(QStringLiteral("Yes"), shapePanel), 1, 0, Qt::AlignHCenter);
    shapeGrid->addWidget(Heading(QStringLiteral("No"), shapePanel), 1, 2, Qt::AlignHCenter);
    YesShapeLB = MakeShapeList(QStringLiteral("YesShapeLB"), shapePanel);
    NoShapeLB = MakeShapeList(QStringLiteral("NoShapeLB"), shapePanel);
    YtoNBtn = Button(QStringLiteral("YtoNBtn"), QString(), QStringLiteral("Move to No List"), shapePanel);
    YtoNBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    YtoNBtn->setAccessibleName(QStringLiteral("Move to No List"));
    NtoYBtn = Button(QStringLiteral("NtoYBtn"), QString(), QStringLiteral("Move to Yes List"), shapePanel);
    NtoYBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    NtoYBtn->setAccessibleName(QStringLiteral("Move to Yes List"));
    auto* moveBox = new QVBoxLayout;
    moveBox->addStretch();
    moveBox->addWidget(YtoNBtn);
    moveBox->addWidget(NtoYBtn);
    moveBox->addStretch();
    shapeGrid->addWidget(YesShapeLB, 2, 0);
    shapeGrid->addLayout(moveBox, 2, 1);
    shapeGrid->addWidget(NoShapeLB, 2, 2);
    connect(YtoNBtn, &QPushButton::clicked, this, &DefinitionEditor::YtoNBtnClick);
    connect(NtoYBtn, &QPushButton::clicked, this, &DefinitionEditor::NtoYBtnClick);
    connect(YesShapeLB, &QListWidget::itemDoubleClicked, this, &DefinitionEditor::YtoNBtnClick);
    connect(NoShapeLB, &QListWidget::itemDoubleClicked, this, &DefinitionEditor::NtoYBtnClick);
    // The shape sets asked for most, in one press each.
    auto* presets = new QHBoxLayout;
    auto* balanced = Button(QStringLiteral("BalancedBtn"), QStringLiteral("&Balanced"),
                            QStringLiteral("Yes: 4333, 4432 and 5332; No: every other shape"), shapePanel);
    auto* semi = Button(QStringLiteral("SemiBalancedBtn"), QStringLiteral("Se&mi-balanced"),
                        QStringLiteral("Yes: 4333, 4432, 5332, 5422 and 6322; No: every other shape"), shapePanel);
    presets->addWidget(balanced);
    presets->addWidget(semi);
    shapeGrid->addLayout(presets, 3, 0, 1, 3);
    connect(balanced, &QPushButton::clicked, this, [this] { ChooseShapes(BalancedShapes()); });
    connect(semi, &QPushButton::clicked, this, [this] { ChooseShapes(SemiBalancedShapes()); });
    return shapePanel;
}

QFrame* DefinitionEditor::BuildHandPanel() {
    QFrame* handPanel = Panel(this, QStringLiteral("HandPanel"));
    auto* handGrid = new QGridLayout(handPanel);
    handGrid->addWidget(Heading(QStringLiteral("Hand:  Points"), handPanel), 0, 0, 1, 2, Qt::AlignHCenter);
    AKLabel = new ClickLabel(QStringLiteral("AK Controls"), handPanel);
    AKLabel->setObjectName(QStringLiteral("AKLabel"));
    AKLabel->setToolTip(QStringLiteral("A=2; K=1"));
    AKQLabel = new ClickLabel(QStringLiteral("AKQ Controls"), handPanel);
    AKQLabel->setObjectName(QStringLiteral("AKQLabel"));
    AKQLabel->setToolTip(QStringLiteral("A=3; K=2; Q=1"));
    handGrid->addWidget(AKLabel, 0, 2, 1, 2, Qt::AlignHCenter);
    handGrid->addWidget(AKQLabel, 0, 4, 1, 2, Qt::AlignHCenter);
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 2; ++row) {
            const int index = 2 * col + row;
            auto* label = new QLabel(row == 0 ? QStringLiteral("Minimum") : QStringLiteral("Maximum"), handPanel);
            if (col > 0) label->setToolTip(QStringLiteral("Click on Heading to Enable"));
            handGrid->addWidget(label, row + 1, 2 * col, Qt::AlignRight);
            handGrid->addWidget(MakeField(index, L(HandFields[index].Name), L(HandFields[index].Hint)), row + 1,
                                2 * col + 1);
        }
    handGrid->setColumnMinimumWidth(1, 0);
    connect(AKLabel, &ClickLabel::clicked, this, &DefinitionEditor::AKCBClick);
    connect(AKQLabel, &ClickLabel::clicked, this, &DefinitionEditor::AKCBClick);
    return handPanel;
}

QFrame* DefinitionEditor::BuildSwitchPanel() {
    QFrame* switchPanel = Panel(this, QStringLiteral("SwitchPanel"));
    auto* switchBox = new QVBoxLayout(switchPanel);
    AKCB = new QCheckBox(QStringLiteral("AK Controls "), switchPanel);
    AKCB->setObjectName(QStringLiteral("AKCB"));
    Hon3CB = new QCheckBox(QStringLiteral("3 Honours "), switchPanel);
    Hon3CB->setObjectName(QStringLiteral("Hon3CB"));
    switchBox->addWidget(AKCB);
    switchBox->addWidget(Hon3CB);
    connect(AKCB, &QCheckBox::toggled, this, &DefinitionEditor::AKCBClick);
    connect(Hon3CB, &QCheckBox::toggled, this, &DefinitionEditor::Hon3CBClick);
    return switchPanel;
}

QFrame* DefinitionEditor::BuildSuitPanel() {
    QFrame* suitPanel = Panel(this, QStringLiteral("SuitPanel"));
    auto* suitGrid = new QGridLayout(suitPanel);
    suitGrid->setHorizontalSpacing(4);
    for (int c = 0; c < 4; ++c) {
        const SuitColumn& col = SuitColumns[c];
        const int base = 1 + 4 * c;
        QLabel* heading = ColumnHeading(col, suitPanel);
        if (auto* click = qobject_cast<ClickLabel*>(heading)) {
            (col.Group == GroupTop3 ? H3Label : H5Label) = click;
            connect(click, &ClickLabel::clicked, this, &DefinitionEditor::Hon3CBClick);
        }
        suitGrid->addWidget(heading, 0, base, 1, 3, Qt::AlignHCenter);
        for (int s = 0; s < 4; ++s) {
            const QString letter(QChar::fromLatin1(SuitLetters[static_cast<std::size_t>(s)]));
            const QString suitName = SuitCaption(s);
            const int minIndex = SuitLimitIndex(col.Group, s, false);
            auto hint = [&](const char* h) { return L(h).contains(QLatin1String("%1")) ? L(h).arg(suitName) : L(h); };
            suitGrid->addWidget(MakeField(minIndex, L(col.MinName).arg(letter), hint(col.MinHint)), s + 1, base);
            auto* to = new QLabel(QStringLiteral("To"), suitPanel);
            if (*col.ToHint) to->setToolTip(L(col.ToHint));
            suitGrid->addWidget(to, s + 1, base + 1, Qt::AlignCenter);
            suitGrid->addWidget(MakeField(minIndex + 1, L(col.MaxName).arg(letter), hint(col.MaxHint)), s + 1,
                                base + 2);
        }
        if (c < 3) suitGrid->setColumnMinimumWidth(base + 3, 14);
    }
    for (int s = 0; s < 4; ++s) suitGrid->addWidget(MakeSuitLabel(s, suitPanel), s + 1, 0);
    return suitPanel;
}

QFrame* DefinitionEditor::BuildCardsPanel() {
    QFrame* mhPanel = Panel(this, QStringLiteral("MHPanel"));
    mhPanel->setToolTip(QStringLiteral("Chose Compulsory Cards"));
    auto* mhGrid = new QGridLayout(mhPanel);
    mhGrid->setHorizontalSpacing(6);
    mhGrid->setVerticalSpacing(2);
    mhGrid->addWidget(Heading(QStringLiteral("\"Must Have\" Cards"), mhPanel), 0, 0, 1, 14, Qt::AlignHCenter);
    for (int r = 0; r < 13; ++r)
        mhGrid->addWidget(Heading(QString(QChar::fromLatin1(RankLetters[static_cast<std::size_t>(r)])), mhPanel), 1,
                          r + 1, Qt::AlignHCenter);
    for (int s = 0; s < 4; ++s) {
        mhGrid->addWidget(MakeSuitLabel(s, mhPanel), s + 2, 0);
        for (int r = 0; r < 13; ++r) {
            const CardCode code = MakeCard(s, r);
            auto* box = new QCheckBox(mhPanel);
            box->setObjectName(Q(CardKey(code)));
            box->setAccessibleName(QStringLiteral("%1 of %2s").arg(RankCaption(r), SuitCaption(s)));
            cards_[code] = box;
            mhGrid->addWidget(box, s + 2, r + 1, Qt::AlignHCenter);
            connect(box, &QCheckBox::toggled, this, [this, box](bool ticked) { MustHaveCBClick(box, ticked); });
        }
    }
    return mhPanel;
}

void DefinitionEditor::BuildButtons() {
    ClearBtn = Button(QStringLiteral("ClearBtn"), QStringLiteral("Clear &All"),
                      QStringLiteral("Set ALL fields to Default Values"), this);
    SaveBtn = Button(QStringLiteral("SaveBtn"), QStringLiteral("&Save"), QStringLiteral("Save To a File"), this);
    LoadBtn = Button(QStringLiteral("LoadBtn"), QStringLiteral("&Load "), QStringLiteral("Load a File"), this);
    HelpBtn = Button(QStringLiteral("HelpBtn"), QStringLiteral("Help"), QString(), this);
    CancelBtn = Button(QStringLiteral("CancelBtn"), QStringLiteral("&Close"), QString(), this);
    connect(ClearBtn, &QPushButton::clicked, this, &DefinitionEditor::ClearBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &DefinitionEditor::SaveBtnClick);
    connect(LoadBtn, &QPushButton::clicked, this, &DefinitionEditor::LoadBtnClick);
    ConnectHelp(this, HelpBtn, HelpTopic::Definitions);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void DefinitionEditor::LayOutForm(QFrame* shapes, QFrame* hand, QFrame* switches, QFrame* suits, QFrame* cards) {
    // Shapes beside the hand panel with its switches below, then the suit and
    // card panels; the buttons down the right-hand side.
    auto* left = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    top->addWidget(shapes);
    auto* handColumn = new QVBoxLayout;
    handColumn->addWidget(hand);
    auto* switchRow = new QHBoxLayout;
    switchRow->addWidget(switches);
    switchRow->addStretch();
    handColumn->addLayout(switchRow);
    handColumn->addStretch();
    top->addLayout(handColumn);
    left->addLayout(top);
    left->addWidget(suits);
    left->addWidget(cards);
    left->addWidget(OddsLbl);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ClearBtn);
    buttons->addWidget(SaveBtn);
    buttons->addWidget(LoadBtn);
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    buttons->addWidget(CancelBtn);
    auto* whole = new QHBoxLayout(this);
    whole->addLayout(left);
    whole->addLayout(buttons);
}

void DefinitionEditor::SetKeyboardOrder() {
    // Lists, move buttons, hand fields, switches, suit columns (lengths,
    // points, Top3, Top5; S to C, minimum first), cards, then Clear All,
    // Save, Load, Close, Help.
    std::vector<QWidget*> order = {YesShapeLB, NoShapeLB, YtoNBtn, NtoYBtn};
    for (int i = 0; i < 6; ++i) order.push_back(Field(i));
    order.push_back(AKCB);
    order.push_back(Hon3CB);
    for (LimitGroup g : {GroupLength, GroupPoints, GroupTop3, GroupTop5})
        for (int i = 0; i < 8; ++i) order.push_back(Field(g + i));
    for (int c = 1; c <= 52; ++c) order.push_back(cards_[static_cast<std::size_t>(c)]);
    for (QWidget* w : {static_cast<QWidget*>(ClearBtn), static_cast<QWidget*>(SaveBtn), static_cast<QWidget*>(LoadBtn),
                       static_cast<QWidget*>(CancelBtn), static_cast<QWidget*>(HelpBtn)})
        order.push_back(w);
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void DefinitionEditor::FitToDesign() {
    // Whole rows only: no entry is shown cut in half at the bottom.
    for (QListWidget* list : {YesShapeLB, NoShapeLB})
        list->setFixedHeight(YesShapeLB->sizeHintForRow(0) * 12 + 2 * list->frameWidth());
    ensurePolished();
    move(30, 46);
    // The old dialog was 615 by 460; Linux fonts may need more, never less.
    setFixedSize(sizeHint().expandedTo(QSize(615, 460)));
}

// ---------------------------------------------------------------- state

std::vector<std::string> DefinitionEditor::ListTexts(const QListWidget* list) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
    return texts;
}

void DefinitionEditor::FillList(QListWidget* list, const std::vector<std::string>& texts) {
    list->clear();
    for (const auto& t : texts) list->addItem(Q(t));
    list->scrollToTop();
}

void DefinitionEditor::ClearYNLists() {
    YesShapeLB->clear();
    NoShapeLB->clear();
}

void DefinitionEditor::SetTheLimits() { limits_ = zelv::LengthLimitsOf(ListTexts(YesShapeLB)); }

DefinitionText DefinitionEditor::Definition() const {
    DefinitionText d;
    d.YesShapes = ListTexts(YesShapeLB);
    d.NoShapes = ListTexts(NoShapeLB);
    for (int i = 0; i < LimitCount; ++i) d.Limit(i) = Field(i)->text().toStdString();
    for (int c = 1; c <= 52; ++c)
        d.Cards[static_cast<std::size_t>(c)] = cards_[static_cast<std::size_t>(c)]->isChecked();
    d.AKControls = AKCB->isChecked();
    d.Hon3 = Hon3CB->isChecked();
    return d;
}

void DefinitionEditor::SetDefinition(const DefinitionText& defn, int refusedCards) {
    ClearYNLists();
    std::vector<std::string> yes, no;
    for (const auto& s : defn.YesShapes) InsertShapeSorted(yes, s);
    for (const auto& s : defn.NoShapes) InsertShapeSorted(no, s);
    FillList(YesShapeLB, yes);
    FillList(NoShapeLB, no);
    for (int i = 0; i < LimitCount; ++i) Field(i)->setText(Q(defn.Limit(i)));
    // Clear first, so that what the editor held before cannot use up the
    // thirteen places; then tick in the file's reading order.
    for (int c = 1; c <= 52; ++c) cards_[static_cast<std::size_t>(c)]->setChecked(false);
    for (int pair = 0; pair < 2; ++pair)
        for (int rank = 0; rank < 13; ++rank)
            for (int s = 2 * pair; s < 2 * pair + 2; ++s) {
                const CardCode c = MakeCard(s, rank);
                if (defn.Cards[c]) cards_[c]->setChecked(true);
            }
    for (int i = 0; i < refusedCards; ++i) Prompts::current().beep();
    AKCB->setChecked(defn.AKControls);
    ApplyAKEnabling();
    Hon3CB->setChecked(defn.Hon3);
    ApplyHon3Enabling();
    SetTheLimits();
}

void DefinitionEditor::SetDefaultValues() {
    ClearYNLists();
    std::vector<std::string> yes;
    for (const auto& s : masterShapes_) InsertShapeSorted(yes, s);
    FillList(YesShapeLB, yes);
    SetTheLimits();
    const DefinitionText defaults = DefinitionText::Defaults();
    for (int i = 0; i < LimitCount; ++i) Field(i)->setText(Q(defaults.Limit(i)));
    AKCB->setChecked(true);
    ApplyAKEnabling();
    Hon3CB->setChecked(true);
    ApplyHon3Enabling();
    for (int s = 0; s < 4; ++s) {
        Field(SuitLimitIndex(GroupLength, s, false))->setText(MinLengthLimit());
        Field(SuitLimitIndex(GroupLength, s, true))->setText(MaxLengthLimit());
    }
    for (int c = 1; c <= 52; ++c) cards_[static_cast<std::size_t>(c)]->setChecked(false);
    YesShapeLB->setFocus();
}

void DefinitionEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void DefinitionEditor::FormActivate() {
    SetDefaultValues();
    YesShapeLB->setFocus();
}

// ---------------------------------------------------------------- groups

void DefinitionEditor::ApplyAKEnabling() {
    const bool ak = AKCB->isChecked();
    Field(LimMinAK)->setEnabled(ak);
    Field(LimMaxAK)->setEnabled(ak);
    Field(LimMinAKQ)->setEnabled(!ak);
    Field(LimMaxAKQ)->setEnabled(!ak);
    SetBold(AKLabel, ak);
    SetBold(AKQLabel, !ak);
}

void DefinitionEditor::ApplyHon3Enabling() {
    const bool top3 = Hon3CB->isChecked();
    for (int i = 0; i < 8; ++i) {
        Field(GroupTop3 + i)->setEnabled(top3);
        Field(GroupTop5 + i)->setEnabled(!top3);
    }
    SetBold(H3Label, top3);
    SetBold(H5Label, !top3);
}

void DefinitionEditor::AKCBClick() {
    // A heading ticks or unticks the box, whose own change applies the rule.
    if (sender() == AKLabel)
        AKCB->setChecked(true);
    else if (sender() == AKQLabel)
        AKCB->setChecked(false);
    ApplyAKEnabling();
}

void DefinitionEditor::Hon3CBClick() {
    if (sender() == H3Label)
        Hon3CB->setChecked(true);
    else if (sender() == H5Label)
        Hon3CB->setChecked(false);
    ApplyHon3Enabling();
}

// ---------------------------------------------------------------- cards

bool DefinitionEditor::TooManyMustHave() const {
    int ticked = 0;
    for (int c = 1; c <= 52; ++c) ticked += cards_[static_cast<std::size_t>(c)]->isChecked() ? 1 : 0;
    return ticked > MaxMustHaveCards;
}

void DefinitionEditor::MustHaveCBClick(QCheckBox* box, bool ticked) {
    if (!ticked || !TooManyMustHave()) return;
    box->setChecked(false);
    Prompts::current().beep();
}

// ---------------------------------------------------------------- shapes

void DefinitionEditor::MoveShapes(QListWidget* from, QListWidget* to) {
    std::vector<std::string> source = ListTexts(from);
    std::vector<std::string> target = ListTexts(to);
    std::vector<int> selected;
    for (int i = 0; i < from->count(); ++i)
        if (from->item(i)->isSelected()) selected.push_back(i);
    if (!zelv::MoveSelectedShapes(source, target, selected)) {
        Prompts::current().beep();
        Prompts::current().error(this, QStringLiteral("No Shapes or None Selected."));
        return;
    }
    FillList(from, source);
    FillList(to, target);
    SetTheLimits();
    try {
        ResetLengthEB();
    } catch (const ConversionError& e) {
        Prompts::current().error(this, QStringLiteral("'%1' is not a valid integer value").arg(e.text));
    }
}

void DefinitionEditor::ChooseShapes(const std::vector<std::string>& shapes) {
    const ShapeLists lists = SplitShapes(ListTexts(YesShapeLB), ListTexts(NoShapeLB), shapes);
    std::vector<std::string> yes, no;
    for (const auto& s : lists.Yes) InsertShapeSorted(yes, s);
    for (const auto& s : lists.No) InsertShapeSorted(no, s);
    FillList(YesShapeLB, yes);
    FillList(NoShapeLB, no);
    SetTheLimits();
    try {
        ResetLengthEB();
    } catch (const ConversionError& e) {
        Prompts::current().error(this, QStringLiteral("'%1' is not a valid integer value").arg(e.text));
    }
}

void DefinitionEditor::YtoNBtnClick() { MoveShapes(YesShapeLB, NoShapeLB); }
void DefinitionEditor::NtoYBtnClick() { MoveShapes(NoShapeLB, YesShapeLB); }

bool DefinitionEditor::ShapeLBKeyDown(QListWidget* list, QKeyEvent* event) {
    const int key = event->key();
    // The dialog takes these first: moving on and closing.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape) return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    // Every other key moves and selects as in any list of the desktop.
    if (key != Qt::Key_A || mods != Qt::ControlModifier) return false;
    if (list->count() == 0)
        Prompts::current().beep();
    else
        list->selectAll();
    return true;
}

// ---------------------------------------------------------------- fields

int DefinitionEditor::ToInt(const QString& text) {
    long long value = 0;
    if (!ParseWholeNumber(text.toStdString(), value)) throw ConversionError{text};
    return static_cast<int>(value);
}

bool DefinitionEditor::NumericKeyPress(QKeyEvent* event) {
    const int key = event->key();
    // Delete comes with the text U+007F on X11 and Wayland, but it produces
    // no character and is never refused.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape || key == Qt::Key_Return ||
        key == Qt::Key_Enter || key == Qt::Key_Delete)
        return false;
    // The editing keys every field knows; they bring in no character.
    for (QKeySequence::StandardKey k :
         {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})
        if (event->matches(k)) return false;
    // Pasting could bring in any character at all: only digits may come.
    if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), 0, 0);
        const bool digits = !pasted.isEmpty() && std::all_of(pasted.begin(), pasted.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        if (digits) return false;
        Prompts::current().beep();
        return true;
    }
    const QString typed = event->text();
    if (typed.isEmpty()) return false;
    const QChar ch = typed.at(0);
    if (ch.unicode() == 0x7f) return false;
    if (ch == QLatin1Char('\b') || ch == QLatin1Char('.') || ch == QLatin1Char(':') ||
        (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')))
        return false;
    Prompts::current().beep();
    return true;
}

void DefinitionEditor::FieldExit(QLineEdit* edit) {
    if (inExitRule_) return;
    inExitRule_ = true;
    try {
        switch (exitRules_.value(edit)) {
        case ExitRule::MinPts:
            MinPtsExit();
            break;
        case ExitRule::MaxPts:
            MaxPtsExit();
            break;
        case ExitRule::MinAK:
            MinAKExit();
            break;
        case ExitRule::MinSE:
            MinSEExit(edit);
            break;
        case ExitRule::MaxSE:
            MaxSEExit(edit);
            break;
        case ExitRule::MinLen:
            MinLenExit(edit);
            break;
        case ExitRule::MaxLen:
            MaxLenExit(edit);
            break;
        }
    } catch (const ConversionError& e) {
        Prompts::current().error(this, QStringLiteral("'%1' is not a valid integer value").arg(e.text));
    }
    inExitRule_ = false;
}

void DefinitionEditor::MinPtsExit() {
    QLineEdit* minPts = Field(LimMinPoints);
    if (minPts->text().isEmpty() || ToInt(minPts->text()) > ToInt(Field(LimMaxPoints)->text()))
        minPts->setText(QStringLiteral("0"));
}

void DefinitionEditor::MaxPtsExit() {
    QLineEdit* maxPts = Field(LimMaxPoints);
    if (maxPts->text().isEmpty() || ToInt(maxPts->text()) < ToInt(Field(LimMinPoints)->text()))
        maxPts->setText(QStringLiteral("34"));
    ResetPointsEB();
}

void DefinitionEditor::MinAKExit() {
    QLineEdit* minAK = Field(LimMinAK);
    if (minAK->text().isEmpty() || ToInt(minAK->text()) > ToInt(Field(LimMaxAK)->text()))
        minAK->setText(QStringLiteral("0"));
}

void DefinitionEditor::MinSEExit(QLineEdit* edit) {
    if (edit->text().isEmpty() || ToInt(edit->text()) < 0) edit->setText(QStringLiteral("0"));
}

void DefinitionEditor::MaxSEExit(QLineEdit* edit) {
    const int value = ToInt(edit->text());
    auto capAt = [&](int cap, QLineEdit* minimum) {
        const QString capText = QString::number(cap);
        if (value > cap)
            edit->setText(capText);
        else if (minimum && value < ToInt(minimum->text()))
            edit->setText(capText);
    };
    if (edit == Field(LimMaxAK)) return capAt(12, Field(LimMinAK));
    if (edit == Field(LimMaxAKQ)) return capAt(24, Field(LimMinAKQ));
    const int index = static_cast<int>(std::find(fields_.begin(), fields_.end(), edit) - fields_.begin());
    if (index >= GroupTop5) return capAt(5, nullptr);
    if (index >= GroupTop3) return capAt(3, nullptr);
    capAt(10, nullptr);
}

void DefinitionEditor::MinLenExit(QLineEdit* edit) {
    if (edit->text().isEmpty() || ToInt(edit->text()) < ToInt(MinLengthLimit())) edit->setText(MinLengthLimit());
}

void DefinitionEditor::MaxLenExit(QLineEdit* edit) {
    if (edit->text().isEmpty() || ToInt(edit->text()) > ToInt(MaxLengthLimit())) edit->setText(MaxLengthLimit());
}

void DefinitionEditor::ResetMinLen(QLineEdit* edit) {
    if (ToInt(edit->text()) != ToInt(MinLengthLimit())) edit->setText(MinLengthLimit());
}

void DefinitionEditor::ResetMaxLen(QLineEdit* edit) {
    if (ToInt(edit->text()) != ToInt(MaxLengthLimit())) edit->setText(MaxLengthLimit());
}

void DefinitionEditor::ResetLengthEB() {
    for (int s = 0; s < 4; ++s) ResetMinLen(Field(SuitLimitIndex(GroupLength, s, false)));
    for (int s = 0; s < 4; ++s) ResetMaxLen(Field(SuitLimitIndex(GroupLength, s, true)));
}

void DefinitionEditor::ResetMaxPoints(QLineEdit* edit) {
    const QString handMax = Field(LimMaxPoints)->text();
    if (ToInt(edit->text()) > ToInt(handMax))
        edit->setText(handMax);
    else
        edit->setText(QStringLiteral("10"));
}

void DefinitionEditor::ResetPointsEB() {
    for (int s = 0; s < 4; ++s) ResetMaxPoints(Field(SuitLimitIndex(GroupPoints, s, true)));
}

bool DefinitionEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == YesShapeLB || watched == NoShapeLB) {
        if (event->type() == QEvent::KeyPress)
            return ShapeLBKeyDown(static_cast<QListWidget*>(watched), static_cast<QKeyEvent*>(event));
        return QDialog::eventFilter(watched, event);
    }
    auto rule = exitRules_.constFind(watched);
    if (rule == exitRules_.constEnd()) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) return NumericKeyPress(static_cast<QKeyEvent*>(event));
    // Clicking into a field selects its number, as tabbing into it does, so
    // that typing replaces it; a click in the field that has the focus, or
    // a drag over part of the number, places the cursor or selects as usual.
    auto* edit = static_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
        clickedInto_ = edit;
    if (event->type() == QEvent::MouseButtonRelease && clickedInto_ == edit) {
        clickedInto_ = nullptr;
        if (!edit->hasSelectedText()) edit->selectAll();
    }
    if (event->type() == QEvent::FocusOut) {
        // Focus that leaves the window (an error box, a menu) is not the
        // user leaving the field, and must not raise the rule again.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason && isVisible())
            FieldExit(static_cast<QLineEdit*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- files

namespace {
FileDialogOptions DefinitionFileOptions(const QString& initialName, bool save) {
    FileDialogOptions o;
    // "Definiton" (sic) is kept as users and stored files know it; do not correct it.
    o.Title = QStringLiteral("Hand Definiton File");
    o.Filter = QStringLiteral("Hand Definition File (*%1)").arg(Q(ExtDefinition));
    o.DefaultSuffix = Q(ExtDefinition).mid(1);
    o.Folder = Q(SharedSettings().HandDefinitionsFolder);
    o.InitialName = initialName;
    o.OverwritePrompt = save;
    o.PathMustExist = true;
    o.FileMustExist = false;
    return o;
}
} // namespace

bool DefinitionEditor::ReadTheFile(const QString& path) {
    DefinitionText defn;
    std::vector<CardCode> refused;
    std::string error;
    if (!zelv::ReadDefinitionFile(path.toStdString(), defn, &refused, &error)) {
        Prompts::current().error(this, Q(error));
        return false;
    }
    SetDefinition(defn, static_cast<int>(refused.size()));
    // Numbers outside 0 to 255 and entries that are no pattern deal
    // otherwise than the file reads: said once, when it is loaded.
    HandDefinition read;
    if (DealEngine::ReadDefinition(path.toStdString(), read, nullptr)) {
        QStringList lines;
        for (const std::string& line : DefinitionWarnings(read, QFileInfo(path).fileName().toStdString()))
            lines << Q(line);
        if (!lines.isEmpty()) Prompts::current().information(this, windowTitle(), lines.join(u'\n'));
    }
    return true;
}

bool DefinitionEditor::WriteTheFile(const QString& path) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    const bool ok = zelv::WriteDefinitionFile(path.toStdString(), Definition(), &error);
    QGuiApplication::restoreOverrideCursor();
    if (!ok) Prompts::current().error(this, Q(error.empty() ? UnableToWrite(path.toStdString()) : error));
    return ok;
}

void DefinitionEditor::LoadBtnClick() {
    const QString path = Prompts::current().chooseOpenFile(this, DefinitionFileOptions(lastOpenName_, false));
    if (path.isEmpty()) return;
    lastOpenName_ = path;
    const QString before = windowTitle();
    setWindowTitle(QStringLiteral("Zelvano Hand Definition - ") + QFileInfo(path).fileName());
    // A file that could not be read was not loaded: the caption goes back.
    if (!ReadTheFile(path)) setWindowTitle(before);
}

void DefinitionEditor::SaveBtnClick() {
    const QString path = Prompts::current().chooseSaveFile(this, DefinitionFileOptions(lastOpenName_, true));
    if (path.isEmpty()) return;
    WriteTheFile(path);
}

void DefinitionEditor::ClearBtnClick() {
    setWindowTitle(QStringLiteral("Zelvano Hand Definition."));
    SetDefaultValues();
}

} // namespace zelv
