// Named after its documented unit, main; holds TMainWin. The program's main() is in zelvano.cpp.
#include "app/main.h"

#include "app/About.h"
#include "app/AppIcon.h"
#include "app/HelpViewer.h"
#include "app/Options.h"
#include "definitions/HandDefn.h"
#include "engine/Random.h"
#include "engine/Settings.h"
#include "engine/Version.h"
#include "generation/HandGen.h"
#include "ui/DialogFrame.h"
#include "ui/Fonts.h"
#include "ui/Hints.h"
#include "ui/LongTime.h"
#include "ui/PrinterChoice.h"
#include "ui/Prompts.h"
#include "viewing/uPrint.h"
#include "viewing/viewhand.h"

#include <QApplication>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zelv {

tRandom& SessionRandom() {
    static tRandom random;
    return random;
}

TMainWin::TMainWin(QWidget* parent) : QMainWindow(parent) { FormCreate(); }

QAction* TMainWin::MenuAction(const QString& name, const QString& caption, void (TMainWin::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TMainWin::FormCreate() {
    setObjectName(QStringLiteral("MainWin"));
    setWindowTitle(QStringLiteral("Zelvano for Windows"));
    setWindowIcon(ZelvanoIcon());
    setMenuBar(BuildMainMenu());
    setCentralWidget(BuildCentralArea());
    StartClock();
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &TMainWin::ContentsClick);
    resize(800, 560);
}

QMenuBar* TMainWin::BuildMainMenu() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->addMenu(BuildSetUpMenu());
    bar->addAction(
        MenuAction(QStringLiteral("HandDefinition"), QStringLiteral("&Define Hands"), &TMainWin::HandDefinitionClick));
    bar->addAction(MenuAction(QStringLiteral("HandGeneration"), QStringLiteral("&Generate Boards"),
                              &TMainWin::HandGenerationClick));
    bar->addAction(
        MenuAction(QStringLiteral("HandViewing"), QStringLiteral("&View Boards"), &TMainWin::HandViewingClick));
    bar->addAction(
        MenuAction(QStringLiteral("HandPrinting"), QStringLiteral("&Print Boards"), &TMainWin::HandPrintingClick));
    bar->addMenu(BuildHelpMenu());
    QAction* quit = MenuAction(QStringLiteral("QuitMenu"), QStringLiteral("&Quit"), &TMainWin::QuitMenuClick);
    quit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    quit->setShortcutContext(Qt::WindowShortcut);
    bar->addAction(quit);
    addAction(quit);
    return bar;
}

QMenu* TMainWin::BuildSetUpMenu() {
    auto* setUp = new QMenu(QStringLiteral("&SetUp"), this);
    setUp->setObjectName(QStringLiteral("SetUp"));
    setUp->addAction(
        MenuAction(QStringLiteral("PrinterSetup"), QStringLiteral("&Printer Setup"), &TMainWin::PrinterSetupClick));
    setUp->addAction(
        MenuAction(QStringLiteral("ZelvPathOptions"), QStringLiteral("&Options"), &TMainWin::ZelvPathOptionsClick));
    return setUp;
}

QMenu* TMainWin::BuildHelpMenu() {
    auto* help = new QMenu(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("Help1"));
    help->addAction(MenuAction(QStringLiteral("Contents"), QStringLiteral("&Contents"), &TMainWin::ContentsClick));
    help->addAction(
        MenuAction(QStringLiteral("Search"), QStringLiteral("&Search for Help On.."), &TMainWin::SearchClick));
    QAction* separator = help->addSeparator();
    separator->setObjectName(QStringLiteral("N1"));
    help->addAction(MenuAction(QStringLiteral("AboutZelvanoMenu"), QStringLiteral("&About Zelvano"),
                               &TMainWin::AboutZelvanoMenuClick));
    return help;
}

QWidget* TMainWin::BuildCentralArea() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    auto* welcome = new QLabel(central);
    welcome->setObjectName(QStringLiteral("WelcomeLabel"));
    welcome->setAlignment(Qt::AlignCenter);
    welcome->setWordWrap(true);
    welcome->setText(
        QStringLiteral("<p style=\"font-size:20pt\"><b>Zelvano</b></p>"
                       "<p>Deals contract-bridge boards to order.</p>"
                       "<p><b>Define Hands</b> to describe the kinds of hand you want, "
                       "<b>Generate Boards</b> to deal a set,<br>then <b>View Boards</b> or <b>Print Boards</b>. "
                       "Press F1 for help.</p>"));
    column->addWidget(welcome, 1);
    column->addWidget(BuildDatePanel(central));
    return central;
}

QFrame* TMainWin::BuildDatePanel(QWidget* parent) {
    DatePanel = new QFrame(parent);
    DatePanel->setObjectName(QStringLiteral("DatePanel"));
    DatePanel->setFrameShape(QFrame::Panel);
    DatePanel->setFrameShadow(QFrame::Sunken);
    QFont bold = DatePanel->font();
    bold.setBold(true);
    DatePanel->setFont(bold);
    auto* strip = new QHBoxLayout(DatePanel);
    strip->setContentsMargins(8, 3, 8, 3);
    DateLabel = new QLabel(DatePanel);
    DateLabel->setObjectName(QStringLiteral("DateLabel"));
    TimeLabel = new QLabel(DatePanel);
    TimeLabel->setObjectName(QStringLiteral("TimeLabel"));
    strip->addWidget(DateLabel);
    strip->addStretch();
    strip->addWidget(TimeLabel);
    return DatePanel;
}

void TMainWin::StartClock() {
    // Set once: the date is not brought up to date while the program runs.
    DateLabel->setText(QLocale::system().toString(QDate::currentDate(), QStringLiteral("dddd MMMM dd yyyy")));
    MainTimer = new QTimer(this);
    MainTimer->setObjectName(QStringLiteral("MainTimer"));
    MainTimer->setInterval(1000);
    connect(MainTimer, &QTimer::timeout, this, &TMainWin::MainTimerTimer);
    MainTimer->start();
    MainTimerTimer();
}

void TMainWin::CreateForms() {
    forms_.HandDefnDlg = new THandDefnDlg(this);
    forms_.HandGenDlg = new THandGenDlg(this);
    forms_.AboutBox = new TAboutBox(this);
    forms_.SetOptionDlg = new TSetOptionDlg(this);
    forms_.ViewHandDlg = new TViewHandDlg(this);
    forms_.PrintDlg = new TPrintDlg(this);
    THandGenDlg* gen = forms_.HandGenDlg;
    gen->setRandom(&SessionRandom());
    forms_.PrintDlg->SetCurrentBoardFileSource([gen] { return gen->CurrentBoardFileName(); });
}

void TMainWin::MainTimerTimer() { TimeLabel->setText(LongTime() + QStringLiteral("  ")); }

void TMainWin::PrinterSetupClick() {
    QPrinter* printer = ChosenPrinter();
    // A PDF is named as Print names it: the file code in the Hands folder,
    // never a name Qt makes up from the last document's title.
    const tSettings& settings = SharedSettings();
    const QString proposed = QDir(QString::fromStdString(settings.HandsFolder))
                                 .filePath(QString::fromStdString(settings.DefaultFileCode) + ".pdf");
    if (printer->outputFormat() == QPrinter::PdfFormat) printer->setOutputFileName(proposed);
    printer->setDocName(QString::fromStdString(settings.DefaultFileCode));
    QPrintDialog dialog(printer, this);
    dialog.setObjectName(QStringLiteral("PrinterSetupDlg"));
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    SetSizableDialogFrame(&dialog);
    // Only the choice of printer and its settings matter; printing is done
    // from Print Boards, so the dialog's button must not say "Print".
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (auto* box = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("&OK"));
    if (dialog.exec() == QDialog::Accepted) SetPrinterWasChosen(true);
}

void TMainWin::ZelvPathOptionsClick() {
    if (forms_.SetOptionDlg) forms_.SetOptionDlg->exec();
}

void TMainWin::HandDefinitionClick() {
    if (forms_.HandDefnDlg) forms_.HandDefnDlg->exec();
}

void TMainWin::HandGenerationClick() {
    if (forms_.HandGenDlg) forms_.HandGenDlg->exec();
}

void TMainWin::HandViewingClick() {
    FileDialogOptions o;
    o.Title = QStringLiteral("Zelv Board File");
    o.Filter = QStringLiteral("Zelv Board File (*.DGE);;PBN File (*.PBN);;All Files (*)");
    o.DefaultSuffix = QStringLiteral("DGE");
    o.Folder = QString::fromStdString(SharedSettings().HandsFolder);
    o.InitialName = lastBoardFile_;
    o.OverwritePrompt = false;
    o.PathMustExist = false;
    o.FileMustExist = false;
    o.HelpTopic = HelpTopic::BoardFile;
    const QString path = Prompts::current().chooseOpenFile(this, o);
    if (path.isEmpty()) return;
    lastBoardFile_ = path;
    if (!forms_.ViewHandDlg) return;
    forms_.ViewHandDlg->SetBoardFileName(path);
    forms_.ViewHandDlg->exec();
}

void TMainWin::HandPrintingClick() {
    if (forms_.PrintDlg) forms_.PrintDlg->exec();
}

void TMainWin::ContentsClick() { Prompts::current().help(this, HelpTopic::Main); }

void TMainWin::SearchClick() { Prompts::current().help(this, HelpTopic::Search); }

void TMainWin::AboutZelvanoMenuClick() {
    if (forms_.AboutBox) forms_.AboutBox->exec();
}

void TMainWin::QuitMenuClick() { close(); }

void TMainWin::ShowMaximized() {
    // Without a window manager (a bare X server, Xvfb) nobody maximizes the
    // window, so it starts by covering the screen's free area itself.
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) setGeometry(s->availableGeometry());
    showMaximized();
}

void ApplyApplicationLook() {
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    QFont font = FormFont();
    font.setPointSize(9);
    QApplication::setFont(font);
}

namespace {
int signalPipe[2] = {-1, -1};
extern "C" void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// A closed session (SIGHUP) or a polite kill (SIGTERM, SIGINT) ends the
// program as closing its window does: a run in progress stops, keeps the
// boards dealt so far and removes its temporary files. The signal only
// writes a byte; the event loop does the rest.
void QuitOnTerminationSignals(QApplication& app) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char drain[16];
        while (::read(signalPipe[0], drain, sizeof drain) > 0) {
        }
        // Every event loop ends, the modal dialogs' too.
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGHUP, SIGTERM, SIGINT}) ::sigaction(sig, &action, nullptr);
}
} // namespace

void StartUp(QApplication& app) {
    // Beside the program, or in the user's data folder for an installed one.
    const QString programFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    SharedSettings() = tSettings::ForProgram(programFolder.toStdString());
    SetHelpFile(QString::fromStdString(SharedSettings().HelpFile()));
    QtPrompts::setHelpHandler(&ShowHelp);
    std::string error;
    if (!PrepareWorkFolders(SharedSettings(), &error)) Prompts::current().error(nullptr, QString::fromStdString(error));

    InstallHintLook(app);
    // Once per session: every deal of the session continues one sequence.
    SessionRandom() = tRandom::Randomized();
}

int RunZelvano(int argc, char** argv) {
    // Answered before any window or display is needed.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zelvano %s\n", std::string(ZelvanoVersion).c_str());
            return 0;
        }
    QApplication app(argc, argv);
    QuitOnTerminationSignals(app);
    ApplyApplicationLook();
    StartUp(app);
    TMainWin mainWin;
    mainWin.CreateForms();
    mainWin.ShowMaximized();
    // Closing the main window ends the loop; nothing is saved on the way out.
    return app.exec();
}

} // namespace zelv
