#pragma once
// The drawing interface painted on a QPrinter: a real printer, a PDF file or
// the pages of a print preview.
#include "core/files/FileSet.h"
#include "core/layout/PrintCanvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace zelv {

class QtPrintCanvas : public PrintCanvas {
  public:
    // Called before each document. Returns no value to skip the document,
    // an empty path to print on the printer as it is set up, or the path of
    // a PDF file to write.
    using Prepare = std::function<std::optional<QString>(const DocumentInfo& info)>;

    // With `joinDocuments` every document goes into the one job the first
    // one starts (a preview shows them all), each from a new page. The PDF
    // files of all documents are put in place together by Finish, each
    // checked to be whole, or none of them.
    QtPrintCanvas(QPrinter& printer, Prepare prepare = {}, bool joinDocuments = false);
    ~QtPrintCanvas() override;

    bool BeginDocument(const DocumentInfo& info) override;
    void NewPage() override;
    void EndDocument() override;
    int PageWidth() override;
    void SetFontName(const std::string& name) override;
    void SetFontSize(int points) override;
    void SetFontStyle(FontStyle style) override;
    int TextWidth(const std::string& text) override;
    int TextHeight() override;
    void SetTextStretch(int percent) override;
    void DrawText(int x, int y, const std::string& text) override;

    // The resolution asked of the printer at each document (600 unless a
    // test wants to see another one scaled).
    void SetDeviceResolution(int dpi) { dpi_ = dpi; }
    // Stops at the next document or page once `stop` is raised (not
    // owned): nothing more is drawn and no PDF file is written.
    void SetStop(const std::atomic<bool>* stop) { stop_ = stop; }
    bool Stopped() const override { return stopped_; }
    // Ends the job: the last document is finished and every PDF file put in
    // place, all of them or, when any could not be written whole, none.
    void Finish();
    // The first failure, e.g. "Unable to write to <path>"; empty when none.
    const QString& Error() const { return error_; }
    // Files written, in order.
    const QStringList& Written() const { return written_; }
    // Every document that was finished, its PDF file in place: the PDF
    // file it went to (empty when it went to the printer) and its number of
    // pages.
    struct Output {
        QString Path;
        int Pages = 0;
    };
    const QList<Output>& Outputs() const { return outputs_; }
    // Layout units per device pixel actually used (after fitting the page).
    double Scale() const { return scale_; }

    // The room the layout needs, in layout units: the footer line at 6700,
    // and the widest texts that can end a row ("Dealer W - Vul. N/S" in the
    // last partnership column, a 13-card holding of the last East hand).
    static constexpr int NeededWidth = 4780;
    static constexpr int NeededHeight = 6760;

  private:
    QFont CurrentFont() const;
    QFontMetricsF Metrics();
    void ApplyFont();
    void RestoreOutput();
    void CloseDocument();
    // A PDF file failed: no PDF file of the job is written.
    void FailFiles(const QString& why);
    // The stop was asked for: drops the job.
    bool StopAsked();

    QPrinter& printer_;
    Prepare prepare_;
    bool join_;
    QPainter painter_;
    double scale_ = 1.0;
    int dpi_ = LayoutDpi;
    int pageWidth_ = 0;
    std::string fontName_ = "MS Sans Serif";
    int fontSize_ = 8;
    FontStyle fontStyle_ = FontStyle::Regular;
    bool fontDirty_ = true;
    int stretch_ = 100;
    QString pdfPath_, tempPath_;
    std::unique_ptr<FileSet> files_; // the PDFs being written, until they are in place
    QList<Output> pending_;          // documents whose PDF files wait for Finish
    bool filesFailed_ = false;
    const std::atomic<bool>* stop_ = nullptr;
    bool stopped_ = false;
    // The printer's own output, put back after writing a PDF file.
    int savedFormat_ = 0;
    QString savedFileName_, savedDocName_;
    QString error_;
    QStringList written_;
    QList<Output> outputs_;
    int pages_ = 0;
};

} // namespace zelv
