// Named after its documented unit, viewhand; holds TViewHandDlg.
#include "viewing/viewhand.h"

#include "engine/Cards.h"
#include "ui/DialogFrame.h"
#include "ui/Fonts.h"
#include "ui/Prompts.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
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

// The board number and count, small sunken panels at the diagram's top left.
QLabel* NumberPanel(QWidget* parent, const char* name, int top) {
    auto* p = new QLabel(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setGeometry(4, top, 109, 21);
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

} // namespace

TViewHandDlg::TViewHandDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ViewHandDlg"));
    setWindowTitle(QStringLiteral("View Boards:"));
    SetFixedDialogFrame(this);
    setFont(FormFont(11, true));
    BuildDiagram();
    BuildDamagedLabel();
    const int widest = BuildStepButtons();
    // The design's width, or wider where a caption would touch the edge.
    setFixedSize(std::max(446, widest + 12), 270);
    BuildCloseButton();
    ConnectButtons();
    ConnectKeys();
}

TViewHandDlg::~TViewHandDlg() = default;

void TViewHandDlg::BuildDiagram() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(4, 8, 337, 225);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFont(FormFont(11, false));
    BoardNumberPn = NumberPanel(Panel1, "BoardNumberPn", 4);
    NumberBoardsPN = NumberPanel(Panel1, "NumberBoardsPN", 28);
    for (const SeatPlace& place : Places) PlaceSeat(Panel1, place, holdings_[place.seat]);
}

void TViewHandDlg::BuildDamagedLabel() {
    // Not part of the diagram: says when a record of the file is damaged.
    DamagedLbl = new QLabel(this);
    DamagedLbl->setObjectName(QStringLiteral("DamagedLbl"));
    DamagedLbl->setGeometry(8, 240, 430, 20);
    QPalette red = DamagedLbl->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    DamagedLbl->setPalette(red);
    DamagedLbl->hide();
}

int TViewHandDlg::BuildStepButtons() {
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
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(348, b.top, 40, 27);
        button->setIcon(style()->standardIcon(b.glyph));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setToolTipDuration(8000);
        button->setAutoDefault(false);
        *b.button = button;
        QLabel* label =
            MakeLabel(this, QStringLiteral("%1Lbl").arg(QLatin1String(b.name)), QLatin1String(b.label), 392, b.top + 6);
        label->setBuddy(button);
        label->adjustSize();
        widest = std::max(widest, label->x() + label->width());
    }
    return widest;
}

void TViewHandDlg::BuildCloseButton() {
    CancelBtn = new QPushButton(QStringLiteral("&Close"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(349, 210, 77, 27);
    CancelBtn->setAutoDefault(false);
}

void TViewHandDlg::ConnectButtons() {
    setTabOrder(FirstBtn, BackBtn);
    setTabOrder(BackBtn, NextBtn);
    setTabOrder(NextBtn, LastBtn);
    setTabOrder(LastBtn, CancelBtn);

    connect(NextBtn, &QPushButton::clicked, this, [this] { NextBtnClick(NextBtn); });
    connect(LastBtn, &QPushButton::clicked, this, [this] { NextBtnClick(LastBtn); });
    connect(BackBtn, &QPushButton::clicked, this, [this] { LeftBtnClick(BackBtn); });
    connect(FirstBtn, &QPushButton::clicked, this, [this] { LeftBtnClick(FirstBtn); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(this, nullptr, HelpTopic::Main);
}

void TViewHandDlg::ConnectKeys() {
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

void TViewHandDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TViewHandDlg::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TViewHandDlg::FormActivate() {
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
    if (boardCount_ != 0) DisplayBoard();
    ShowBoardNumber();
    NumberBoardsPN->setText(QStringLiteral(" No. Boards: ") + QString::number(boardCount_));
    NextBtn->setFocus();
}

void TViewHandDlg::FormClose() {
    board_ = BoardSource::Shown{};
    file_.Close();
}

void TViewHandDlg::ShowBoardNumber() {
    // The number the file gives the board: a PBN set may start at 17.
    const std::uint64_t shown = boardCount_ != 0 ? board_.Number : currentBoard_;
    BoardNumberPn->setText(QStringLiteral(" Board: ") + QString::number(shown));
}

void TViewHandDlg::NextBtnClick(QObject* sender) {
    if (currentBoard_ < boardCount_) {
        currentBoard_ = sender == LastBtn ? boardCount_ : currentBoard_ + 1;
        DisplayBoard();
        ShowBoardNumber();
    } else {
        Prompts::current().beep();
    }
}

void TViewHandDlg::LeftBtnClick(QObject* sender) {
    if (currentBoard_ != 1) {
        currentBoard_ = sender == FirstBtn ? 1 : currentBoard_ - 1;
        DisplayBoard();
        ShowBoardNumber();
    } else {
        Prompts::current().beep();
    }
}

bool TViewHandDlg::ReadBoard(std::uint64_t n) { return file_.ReadBoard(n, board_) == BoardSource::Read::Ok; }

void TViewHandDlg::DisplayBoard() {
    const bool sound = ReadBoard(currentBoard_);
    for (int seat = 0; seat < 4; ++seat)
        for (int suit = 0; suit < 4; ++suit)
            holdings_[seat][suit]->setText(QString::fromLatin1(board_.Holdings[seat][suit]));
    DamagedLbl->setText(QStringLiteral("Board %1: damaged record, shown as far as it is sound.").arg(board_.Number));
    DamagedLbl->setVisible(!sound);
}

void TViewHandDlg::ClearHands() {
    for (auto& seat : holdings_)
        for (QLabel* label : seat) label->clear();
}

} // namespace zelv
