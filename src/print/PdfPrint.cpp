#include "print/PdfPrint.h"

#include "core/analysis/KnownAnalysis.h"
#include "core/formats/BoardSource.h"
#include "print/QtPrintCanvas.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>

namespace zelv {

std::string PdfNameFor(const std::string& output, int seat) {
    if (seat < 0) return output;
    std::string base = output;
    const std::size_t slash = base.rfind('/');
    const std::size_t dot = base.rfind('.');
    std::string ext;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        ext = base.substr(dot);
        base.resize(dot);
    } else {
        ext = ".pdf";
    }
    return base + "-" + SeatNames[seat] + ext;
}

PdfPrintResult PrintBoardFileToPdf(const PdfPrintJob& job) {
    PdfPrintResult result;
    BoardSource file;
    if (!file.Open(job.BoardFile, &result.Error)) return result;
    result.Boards = file.BoardCount();
    result.LeftOut = file.Problems();
    result.Notes = file.Notes();
    if (result.Boards == 0) {
        result.Error = "no boards in " + job.BoardFile;
        return result;
    }
    FileAnalysis analysis;
    PrintRequest request = job.Request;
    if (request.Option == PrintOption::HandRecords && !request.Analysis) {
        // What the file's PBN games or the cache already hold is not solved again.
        AnalysisReport report = AnalyseFileBoards(file, 0, file.BoardCount(), &AnalysisCache::Shared(), job.Progress,
                                                  AnalysisBatch(), job.Stop);
        if (report.Cancelled) {
            result.Cancelled = true;
            return result;
        }
        analysis = std::move(report.Results);
        result.NotAnalysed = std::move(report.Problems);
        result.Notes.insert(result.Notes.end(), report.Notes.begin(), report.Notes.end());
        request.Analysis = &analysis;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(job.Paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4));
    QtPrintCanvas canvas(printer, [&job](const DocumentInfo& info) -> std::optional<QString> {
        return QString::fromStdString(PdfNameFor(job.Output, info.Seat));
    });
    canvas.SetStop(job.Stop);
    BoardPrinter layout(file, canvas, ShortName(job.BoardFile));
    layout.Print(request);
    canvas.Finish();
    result.Cancelled = canvas.Stopped();
    result.Damaged = layout.DamagedBoards();
    for (const QtPrintCanvas::Output& out : canvas.Outputs())
        result.Files.push_back({out.Path.toStdString(), out.Pages});
    result.Error = canvas.Error().toStdString();
    return result;
}

PdfPrintResult PrintBoardFileToPdfWithoutWindow(const PdfPrintJob& job) {
    if (QGuiApplication::instance()) return PrintBoardFileToPdf(job);
    // Nothing is shown, so no display is needed, whatever the session has;
    // and Qt's own remarks about the session are no concern of a script.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    int argc = 1;
    char name[] = "zelvano-deal";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    return PrintBoardFileToPdf(job);
}

} // namespace zelv
