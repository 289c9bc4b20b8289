// The small widgets every dialog shares: the pick-only drop-down that
// speaks before it opens, the edit whose limit holds for typing only, the
// clickable heading, suit signs and the look of hints.
#include "gui/widgets/ClickLabel.h"
#include "gui/widgets/DropDownCombo.h"
#include "gui/widgets/Hints.h"
#include "gui/widgets/LimitedEdit.h"
#include "gui/widgets/SuitSigns.h"
#include "support/ScopedSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

using namespace zelv;

class WidgetsTest : public QObject {
    Q_OBJECT

  private slots:
    void dropDown_signalsBeforeItsListOpensSoItCanBeFilled() {
        DropDownCombo combo;
        QVERIFY(!combo.isEditable());
        connect(&combo, &DropDownCombo::aboutToShowPopup, &combo, [&combo] {
            // The list is filled only when it is empty, as the owner would.
            if (combo.count() == 0) combo.setSortedItems({"weak 2S", "1NT 15-17", "Strong"});
        });
        QSignalSpy spy(&combo, &DropDownCombo::aboutToShowPopup);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        QCOMPARE(combo.count(), 0);
        combo.showPopup();
        QCOMPARE(spy.count(), 1);
        QStringList items;
        for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
        QCOMPARE(items, QStringList({"1NT 15-17", "Strong", "weak 2S"}));
        combo.hidePopup();
        combo.setCurrentIndex(2);
        combo.setSortedItems({"Strong", "weak 2S", "Acol"});
        QCOMPARE(combo.currentText(), QString("weak 2S"));
        combo.setSortedItems({"Acol"});
        QCOMPARE(combo.currentIndex(), -1);
    }

    void limitedEdit_limitsTypingButKeepsLongerTextsSetByTheProgram() {
        LimitedEdit edit(2);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setText("100");
        QCOMPARE(edit.text(), QString("100"));
        edit.clear();
        QTest::keyClicks(&edit, "1234");
        QCOMPARE(edit.text(), QString("12"));
        // Typing over a selection replaces it.
        edit.selectAll();
        QTest::keyClicks(&edit, "9");
        QCOMPARE(edit.text(), QString("9"));
        QGuiApplication::clipboard()->setText("345");
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QString("93"));
        QCOMPARE(edit.contextMenuPolicy(), Qt::NoContextMenu);
    }

    void clickLabel_reportsALeftClickOnlyWhenEnabled() {
        ClickLabel label("AK Controls");
        label.show();
        QSignalSpy spy(&label, &ClickLabel::clicked);
        QTest::mouseClick(&label, Qt::RightButton);
        QCOMPARE(spy.count(), 0);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        // A disabled label is no button: the Change panel during a run.
        label.setEnabled(false);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    void suitSigns_areUnicodeWithRedHeartsAndDiamonds() {
        QCOMPARE(SuitSign(0), QString::fromUtf8("\u2660"));
        QCOMPARE(SuitSign(1), QString::fromUtf8("\u2665"));
        QCOMPARE(SuitSign(2), QString::fromUtf8("\u2666"));
        QCOMPARE(SuitSign(3), QString::fromUtf8("\u2663"));
        QCOMPARE(SuitColor(0), QColor(Qt::black));
        QCOMPARE(SuitColor(1), QColor(Qt::red));
        QCOMPARE(SuitColor(2), QColor(Qt::red));
        QCOMPARE(SuitColor(3), QColor(Qt::black));
        QLabel* heart = MakeSuitLabel(1, nullptr);
        QCOMPARE(heart->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(QFontMetrics(heart->font()).inFont(QChar(0x2665)));
        delete heart;
    }

    void hints_paleYellowQuickAndShownForTheirWidget() {
        InstallHintLook(*qApp);
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 254, 206));
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 200);
        QWidget parent;
        parent.setToolTip("Chose Compulsory Cards");
        auto* child = new QWidget(&parent);
        child->resize(40, 40);
        parent.resize(100, 100);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        // A child without a hint of its own shows its parent's.
        QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), child->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(child, &event);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QString("Chose Compulsory Cards"));
        QToolTip::hideText();
    }

    // Not a widget, but the dialog tests lean on it: whatever a test sets
    // is undone when its scope ends.
    void scopedSettings_putBackWhatTheTestChanged() {
        SharedSettings().DefaultFileCode = "BEFORE";
        {
            ScopedSettings settings("/tmp/zelv-folder");
            QCOMPARE(settings->HandsFolder, std::string("/tmp/zelv-folder/Hands"));
            settings->DefaultFileCode = "DURING";
            SharedSettings().HandDefinitionsFolder = "elsewhere";
        }
        QCOMPARE(SharedSettings().DefaultFileCode, std::string("BEFORE"));
        QVERIFY(SharedSettings().HandsFolder != "/tmp/zelv-folder/Hands");
        QVERIFY(SharedSettings().HandDefinitionsFolder != "elsewhere");
    }
};

QTEST_MAIN(WidgetsTest)
#include "widgets_qtest.moc"
