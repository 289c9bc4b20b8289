// The board viewer driven through its buttons over real board files.
#include "../ui/DesignTable.h"
#include "../ui/ScriptedPrompts.h"
#include "BoardFiles.h"
#include "viewing/viewhand.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zelv;

namespace {

const QString Data = QStringLiteral(ZELV_TEST_DATA "/viewing/");
const char* const SuitWords[4] = {"Spades", "Hearts", "Diamonds", "Clubs"};

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
    TViewHandDlg* dlg = nullptr;

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
    void expectDeal(const QMap<QChar, QStringList>& deal) {
        for (QChar seat : {QChar('N'), QChar('E'), QChar('S'), QChar('W')})
            for (int s = 0; s < 4; ++s) QCOMPARE(text(QString(seat) + QLatin1String(SuitWords[s])), deal[seat][s]);
    }
    void expectEmptyHands() {
        for (const char* seat : {"N", "E", "S", "W"})
            for (const char* suit : SuitWords) QCOMPARE(text(QLatin1String(seat) + QLatin1String(suit)), QString());
    }
    void expectNumbers(int board, int count) {
        QCOMPARE(text("BoardNumberPn"), QStringLiteral(" Board: %1").arg(board));
        QCOMPARE(text("NumberBoardsPN"), QStringLiteral(" No. Boards: %1").arg(count));
    }

  private slots:
    void init() {
        prompts = new ScriptedPrompts;
        dlg = new TViewHandDlg;
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
        QVERIFY(!(dlg->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
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

    void voids_showAsEmptyRows() {
        open(Data + "VOIDS.DGE");
        const auto deals = Deals("voids.txt");
        expectDeal(deals[0]);
        QCOMPARE(text("NDiamonds"), QString());
        QCOMPARE(text("SHearts"), QString());
        click("NextBtn");
        expectDeal(deals[1]);
        QCOMPARE(text("NClubs"), QString());
        QCOMPARE(text("SSpades"), QString());
        click("NextBtn");
        expectDeal(deals[2]);
        QCOMPARE(text("NSpades"), QString());
        QCOMPARE(text("SClubs"), QString());
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
        QCOMPARE(prompts->Errors, QStringList{"Unable to open " + missing});
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

    void f1_opensHelpTopic10() {
        open(Data + "ONE.DGE");
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        QTest::keyClick(dlg->focusWidget(), Qt::Key_F1);
        QCOMPARE(prompts->HelpTopics, QList<int>{10});
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
#include "viewhand_qtest.moc"
