// The application shell: the main window's start-up, menu, clock, help and
// View Boards; the options dialog, the About box and the help viewer.
// With ZELV_SCREENSHOT_DIR set (run under xvfb-run with QT_QPA_PLATFORM=xcb)
// it also saves pictures of the main window and of the editor as opened
// from the menu.
#include "core/settings/Settings.h"
#include "gui/app/AboutBox.h"
#include "gui/app/HelpViewer.h"
#include "gui/app/MainWindow.h"
#include "gui/app/OptionsDialog.h"
#include "gui/editor/DefinitionEditor.h"
#include "gui/generation/GenerationDialog.h"
#include "gui/printing/PrintDialog.h"
#include "gui/printing/PrinterChoice.h"
#include "gui/viewer/BoardViewer.h"
#include "support/DesignTable.h"
#include "support/ScopedSettings.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <functional>

using namespace zelv;

namespace {

// Runs `inspect` on each modal dialog that opens while it lives, records
// its objectName and closes it.
class ModalWatcher {
  public:
    explicit ModalWatcher(std::function<void(QWidget*)> inspect = nullptr) : inspect_(std::move(inspect)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            seen << modal->objectName();
            if (inspect_) inspect_(modal);
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->reject();
            else
                modal->close();
        });
        timer_.start();
    }
    QStringList seen;

  private:
    QTimer timer_;
    std::function<void(QWidget*)> inspect_;
};

QString ScreenshotDir() { return qEnvironmentVariable("ZELV_SCREENSHOT_DIR"); }

void Save(QWidget* w, const QString& name) {
    if (ScreenshotDir().isEmpty()) return;
    QVERIFY(w->grab().save(QDir(ScreenshotDir()).filePath(name)));
}

// The menu as documented: each entry with the bar or menu it sits in, in order.
struct MenuEntry {
    const char* Menu;
    const char* Name;
    const char* Caption;
};
const MenuEntry MainMenu[] = {
    {"MainMenu1", "SetUp", "&SetUp"},
    {"SetUp", "PrinterSetup", "&Printer Setup"},
    {"SetUp", "ZelvPathOptions", "&Options"},
    {"MainMenu1", "DefinitionText", "&Define Hands"},
    {"MainMenu1", "HandGeneration", "&Generate Boards"},
    {"MainMenu1", "HandViewing", "&View Boards"},
    {"MainMenu1", "HandPrinting", "&Print Boards"},
    {"MainMenu1", "Help1", "&Help"},
    {"Help1", "Contents", "&Contents"},
    {"Help1", "Search", "&Search for Help On.."},
    {"Help1", "N1", "-"},
    {"Help1", "AboutZelvanoMenu", "&About Zelvano"},
    {"MainMenu1", "QuitMenu", "&Quit"},
};

const test::Designed OptionsDesign[] = {
    {"FileCodePanel", nullptr, "Optional "},
    {"FileCodeCaption", " Default File Code for Saved / Duplimate Hands:"},
    {"Label1", "Path for Hand Definition Files"},
    {"HDefEB", nullptr, "Enter path for Dealing Machine Files"},
    {"Label2", "Path for Hand Generation Files"},
    {"HGenEB", nullptr, "Enter path for Dealing Machine Files"},
    {"PathLabel", "Path for Saved Hands"},
    {"HandEB", nullptr, "Enter path for Dealing Machine Files"},
    {"OKBtn", "&OK"},
    {"CancelBtn", "&Cancel"},
};

const test::Designed AboutDesign[] = {
    {"ProductName", "Zelvano For Windows"},
    {"Version", "Version 1.20"},
    {"Comments", "Deals contract-bridge boards to order,\nfor the Duplimate dealing machine and for print."},
    {"OKButton", "&OK"},
};

const QString HelpSource = QStringLiteral(ZELV_SOURCE_DIR "/data/help/zelv.html");

} // namespace

class MainWinTest : public QObject {
    Q_OBJECT

    MainWindow* win = nullptr;
    ScriptedPrompts* prompts = nullptr;

    QAction* action(const char* name) {
        auto* a = win->findChild<QAction*>(QString::fromLatin1(name));
        if (!a) qFatal("no action %s", name);
        return a;
    }

  private slots:
    void initTestCase() {
        ApplyApplicationLook();
        StartUp(*qApp);
        win = new MainWindow;
        win->CreateForms();
        win->ShowMaximized();
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
    }
    void cleanupTestCase() { delete win; }
    void init() { prompts = new ScriptedPrompts; }
    void cleanup() { delete prompts; }

    void startUp_foldersBesideTheProgram() {
        const QString folder = QCoreApplication::applicationDirPath();
        const Settings& s = SharedSettings();
        QCOMPARE(QString::fromStdString(s.ProgramFolder), folder);
        QCOMPARE(QString::fromStdString(s.HandDefinitionsFolder), folder + "/Hand Definitions");
        QCOMPARE(QString::fromStdString(s.HandGeneratorsFolder), folder + "/Hand Generators");
        QCOMPARE(QString::fromStdString(s.HandsFolder), folder + "/Hands");
        QCOMPARE(QString::fromStdString(s.DefaultFileCode), QString("ZELV"));
        QCOMPARE(HelpFile(), folder + "/help/zelv.html");
        QCOMPARE(win->windowTitle(), QString("Zelvano for Windows"));
        QVERIFY(win->isMaximized());
        const Dialogs& f = win->Forms();
        QVERIFY(f.Editor && f.Generation && f.About && f.Options && f.Viewer && f.Printing);
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 254, 206));
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 200);
    }

    void menu_captionsInBarOrder() {
        QVERIFY(win->findChild<QMenuBar*>("MainMenu1") && win->findChild<QMenu*>("SetUp") &&
                win->findChild<QMenu*>("Help1"));
        for (const char* menu : {"MainMenu1", "SetUp", "Help1"}) {
            auto* holder = win->findChild<QWidget*>(QString::fromLatin1(menu));
            QVERIFY2(holder, menu);
            QStringList seen, designed;
            for (QAction* a : holder->actions())
                seen << (a->menu() ? a->menu()->objectName() : a->objectName()) + "=" +
                            (a->isSeparator() ? QString("-") : a->text());
            for (const MenuEntry& e : MainMenu)
                if (qstrcmp(e.Menu, menu) == 0) designed << QString("%1=%2").arg(e.Name, e.Caption);
            QCOMPARE(seen, designed);
        }
        QCOMPARE(action("QuitMenu")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    }

    void datePanel_showsTheDateAndTheClock() {
        auto* date = win->findChild<QLabel*>("DateLabel");
        auto* time = win->findChild<QLabel*>("TimeLabel");
        QVERIFY(date && time);
        QVERIFY(win->findChild<QWidget*>("DatePanel")->font().bold());
        // "Sunday December 06 2026": day name, month name, two-digit day, year.
        const QDate today = QDate::currentDate();
        QRegularExpression pattern(QStringLiteral("^\\S+ \\S+ (\\d\\d) (\\d{4})$"));
        const auto m = pattern.match(date->text());
        QVERIFY2(m.hasMatch(), qPrintable(date->text()));
        QCOMPARE(m.captured(1).toInt(), today.day());
        QCOMPARE(m.captured(2).toInt(), today.year());
        QVERIFY(time->text().endsWith("  "));
        QVERIFY(time->text().contains(QRegularExpression("\\d\\d:\\d\\d:\\d\\d")));
        time->clear();
        win->MainTimerTimer();
        QVERIFY(!time->text().isEmpty());
        auto* timer = win->findChild<QTimer*>("MainTimer");
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 1000);
    }

    void help_F1ContentsAndSearch() {
        QTest::keyClick(win, Qt::Key_F1);
        action("Contents")->trigger();
        action("Search")->trigger();
        QCOMPARE(prompts->HelpTopics, QList<int>({10, 10, 0}));
    }

    void viewBoards_cancelShowsNoViewer() {
        prompts->FileAnswers << "";
        ModalWatcher watcher;
        action("HandViewing")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(watcher.seen.isEmpty());
        const FileDialogOptions& o = prompts->FileRequests.last();
        QCOMPARE(o.Title, QString("Zelv Board File"));
        QCOMPARE(o.Folder, QString::fromStdString(SharedSettings().HandsFolder));
        QCOMPARE(o.DefaultSuffix, QString("DGE"));
        // The first filter names every format the viewer reads.
        for (const char* ext : {"*.DGE", "*.PBN", "*.BRI", "*.DUP", "*.DLM"})
            QVERIFY2(o.Filter.section(";;", 0, 0).contains(QLatin1String(ext)), ext);
        QCOMPARE(o.HelpTopic, 40);
        QVERIFY(!o.FileMustExist);
        // Cancelling dismisses it: nothing left behind to close.
        QVERIFY(!QApplication::activeModalWidget());
    }

    void viewBoards_fileDialogHelpButtonOpensTopic40() {
        static QList<int> topics;
        topics.clear();
        QtPrompts::setHelpHandler([](QWidget*, int topic) { topics << topic; });
        RealPromptsInScope realPrompts;
        bool hadHelp = false;
        ModalWatcher watcher([&](QWidget* w) {
            Save(w, "viewboards-file.png");
            auto* box = w->findChild<QDialogButtonBox*>();
            if (!box) return;
            for (QAbstractButton* b : box->buttons())
                if (box->buttonRole(b) == QDialogButtonBox::HelpRole) {
                    hadHelp = true;
                    b->click();
                }
        });
        action("HandViewing")->trigger();
        QtPrompts::setHelpHandler(&ShowHelp);
        QVERIFY(hadHelp);
        QCOMPARE(topics, QList<int>({40}));
        QCOMPARE(watcher.seen.size(), 1);
    }

    void viewBoards_showsTheChosenFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("LESSON.DGE");
        QFile(path).open(QIODevice::WriteOnly);
        prompts->FileAnswers << path << "";
        QString shownFile;
        ModalWatcher watcher([&](QWidget* w) {
            if (auto* v = qobject_cast<BoardViewer*>(w)) shownFile = v->BoardFileName();
        });
        action("HandViewing")->trigger();
        QCOMPARE(watcher.seen, QStringList({"ViewHandDlg"}));
        QCOMPARE(shownFile, path);
        QCOMPARE(win->LastBoardFile(), path);
        // The name chosen last is proposed next time.
        action("HandViewing")->trigger();
        QCOMPARE(prompts->FileRequests.last().InitialName, path);
    }

    void menu_altShortcutsOpenTheDialogs_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Alt+D") << int(Qt::Key_D) << "HandDefnDlg";
        QTest::newRow("Alt+G") << int(Qt::Key_G) << "HandGenDlg";
    }
    void menu_altShortcutsOpenTheDialogs() {
        QFETCH(int, key);
        QFETCH(QString, dialog);
        ModalWatcher watcher([](QWidget* w) {
            if (w->objectName() == "HandDefnDlg") Save(w, "editor.png");
        });
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
        QTest::keyClick(win, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.seen, QStringList({dialog}), 30000);
    }

    void menu_commandsShowTheirDialogs_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Print Boards") << "HandPrinting"
                                      << "PrintDlg";
        QTest::newRow("About") << "AboutZelvanoMenu"
                               << "AboutBox";
        QTest::newRow("Options") << "ZelvPathOptions"
                                 << "SetOptionDlg";
    }
    void menu_commandsShowTheirDialogs() {
        QFETCH(QString, action);
        QFETCH(QString, dialog);
        ModalWatcher watcher;
        this->action(action.toLatin1().constData())->trigger();
        QCOMPARE(watcher.seen, QStringList({dialog}));
    }

    void dialogs_offerNoMinimizeAndFixedOnesNoMaximize() {
        const Dialogs& f = win->Forms();
        for (QWidget* d : std::initializer_list<QWidget*>{f.Editor, f.Generation, f.About, f.Options, f.Printing}) {
            QVERIFY2(!(d->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)),
                     qPrintable(d->objectName()));
            QVERIFY2(d->windowFlags() & Qt::WindowCloseButtonHint, qPrintable(d->objectName()));
        }
        // The board viewer may be made larger.
        QVERIFY(!(f.Viewer->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(f.Viewer->windowFlags() & Qt::WindowMaximizeButtonHint);
        HelpViewer viewer(HelpSource);
        QVERIFY(!(viewer.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(viewer.windowFlags() & Qt::WindowMaximizeButtonHint);
    }

    void printerSetup_opensThePrintDialogOnTheChosenPrinter() {
        QPrinter* seenPrinter = nullptr;
        QStringList buttons;
        ModalWatcher watcher([&](QWidget* w) {
            if (auto* d = qobject_cast<QPrintDialog*>(w)) seenPrinter = d->printer();
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (b->isVisible()) buttons << b->text();
        });
        ChosenPrinter()->setOutputFormat(QPrinter::PdfFormat);
        ChosenPrinter()->setDocName("File: ODD - All Hands.");
        action("PrinterSetup")->trigger();
        QCOMPARE(watcher.seen.size(), 1);
        QVERIFY(seenPrinter);
        QCOMPARE(seenPrinter, ChosenPrinter());
        QVERIFY(!PrinterWasChosen());
        // It only chooses a printer: its button does not say Print, and a
        // PDF is proposed as the file code in the Hands folder.
        QVERIFY2(!buttons.isEmpty(), "the dialog has buttons");
        for (const QString& b : buttons) QVERIFY2(!b.contains("Print"), qPrintable(b));
        QCOMPARE(ChosenPrinter()->outputFileName(),
                 QDir(QString::fromStdString(SharedSettings().HandsFolder)).filePath("ZELV.pdf"));
    }

    void screenshot_mainWindow() {
        if (ScreenshotDir().isEmpty()) QSKIP("ZELV_SCREENSHOT_DIR not set");
        QTest::qWait(200);
        Save(win, "main.png");
        if (QScreen* screen = win->screen())
            QVERIFY(screen->grabWindow(0).save(QDir(ScreenshotDir()).filePath("screen.png")));
    }

    void options_showFoldersAndSetTheFileCode() {
        ScopedSettings settings;
        OptionsDialog dlg;
        settings->DefaultFileCode = "LONGERCODE12";
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QString("Set Hand Generator Options"));
        auto* code = dlg.findChild<QLineEdit*>("FileCode");
        // Set by Change File: shown whole although typing stops at eight.
        QCOMPARE(code->text(), QString("LONGERCODE12"));
        for (const char* name : {"HDefEB", "HGenEB", "HandEB"}) QVERIFY(!dlg.findChild<QLineEdit*>(name)->isEnabled());
        QCOMPARE(dlg.findChild<QLineEdit*>("HDefEB")->text(),
                 QString::fromStdString(SharedSettings().HandDefinitionsFolder));
        QCOMPARE(dlg.findChild<QLineEdit*>("HGenEB")->text(),
                 QString::fromStdString(SharedSettings().HandGeneratorsFolder));
        QCOMPARE(dlg.findChild<QLineEdit*>("HandEB")->text(), QString::fromStdString(SharedSettings().HandsFolder));
        ZELV_VERIFY_DESIGN(&dlg, OptionsDesign);
        QVERIFY(dlg.font().bold());
        // F1 opens the Options topic of its own.
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(code, Qt::Key_F1);
        QCOMPARE(prompts->HelpTopics, QList<int>({HelpTopic::Options}));
        Save(&dlg, "options.png");

        code->selectAll();
        QTest::keyClicks(code, "CLASS123456");
        QCOMPARE(code->text(), QString("CLASS123"));
        QTest::mouseClick(dlg.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
        QCOMPARE(QString::fromStdString(SharedSettings().DefaultFileCode), QString("LONGERCODE12"));

        dlg.show();
        QCOMPARE(code->text(), QString("LONGERCODE12"));
        QVERIFY(dlg.findChild<QPushButton*>("OKBtn")->hasFocus() || !dlg.isActiveWindow());
        code->clear();
        QTest::mouseClick(dlg.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(SharedSettings().DefaultFileCode), QString(""));
        // Taken, but it makes hidden files, which is said.
        QCOMPARE(prompts->Messages.size(), 1);
        QVERIFY2(prompts->Messages.first().contains("hidden files"), qPrintable(prompts->Messages.first()));
        // A control character would break the .DLM file's header: refused.
        dlg.show();
        code->setText("A\nB");
        QTest::mouseClick(dlg.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        QVERIFY(dlg.isVisible());
        QCOMPARE(prompts->Errors.size(), 1);
        QVERIFY2(prompts->Errors.first().startsWith("The file code 'A\\nB' holds a control character"),
                 qPrintable(prompts->Errors.first()));
        QCOMPARE(QString::fromStdString(SharedSettings().DefaultFileCode), QString(""));
        code->clear();
        dlg.show();
        QTest::keyClicks(code, "TUESDAY");
        QTest::mouseClick(dlg.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        QCOMPARE(QString::fromStdString(SharedSettings().DefaultFileCode), QString("TUESDAY"));
    }

    void about_showsProductAndVersion() {
        AboutBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QString("About"));
        ZELV_VERIFY_DESIGN(&box, AboutDesign);
        QVERIFY(box.findChild<QPushButton*>("OKButton")->isDefault());
        Save(&box, "about.png");
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(!box.isVisible());
    }

    void helpViewer_opensEveryTopic_data() {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("words");
        QTest::newRow("10") << 10 << "main window";
        QTest::newRow("15") << 15 << "Page Down";
        QTest::newRow("20") << 20 << "Must Have";
        QTest::newRow("30") << 30 << "Number of Boards";
        QTest::newRow("35") << 35 << "no single seat decides";
        QTest::newRow("36") << 36 << "Mix the boards";
        QTest::newRow("40") << 40 << "board file";
        QTest::newRow("50") << 50 << "Partnership Practice";
        QTest::newRow("60") << 60 << "file code";
    }
    void helpViewer_opensEveryTopic() {
        QFETCH(int, topic);
        QFETCH(QString, words);
        HelpViewer viewer(HelpSource);
        QVERIFY(viewer.isLoaded());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.showTopic(topic);
        QCOMPARE(viewer.currentAnchor(), QString("topic%1").arg(topic));
        auto* browser = viewer.findChild<QTextBrowser*>("HelpBrowser");
        QCOMPARE(browser->source().fragment(), QString("topic%1").arg(topic));
        QVERIFY(browser->toPlainText().contains(words, Qt::CaseInsensitive));
        QCOMPARE(viewer.findChild<QListWidget*>("ContentsLB")->count(), 9);
        if (topic == 20) Save(&viewer, "help.png");
    }

    void helpViewer_keywordSearch() {
        HelpViewer viewer(HelpSource);
        viewer.show();
        viewer.showSearch();
        auto* edit = viewer.findChild<QLineEdit*>("KeywordEB");
        auto* list = viewer.findChild<QListWidget*>("KeywordLB");
        QVERIFY(edit->text().isEmpty());
        QVERIFY(viewer.keywords().size() > 20);
        QVERIFY(viewer.keywords().contains("Must have cards"));
        QTest::keyClicks(edit, "must");
        QCOMPARE(list->currentItem()->text(), QString("Must have cards"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(viewer.currentAnchor(), QString("k-Must have cards"));
        // No keyword begins so: the text itself is searched.
        edit->clear();
        QTest::keyClicks(edit, "wallets");
        QVERIFY(list->currentRow() < 0);
        viewer.displayKeyword();
        QCOMPARE(viewer.findChild<QTextBrowser*>("HelpBrowser")->textCursor().selectedText(), QString("wallets"));
    }

    void helpViewer_missingFileSaysSo() {
        HelpViewer viewer(QStringLiteral("/nonexistent/zelv.html"));
        QVERIFY(!viewer.isLoaded());
        QVERIFY(viewer.findChild<QTextBrowser*>("HelpBrowser")->toPlainText().contains("cannot be opened"));
        viewer.showTopic(10);
    }

    void quit_altXClosesTheMainWindow() {
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
        QTest::keyClick(win, Qt::Key_X, Qt::AltModifier);
        QVERIFY(!win->isVisible());
    }
};

QTEST_MAIN(MainWinTest)
#include "MainWindow_qtest.moc"
