#include "gui/generation/GenerationDialog.h"

#include "core/analysis/DoubleDummy.h"
#include "core/dealing/RunChecks.h"
#include "core/dealing/RunPresenter.h"
#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/odds/SetupOdds.h"
#include "core/settings/Settings.h"
#include "core/setup/SessionSetup.h"
#include "gui/generation/ClearAllUndo.h"
#include "gui/generation/ConditionBox.h"
#include "gui/generation/RunFigures.h"
#include "gui/generation/SessionPanel.h"
#include "gui/generation/SetupNotices.h"
#include "gui/widgets/ClickLabel.h"
#include "gui/widgets/DialogFrame.h"
#include "gui/widgets/DropDownCombo.h"
#include "gui/widgets/LocaleNumbers.h"
#include "gui/widgets/LongTime.h"
#include "gui/widgets/Prompts.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include <filesystem>

namespace zelv {

namespace {

// The bar runs in thousandths so that any number of boards fits its range.
constexpr int ProgressScale = 1000;

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

void setHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setToolTipDuration(8000);
}

// Deal's hint names the file code of the boards it writes.
QString DealHint(const QString& code) { return QStringLiteral("Deal the Boards and Save to File: ") + code; }

} // namespace

GenerationDialog::GenerationDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HandGenDlg"));
    setWindowTitle(QStringLiteral("Board Generation"));
    SetFixedDialogFrame(this);
    FormCreate();
}

GenerationDialog::~GenerationDialog() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    StopOdds();
}

QString GenerationDialog::CurrentBoardFilePath() const {
    if (boardFileName_.isEmpty()) return {};
    return q(JoinPath(SharedSettings().HandsFolder, s(boardFileName_)));
}

// ---------------------------------------------------------------- creation

QWidget* GenerationDialog::BuildSeatPage(SeatControls& seat, const QString& name) {
    auto* page = new QWidget;
    page->setObjectName(name + QStringLiteral("Tab"));
    auto* v = new QVBoxLayout(page);

    seat.AnyHand = new QCheckBox(QStringLiteral("Check this box to allow any hand for ") + name, page);
    seat.AnyHand->setObjectName(QString(seat.Letter) + QStringLiteral("AnyHandCB"));
    v->addWidget(seat.AnyHand);

    v->addWidget(new QLabel(QStringLiteral("OR Select up to 5 possible Hand Definitions."), page));
    auto* row = new QHBoxLayout;
    for (int slot = 0; slot < 5; ++slot) {
        if (slot > 0) row->addWidget(new QLabel(QStringLiteral("or"), page));
        auto* combo = new DropDownCombo(page);
        combo->setObjectName(QString(seat.Letter) + QStringLiteral("Condition%1CB").arg(slot + 1));
        combo->setMaxVisibleItems(12);
        // Room for a name such as "Weak Balanced 0-5" whatever the entries;
        // the dialog keeps its size from one showing to the next.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumWidth(combo->fontMetrics().horizontalAdvance(QStringLiteral("Weak Balanced 0-5 and more")) +
                               combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 24);
        // A name too long for the box is shown whole in its hint.
        connect(combo, &QComboBox::currentTextChanged, combo, [combo](const QString& chosen) {
            const bool cut = combo->fontMetrics().horizontalAdvance(chosen) > combo->width() - 30;
            combo->setToolTip(cut ? chosen : QString());
        });
        combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(combo, &DropDownCombo::aboutToShowPopup, this, [this, combo] { ConditionCBClick(combo); });
        seat.Conditions[static_cast<std::size_t>(slot)] = combo;
        row->addWidget(combo, 1);
    }
    v->addLayout(row);
    v->addStretch(1);

    connect(seat.AnyHand, &QCheckBox::toggled, this, [this, &seat] { AnyHandCBClick(seat); });
    return page;
}

void GenerationDialog::FormCreate() {
    auto* top = new QVBoxLayout(this);
    top->addWidget(BuildViews(), 1);
    top->addLayout(BuildOptionRow());
    top->addLayout(BuildOddsRows());
    top->addLayout(BuildOutputRow());
    top->addLayout(BuildProgressRow());
    top->addLayout(BuildTimesRow());
    top->addWidget(BuildFilesLabel());
    top->addLayout(BuildButtons());
    // Fixed border: the size the controls need, at least 740 by 300.
    setFixedSize(sizeHint().expandedTo(QSize(740, 300)));
    move(30, 46);

    // The odds follow the set-up a moment after each change, so a burst of
    // changes (Load, Clear All) is counted once.
    oddsTimer_ = new QTimer(this);
    oddsTimer_->setSingleShot(true);
    oddsTimer_->setInterval(300);
    connect(oddsTimer_, &QTimer::timeout, this, &GenerationDialog::UpdateOdds);
    for (auto& seat : seats_) {
        connect(seat.AnyHand, &QCheckBox::toggled, this, [this] { OddsLater(); });
        for (auto* combo : seat.Conditions)
            connect(combo, &QComboBox::currentIndexChanged, this, [this] { OddsLater(); });
        // A seat chosen again is the user's: what a loaded file named for it is forgotten.
        auto chosen = [this, index = seat.Seat] {
            std::erase_if(missing_, [index](const auto& gone) { return gone.first == index; });
        };
        connect(seat.AnyHand, &QCheckBox::toggled, this, chosen);
        for (auto* combo : seat.Conditions) connect(combo, &QComboBox::currentIndexChanged, this, chosen);
    }
    for (QCheckBox* box : {SeedCB, LevelCB, PbnCB, DoubleDummyCB, SecureCB})
        connect(box, &QCheckBox::toggled, this, [this] { OddsLater(); });
    connect(NumberBoardsEB, &QLineEdit::textChanged, this, [this] { OddsLater(); });
    connect(ConditionPanel, &ConditionBox::changed, this, [this] { OddsLater(); });
    WatchForEdits();
    ConnectSessionView();
}

void GenerationDialog::WatchForEdits() {
    auto edited = [this] {
        SetupEdited();
        ShowNotices();
    };
    for (auto& seat : seats_) {
        connect(seat.AnyHand, &QCheckBox::toggled, this, edited);
        for (auto* combo : seat.Conditions) connect(combo, &QComboBox::currentIndexChanged, this, edited);
    }
    for (QCheckBox* box : {SeedCB, LevelCB, PbnCB, DoubleDummyCB, DupCB, DlmCB, SecureCB})
        connect(box, &QCheckBox::toggled, this, edited);
    for (QLineEdit* edit : {NumberBoardsEB, FirstBoardEB}) connect(edit, &QLineEdit::textChanged, this, edited);
    connect(ConditionPanel, &ConditionBox::changed, this, edited);
}

void GenerationDialog::SetupEdited() {
    // The title names a generator file only while the fields hold it.
    if (applying_) return;
    setWindowTitle(QStringLiteral("Board Generation"));
    setupFile_.clear();
}

void GenerationDialog::ShowNotices() {
    // The Session page deals generator files, not the seats shown.
    const QStringList notices = (SessionShown() ? QStringList() : UnchosenSeatNotices(CurrentSetup())) +
                                MachineFileNotices(q(SharedSettings().DefaultFileCode), OptionsToDeal());
    NoticeLbl->setText(WithLocaleNumbers(notices.join(u'\n')));
}

QVBoxLayout* GenerationDialog::BuildOddsRows() {
    LevelCB = new QCheckBox(QStringLiteral("Share boards equally among the alternatives"), this);
    LevelCB->setObjectName(QStringLiteral("LevelCB"));
    setHint(LevelCB, QStringLiteral("Board 1 takes each seat's first definition, board 2 its second, and so on "
                                    "in turn, so each comes up equally often"));
    OddsLbl = new QLabel(this);
    OddsLbl->setObjectName(QStringLiteral("OddsLbl"));
    OddsLbl->setWordWrap(true);
    OddsLbl->setMinimumHeight(2 * OddsLbl->fontMetrics().lineSpacing());
    OddsLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHint(OddsLbl, QStringLiteral("How many of all hands each seat's definitions accept together, counted exactly"));
    EstimateLbl = new QLabel(this);
    EstimateLbl->setObjectName(QStringLiteral("EstimateLbl"));
    EstimateLbl->setWordWrap(true);
    setHint(EstimateLbl, QStringLiteral("How rare a board of the whole set-up is, from a short trial run of the "
                                        "secure dealer on one core"));
    SharesLbl = new QLabel(this);
    SharesLbl->setObjectName(QStringLiteral("SharesLbl"));
    NoticeLbl = new QLabel(this);
    NoticeLbl->setObjectName(QStringLiteral("NoticeLbl"));
    NoticeLbl->setWordWrap(true);
    setHint(NoticeLbl, QStringLiteral("What Deal will do otherwise than the set-up might suggest"));
    auto* rows = new QVBoxLayout;
    auto* level = new QHBoxLayout;
    level->addWidget(LevelCB);
    level->addStretch(1);
    level->addWidget(SharesLbl);
    rows->addLayout(level);
    rows->addWidget(OddsLbl);
    rows->addWidget(EstimateLbl);
    rows->addWidget(NoticeLbl);
    return rows;
}

QTabWidget* GenerationDialog::BuildSeatPages() {
    const QChar letters[4] = {u'N', u'E', u'S', u'W'};
    const int seatIndex[4] = {North, East, South, West};
    const QString names[4] = {QStringLiteral("North"), QStringLiteral("East"), QStringLiteral("South"),
                              QStringLiteral("West")};
    MainTabSheet = new QTabWidget(this);
    MainTabSheet->setObjectName(QStringLiteral("MainTabSheet"));
    for (int i = 0; i < 4; ++i) {
        seats_[i].Seat = seatIndex[i];
        seats_[i].Letter = letters[i];
        MainTabSheet->addTab(BuildSeatPage(seats_[i], names[i]), names[i]);
    }
    // In the tab bar's corner, so that it shows whichever page is open.
    MainTabSheet->setCornerWidget(BuildSummaryStrip(MainTabSheet), Qt::TopRightCorner);
    return MainTabSheet;
}

QFrame* GenerationDialog::BuildSummaryStrip(QWidget* parent) {
    auto* strip = new QFrame(parent);
    strip->setObjectName(QStringLiteral("TabCheckPanel"));
    strip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setHint(strip, QStringLiteral("Checked = Allow any hand"));
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(6, 0, 6, 0);
    stripLayout->addWidget(new QLabel(QStringLiteral("Any Hand OK"), strip));
    for (auto& seat : seats_) {
        seat.Summary = new QCheckBox(QString(seat.Letter), strip);
        seat.Summary->setObjectName(QStringLiteral("TabCheck") + seat.Letter);
        seat.Summary->setEnabled(false);
        stripLayout->addWidget(seat.Summary);
    }
    return strip;
}

QHBoxLayout* GenerationDialog::BuildOptionRow() {
    auto* options = new QHBoxLayout;
    SeedCB = new QCheckBox(QStringLiteral("Seed First Definition"), this);
    SeedCB->setObjectName(QStringLiteral("SeedCB"));
    setHint(SeedCB, QStringLiteral("Check to force cards in Definition 1. See Help"));
    connect(SeedCB, &QCheckBox::toggled, this, [this] { SeedCBClick(); });
    PbnCB = new QCheckBox(QStringLiteral("Also Write PBN File"), this);
    PbnCB->setObjectName(QStringLiteral("PbnCB"));
    PbnCB->setChecked(true);
    setHint(PbnCB, QStringLiteral("Also write the boards to a PBN file beside the board file"));
    DoubleDummyCB = new QCheckBox(QStringLiteral("Double-Dummy Analysis in PBN"), this);
    DoubleDummyCB->setObjectName(QStringLiteral("DoubleDummyCB"));
    setHint(DoubleDummyCB, QStringLiteral("Give each PBN game the tricks every declarer makes in every strain and "
                                          "the par result (a moment per board)"));
    connect(PbnCB, &QCheckBox::toggled, this, [this](bool on) { DoubleDummyCB->setEnabled(on && !running_); });
    DupCB = new QCheckBox(QStringLiteral("Also Write DUP File"), this);
    DupCB->setObjectName(QStringLiteral("DupCB"));
    setHint(DupCB, QStringLiteral("Also write the boards for the newer Duplimate machines (boards up to 999)"));
    DlmCB = new QCheckBox(QStringLiteral("Also Write DLM File"), this);
    DlmCB->setObjectName(QStringLiteral("DlmCB"));
    setHint(DlmCB, QStringLiteral("Also write the boards for the dealing machines that read text (boards up to 99)"));
    SecureCB = new QCheckBox(QStringLiteral("Secure Random Source"), this);
    SecureCB->setObjectName(QStringLiteral("SecureCB"));
    setHint(SecureCB, QStringLiteral("Draw the cards from the system's secure random source"));
    options->addWidget(SeedCB);
    options->addWidget(PbnCB);
    options->addWidget(DoubleDummyCB);
    options->addWidget(DupCB);
    options->addWidget(DlmCB);
    options->addWidget(SecureCB);
    options->addStretch(1);
    return options;
}

QHBoxLayout* GenerationDialog::BuildOutputRow() {
    SavePanel = new QLabel(this);
    SavePanel->setObjectName(QStringLiteral("SavePanel"));
    SavePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setHint(SavePanel, QStringLiteral("File Name for Save Boards"));
    // The panel acts as a button: a left click runs Change File.
    ChangeFilePanel = new ClickLabel(QStringLiteral(" Change: "), this);
    ChangeFilePanel->setObjectName(QStringLiteral("Panel3"));
    ChangeFilePanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    setHint(ChangeFilePanel, QStringLiteral("Change File Name for Saved Boards"));
    connect(ChangeFilePanel, &ClickLabel::clicked, this, [this] { ChangeFileBtnClick(); });
    ChangeFileBtn = new QToolButton(this);
    ChangeFileBtn->setObjectName(QStringLiteral("ChangeFileBtn"));
    ChangeFileBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    setHint(ChangeFileBtn, QStringLiteral("Change File Name for Saved Boards"));
    connect(ChangeFileBtn, &QToolButton::clicked, this, [this] { ChangeFileBtnClick(); });
    auto* numberLbl = new QLabel(QStringLiteral("Number of Boards: "), this);
    numberLbl->setObjectName(QStringLiteral("NumberBoardsLbl"));
    NumberBoardsEB = new QLineEdit(this);
    NumberBoardsEB->setObjectName(QStringLiteral("NumberBoardsEB"));
    NumberBoardsEB->setMaximumWidth(80);
    numberLbl->setBuddy(NumberBoardsEB);
    auto* firstLbl = new QLabel(QStringLiteral("First Board: "), this);
    firstLbl->setObjectName(QStringLiteral("FirstBoardLbl"));
    FirstBoardEB = new QLineEdit(this);
    FirstBoardEB->setObjectName(QStringLiteral("FirstBoardEB"));
    FirstBoardEB->setMaximumWidth(80);
    FirstBoardEB->setMaxLength(10);
    setHint(FirstBoardEB, QStringLiteral("The number of the set's first board, for a second table's set 17 to 32"));
    firstLbl->setBuddy(FirstBoardEB);
    auto* output = new QHBoxLayout;
    output->addWidget(numberLbl);
    output->addWidget(NumberBoardsEB);
    output->addSpacing(12);
    output->addWidget(firstLbl);
    output->addWidget(FirstBoardEB);
    output->addStretch(1);
    output->addWidget(SavePanel);
    output->addWidget(ChangeFilePanel);
    output->addWidget(ChangeFileBtn);
    return output;
}

QHBoxLayout* GenerationDialog::BuildProgressRow() {
    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setRange(0, ProgressScale);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(true);
    ProgBar->setFormat(QString());
    auto* counterLbl = new QLabel(QStringLiteral("Boards Dealt:"), this);
    counterLbl->setObjectName(QStringLiteral("CounterLbl"));
    Counter = new QLabel(this);
    Counter->setObjectName(QStringLiteral("Counter"));
    Counter->setMinimumWidth(80);
    RateLbl = new QLabel(this);
    RateLbl->setObjectName(QStringLiteral("RateLbl"));
    RateLbl->setMinimumWidth(110);
    auto* run = new QHBoxLayout;
    run->addWidget(ProgBar, 1);
    run->addWidget(counterLbl);
    run->addWidget(Counter);
    run->addWidget(RateLbl);
    return run;
}

QHBoxLayout* GenerationDialog::BuildTimesRow() {
    auto* times = new QHBoxLayout;
    StartLbl = new QLabel(QStringLiteral("Start: "), this);
    StartLbl->setObjectName(QStringLiteral("StartLbl"));
    FinishLbl = new QLabel(QStringLiteral("Finish: "), this);
    FinishLbl->setObjectName(QStringLiteral("FinishLbl"));
    times->addWidget(StartLbl, 1);
    times->addWidget(FinishLbl, 1);
    return times;
}

QLabel* GenerationDialog::BuildFilesLabel() {
    // Where the last run's boards went, so that the user can find them.
    FilesLbl = new QLabel(this);
    FilesLbl->setObjectName(QStringLiteral("FilesLbl"));
    FilesLbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return FilesLbl;
}

QHBoxLayout* GenerationDialog::BuildButtons() {
    auto* buttons = new QHBoxLayout;
    auto button = [&](QPushButton*& b, const char* name, const QString& caption, const QString& hint) {
        b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        if (!hint.isEmpty()) setHint(b, hint);
        buttons->addWidget(b);
    };
    button(LoadBtn, "LoadBtn", QStringLiteral("&Load "), QStringLiteral("Load a Generator File"));
    button(SaveBtn, "SaveBtn", QStringLiteral("&Save"), QStringLiteral("Save Hand Definition To a Generator File"));
    button(HelpBtn, "HelpBtn", QStringLiteral("Help"), QString());
    buttons->addStretch(1);
    button(DealBtn, "DealBtn", QStringLiteral("Deal"), DealHint(q(SharedSettings().DefaultFileCode)));
    button(ClearBtn, "ClearBtn", QStringLiteral("C&lear All"), QStringLiteral("Set ALL fields to Default Values"));
    button(CloseBtn, "CloseBtn", QStringLiteral("&Close"), QString());
    DealBtn->setDefault(true);

    connect(LoadBtn, &QPushButton::clicked, this, [this] { LoadBtnClick(); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    ConnectHelp(this, HelpBtn, HelpTopic::Generation);
    connect(DealBtn, &QPushButton::clicked, this, [this] { DealBtnClick(); });
    clearUndo_ = new ClearAllUndo(ClearBtn, [this] { return ClearBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, [this] { reject(); });
    return buttons;
}

void GenerationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restoring a minimised window is not a new showing.
    if (!event->spontaneous()) FormActivate();
}

void GenerationDialog::FormActivate() {
    const Settings& settings = SharedSettings();
    const QString code = q(settings.DefaultFileCode);
    changeFolder_ = q(settings.HandsFolder);
    boardFileName_ = code + q(std::string(ExtBoards));
    setHint(DealBtn, DealHint(code));

    names_.clear();
    for (const auto& name : ListDefinitionNames(settings.HandDefinitionsFolder)) names_ << q(name);

    ShowFileCode();
    FitCombosToNames();
    // The first showing starts from the defaults; later ones of the session
    // come back as the last one was left.
    if (session_) {
        applying_ = true;
        LoadGeneratorFile(*session_);
        setWindowTitle(sessionTitle_);
        applying_ = false;
        ClearRunFigures();
    } else {
        SetDefaultValues();
        NumberBoardsEB->setText(QStringLiteral("1"));
        FirstBoardEB->setText(QStringLiteral("1"));
    }
    ShowNotices();
    MainTabSheet->setCurrentIndex(0);
    seats_[0].Conditions[0]->setFocus();
}

void GenerationDialog::FitCombosToNames() {
    // The boxes are wide enough for the names one gives definitions; a
    // longer one shows whole in the list, which grows with it.
    const QFontMetrics metrics(seats_[0].Conditions[0]->font());
    int widest = 0;
    for (const QString& name : names_) widest = std::max(widest, metrics.horizontalAdvance(name));
    const int arrow = seats_[0].Conditions[0]->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 24;
    for (auto& seat : seats_)
        for (DropDownCombo* combo : seat.Conditions) combo->view()->setMinimumWidth(widest + arrow);
}

void GenerationDialog::ShowFileCode() {
    const QString code = q(SharedSettings().DefaultFileCode);
    SavePanel->setText(QStringLiteral(" Save Boards to File: ") + code);
    setHint(DealBtn, DealHint(code));
}

void GenerationDialog::SetDefaultValues() {
    missing_.clear();
    for (auto& seat : seats_) {
        const bool any = seat.Seat != North;
        seat.AnyHand->setChecked(any);
        // The box may already have had that state, so the rule is applied here too.
        for (auto* combo : seat.Conditions) {
            combo->setCurrentIndex(-1);
            combo->setEnabled(!any && !running_);
        }
        seat.Summary->setChecked(any);
    }
    SeedCB->setChecked(true);
    SeedCBClick();
    PbnCB->setChecked(true);
    DoubleDummyCB->setChecked(false);
    DupCB->setChecked(false);
    DlmCB->setChecked(false);
    SecureCB->setChecked(false);
    LevelCB->setChecked(false);
    ConditionPanel->setText(QString());
    ClearRunFigures();
    MainTabSheet->setCurrentIndex(0);
}

void GenerationDialog::ClearRunFigures() {
    SharesLbl->clear();
    ProgBar->setValue(0);
    ProgBar->setFormat(QString());
    Counter->clear();
    RateLbl->clear();
    FinishLbl->setText(QStringLiteral("Finish: "));
    StartLbl->setText(QStringLiteral("Start: "));
    FilesLbl->clear();
    FilesLbl->setToolTip(QString());
}

std::function<void()> GenerationDialog::ClearBtnClick() {
    const GeneratorSetup before = CurrentSetup();
    const QString title = windowTitle(), file = setupFile_;
    SetDefaultValues();
    setWindowTitle(QStringLiteral("Board Generation"));
    return [this, before, title, file] {
        applying_ = true;
        LoadGeneratorFile(before);
        setWindowTitle(title);
        setupFile_ = file;
        applying_ = false;
        ShowNotices();
    };
}

// ---------------------------------------------------------------- the set-up

void GenerationDialog::AnyHandCBClick(SeatControls& seat) {
    const bool any = seat.AnyHand->isChecked();
    for (auto* combo : seat.Conditions) {
        combo->setCurrentIndex(-1);
        combo->setEnabled(!any && !running_);
    }
    seat.Summary->setChecked(any);
}

void GenerationDialog::FillCombo(DropDownCombo* combo) {
    if (combo->count() > 0) return;
    combo->setSortedItems(names_);
}

void GenerationDialog::ConditionCBClick(DropDownCombo* combo) { FillCombo(combo); }

void GenerationDialog::SeedCBClick() { seedFirst_ = SeedCB->isChecked(); }

GenerationDialog::SeatControls& GenerationDialog::SeatOf(int seatIndex) {
    for (auto& seat : seats_)
        if (seat.Seat == seatIndex) return seat;
    return seats_[0];
}

GeneratorSetup GenerationDialog::CurrentSetup() const {
    GeneratorSetup setup;
    for (const auto& seat : seats_) {
        auto& out = setup.Seats[static_cast<std::size_t>(seat.Seat)];
        out.AnyHand = seat.AnyHand->isChecked();
        for (std::size_t slot = 0; slot < 5; ++slot) {
            const auto* combo = seat.Conditions[slot];
            out.Names[slot] = combo->currentIndex() >= 0 ? s(combo->currentText()) : std::string();
        }
    }
    setup.Level = LevelCB->isChecked();
    setup.Condition = s(ConditionPanel->text());
    GeneratorOptions& o = setup.Options;
    o.SeedFirst = SeedCB->isChecked();
    o.WritePbn = PbnCB->isChecked();
    o.PbnAnalysis = DoubleDummyCB->isChecked();
    o.WriteDup = DupCB->isChecked();
    o.WriteDlm = DlmCB->isChecked();
    o.Secure = SecureCB->isChecked();
    o.Boards = s(NumberBoardsEB->text());
    o.FirstBoard = s(FirstBoardEB->text());
    return setup;
}

DealSetup GenerationDialog::CurrentDealSetup() const {
    const GeneratorSetup setup = CurrentSetup();
    DealSetup deal;
    for (std::size_t seat = 0; seat < 4; ++seat) {
        deal[seat].Constrained = !setup.Seats[seat].AnyHand;
        if (deal[seat].Constrained) deal[seat].Names = setup.Seats[seat].Names;
    }
    return deal;
}

// ---------------------------------------------------------------- files

namespace {
// The Load and Save dialogs differ in their title ("Generator" when loading,
// "Generation" when saving) and in what they ask of the chosen name.
FileDialogOptions GeneratorFileOptions(const QString& title, bool save, int helpTopic) {
    FileDialogOptions o;
    o.Title = title;
    o.Filter = title + QStringLiteral(" (*.GEN)");
    o.DefaultSuffix = QStringLiteral("GEN");
    o.Folder = QString::fromStdString(SharedSettings().HandGeneratorsFolder);
    o.OverwritePrompt = save;
    o.FileMustExist = false;
    o.HelpTopic = helpTopic;
    return o;
}
} // namespace

void GenerationDialog::LoadBtnClick() {
    const QString path = Prompts::current().chooseOpenFile(
        this, GeneratorFileOptions(QStringLiteral("Hand Generator File"), false, HelpTopic::Generation));
    if (path.isEmpty()) return;
    GeneratorSetup setup;
    std::string error;
    // A missing file reads as defaults; only a file that exists and cannot
    // be read is reported, and then the dialog is left as it was.
    if (!zelv::ReadGeneratorFile(s(path), setup, &error)) {
        Prompts::current().error(this, q(error));
        return;
    }
    applying_ = true;
    LoadGeneratorFile(setup);
    setWindowTitle(QStringLiteral("ZELV Hand Generation - ") + QFileInfo(path).fileName());
    setupFile_ = path;
    applying_ = false;
    RefuseMissingDefinitions(path, setup);
}

void GenerationDialog::RefuseMissingDefinitions(const QString& path, const GeneratorSetup& setup) {
    std::vector<std::string> available;
    for (const auto& n : names_) available.push_back(s(n));
    missing_.clear();
    QStringList lines;
    for (const MissingDefinition& gone : MissingDefinitions(setup, available)) {
        const QString line =
            q(MissingDefinitionText(s(QFileInfo(path).fileName()), gone, SharedSettings().HandDefinitionsFolder));
        missing_.emplace_back(gone.Seat, line);
        lines << line;
    }
    if (lines.isEmpty()) return;
    Prompts::current().error(this,
                             lines.join(u'\n') + QStringLiteral("\n\nSuch a slot is left empty; choose that seat's "
                                                                "definitions again before dealing."));
}

bool GenerationDialog::NoDefinitionMissing() {
    if (missing_.empty()) return true;
    QStringList lines;
    for (const auto& [seat, line] : missing_) lines << line;
    Prompts::current().error(this, lines.join(u'\n') +
                                       QStringLiteral("\n\nChoose that seat's definitions again, or allow it any "
                                                      "hand, before dealing."));
    return false;
}

void GenerationDialog::LoadGeneratorFile(const GeneratorSetup& setup) {
    std::vector<std::string> available;
    for (const auto& n : names_) available.push_back(s(n));

    for (int seatIndex : {North, South, East, West}) {
        SeatControls& seat = SeatOf(seatIndex);
        const GeneratorSeat& stored = setup.Seats[static_cast<std::size_t>(seatIndex)];
        seat.AnyHand->setChecked(stored.AnyHand);
        for (std::size_t slot = 0; slot < 5; ++slot) {
            DropDownCombo* combo = seat.Conditions[slot];
            // A list is filled only to show a name; the others wait until opened.
            if (stored.AnyHand || stored.Names[slot].empty()) {
                combo->setCurrentIndex(-1);
                continue;
            }
            FillCombo(combo);
            const QString match = q(MatchDefinitionName(available, stored.Names[slot]));
            combo->setCurrentIndex(match.isEmpty() ? -1 : combo->findText(match, Qt::MatchExactly));
        }
    }
    LevelCB->setChecked(setup.Level);
    ConditionPanel->setText(q(setup.Condition));
    const GeneratorOptions& o = setup.Options;
    SeedCB->setChecked(o.SeedFirst);
    PbnCB->setChecked(o.WritePbn);
    DoubleDummyCB->setChecked(o.PbnAnalysis);
    DupCB->setChecked(o.WriteDup);
    DlmCB->setChecked(o.WriteDlm);
    SecureCB->setChecked(o.Secure);
    NumberBoardsEB->setText(q(o.Boards));
    FirstBoardEB->setText(q(o.FirstBoard));
}

void GenerationDialog::SaveBtnClick() {
    const QString path = Prompts::current().chooseSaveFile(
        this, GeneratorFileOptions(QStringLiteral("Hand Generation File"), true, HelpTopic::Generation));
    if (!path.isEmpty()) SaveGeneratorFile(path);
}

void GenerationDialog::SaveGeneratorFile(const QString& path) {
    std::string error;
    if (!zelv::WriteGeneratorFile(s(path), CurrentSetup(), &error)) {
        Prompts::current().error(this, q(error));
        return;
    }
    // The fields now hold the file just saved.
    setWindowTitle(QStringLiteral("ZELV Hand Generation - ") + QFileInfo(path).fileName());
    setupFile_ = path;
}

void GenerationDialog::ChangeFileBtnClick() {
    if (running_) return;
    FileDialogOptions o;
    o.Title = QStringLiteral("Hand Production File");
    o.Filter = QStringLiteral("Hand Production File (*.DGE)");
    o.DefaultSuffix = QStringLiteral("DGE");
    o.Folder = changeFolder_;
    o.InitialName = boardFileName_;
    // Only a name is chosen here; nothing is replaced until Deal, which asks.
    o.OverwritePrompt = false;
    o.PathMustExist = true;
    o.HelpTopic = HelpTopic::Generation;
    const QString path = Prompts::current().chooseSaveFile(this, o);
    if (!path.isEmpty()) {
        // Only the name counts: the files always go to the Hands folder.
        const QString name = QFileInfo(path).fileName();
        const QString code = name.left(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
        if (const std::string why = FileCodeProblem(s(code)); !why.empty()) {
            Prompts::current().error(this, q("The file code " + why + "."));
        } else {
            if (const std::string note = HiddenFileCodeNote(s(code)); !note.empty())
                Prompts::current().information(this, windowTitle(), q("The file code: " + note + "."));
            SharedSettings().DefaultFileCode = s(code);
            boardFileName_ = code + q(std::string(ExtBoards));
            ShowFileCode();
        }
    }
    DealBtn->setFocus();
}

// ---------------------------------------------------------------- dealing

bool GenerationDialog::MayReplaceBoards(long long boards, const QStringList& notices) {
    // A request for no board replaces nothing; neither does a folder without a set.
    if (boards <= 0) return true;
    // What is left out is said first, so that the one question covers both.
    const QString before =
        notices.isEmpty() ? QString() : WithLocaleNumbers(notices.join(u'\n')) + QStringLiteral("\n\n");
    const Settings& settings = SharedSettings();
    for (std::string_view ext : {ExtBoards, ExtMachine}) {
        const std::string name = settings.DefaultFileCode + std::string(ext);
        std::error_code ec;
        const auto size = std::filesystem::file_size(JoinPath(settings.HandsFolder, name), ec);
        if (ec || size < RecordSize) continue;
        const auto held = size / RecordSize;
        const QString text = QStringLiteral("%1 already holds %2 %3. Replace them?")
                                 .arg(q(name))
                                 .arg(LocaleNumber(held))
                                 .arg(held == 1 ? QStringLiteral("board") : QStringLiteral("boards"));
        return Prompts::current().confirm(this, windowTitle(), before + text);
    }
    return notices.isEmpty() ||
           Prompts::current().confirm(this, windowTitle(), before + QStringLiteral("Deal the other files?"));
}

void GenerationDialog::DealBtnClick() {
    if (running_) {
        StopRun();
        return;
    }
    if (SessionShown()) {
        DealSession();
        return;
    }
    // Enter deals (Deal is the default button), so a set is never replaced
    // without the user saying so.
    long long wanted = 1;
    if (!NumberBoardsEB->text().isEmpty() && !ParseWholeNumber(s(NumberBoardsEB->text()), wanted)) wanted = 0;
    const std::uint64_t first = FirstBoardNumber();
    if (first == 0) return;
    if (!PbnNumbersFit(first, static_cast<std::uint64_t>(std::max(wanted, 0LL)))) return;
    DealRunOptions options;
    options.Setup = CurrentDealSetup();
    options.SeedFirst = seedFirst_;
    options.Level = LevelCB->isChecked();
    options.Boards = std::max(wanted, 0LL);
    options.DefinitionsFolder = SharedSettings().HandDefinitionsFolder;
    // Said before anything is asked or touched.
    if (!ConditionPanel->problem().isEmpty()) {
        Prompts::current().error(this, QStringLiteral("The condition cannot be dealt as it stands: ") +
                                           ConditionPanel->problem());
        return;
    }
    if (const auto condition = ConditionPanel->condition()) options.Condition = SetupCondition::Tests(condition);
    if (!NoDefinitionMissing() || !SetupCanBeDealt(options)) return;
    if (!MayReplaceBoards(wanted, MachineFileNotices(q(SharedSettings().DefaultFileCode), CurrentSetup().Options)))
        return;
    ShowRunStarting();
    if (NumberBoardsEB->text().isEmpty()) NumberBoardsEB->setText(QStringLiteral("1"));

    const QString text = NumberBoardsEB->text();
    long long n = 0;
    if (!ParseWholeNumber(s(text), n)) {
        Prompts::current().error(this, QStringLiteral("'%1' is not a valid integer value").arg(text));
        return;
    }
    if (n < 0) {
        Prompts::current().error(
            this, QStringLiteral("The number of boards cannot be negative: '%1'. Enter 0 or more.").arg(text));
        return;
    }

    const Settings& settings = SharedSettings();
    options.Boards = n;
    options.DefinitionsFolder = settings.HandDefinitionsFolder;
    options.OutputFolder = settings.HandsFolder;
    options.FileCode = settings.DefaultFileCode;
    options.WritePbn = PbnCB->isChecked();
    options.PbnAnalysis = options.WritePbn && DoubleDummyCB->isChecked();
    options.WriteDup = DupCB->isChecked();
    options.WriteDlm = DlmCB->isChecked();
    options.FirstBoard = first;
    options.Secure = SecureCB->isChecked();
    options.Random = random_;
    DropMachineFilesTooSmall(options);
    StartRun(options);
}

std::uint64_t GenerationDialog::FirstBoardNumber() {
    if (FirstBoardEB->text().trimmed().isEmpty()) FirstBoardEB->setText(QStringLiteral("1"));
    const QString text = FirstBoardEB->text();
    bool ok = false;
    const qulonglong first = text.trimmed().toULongLong(&ok);
    if (!ok || first < 1 || first > 0xFFFFFFFFull) {
        Prompts::current().error(
            this, QStringLiteral("'%1' is not a board number for the first board. Enter 1 or more.").arg(text));
        return 0;
    }
    return first;
}

void GenerationDialog::DropMachineFilesTooSmall(DealRunOptions& options) {
    // Said under the odds and asked at Deal; the other files are still written.
    DropMachineFilesOutOfRange(options);
}

bool GenerationDialog::PbnNumbersFit(std::uint64_t first, std::uint64_t boards) {
    const std::string why = PbnRangeRefusal(SharedSettings().DefaultFileCode, first, boards);
    if (!PbnCB->isChecked() || why.empty()) return true;
    Prompts::current().error(this, q(why + ". Enter a smaller first board, or untick Also Write PBN File."));
    return false;
}

bool GenerationDialog::SetupCanBeDealt(const DealRunOptions& options) {
    // A set-up that does not load is reported by the run itself.
    const std::string why = UndealableSetup(options);
    if (why.empty()) return true;
    Prompts::current().error(this, q(why));
    return false;
}

void GenerationDialog::StartRun(const DealRunOptions& options) {
    if (worker_.joinable()) worker_.join();
    StopOdds();
    runSetup_ = options.Level ? options.Setup : DealSetup{};
    SharesLbl->clear();
    requested_ = RunBoards(options);
    stop_ = false;
    result_ = DealRunResult{};
    const std::uint64_t run = ++runId_;
    ProgBar->setRange(0, ProgressScale);
    ProgBar->setValue(0);
    ProgBar->setFormat(QStringLiteral("0 of %1").arg(LocaleNumber(static_cast<qulonglong>(requested_))));
    Counter->setText(BoardsAndDealsText(0, requested_, 0));
    SetRunning(true);

    worker_ = std::thread([this, options, run] {
        auto progress = [this, run](const DealProgress& p) {
            QMetaObject::invokeMethod(
                this, [this, run, p] { ShowProgress(run, p); }, Qt::QueuedConnection);
        };
        DealRunResult result = RunDeal(options, &stop_, progress);
        result_ = std::move(result);
        QMetaObject::invokeMethod(
            this, [this, run] { RunEnded(run); }, Qt::QueuedConnection);
    });
}

void GenerationDialog::ShowProgress(std::uint64_t run, const DealProgress& p) {
    if (run != runId_ || !running_) return;
    // The bar follows the step in hand: the dealing, then the analysis.
    const std::uint64_t done = p.Analysing ? p.Analysed : p.Accepted;
    const std::uint64_t of =
        p.Analysing ? p.Accepted : static_cast<std::uint64_t>(std::max<std::int64_t>(p.Requested, 0));
    ProgBar->setFormat(PartBeingDealt(p) + WithLocaleNumbers(q(ProgressText(p))));
    ProgBar->setValue(of > 0 ? static_cast<int>(done * ProgressScale / of) : 0);
    Counter->setText(BoardsAndDealsText(p.Accepted, p.Requested, p.Attempts));
    if (p.Seconds > 0) ShowRate(p.Attempts, p.Seconds);
    ShowShares(p.Shares);
}

void GenerationDialog::ShowShares(const AlternativeShares& shares) {
    const std::string text = DescribeShares(runSetup_, shares);
    SharesLbl->setText(text.empty() ? QString() : QStringLiteral("Shared: ") + WithLocaleNumbers(q(text)));
}

void GenerationDialog::OddsLater() {
    // Closing clears the lists, which is no change worth counting.
    if (!running_ && isVisible()) oddsTimer_->start();
}

void GenerationDialog::StopOdds() {
    oddsTimer_->stop();
    oddsStop_ = true;
    // The counts and the trial run look at the flag every few milliseconds.
    if (oddsWorker_.joinable()) oddsWorker_.join();
}

void GenerationDialog::UpdateOdds() {
    StopOdds();
    if (running_ || !isVisible()) return;
    const std::uint64_t job = ++oddsJob_;
    const DealSetup setup = CurrentDealSetup();
    const bool seedFirst = seedFirst_, level = LevelCB->isChecked(), secure = SecureCB->isChecked();
    long long boards = 1;
    if (!ParseWholeNumber(s(NumberBoardsEB->text()), boards) || boards < 1) boards = 1;
    const std::string folder = SharedSettings().HandDefinitionsFolder;
    const bool analysis = PbnCB->isChecked() && DoubleDummyCB->isChecked();
    const double analysisSeconds = analysisSecondsPerBoard_;
    EstimateLbl->setText(QStringLiteral("Set-up: estimating..."));
    oddsStop_ = false;
    const std::shared_ptr<const SetupCondition> condition = ConditionPanel->condition();
    if (!ConditionPanel->problem().isEmpty()) {
        EstimateLbl->setText(QStringLiteral("Set-up: the condition is to be put right first"));
        emit oddsShown();
        return;
    }
    oddsWorker_ = std::thread([this, job, setup, seedFirst, level, secure, boards, folder, analysis, analysisSeconds,
                               condition] {
        auto post = [this, job](const std::string& seats, const std::string& estimate, bool final) {
            QMetaObject::invokeMethod(
                this,
                [this, job, seats = q(seats), estimate = q(estimate), final] { ShowOdds(job, seats, estimate, final); },
                Qt::QueuedConnection);
        };
        DealEngine board;
        board.SeedFirst = seedFirst;
        std::string error, detail;
        if (!board.LoadSetup(setup, folder, &error, &detail)) {
            post(detail.empty() ? error : error + " (" + detail + ")", "Set-up: cannot be dealt as it stands", true);
            return;
        }
        const std::vector<SeatOdds> seats = OddsOfSeats(board, setup, true, &oddsStop_);
        if (oddsStop_) return;
        std::string text = SeatOddsLine(seats);
        if (!level)
            for (const std::string& line : DefinitionsNeverDealt(seats)) text += ".  " + line;
        for (const std::string& line : SetupWarnings(board, setup, folder)) text += ".  " + line;
        if (const std::string why = SetupCannotBeDealt(board, setup, seats, level, static_cast<std::uint64_t>(boards));
            !why.empty()) {
            post(text, "Cannot be dealt: " + why, true);
            return;
        }
        post(text, "Set-up: estimating...", false);
        const BoardTest test = condition ? SetupCondition::Tests(condition)() : BoardTest{};
        const SetupEstimate estimate = level ? EstimateLevelled(board, boards, 0.3, &oddsStop_, test)
                                             : EstimateSetup(board, 0.3, &oddsStop_, test);
        if (oddsStop_) return;
        const double perBoard = analysis ? AnalysisSecondsPerBoard(analysisSeconds) : 0.0;
        if (oddsStop_) return;
        std::string line = EstimateLine(estimate, boards, perBoard, {level, condition != nullptr});
        if (const std::string advice = SecureAdviceLine(estimate, boards, "Secure Random Source");
            !advice.empty() && !secure)
            line += ". " + advice;
        post(text, line, true);
    });
}

double GenerationDialog::AnalysisSecondsPerBoard(double known) {
    if (known > 0) return known;
    // Measured once a session, on a few boards: a second or so of the solver.
    const std::optional<double> measured = MeasureSecondsPerBoard(&oddsStop_);
    if (!measured) return 0;
    QMetaObject::invokeMethod(
        this, [this, seconds = *measured] { analysisSecondsPerBoard_ = seconds; }, Qt::QueuedConnection);
    return *measured;
}

void GenerationDialog::ShowOdds(std::uint64_t job, const QString& seats, const QString& estimate, bool final) {
    if (job != oddsJob_) return;
    OddsLbl->setText(WithLocaleNumbers(seats));
    EstimateLbl->setText(WithLocaleNumbers(estimate));
    if (final) emit oddsShown();
}

void GenerationDialog::ShowRate(std::uint64_t attempts, double seconds) {
    const auto rate = static_cast<qulonglong>(static_cast<double>(attempts) / seconds);
    RateLbl->setText(QStringLiteral("%1 a second").arg(QLocale().toString(rate)));
}

void GenerationDialog::RunEnded(std::uint64_t run) {
    if (run != runId_ || !running_) return;
    FinishRun(false);
}

void GenerationDialog::StopRun() {
    if (!running_) return;
    stop_ = true;
    DealBtn->setEnabled(false); // until the worker has noticed
}

void GenerationDialog::FinishRun(bool quiet) {
    if (worker_.joinable()) worker_.join();
    SetRunning(false);
    const DealRunResult result = result_;

    // The figures of the boards written, which the last report may trail.
    Counter->setText(BoardsAndDealsText(result.Accepted, requested_, result.Attempts));
    if (result.Seconds > 0 && result.Attempts > 0) ShowRate(result.Attempts, result.Seconds);
    ShowShares(result.Shares);
    FinishLbl->setText(QStringLiteral("Finish: ") + LongTime() + QStringLiteral(" \u00b7 ") +
                       BoardsWrittenText(result));
    ShowFilesWritten(result);
    const std::uint64_t kept = result.Written ? result.Accepted : 0;
    ProgBar->setValue(requested_ > 0 ? static_cast<int>(std::min<std::uint64_t>(kept, requested_) * ProgressScale /
                                                        static_cast<std::uint64_t>(requested_))
                                     : 0);
    DealProgress written;
    written.Accepted = kept;
    written.Requested = requested_;
    ProgBar->setFormat(WithLocaleNumbers(q(ProgressText(written))));
    // The run's own pace is the best guess at the next run's.
    if (result.Analysed > 0) analysisSecondsPerBoard_ = result.AnalysisSeconds / static_cast<double>(result.Analysed);
    QStringList lines;
    for (const std::string& line : RunEndLines(result, requested_)) lines << WithLocaleNumbers(q(line));
    // A session also says which of its parts are whole.
    if (!runSession_.Parts.empty())
        for (const std::string& line : SessionPartLines(runSession_, result)) lines << WithLocaleNumbers(q(line));
    runSession_ = Session{};
    if (!quiet) {
        switch (result.Status) {
        case DealStatus::Done:
            Prompts::current().beep();
            // Said only when a game was written without its par, or of a session's parts.
            if (lines.size() > 1) Prompts::current().information(this, windowTitle(), lines.join(u'\n'));
            break;
        case DealStatus::Stopped:
        case DealStatus::AttemptLimit:
        case DealStatus::SequenceSpent:
            Prompts::current().beep();
            Prompts::current().information(this, windowTitle(), lines.join(u'\n'));
            break;
        case DealStatus::Failed:
            // The message as it stands, then where the bad value was found.
            Prompts::current().error(this, result.ErrorDetail.empty()
                                               ? q(result.Error)
                                               : q(result.Error) + QStringLiteral("\n\n") + q(result.ErrorDetail));
            break;
        }
    }
    emit dealFinished();
}

void GenerationDialog::ShowFilesWritten(const DealRunResult& result) {
    if (!result.Written) {
        FilesLbl->setText(result.Status == DealStatus::Failed || result.BoardPath.empty()
                              ? QStringLiteral("No file was written.")
                              : QStringLiteral("No file was written; the previous files were kept."));
        FilesLbl->setToolTip(QString());
        return;
    }
    QStringList names;
    for (const std::string& path : {result.BoardPath, result.BriPath, result.PbnPath, result.DupPath, result.DlmPath})
        if (!path.empty()) names << QFileInfo(q(path)).fileName();
    const QString last = names.takeLast();
    const QString folder = QFileInfo(q(result.BoardPath)).absolutePath();
    const QString prefix = QStringLiteral("Wrote %1 and %2 in ").arg(names.join(QStringLiteral(", ")), last);
    // A long folder is shortened in the middle; the whole of it is the hint.
    const int room = std::max(80, width() - 24 - FilesLbl->fontMetrics().horizontalAdvance(prefix));
    FilesLbl->setText(prefix + FilesLbl->fontMetrics().elidedText(folder, Qt::ElideMiddle, room));
    FilesLbl->setToolTip(folder);
}

void GenerationDialog::SetRunning(bool on) {
    running_ = on;
    DealBtn->setEnabled(true);
    DealBtn->setText(on ? QStringLiteral("Stop") : QStringLiteral("Deal"));
    setHint(DealBtn, on ? QStringLiteral("Stop the run; the boards dealt so far are kept")
                        : DealHint(q(SharedSettings().DefaultFileCode)));
    for (auto& seat : seats_) {
        seat.AnyHand->setEnabled(!on);
        for (auto* combo : seat.Conditions) combo->setEnabled(!on && !seat.AnyHand->isChecked());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{SeedCB, PbnCB, DupCB, DlmCB, SecureCB, LevelCB, ChangeFilePanel,
                                                      ChangeFileBtn, NumberBoardsEB, FirstBoardEB, LoadBtn, ClearBtn})
        w->setEnabled(!on);
    DoubleDummyCB->setEnabled(!on && PbnCB->isChecked());
    if (on) RateLbl->clear();
    SessionView->SetRunning(on);
    ShowView();
}

// ---------------------------------------------------------------- closing

void GenerationDialog::ClearAllCombos() {
    for (auto& seat : seats_)
        for (auto* combo : seat.Conditions) combo->clear();
}

void GenerationDialog::done(int result) {
    if (running_) {
        stop_ = true;
        FinishRun(true);
    }
    StopOdds();
    SessionView->StopEstimate();
    session_ = CurrentSetup();
    sessionTitle_ = windowTitle();
    clearUndo_->Forget();
    applying_ = true;
    ClearAllCombos();
    applying_ = false;
    names_.clear();
    QDialog::done(result);
}

} // namespace zelv
