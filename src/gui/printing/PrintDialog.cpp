// The print dialog: whole deals or one seat per document, on paper or into PDF.
#include "gui/printing/PrintDialog.h"

#include "core/cards/Cards.h"
#include "core/formats/BoardSource.h"
#include "core/settings/Settings.h"
#include "gui/printing/PrinterChoice.h"
#include "gui/viewer/FileAnalyser.h"
#include "gui/widgets/DialogFrame.h"
#include "gui/widgets/Prompts.h"
#include "print/Fonts.h"
#include "print/QtPrintCanvas.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace zelv {

namespace {

// The height the third layout's radio button adds; what stands below the
// option group moves down by it.
constexpr int RecordsRow = 22;

QString HandsFolder() { return QString::fromStdString(SharedSettings().HandsFolder); }
// Every window of printing is titled "<what>: <file name>".
QString TitleFor(const QString& what, const QString& file) {
    return what + QStringLiteral(": ") + QFileInfo(file).fileName();
}

QString BoardExtension() { return QString::fromLatin1(ExtBoards.data(), static_cast<qsizetype>(ExtBoards.size())); }

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QIcon& icon, int left,
                        int top) {
    auto* b = new QPushButton(icon, caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, 80, 27);
    b->setAutoDefault(false);
    return b;
}

// Keeps the busy cursor for the length of a print, and lifts it while the
// user is asked something.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

PrintDialog::PrintDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PrintDlg"));
    setWindowTitle(QStringLiteral("Board Printing"));
    SetFixedDialogFrame(this);
    setFont(FormFont());
    const int groupWidth = BuildOptionRG();
    const int rightColumn = std::max(276, 8 + groupWidth + 16);
    setFixedSize(std::max(374, rightColumn + 98), 263 + RecordsRow);
    BuildSeatGB(groupWidth);
    BuildButtons(rightColumn);
    ConnectControls();
    OptionRGClick();
}

int PrintDialog::BuildOptionRG() {
    OptionRG = new QGroupBox(QStringLiteral("Hand Printing Options"), this);
    OptionRG->setObjectName(QStringLiteral("OptionRG"));
    OptionRG->setGeometry(8, 8, 240, 65 + RecordsRow);
    StandardRB = new QRadioButton(QStringLiteral("Standard - All Hands"), OptionRG);
    StandardRB->setObjectName(QStringLiteral("StandardRB"));
    StandardRB->setGeometry(8, 18, 226, 20);
    // "Partnerhsip" (sic) is kept as users and stored files know it; do not correct it.
    PartnershipRB = new QRadioButton(QStringLiteral("Partnerhsip Practice (One Seat per page)"), OptionRG);
    PartnershipRB->setObjectName(QStringLiteral("PartnershipRB"));
    PartnershipRB->setGeometry(8, 40, 226, 20);
    HandRecordsRB = new QRadioButton(QStringLiteral("Hand Records (double-dummy analysis)"), OptionRG);
    HandRecordsRB->setObjectName(QStringLiteral("HandRecordsRB"));
    HandRecordsRB->setGeometry(8, 62, 226, 20);
    HandRecordsRB->setToolTip(QStringLiteral("Six boards to a page, each with its points, makeable contracts and par"));
    HandRecordsRB->setToolTipDuration(8000);
    // The design's widths hold the captions in the design's font; a wider
    // substitute font widens the boxes (and the form) just enough.
    const int groupWidth =
        std::max({240, PartnershipRB->sizeHint().width() + 16, HandRecordsRB->sizeHint().width() + 16});
    OptionRG->resize(groupWidth, 65 + RecordsRow);
    for (QRadioButton* b : {StandardRB, PartnershipRB, HandRecordsRB}) b->resize(groupWidth - 14, 20);
    optionGroup_ = new QButtonGroup(this);
    optionGroup_->addButton(StandardRB, 0);
    optionGroup_->addButton(PartnershipRB, 1);
    optionGroup_->addButton(HandRecordsRB, 2);
    StandardRB->setChecked(true);
    return groupWidth;
}

void PrintDialog::BuildSeatGB(int width) {
    SeatGB = new QGroupBox(QStringLiteral("Print These Seats"), this);
    SeatGB->setObjectName(QStringLiteral("SeatGB"));
    SeatGB->setGeometry(8, 80 + RecordsRow, width, 113);
    const struct {
        int seat;
        const char* name;
    } boxes[4] = {{North, "NorthCB"}, {South, "SouthCB"}, {East, "EastCB"}, {West, "WestCB"}};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(QString::fromStdString(SeatNames[static_cast<std::size_t>(boxes[i].seat)]), SeatGB);
        box->setObjectName(QString::fromLatin1(boxes[i].name));
        box->setGeometry(12, 18 + 22 * i, 200, 20);
        seatCB_[boxes[i].seat] = box;
    }
    seatCB_[North]->setChecked(true);
}

void PrintDialog::BuildButtons(int rightColumn) {
    QStyle* s = style();
    LoadBtn = MakeButton(this, "LoadBtn", QStringLiteral("&Load "), s->standardIcon(QStyle::SP_DialogOpenButton), 8,
                         202 + RecordsRow);
    LoadBtn->setToolTip(QStringLiteral("Load a Generator File"));
    LoadBtn->setToolTipDuration(8000);
    PrintBtn = MakeButton(this, "PrintBtn", QStringLiteral(" Print   "),
                          QIcon::fromTheme(QStringLiteral("document-print"), s->standardIcon(QStyle::SP_FileIcon)), 94,
                          202 + RecordsRow);
    PreviewBtn = MakeButton(this, "PreviewBtn", QStringLiteral("Pre&view"),
                            s->standardIcon(QStyle::SP_FileDialogContentsView), 180, 202 + RecordsRow);
    PreviewBtn->setToolTip(QStringLiteral("Show the pages before printing"));
    PreviewBtn->setToolTipDuration(8000);
    HelpBtn = MakeButton(this, "HelpBtn", QStringLiteral("Help"), s->standardIcon(QStyle::SP_DialogHelpButton),
                         rightColumn, 161 + RecordsRow);
    CloseBtn = MakeButton(this, "CloseBtn", QStringLiteral("&Close"), s->standardIcon(QStyle::SP_DialogCloseButton),
                          rightColumn, 202 + RecordsRow);
    CloseBtn->setDefault(true);
}

void PrintDialog::ConnectControls() {
    connect(optionGroup_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) OptionRGClick();
    });
    connect(LoadBtn, &QPushButton::clicked, this, &PrintDialog::LoadBtnClick);
    connect(PrintBtn, &QPushButton::clicked, this, &PrintDialog::PrintBtnClick);
    connect(PreviewBtn, &QPushButton::clicked, this, &PrintDialog::PreviewBtnClick);
    ConnectHelp(this, HelpBtn, HelpTopic::Printing);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
}

PrintDialog::~PrintDialog() = default;

QPrinter& PrintDialog::Printer() { return chosenPrinter_ ? *chosenPrinter_ : *ChosenPrinter(); }

bool PrintDialog::PrintsToPdf() {
    return Printer().outputFormat() == QPrinter::PdfFormat || QPrinterInfo::availablePrinters().isEmpty();
}

void PrintDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void PrintDialog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void PrintDialog::FormActivate() {
    analysedFile_.clear();
    StandardRB->setChecked(true);
    OptionRGClick();
    const QString current = currentBoardFile_ ? currentBoardFile_() : QString();
    if (!current.isEmpty()) {
        PrintBtn->setEnabled(true);
        setWindowTitle(TitleFor(QStringLiteral("Print Hands"), current));
        fileToPrint_ = QDir(HandsFolder()).filePath(current);
    } else {
        setWindowTitle(QStringLiteral("Print Hands: Load a File."));
        PrintBtn->setEnabled(false);
    }
    PreviewBtn->setEnabled(PrintBtn->isEnabled());
    ShowDefaultButton();
}

void PrintDialog::ShowDefaultButton() {
    // Enter prints once there is something to print; until then it closes.
    const bool ready = PrintBtn->isEnabled();
    CloseBtn->setDefault(!ready);
    PrintBtn->setDefault(ready);
}

void PrintDialog::FormClose() {}

void PrintDialog::OptionRGClick() {
    // Only the enabled state changes: the ticks stay as the user left them.
    const bool partnership = optionGroup_->checkedId() == 1;
    for (QCheckBox* box : seatCB_) box->setEnabled(partnership);
}

void PrintDialog::LoadBtnClick() {
    FileDialogOptions o;
    o.Title = QStringLiteral("Select Boards to Print");
    o.Filter = QStringLiteral("Board Files (*.DGE *.PBN *.BRI *.DUP *.DLM);;Zelv File (*") + BoardExtension() +
               QStringLiteral(");;PBN File (*.PBN);;All Files (*)");
    o.DefaultSuffix = BoardExtension().mid(1);
    o.Folder = HandsFolder();
    o.OverwritePrompt = false;
    o.FileMustExist = true;
    const QString path = Prompts::current().chooseOpenFile(this, o);
    if (path.isEmpty()) return;
    fileToPrint_ = path;
    analysedFile_.clear();
    setWindowTitle(TitleFor(QStringLiteral("Print Hands"), path));
    PrintBtn->setEnabled(true);
    PreviewBtn->setEnabled(true);
    ShowDefaultButton();
}

PrintRequest PrintDialog::Request() const {
    PrintRequest r;
    const int option = optionGroup_->checkedId();
    r.Option = option == 1 ? PrintOption::Partnership : option == 2 ? PrintOption::HandRecords : PrintOption::Standard;
    if (r.Option == PrintOption::HandRecords && analysedFile_ == fileToPrint_) r.Analysis = &analysis_;
    for (int seat = 0; seat < 4; ++seat) r.Seats[static_cast<std::size_t>(seat)] = seatCB_[seat]->isChecked();
    return r;
}

PrintDialog::Outcome PrintDialog::PrintOn(PrintCanvas& canvas) {
    Outcome out;
    BoardSource file;
    std::string error;
    if (!file.Open(fileToPrint_.toStdString(), &error)) {
        out.Error = QString::fromStdString(error);
        return out;
    }
    out.Opened = true;
    out.Boards = file.BoardCount();
    for (const std::string& left : file.Problems()) out.LeftOut << QString::fromStdString(left);
    BoardPrinter printer(file, canvas, ShortName(fileToPrint_.toStdString()));
    out.Documents = printer.Print(Request());
    out.Damaged = printer.DamagedBoards();
    return out;
}

QString PrintDialog::ProposedPdfName(int seat) const {
    QString base = QString::fromStdString(ShortName(fileToPrint_.toStdString()));
    if (base.isEmpty()) base = QFileInfo(fileToPrint_).fileName();
    if (seat >= 0) base += QStringLiteral("-") + QString::fromStdString(SeatNames[static_cast<std::size_t>(seat)]);
    return base + QStringLiteral(".pdf");
}

bool PrintDialog::EnsureAnalysis() {
    if (optionGroup_->checkedId() != 2 || analysedFile_ == fileToPrint_) return true;
    FileAnalyser analyser;
    QProgressDialog progress(
        QStringLiteral("Analysing the boards of %1 double dummy...").arg(QFileInfo(fileToPrint_).fileName()),
        QStringLiteral("Cancel"), 0, 0, this);
    progress.setObjectName(QStringLiteral("AnalysisProgressDlg"));
    progress.setWindowTitle(TitleFor(QStringLiteral("Hand Records"), fileToPrint_));
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop wait;
    connect(&analyser, &FileAnalyser::Progress, &progress, [&progress](qulonglong done, qulonglong total) {
        progress.setMaximum(static_cast<int>(total));
        progress.setValue(static_cast<int>(done));
        progress.setLabelText(
            QStringLiteral("Analysing the boards double dummy: %1 of %2 done...").arg(done).arg(total));
    });
    connect(&analyser, &FileAnalyser::Finished, &wait, &QEventLoop::quit);
    connect(&progress, &QProgressDialog::canceled, &analyser, &FileAnalyser::Cancel);
    // The solver works on its own thread; this window keeps answering meanwhile.
    progress.open();
    analyser.Start(fileToPrint_);
    if (analyser.Running()) wait.exec();
    progress.close();
    if (analyser.Cancelled()) return false;
    analysis_ = analyser.Results();
    notAnalysed_ = analyser.Problems();
    analysedFile_ = fileToPrint_;
    return true;
}

void PrintDialog::PrintBtnClick() {
    if (!EnsureAnalysis()) return;
    QPrinter& target = Printer();
    const bool pdf = PrintsToPdf();
    Outcome outcome;
    QString canvasError;
    QList<QtPrintCanvas::Output> produced;
    bool declined = false;
    {
        BusyCursor busy;
        QtPrintCanvas canvas(target, [this, pdf, &declined](const DocumentInfo& info) -> std::optional<QString> {
            if (!pdf) return QString();
            FileDialogOptions o;
            o.Title = info.Seat < 0 ? QStringLiteral("Print to PDF File")
                                    : QStringLiteral("Print %1 Hands to PDF File")
                                          .arg(QString::fromStdString(SeatNames[static_cast<std::size_t>(info.Seat)]));
            o.Filter = QStringLiteral("PDF File (*.pdf)");
            o.DefaultSuffix = QStringLiteral("pdf");
            o.Folder = HandsFolder();
            o.InitialName = ProposedPdfName(info.Seat);
            QApplication::restoreOverrideCursor();
            QString path = Prompts::current().chooseSaveFile(this, o);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            if (path.isEmpty()) {
                // That document is not printed; the other seats' still are.
                declined = true;
                return std::nullopt;
            }
            return path;
        });
        outcome = PrintOn(canvas);
        canvas.Finish();
        canvasError = canvas.Error();
        produced = canvas.Outputs();
    }
    if (!outcome.Opened) {
        Prompts::current().error(this, outcome.Error);
        return;
    }
    if (!canvasError.isEmpty()) Prompts::current().error(this, canvasError);
    // The user cancelled before anything was written: that is all.
    if (declined && produced.isEmpty() && canvasError.isEmpty()) return;
    // Say what came of it: a print that makes nothing must not look like one that worked.
    QStringList lines = outcome.LeftOut;
    if (Request().Option == PrintOption::HandRecords) lines << notAnalysed_;
    if (outcome.Boards == 0)
        lines << QStringLiteral("%1 holds no boards; nothing was printed.").arg(QFileInfo(fileToPrint_).fileName());
    else if (produced.isEmpty() && canvasError.isEmpty())
        lines << (Request().Option == PrintOption::Partnership
                      ? QStringLiteral("No seat is ticked; nothing was printed.")
                      : QStringLiteral("Nothing was printed."));
    for (const QtPrintCanvas::Output& out : produced) {
        lines << (out.Path.isEmpty() ? QStringLiteral("Sent %1 to %2")
                                           .arg(QString::fromStdString(PagesText(out.Pages)), target.printerName())
                                     : QString::fromStdString(
                                           WrotePagesText(QFileInfo(out.Path).fileName().toStdString(), out.Pages)));
    }
    if (outcome.Damaged != 0) lines << QString::fromStdString(DamagedPrintedText(outcome.Damaged) + ".");
    if (!lines.isEmpty()) Prompts::current().information(this, QStringLiteral("Print Hands"), lines.join('\n'));
}

void PrintDialog::PaintPreview(QPrinter* target) {
    QtPrintCanvas canvas(*target, {}, true);
    PrintOn(canvas);
    canvas.Finish();
}

void PrintDialog::PreviewBtnClick() {
    BoardSource probe;
    std::string error;
    if (!probe.Open(fileToPrint_.toStdString(), &error)) {
        Prompts::current().error(this, QString::fromStdString(error));
        return;
    }
    probe.Close();
    if (!EnsureAnalysis()) return;
    // Our own window round Qt's preview, so that its Print goes through
    // Print's naming of PDF files rather than one of Qt's own.
    QDialog preview(this);
    preview.setObjectName(QStringLiteral("PreviewDlg"));
    preview.setWindowTitle(TitleFor(QStringLiteral("Print Preview"), fileToPrint_));
    SetSizableDialogFrame(&preview);
    auto* pages = new QPrintPreviewWidget(&Printer(), &preview);
    pages->setObjectName(QStringLiteral("PreviewPages"));
    connect(pages, &QPrintPreviewWidget::paintRequested, this, &PrintDialog::PaintPreview);
    auto* tools = new QToolBar(&preview);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto tool = [&](const QString& text, QStyle::StandardPixmap icon, const QKeySequence& keys, auto slot) {
        QAction* a = tools->addAction(style()->standardIcon(icon), text);
        a->setShortcut(keys);
        a->setToolTip(text + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        connect(a, &QAction::triggered, pages, slot);
    };
    tool(QStringLiteral("Fit Page"), QStyle::SP_DesktopIcon, QKeySequence(Qt::CTRL | Qt::Key_0),
         [pages] { pages->fitInView(); });
    tool(QStringLiteral("Fit Width"), QStyle::SP_ToolBarHorizontalExtensionButton, QKeySequence(Qt::CTRL | Qt::Key_9),
         [pages] { pages->fitToWidth(); });
    tool(QStringLiteral("Zoom In"), QStyle::SP_ArrowUp, QKeySequence::ZoomIn, [pages] { pages->zoomIn(); });
    tool(QStringLiteral("Zoom Out"), QStyle::SP_ArrowDown, QKeySequence::ZoomOut, [pages] { pages->zoomOut(); });
    tool(QStringLiteral("Previous Page"), QStyle::SP_ArrowLeft, QKeySequence(Qt::Key_PageUp),
         [pages] { pages->setCurrentPage(pages->currentPage() - 1); });
    tool(QStringLiteral("Next Page"), QStyle::SP_ArrowRight, QKeySequence(Qt::Key_PageDown),
         [pages] { pages->setCurrentPage(pages->currentPage() + 1); });
    auto* buttons = new QDialogButtonBox(&preview);
    QPushButton* print = buttons->addButton(QStringLiteral("&Print..."), QDialogButtonBox::AcceptRole);
    print->setObjectName(QStringLiteral("PreviewPrintBtn"));
    buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("PreviewCloseBtn"));
    connect(buttons, &QDialogButtonBox::accepted, &preview, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &preview, &QDialog::reject);
    auto* layout = new QVBoxLayout(&preview);
    layout->addWidget(tools);
    layout->addWidget(pages, 1);
    layout->addWidget(buttons);
    if (QScreen* screen = this->screen()) {
        const QRect free = screen->availableGeometry();
        preview.resize(std::min(900, free.width()), free.height() * 9 / 10);
    }
    print->setDefault(true);
    if (preview.exec() == QDialog::Accepted) PrintBtnClick();
}

} // namespace zelv
