// The board viewer driven through its buttons over real board files.
#include "gui/viewer/BoardViewer.h"
#include "gui/viewer/FileAnalyser.h"
#include "support/BoardFiles.h"
#include "support/DesignTable.h"
#include "support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace zelv;

namespace {

const QString Data = QStringLiteral(ZELV_TEST_DATA "/viewing/");
const char* const SuitWords[4] = {"Spades", "Hearts", "Diamonds", "Clubs"};
const QString Dash = QStringLiteral("\u2014");

// One deal as Debian's dealer prints it: "n S.H.D.C e ... s ... w ...",
// as seat letter -> four holdings.
QMap<QChar, QStringList> ParseDeal(const QString& line) {
    QMap<QChar, QStringList> out;
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i + 1 < words.size(); i += 2) out[words[i].at(0).toUpper()] = words[i + 1].split(QLatin1Char('.'));
    return out;
}

QList<QMap<QChar, QStringList>> Deals(const QString& file) {
    QFile f(Data + file);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing test data");
    QList<QMap<QChar, QStringList>> out;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (!line.trimmed().isEmpty()) out << ParseDeal(QString::fromLatin1(line));
    return out;
}

// The diagram and buttons as designed, in pixels at 96 dpi.
const test::Designed ViewDesign[] = {
    {"Panel1", nullptr, nullptr, 4, 8, 337, 225},
    {"BoardNumberPn", nullptr, nullptr, 4, 4, 109, 21},
    {"NumberBoardsPN", nullptr, nullptr, 4, 28, 109, 21},
    {"NorthLbl", "North", nullptr, 136, 3},
    {"EastLbl", "East", nullptr, 237, 59},
    {"SouthLbl", "South", nullptr, 136, 119},
    {"WestLbl", "West", nullptr, 14, 59},
    {"NSpades", nullptr, nullptr, 136, 22},
    {"EClubs", nullptr, nullptr, 249, 142},
    {"WHearts", nullptr, nullptr, 20, 100},
    {"SDiamonds", nullptr, nullptr, 136, 180},
    {"NextBtn", nullptr, "Next Board", 348, 8, 40, 27},
    {"BackBtn", nullptr, "Previous Board", 348, 46, 40, 27},
    {"FirstBtn", nullptr, "First Board", 348, 83, 40, 27},
    {"LastBtn", nullptr, "Last Board", 348, 121, 40, 27},
    {"NextBtnLbl", "Next", nullptr, 392, 14},
    {"BackBtnLbl", "Previous", nullptr, 392, 52},
    {"FirstBtnLbl", "First", nullptr, 392, 89},
    {"LastBtnLbl", "Last", nullptr, 392, 127},
    {"CancelBtn", "&Close", nullptr, 349, 210, 77, 27},
    {"DamagedLbl", nullptr, nullptr, 8, 240, 430, 20},
};

} // namespace

class ViewHandTest : public QObject {
    Q_OBJECT

    ScriptedPrompts* prompts = nullptr;
    BoardViewer* dlg = nullptr;

    QString text(const QString& name) {
        auto* l = dlg->findChild<QLabel*>(name);
        if (!l) qFatal("no label %s", qPrintable(name));
        return l->text();
    }
    void click(const char* name) {
        auto* b = dlg->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void open(const QString& path) {
        dlg->SetBoardFileName(path);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
    }
    // A void shows as a dash.
    void expectDeal(const QMap<QChar, QStringList>& deal) {
        for (QChar seat : {QChar('N'), QChar('E'), QChar('S'), QChar('W')})
            for (int s = 0; s < 4; ++s)
                QCOMPARE(text(QString(seat) + QLatin1String(SuitWords[s])),
                         deal[seat][s].isEmpty() ? Dash : deal[seat][s]);
    }
    void expectEmptyHands() {
        for (const char* seat : {"N", "E", "S", "W"})
            for (const char* suit : SuitWords) QCOMPARE(text(QLatin1String(seat) + QLatin1String(suit)), QString());
    }
    // For a person to look at when ZELV_SCREENSHOTS names a folder: the form,
    // and the whole screen with the window manager's frame round it.
    void screenshot(const QString& name) {
        if (!qEnvironmentVariableIsSet("ZELV_SCREENSHOTS")) return;
        const QString folder = qEnvironmentVariable("ZELV_SCREENSHOTS");
        QTest::qWait(300);
        dlg->grab().save(folder + "/" + name + ".png");
        if (QScreen* screen = dlg->screen()) screen->grabWindow(0).save(folder + "/" + name + "-screen.png");
    }
    void openAnalysed(const QString& path) {
        dlg->findChild<QCheckBox*>("AnalysisCB")->setChecked(true);
        open(path);
    }
    // A PBN board of one suit to each hand: North spades, East hearts, South
    // diamonds, West clubs.
    static QByteArray OneSuitEach(int board) {
        return QStringLiteral("[Board \"%1\"]\n[Deal \"N:AKQJT98765432... .AKQJT98765432.. "
                              "..AKQJT98765432. ...AKQJT98765432\"]\n\n")
            .arg(board)
            .toLatin1();
    }
    void expectNumbers(int board, int count) {
        QCOMPARE(text("BoardNumberPn"), QStringLiteral(" Board: %1").arg(board));
        QCOMPARE(text("NumberBoardsPN"), QStringLiteral(" No. Boards: %1").arg(count));
    }

  private slots:
    void init() {
        prompts = new ScriptedPrompts;
        dlg = new BoardViewer;
    }
    void cleanup() {
        delete dlg;
        delete prompts;
    }

    void form_showsTheDesignedDiagram() {
        open(Data + "BOARDS21.DGE");
        // The design's size, wider only as far as the captions need.
        QCOMPARE(dlg->height(), 270);
        QVERIFY(dlg->width() >= 446 && dlg->width() <= 470);
        for (const char* name : {"NextBtnLbl", "BackBtnLbl", "FirstBtnLbl", "LastBtnLbl"}) {
            auto* label = dlg->findChild<QLabel*>(name);
            QVERIFY2(label->x() + label->sizeHint().width() + 8 <= dlg->width(), name);
        }
        // It may be made larger, never smaller than the design.
        QVERIFY(!(dlg->windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(dlg->minimumSize(), dlg->size());
        QVERIFY(dlg->windowFlags() & Qt::WindowCloseButtonHint);
        ZELV_VERIFY_DESIGN(dlg, ViewDesign);
        QVERIFY(dlg->findChild<QLabel*>("WestLbl")->font().bold());
        QVERIFY(!dlg->findChild<QLabel*>("NSpades")->font().bold());
        const QString signs[4] = {QStringLiteral("\u2660"), QStringLiteral("\u2665"), QStringLiteral("\u2666"),
                                  QStringLiteral("\u2663")};
        for (const char* seat : {"N", "E", "S", "W"})
            for (int s = 0; s < 4; ++s) {
                auto* sign = dlg->findChild<QLabel*>(QLatin1String(seat) + QLatin1String(SuitWords[s]) + "Sign");
                QVERIFY(sign);
                QCOMPARE(sign->text(), signs[s]);
                QColor want = (s == 1 || s == 2) ? QColor(Qt::red) : QColor(Qt::black);
                QCOMPARE(sign->palette().color(QPalette::WindowText), want);
            }
        QCOMPARE(dlg->focusWidget(), dlg->findChild<QWidget*>("NextBtn"));
        // For a person to look at: ZELV_SCREENSHOTS names a folder for a picture.
        if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS")) {
            dlg->findChild<QPushButton*>("NextBtn")->click();
            dlg->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/viewhand.png");
        }
    }

    void oneBoard_showsItAndEveryButtonBeeps() {
        open(Data + "ONE.DGE");
        QCOMPARE(dlg->windowTitle(), QStringLiteral("View Boards: ONE.DGE"));
        expectNumbers(1, 1);
        const auto deals = Deals("deals21.txt");
        expectDeal(deals[0]);
        for (const char* b : {"NextBtn", "LastBtn", "BackBtn", "FirstBtn"}) click(b);
        QCOMPARE(prompts->Beeps, 4);
        expectNumbers(1, 1);
        expectDeal(deals[0]);
        QVERIFY(prompts->Errors.isEmpty());
        QVERIFY(!dlg->findChild<QLabel*>("DamagedLbl")->isVisible());
    }

    void twentyOneBoards_browseBothWaysWithBeepsAtTheEnds() {
        open(Data + "BOARDS21.DGE");
        const auto deals = Deals("deals21.txt");
        expectNumbers(1, 21);
        click("BackBtn");
        click("FirstBtn");
        QCOMPARE(prompts->Beeps, 2);
        click("NextBtn");
        expectNumbers(2, 21);
        expectDeal(deals[1]);
        click("LastBtn");
        expectNumbers(21, 21);
        expectDeal(deals[20]);
        click("NextBtn");
        click("LastBtn");
        QCOMPARE(prompts->Beeps, 4);
        expectNumbers(21, 21);
        click("BackBtn");
        expectNumbers(20, 21);
        expectDeal(deals[19]);
        click("FirstBtn");
        expectNumbers(1, 21);
        expectDeal(deals[0]);
        QCOMPARE(prompts->Beeps, 4);
    }

    void keyboard_stepsAsTheButtonsDoWithTheSameBeeps() {
        open(Data + "BOARDS21.DGE");
        const auto deals = Deals("deals21.txt");
        auto key = [&](Qt::Key k) { QTest::keyClick(dlg->focusWidget(), k); };
        key(Qt::Key_Left);
        key(Qt::Key_Home);
        key(Qt::Key_PageUp);
        QCOMPARE(prompts->Beeps, 3);
        key(Qt::Key_Right);
        expectNumbers(2, 21);
        key(Qt::Key_PageDown);
        expectNumbers(3, 21);
        expectDeal(deals[2]);
        key(Qt::Key_End);
        expectNumbers(21, 21);
        key(Qt::Key_Right);
        key(Qt::Key_PageDown);
        key(Qt::Key_End);
        QCOMPARE(prompts->Beeps, 6);
        key(Qt::Key_PageUp);
        key(Qt::Key_Left);
        expectNumbers(19, 21);
        key(Qt::Key_Home);
        expectNumbers(1, 21);
        expectDeal(deals[0]);
        QCOMPARE(prompts->Beeps, 6);
    }

    void voids_showAsADash() {
        open(Data + "VOIDS.DGE");
        const auto deals = Deals("voids.txt");
        expectDeal(deals[0]);
        QCOMPARE(text("NDiamonds"), Dash);
        QCOMPARE(text("SHearts"), Dash);
        click("NextBtn");
        expectDeal(deals[1]);
        QCOMPARE(text("NClubs"), Dash);
        QCOMPARE(text("SSpades"), Dash);
        click("NextBtn");
        expectDeal(deals[2]);
        QCOMPARE(text("NSpades"), Dash);
        QCOMPARE(text("SClubs"), Dash);
    }

    // Beside the number, the dealer and vulnerability the file gives the
    // board (the par depends on them): from its number, or a PBN game's own.
    void dealerAndVulnerability_showBesideTheBoardNumber() {
        QTemporaryDir dir;
        const QString path = dir.filePath("DV.PBN");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(OneSuitEach(6) + "[Board \"7\"]\n[Dealer \"N\"]\n[Vulnerable \"None\"]\n" +
                OneSuitEach(7).mid(QByteArray("[Board \"7\"]\n").size()));
        f.close();
        open(path);
        expectNumbers(6, 2);
        QCOMPARE(text("DealerPn"), QStringLiteral(" Dealer: East"));
        QCOMPARE(text("VulnerablePn"), QStringLiteral(" Vul.: E/W"));
        click("NextBtn");
        expectNumbers(7, 2);
        QCOMPARE(text("DealerPn"), QStringLiteral(" Dealer: North"));
        QCOMPARE(text("VulnerablePn"), QStringLiteral(" Vul.: Nil"));
        screenshot("viewer-voids");
        // Made larger, the form keeps its size in the middle of the window.
        auto* panel = dlg->findChild<QWidget*>("Panel1");
        const QSize before = panel->size();
        dlg->resize(dlg->width() + 200, dlg->height() + 100);
        QTRY_COMPARE(panel->mapTo(dlg, QPoint(0, 0)).x(), 4 + 100);
        QCOMPARE(panel->size(), before);
        QCOMPARE(dlg->minimumSize(), dlg->findChild<QWidget*>("ViewerContent")->size());
    }

    void emptyFile_showsNoBoardAndEveryButtonBeeps() {
        open(Data + "EMPTY.DGE");
        expectNumbers(1, 0);
        expectEmptyHands();
        for (const char* b : {"NextBtn", "LastBtn", "BackBtn", "FirstBtn"}) click(b);
        QCOMPARE(prompts->Beeps, 4);
        expectNumbers(1, 0);
        QVERIFY(prompts->Errors.isEmpty());
    }

    void partialTrailingRecord_isNeverCountedOrShown() {
        open(Data + "PARTIAL.DGE");
        expectNumbers(1, 2);
        click("LastBtn");
        expectNumbers(2, 2);
        expectDeal(Deals("deals21.txt")[1]);
        click("NextBtn");
        QCOMPARE(prompts->Beeps, 1);
        expectNumbers(2, 2);
    }

    void damagedRecord_isShownAsFarAsSoundAndMarked() {
        open(Data + "DAMAGED.DGE");
        const auto deals = Deals("deals21.txt");
        auto* mark = dlg->findChild<QLabel*>("DamagedLbl");
        QVERIFY(!mark->isVisible());
        click("NextBtn");
        expectNumbers(2, 3);
        QVERIFY(mark->isVisible());
        QVERIFY(mark->text().contains(QLatin1String("damaged")));
        QVERIFY(mark->sizeHint().width() <= mark->width());
        // The first thirteen holdings lie before the lost separator.
        for (QChar seat : {QChar('N'), QChar('E'), QChar('S')})
            for (int s = 0; s < 4; ++s) QCOMPARE(text(QString(seat) + QLatin1String(SuitWords[s])), deals[1][seat][s]);
        const QStringList west = deals[1]['W'];
        QCOMPARE(text("WSpades"), west[0] + "X" + west[1]);
        QCOMPARE(text("WHearts"), west[2]);
        QCOMPARE(text("WDiamonds"), west[3]);
        QCOMPARE(text("WClubs"), QString());
        if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS"))
            dlg->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/viewhand-damaged.png");
        click("NextBtn");
        QVERIFY(!mark->isVisible());
        expectDeal(deals[2]);
    }

    void unopenableFile_saysSoWithThePath() {
        const QString missing = Data + "NO-SUCH-FILE.DGE";
        open(missing);
        QCOMPARE(prompts->Errors, QStringList{"Unable to open " + missing + " (No such file or directory)"});
        expectNumbers(1, 0);
        expectEmptyHands();
        click("NextBtn");
        QCOMPARE(prompts->Beeps, 1);
        dlg->reject();
        prompts->Errors.clear();
        open(Data); // a folder is no board file either
        QCOMPARE(prompts->Errors.size(), 1);
        QVERIFY(prompts->Errors[0].startsWith("Unable to open "));
    }

    void f1_opensTheViewersOwnTopic() {
        open(Data + "ONE.DGE");
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        QTest::keyClick(dlg->focusWidget(), Qt::Key_F1);
        QCOMPARE(prompts->HelpTopics, QList<int>{15});
    }

    void everyShowing_startsAgainAtBoardOne() {
        open(Data + "BOARDS21.DGE");
        click("LastBtn");
        expectNumbers(21, 21);
        QTest::mouseClick(dlg->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        open(Data + "ONE.DGE");
        QCOMPARE(dlg->windowTitle(), QStringLiteral("View Boards: ONE.DGE"));
        expectNumbers(1, 1);
        expectDeal(Deals("deals21.txt")[0]);
    }

    void pbnFile_showsItsOwnNumbersAndNamesTheBoardsLeftOut() {
        QTemporaryDir dir;
        const QString path = dir.filePath("club.pbn");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // West first, then a board with a broken Deal tag, then one without
        // a number: 17, (18 left out), 19.
        f.write("[Board \"17\"]\r\n"
                "[Deal \"W:KQT2.AT.J6542.85 .63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4\"]\r\n\r\n"
                "[Board \"18\"]\r\n[Deal \"N:.63.AKQ987.A9732\"]\r\n\r\n"
                "[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.85\"]\r\n");
        f.close();
        open(path);
        QCOMPARE(prompts->Errors.size(), 1);
        QVERIFY2(prompts->Errors[0].startsWith(path + ": board 18 left out: "), qPrintable(prompts->Errors[0]));
        expectNumbers(17, 2);
        const QMap<QChar, QStringList> deal = {{'N', {"", "63", "AKQ987", "A9732"}},
                                               {'E', {"A8654", "KQ5", "T", "QJT6"}},
                                               {'S', {"J973", "J98742", "3", "K4"}},
                                               {'W', {"KQT2", "AT", "J6542", "85"}}};
        expectDeal(deal);
        click("NextBtn");
        expectNumbers(19, 2);
        expectDeal(deal);
        click("NextBtn");
        QCOMPARE(prompts->Beeps, 1);

        // A file with no deal at all says so.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("% PBN 2.1\r\n[Event \"Club night\"]\r\n");
        f.close();
        dlg->reject();
        prompts->Errors.clear();
        open(path);
        QCOMPARE(prompts->Errors, QStringList{"club.pbn holds no deal."});
        expectNumbers(1, 0);
    }

    void analysisUnasked_neverStartsAndTheFormKeepsItsDesign() {
        open(Data + "BOARDS21.DGE");
        QCOMPARE(dlg->height(), 270);
        QVERIFY(!dlg->findChild<QWidget*>("AnalysisPanel")->isVisible());
        QVERIFY(!dlg->Analysis().Running());
        QCOMPARE(dlg->Analysis().Done(), std::size_t(0));
    }

    // Tricks known without a solver: each hand holds one whole suit, so a
    // declarer takes 13 where its side holds the trumps and nothing else; in
    // notrump the opening leader runs its suit. Par: the grand slam in spades.
    void analysis_showsTricksParAndPointsOfTheBoard() {
        QTemporaryDir dir;
        const QString path = dir.filePath("SUITS.PBN");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(OneSuitEach(1) + OneSuitEach(2));
        f.close();
        openAnalysed(path);
        QCOMPARE(dlg->height(), 420);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->Analysis().Running(), 60000);
        QVERIFY(dlg->findChild<QWidget*>("AnalysisPanel")->isVisible());
        QVERIFY(!dlg->findChild<QProgressBar*>("AnalysisBar")->isVisible());
        QCOMPARE(text("AnalysisStatusLbl"), QStringLiteral("2 boards analysed"));
        // The suit held by each seat, by strain (spades 1 to clubs 4).
        const QMap<QChar, int> held = {{'N', 1}, {'E', 2}, {'S', 3}, {'W', 4}};
        const QMap<QChar, QChar> partner = {{'N', 'S'}, {'S', 'N'}, {'E', 'W'}, {'W', 'E'}};
        for (int board : {1, 2}) {
            for (QChar seat : {QChar('N'), QChar('S'), QChar('E'), QChar('W')}) {
                QCOMPARE(text(QStringLiteral("Tricks%1%2").arg(seat).arg(0)), QStringLiteral("0"));
                for (int strain = 1; strain < 5; ++strain) {
                    const bool ours = held[seat] == strain || held[partner[seat]] == strain;
                    QCOMPARE(text(QStringLiteral("Tricks%1%2").arg(seat).arg(strain)), ours ? "13" : "0");
                }
                QCOMPARE(text(QStringLiteral("Hcp%1").arg(seat)), QStringLiteral("10"));
            }
            QVERIFY2(text("ParLbl").startsWith(board == 1 ? "Par +1510: 7" : "Par +2210: 7"),
                     qPrintable(text("ParLbl")));
            QVERIFY(text("ParLbl").contains(QStringLiteral("by NS")));
            click("NextBtn");
        }
        for (const char* name : {"NTHeadLbl", "SpadesHeadLbl", "HeartsHeadLbl", "DiamondsHeadLbl", "ClubsHeadLbl"})
            QVERIFY(dlg->findChild<QLabel*>(name)->isVisible());
        QCOMPARE(dlg->findChild<QLabel*>("HeartsHeadLbl")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(dlg->findChild<QLabel*>("DiamondsHeadLbl")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(dlg->findChild<QLabel*>("SpadesHeadLbl")->palette().color(QPalette::WindowText), QColor(Qt::black));

        // Unticked, the form is as designed again; the results stay for the open file.
        dlg->findChild<QCheckBox*>("AnalysisCB")->setChecked(false);
        QCOMPARE(dlg->height(), 270);
        dlg->findChild<QCheckBox*>("AnalysisCB")->setChecked(true);
        QCOMPARE(dlg->Analysis().Done(), std::size_t(2));
        QVERIFY(!dlg->Analysis().Running());
        QVERIFY(text("ParLbl").startsWith("Par +"));
    }

    void analysis_damagedRecordIsNamedAndTheOthersAnalysed() {
        openAnalysed(Data + "DAMAGED.DGE");
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->Analysis().Running(), 60000);
        QCOMPARE(text("AnalysisStatusLbl"), QStringLiteral("2 of 3 boards analysed"));
        QVERIFY(text("ParLbl").startsWith("Par "));
        QVERIFY(!text("TricksN0").isEmpty());
        click("NextBtn");
        QVERIFY(dlg->findChild<QLabel*>("DamagedLbl")->isVisible());
        // Below the analysis panel, not under it.
        QVERIFY(dlg->findChild<QLabel*>("DamagedLbl")->y() >=
                dlg->findChild<QWidget*>("AnalysisPanel")->geometry().bottom());
        QVERIFY2(text("ParLbl").startsWith("Not analysed: its record is damaged"), qPrintable(text("ParLbl")));
        QCOMPARE(text("TricksN0"), QString());
        QCOMPARE(text("HcpN"), QString());
        if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS"))
            dlg->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/viewhand-analysis-damaged.png");
        click("NextBtn");
        QVERIFY(text("ParLbl").startsWith("Par "));
    }

    // The viewer is one window for the session: asked for once, the
    // analysis starts again as each file opens, with nothing of the last.
    void analysisAsked_startsAgainAsTheNextFileOpens() {
        openAnalysed(Data + "BOARDS21.DGE");
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->Analysis().Running(), 60000);
        QCOMPARE(dlg->Analysis().Done(), std::size_t(21));
        click("NextBtn");
        screenshot("viewer-analysis");
        dlg->reject();
        open(Data + "ONE.DGE");
        QVERIFY(dlg->findChild<QCheckBox*>("AnalysisCB")->isChecked());
        QCOMPARE(dlg->height(), 420);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->Analysis().Running(), 60000);
        QCOMPARE(dlg->Analysis().Results().size(), std::size_t(1));
        QCOMPARE(text("AnalysisStatusLbl"), QStringLiteral("1 board analysed"));
        QVERIFY(text("ParLbl").startsWith("Par "));
    }

    // A large file: browsing goes on while the solver works, the progress
    // shows, and closing stops the analysis.
    void analysis_runsInTheBackgroundWithProgressAndStopsOnClose() {
        QTemporaryDir dir;
        const QString path = dir.filePath("LIBRARY.DGE");
        test::WriteBoardFile(path.toStdString(), 4000);
        openAnalysed(path);
        QVERIFY(dlg->Analysis().Running());
        auto* bar = dlg->findChild<QProgressBar*>("AnalysisBar");
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 60000);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->maximum(), 4000);
        QVERIFY(text("AnalysisStatusLbl").startsWith("Analysing: "));
        click("LastBtn");
        expectNumbers(4000, 4000);
        QCOMPARE(text("ParLbl"), QStringLiteral("Analysing..."));
        QCOMPARE(text("TricksW4"), QString());
        QVERIFY(!text("HcpW").isEmpty());
        click("FirstBtn");
        QVERIFY(text("ParLbl").startsWith("Par "));
        QVERIFY(dlg->Analysis().Running());
        if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS"))
            dlg->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/viewhand-analysing.png");
        dlg->reject();
        QVERIFY(!dlg->Analysis().Running());
        QVERIFY(dlg->Analysis().Done() < 4000);
    }

    void seventyThousandBoards_areCountedAndBrowsedWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("BIG.DGE");
        test::WriteBoardFile(path.toStdString(), 70000);
        open(path);
        expectNumbers(1, 70000);
        click("LastBtn");
        expectNumbers(70000, 70000);
        const DisplayTable last = test::DealNumber(70000);
        QCOMPARE(text("NSpades"), QString::fromStdString(last[North][0]));
        QCOMPARE(text("WClubs"), QString::fromStdString(last[West][3]));
        click("BackBtn");
        expectNumbers(69999, 70000);
        QCOMPARE(text("EHearts"), QString::fromStdString(test::DealNumber(69999)[East][1]));
        click("FirstBtn");
        expectNumbers(1, 70000);
        QCOMPARE(prompts->Beeps, 0);
    }
};

QTEST_MAIN(ViewHandTest)
#include "BoardViewer_qtest.moc"
