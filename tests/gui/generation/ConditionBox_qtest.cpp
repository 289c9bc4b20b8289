// The generation dialog's Condition box: its checking as the user types,
// its Add menu, a run that deals only boards meeting it, and its place in
// the generator file.
#include "core/definitions/DefinitionText.h"
#include "core/formats/DgeFile.h"
#include "core/settings/Settings.h"
#include "gui/generation/ConditionBox.h"
#include "gui/generation/GenerationDialog.h"
#include "gui/widgets/DropDownCombo.h"

#include "support/ScopedSettings.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <optional>

using namespace zelv;

namespace {

int Points(const DisplayRow& row) {
    int points = 0;
    for (const auto& holding : row)
        for (char c : holding) points += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return points;
}
int Cards(const DisplayRow& row, int suit) { return static_cast<int>(row[static_cast<std::size_t>(suit)].size()); }

// North-South game values and no eight-card major fit, over two lines.
const QString GameNoMajorFit = QStringLiteral("hcp(north) + hcp(south) >= 25 # game\n"
                                              "&& !(spades(north) + spades(south) >= 8 ||\n"
                                              "     hearts(north) + hearts(south) >= 8)");

} // namespace

class ConditionBoxTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp_;
    std::optional<ScopedSettings> settings_;
    std::unique_ptr<ScriptedPrompts> prompts_;
    std::unique_ptr<GenerationDialog> dlg_;
    QString defs_, gens_, hands_;

    template <class T> T* child(const QString& name) {
        T* w = dlg_->findChild<T*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }
    QPlainTextEdit* edit() { return child<QPlainTextEdit>("ConditionEdit"); }
    QString errorShown() { return child<QLabel>("ConditionErrorLbl")->text(); }
    void dealAndWait() {
        QSignalSpy finished(dlg_.get(), &GenerationDialog::dealFinished);
        QTest::mouseClick(child<QPushButton>("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 120000);
    }

  private slots:
    void init() {
        tmp_ = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp_->isValid());
        QDir root(tmp_->path());
        for (const char* d : {"defs", "gens", "hands"}) QVERIFY(root.mkdir(d));
        defs_ = root.filePath("defs");
        gens_ = root.filePath("gens");
        hands_ = root.filePath("hands");
        Settings& s = *settings_.emplace();
        s.HandDefinitionsFolder = defs_.toStdString();
        s.HandGeneratorsFolder = gens_.toStdString();
        s.HandsFolder = hands_.toStdString();
        s.DefaultFileCode = "ZELV";
        prompts_ = std::make_unique<ScriptedPrompts>();
        dlg_ = std::make_unique<GenerationDialog>();
    }
    void cleanup() {
        dlg_.reset();
        prompts_.reset();
        settings_.reset();
        tmp_.reset();
    }

    // Every case the Add menu offers is a condition, alone and joined to
    // another; a fault typed is said with its line and column, the odds
    // wait for it, and Deal refuses it before any file is touched.
    void addMenuAndFaultsAsTyped() {
        dlg_->show();
        child<QCheckBox>("NAnyHandCB")->setChecked(true);
        auto* box = child<ConditionBox>("ConditionBox");
        const QList<QAction*> cases = child<QToolButton>("ConditionAddBtn")->menu()->actions();
        QVERIFY(cases.size() >= 6);
        for (QAction* c : cases) {
            edit()->clear();
            c->trigger();
            QVERIFY2(box->condition() && errorShown().isEmpty(), qPrintable(c->text() + ": " + errorShown()));
        }
        cases.first()->trigger();
        QVERIFY2(box->condition(), qPrintable(box->text()));
        QVERIFY(box->text().contains("\n&& hcp(north) + hcp(south) >= 25"));

        edit()->clear();
        QTest::keyClicks(edit(), "hcp(north) >= 12 &&");
        QTest::keyClick(edit(), Qt::Key_Return);
        QTest::keyClicks(edit(), "  (spades(north) >= 5");
        QVERIFY2(errorShown().startsWith("Line 2, column 22: expected ')'"), qPrintable(errorShown()));
        QVERIFY(!box->condition());
        QTest::mouseClick(child<QPushButton>("DealBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY2(prompts_->Errors.first().startsWith("The condition cannot be dealt as it stands: Line 2, column 22"),
                 qPrintable(prompts_->Errors.first()));
        QVERIFY(!dlg_->IsDealing());
        QVERIFY(!QFile::exists(hands_ + "/ZELV.DGE"));
        QTest::keyClicks(edit(), ")");
        QVERIFY(errorShown().isEmpty());
        QVERIFY(box->condition());

        // Clear All clears the condition too, and its Undo brings it back.
        const QString typed = box->text();
        auto* clear = child<QPushButton>("ClearBtn");
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(box->text().isEmpty());
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(box->text(), typed);
    }

    // North opens 1NT, South any, the box asks for 25+ and no major fit:
    // every board dealt meets it, counted here from the board file, the PBN
    // file carries each board's analysis, and the
    // set-up saved and loaded again keeps the condition as typed.
    void dealsOnlyBoardsMeetingTheConditionAndKeepsItInTheFile() {
        DefinitionText nt = DefinitionText::Defaults();
        nt.Limit(LimMinPoints) = "15";
        nt.Limit(LimMaxPoints) = "17";
        nt.YesShapes = {" 4333", " 4432", " 5332"};
        std::string error;
        QVERIFY2(WriteDefinitionFile((defs_ + "/NT.HDS").toStdString(), nt, &error), error.c_str());
        dlg_->show();
        auto* north = child<DropDownCombo>("NCondition1CB");
        north->showPopup();
        north->hidePopup();
        north->setCurrentIndex(north->findText("NT"));
        QVERIFY(north->currentIndex() >= 0);
        edit()->setPlainText(GameNoMajorFit);
        QVERIFY(errorShown().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>("EstimateLbl")->text().contains("with the condition"), 60000);
        child<QLineEdit>("NumberBoardsEB")->setText("24");
        child<QCheckBox>("DoubleDummyCB")->setChecked(true);
        dealAndWait();
        QVERIFY2(prompts_->Errors.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        DgeFile f;
        QVERIFY(f.Open((hands_ + "/ZELV.DGE").toStdString(), nullptr));
        QCOMPARE(f.BoardCount(), std::uint64_t{24});
        for (std::uint64_t n = 1; n <= 24; ++n) {
            DisplayTable b;
            QCOMPARE(f.ReadBoard(n, b), DgeFile::Read::Ok);
            const int points = Points(b[North]);
            QVERIFY2(points >= 15 && points <= 17, qPrintable(QString::number(n)));
            QVERIFY2(points + Points(b[South]) >= 25, qPrintable(QString::number(n)));
            QVERIFY2(Cards(b[North], 0) + Cards(b[South], 0) < 8, qPrintable(QString::number(n)));
            QVERIFY2(Cards(b[North], 1) + Cards(b[South], 1) < 8, qPrintable(QString::number(n)));
        }
        QFile pbn(hands_ + "/ZELV.PBN");
        QVERIFY(pbn.open(QIODevice::ReadOnly));
        QCOMPARE(pbn.readAll().count("[DoubleDummyTricks \""), 24);
        if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS"))
            dlg_->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/generation-condition.png");

        const QString gen = gens_ + "/Game.GEN";
        prompts_->FileAnswers << gen;
        QTest::mouseClick(child<QPushButton>("SaveBtn"), Qt::LeftButton);
        QFile file(gen);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\r\nCondition=hcp(north) + hcp(south) >= 25 # game\\n&& !("));
        edit()->clear();
        prompts_->FileAnswers << gen;
        QTest::mouseClick(child<QPushButton>("LoadBtn"), Qt::LeftButton);
        QCOMPARE(edit()->toPlainText(), GameNoMajorFit);
    }
};

QTEST_MAIN(ConditionBoxTest)
#include "ConditionBox_qtest.moc"
