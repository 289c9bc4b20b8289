// The board generation dialog driven through its controls: the set-up
// rules, generator files, Change File and real runs on the worker thread.
#include "core/definitions/DefinitionText.h"
#include "core/files/CodeLock.h"
#include "core/formats/DgeFile.h"
#include "core/odds/Odds.h"
#include "core/settings/Settings.h"
#include "core/setup/GeneratorFile.h"
#include "gui/generation/GenerationDialog.h"
#include "gui/widgets/DropDownCombo.h"
#include "gui/widgets/LocaleNumbers.h"

#include "support/DesignTable.h"
#include "support/ScopedSettings.h"
#include "support/ScriptedPrompts.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

using namespace zelv;

namespace {

const char* const ClockwiseLetters[4] = {"N", "E", "S", "W"};

int HighCardPoints(const DisplayRow& row) {
    int points = 0;
    for (const auto& holding : row)
        for (char c : holding) points += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return points;
}

int CardCount(const DisplayTable& table) {
    int cards = 0;
    for (const auto& row : table)
        for (const auto& holding : row) cards += static_cast<int>(holding.size());
    return cards;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The dialog as a showing leaves it: captions, hints and texts.
const test::Designed GenerationOnShowing[] = {
    {"NAnyHandCB", "Check this box to allow any hand for North"},
    {"EAnyHandCB", "Check this box to allow any hand for East"},
    {"SAnyHandCB", "Check this box to allow any hand for South"},
    {"WAnyHandCB", "Check this box to allow any hand for West"},
    {"TabCheckPanel", nullptr, "Checked = Allow any hand"},
    {"TabCheckN", "N"},
    {"TabCheckE", "E"},
    {"TabCheckS", "S"},
    {"TabCheckW", "W"},
    {"SeedCB", "Seed First Definition", "Check to force cards in Definition 1. See Help"},
    {"PbnCB", "Also Write PBN File", "Also write the boards to a PBN file beside the board file"},
    {"DoubleDummyCB", "Double-Dummy Analysis in PBN",
     "Give each PBN game the tricks every declarer makes in every strain and the par result (a moment per board)"},
    {"DupCB", "Also Write DUP File", "Also write the boards for the newer Duplimate machines (boards up to 999)"},
    {"DlmCB", "Also Write DLM File", "Also write the boards for the dealing machines that read text (boards up to 99)"},
    {"FirstBoardLbl", "First Board: "},
    {"FirstBoardEB", "1", "The number of the set's first board, for a second table's set 17 to 32"},
    {"SecureCB", "Secure Random Source", "Draw the cards from the system's secure random source"},
    {"NumberBoardsEB", "1"},
    {"SavePanel", " Save Boards to File: ZELV", "File Name for Save Boards"},
    {"Panel3", " Change: ", "Change File Name for Saved Boards"},
    {"ChangeFileBtn", nullptr, "Change File Name for Saved Boards"},
    {"CounterLbl", "Boards Dealt:"},
    {"Counter", ""},
    {"RateLbl", ""},
    {"StartLbl", "Start: "},
    {"FinishLbl", "Finish: "},
    {"FilesLbl", ""},
    {"LoadBtn", "&Load ", "Load a Generator File"},
    {"SaveBtn", "&Save", "Save Hand Definition To a Generator File"},
    {"HelpBtn", "Help"},
    {"DealBtn", "Deal", "Deal the Boards and Save to File: ZELV"},
    {"ClearBtn", "C&lear All", "Set ALL fields to Default Values"},
    {"CloseBtn", "&Close"},
};

} // namespace

class HandGenTest : public QObject {
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
    QCheckBox* check(const QString& name) { return child<QCheckBox>(name); }
    DropDownCombo* combo(const QString& seat, int slot) {
        return child<DropDownCombo>(seat + QStringLiteral("Condition%1CB").arg(slot));
    }
    QPushButton* button(const QString& name) { return child<QPushButton>(name); }
    QString text(const QString& label) { return child<QLabel>(label)->text(); }

    // A definition that accepts every hand, changed by `change`.
    void writeDefinition(const QString& name, const std::function<void(DefinitionText&)>& change = {}) {
        DefinitionText d = DefinitionText::Defaults();
        if (change) change(d);
        std::string error;
        QVERIFY2(WriteDefinitionFile((defs_ + "/" + name).toStdString(), d, &error), error.c_str());
    }
    void openList(DropDownCombo* c) {
        c->showPopup();
        c->hidePopup();
    }
    void pick(const QString& seat, int slot, const QString& name) {
        DropDownCombo* c = combo(seat, slot);
        openList(c);
        const int i = c->findText(name);
        QVERIFY2(i >= 0, qPrintable(name));
        c->setCurrentIndex(i);
    }
    QString hand(const QString& ext) const { return hands_ + "/ZELV" + ext; }
    // Presses Deal and waits for the run to end.
    void dealAndWait() {
        QSignalSpy finished(dlg_.get(), &GenerationDialog::dealFinished);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 120000);
    }
    // Presses Deal and waits until the worker has reported progress.
    void dealUntilProgress() {
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(dlg_->IsDealing());
        QTRY_VERIFY_WITH_TIMEOUT(dealsShown() > 0, 60000);
    }
    // "16 of 16 boards · 3,881 deals tried": the boards, then the deals.
    std::uint64_t boardsShown() { return countShown("^([\\d,]+) of "); }
    std::uint64_t dealsShown() { return countShown("([\\d,]+) deals? tried$"); }
    std::uint64_t countShown(const char* pattern) {
        const auto m = QRegularExpression(pattern).match(text("Counter"));
        return m.hasMatch() ? m.captured(1).remove(',').toULongLong() : 0;
    }
    std::uint64_t acceptedSoFar() {
        const QString t = child<QProgressBar>("ProgBar")->text();
        return t.section(u' ', 0, 0).remove(u',').toULongLong();
    }
    // Presses Stop and waits for Deal to come back; the milliseconds it took.
    qint64 stopAndTime() {
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        // Generous, so that a run which ignores Stop fails here and not by hanging.
        [&] { QTRY_COMPARE_WITH_TIMEOUT(button("DealBtn")->text(), QString("Deal"), 60000); }();
        return clock.elapsed();
    }
    // "Stopped: 40 of 40 boards dealt in 40 attempts, 7 with their
    // double-dummy analysis.": the boards that carry it.
    std::uint64_t analysedSaid(const QString& message) {
        const auto m = QRegularExpression(", (\\d+|all|none) with their double-dummy analysis").match(message);
        if (!m.hasMatch()) return ~std::uint64_t{0};
        const QString n = m.captured(1);
        return n == "none" ? 0 : n == "all" ? ~std::uint64_t{1} : n.toULongLong();
    }

    // A generator file of `boards` boards in which `seat` holds STRONG
    // (a definition that accepts any hand) and the others any hand.
    QString writeGenerator(const QString& name, int seat, int boards) {
        GeneratorSetup setup;
        for (auto& each : setup.Seats) each.AnyHand = true;
        setup.Seats[static_cast<std::size_t>(seat)] = GeneratorSeat{false, {"STRONG"}};
        setup.Options.Boards = std::to_string(boards);
        std::string error;
        const QString path = gens_ + "/" + name;
        if (!WriteGeneratorFile(path.toStdString(), setup, &error)) qFatal("%s", error.c_str());
        return path;
    }
    QTableWidget* parts() { return child<QTableWidget>("SessionList"); }
    QSpinBox* partCount(int row) { return qobject_cast<QSpinBox*>(parts()->cellWidget(row, 2)); }
    void showSession() {
        dlg_->show();
        child<QTabWidget>("ViewTabs")->setCurrentIndex(1);
    }
    void screenshot(const QString& name) {
        const QString folder = qEnvironmentVariable("ZELV_SCREENSHOTS");
        if (!folder.isEmpty()) QVERIFY(dlg_->grab().save(QDir(folder).filePath(name)));
    }

  private slots:
    // The figures are grouped as the C locale groups them, whatever the machine's.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
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

    void showing_startsFromTheDefaultSetup() {
        QVERIFY(dlg_->CurrentBoardFileName().isEmpty());
        QVERIFY(dlg_->CurrentBoardFilePath().isEmpty());
        dlg_->show();

        QCOMPARE(dlg_->windowTitle(), QString("Board Generation"));
        auto* tabs = child<QTabWidget>("MainTabSheet");
        QCOMPARE(tabs->currentIndex(), 0);
        QStringList tabNames;
        for (int i = 0; i < tabs->count(); ++i) tabNames << tabs->tabText(i);
        QCOMPARE(tabNames, QStringList({"North", "East", "South", "West"}));
        QCOMPARE(tabs->widget(1)->objectName(), QString("EastTab"));
        for (const char* seat : ClockwiseLetters) {
            const bool north = QString(seat) == "N";
            QCOMPARE(check(QString(seat) + "AnyHandCB")->isChecked(), !north);
            QCOMPARE(check(QString("TabCheck") + seat)->isChecked(), !north);
            QVERIFY(!check(QString("TabCheck") + seat)->isEnabled());
            for (int slot = 1; slot <= 5; ++slot) {
                QCOMPARE(combo(seat, slot)->currentIndex(), -1);
                QCOMPARE(combo(seat, slot)->isEnabled(), north);
                QVERIFY(!combo(seat, slot)->isEditable());
            }
        }
        ZELV_VERIFY_DESIGN(dlg_.get(), GenerationOnShowing);
        QVERIFY(check("SeedCB")->isChecked());
        QVERIFY(check("PbnCB")->isChecked());
        QVERIFY(!check("DupCB")->isChecked());
        QVERIFY(!check("DlmCB")->isChecked());
        QVERIFY(!check("SecureCB")->isChecked());
        QVERIFY(button("DealBtn")->isDefault());
        QCOMPARE(child<QProgressBar>("ProgBar")->value(), 0);
        QCOMPARE(dlg_->focusWidget(), combo("N", 1));
        QCOMPARE(dlg_->CurrentBoardFileName(), QString("ZELV.DGE"));
        QCOMPARE(dlg_->CurrentBoardFilePath(), hands_ + "/ZELV.DGE");
        QCOMPARE(text("NoticeLbl"), QString("North takes any hand: no definition is chosen"));
    }

    // The next showing of the session comes back as the last was left;
    // the title names a generator file only while the fields hold it.
    void showing_keepsTheSetupForTheSessionAndTheTitleFollowsTheFields() {
        writeDefinition("STRONG.HDS");
        dlg_->show();
        check("NAnyHandCB")->setChecked(true);
        check("WAnyHandCB")->setChecked(false);
        pick("W", 2, "STRONG");
        check("SeedCB")->setChecked(false);
        check("PbnCB")->setChecked(false);
        check("DupCB")->setChecked(true);
        check("DlmCB")->setChecked(true);
        check("SecureCB")->setChecked(true);
        child<QTabWidget>("MainTabSheet")->setCurrentIndex(2);
        child<QLineEdit>("NumberBoardsEB")->setText("12");
        child<QLineEdit>("FirstBoardEB")->setText("17");
        const QString path = gens_ + "/Kept.GEN";
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QCOMPARE(dlg_->windowTitle(), QString("ZELV Hand Generation - Kept.GEN"));
        dlg_->reject();
        dlg_->show();

        QCOMPARE(dlg_->windowTitle(), QString("ZELV Hand Generation - Kept.GEN"));
        QVERIFY(check("NAnyHandCB")->isChecked());
        QVERIFY(!check("WAnyHandCB")->isChecked());
        QCOMPARE(combo("W", 2)->currentText(), QString("STRONG"));
        QVERIFY(!check("SeedCB")->isChecked() && !check("PbnCB")->isChecked());
        QVERIFY(check("DupCB")->isChecked() && check("DlmCB")->isChecked() && check("SecureCB")->isChecked());
        QCOMPARE(child<QLineEdit>("NumberBoardsEB")->text(), QString("12"));
        QCOMPARE(child<QLineEdit>("FirstBoardEB")->text(), QString("17"));
        QCOMPARE(child<QTabWidget>("MainTabSheet")->currentIndex(), 0);

        // Board 17 to 28 go past a DLM file's 99? No: only a longer set does.
        QVERIFY(text("NoticeLbl").isEmpty());
        child<QLineEdit>("FirstBoardEB")->setText("90");
        QCOMPARE(dlg_->windowTitle(), QString("Board Generation"));
        QVERIFY2(text("NoticeLbl").startsWith("ZELV.DLM is not written: "), qPrintable(text("NoticeLbl")));
    }

    void anyHandBox_clearsDisablesAndMirrorsSeat() {
        writeDefinition("STRONG.HDS");
        dlg_->show();
        pick("N", 1, "STRONG");
        pick("N", 4, "STRONG");
        check("NAnyHandCB")->setChecked(true);
        QVERIFY(check("TabCheckN")->isChecked());
        for (int slot = 1; slot <= 5; ++slot) {
            QCOMPARE(combo("N", slot)->currentIndex(), -1);
            QVERIFY(!combo("N", slot)->isEnabled());
        }
        check("NAnyHandCB")->setChecked(false);
        QVERIFY(!check("TabCheckN")->isChecked());
        for (int slot = 1; slot <= 5; ++slot) {
            QCOMPARE(combo("N", slot)->currentIndex(), -1);
            QVERIFY(combo("N", slot)->isEnabled());
        }
        check("EAnyHandCB")->setChecked(false);
        QVERIFY(!check("TabCheckE")->isChecked());
        QVERIFY(combo("E", 3)->isEnabled());
        QVERIFY(check("TabCheckS")->isChecked());
    }

    void dropDowns_filledWhenAboutToOpenFromTheShowingsList() {
        writeDefinition("beta.hds");
        writeDefinition("Alpha.HDS");
        writeDefinition("ALPHA.hds");
        writeDefinition("notes.txt");
        dlg_->show();
        DropDownCombo* n1 = combo("N", 1);
        QCOMPARE(n1->count(), 0);
        openList(n1);
        QCOMPARE(n1->count(), 2);
        QCOMPARE(n1->itemText(0).toLower(), QString("alpha"));
        QCOMPARE(n1->itemText(1), QString("beta"));
        QCOMPARE(n1->currentIndex(), -1);
        QCOMPARE(n1->maxVisibleItems(), 12);

        // A definition saved meanwhile waits for the next showing.
        writeDefinition("Gamma.HDS");
        n1->setCurrentIndex(1);
        openList(n1);
        QCOMPARE(n1->count(), 2);
        QCOMPARE(n1->currentText(), QString("beta"));
        openList(combo("N", 2));
        QCOMPARE(combo("N", 2)->count(), 2);

        n1->setCurrentIndex(-1);
        dlg_->reject();
        QCOMPARE(n1->count(), 0);
        dlg_->show();
        QCOMPARE(n1->count(), 0);
        openList(n1);
        QCOMPARE(n1->count(), 3);
        QCOMPARE(n1->itemText(2), QString("Gamma"));
    }

    void clearAll_restoresSetupButKeepsBoardsCodeAndEntries() {
        writeDefinition("STRONG.HDS");
        dlg_->show();
        prompts_->FileAnswers << hands_ + "/MINE.DGE";
        QTest::mouseClick(child<QToolButton>("ChangeFileBtn"), Qt::LeftButton);
        child<QLineEdit>("NumberBoardsEB")->setText("7");
        pick("N", 2, "STRONG");
        check("EAnyHandCB")->setChecked(false);
        pick("E", 1, "STRONG");
        check("SeedCB")->setChecked(false);
        check("SecureCB")->setChecked(true);
        child<QTabWidget>("MainTabSheet")->setCurrentIndex(1);

        QTest::mouseClick(button("ClearBtn"), Qt::LeftButton);
        QCOMPARE(combo("N", 2)->currentIndex(), -1);
        QVERIFY(combo("N", 2)->count() > 0);
        QVERIFY(check("EAnyHandCB")->isChecked());
        QVERIFY(check("TabCheckE")->isChecked());
        QCOMPARE(combo("E", 1)->currentIndex(), -1);
        QVERIFY(!combo("E", 1)->isEnabled());
        QVERIFY(check("SeedCB")->isChecked());
        QVERIFY(!check("SecureCB")->isChecked());
        QCOMPARE(child<QTabWidget>("MainTabSheet")->currentIndex(), 0);
        QCOMPARE(child<QLineEdit>("NumberBoardsEB")->text(), QString("7"));
        QCOMPARE(text("SavePanel"), QString(" Save Boards to File: MINE"));
        QCOMPARE(dlg_->windowTitle(), QString("Board Generation"));
    }

    void changeFile_takesNameUpToFirstFullStopAndKeepsHandsFolder() {
        dlg_->show();
        QDir(tmp_->path()).mkdir("elsewhere");
        prompts_->FileAnswers << tmp_->path() + "/elsewhere/MY.SET.DGE";
        QTest::mouseClick(child<QToolButton>("ChangeFileBtn"), Qt::LeftButton);

        QCOMPARE(prompts_->FileRequests.size(), 1);
        const FileDialogOptions o = prompts_->FileRequests.first();
        QCOMPARE(o.Title, QString("Hand Production File"));
        QVERIFY(o.Filter.contains("Hand Production File") && o.Filter.contains("*.DGE"));
        QCOMPARE(o.DefaultSuffix, QString("DGE"));
        QCOMPARE(o.Folder, hands_);
        QCOMPARE(o.InitialName, QString("ZELV.DGE"));
        // Choosing a name replaces nothing, so there is nothing to confirm yet.
        QVERIFY(!o.OverwritePrompt && o.PathMustExist);
        QVERIFY(o.HelpTopic != 0);

        QCOMPARE(SharedSettings().DefaultFileCode, std::string("MY"));
        QCOMPARE(dlg_->CurrentBoardFileName(), QString("MY.DGE"));
        QCOMPARE(dlg_->CurrentBoardFilePath(), hands_ + "/MY.DGE");
        QCOMPARE(text("SavePanel"), QString(" Save Boards to File: MY"));
        QCOMPARE(button("DealBtn")->toolTip(), QString("Deal the Boards and Save to File: MY"));
        QCOMPARE(dlg_->focusWidget(), button("DealBtn"));

        dealAndWait();
        QCOMPARE(QFileInfo(hands_ + "/MY.DGE").size(), qint64(128));
        QCOMPARE(QFileInfo(hands_ + "/MY.BRI").size(), qint64(128));
        QVERIFY(QDir(tmp_->path() + "/elsewhere").isEmpty());

        // The panel runs it too; cancelling changes nothing and the name box
        // proposes the current file.
        QTest::mouseClick(child<QLabel>("Panel3"), Qt::LeftButton);
        QCOMPARE(prompts_->FileRequests.size(), 2);
        QCOMPARE(prompts_->FileRequests.last().InitialName, QString("MY.DGE"));
        QCOMPARE(SharedSettings().DefaultFileCode, std::string("MY"));

        // The code outlives the showing.
        dlg_->reject();
        dlg_->show();
        QCOMPARE(text("SavePanel"), QString(" Save Boards to File: MY"));

        // A name with a control character in its code is refused; one that
        // makes hidden files is taken, and said.
        prompts_->FileAnswers << hands_ + "/A\tB.DGE" << hands_ + "/.hidden.DGE";
        QTest::mouseClick(child<QToolButton>("ChangeFileBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors, QStringList{"The file code 'A\\tB' holds a control character, which would break "
                                               "the header line of the .DLM file and cannot be typed or shown in a "
                                               "file's name."});
        QCOMPARE(SharedSettings().DefaultFileCode, std::string("MY"));
        QTest::mouseClick(child<QToolButton>("ChangeFileBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Messages, QStringList{"Board Generation: The file code: an empty file code names the files "
                                                 ".DGE, .BRI and so on, hidden files that ls and file dialogs do not "
                                                 "show."});
        QCOMPARE(SharedSettings().DefaultFileCode, std::string(""));
    }

    void loadGeneratorFile_matchesNamesIgnoringCaseAndDropsMissingOnes() {
        writeDefinition("STRONG.HDS");
        writeDefinition("weak.HDS");
        const QString path = gens_ + "/Test.GEN";
        WriteAll(path, "[main]\r\nnanycb=0\r\nNC1=strong\r\nNC2=Gone\r\nNC3= WEAK \r\n"
                       "EAnyCB=0x0\r\nEC2=Strong\r\nSAnyCB=2\r\nSC1=weak\r\nWAnyCB=maybe\r\n");
        dlg_->show();
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);

        const FileDialogOptions o = prompts_->FileRequests.first();
        QCOMPARE(o.Title, QString("Hand Generator File"));
        QVERIFY(o.Filter.contains("Hand Generator File") && o.Filter.contains("*.GEN"));
        QCOMPARE(o.DefaultSuffix, QString("GEN"));
        QCOMPARE(o.Folder, gens_);
        QVERIFY(!o.FileMustExist);

        QCOMPARE(dlg_->windowTitle(), QString("ZELV Hand Generation - Test.GEN"));
        QVERIFY(!check("NAnyHandCB")->isChecked());
        QCOMPARE(combo("N", 1)->currentText(), QString("STRONG"));
        QCOMPARE(combo("N", 2)->currentIndex(), -1);
        QCOMPARE(combo("N", 3)->currentText(), QString("weak"));
        QCOMPARE(combo("N", 4)->currentIndex(), -1);
        QVERIFY(!check("EAnyHandCB")->isChecked());
        QVERIFY(!check("TabCheckE")->isChecked());
        QCOMPARE(combo("E", 1)->currentIndex(), -1);
        QCOMPARE(combo("E", 2)->currentText(), QString("STRONG"));
        QVERIFY(check("SAnyHandCB")->isChecked());
        QCOMPARE(combo("S", 1)->currentIndex(), -1);
        QVERIFY(check("WAnyHandCB")->isChecked());
        QCOMPARE(prompts_->Errors, QStringList{"Test.GEN: NC2=Gone names North's definition 2, but there is no "
                                               "Gone.HDS in " +
                                               defs_ +
                                               "\n\nSuch a slot is left empty; choose that seat's definitions "
                                               "again before dealing."});
        prompts_->Errors.clear();

        // The caption stays; a file that does not exist reads as defaults.
        dlg_->reject();
        dlg_->show();
        QCOMPARE(dlg_->windowTitle(), QString("ZELV Hand Generation - Test.GEN"));
        check("NAnyHandCB")->setChecked(true);
        check("SAnyHandCB")->setChecked(false);
        prompts_->FileAnswers << gens_ + "/Nothing.GEN";
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QVERIFY(!check("NAnyHandCB")->isChecked());
        QVERIFY(check("SAnyHandCB")->isChecked());
        QVERIFY(prompts_->Errors.isEmpty());
        QCOMPARE(dlg_->windowTitle(), QString("ZELV Hand Generation - Nothing.GEN"));
        QVERIFY(!QFile::exists(gens_ + "/Nothing.GEN"));

        // One that is there but cannot be read is reported and changes nothing.
        QVERIFY(QDir(gens_).mkdir("Folder.GEN"));
        check("EAnyHandCB")->setChecked(false);
        prompts_->FileAnswers << gens_ + "/Folder.GEN";
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY(prompts_->Errors.first().contains(gens_ + "/Folder.GEN"));
        QVERIFY(!check("EAnyHandCB")->isChecked());
        // The fields were changed since Nothing.GEN was loaded.
        QCOMPARE(dlg_->windowTitle(), QString("Board Generation"));

        // So is a file that is no generator file (here a hand definition).
        QFile::copy(defs_ + "/STRONG.HDS", gens_ + "/Strong.GEN");
        prompts_->FileAnswers << gens_ + "/Strong.GEN";
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors.size(), 2);
        QVERIFY2(prompts_->Errors.last().startsWith(gens_ + "/Strong.GEN is not a generator file"),
                 qPrintable(prompts_->Errors.last()));
        QVERIFY(!check("EAnyHandCB")->isChecked());
        QCOMPARE(dlg_->windowTitle(), QString("Board Generation"));
    }

    // A loaded file that names a definition the folder lacks: Deal is
    // refused, naming the file and the key, until that seat is chosen again.
    void loadGeneratorFile_aMissingDefinitionHoldsDealUntilItsSeatIsChosenAgain() {
        writeDefinition("STRONG.HDS");
        const QString path = gens_ + "/Old.GEN";
        WriteAll(path, "[Main]\r\nNAnyCB=0\r\nNC1=Renamed\r\nNC2=STRONG\r\nEAnyCB=0\r\nEC1=STRONG\r\n");
        WriteAll(hand(".DGE"), "an older run");
        dlg_->show();
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors.size(), 1);
        const QString named =
            "Old.GEN: NC1=Renamed names North's definition 1, but there is no Renamed.HDS in " + defs_;
        QVERIFY2(prompts_->Errors.first().startsWith(named + "\n\n"), qPrintable(prompts_->Errors.first()));
        QCOMPARE(combo("N", 1)->currentIndex(), -1);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors.size(), 2);
        QVERIFY2(prompts_->Errors.last().startsWith(named + "\n\n"), qPrintable(prompts_->Errors.last()));
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray("an older run"));
        // Another seat chosen again changes nothing; North chosen again deals.
        pick("E", 2, "STRONG");
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors.size(), 3);
        pick("N", 1, "STRONG");
        dealAndWait();
        QCOMPARE(prompts_->Errors.size(), 3);
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(128));
    }

    void saveGeneratorFile_writesTheKeysAndRoundTrips() {
        writeDefinition("STRONG.HDS");
        writeDefinition("weak.HDS");
        dlg_->show();
        pick("N", 1, "STRONG");
        pick("N", 3, "weak");
        check("WAnyHandCB")->setChecked(false);
        pick("W", 5, "STRONG");
        const QString path = gens_ + "/Set.GEN";
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);

        const FileDialogOptions o = prompts_->FileRequests.first();
        QCOMPARE(o.Title, QString("Hand Generation File"));
        QVERIFY(o.Filter.contains("Hand Generation File") && o.Filter.contains("*.GEN"));
        QCOMPARE(o.DefaultSuffix, QString("GEN"));
        QCOMPARE(o.Folder, gens_);
        QVERIFY(o.InitialName.isEmpty());
        QVERIFY(o.OverwritePrompt);

        const QByteArray expected = "[Main]\r\nNAnyCB=0\r\nNC1=STRONG\r\nNC2=\r\nNC3=weak\r\nNC4=\r\nNC5=\r\n"
                                    "SAnyCB=1\r\nSC1=\r\nSC2=\r\nSC3=\r\nSC4=\r\nSC5=\r\n"
                                    "EAnyCB=1\r\nEC1=\r\nEC2=\r\nEC3=\r\nEC4=\r\nEC5=\r\n"
                                    "WAnyCB=0\r\nWC1=\r\nWC2=\r\nWC3=\r\nWC4=\r\nWC5=STRONG\r\n";
        QCOMPARE(ReadAll(path), expected);
        QVERIFY(prompts_->Errors.isEmpty());

        // A fresh showing loads it back; saving it unchanged gives the same text.
        dlg_->reject();
        dlg_->show();
        prompts_->FileAnswers << path << path;
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QCOMPARE(combo("N", 1)->currentText(), QString("STRONG"));
        QCOMPARE(combo("N", 3)->currentText(), QString("weak"));
        QCOMPARE(combo("W", 5)->currentText(), QString("STRONG"));
        QVERIFY(!check("WAnyHandCB")->isChecked());
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QCOMPARE(ReadAll(path), expected);

        // A definition removed since the file was saved comes back empty.
        QVERIFY(QFile::remove(defs_ + "/weak.HDS"));
        dlg_->reject();
        dlg_->show();
        prompts_->FileAnswers << path << path;
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QCOMPARE(combo("N", 3)->currentIndex(), -1);
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QVERIFY(ReadAll(path).contains("\r\nNC3=\r\n"));
    }

    // The run options go under keys of their own, only those off their
    // defaults (a file saved with the defaults is as it always was), and
    // come back on Load; saved again, the file is the same to the byte.
    void saveGeneratorFile_keepsTheRunOptionsAndReadsThemBack() {
        writeDefinition("STRONG.HDS");
        dlg_->show();
        pick("N", 1, "STRONG");
        check("PbnCB")->setChecked(false);
        check("DupCB")->setChecked(true);
        check("SecureCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("24");
        const QString path = gens_ + "/Options.GEN";
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        const QByteArray saved = ReadAll(path);
        QVERIFY2(saved.endsWith("WC5=\r\nWritePbn=0\r\nWriteDup=1\r\nSecureSource=1\r\nBoards=24\r\n"),
                 saved.constData());

        // Another session's dialog, from its defaults.
        dlg_ = std::make_unique<GenerationDialog>();
        dlg_->show();
        prompts_->FileAnswers << path << path;
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QVERIFY(!check("PbnCB")->isChecked() && check("DupCB")->isChecked() && check("SecureCB")->isChecked());
        QVERIFY(check("SeedCB")->isChecked() && !check("DlmCB")->isChecked());
        QCOMPARE(child<QLineEdit>("NumberBoardsEB")->text(), QString("24"));
        QCOMPARE(dlg_->windowTitle(), QString("ZELV Hand Generation - Options.GEN"));
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QCOMPARE(ReadAll(path), saved);

        // An option put back to its default is written as such, not dropped.
        check("SecureCB")->setChecked(false);
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QVERIFY(ReadAll(path).contains("\r\nSecureSource=0\r\n"));
    }

    // Clear All can be taken back: its button reads Undo for a moment, and
    // Ctrl+Z undoes the last clear later on.
    void clearAll_isUndoneByItsButtonOrCtrlZ() {
        writeDefinition("STRONG.HDS");
        dlg_->show();
        pick("N", 3, "STRONG");
        check("EAnyHandCB")->setChecked(false);
        check("DlmCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("9");
        auto* clear = button("ClearBtn");
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(combo("N", 3)->currentIndex(), -1);
        QVERIFY(!check("DlmCB")->isChecked());
        QCOMPARE(clear->text(), QString("&Undo"));
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(combo("N", 3)->currentText(), QString("STRONG"));
        QVERIFY(check("DlmCB")->isChecked() && !check("EAnyHandCB")->isChecked());
        QCOMPARE(child<QLineEdit>("NumberBoardsEB")->text(), QString("9"));
        QCOMPARE(clear->text(), QString("C&lear All"));

        // Later, Ctrl+Z. The lists' pop-ups took the window's activation,
        // which a shortcut needs: a fresh window, never opened.
        dlg_ = std::make_unique<GenerationDialog>();
        dlg_->show();
        QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
        check("EAnyHandCB")->setChecked(false);
        check("DlmCB")->setChecked(true);
        clear = button("ClearBtn");
        QTest::mouseClick(clear, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(clear->text(), QString("C&lear All"), 20000);
        QVERIFY(check("EAnyHandCB")->isChecked() && !check("DlmCB")->isChecked());
        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!check("EAnyHandCB")->isChecked() && check("DlmCB")->isChecked());
        // Only the last clear: a second Ctrl+Z changes nothing.
        check("DlmCB")->setChecked(false);
        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!check("DlmCB")->isChecked());
    }

    void saveGeneratorFile_keepsForeignLinesAndReportsFailures() {
        writeDefinition("STRONG.HDS");
        const QString path = gens_ + "/Mixed.GEN";
        WriteAll(path, "[Other]\r\nx=1\r\n[Main]\r\nNote=keep me\r\nNC1=old\r\n");
        dlg_->show();
        pick("N", 1, "STRONG");
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        const QByteArray saved = ReadAll(path);
        QVERIFY(saved.startsWith("[Other]\r\nx=1\r\n[Main]\r\nNote=keep me\r\nNC1=STRONG\r\n"));
        QVERIFY(saved.contains("\r\nWC5=\r\n"));
        QVERIFY(!saved.contains("old"));

        const QString missing = tmp_->path() + "/no such folder/Set.GEN";
        prompts_->FileAnswers << missing;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors, QStringList{"Unable to write to " + missing + " (No such file or directory)"});
        QCOMPARE(combo("N", 1)->currentText(), QString("STRONG"));
    }

    void deal_writesExactlyTheRequestedBoardsMeetingTheSetup() {
        writeDefinition("STRONG.HDS", [](DefinitionText& d) { d.Limit(LimMinPoints) = "20"; });
        writeDefinition("SPADEACE.HDS", [](DefinitionText& d) { d.Cards[MakeCard(0, 0)] = true; });
        dlg_->show();
        pick("N", 1, "STRONG");
        check("SAnyHandCB")->setChecked(false);
        pick("S", 1, "SPADEACE");
        child<QLineEdit>("NumberBoardsEB")->setText("6");
        dealAndWait();

        QVERIFY2(prompts_->Errors.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        QCOMPARE(prompts_->Beeps, 1);
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(6 * 128));
        QCOMPARE(QFileInfo(hand(".BRI")).size(), qint64(6 * 128));
        QVERIFY(ReadAll(hand(".PBN")).contains("[Board \"6\"]"));
        QVERIFY(text("Counter").startsWith("6 of 6 boards \u00b7 "));
        QVERIFY(dealsShown() >= 6);
        QVERIFY2(text("FinishLbl").endsWith(" \u00b7 6 boards written"), qPrintable(text("FinishLbl")));
        QVERIFY(text("StartLbl").size() > QString("Start: ").size());
        QCOMPARE(child<QProgressBar>("ProgBar")->value(), child<QProgressBar>("ProgBar")->maximum());
        QCOMPARE(button("DealBtn")->text(), QString("Deal"));

        DgeFile file;
        std::string error;
        QVERIFY(file.Open(hand(".DGE").toStdString(), &error));
        QCOMPARE(file.BoardCount(), std::uint64_t(6));
        for (std::uint64_t n = 1; n <= 6; ++n) {
            DisplayTable board;
            QCOMPARE(file.ReadBoard(n, board), DgeFile::Read::Ok);
            QVERIFY(HighCardPoints(board[North]) >= 20);
            QVERIFY(board[South][0].starts_with('A'));
            QCOMPARE(CardCount(board), 52);
        }
    }

    void deal_withTheSecureSourceMeetsTheSetupToo() {
        writeDefinition("STRONG.HDS", [](DefinitionText& d) { d.Limit(LimMinPoints) = "20"; });
        dlg_->show();
        pick("N", 1, "STRONG");
        check("SecureCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("4");
        dealAndWait();
        QVERIFY2(prompts_->Errors.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        DgeFile file;
        std::string error;
        QVERIFY(file.Open(hand(".DGE").toStdString(), &error));
        QCOMPARE(file.BoardCount(), std::uint64_t(4));
        QCOMPARE(QFileInfo(hand(".BRI")).size(), qint64(4 * 128));
        for (std::uint64_t n = 1; n <= 4; ++n) {
            DisplayTable board;
            QCOMPARE(file.ReadBoard(n, board), DgeFile::Read::Ok);
            QVERIFY(HighCardPoints(board[North]) >= 20);
            QCOMPARE(CardCount(board), 52);
        }
        // The box is part of the set-up, kept for the session.
        dlg_->reject();
        dlg_->show();
        QVERIFY(check("SecureCB")->isChecked());
    }

    void deal_asksBeforeReplacingASetAndNoKeepsIt() {
        WriteAll(hand(".DGE"), QByteArray(128, '\x06'));
        dlg_->show();
        // Freshly opened, the focus is in a drop-down and Enter presses Deal.
        prompts_->ConfirmAnswers << false;
        QVERIFY(dlg_->focusWidget() == combo("N", 1));
        QTest::keyClick(dlg_->focusWidget(), Qt::Key_Return);
        QCOMPARE(prompts_->Questions, QStringList{"Board Generation: ZELV.DGE already holds 1 board. Replace them?"});
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray(128, '\x06'));
        QVERIFY(!QFile::exists(hand(".BRI")));
        QCOMPARE(text("StartLbl"), QString("Start: "));

        prompts_->ConfirmAnswers << true;
        child<QLineEdit>("NumberBoardsEB")->setText("2");
        dealAndWait();
        QCOMPARE(prompts_->Questions.size(), 2);
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(2 * 128));
    }

    void desktop_helpKeyWholeNamesAndWhereTheFilesWent() {
        writeDefinition("Weak Balanced 0-5.HDS");
        writeDefinition("A definition with a really rather long name.HDS");
        dlg_->show();
        dlg_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
        // F1 opens the dialog's topic, as the Help button does.
        QTest::keyClick(dlg_->focusWidget(), Qt::Key_F1);
        QTest::mouseClick(button("HelpBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->HelpTopics, (QList<int>{30, 30}));
        QVERIFY(!(dlg_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        // Every name shows whole in the boxes (up to a long one) and their lists.
        pick("N", 1, "Weak Balanced 0-5");
        for (int slot = 1; slot <= 5; ++slot) {
            DropDownCombo* c = combo("N", slot);
            const QFontMetrics m(c->font());
            QVERIFY(c->width() >= m.horizontalAdvance("Weak Balanced 0-5") + 20);
            QVERIFY(c->view()->minimumWidth() >= m.horizontalAdvance("A definition with a really rather long name"));
        }
        QVERIFY(dlg_->width() <= 1280);

        check("PbnCB")->setChecked(false);
        dealAndWait();
        QCOMPARE(text("FilesLbl"), QStringLiteral("Wrote ZELV.DGE and ZELV.BRI in ") + hands_);
        check("PbnCB")->setChecked(true);
        dealAndWait();
        QCOMPARE(text("FilesLbl"), QStringLiteral("Wrote ZELV.DGE, ZELV.BRI and ZELV.PBN in ") + hands_);
        child<QLineEdit>("NumberBoardsEB")->setText("0");
        dealAndWait();
        QCOMPARE(text("FilesLbl"), QStringLiteral("No file was written; the previous files were kept."));
    }

    // The analysis goes into the PBN file only: it needs that file, is off
    // until asked for, and Clear turns it off again.
    void deal_doubleDummyAnalysisInPbnWhenTicked() {
        dlg_->show();
        QVERIFY(!check("DoubleDummyCB")->isChecked());
        QVERIFY(check("DoubleDummyCB")->isEnabled());
        check("PbnCB")->setChecked(false);
        QVERIFY(!check("DoubleDummyCB")->isEnabled());
        check("PbnCB")->setChecked(true);
        QVERIFY(check("DoubleDummyCB")->isEnabled());
        child<QLineEdit>("NumberBoardsEB")->setText("2");
        dealAndWait();
        QVERIFY(!ReadAll(hand(".PBN")).contains("[DoubleDummyTricks"));
        check("DoubleDummyCB")->setChecked(true);
        dealAndWait();
        QVERIFY2(prompts_->Errors.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        const QByteArray pbn = ReadAll(hand(".PBN"));
        QCOMPARE(pbn.count("[DoubleDummyTricks \""), 2);
        QCOMPARE(pbn.count("[ParContract \""), 2);
        QTest::mouseClick(button("ClearBtn"), Qt::LeftButton);
        QVERIFY(!check("DoubleDummyCB")->isChecked());
    }

    void deal_machineFilesFromTheFirstBoardAndOnesThatCannotNumberTheSetSaidFirst() {
        dlg_->show();
        child<QLineEdit>("FirstBoardEB")->setText("17");
        child<QLineEdit>("NumberBoardsEB")->setText("4");
        check("DupCB")->setChecked(true);
        check("DlmCB")->setChecked(true);
        dealAndWait();
        QVERIFY2(prompts_->Errors.isEmpty() && prompts_->Messages.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        QCOMPARE(text("FilesLbl"), "Wrote ZELV.DGE, ZELV.BRI, ZELV.PBN, ZELV.DUP and ZELV.DLM in " + hands_);
        QCOMPARE(ReadAll(hand(".DUP")).mid(146, 10), QByteArray("YN17 0 20 "));
        QVERIFY(ReadAll(hand(".DLM")).contains("\r\nFrom board=17\r\nTo board=20\r\n"));
        QVERIFY(ReadAll(hand(".PBN")).contains("[Board \"17\"]"));
        QVERIFY(!ReadAll(hand(".PBN")).contains("[Board \"1\"]"));

        // Boards 90 to 109 go past the DLM file's 99: said before dealing, and the rest written.
        child<QLineEdit>("FirstBoardEB")->setText("90");
        child<QLineEdit>("NumberBoardsEB")->setText("20");
        dealAndWait();
        const QString dlm =
            "ZELV.DLM is not written: a .DLM file holds board numbers up to 99, and boards 90 to 109 go past it.";
        QVERIFY2(text("NoticeLbl").endsWith("\n" + dlm), qPrintable(text("NoticeLbl")));
        QCOMPARE(prompts_->Questions,
                 QStringList{"Board Generation: " + dlm + "\n\nZELV.DGE already holds 4 boards. Replace them?"});
        QVERIFY(prompts_->Messages.isEmpty());
        QVERIFY(!QFile::exists(hand(".DLM")));
        QCOMPARE(QFileInfo(hand(".DUP")).size(), qint64(20 * 156));
        QCOMPARE(text("FilesLbl"), "Wrote ZELV.DGE, ZELV.BRI, ZELV.PBN and ZELV.DUP in " + hands_);

        child<QLineEdit>("FirstBoardEB")->setText("0");
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors, QStringList{"'0' is not a board number for the first board. Enter 1 or more."});
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(20 * 128));

        // Past the highest board a PBN file holds: said before the question
        // about the earlier set, and nothing is touched.
        prompts_->Errors.clear();
        prompts_->Questions.clear();
        check("DupCB")->setChecked(false);
        check("DlmCB")->setChecked(false);
        child<QLineEdit>("FirstBoardEB")->setText("2147483647");
        child<QLineEdit>("NumberBoardsEB")->setText("2");
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors, QStringList{"ZELV.PBN cannot be written: a .PBN file holds board numbers up to "
                                               "2147483647, and boards 2147483647 to 2147483648 go past it. Enter a "
                                               "smaller first board, or untick Also Write PBN File."});
        QVERIFY(prompts_->Questions.isEmpty());
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(20 * 128));
    }

    void deal_withDefaultsAndEmptyCountDealsOneRandomBoard() {
        WriteAll(hand(".DGE"), "an older run");
        dlg_->show();
        child<QLineEdit>("NumberBoardsEB")->clear();
        check("PbnCB")->setChecked(false);
        dealAndWait();
        QCOMPARE(child<QLineEdit>("NumberBoardsEB")->text(), QString("1"));
        QCOMPARE(text("Counter"), QString("1 of 1 board \u00b7 1 deal tried"));
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(128));
        QVERIFY(!QFile::exists(hand(".PBN")));

        // Zero boards replace nothing.
        child<QLineEdit>("NumberBoardsEB")->setText("0");
        dealAndWait();
        QCOMPARE(text("Counter"), QString("0 of 0 boards \u00b7 0 deals tried"));
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(128));
        QCOMPARE(QFileInfo(hand(".BRI")).size(), qint64(128));
    }

    void deal_progressIsATrueProportionForLargeRuns() {
        dlg_->show();
        check("NAnyHandCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("70000");
        auto* bar = child<QProgressBar>("ProgBar");
        QSignalSpy values(bar, &QProgressBar::valueChanged);
        dealAndWait();
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(70000) * 128);
        QCOMPARE(QFileInfo(hand(".BRI")).size(), qint64(70000) * 128);
        QCOMPARE(text("Counter"), QString("70,000 of 70,000 boards \u00b7 70,000 deals tried"));
        QCOMPARE(bar->text(), QString("70,000 of 70,000 boards"));
        // The bar only ever grows during the run, and ends full.
        int last = 0;
        for (int i = 0; i + 1 < values.size(); ++i) {
            const int v = values.at(i).at(0).toInt();
            QVERIFY(v >= last && v <= bar->maximum());
            last = v;
        }
        QCOMPARE(bar->value(), bar->maximum());
    }

    void progress_showsTheShareOfBoardsDealtPastSixteenBits() {
        writeDefinition("FLAT.HDS", [](DefinitionText& d) { d.YesShapes = {" 4333"}; });
        dlg_->show();
        pick("N", 1, "FLAT");
        child<QLineEdit>("NumberBoardsEB")->setText("10000000");
        auto* bar = child<QProgressBar>("ProgBar");
        // The bar's text and value are set together; check them as they come.
        int mismatches = 0, seen = 0;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            if (!dlg_->IsDealing()) return;
            ++seen;
            const std::uint64_t accepted = acceptedSoFar();
            if (value != static_cast<int>(accepted * bar->maximum() / 10000000)) ++mismatches;
        });
        dealUntilProgress();
        QTRY_VERIFY_WITH_TIMEOUT(acceptedSoFar() > 70000, 120000);
        QVERIFY(seen > 0);
        QCOMPARE(mismatches, 0);
        QVERIFY(bar->value() > 0 && bar->value() < bar->maximum());
        QSignalSpy finished(dlg_.get(), &GenerationDialog::dealFinished);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 60000);
        disconnect(bar, nullptr, this, nullptr);
    }

    void stop_endsAnImpossibleRunAndSaysHowManyWereDealt() {
        // North needs the ace of spades, South the four top spades: each
        // alone can be dealt, together never.
        writeDefinition("ACE.HDS", [](DefinitionText& d) { d.Cards[1] = true; });
        writeDefinition("TOPS.HDS", [](DefinitionText& d) { d.Limit(SuitLimitIndex(GroupPoints, 0, false)) = "10"; });
        // A set of 16 boards from an earlier run.
        WriteAll(hand(".DGE"), QByteArray(16 * 128, '\x06'));
        WriteAll(hand(".BRI"), QByteArray(16 * 128, '1'));
        dlg_->show();
        check("SeedCB")->setChecked(false);
        check("SAnyHandCB")->setChecked(false);
        pick("N", 1, "ACE");
        pick("S", 1, "TOPS");
        child<QLineEdit>("NumberBoardsEB")->setText("3");
        dealUntilProgress();
        QCOMPARE(prompts_->Questions, QStringList{"Board Generation: ZELV.DGE already holds 16 boards. Replace them?"});

        QCOMPARE(button("DealBtn")->text(), QString("Stop"));
        QVERIFY(button("DealBtn")->isEnabled());
        for (const char* name : {"NAnyHandCB", "EAnyHandCB", "SeedCB", "PbnCB", "DoubleDummyCB", "SecureCB"})
            QVERIFY2(!check(name)->isEnabled(), name);
        QVERIFY(!combo("N", 1)->isEnabled());
        QVERIFY(!child<QLineEdit>("NumberBoardsEB")->isEnabled());
        QVERIFY(!child<QToolButton>("ChangeFileBtn")->isEnabled());
        QVERIFY(!child<QLabel>("Panel3")->isEnabled());
        QTest::mouseClick(child<QLabel>("Panel3"), Qt::LeftButton);
        QVERIFY(prompts_->FileRequests.isEmpty());
        QVERIFY(!button("LoadBtn")->isEnabled());
        QVERIFY(!button("ClearBtn")->isEnabled());
        QVERIFY(!text("RateLbl").isEmpty());

        QSignalSpy finished(dlg_.get(), &GenerationDialog::dealFinished);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 60000);
        QCOMPARE(prompts_->Messages.size(), 1);
        QVERIFY2(prompts_->Messages.first().contains("0 of 3 boards dealt"), qPrintable(prompts_->Messages.first()));
        QVERIFY2(prompts_->Messages.first().contains("the previous files were kept"),
                 qPrintable(prompts_->Messages.first()));
        QVERIFY(prompts_->Errors.isEmpty());
        // Stopped before its first board, the run leaves the earlier set as it was.
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray(16 * 128, '\x06'));
        QCOMPARE(ReadAll(hand(".BRI")), QByteArray(16 * 128, '1'));
        QCOMPARE(button("DealBtn")->text(), QString("Deal"));
        QVERIFY(check("NAnyHandCB")->isEnabled());
        QVERIFY(combo("N", 1)->isEnabled());
        QVERIFY(!combo("E", 1)->isEnabled());
        QCOMPARE(combo("N", 1)->currentText(), QString("ACE"));
    }

    // North's alternatives together, 4-4-4-1 or a singleton spade, counted
    // by inclusion and exclusion as combinatorics gives it; then the
    // estimate from the trial run.
    void odds_showTheSeatsAlternativesTogetherAndAnEstimateForTheSetUp() {
        writeDefinition("FOURS.HDS", [](DefinitionText& d) { d.YesShapes = {" 4441"}; });
        writeDefinition("ONE SPADE.HDS", [](DefinitionText& d) {
            d.Limit(SuitLimitIndex(GroupLength, 0, false)) = "1";
            d.Limit(SuitLimitIndex(GroupLength, 0, true)) = "1";
        });
        auto binomial = [](int n, int k) {
            std::uint64_t r = 1;
            for (int i = 1; i <= k; ++i) r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
            return r;
        };
        const std::uint64_t c4 = binomial(13, 4);
        const std::uint64_t together = 4 * c4 * c4 * c4 * 13 + 13 * binomial(39, 12) - c4 * c4 * c4 * 13;
        dlg_->show();
        QTRY_COMPARE(text("OddsLbl"), QString("Every seat takes any hand."));
        QSignalSpy shown(dlg_.get(), &GenerationDialog::oddsShown);
        pick("N", 1, "FOURS");
        pick("N", 2, "ONE SPADE");
        QTRY_COMPARE(text("OddsLbl"),
                     QString("North (its alternatives together): ") + QString::fromStdString(HandsText(together)));
        QTRY_VERIFY_WITH_TIMEOUT(text("EstimateLbl").startsWith("Set-up: about 1 board in "), 10000);
        QVERIFY2(text("EstimateLbl").contains("; 1 board in about "), qPrintable(text("EstimateLbl")));
        QVERIFY(!text("EstimateLbl").contains("secure source"));
        QVERIFY(shown.count() >= 1);
        // So many boards would take millions of classic attempts: the secure
        // source is advised until it is ticked.
        child<QLineEdit>("NumberBoardsEB")->setText("1000000");
        QTRY_VERIFY_WITH_TIMEOUT(text("EstimateLbl")
                                     .endsWith(" attempts for 1,000,000 boards; use the secure source "
                                               "(Secure Random Source)."),
                                 10000);
        check("SecureCB")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(text("EstimateLbl").startsWith("Set-up: about 1 board in ") &&
                                     !text("EstimateLbl").contains("secure source"),
                                 10000);
    }

    // What a definition file holds that deals otherwise than it reads is
    // said with the odds, and so is an alternative without shapes.
    void odds_sayWhatADefinitionFileHoldsOtherwiseThanItReads() {
        WriteAll(defs_ + "/ODD.HDS", "[YesShapes]\r\nY0= 4333\r\n[Hand]\r\nMaxPoints=273\r\n");
        WriteAll(defs_ + "/NONE.HDS", "[Hand]\r\nMinPoints=0\r\n");
        dlg_->show();
        pick("N", 1, "ODD");
        pick("N", 2, "NONE");
        QTRY_VERIFY2(text("OddsLbl").endsWith(".  North's definition 2 \"NONE\" accepts no hand, so it is never dealt: "
                                              "no shape is accepted (the Yes list is empty).  MaxPoints=273 in ODD.HDS "
                                              "is read as 17"),
                     qPrintable(text("OddsLbl")));
        QTRY_VERIFY(text("EstimateLbl").startsWith("Set-up: about"));
    }

    // Seats that each can be dealt but not together are refused the same
    // way, where the run once went on until stopped.
    void deal_refusesSeatsThatCannotShareOnePack() {
        writeDefinition("22.HDS", [](DefinitionText& d) { d.Limit(LimMinPoints) = "22"; });
        writeDefinition("20.HDS", [](DefinitionText& d) { d.Limit(LimMinPoints) = "20"; });
        dlg_->show();
        pick("N", 1, "22");
        check("SAnyHandCB")->setChecked(false);
        pick("S", 1, "20");
        const QString why = "North's definition 1 \"22\" and South's definition 1 \"20\" need at least 42 points "
                            "together (22 + 20), more than the 40 of the pack. No board can be dealt.";
        QTRY_COMPARE(text("EstimateLbl"), "Cannot be dealt: " + why);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors, QStringList{why});
        QVERIFY(!QFile::exists(hand(".DGE")));
    }

    // Refused with the seat, the definition and the reason, before the
    // question about the earlier set and before any file is touched.
    void deal_refusesASeatThatAcceptsNoHandWithItsReason() {
        writeDefinition("NEVER.HDS", [](DefinitionText& d) {
            d.Limit(LimMinPoints) = "25";
            d.Limit(LimMaxPoints) = "20";
        });
        writeDefinition("ANY.HDS");
        WriteAll(hand(".DGE"), QByteArray(16 * 128, '\x06'));
        dlg_->show();
        pick("N", 1, "NEVER");
        QTRY_VERIFY(text("EstimateLbl").startsWith("Cannot be dealt: "));
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors, QStringList{"North's definition 1 \"NEVER\" accepts no hand: Minimum points 25 is "
                                               "above the maximum 20. No board can be dealt."});
        QVERIFY(prompts_->Questions.isEmpty());
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray(16 * 128, '\x06'));
        QVERIFY(!QFile::exists(hand(".BRI")));
        // Beside a definition that accepts hands it is only never dealt, and said so.
        pick("N", 2, "ANY");
        QTRY_VERIFY2(text("OddsLbl").endsWith(".  North's definition 1 \"NEVER\" accepts no hand, so it is never "
                                              "dealt: Minimum points 25 is above the maximum 20"),
                     qPrintable(text("OddsLbl")));
        QTRY_VERIFY(text("EstimateLbl").startsWith("Set-up: ") && !text("EstimateLbl").contains("estimating"));
    }

    // Three alternatives in turn over 30 boards: each board holds its own
    // (the point bands do not overlap), each exactly 10, as the dialog says;
    // the choice is saved under a key of its own.
    void level_sharesBoardsEquallyAndIsSavedInTheGeneratorFile() {
        writeDefinition("WEAK.HDS", [](DefinitionText& d) { d.Limit(LimMaxPoints) = "9"; });
        writeDefinition("MID.HDS", [](DefinitionText& d) {
            d.Limit(LimMinPoints) = "10";
            d.Limit(LimMaxPoints) = "14";
        });
        writeDefinition("BIG.HDS", [](DefinitionText& d) { d.Limit(LimMinPoints) = "15"; });
        dlg_->show();
        pick("N", 1, "WEAK");
        pick("N", 2, "MID");
        pick("N", 4, "BIG");
        check("LevelCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("30");
        dealAndWait();
        QVERIFY(prompts_->Errors.isEmpty());
        QCOMPARE(text("SharesLbl"), QString("Shared: North: WEAK 10, MID 10, BIG 10"));
        DgeFile file;
        QVERIFY(file.Open(hand(".DGE").toStdString(), nullptr));
        QCOMPARE(file.BoardCount(), 30u);
        for (std::uint64_t n = 1; n <= 30; ++n) {
            DisplayTable board;
            QCOMPARE(file.ReadBoard(n, board), DgeFile::Read::Ok);
            int hcp = 0;
            for (const auto& suit : board[North])
                for (char c : suit) hcp += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
            const int band = hcp <= 9 ? 0 : hcp <= 14 ? 1 : 2;
            QCOMPARE(band, static_cast<int>((n - 1) % 3));
        }
        const QString path = gens_ + "/Level.GEN";
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("SaveBtn"), Qt::LeftButton);
        QVERIFY(ReadAll(path).contains("\r\nShareEqually=1\r\n"));
        QTest::mouseClick(button("ClearBtn"), Qt::LeftButton);
        QVERIFY(!check("LevelCB")->isChecked());
        prompts_->FileAnswers << path;
        QTest::mouseClick(button("LoadBtn"), Qt::LeftButton);
        QVERIFY(check("LevelCB")->isChecked());
    }

    void stop_keepsTheBoardsDealtSoFarInBothFiles() {
        // Rare but possible: North 4-3-3-3 with 20 points or more.
        writeDefinition("RARE.HDS", [](DefinitionText& d) {
            d.YesShapes = {" 4333"};
            d.Limit(LimMinPoints) = "20";
        });
        WriteAll(hand(".DGE"), "an older run");
        dlg_->show();
        pick("N", 1, "RARE");
        child<QLineEdit>("NumberBoardsEB")->setText("100000000");
        dealUntilProgress();
        QTRY_VERIFY_WITH_TIMEOUT(acceptedSoFar() > 0, 60000);
        // Until the run ends the previous file stays where it was.
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray("an older run"));

        QSignalSpy finished(dlg_.get(), &GenerationDialog::dealFinished);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 60000);
        QCOMPARE(prompts_->Messages.size(), 1);
        const auto m = QRegularExpression("([\\d,]+) of 100,000,000 boards dealt").match(prompts_->Messages.first());
        QVERIFY2(m.hasMatch(), qPrintable(prompts_->Messages.first()));
        const qint64 dealt = m.captured(1).remove(',').toLongLong();
        // The bar and the count beside it say what the files hold.
        QCOMPARE(qint64(boardsShown()), dealt);
        QCOMPARE(child<QProgressBar>("ProgBar")->text(), LocaleNumber(dealt) + " of 100,000,000 boards");
        QVERIFY(dealt > 0);
        QCOMPARE(QFileInfo(hand(".DGE")).size(), dealt * 128);
        QCOMPARE(QFileInfo(hand(".BRI")).size(), dealt * 128);

        DgeFile file;
        std::string error;
        QVERIFY(file.Open(hand(".DGE").toStdString(), &error));
        for (std::uint64_t n = 1; n <= file.BoardCount(); ++n) {
            DisplayTable board;
            QCOMPARE(file.ReadBoard(n, board), DgeFile::Read::Ok);
            QVERIFY(HighCardPoints(board[North]) >= 20);
            std::array<std::uint8_t, 4> lengths{};
            for (int suit = 0; suit < 4; ++suit) lengths[suit] = static_cast<std::uint8_t>(board[North][suit].size());
            QCOMPARE(PatternOfLengths(lengths), std::string("4333"));
        }
    }

    // Stop ends a run with the analysis ticked within a second or two,
    // whether it is still dealing (a million boards from the secure source,
    // North and South both constrained) or already analysing; the boards
    // dealt are kept, with the analysis of those that had it, and the
    // message says how many.
    void stop_endsARunWithAnalysisAtOnceWhileDealingOrAnalysing() {
        writeDefinition("NT.HDS", [](DefinitionText& d) {
            d.Limit(LimMinPoints) = "15";
            d.Limit(LimMaxPoints) = "17";
            d.YesShapes = {" 4333", " 4432", " 5332"};
        });
        writeDefinition("SPADES.HDS", [](DefinitionText& d) {
            d.Limit(LimMinPoints) = "12";
            d.Limit(SuitLimitIndex(GroupLength, 0, false)) = "5";
        });
        dlg_->show();
        pick("N", 1, "NT");
        check("SAnyHandCB")->setChecked(false);
        pick("S", 1, "SPADES");
        check("SecureCB")->setChecked(true);
        check("DoubleDummyCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("1000000");
        dealUntilProgress();
        QVERIFY2(child<QProgressBar>("ProgBar")->text().startsWith("Dealt "),
                 qPrintable(child<QProgressBar>("ProgBar")->text()));
        QVERIFY2(stopAndTime() < 2000, "the run went on after Stop");
        QCOMPARE(prompts_->Messages.size(), 1);
        auto m = QRegularExpression("Stopped: ([\\d,]+) of 1,000,000 boards dealt").match(prompts_->Messages.first());
        QVERIFY2(m.hasMatch(), qPrintable(prompts_->Messages.first()));
        qint64 dealt = m.captured(1).remove(',').toLongLong();
        QVERIFY(dealt > 0 && dealt < 1000000);
        QCOMPARE(QFileInfo(hand(".DGE")).size(), dealt * 128);
        QCOMPARE(ReadAll(hand(".PBN")).count("[Board \""), dealt);
        QCOMPARE(ReadAll(hand(".PBN")).count("[DoubleDummyTricks \""),
                 static_cast<qsizetype>(analysedSaid(prompts_->Messages.first())));

        // Stopped while analysing: every board was dealt, the first ones analysed.
        check("SAnyHandCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("40");
        prompts_->Messages.clear();
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(child<QProgressBar>("ProgBar")->text().startsWith("Dealt 40 of 40 \u00b7 analysing "),
                                 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!child<QProgressBar>("ProgBar")->text().endsWith(" analysing 0 of 40"), 60000);
        QVERIFY2(stopAndTime() < 2000, "the analysis went on after Stop");
        QCOMPARE(prompts_->Messages.size(), 1);
        const std::uint64_t analysed = analysedSaid(prompts_->Messages.first());
        QVERIFY2(prompts_->Messages.first().contains("Stopped: 40 of 40 boards dealt") && analysed > 0 && analysed < 40,
                 qPrintable(prompts_->Messages.first()));
        QCOMPARE(QFileInfo(hand(".DGE")).size(), 40 * 128);
        QCOMPARE(ReadAll(hand(".PBN")).count("[Board \""), 40);
        QCOMPARE(ReadAll(hand(".PBN")).count("[DoubleDummyTricks \""), static_cast<qsizetype>(analysed));
    }

    // The estimate counts the analysis in when it is ticked, and only then.
    void odds_estimateIncludesTheAnalysisWhenTicked() {
        dlg_->show();
        child<QLineEdit>("NumberBoardsEB")->setText("16");
        QSignalSpy shown(dlg_.get(), &GenerationDialog::oddsShown);
        dlg_->UpdateOdds();
        QTRY_VERIFY_WITH_TIMEOUT(shown.count() >= 1, 20000);
        QVERIFY2(text("EstimateLbl").contains("16 boards in about ") && !text("EstimateLbl").contains("analysis"),
                 qPrintable(text("EstimateLbl")));
        const double dealing = secondsSaid(text("EstimateLbl"));
        check("DoubleDummyCB")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(text("EstimateLbl").endsWith(" with their analysis"), 60000);
        // Well over the dealing alone, which takes a moment for any hand.
        QVERIFY2(secondsSaid(text("EstimateLbl")) > 5 * dealing, qPrintable(text("EstimateLbl")));
    }

    // The time an estimate names ("... in about 4.2 s", "... 1.5 min").
    static double secondsSaid(const QString& estimate) {
        const QStringList words = estimate.section(QStringLiteral(" in about "), 1).split(QLatin1Char(' '));
        const double value = words.value(0).remove(QLatin1Char(',')).toDouble();
        const QString unit = words.value(1);
        return unit == QLatin1String("min") ? value * 60 : unit == QLatin1String("h") ? value * 3600 : value;
    }

    // Closing mid-analysis does not wait for the solver: the run ends at
    // once and its boards are kept.
    void closing_duringTheAnalysisReturnsAtOnceAndKeepsTheBoards() {
        dlg_->show();
        check("DoubleDummyCB")->setChecked(true);
        child<QLineEdit>("NumberBoardsEB")->setText("40");
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(child<QProgressBar>("ProgBar")->text().contains(" analysing "), 60000);
        QElapsedTimer clock;
        clock.start();
        dlg_->reject();
        QVERIFY2(clock.elapsed() < 2000, "closing waited for the analysis");
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(QFileInfo(hand(".DGE")).size(), 40 * 128);
        QCOMPARE(ReadAll(hand(".PBN")).count("[Board \""), 40);
        QVERIFY(prompts_->Messages.isEmpty());
    }

    void closing_duringARunStopsItFirst() {
        writeDefinition("NEVER.HDS", [](DefinitionText& d) { d.YesShapes = {" 13000"}; });
        WriteAll(hand(".DGE"), "older boards");
        WriteAll(hand(".BRI"), "older records");
        dlg_->show();
        pick("N", 1, "NEVER");
        child<QLineEdit>("NumberBoardsEB")->setText("2");
        dealUntilProgress();
        dlg_->reject();
        QVERIFY(!dlg_->IsDealing());
        QVERIFY(!dlg_->isVisible());
        // No board was dealt, so the previous set stays.
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray("older boards"));
        QCOMPARE(ReadAll(hand(".BRI")), QByteArray("older records"));
        QCOMPARE(combo("N", 1)->count(), 0);
        QVERIFY(prompts_->Messages.isEmpty());

        // Destroying the dialog mid-run waits for the worker as well.
        dlg_->show();
        pick("N", 1, "NEVER");
        dealUntilProgress();
        dlg_.reset();
        QCOMPARE(ReadAll(hand(".BRI")), QByteArray("older records"));
    }

    void deal_refusesBadCountsWithoutTouchingFiles_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "ten"
                                 << "'ten' is not a valid integer value";
        QTest::newRow("decimal") << "2.5"
                                 << "'2.5' is not a valid integer value";
        QTest::newRow("negative") << "-3"
                                  << "-3";
    }
    void deal_refusesBadCountsWithoutTouchingFiles() {
        QFETCH(QString, count);
        QFETCH(QString, message);
        dlg_->show();
        child<QLineEdit>("NumberBoardsEB")->setText(count);
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY2(prompts_->Errors.first().contains(message), qPrintable(prompts_->Errors.first()));
        QVERIFY(QDir(hands_).isEmpty());
        QCOMPARE(button("DealBtn")->text(), QString("Deal"));
    }

    void deal_refusedSetupIsOneMessageBeforeAnyFile_data() {
        QTest::addColumn<QString>("fileText");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("words");
        QTest::newRow("no shapes") << "[Hand]\r\nMinPoints=0\r\n"
                                   << QString() << "accepts no hand: no shape is accepted (the Yes list is empty)";
        QTest::newRow("limit not whole") << "[YesShapes]\r\nS1= 4333\r\n[Hand]\r\nMaxPoints=1x\r\n"
                                         << QString() << "'1x' is not a valid integer value";
        QString fourteen = "[YesShapes]\r\nS1= 4333\r\n[Cards]\r\n";
        for (const char* c : {"SA", "SK", "SQ", "SJ", "ST", "S9", "S8", "S7", "S6", "S5", "S4", "S3", "S2", "HA"})
            fourteen += QString(c) + "=1\r\n";
        QTest::newRow("fourteen cards") << fourteen << QString() << "14 must-have cards";
        QTest::newRow("shared seed card") << "[YesShapes]\r\nS1= 4333\r\nS2= 4432\r\n[Cards]\r\nHK=1\r\n"
                                          << "E"
                                          << "both require";
    }
    void deal_refusedSetupIsOneMessageBeforeAnyFile() {
        QFETCH(QString, fileText);
        QFETCH(QString, second);
        QFETCH(QString, words);
        WriteAll(defs_ + "/BAD.HDS", fileText.toLatin1());
        WriteAll(hand(".DGE"), "an older run");
        dlg_->show();
        pick("N", 1, "BAD");
        if (!second.isEmpty()) {
            check(second + "AnyHandCB")->setChecked(false);
            pick(second, 1, "BAD");
        }
        // Refused at Deal, or by the run as it starts: one message either way.
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->IsDealing() && !prompts_->Errors.isEmpty(), 60000);
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY2(prompts_->Errors.first().contains(words), qPrintable(prompts_->Errors.first()));
        QCOMPARE(QDir(hands_).entryList(QDir::Files), QStringList{"ZELV.DGE"});
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray("an older run"));
        QCOMPARE(button("DealBtn")->text(), QString("Deal"));
    }

    void deal_outputThatCannotBeCreatedIsReported() {
        dlg_->show();
        const QString missing = tmp_->path() + "/gone";
        settings_.value()->HandsFolder = missing.toStdString();
        dealAndWait();
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY2(prompts_->Errors.first().startsWith("Unable to write to " + missing + "/ZELV."),
                 qPrintable(prompts_->Errors.first()));
        QVERIFY(!QDir(missing).exists());
    }

    // Another run writing the same code (zelvano-deal in a terminal) keeps
    // Deal from touching its files: one message, and no file written.
    void deal_refusedWhileAnotherRunWritesTheCode() {
        dlg_->show();
        CodeLock other;
        QVERIFY(other.Acquire(hands_.toStdString(), "ZELV", nullptr));
        dealAndWait();
        QCOMPARE(prompts_->Errors, QStringList{QStringLiteral("ZELV is being written by another run (pid %1)")
                                                   .arg(QCoreApplication::applicationPid())});
        QCOMPARE(QDir(hands_).entryList(QDir::Files), QStringList{});
    }

    // Three parts built in the Session page, saved, loaded next week into a
    // fresh dialog and dealt into one set, the bar and the end naming parts.
    void session_savedLoadedAndDealtIntoOneSet() {
        writeDefinition("STRONG.HDS");
        dlg_->show();
        pick("N", 1, "STRONG");
        child<QLineEdit>("NumberBoardsEB")->setText("2");
        screenshot("setup.png");
        child<QTabWidget>("ViewTabs")->setCurrentIndex(1);
        prompts_->FileAnswers << gens_ + "/Openers.GEN";
        QTest::mouseClick(button("AddCurrentSetupBtn"), Qt::LeftButton);
        for (const QString& path : {writeGenerator("Twos.GEN", East, 3), writeGenerator("Any.GEN", South, 5)}) {
            prompts_->FileAnswers << path;
            QTest::mouseClick(button("AddGeneratorBtn"), Qt::LeftButton);
        }
        QCOMPARE(parts()->rowCount(), 3);
        partCount(2)->setValue(1);
        parts()->item(1, 0)->setText("weak twos");
        parts()->selectRow(2);
        QTest::mouseClick(button("PartUpBtn"), Qt::LeftButton); // Openers, Any, weak twos
        check("MixBoardsCB")->setChecked(true);
        check("DupCB")->setChecked(true);
        QCOMPARE(text("SessionTotalLbl"), QString("3 parts, 6 boards in all"));
        QTRY_VERIFY_WITH_TIMEOUT(!parts()->item(2, 3)->text().isEmpty(), 60000);
        screenshot("session.png");
        prompts_->FileAnswers << gens_ + "/Evening.SES";
        QTest::mouseClick(button("SaveSessionBtn"), Qt::LeftButton);
        QVERIFY2(prompts_->Errors.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        // The generator files beside the session file are named as such.
        QVERIFY(ReadAll(gens_ + "/Evening.SES").contains("Generator=Twos.GEN"));

        dlg_ = std::make_unique<GenerationDialog>();
        showSession();
        prompts_->FileAnswers << gens_ + "/Evening.SES";
        QTest::mouseClick(button("LoadSessionBtn"), Qt::LeftButton);
        QStringList names;
        for (int row = 0; row < parts()->rowCount(); ++row)
            names << parts()->item(row, 0)->text() + " " + QString::number(partCount(row)->value());
        QCOMPARE(names, QStringList({"Openers 2", "Any 1", "weak twos 3"}));
        QVERIFY(check("MixBoardsCB")->isChecked() && check("DupCB")->isChecked());

        QStringList bar;
        connect(child<QProgressBar>("ProgBar"), &QProgressBar::valueChanged, this,
                [&] { bar << child<QProgressBar>("ProgBar")->format(); });
        // Dealt the moment the estimate starts (its worker samples each part
        // for a twentieth of a second at least, so it is still at work).
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>("SessionOddsLbl")->text().startsWith("Session: 6 boards in"), 30000);
        QSignalSpy finished(dlg_.get(), &GenerationDialog::dealFinished);
        auto* estimate = child<QTimer>("SessionEstimateTimer");
        connect(
            estimate, &QTimer::timeout, this, [this] { QTest::mouseClick(button("DealBtn"), Qt::LeftButton); },
            Qt::SingleShotConnection);
        QTest::mouseClick(check("SecureCB"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 120000);
        QVERIFY2(prompts_->Errors.isEmpty(), qPrintable(prompts_->Errors.join('\n')));
        QCOMPARE(QFileInfo(hand(".DGE")).size(), qint64(6 * 128));
        QVERIFY(QFileInfo::exists(hand(".DUP")));
        QVERIFY2(!bar.filter(QRegularExpression("^Part [123] \\((Openers|Any|weak twos)\\) \u00b7 ")).isEmpty(),
                 qPrintable(bar.join(" | ")));
        QCOMPARE(prompts_->Messages.size(), 1);
        for (const char* name : {"Openers", "Any", "weak twos"})
            QVERIFY2(prompts_->Messages.first().contains(name), qPrintable(prompts_->Messages.first()));
        // The estimate the run cut short comes back once it is over.
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>("SessionOddsLbl")->text().startsWith("Session: 6 boards in"), 30000);
    }

    // A part names a generator file: an unsaved set-up is offered the Save
    // dialog first, and a cancel there adds nothing. A bad session file is
    // named and leaves the list as it was.
    void session_addCurrentSetupSavesFirstAndBadFilesAreNamed() {
        writeDefinition("STRONG.HDS");
        showSession();
        screenshot("session-empty.png");
        QTest::mouseClick(button("AddCurrentSetupBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->FileRequests.size(), 1);
        QCOMPARE(prompts_->FileRequests.last().Title, QString("Hand Generation File"));
        QCOMPARE(parts()->rowCount(), 0);
        prompts_->FileAnswers << gens_ + "/Kept.GEN";
        QTest::mouseClick(button("AddCurrentSetupBtn"), Qt::LeftButton);
        QCOMPARE(parts()->rowCount(), 1);
        QVERIFY(QFileInfo::exists(gens_ + "/Kept.GEN"));
        // Saved and unchanged: added again without asking; changed: asked again.
        QTest::mouseClick(button("AddCurrentSetupBtn"), Qt::LeftButton);
        QCOMPARE(parts()->rowCount(), 2);
        QCOMPARE(prompts_->FileRequests.size(), 2);
        check("SAnyHandCB")->setChecked(false);
        QTest::mouseClick(button("AddCurrentSetupBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->FileRequests.size(), 3);
        QCOMPARE(parts()->rowCount(), 2);

        WriteAll(gens_ + "/Bad.SES", "[Session]\nParts=1\n[Part1]\nGenerator=Gone.GEN\nBoards=4\n");
        prompts_->FileAnswers << gens_ + "/Bad.SES";
        QTest::mouseClick(button("LoadSessionBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY2(prompts_->Errors.first().contains("Bad.SES") && prompts_->Errors.first().contains("Gone.GEN"),
                 qPrintable(prompts_->Errors.first()));
        QCOMPARE(parts()->rowCount(), 2);
        QTest::mouseClick(child<QToolButton>("SessionHelpBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->HelpTopics, QList<int>{HelpTopic::Sessions});
    }

    // A part whose definition is gone, or that no hand can be dealt to, is
    // named before anything is asked or touched; the last set stays.
    void session_refusesABadPartBeforeAnyFileIsTouched() {
        writeDefinition("STRONG.HDS");
        writeDefinition("NEVER.HDS", [](DefinitionText& d) {
            d.Limit(LimMinPoints) = "25";
            d.Limit(LimMaxPoints) = "20";
        });
        WriteAll(hand(".DGE"), QByteArray(16 * 128, '\x06'));
        showSession();
        for (const QString& path : {writeGenerator("Fine.GEN", North, 2), writeGenerator("Never.GEN", West, 2)}) {
            prompts_->FileAnswers << path;
            QTest::mouseClick(button("AddGeneratorBtn"), Qt::LeftButton);
        }
        GeneratorSetup never;
        QVERIFY(ReadGeneratorFile((gens_ + "/Never.GEN").toStdString(), never, nullptr));
        never.Seats[West].Names[0] = "NEVER";
        QVERIFY(WriteGeneratorFile((gens_ + "/Never.GEN").toStdString(), never, nullptr));
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QVERIFY(!dlg_->IsDealing());
        QCOMPARE(prompts_->Errors.size(), 1);
        QVERIFY2(prompts_->Errors.last().startsWith("Part 2 (Never): ") && prompts_->Errors.last().contains("NEVER"),
                 qPrintable(prompts_->Errors.last()));

        QVERIFY(QFile::remove(defs_ + "/STRONG.HDS"));
        QTest::mouseClick(button("DealBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->Errors.size(), 2);
        QVERIFY2(prompts_->Errors.last().startsWith("Part 1 (Fine): ") && prompts_->Errors.last().contains("STRONG"),
                 qPrintable(prompts_->Errors.last()));
        QVERIFY(prompts_->Questions.isEmpty());
        QCOMPARE(ReadAll(hand(".DGE")), QByteArray(16 * 128, '\x06'));
        QVERIFY(!QFile::exists(hand(".BRI")));
    }

    void help_opensTopicThirty() {
        dlg_->show();
        QTest::mouseClick(button("HelpBtn"), Qt::LeftButton);
        QCOMPARE(prompts_->HelpTopics, QList<int>{30});
    }
};

QTEST_MAIN(HandGenTest)
#include "GenerationDialog_qtest.moc"
