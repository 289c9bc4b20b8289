// The printed pages with the fonts they are really set in: a file of
// extreme boards painted into PDF on A4 and on Letter, every text measured
// as the printer measures it, and no two texts of a page meeting; hand
// records carrying the widest analysis there is.
#include "core/formats/BoardSource.h"
#include "core/layout/BoardPrinter.h"
#include "print/PdfPrint.h"
#include "print/QtPrintCanvas.h"
#include "support/BoardFiles.h"

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace zelv;

namespace {

struct Box {
    QRect Rect;
    QString Text;
};

// Passes every call to the real canvas and keeps the box of every text.
class MeasuringCanvas : public PrintCanvas {
  public:
    explicit MeasuringCanvas(QtPrintCanvas& real) : real_(real) {}
    QList<QList<Box>> Pages;

    bool BeginDocument(const DocumentInfo& info) override {
        Pages.append(QList<Box>());
        return real_.BeginDocument(info);
    }
    void NewPage() override {
        Pages.append(QList<Box>());
        real_.NewPage();
    }
    void EndDocument() override { real_.EndDocument(); }
    int PageWidth() override { return real_.PageWidth(); }
    void SetFontName(const std::string& name) override { real_.SetFontName(name); }
    void SetFontSize(int points) override { real_.SetFontSize(points); }
    void SetFontStyle(FontStyle style) override { real_.SetFontStyle(style); }
    int TextWidth(const std::string& text) override { return real_.TextWidth(text); }
    int TextHeight() override { return real_.TextHeight(); }
    void SetTextStretch(int percent) override { real_.SetTextStretch(percent); }
    void DrawText(int x, int y, const std::string& text) override {
        if (!text.empty())
            Pages.last().append({QRect(x, y, real_.TextWidth(text), real_.TextHeight()), QString::fromStdString(text)});
        real_.DrawText(x, y, text);
    }

  private:
    QtPrintCanvas& real_;
};

// The widest analysis a hand record can carry: two-digit tricks everywhere,
// a five-figure score and more sacrifices than the lines under the table hold.
BoardAnalysis WidestAnalysis() {
    BoardAnalysis a;
    for (auto& row : a.Tricks) row.fill(13);
    a.Par.Score = -7600;
    for (int k = 0; k < 10; ++k) a.Par.Contracts.push_back({7, k % 5, true, "NS", -13});
    return a;
}

} // namespace

class PrintPagesTest : public QObject {
    Q_OBJECT

  private slots:
    void extremeBoards_noTwoTextsMeet_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("option");
        for (auto [name, paper] : {std::pair{"A4", int(QPageSize::A4)}, std::pair{"Letter", int(QPageSize::Letter)}}) {
            QTest::newRow(QByteArray(name).append(" standard").constData()) << paper << int(PrintOption::Standard);
            QTest::newRow(QByteArray(name).append(" partnership").constData())
                << paper << int(PrintOption::Partnership);
            QTest::newRow(QByteArray(name).append(" hand records").constData())
                << paper << int(PrintOption::HandRecords);
        }
    }

    void extremeBoards_noTwoTextsMeet() {
        QFETCH(int, paper);
        QFETCH(int, option);
        QTemporaryDir dir;
        const std::string path = dir.filePath("STRESS.DGE").toStdString();
        test::WriteDeals(path, test::ExtremeDeals());
        BoardSource file;
        QVERIFY(file.Open(path, nullptr));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(paper)));
        QtPrintCanvas real(printer, [&](const DocumentInfo& info) -> std::optional<QString> {
            return dir.filePath(QStringLiteral("stress%1.pdf").arg(info.Seat));
        });
        MeasuringCanvas canvas(real);
        BoardPrinter layout(file, canvas, "STRESS");
        const FileAnalysis analysis(file.BoardCount(), WidestAnalysis());
        QVERIFY(layout.Print({static_cast<PrintOption>(option), {true, true, true, true}, &analysis}) > 0);
        real.Finish();
        QVERIFY2(real.Error().isEmpty(), qPrintable(real.Error()));
        QVERIFY(!canvas.Pages.isEmpty());
        for (const QList<Box>& page : canvas.Pages)
            for (int a = 0; a < page.size(); ++a) {
                QVERIFY2(page[a].Rect.right() < canvas.PageWidth(), qPrintable(page[a].Text));
                for (int b = a + 1; b < page.size(); ++b)
                    QVERIFY2(!page[a].Rect.intersects(page[b].Rect),
                             qPrintable(QStringLiteral("\"%1\" at %2,%3 (%4 wide) meets \"%5\" at %6,%7")
                                            .arg(page[a].Text)
                                            .arg(page[a].Rect.x())
                                            .arg(page[a].Rect.y())
                                            .arg(page[a].Rect.width())
                                            .arg(page[b].Text)
                                            .arg(page[b].Rect.x())
                                            .arg(page[b].Rect.y())));
            }
    }

    // Hand records in PDF: each column of the tricks table, and the points,
    // ends at one right edge whatever the figures ("10" over "9"), and no
    // two columns run together. Read back by the words' boxes in the PDF.
    void handRecords_figuresAreRightAlignedInThePdf() {
        QTemporaryDir dir;
        const QString boards = dir.filePath("ONE.DGE");
        test::WriteBoardFile(boards.toStdString(), 1);
        BoardAnalysis a;
        a.Tricks = {{{10, 9, 10, 9, 13}, {9, 10, 9, 10, 7}, {3, 4, 3, 4, 0}, {4, 3, 4, 3, 6}}};
        a.Par = {620, {{4, SpadeStrain, false, "N", 0}}};
        const FileAnalysis analysis{a};
        PdfPrintJob job;
        job.BoardFile = boards.toStdString();
        job.Output = dir.filePath("records.pdf").toStdString();
        job.Request = {PrintOption::HandRecords, {}, &analysis};
        const PdfPrintResult result = PrintBoardFileToPdf(job);
        QVERIFY2(result.Error.empty(), result.Error.c_str());
        QProcess words;
        words.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), dir.filePath("records.pdf"), "-"});
        QVERIFY2(words.waitForFinished(60000) && words.exitCode() == 0,
                 "pdftotext (poppler-utils, which scripts/deps.sh installs) must read the PDF");
        // The figures from the "NT" heading rightwards (holdings hold digits
        // too), line by line: the table's rows.
        static const QRegularExpression word(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\"[^>]*>([^<]+)</word>"));
        static const QRegularExpression figure(QStringLiteral("^\\d+$"));
        double tableLeft = -1;
        QList<QRegularExpressionMatch> hits;
        for (auto m = word.globalMatch(QString::fromUtf8(words.readAllStandardOutput())); m.hasNext();) {
            hits.append(m.next());
            if (hits.last().captured(4) == QLatin1String("NT")) tableLeft = hits.last().captured(1).toDouble();
        }
        QVERIFY(tableLeft > 0);
        QMap<int, QList<QPair<double, double>>> rows; // yMin (tenths) -> (xMin, xMax) of each figure
        for (const QRegularExpressionMatch& hit : hits)
            if (figure.match(hit.captured(4)).hasMatch() && hit.captured(1).toDouble() > tableLeft - 1)
                rows[qRound(hit.captured(2).toDouble() * 10)].append(
                    {hit.captured(1).toDouble(), hit.captured(3).toDouble()});
        QList<QList<QPair<double, double>>> table;
        for (const auto& row : rows)
            if (row.size() == 6) table.append(row);
        QCOMPARE(table.size(), 4);
        for (int column = 0; column < 6; ++column)
            for (int r = 1; r < 4; ++r) {
                QVERIFY2(qAbs(table[r][column].second - table[0][column].second) < 0.3,
                         qPrintable(QStringLiteral("column %1, row %2").arg(column).arg(r)));
                if (column > 0) QVERIFY(table[r][column].first - table[r][column - 1].second > 2.0);
            }
        // "10" above "9": the same right edge, different left edges.
        QVERIFY(table[0][0].first < table[1][0].first - 1.0);
    }
};

QTEST_MAIN(PrintPagesTest)
#include "PrintPages_qtest.moc"
