// The main window: the menu that opens every dialog.
#include "gui/app/MainWindow.h"

#include "core/dealing/ClassicRandom.h"
#include "core/settings/Settings.h"
#include "core/settings/Version.h"
#include "gui/app/AboutBox.h"
#include "gui/app/AppIcon.h"
#include "gui/app/HelpViewer.h"
#include "gui/app/OptionsDialog.h"
#include "gui/editor/DefinitionEditor.h"
#include "gui/generation/GenerationDialog.h"
#include "gui/printing/PrintDialog.h"
#include "gui/printing/PrinterChoice.h"
#include "gui/viewer/BoardViewer.h"
#include "gui/widgets/DialogFrame.h"
#include "gui/widgets/Hints.h"
#include "gui/widgets/LongTime.h"
#include "gui/widgets/Prompts.h"
#include "print/Fonts.h"

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

ClassicRandom& SessionRandom() {
    static ClassicRandom random;
    return random;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) { FormCreate(); }

QAction* MainWindow::MenuAction(const QString& name, const QString& caption, void (MainWindow::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void MainWindow::FormCreate() {
    setObjectName(QStringLiteral("MainWin"));
    setWindowTitle(QStringLiteral("Zelvano for Windows"));
    setWindowIcon(ZelvanoIcon());
    setMenuBar(BuildMainMenu());
    setCentralWidget(BuildCentralArea());
    StartClock();
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &MainWindow::ContentsClick);
    resize(800, 560);
}

QMenuBar* MainWindow::BuildMainMenu() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->addMenu(BuildSetUpMenu());
    bar->addAction(MenuAction(QStringLiteral("DefinitionText"), QStringLiteral("&Define Hands"),
                              &MainWindow::HandDefinitionClick));
    bar->addAction(MenuAction(QStringLiteral("HandGeneration"), QStringLiteral("&Generate Boards"),
                              &MainWindow::HandGenerationClick));
    bar->addAction(
        MenuAction(QStringLiteral("HandViewing"), QStringLiteral("&View Boards"), &MainWindow::HandViewingClick));
    bar->addAction(
        MenuAction(QStringLiteral("HandPrinting"), QStringLiteral("&Print Boards"), &MainWindow::HandPrintingClick));
    bar->addMenu(BuildHelpMenu());
    QAction* quit = MenuAction(QStringLiteral("QuitMenu"), QStringLiteral("&Quit"), &MainWindow::QuitMenuClick);
    quit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    quit->setShortcutContext(Qt::WindowShortcut);
    bar->addAction(quit);
    addAction(quit);
    return bar;
}

QMenu* MainWindow::BuildSetUpMenu() {
    auto* setUp = new QMenu(QStringLiteral("&SetUp"), this);
    setUp->setObjectName(QStringLiteral("SetUp"));
    setUp->addAction(
        MenuAction(QStringLiteral("PrinterSetup"), QStringLiteral("&Printer Setup"), &MainWindow::PrinterSetupClick));
    setUp->addAction(
        MenuAction(QStringLiteral("ZelvPathOptions"), QStringLiteral("&Options"), &MainWindow::ZelvPathOptionsClick));
    return setUp;
}

QMenu* MainWindow::BuildHelpMenu() {
    auto* help = new QMenu(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("Help1"));
    help->addAction(MenuAction(QStringLiteral("Contents"), QStringLiteral("&Contents"), &MainWindow::ContentsClick));
    help->addAction(
        MenuAction(QStringLiteral("Search"), QStringLiteral("&Search for Help On.."), &MainWindow::SearchClick));
    QAction* separator = help->addSeparator();
    separator->setObjectName(QStringLiteral("N1"));
    help->addAction(MenuAction(QStringLiteral("AboutZelvanoMenu"), QStringLiteral("&About Zelvano"),
                               &MainWindow::AboutZelvanoMenuClick));
    return help;
}

QWidget* MainWindow::BuildCentralArea() {
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

QFrame* MainWindow::BuildDatePanel(QWidget* parent) {
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

void MainWindow::StartClock() {
    // Set once: the date is not brought up to date while the program runs.
    DateLabel->setText(QLocale::system().toString(QDate::currentDate(), QStringLiteral("dddd MMMM dd yyyy")));
    MainTimer = new QTimer(this);
    MainTimer->setObjectName(QStringLiteral("MainTimer"));
    MainTimer->setInterval(1000);
    connect(MainTimer, &QTimer::timeout, this, &MainWindow::MainTimerTimer);
    MainTimer->start();
    MainTimerTimer();
}

void MainWindow::CreateForms() {
    forms_.Editor = new DefinitionEditor(this);
    forms_.Generation = new GenerationDialog(this);
    forms_.About = new AboutBox(this);
    forms_.Options = new OptionsDialog(this);
    forms_.Viewer = new BoardViewer(this);
    forms_.Printing = new PrintDialog(this);
    GenerationDialog* gen = forms_.Generation;
    gen->setRandom(&SessionRandom());
    forms_.Printing->SetCurrentBoardFileSource([gen] { return gen->CurrentBoardFileName(); });
}

void MainWindow::MainTimerTimer() { TimeLabel->setText(LongTime() + QStringLiteral("  ")); }

void MainWindow::PrinterSetupClick() {
    QPrinter* printer = ChosenPrinter();
    // A PDF is named as Print names it: the file code in the Hands folder,
    // never a name Qt makes up from the last document's title.
    const Settings& settings = SharedSettings();
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

void MainWindow::ZelvPathOptionsClick() {
    if (forms_.Options) forms_.Options->exec();
}

void MainWindow::HandDefinitionClick() {
    if (forms_.Editor) forms_.Editor->exec();
}

void MainWindow::HandGenerationClick() {
    if (forms_.Generation) forms_.Generation->exec();
}

void MainWindow::HandViewingClick() {
    FileDialogOptions o;
    o.Title = QStringLiteral("Zelv Board File");
    o.Filter = QStringLiteral("Board Files (*.DGE *.PBN *.BRI *.DUP *.DLM);;Zelv Board File (*.DGE);;PBN File "
                              "(*.PBN);;All Files (*)");
    o.DefaultSuffix = QStringLiteral("DGE");
    o.Folder = QString::fromStdString(SharedSettings().HandsFolder);
    // A set dealt since the last look is the one proposed, as Print Boards does.
    const QString dealt = forms_.Generation ? forms_.Generation->CurrentBoardFilePath() : QString();
    if (!dealt.isEmpty() && dealt != lastDealtProposed_) {
        lastDealtProposed_ = dealt;
        lastBoardFile_ = dealt;
    }
    o.InitialName = lastBoardFile_;
    o.OverwritePrompt = false;
    o.PathMustExist = false;
    o.FileMustExist = false;
    o.HelpTopic = HelpTopic::BoardFile;
    const QString path = Prompts::current().chooseOpenFile(this, o);
    if (path.isEmpty()) return;
    lastBoardFile_ = path;
    if (!forms_.Viewer) return;
    forms_.Viewer->SetBoardFileName(path);
    forms_.Viewer->exec();
}

void MainWindow::HandPrintingClick() {
    if (forms_.Printing) forms_.Printing->exec();
}

void MainWindow::ContentsClick() { Prompts::current().help(this, HelpTopic::Main); }

void MainWindow::SearchClick() { Prompts::current().help(this, HelpTopic::Search); }

void MainWindow::AboutZelvanoMenuClick() {
    if (forms_.About) forms_.About->exec();
}

void MainWindow::QuitMenuClick() { close(); }

void MainWindow::ShowMaximized() {
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
    SharedSettings() = Settings::ForProgram(programFolder.toStdString());
    SetHelpFile(QString::fromStdString(SharedSettings().HelpFile()));
    QtPrompts::setHelpHandler(&ShowHelp);
    std::string error;
    if (!PrepareWorkFolders(SharedSettings(), &error)) Prompts::current().error(nullptr, QString::fromStdString(error));

    InstallHintLook(app);
    // Once per session: every deal of the session continues one sequence.
    SessionRandom() = ClassicRandom::Randomized();
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
    MainWindow mainWin;
    mainWin.CreateForms();
    mainWin.ShowMaximized();
    // Closing the main window ends the loop; nothing is saved on the way out.
    return app.exec();
}

} // namespace zelv
