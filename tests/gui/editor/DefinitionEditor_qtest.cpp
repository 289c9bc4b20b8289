// The hand definition editor driven as a user drives it: typing, leaving
// fields with Tab or the mouse, clicking headings and cards, Ctrl+A in the
// lists, and loading and saving real files in a temporary folder.
#include "core/settings/Settings.h"
#include "gui/editor/DefinitionEditor.h"
#include "support/DesignTable.h"
#include "support/ScopedSettings.h"
#include "support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace zelv;

namespace {

// The full catalogue in display order, as the user sees it on opening.
const QStringList DisplayOrder = {" 4333", " 4432", " 4441", " 5332", " 5422", " 5431", " 5440", " 5521",
                                  " 5530", " 6322", " 6331", " 6421", " 6430", " 6511", " 6520", " 6610",
                                  " 7222", " 7321", " 7330", " 7411", " 7420", " 7510", " 7600", " 8221",
                                  " 8311", " 8320", " 8410", " 8500", " 9211", " 9220", " 9310", " 9400",
                                  "10111", "10210", "10300", "11110", "11200", "12100", "13000"};

QStringList Items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QString Text(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

void WriteText(const QString& path, const QString& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toLatin1());
}

// The editor as it opens: captions, hints and the texts of the fields.
const test::Designed EditorOnOpening[] = {
    {"YesShapeLB", nullptr, "Ctrl A - Select All"},
    {"NoShapeLB", nullptr, "Ctrl A - Select All"},
    {"YtoNBtn", nullptr, "Move to No List"},
    {"NtoYBtn", nullptr, "Move to Yes List"},
    {"AKLabel", "AK Controls", "A=2; K=1"},
    {"AKQLabel", "AKQ Controls", "A=3; K=2; Q=1"},
    {"MinPts", "0", "Minimum Points in Hand"},
    {"MaxPts", "34", "Maximum Points in Hand"},
    {"MinAK", "0", "Min AK (21) Controls"},
    {"MaxAK", "12", "Max AK (21) Controls"},
    {"MinAKQ", "0", "Min AKQ (321) Controls"},
    {"MaxAKQ", "24", "Max AKQ (321) Controls"},
    {"AKCB", "AK Controls "},
    {"Hon3CB", "3 Honours "},
    {"MinSLen", "0", "Min Length of Spade Suit"},
    {"MaxSLen", "13", "Maximium Length of Spade Suit"},
    {"MinCLen", "0", "Min Length of Club Suit"},
    {"MinHPts", "0", "Min Points in Suit"},
    {"MaxHPts", "10", "Maximum Points in Suit"},
    {"H3Label", "Honours (3)", "Click here to Enable Honours(3)"},
    {"MinTop3D", "0", "Min No. of Top 3 Honours"},
    {"MaxTop3D", "3", "Max No. of Top 3 Honours"},
    {"H5Label", "Honours (5)", "Click Here to Enable Honours(5)"},
    {"MinTop5C", "0", "Min Number of Top 5 Honours"},
    {"MaxTop5C", "5", "Max No. of Top 5 Honours"},
    {"MHPanel", nullptr, "Chose Compulsory Cards"},
    {"ClearBtn", "Clear &All", "Set ALL fields to Default Values"},
    {"SaveBtn", "&Save", "Save To a File"},
    {"LoadBtn", "&Load ", "Load a File"},
    {"HelpBtn", "Help"},
    {"CancelBtn", "&Close"},
};

} // namespace

class HandDefnTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    // Every test works in the working folders of the temporary folder.
    ScopedSettings settings{dir.path().toStdString()};
    ScriptedPrompts* prompts = nullptr;
    DefinitionEditor* dlg = nullptr;

    template <class T> T* w(const char* name) {
        T* widget = dlg->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QLineEdit* edit(const char* name) { return w<QLineEdit>(name); }
    QString text(const char* name) { return edit(name)->text(); }
    QListWidget* yes() { return w<QListWidget>("YesShapeLB"); }
    QListWidget* no() { return w<QListWidget>("NoShapeLB"); }

    void open() {
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
    }
    // Clicks into the field, erases it and types `typed`.
    void type(const char* name, const QString& typed) {
        QLineEdit* e = edit(name);
        QTest::mouseClick(e, Qt::LeftButton);
        QTRY_VERIFY(e->hasFocus());
        QTest::keyClick(e, Qt::Key_End);
        for (int i = 0; i < 4; ++i) QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, typed);
    }
    // Types and leaves the field with Tab.
    void enter(const char* name, const QString& typed) {
        type(name, typed);
        QTest::keyClick(edit(name), Qt::Key_Tab);
        QVERIFY(!edit(name)->hasFocus());
    }
    void selectShapes(QListWidget* list, const QStringList& shapes) {
        list->clearSelection();
        for (int i = 0; i < list->count(); ++i)
            if (shapes.contains(list->item(i)->text())) {
                QRect r = list->visualItemRect(list->item(i));
                if (!r.isValid() || !list->viewport()->rect().contains(r.center())) {
                    list->scrollToItem(list->item(i));
                    r = list->visualItemRect(list->item(i));
                }
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
            }
    }
    void ctrlA(QListWidget* list) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    }
    QStringList lengths() {
        QStringList out;
        for (const char* s : {"S", "H", "D", "C"})
            out << text(QByteArray("Min").append(s).append("Len").constData())
                << text(QByteArray("Max").append(s).append("Len").constData());
        return out;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath("Hand Definitions"));
    }
    void init() {
        prompts = new ScriptedPrompts;
        dlg = new DefinitionEditor;
        open();
    }
    void cleanup() {
        delete dlg;
        delete prompts;
    }

    void opening_showsTheDefaults() {
        ZELV_VERIFY_DESIGN(dlg, EditorOnOpening);
        QCOMPARE(Items(yes()), DisplayOrder);
        QCOMPARE(no()->count(), 0);
        QCOMPARE(lengths(), QStringList({"0", "13", "0", "13", "0", "13", "0", "13"}));
        QVERIFY(edit("MinAK")->isEnabled() && edit("MaxAK")->isEnabled());
        QVERIFY(!edit("MinAKQ")->isEnabled() && !edit("MaxAKQ")->isEnabled());
        for (const char* s : {"S", "H", "D", "C"}) {
            const QByteArray x(s);
            QCOMPARE(text("Min" + x + "Pts"), QString("0"));
            QCOMPARE(text("Max" + x + "Pts"), QString("10"));
            QCOMPARE(text("MinTop3" + x), QString("0"));
            QCOMPARE(text("MaxTop3" + x), QString("3"));
            QCOMPARE(text("MinTop5" + x), QString("0"));
            QCOMPARE(text("MaxTop5" + x), QString("5"));
            QVERIFY(edit("MaxTop3" + x)->isEnabled());
            QVERIFY(!edit("MinTop5" + x)->isEnabled());
        }
        QVERIFY(w<QCheckBox>("AKCB")->isChecked());
        QVERIFY(w<QCheckBox>("Hon3CB")->isChecked());
        QVERIFY(w<QLabel>("AKLabel")->font().bold());
        QVERIFY(!w<QLabel>("AKQLabel")->font().bold());
        QVERIFY(w<QLabel>("H3Label")->font().bold());
        QVERIFY(!w<QLabel>("H5Label")->font().bold());
        QCOMPARE(dlg->findChildren<QCheckBox*>().size(), 54);
        for (const char* card : {"SA", "H7", "D2", "CT"}) QVERIFY(!w<QCheckBox>(card)->isChecked());
        QCOMPARE(dlg->windowTitle(), QString("Zelvano Hand Definition"));
        QVERIFY(yes()->hasFocus());
        QVERIFY(dlg->width() >= 615 && dlg->height() >= 460);
    }

    void headings_switchGroupsWithoutTouchingValues() {
        enter("MaxAK", "9");
        QTest::mouseClick(w<QLabel>("AKQLabel"), Qt::LeftButton);
        QVERIFY(!w<QCheckBox>("AKCB")->isChecked());
        QVERIFY(edit("MinAKQ")->isEnabled() && edit("MaxAKQ")->isEnabled());
        QVERIFY(!edit("MinAK")->isEnabled() && !edit("MaxAK")->isEnabled());
        QVERIFY(w<QLabel>("AKQLabel")->font().bold() && !w<QLabel>("AKLabel")->font().bold());
        QCOMPARE(text("MaxAK"), QString("9"));
        QCOMPARE(text("MaxAKQ"), QString("24"));
        QTest::mouseClick(w<QLabel>("AKLabel"), Qt::LeftButton);
        QVERIFY(w<QCheckBox>("AKCB")->isChecked());
        QVERIFY(edit("MaxAK")->isEnabled() && !edit("MaxAKQ")->isEnabled());

        QTest::mouseClick(w<QLabel>("H5Label"), Qt::LeftButton);
        QVERIFY(!w<QCheckBox>("Hon3CB")->isChecked());
        QVERIFY(edit("MaxTop5D")->isEnabled() && !edit("MaxTop3D")->isEnabled());
        QTest::mouseClick(w<QCheckBox>("Hon3CB"), Qt::LeftButton);
        QVERIFY(w<QCheckBox>("Hon3CB")->isChecked());
        QVERIFY(!edit("MaxTop5D")->isEnabled() && edit("MaxTop3D")->isEnabled());
        QVERIFY(w<QLabel>("H3Label")->font().bold());
    }

    void leavingAField_appliesItsRule_data() {
        QTest::addColumn<QString>("setupField");
        QTest::addColumn<QString>("setupValue");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("MaxAK above 12") << ""
                                        << ""
                                        << "MaxAK"
                                        << "40"
                                        << "12";
        QTest::newRow("MaxAK below MinAK") << "MinAK"
                                           << "7"
                                           << "MaxAK"
                                           << "5"
                                           << "12";
        QTest::newRow("MaxAK in range") << ""
                                        << ""
                                        << "MaxAK"
                                        << "8"
                                        << "8";
        QTest::newRow("MinAK above MaxAK") << ""
                                           << ""
                                           << "MinAK"
                                           << "13"
                                           << "0";
        QTest::newRow("MinAK empty") << ""
                                     << ""
                                     << "MinAK"
                                     << ""
                                     << "0";
        QTest::newRow("MinPts above MaxPts") << "MaxPts"
                                             << "15"
                                             << "MinPts"
                                             << "20"
                                             << "0";
        QTest::newRow("MinPts in range") << "MaxPts"
                                         << "15"
                                         << "MinPts"
                                         << "12"
                                         << "12";
        QTest::newRow("MinPts empty") << ""
                                      << ""
                                      << "MinPts"
                                      << ""
                                      << "0";
        QTest::newRow("MaxPts below MinPts") << "MinPts"
                                             << "12"
                                             << "MaxPts"
                                             << "11"
                                             << "34";
        QTest::newRow("MaxPts empty") << ""
                                      << ""
                                      << "MaxPts"
                                      << ""
                                      << "34";
        QTest::newRow("MaxSPts above 10") << ""
                                          << ""
                                          << "MaxSPts"
                                          << "11"
                                          << "10";
        QTest::newRow("MaxTop3H above 3") << ""
                                          << ""
                                          << "MaxTop3H"
                                          << "4"
                                          << "3";
        QTest::newRow("MinDPts empty") << ""
                                       << ""
                                       << "MinDPts"
                                       << ""
                                       << "0";
        QTest::newRow("MinTop3C empty") << ""
                                        << ""
                                        << "MinTop3C"
                                        << ""
                                        << "0";
        QTest::newRow("MinSLen empty") << ""
                                       << ""
                                       << "MinSLen"
                                       << ""
                                       << "0";
        QTest::newRow("MaxHLen above 13") << ""
                                          << ""
                                          << "MaxHLen"
                                          << "14"
                                          << "13";
        QTest::newRow("MaxHLen empty") << ""
                                       << ""
                                       << "MaxHLen"
                                       << ""
                                       << "13";
        QTest::newRow("suit minimum above its maximum is left") << ""
                                                                << ""
                                                                << "MinCPts"
                                                                << "9"
                                                                << "9";
    }
    void leavingAField_appliesItsRule() {
        QFETCH(QString, setupField);
        QFETCH(QString, setupValue);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        if (!setupField.isEmpty()) enter(setupField.toLatin1().constData(), setupValue);
        enter(field.toLatin1().constData(), typed);
        QCOMPARE(text(field.toLatin1().constData()), expected);
        QVERIFY(prompts->Errors.isEmpty());
    }

    void disabledGroupRules_applyWhenSwitchedOn() {
        QTest::mouseClick(w<QLabel>("AKQLabel"), Qt::LeftButton);
        enter("MaxAKQ", "30");
        QCOMPARE(text("MaxAKQ"), QString("24"));
        enter("MinAKQ", "9");
        enter("MaxAKQ", "8");
        QCOMPARE(text("MaxAKQ"), QString("24"));
        QTest::mouseClick(w<QLabel>("H5Label"), Qt::LeftButton);
        enter("MaxTop5H", "6");
        QCOMPARE(text("MaxTop5H"), QString("5"));
    }

    void leavingByMouse_appliesTheRuleOnce() {
        type("MaxSPts", "12");
        QTest::mouseClick(w<QCheckBox>("SA"), Qt::LeftButton);
        QCOMPARE(text("MaxSPts"), QString("10"));
        type("MinHPts", "1.");
        QTest::mouseClick(yes()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(prompts->Errors, QStringList({"'1.' is not a valid integer value"}));
        QCOMPARE(text("MinHPts"), QString("1."));
    }

    void conversionErrors_nameTheText() {
        enter("MinSPts", "1.");
        QCOMPARE(prompts->Errors, QStringList({"'1.' is not a valid integer value"}));
        QCOMPARE(text("MinSPts"), QString("1."));
        enter("MaxDPts", "");
        QCOMPARE(prompts->Errors.size(), 2);
        QCOMPARE(prompts->Errors.last(), QString("'' is not a valid integer value"));
        QCOMPARE(text("MaxDPts"), QString(""));
        // A compared field holding such text stops its neighbour's rule.
        enter("MaxPts", "3:");
        QCOMPARE(prompts->Errors.last(), QString("'3:' is not a valid integer value"));
        const int before = prompts->Errors.size();
        enter("MinPts", "5");
        QCOMPARE(prompts->Errors.size(), before + 1);
        QCOMPARE(prompts->Errors.last(), QString("'3:' is not a valid integer value"));
        QCOMPARE(text("MinPts"), QString("5"));
    }

    void leavingMaxPts_resetsTheSuitMaxima() {
        enter("MaxSPts", "4");
        enter("MaxPts", "8");
        QCOMPARE(text("MaxSPts"), QString("10"));
        QCOMPARE(text("MaxHPts"), QString("8"));
        QCOMPARE(text("MaxDPts"), QString("8"));
        QCOMPARE(text("MaxCPts"), QString("8"));
        enter("MaxPts", "34");
        for (const char* f : {"MaxSPts", "MaxHPts", "MaxDPts", "MaxCPts"}) QCOMPARE(text(f), QString("10"));
    }

    void typing_acceptsOnlyDigitsStopsAndColons() {
        type("MinPts", "");
        QTest::keyClicks(edit("MinPts"), "a");
        QCOMPARE(prompts->Beeps, 1);
        QCOMPARE(text("MinPts"), QString(""));
        QTest::keyClicks(edit("MinPts"), "1-");
        QCOMPARE(prompts->Beeps, 2);
        QCOMPARE(text("MinPts"), QString("1"));
        QTest::keyClicks(edit("MinPts"), ":");
        QCOMPARE(text("MinPts"), QString("1:"));
        // Two characters at most; the third is dropped without a beep.
        QTest::keyClicks(edit("MinPts"), "7");
        QCOMPARE(text("MinPts"), QString("1:"));
        QCOMPARE(prompts->Beeps, 2);
        // Arrows and Delete are keys, not characters.
        QTest::keyClick(edit("MinPts"), Qt::Key_Left);
        QTest::keyClick(edit("MinPts"), Qt::Key_Delete);
        QCOMPARE(text("MinPts"), QString("1"));
        QCOMPARE(prompts->Beeps, 2);
        // On X11 a real Delete carries the text U+007F; it still deletes.
        edit("MinPts")->setText("12");
        edit("MinPts")->setCursorPosition(0);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
        QApplication::sendEvent(edit("MinPts"), &press);
        QCOMPARE(text("MinPts"), QString("2"));
        QCOMPARE(prompts->Beeps, 2);
    }

    void fields_clickSelectsAndTheEditingKeysWork() {
        // Clicking into "0" and typing 15 gives 15, not 10 or 150.
        QLineEdit* min = edit("MinPts");
        edit("MaxPts")->setFocus();
        QCOMPARE(min->text(), QString("0"));
        QTest::mouseClick(min, Qt::LeftButton, Qt::NoModifier, QPoint(2, min->height() / 2));
        QVERIFY(min->hasFocus());
        QCOMPARE(min->selectedText(), QString("0"));
        QTest::keyClicks(min, "15");
        QCOMPARE(min->text(), QString("15"));
        // A second click in the same field places the cursor as usual.
        QTest::mouseClick(min, Qt::LeftButton, Qt::NoModifier, QPoint(min->width() - 4, min->height() / 2));
        QVERIFY(min->selectedText().isEmpty());

        // Select all, copy, cut and undo work and do not beep.
        QTest::keyClick(min, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(min->selectedText(), QString("15"));
        QTest::keyClick(min, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("15"));
        QTest::keyClick(min, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(min->text(), QString(""));
        QTest::keyClick(min, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(min->text(), QString("15"));
        QCOMPARE(prompts->Beeps, 0);

        // Pasting digits works; anything else is refused with a beep.
        QGuiApplication::clipboard()->setText("7");
        QTest::keyClick(min, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(min, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(min->text(), QString("7"));
        QCOMPARE(prompts->Beeps, 0);
        QGuiApplication::clipboard()->setText("1x");
        QTest::keyClick(min, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(min, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(min->text(), QString("7"));
        QCOMPARE(prompts->Beeps, 1);
    }

    void moves_setTheLengthLimits() {
        ctrlA(yes());
        QCOMPARE(yes()->selectedItems().size(), 39);
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        QCOMPARE(yes()->count(), 0);
        QCOMPARE(Items(no()), DisplayOrder);
        QCOMPARE(lengths(), QStringList({"0", "13", "0", "13", "0", "13", "0", "13"}));
        selectShapes(no(), {" 5332", " 5431"});
        QTest::mouseClick(w<QPushButton>("NtoYBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList({" 5332", " 5431"}));
        QCOMPARE(no()->count(), 37);
        QCOMPARE(lengths(), QStringList({"1", "5", "1", "5", "1", "5", "1", "5"}));
        enter("MinSLen", "0");
        QCOMPARE(text("MinSLen"), QString("1"));
        enter("MaxSLen", "6");
        QCOMPARE(text("MaxSLen"), QString("5"));
        enter("MaxHLen", "4");
        QCOMPARE(text("MaxHLen"), QString("4"));
        // Moving " 4333" and " 4432" across as well: limits 1 and 5 still.
        selectShapes(no(), {" 4333", " 4432"});
        QTest::mouseClick(w<QPushButton>("NtoYBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList({" 4333", " 4432", " 5332", " 5431"}));
        QCOMPARE(lengths(), QStringList({"1", "5", "1", "5", "1", "5", "1", "5"}));
        // The two lists always share out the whole catalogue, each in order.
        QStringList all = Items(yes()) + Items(no());
        std::sort(all.begin(), all.end());
        QCOMPARE(all, DisplayOrder);
        QStringList n = Items(no());
        QVERIFY(std::is_sorted(n.begin(), n.end()));
    }

    void moves_keepOnlyTheBalancedShapes() {
        selectShapes(yes(), DisplayOrder.mid(2));
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList({" 4333", " 4432"}));
        QCOMPARE(lengths(), QStringList({"2", "4", "2", "4", "2", "4", "2", "4"}));
        // Double-click moves the selection, here " 4333" alone.
        selectShapes(yes(), {" 4333"});
        const QRect r = yes()->visualItemRect(yes()->item(0));
        QTest::mouseDClick(yes()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        QCOMPARE(Items(yes()), QStringList({" 4432"}));
        QCOMPARE(lengths(), QStringList({"2", "4", "2", "4", "2", "4", "2", "4"}));
        QVERIFY(no()->findItems(" 4333", Qt::MatchExactly).size() == 1);
    }

    void moves_withNothingSelected_refuse() {
        yes()->clearSelection();
        enter("MinSLen", "2");
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        QCOMPARE(prompts->Errors, QStringList({"No Shapes or None Selected."}));
        QCOMPARE(prompts->Beeps, 1);
        QCOMPARE(yes()->count(), 39);
        QCOMPARE(text("MinSLen"), QString("2"));
        QTest::mouseClick(w<QPushButton>("NtoYBtn"), Qt::LeftButton);
        QCOMPARE(prompts->Errors.size(), 2);
        QCOMPARE(prompts->Beeps, 2);
    }

    // Ctrl+A on an empty list beeps; the other keys move and select as in
    // any list of the desktop, and Shift+click after scrolling extends.
    void lists_ctrlAOnAnEmptyListBeepsAndTheKeysSelectAsEverywhere() {
        no()->setFocus();
        QTest::keyClick(no(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(prompts->Beeps, 1);
        QVERIFY(prompts->Errors.isEmpty());
        selectShapes(yes(), {" 4441"});
        yes()->setFocus();
        QTest::keyClick(yes(), Qt::Key_Down);
        QCOMPARE(yes()->currentItem()->text(), QString(" 5332"));
        QTest::keyClick(yes(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Items(yes()).mid(3, 2), QStringList({" 5332", " 5422"}));
        QCOMPARE(yes()->selectedItems().size(), 2);
        QTest::keyClick(yes(), Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(yes()->selectedItems().size(), 39 - 3);
        QVERIFY(yes()->indexAt(QPoint(3, 3)).row() > 0);
        // From the first shape, Shift+click on one scrolled into view.
        QTest::keyClick(yes(), Qt::Key_Home);
        yes()->scrollToBottom();
        const QRect last = yes()->visualItemRect(yes()->item(38));
        QTest::mouseClick(yes()->viewport(), Qt::LeftButton, Qt::ShiftModifier, last.center());
        QCOMPARE(yes()->selectedItems().size(), 39);
        // Tab still moves on from a list.
        QTest::keyClick(yes(), Qt::Key_Tab);
        QVERIFY(no()->hasFocus());
    }

    // One press each for the shape sets asked for most; the length fields
    // follow as after a move.
    void shapes_balancedAndSemiBalancedInOnePress() {
        selectShapes(yes(), {" 7222"});
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        QTest::mouseClick(w<QPushButton>("BalancedBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList({" 4333", " 4432", " 5332"}));
        QCOMPARE(no()->count(), 36);
        QCOMPARE(text("MinSLen"), QString("2"));
        QCOMPARE(text("MaxSLen"), QString("5"));
        QTest::mouseClick(w<QPushButton>("SemiBalancedBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList({" 4333", " 4432", " 5332", " 5422", " 6322"}));
        QCOMPARE(no()->count(), 34);
        QCOMPARE(text("MaxSLen"), QString("6"));
    }

    void cards_thirteenAtMost() {
        const QStringList thirteen = {"SA", "SK", "SQ", "SJ", "ST", "HA", "HK", "HQ", "DA", "DK", "CA", "CK", "C2"};
        for (const QString& c : thirteen) QTest::mouseClick(w<QCheckBox>(c.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(prompts->Beeps, 0);
        QTest::mouseClick(w<QCheckBox>("D7"), Qt::LeftButton);
        QCOMPARE(prompts->Beeps, 1);
        QVERIFY(!w<QCheckBox>("D7")->isChecked());
        QTest::mouseClick(w<QCheckBox>("SK"), Qt::LeftButton);
        QVERIFY(!w<QCheckBox>("SK")->isChecked());
        QTest::mouseClick(w<QCheckBox>("D7"), Qt::LeftButton);
        QVERIFY(w<QCheckBox>("D7")->isChecked());
        QCOMPARE(prompts->Beeps, 1);
        QVERIFY(dlg->Definition().CardCount() == 13);
    }

    void keyboardOrder_followsTheLayoutOfTheForm() {
        yes()->setFocus();
        QStringList seen;
        for (int i = 0; i < 14; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget()->objectName();
        }
        // MinAKQ and MaxAKQ are disabled and skipped.
        QCOMPARE(seen, QStringList({"NoShapeLB", "YtoNBtn", "NtoYBtn", "MinPts", "MaxPts", "MinAK", "MaxAK", "AKCB",
                                    "Hon3CB", "MinSLen", "MaxSLen", "MinHLen", "MaxHLen", "MinDLen"}));
        w<QCheckBox>("C2")->setFocus();
        QStringList tail;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            tail << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(tail, QStringList({"ClearBtn", "SaveBtn", "LoadBtn", "CancelBtn", "HelpBtn"}));
    }

    void saveAndLoad_roundTrip() {
        const QString path = dir.filePath("Hand Definitions/STRONG.HDS");
        selectShapes(yes(), {" 4333", " 7222", "13000"});
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        enter("MinPts", "20");
        enter("MaxSPts", "9");
        QTest::mouseClick(w<QLabel>("AKQLabel"), Qt::LeftButton);
        enter("MinAKQ", "6");
        QTest::mouseClick(w<QLabel>("H5Label"), Qt::LeftButton);
        enter("MinTop5H", "2");
        for (const char* c : {"SA", "HK", "C2"}) QTest::mouseClick(w<QCheckBox>(c), Qt::LeftButton);
        const DefinitionText before = dlg->Definition();

        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("SaveBtn"), Qt::LeftButton);
        QVERIFY(prompts->Errors.isEmpty());
        const FileDialogOptions& o = prompts->FileRequests.last();
        QCOMPARE(o.Title, QString("Hand Definiton File"));
        QCOMPARE(o.Folder, dir.filePath("Hand Definitions"));
        QCOMPARE(o.DefaultSuffix, QString("HDS"));
        QVERIFY(o.Filter.contains("*.HDS"));
        QVERIFY(o.OverwritePrompt);
        QCOMPARE(dlg->windowTitle(), QString("Zelvano Hand Definition"));

        const QString file = Text(path);
        QVERIFY(file.contains("[NoShapes]\r\nN0= 4333\r\nN1= 7222\r\nN2=13000\r\n"));
        QVERIFY(file.contains("MinPoints=20\r\n"));
        QVERIFY(file.contains("MaxSPoints=9\r\n"));
        QVERIFY(file.contains("MinAKQ=6\r\n"));
        QVERIFY(file.contains("MinTop5H=2\r\n"));
        QVERIFY(file.contains("SA=1\r\n") && file.contains("HK=1\r\n") && file.contains("C2=1\r\n"));
        QVERIFY(file.contains("AKControls=0\r\nHon3=0\r\n"));

        QTest::mouseClick(w<QPushButton>("ClearBtn"), Qt::LeftButton);
        QCOMPARE(dlg->windowTitle(), QString("Zelvano Hand Definition."));
        QCOMPARE(yes()->count(), 39);
        QVERIFY(!w<QCheckBox>("SA")->isChecked());

        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("LoadBtn"), Qt::LeftButton);
        QCOMPARE(dlg->windowTitle(), QString("Zelvano Hand Definition - STRONG.HDS"));
        QCOMPARE(Items(no()), QStringList({" 4333", " 7222", "13000"}));
        QCOMPARE(yes()->count(), 36);
        QCOMPARE(yes()->item(0)->text(), QString(" 4432"));
        QCOMPARE(text("MinPts"), QString("20"));
        QCOMPARE(text("MinAKQ"), QString("6"));
        QVERIFY(edit("MinAKQ")->isEnabled() && !edit("MinAK")->isEnabled());
        QVERIFY(edit("MinTop5H")->isEnabled() && !edit("MinTop3H")->isEnabled());
        QVERIFY(w<QCheckBox>("SA")->isChecked() && w<QCheckBox>("HK")->isChecked());
        const DefinitionText after = dlg->Definition();
        QVERIFY(after.YesShapes == before.YesShapes && after.NoShapes == before.NoShapes);
        QVERIFY(after.Limits == before.Limits && after.Cards == before.Cards);

        // Save proposes the name last loaded.
        prompts->FileAnswers << "";
        QTest::mouseClick(w<QPushButton>("SaveBtn"), Qt::LeftButton);
        QCOMPARE(prompts->FileRequests.last().InitialName, path);

        // Closing and reopening: defaults again, the caption as last set.
        dlg->reject();
        open();
        QCOMPARE(dlg->windowTitle(), QString("Zelvano Hand Definition - STRONG.HDS"));
        QCOMPARE(yes()->count(), 39);
        QCOMPARE(text("MinPts"), QString("0"));
        QVERIFY(!w<QCheckBox>("SA")->isChecked());
    }

    void save_defaultDefinitionAndNoStaleKeys() {
        const QString path = dir.filePath("Hand Definitions/ANY.HDS");
        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("SaveBtn"), Qt::LeftButton);
        QString file = Text(path);
        QVERIFY(file.startsWith("[YesShapes]\r\nY0= 4333\r\nY1= 4432\r\n"));
        QVERIFY(file.contains("Y38=13000\r\n"));
        QVERIFY(!file.contains("[NoShapes]"));
        QVERIFY(file.contains("MaxSLength=13\r\n"));
        QVERIFY(file.contains("AKControls=1\r\nHon3=1\r\n"));

        selectShapes(yes(), DisplayOrder.mid(1));
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("SaveBtn"), Qt::LeftButton);
        file = Text(path);
        QVERIFY(file.contains("Y0= 4333\r\n"));
        QVERIFY(!file.contains("Y1="));
        QVERIFY(file.contains("N37=13000\r\n"));
        QVERIFY(file.contains("MinSLength=3\r\nMaxSLength=4\r\n"));
    }

    void save_failureIsReported() {
        const QString path = dir.filePath("No Such Folder/X.HDS");
        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("SaveBtn"), Qt::LeftButton);
        QCOMPARE(prompts->Errors, QStringList({"Unable to write to " + path + " (No such file or directory)"}));
        QVERIFY(!QFile::exists(path));
    }

    void load_cancelChangesNothing() {
        enter("MinPts", "7");
        prompts->FileAnswers << "";
        QTest::mouseClick(w<QPushButton>("LoadBtn"), Qt::LeftButton);
        QCOMPARE(text("MinPts"), QString("7"));
        QCOMPARE(dlg->windowTitle(), QString("Zelvano Hand Definition"));
    }

    void load_fourteenCardsTakesThirteenAndBeepsOnce() {
        // The file's first thirteen in reading order (SA, HA, SK, HK, ...)
        // are taken whatever the editor held before.
        for (const char* c : {"C9", "C8", "C7", "C6", "C5", "C4", "C3", "C2", "D9", "D8", "D7", "D6", "D5"})
            QTest::mouseClick(w<QCheckBox>(c), Qt::LeftButton);
        QString cards = "[Cards]\r\n";
        for (const char* c : {"SA", "HA", "SK", "HK", "SQ", "HQ", "SJ", "HJ", "ST", "HT", "S9", "H9", "S8", "H8"})
            cards += QString(c) + "=1\r\n";
        const QString path = dir.filePath("Hand Definitions/MANY.HDS");
        WriteText(path, cards);
        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("LoadBtn"), Qt::LeftButton);
        QCOMPARE(prompts->Beeps, 1);
        QVERIFY(w<QCheckBox>("S8")->isChecked());
        QVERIFY(!w<QCheckBox>("H8")->isChecked());
        QVERIFY(!w<QCheckBox>("C9")->isChecked());
        QCOMPARE(dlg->Definition().CardCount(), 13);
    }

    void load_missingKeysGiveDefaultsAndLongTextsAreKept() {
        const QString path = dir.filePath("Hand Definitions/SPARSE.HDS");
        WriteText(path, "[YesShapes]\r\nY0=5332\r\nY1= 4333\r\n[Hand]\r\nMaxPoints=100\r\n[Cards]\r\nSA=2\r\nSK=x\r\n");
        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("LoadBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList({" 4333", " 5332"}));
        QCOMPARE(no()->count(), 0);
        QCOMPARE(text("MaxPts"), QString("100"));
        QCOMPARE(text("MaxSLen"), QString("10"));
        QCOMPARE(text("MinSLen"), QString("0"));
        QVERIFY(w<QCheckBox>("AKCB")->isChecked() && w<QCheckBox>("Hon3CB")->isChecked());
        QVERIFY(w<QCheckBox>("SA")->isChecked());
        QVERIFY(!w<QCheckBox>("SK")->isChecked());
        // The limits come from the Yes list just read: 2 and 5.
        QCOMPARE(dlg->MinLengthLimit(), QString("2"));
        QCOMPARE(dlg->MaxLengthLimit(), QString("5"));
        enter("MaxSLen", "");
        QCOMPARE(text("MaxSLen"), QString("5"));
        QVERIFY(prompts->Messages.isEmpty());
    }

    // A number outside 0 to 255, which deals as its low 8 bits, and a Yes
    // entry that is no pattern are said when the file is loaded; the field
    // keeps the file's text, and the line below quotes it.
    void load_numbersOutsideAByteAndEntriesThatAreNoPatternAreSaid() {
        const QString path = dir.filePath("Hand Definitions/ODD.HDS");
        WriteText(path, "[YesShapes]\r\nY0= 4333\r\nY1=abcd\r\n[Hand]\r\nMinPoints=-5\r\n");
        prompts->FileAnswers << path;
        QTest::mouseClick(w<QPushButton>("LoadBtn"), Qt::LeftButton);
        QCOMPARE(prompts->Messages, QStringList{"Zelvano Hand Definition - ODD.HDS: MinPoints=-5 in ODD.HDS is read "
                                                "as 251\nY1=abcd in ODD.HDS is not a hand pattern (such as 4432 or "
                                                "5332) and is passed over"});
        QCOMPARE(text("MinPts"), QString("-5"));
        QTRY_COMPARE(w<QLabel>("OddsLbl")->text(), QString("Accepts no hand: Minimum points 251 (read from "
                                                           "MinPoints=-5) is above the maximum 34"));
    }

    // The line below the fields follows each change a moment later: the
    // share of 4-4-4-1 hands, 4 x C(13,4)^3 x 13 of all, and a reason when
    // the must-have cards break a suit limit.
    void oddsLine_followsEachChangeWithTheShareOrTheReason() {
        QLabel* odds = w<QLabel>("OddsLbl");
        // The defaults leave out only hands of 35 to 37 points: said so.
        QTRY_COMPARE(odds->text(), QString("Accepts every hand but those with more than 34 points"));
        QStringList others = DisplayOrder;
        others.removeAll(" 4441");
        selectShapes(yes(), others);
        QTest::mouseClick(w<QPushButton>("YtoNBtn"), Qt::LeftButton);
        QCOMPARE(Items(yes()), QStringList{" 4441"});
        QTRY_COMPARE(odds->text(), QString("Accepts 1 hand in 33.4 (3.0%)"));

        QTest::mouseClick(w<QCheckBox>("SA"), Qt::LeftButton);
        enter("MaxSPts", "3");
        QTRY_COMPARE(odds->text(),
                     QString("Accepts no hand: the must-have cards give 4 spade points, the spade maximum is 3"));
        enter("MaxSPts", "4");
        QTRY_VERIFY(odds->text().startsWith("Accepts 1 hand in "));
        // A field left half typed says which.
        type("MinPts", "");
        QTRY_COMPARE(odds->text(), QString("Odds: '' is not a whole number (MinPoints)"));
    }

    void helpButtonAndF1_openTopic20AndEscapeCloses() {
        QTest::mouseClick(w<QPushButton>("HelpBtn"), Qt::LeftButton);
        QTest::keyClick(yes(), Qt::Key_F1);
        QCOMPARE(prompts->HelpTopics, QList<int>({20, 20}));
        QTest::keyClick(yes(), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
    }

    void realErrorBox_isShownOnceAndFocusMovesOn() {
        // With the real message box: closing it gives the focus back to the
        // window, which must not run the field's rule a second time.
        RealPromptsInScope realPrompts;
        QStringList boxes;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->accept();
            }
        });
        closer.start();
        // MaxSPts holds a text its own rule refuses; the box taking the focus
        // from it must not run that rule.
        edit("MaxSPts")->setText(":");
        type("MinSPts", "1.");
        QTest::mouseClick(edit("MaxSPts"), Qt::LeftButton);
        QTRY_COMPARE(boxes, QStringList({"'1.' is not a valid integer value"}));
        // Where no window manager hands the focus back, do it as one would.
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        QCoreApplication::processEvents();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(edit("MaxSPts")->hasFocus());
        QCOMPARE(text("MinSPts"), QString("1."));
    }
};

QTEST_MAIN(HandDefnTest)
#include "DefinitionEditor_qtest.moc"
