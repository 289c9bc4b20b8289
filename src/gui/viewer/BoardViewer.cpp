// The board viewer: one board at a time with its double-dummy analysis.
#include "gui/viewer/BoardViewer.h"

#include "core/analysis/AnalysisText.h"
#include "core/cards/Cards.h"
#include "gui/viewer/FileAnalyser.h"
#include "gui/widgets/DialogFrame.h"
#include "gui/widgets/Prompts.h"
#include "gui/widgets/SuitSigns.h"
#include "print/Fonts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include <QShowEvent>
#include <QStyle>
#include <algorithm>

namespace zelv {

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    return label;
}

struct SeatPlace {
    char letter;
    int seat;
    const char* name;
    int nameLeft, nameTop;
    int signLeft;
    int signTops[4];
    int textLeft;
    int textTops[4];
};

// Design positions of the diagram, in pixels at 96 dpi.
constexpr SeatPlace Places[4] = {
    {'N', North, "North", 136, 3, 122, {22, 42, 64, 83}, 136, {22, 43, 64, 83}},
    {'E', East, "East", 237, 59, 231, {79, 100, 121, 142}, 249, {79, 100, 121, 142}},
    {'S', South, "South", 136, 119, 122, {138, 159, 180, 199}, 136, {138, 159, 180, 199}},
    {'W', West, "West", 14, 59, 6, {77, 98, 119, 140}, 20, {79, 100, 121, 142}},
};

// "Spades": the suit in the holdings' objectNames.
QString SuitWord(int suit) {
    QString name = QString::fromLatin1(SuitNames[static_cast<std::size_t>(suit)]);
    name[0] = name[0].toUpper();
    return name;
}
const QString SuitSigns[4] = {QStringLiteral("\u2660"), QStringLiteral("\u2665"), QStringLiteral("\u2666"),
                              QStringLiteral("\u2663")};

// The board number and count, small sunken panels at the diagram's top
// left; the dealer and vulnerability, which the par depends on, likewise at
// its top right.
QLabel* NumberPanel(QWidget* parent, const char* name, int top, int left = 4) {
    auto* p = new QLabel(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setGeometry(left, top, 109, 21);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return p;
}

// One seat of the diagram: its name, and a sign and a holding for each suit.
void PlaceSeat(QWidget* panel, const SeatPlace& place, QLabel* holdings[4]) {
    QFont signFont(SignFamily());
    signFont.setPixelSize(13);
    QLabel* name = MakeLabel(panel, QStringLiteral("%1Lbl").arg(QLatin1String(place.name)), QLatin1String(place.name),
                             place.nameLeft, place.nameTop);
    name->setFont(FormFont(11, true));
    for (int s = 0; s < 4; ++s) {
        QLabel* sign = MakeLabel(panel, QStringLiteral("%1%2Sign").arg(QChar(place.letter)).arg(SuitWord(s)),
                                 SuitSigns[s], place.signLeft, place.signTops[s]);
        sign->setFont(signFont);
        QPalette pal = sign->palette();
        pal.setColor(QPalette::WindowText, s == 1 || s == 2 ? Qt::red : Qt::black);
        sign->setPalette(pal);
        QLabel* text = MakeLabel(panel, QStringLiteral("%1%2").arg(QChar(place.letter)).arg(SuitWord(s)), QString(),
                                 place.textLeft, place.textTops[s]);
        text->setMinimumWidth(100);
        holdings[s] = text;
    }
}

// The form's design height, and what the analysis below the diagram adds.
constexpr int DesignHeight = 270;
constexpr int AnalysisHeight = 150;
constexpr int DamagedTop = 240;

// The table's columns: declarer, NT and the four suits, points.
constexpr int TableColumns[7] = {8, 36, 66, 92, 118, 144, 176};
constexpr int TableRowTop = 6, TableRowHeight = 19;

// High-card points of a holding as shown: ace 4, king 3, queen 2, jack 1.
int PointsOf(const DisplayRow& row) {
    int points = 0;
    for (const std::string& suit : row)
        for (char c : suit) points += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return points;
}

// The par line with its hearts and diamonds in red.
QString ParHtml(const ParResult& par) {
    QString text = QString::fromStdString(ParLine(par, StrainStyle::Signs)).toHtmlEscaped();
    for (int suit : {1, 2}) text.replace(SuitSign(suit), SuitSignHtml(suit));
    return text;
}

} // namespace

BoardViewer::BoardViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ViewHandDlg"));
    setWindowTitle(QStringLiteral("View Boards:"));
    // The form keeps its design size and lies in the middle of a larger
    // window, so the diagram never shrinks below what reads well.
    SetSizableDialogFrame(this);
    setFont(FormFont(11, true));
    content_ = new QWidget(this);
    content_->setObjectName(QStringLiteral("ViewerContent"));
    BuildDiagram();
    BuildDamagedLabel();
    const int widest = BuildStepButtons();
    // The design's width, or wider where a caption would touch the edge.
    SetContentSize(QSize(std::max(446, widest + 12), DesignHeight));
    resize(content_->size());
    BuildCloseButton();
    BuildAnalysisPanel();
    ConnectButtons();
    ConnectKeys();
}

BoardViewer::~BoardViewer() = default;

void BoardViewer::SetContentSize(const QSize& size) {
    content_->setFixedSize(size);
    setMinimumSize(size);
    if (width() < size.width() || height() < size.height())
        resize(std::max(width(), size.width()), std::max(height(), size.height()));
    PlaceContent();
}

void BoardViewer::PlaceContent() {
    content_->move(std::max(0, (width() - content_->width()) / 2), std::max(0, (height() - content_->height()) / 2));
}

void BoardViewer::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceContent();
}

void BoardViewer::BuildDiagram() {
    BoardPanel = new QFrame(content_);
    BoardPanel->setObjectName(QStringLiteral("Panel1"));
    BoardPanel->setGeometry(4, 8, 337, 225);
    BoardPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    BoardPanel->setFont(FormFont(11, false));
    BoardNumberPanel = NumberPanel(BoardPanel, "BoardNumberPn", 4);
    BoardCountPanel = NumberPanel(BoardPanel, "NumberBoardsPN", 28);
    DealerPanel = NumberPanel(BoardPanel, "DealerPn", 4, 224);
    VulnerablePanel = NumberPanel(BoardPanel, "VulnerablePn", 28, 224);
    for (const SeatPlace& place : Places) PlaceSeat(BoardPanel, place, holdings_[place.seat]);
}

void BoardViewer::BuildDamagedLabel() {
    // Not part of the diagram: says when a record of the file is damaged.
    DamagedLbl = new QLabel(content_);
    DamagedLbl->setObjectName(QStringLiteral("DamagedLbl"));
    DamagedLbl->setGeometry(8, 240, 430, 20);
    QPalette red = DamagedLbl->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    DamagedLbl->setPalette(red);
    DamagedLbl->hide();
}

int BoardViewer::BuildStepButtons() {
    struct ButtonPlace {
        QPushButton** button;
        const char* name;
        int top;
        const char* label;
        const char* hint;
        QStyle::StandardPixmap glyph;
    };
    const ButtonPlace buttons[4] = {
        {&NextBtn, "NextBtn", 8, "Next", "Next Board", QStyle::SP_ArrowRight},
        {&BackBtn, "BackBtn", 46, "Previous", "Previous Board", QStyle::SP_ArrowLeft},
        {&FirstBtn, "FirstBtn", 83, "First", "First Board", QStyle::SP_ArrowUp},
        {&LastBtn, "LastBtn", 121, "Last", "Last Board", QStyle::SP_ArrowDown},
    };
    int widest = 0;
    for (const ButtonPlace& b : buttons) {
        auto* button = new QPushButton(content_);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(348, b.top, 40, 27);
        button->setIcon(style()->standardIcon(b.glyph));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setToolTipDuration(8000);
        button->setAutoDefault(false);
        *b.button = button;
        QLabel* label = MakeLabel(content_, QStringLiteral("%1Lbl").arg(QLatin1String(b.name)), QLatin1String(b.label),
                                  392, b.top + 6);
        label->setBuddy(button);
        label->adjustSize();
        widest = std::max(widest, label->x() + label->width());
    }
    return widest;
}

void BoardViewer::BuildAnalysisPanel() {
    AnalysisCB = new QCheckBox(QStringLiteral("&Analysis"), content_);
    AnalysisCB->setObjectName(QStringLiteral("AnalysisCB"));
    AnalysisCB->setGeometry(349, 170, 95, 20);
    AnalysisCB->setToolTip(QStringLiteral("Double-dummy tricks, par and points of every board"));
    AnalysisCB->setToolTipDuration(8000);

    AnalysisPanel = new QFrame(content_);
    AnalysisPanel->setObjectName(QStringLiteral("AnalysisPanel"));
    AnalysisPanel->setGeometry(4, DamagedTop - 2, 337, AnalysisHeight - 6);
    AnalysisPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    AnalysisPanel->setFont(FormFont(11, false));
    // Figures right-aligned under their headings, so that "10" and "9" line
    // up by their units; the declarer letters stand left.
    auto cell = [this](const QString& name, const QString& text, int column, int row, bool bold) {
        auto* l = MakeLabel(AnalysisPanel, name, text, TableColumns[column], TableRowTop + TableRowHeight * row);
        l->setFont(FormFont(11, bold));
        l->resize(column == 6 ? 30 : 22, 17);
        if (column != 0) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    cell(QStringLiteral("NTHeadLbl"), QStringLiteral("NT"), 1, 0, true);
    cell(QStringLiteral("HcpHeadLbl"), QStringLiteral("HCP"), 6, 0, true);
    for (int suit = 0; suit < 4; ++suit) {
        QLabel* sign = MakeSuitLabel(suit, AnalysisPanel, 10);
        sign->setObjectName(QStringLiteral("%1HeadLbl").arg(SuitWord(suit)));
        sign->setGeometry(TableColumns[2 + suit], TableRowTop - 1, 22, 17);
        sign->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // Rows in the order hand records give them: North, South, East, West.
    const int rows[4] = {North, South, East, West};
    for (int row = 0; row < 4; ++row) {
        const int seat = rows[row];
        const QChar letter = QLatin1Char(SeatNames[static_cast<std::size_t>(seat)][0]);
        cell(QStringLiteral("%1RowLbl").arg(letter), letter, 0, row + 1, true);
        for (int strain = 0; strain < StrainCount; ++strain)
            tricks_[seat][strain] =
                cell(QStringLiteral("Tricks%1%2").arg(letter).arg(strain), QString(), 1 + strain, row + 1, false);
        points_[seat] = cell(QStringLiteral("Hcp%1").arg(letter), QString(), 6, row + 1, false);
    }
    ParLbl = new QLabel(AnalysisPanel);
    ParLbl->setObjectName(QStringLiteral("ParLbl"));
    // Two lines: a par of several contracts, or why a board was not analysed.
    ParLbl->setGeometry(8, TableRowTop + TableRowHeight * 5 + 2, 322, 36);
    ParLbl->setTextFormat(Qt::RichText);
    ParLbl->setWordWrap(true);
    ParLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ParLbl->setFont(FormFont(11, true));
    AnalysisStatusLbl = new QLabel(AnalysisPanel);
    AnalysisStatusLbl->setObjectName(QStringLiteral("AnalysisStatusLbl"));
    AnalysisStatusLbl->setGeometry(220, TableRowTop, 110, 36);
    AnalysisStatusLbl->setWordWrap(true);
    AnalysisStatusLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AnalysisBar = new QProgressBar(AnalysisPanel);
    AnalysisBar->setObjectName(QStringLiteral("AnalysisBar"));
    AnalysisBar->setGeometry(220, TableRowTop + 40, 108, 16);
    AnalysisBar->setTextVisible(false);
    AnalysisPanel->hide();

    analyser_ = new FileAnalyser(this);
    connect(analyser_, &FileAnalyser::Progress, this, [this] {
        ShowAnalysisProgress();
        ShowAnalysis();
    });
    connect(analyser_, &FileAnalyser::Finished, this, [this] {
        ShowAnalysisProgress();
        ShowAnalysis();
    });
    connect(AnalysisCB, &QCheckBox::toggled, this, &BoardViewer::AnalysisCBClick);
}

void BoardViewer::BuildCloseButton() {
    CancelBtn = new QPushButton(QStringLiteral("&Close"), content_);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(349, 210, 77, 27);
    CancelBtn->setAutoDefault(false);
}

void BoardViewer::ConnectButtons() {
    setTabOrder(FirstBtn, BackBtn);
    setTabOrder(BackBtn, NextBtn);
    setTabOrder(NextBtn, LastBtn);
    setTabOrder(LastBtn, CancelBtn);

    connect(NextBtn, &QPushButton::clicked, this, [this] { NextBtnClick(NextBtn); });
    connect(LastBtn, &QPushButton::clicked, this, [this] { NextBtnClick(LastBtn); });
    connect(BackBtn, &QPushButton::clicked, this, [this] { LeftBtnClick(BackBtn); });
    connect(FirstBtn, &QPushButton::clicked, this, [this] { LeftBtnClick(FirstBtn); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(this, nullptr, HelpTopic::Viewer);
}

void BoardViewer::ConnectKeys() {
    // The keyboard steps through the boards as the buttons do, with the
    // same beep at either end.
    const struct {
        QKeySequence Keys;
        QPushButton* Button;
    } keys[] = {{QKeySequence(Qt::Key_Right), NextBtn}, {QKeySequence(Qt::Key_PageDown), NextBtn},
                {QKeySequence(Qt::Key_Left), BackBtn},  {QKeySequence(Qt::Key_PageUp), BackBtn},
                {QKeySequence(Qt::Key_Home), FirstBtn}, {QKeySequence(Qt::Key_End), LastBtn}};
    for (const auto& k : keys) {
        auto* shortcut = new QShortcut(k.Keys, this);
        QPushButton* button = k.Button;
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
}

void BoardViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void BoardViewer::done(int result) {
    FormClose();
    QDialog::done(result);
}

void BoardViewer::FormActivate() {
    setWindowTitle(QStringLiteral("View Boards: ") + QFileInfo(boardFileName_).fileName());
    board_ = BoardSource::Shown{};
    currentBoard_ = 1;
    boardCount_ = 0;
    ClearHands();
    DamagedLbl->hide();
    std::string error;
    if (file_.Open(boardFileName_.toStdString(), &error)) {
        boardCount_ = file_.BoardCount();
        // Boards a reader left out are named once; the others still show.
        QStringList lines;
        for (const std::string& left : file_.Problems()) lines << QString::fromStdString(left);
        if (boardCount_ == 0 && file_.Format() != BoardFormat::Dge)
            lines << QStringLiteral("%1 holds no deal.").arg(QFileInfo(boardFileName_).fileName());
        if (!lines.isEmpty()) Prompts::current().error(this, lines.join(u'\n'));
    } else {
        // Without this the user would face an empty diagram and no reason.
        Prompts::current().error(this, QString::fromStdString(error));
    }
    analysisStarted_ = false;
    // Asked for, the analysis starts as the file opens so that browsing never waits for it.
    if (AnalysisCB->isChecked()) StartAnalysis();
    if (boardCount_ != 0) DisplayBoard();
    ShowBoardNumber();
    BoardCountPanel->setText(QStringLiteral(" No. Boards: ") + QString::number(boardCount_));
    NextBtn->setFocus();
}

void BoardViewer::FormClose() {
    analyser_->Stop();
    analysisStarted_ = false;
    board_ = BoardSource::Shown{};
    file_.Close();
}

void BoardViewer::ShowBoardNumber() {
    // The number the file gives the board: a PBN set may start at 17.
    const std::uint64_t shown = boardCount_ != 0 ? board_.Number : currentBoard_;
    BoardNumberPanel->setText(QStringLiteral(" Board: ") + QString::number(shown));
    // As the file gives them: a PBN game may name other than its number's.
    const bool any = boardCount_ != 0;
    DealerPanel->setText(any ? QStringLiteral(" Dealer: ") +
                                   QString::fromStdString(SeatNames[static_cast<std::size_t>(board_.Dealer)])
                             : QString());
    VulnerablePanel->setText(any ? QStringLiteral(" Vul.: ") + QString::fromStdString(VulnerabilityText(board_.Vul))
                                 : QString());
}

void BoardViewer::NextBtnClick(QObject* sender) {
    if (currentBoard_ < boardCount_) {
        currentBoard_ = sender == LastBtn ? boardCount_ : currentBoard_ + 1;
        DisplayBoard();
        ShowBoardNumber();
    } else {
        Prompts::current().beep();
    }
}

void BoardViewer::LeftBtnClick(QObject* sender) {
    if (currentBoard_ != 1) {
        currentBoard_ = sender == FirstBtn ? 1 : currentBoard_ - 1;
        DisplayBoard();
        ShowBoardNumber();
    } else {
        Prompts::current().beep();
    }
}

bool BoardViewer::ReadBoard(std::uint64_t n) { return file_.ReadBoard(n, board_) == BoardSource::Read::Ok; }

void BoardViewer::DisplayBoard() {
    const bool sound = ReadBoard(currentBoard_);
    // A void reads as a dash; a damaged record's missing holding stays blank.
    for (int seat = 0; seat < 4; ++seat)
        for (int suit = 0; suit < 4; ++suit)
            holdings_[seat][suit]->setText(sound && board_.Holdings[seat][suit].empty()
                                               ? QString::fromUtf8(VoidMark)
                                               : QString::fromLatin1(board_.Holdings[seat][suit]));
    DamagedLbl->setText(QStringLiteral("Board %1: damaged record, shown as far as it is sound.").arg(board_.Number));
    DamagedLbl->setVisible(!sound);
    ShowAnalysis();
}

void BoardViewer::AnalysisCBClick() {
    const bool on = AnalysisCB->isChecked();
    AnalysisPanel->setVisible(on);
    DamagedLbl->move(DamagedLbl->x(), DamagedTop + (on ? AnalysisHeight : 0));
    const int grow = (DesignHeight + (on ? AnalysisHeight : 0)) - content_->height();
    // The window grows and shrinks with the panel, however the user sized it.
    const int target = height() + grow;
    SetContentSize(QSize(content_->width(), content_->height() + grow));
    if (grow != 0) resize(width(), std::max(target, minimumHeight()));
    if (on && !analysisStarted_ && file_.IsOpen()) StartAnalysis();
    ShowAnalysisProgress();
    ShowAnalysis();
}

void BoardViewer::StartAnalysis() {
    if (!file_.IsOpen() || boardCount_ == 0) return;
    analysisStarted_ = true;
    analyser_->Start(boardFileName_);
    ShowAnalysisProgress();
}

void BoardViewer::ShowAnalysisProgress() {
    const FileAnalyser& a = *analyser_;
    AnalysisBar->setVisible(a.Running());
    AnalysisBar->setMaximum(static_cast<int>(std::max<std::size_t>(a.Total(), 1)));
    AnalysisBar->setValue(static_cast<int>(a.Done()));
    QString status;
    if (a.Running())
        status = a.Total() == 0 ? QStringLiteral("Analysing...")
                                : QStringLiteral("Analysing: %1 of %2").arg(a.Done()).arg(a.Total());
    else if (analysisStarted_ && a.Cancelled())
        status = QStringLiteral("Analysis stopped");
    else if (analysisStarted_)
        status = a.Problems().isEmpty() ? (a.Done() == 1 ? QStringLiteral("1 board analysed")
                                                         : QStringLiteral("%1 boards analysed").arg(a.Done()))
                                        : QStringLiteral("%1 of %2 boards analysed")
                                              .arg(a.Done() - static_cast<std::size_t>(a.Problems().size()))
                                              .arg(a.Done());
    AnalysisStatusLbl->setText(status);
}

void BoardViewer::ShowAnalysis() {
    if (!AnalysisCB->isChecked()) return;
    const std::optional<BoardAnalysis>* found = nullptr;
    if (boardCount_ != 0 && currentBoard_ <= analyser_->Results().size() && analyser_->Results()[currentBoard_ - 1])
        found = &analyser_->Results()[currentBoard_ - 1];
    const bool sound = boardCount_ != 0 && !DamagedLbl->isVisible();
    for (int seat = 0; seat < 4; ++seat) {
        for (int strain = 0; strain < StrainCount; ++strain)
            tricks_[seat][strain]->setText(found ? QString::number((**found).Tricks[seat][strain]) : QString());
        points_[seat]->setText(sound ? QString::number(PointsOf(board_.Holdings[seat])) : QString());
    }
    if (boardCount_ == 0)
        ParLbl->clear();
    else if (found && !analyser_->NoteFor(board_.Number).isEmpty())
        ParLbl->setText(ParHtml((**found).Par) +
                        QStringLiteral("<br>The file's own analysis was wrong and is not used."));
    else if (found)
        ParLbl->setText(ParHtml((**found).Par));
    else if (const QString why = analyser_->ProblemFor(board_.Number); !why.isEmpty())
        ParLbl->setText(QStringLiteral("Not analysed: ") + why.toHtmlEscaped());
    else if (analyser_->Running())
        ParLbl->setText(QStringLiteral("Analysing..."));
    else
        ParLbl->setText(QStringLiteral("Not analysed"));
}

void BoardViewer::ClearHands() {
    for (auto& seat : holdings_)
        for (QLabel* label : seat) label->clear();
}

} // namespace zelv
