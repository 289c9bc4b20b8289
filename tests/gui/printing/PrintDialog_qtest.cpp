// The print dialog: its controls, and real PDF output through Print and
// Preview.
#include "core/settings/Settings.h"
#include "gui/printing/PrintDialog.h"
#include "print/QtPrintCanvas.h"
#include "support/BoardFiles.h"
#include "support/DesignTable.h"
#include "support/ScopedSettings.h"
#include "support/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

using namespace zelv;

namespace {

// Pages of a PDF file as Qt writes it: one "/Type /Page" object a page.
int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF")) return -1;
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// The form as designed, in pixels at 96 dpi; the right-hand column moves
// right as far as wider captions need.
const test::Designed PrintDesign[] = {
    {"OptionRG", "Hand Printing Options", nullptr, 8, 8},
    {"StandardRB", "Standard - All Hands", nullptr, 8, 18, test::Any, 20},
    {"PartnershipRB", "Partnerhsip Practice (One Seat per page)", nullptr, 8, 40, test::Any, 20},
    {"HandRecordsRB", "Hand Records (double-dummy analysis)", nullptr, 8, 62, test::Any, 20},
    {"SeatGB", "Print These Seats", nullptr, 8, 102, test::Any, 113},
    {"NorthCB", "North", nullptr, 12, 18, 200, 20},
    {"SouthCB", "South", nullptr, 12, 40, 200, 20},
    {"EastCB", "East", nullptr, 12, 62, 200, 20},
    {"WestCB", "West", nullptr, 12, 84, 200, 20},
    {"LoadBtn", "&Load ", "Load a Generator File", 8, 224, 80, 27},
    {"PrintBtn", " Print   ", nullptr, 94, 224, 80, 27},
    {"PreviewBtn", "Pre&view", "Show the pages before printing", 180, 224, 80, 27},
    {"HelpBtn", "Help", nullptr, test::Any, 183, 80, 27},
    {"CloseBtn", "&Close", nullptr, test::Any, 224, 80, 27},
};

} // namespace

class PrintDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir hands;
    ScopedSettings settings;
    ScriptedPrompts* prompts = nullptr;
    PrintDialog* dlg = nullptr;
    QPrinter* pdfPrinter = nullptr;
    QString current;

    template <typename T> T* child(const char* name) {
        T* w = dlg->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    void show() {
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
    }
    QString boards(const QString& name, std::uint64_t count) {
        const QString path = hands.filePath(name);
        test::WriteBoardFile(path.toStdString(), count);
        return path;
    }

  private slots:
    void initTestCase() {
        QVERIFY(hands.isValid());
        settings->HandsFolder = hands.path().toStdString();
        // Kept for a person to look at when ZELV_KEEP_PDF names a folder.
        if (qEnvironmentVariableIsSet("ZELV_KEEP_PDF")) hands.setAutoRemove(false);
    }
    void init() {
        prompts = new ScriptedPrompts;
        dlg = new PrintDialog;
        dlg->SetCurrentBoardFileSource([this] { return current; });
        // A printer that writes PDF, so that no test reaches a real printer.
        pdfPrinter = new QPrinter(QPrinter::HighResolution);
        pdfPrinter->setOutputFormat(QPrinter::PdfFormat);
        pdfPrinter->setPageSize(QPageSize(QPageSize::A4));
        dlg->SetPrinter(pdfPrinter);
        current.clear();
    }
    void cleanup() {
        delete dlg;
        delete pdfPrinter;
        delete prompts;
    }

    void form_hasTheDesignedControls() {
        show();
        QVERIFY(dlg->width() >= 374);
        QCOMPARE(dlg->height(), 285);
        ZELV_VERIFY_DESIGN(dlg, PrintDesign);
        // Our fonts run wider than the design's: every caption must still show whole.
        for (QAbstractButton* b : dlg->findChildren<QAbstractButton*>()) {
            QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
            QVERIFY(dlg->rect().contains(b->mapTo(dlg, b->rect().bottomRight())));
        }
        QVERIFY(child<QPushButton>("CloseBtn")->isDefault());
        QVERIFY(child<QCheckBox>("NorthCB")->isChecked());
        QVERIFY(!child<QCheckBox>("SouthCB")->isChecked());
        if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS"))
            dlg->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/uprint.png");
    }

    void activation_withoutABoardFileAsksForOne() {
        show();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Print Hands: Load a File."));
        QVERIFY(!child<QPushButton>("PrintBtn")->isEnabled());
        QVERIFY(!child<QPushButton>("PreviewBtn")->isEnabled());
        QVERIFY(child<QRadioButton>("StandardRB")->isChecked());
        for (const char* box : {"NorthCB", "SouthCB", "EastCB", "WestCB"}) QVERIFY(!child<QCheckBox>(box)->isEnabled());
    }

    void activation_takesTheFileGenerationWrote() {
        current = QStringLiteral("ZELV.DGE");
        show();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Print Hands: ZELV.DGE"));
        QVERIFY(child<QPushButton>("PrintBtn")->isEnabled());
        QCOMPARE(dlg->FileToPrint(), QDir(hands.path()).filePath("ZELV.DGE"));
        // With a file to print, Enter prints.
        QVERIFY(child<QPushButton>("PrintBtn")->isDefault());
        QVERIFY(!child<QPushButton>("CloseBtn")->isDefault());
    }

    void seatBoxes_followTheOptionAndKeepTheirTicks() {
        show();
        QTest::mouseClick(child<QRadioButton>("PartnershipRB"), Qt::LeftButton);
        for (const char* box : {"NorthCB", "SouthCB", "EastCB", "WestCB"}) QVERIFY(child<QCheckBox>(box)->isEnabled());
        child<QCheckBox>("SouthCB")->click();
        child<QCheckBox>("NorthCB")->click();
        QTest::mouseClick(child<QRadioButton>("StandardRB"), Qt::LeftButton);
        QVERIFY(!child<QCheckBox>("SouthCB")->isEnabled());
        QVERIFY(child<QCheckBox>("SouthCB")->isChecked());
        QVERIFY(!child<QCheckBox>("NorthCB")->isChecked());
        child<QRadioButton>("PartnershipRB")->click();
        dlg->reject();
        show();
        QVERIFY(child<QRadioButton>("StandardRB")->isChecked());
        QVERIFY(!child<QCheckBox>("SouthCB")->isEnabled());
        QVERIFY(child<QCheckBox>("SouthCB")->isChecked());
        QVERIFY(!child<QCheckBox>("NorthCB")->isChecked());
    }

    void load_choosesTheFileToPrint() {
        show();
        const QString path = boards("LOADED.DGE", 3);
        prompts->FileAnswers = {QString()};
        child<QPushButton>("LoadBtn")->click();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Print Hands: Load a File."));
        QVERIFY(!child<QPushButton>("PrintBtn")->isEnabled());
        prompts->FileAnswers = {path};
        child<QPushButton>("LoadBtn")->click();
        QCOMPARE(prompts->FileRequests.size(), 2);
        const FileDialogOptions& o = prompts->FileRequests[1];
        QCOMPARE(o.Title, QStringLiteral("Select Boards to Print"));
        QCOMPARE(o.Filter, QStringLiteral("Board Files (*.DGE *.PBN *.BRI *.DUP *.DLM);;Zelv File (*.DGE);;PBN File "
                                          "(*.PBN);;All Files (*)"));
        QCOMPARE(o.DefaultSuffix, QStringLiteral("DGE"));
        QCOMPARE(o.Folder, hands.path());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Print Hands: LOADED.DGE"));
        QCOMPARE(dlg->FileToPrint(), path);
        QVERIFY(child<QPushButton>("PrintBtn")->isEnabled());
        QVERIFY(child<QPushButton>("PreviewBtn")->isEnabled());
    }

    void helpAndClose() {
        show();
        child<QPushButton>("HelpBtn")->click();
        QCOMPARE(prompts->HelpTopics, QList<int>{50});
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        QTest::keyClick(dlg, Qt::Key_F1);
        QCOMPARE(prompts->HelpTopics, (QList<int>{50, 50}));
        QTest::mouseClick(child<QPushButton>("CloseBtn"), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
    }

    void unopenableFile_saysSoWithThePath() {
        current = QStringLiteral("GONE.DGE");
        show();
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(prompts->Errors, QStringList{"Unable to open " + QDir(hands.path()).filePath("GONE.DGE") +
                                              " (No such file or directory)"});
        QVERIFY(prompts->FileRequests.isEmpty());
        child<QPushButton>("PreviewBtn")->click();
        QCOMPARE(prompts->Errors.size(), 2);
    }

    void emptyFile_printsNothing() {
        boards("EMPTY.DGE", 0);
        current = QStringLiteral("EMPTY.DGE");
        show();
        child<QPushButton>("PrintBtn")->click();
        QVERIFY(prompts->FileRequests.isEmpty());
        QVERIFY(prompts->Errors.isEmpty());
        QCOMPARE(prompts->Messages, QStringList{"Print Hands: EMPTY.DGE holds no boards; nothing was printed."});
    }

    void standard17Boards_makeATwoPagePdf() {
        boards("S17.DGE", 17);
        current = QStringLiteral("S17.DGE");
        show();
        const QString out = hands.filePath("standard-17.pdf");
        prompts->FileAnswers = {out};
        child<QPushButton>("PrintBtn")->click();
        QVERIFY(prompts->Errors.isEmpty());
        QCOMPARE(prompts->FileRequests.size(), 1);
        QCOMPARE(prompts->FileRequests[0].InitialName, QStringLiteral("S17.pdf"));
        QCOMPARE(prompts->FileRequests[0].Folder, hands.path());
        QCOMPARE(prompts->FileRequests[0].DefaultSuffix, QStringLiteral("pdf"));
        QCOMPARE(PdfPages(out), 2);
        QCOMPARE(QDir(hands.path()).entryList({"*.pdf*"}), QStringList{"standard-17.pdf"});
        QCOMPARE(prompts->Messages, QStringList{"Print Hands: Wrote standard-17.pdf, 2 pages"});
    }

    // Hand records: the analysis runs first behind a progress window, then
    // the pages print six boards to a page.
    void handRecords_analyseWithProgressThenPrintSixToAPage() {
        boards("REC.DGE", 13);
        current = QStringLiteral("REC.DGE");
        show();
        child<QRadioButton>("HandRecordsRB")->click();
        for (const char* seat : {"NorthCB", "SouthCB", "EastCB", "WestCB"})
            QVERIFY(!child<QCheckBox>(seat)->isEnabled());
        const QString out = hands.filePath("records.pdf");
        prompts->FileAnswers = {out};
        int seenMaximum = -1;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto* p = dlg->findChild<QProgressDialog*>("AnalysisProgressDlg"); p && p->isVisible())
                seenMaximum = p->maximum();
        });
        watch.start(1);
        child<QPushButton>("PrintBtn")->click();
        watch.stop();
        QVERIFY(prompts->Errors.isEmpty());
        QCOMPARE(PdfPages(out), 3);
        QCOMPARE(prompts->Messages, QStringList{"Print Hands: Wrote records.pdf, 3 pages"});
        // The window answered its timers while the solver worked.
        QVERIFY(seenMaximum == 0 || seenMaximum == 13);
        QVERIFY(!dlg->findChild<QProgressDialog*>("AnalysisProgressDlg"));
    }

    void handRecords_cancelledAnalysisPrintsNothing() {
        boards("MANY.DGE", 6000);
        current = QStringLiteral("MANY.DGE");
        show();
        child<QRadioButton>("HandRecordsRB")->click();
        prompts->FileAnswers = {hands.filePath("never.pdf")};
        int value = 0;
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, this, [&] {
            auto* p = dlg->findChild<QProgressDialog*>("AnalysisProgressDlg");
            if (!p || p->value() <= 0) return;
            value = p->value();
            cancel.stop();
            if (qEnvironmentVariableIsSet("ZELV_SCREENSHOTS"))
                p->grab().save(qEnvironmentVariable("ZELV_SCREENSHOTS") + "/uprint-analysing.png");
            QTest::mouseClick(p->findChild<QPushButton*>(), Qt::LeftButton);
        });
        cancel.start(5);
        child<QPushButton>("PrintBtn")->click();
        cancel.stop();
        QVERIFY(value > 0 && value < 6000);
        QCOMPARE(prompts->FileRequests.size(), 0);
        QVERIFY(!QFile::exists(hands.filePath("never.pdf")));
        QVERIFY(prompts->Messages.isEmpty());
        QVERIFY(prompts->Errors.isEmpty());
    }

    void handRecords_damagedRecordIsPrintedMarkedAndNamedAsNotAnalysed() {
        QFile::copy(QStringLiteral(ZELV_TEST_DATA "/viewing/DAMAGED.DGE"), hands.filePath("DAMAGED.DGE"));
        current = QStringLiteral("DAMAGED.DGE");
        show();
        child<QRadioButton>("HandRecordsRB")->click();
        prompts->FileAnswers = {hands.filePath("damaged-records.pdf")};
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(PdfPages(hands.filePath("damaged-records.pdf")), 1);
        QCOMPARE(prompts->Messages.size(), 1);
        QVERIFY2(prompts->Messages[0].contains(QRegularExpression(QStringLiteral("board \\d+ not analysed: "))),
                 qPrintable(prompts->Messages[0]));
        QVERIFY(prompts->Messages[0].contains(QLatin1String("1 damaged")));
    }

    void letterPaper_takesAFullPageOnOnePage() {
        boards("L16.DGE", 16);
        current = QStringLiteral("L16.DGE");
        pdfPrinter->setPageSize(QPageSize(QPageSize::Letter));
        show();
        const QString out = hands.filePath("letter-16.pdf");
        prompts->FileAnswers = {out};
        child<QPushButton>("PrintBtn")->click();
        QVERIFY(prompts->Errors.isEmpty());
        QCOMPARE(PdfPages(out), 1);
    }

    void partnership49Boards_twoSeatsMakeTwoPdfsInOrder() {
        boards("P49.DGE", 49);
        current = QStringLiteral("P49.DGE");
        show();
        child<QRadioButton>("PartnershipRB")->click();
        child<QCheckBox>("SouthCB")->setChecked(true);
        const QString north = hands.filePath("partnership-49-north.pdf");
        const QString south = hands.filePath("partnership-49-south.pdf");
        prompts->FileAnswers = {north, south};
        child<QPushButton>("PrintBtn")->click();
        QVERIFY(prompts->Errors.isEmpty());
        QCOMPARE(prompts->FileRequests.size(), 2);
        QCOMPARE(prompts->FileRequests[0].InitialName, QStringLiteral("P49-North.pdf"));
        QCOMPARE(prompts->FileRequests[1].InitialName, QStringLiteral("P49-South.pdf"));
        QCOMPARE(PdfPages(north), 2);
        QCOMPARE(PdfPages(south), 2);
        QCOMPARE(prompts->Messages, QStringList{"Print Hands: Wrote partnership-49-north.pdf, 2 pages\n"
                                                "Wrote partnership-49-south.pdf, 2 pages"});
    }

    void declinedFileName_skipsOnlyThatDocument() {
        boards("SKIP.DGE", 5);
        current = QStringLiteral("SKIP.DGE");
        show();
        child<QRadioButton>("PartnershipRB")->click();
        child<QCheckBox>("NorthCB")->setChecked(true);
        child<QCheckBox>("WestCB")->setChecked(true);
        const QString west = hands.filePath("skip-west.pdf");
        prompts->FileAnswers = {QString(), west};
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(prompts->FileRequests.size(), 2);
        QCOMPARE(PdfPages(west), 1);
        QVERIFY(prompts->Errors.isEmpty());
    }

    // Cancelling the PDF file's name is a cancel: nothing printed, nothing said.
    void cancelledPdfName_isACancel() {
        boards("CANCEL.DGE", 3);
        current = QStringLiteral("CANCEL.DGE");
        show();
        prompts->FileAnswers = {QString()};
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(prompts->FileRequests.size(), 1);
        QVERIFY(prompts->Messages.isEmpty());
        QVERIFY(prompts->Errors.isEmpty());
    }

    void damagedRecords_areReportedAfterPrinting() {
        QFile::copy(QStringLiteral(ZELV_TEST_DATA "/viewing/DAMAGED.DGE"), hands.filePath("DAMAGED.DGE"));
        current = QStringLiteral("DAMAGED.DGE");
        show();
        prompts->FileAnswers = {hands.filePath("damaged.pdf")};
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(PdfPages(hands.filePath("damaged.pdf")), 1);
        QCOMPARE(prompts->Messages.size(), 1);
        QVERIFY(prompts->Messages[0].contains(QLatin1String("1 damaged")));
    }

    void pbnFile_loadedPrintsItsBoardsAndNamesTheOnesLeftOut() {
        const QString path = hands.filePath("club.pbn");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Board \"5\"]\n[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 -\"]\n\n"
                "[Board \"6\"]\n[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3 -\"]\n");
        f.close();
        show();
        prompts->FileAnswers = {path, hands.filePath("club.pdf")};
        child<QPushButton>("LoadBtn")->click();
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(PdfPages(hands.filePath("club.pdf")), 1);
        QCOMPARE(prompts->Messages.size(), 1);
        QVERIFY2(prompts->Messages[0].startsWith("Print Hands: " + path + ": board 6 left out: "),
                 qPrintable(prompts->Messages[0]));
        QVERIFY(prompts->Messages[0].contains("Wrote club.pdf, 1 page"));
    }

    void unwritablePdf_saysSo() {
        boards("W.DGE", 2);
        current = QStringLiteral("W.DGE");
        show();
        const QString out = hands.filePath("no-such-folder/w.pdf");
        prompts->FileAnswers = {out};
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(prompts->Errors, QStringList{"Unable to write to " + out + " (No such file or directory)"});
    }

    // The documents of one print go in place together, each checked whole:
    // one that cannot be written keeps every old file, and none is said to
    // have been written.
    void pdfNotWrittenWhole_keepsEveryOldFileAndSaysWhy() {
        boards("FULL.DGE", 200);
        current = QStringLiteral("FULL.DGE");
        show();
        const QString north = hands.filePath("full-north.pdf");
        const QString south = hands.filePath("no-such-folder/full-south.pdf");
        auto old = [&] {
            QFile f(north);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        {
            QFile f(north);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old north");
        }
        child<QRadioButton>("PartnershipRB")->click();
        child<QCheckBox>("SouthCB")->setChecked(true);
        prompts->FileAnswers = {north, south};
        child<QPushButton>("PrintBtn")->click();
        QCOMPARE(prompts->Errors, QStringList{"Unable to write to " + south + " (No such file or directory)"});
        QCOMPARE(old(), QByteArray("old north"));
        QVERIFY(prompts->Messages.isEmpty());

        // Cut short by a file-size limit, as by a full disk, which Qt does not report.
        child<QRadioButton>("StandardRB")->click();
        prompts->Errors.clear();
        prompts->FileAnswers = {north};
        rlimit before{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
        const rlimit small{20000, before.rlim_max};
        const auto xfsz = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        child<QPushButton>("PrintBtn")->click();
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, xfsz);
        QCOMPARE(prompts->Errors, QStringList{"Unable to write to " + north + " (File too large)"});
        QCOMPARE(old(), QByteArray("old north"));
        QVERIFY(prompts->Messages.isEmpty());
        QCOMPARE(QDir(hands.path()).entryList({"full-*"}), QStringList{"full-north.pdf"});
    }

    void pdfThroughALink_replacesItsTargetAndKeepsItsPermissions() {
        boards("L.DGE", 2);
        current = QStringLiteral("L.DGE");
        show();
        QVERIFY(QDir(hands.path()).mkdir("shared"));
        const QString target = hands.filePath("shared/club.pdf"), link = hands.filePath("l.pdf");
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(target, link));
        prompts->FileAnswers = {link};
        child<QPushButton>("PrintBtn")->click();
        QVERIFY2(prompts->Errors.isEmpty(), qPrintable(prompts->Errors.join('\n')));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(PdfPages(target), 1);
        // Owner and group bits as they were (0640).
        QCOMPARE(QFile::permissions(target) & 0x0FFF, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        QCOMPARE(QDir(hands.filePath("shared")).entryList(QDir::Files), QStringList{"club.pdf"});
    }

    void preview_paintsEveryDocumentOneAfterAnother() {
        boards("PV.DGE", 49);
        current = QStringLiteral("PV.DGE");
        show();
        child<QRadioButton>("PartnershipRB")->click();
        child<QCheckBox>("NorthCB")->setChecked(true);
        child<QCheckBox>("EastCB")->setChecked(true);
        QPrinter preview(QPrinter::HighResolution);
        preview.setOutputFormat(QPrinter::PdfFormat);
        preview.setOutputFileName(hands.filePath("preview.pdf"));
        dlg->PaintPreview(&preview);
        QCOMPARE(PdfPages(hands.filePath("preview.pdf")), 4);
        QVERIFY(prompts->FileRequests.isEmpty());
    }

    void previewButton_opensThePreviewOfTheFile() {
        boards("PB.DGE", 3);
        current = QStringLiteral("PB.DGE");
        show();
        QString seen;
        QTimer::singleShot(0, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == QLatin1String("PreviewDlg")) {
                seen = modal->windowTitle();
                modal->findChild<QPushButton*>("PreviewCloseBtn")->click();
            } else if (modal) {
                modal->close();
            }
        });
        child<QPushButton>("PreviewBtn")->click();
        QCOMPARE(seen, QStringLiteral("Print Preview: PB.DGE"));
        QVERIFY(prompts->Errors.isEmpty());
        QVERIFY(prompts->FileRequests.isEmpty());
    }

    void previewPrint_namesItsPdfAsPrintDoes() {
        boards("PV.DGE", 3);
        current = QStringLiteral("PV.DGE");
        show();
        const QString out = hands.filePath("chosen.pdf");
        prompts->FileAnswers = {out};
        QTimer::singleShot(0, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (auto* print = modal->findChild<QPushButton*>("PreviewPrintBtn")) print->click();
        });
        child<QPushButton>("PreviewBtn")->click();
        QCOMPARE(prompts->FileRequests.size(), 1);
        QCOMPARE(prompts->FileRequests[0].InitialName, QStringLiteral("PV.pdf"));
        QCOMPARE(prompts->FileRequests[0].Folder, hands.path());
        QCOMPARE(PdfPages(out), 1);
        // No file of Qt's own naming, here or in the home folder.
        for (const QString& folder : {hands.path(), QDir::homePath()})
            QVERIFY(QDir(folder).entryList({"File*"}).isEmpty());
    }

    void canvas_scalesToResolutionAndShrinksOnlyWhereThePageIsTooSmall() {
        struct Case {
            QPageSize::PageSizeId size;
            int dpi;
        };
        for (Case c : {Case{QPageSize::A4, 600}, Case{QPageSize::A4, 300}, Case{QPageSize::A4, 1200},
                       Case{QPageSize::Letter, 600}, Case{QPageSize::Letter, 300}}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setPageSize(QPageSize(c.size));
            const QString out = hands.filePath(QStringLiteral("scale-%1-%2.pdf").arg(int(c.size)).arg(c.dpi));
            QtPrintCanvas canvas(printer, [&](const DocumentInfo&) -> std::optional<QString> { return out; });
            canvas.SetDeviceResolution(c.dpi);
            QVERIFY(canvas.BeginDocument({"scale", -1}));
            QCOMPARE(printer.resolution(), c.dpi);
            const QRectF page = printer.pageRect(QPrinter::DevicePixel);
            const double unit = c.dpi / 600.0;
            QVERIFY(QtPrintCanvas::NeededHeight * canvas.Scale() <= page.height() + 1e-6);
            QVERIFY(QtPrintCanvas::NeededWidth * canvas.Scale() <= page.width() + 1e-6);
            QVERIFY(canvas.PageWidth() >= QtPrintCanvas::NeededWidth);
            if (c.size == QPageSize::Letter) {
                QVERIFY(canvas.Scale() < unit);
                QVERIFY(canvas.Scale() > 0.9 * unit); // shrunk, not shrivelled
            } else {
                QCOMPARE(canvas.Scale(), unit);
            }
            canvas.EndDocument();
            canvas.Finish();
            QCOMPARE(PdfPages(out), 1);
        }
    }

    void canvas_neededWidthHoldsTheWidestTextsOfTheLayout() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString out = hands.filePath("widths.pdf");
        QtPrintCanvas canvas(printer, [&](const DocumentInfo&) -> std::optional<QString> { return out; });
        QVERIFY(canvas.BeginDocument({"widths", -1}));
        canvas.SetFontName("MS Sans Serif");
        canvas.SetFontSize(8);
        canvas.SetFontStyle(FontStyle::Bold);
        int widest = 0;
        for (const char* vul : {"Nil", "N/S", "E/W", "All"})
            for (const char* dealer : {"N", "E", "S", "W"})
                widest = std::max(widest, canvas.TextWidth(std::string("Dealer ") + dealer + " - Vul. " + vul));
        QVERIFY(4040 + widest <= QtPrintCanvas::NeededWidth);
        canvas.SetFontStyle(FontStyle::Regular);
        QVERIFY(3580 + 620 + canvas.TextWidth("AKQJT98765432") <= QtPrintCanvas::NeededWidth);
        canvas.EndDocument();
    }
};

QTEST_MAIN(PrintDlgTest)
#include "PrintDialog_qtest.moc"
