// The printed pages with the fonts they are really set in: a file of
// extreme boards painted into PDF on A4 and on Letter, every text measured
// as the printer measures it, and no two texts of a page meeting; hand
// records carrying the widest analysis there is.
#include "core/formats/BoardSource.h"
#include "core/layout/BoardPrinter.h"
#include "print/QtPrintCanvas.h"
#include "support/BoardFiles.h"

#include <QPageSize>
#include <QPrinter>
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
};

QTEST_MAIN(PrintPagesTest)
#include "PrintPages_qtest.moc"
