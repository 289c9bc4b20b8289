#include "viewing/QtPrintCanvas.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zelv {

QtPrintCanvas::QtPrintCanvas(QPrinter& printer, Prepare prepare, bool joinDocuments)
    : printer_(printer), prepare_(std::move(prepare)), join_(joinDocuments) {}

QtPrintCanvas::~QtPrintCanvas() { Finish(); }

bool QtPrintCanvas::BeginDocument(const DocumentInfo& info) {
    if (join_ && painter_.isActive()) {
        printer_.newPage();
        fontDirty_ = true;
        return true;
    }
    pdfPath_.clear();
    tempPath_.clear();
    if (prepare_) {
        std::optional<QString> target = prepare_(info);
        if (!target) return false;
        pdfPath_ = *target;
    }
    if (!pdfPath_.isEmpty()) {
        // Written beside the file it replaces and moved there when complete,
        // so a failed print never spoils a good file of that name.
        files_ = std::make_unique<tFileSet>();
        std::string why;
        tempPath_ = QString::fromStdString(files_->CreateNamed(pdfPath_.toStdString(), &why));
        if (tempPath_.isEmpty()) {
            if (error_.isEmpty()) error_ = QString::fromStdString(why);
            files_.reset();
            return false;
        }
        savedFormat_ = printer_.outputFormat();
        savedFileName_ = printer_.outputFileName();
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(tempPath_);
    }
    printer_.setDocName(QString::fromStdString(info.Title));
    printer_.setResolution(dpi_);
    if (!painter_.begin(&printer_)) {
        if (error_.isEmpty())
            error_ = pdfPath_.isEmpty() ? QStringLiteral("Unable to print on %1").arg(printer_.printerName())
                                        : QStringLiteral("Unable to write to %1").arg(pdfPath_);
        if (!tempPath_.isEmpty()) {
            files_.reset();
            tempPath_.clear();
            RestoreOutput();
        }
        return false;
    }
    // The layout is drawn in 600 dpi units; other resolutions scale, and a
    // page too small for it (Letter) shrinks it whole.
    const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    const double unit = printer_.resolution() / double(LayoutDpi);
    const double fit = std::min({1.0, page.width() / (unit * NeededWidth), page.height() / (unit * NeededHeight)});
    scale_ = unit * fit;
    painter_.scale(scale_, scale_);
    pageWidth_ = static_cast<int>(std::floor(page.width() / scale_));
    painter_.setPen(Qt::black);
    fontDirty_ = true;
    return true;
}

void QtPrintCanvas::NewPage() {
    if (painter_.isActive()) printer_.newPage();
}

void QtPrintCanvas::EndDocument() {
    if (join_) return;
    Finish();
}

void QtPrintCanvas::Finish() {
    if (!painter_.isActive()) return;
    painter_.end();
    if (tempPath_.isEmpty()) return;
    RestoreOutput();
    std::string why;
    if (files_ && files_->Commit(&why))
        written_ << pdfPath_;
    else if (error_.isEmpty())
        error_ = QString::fromStdString(why);
    files_.reset();
    tempPath_.clear();
}

void QtPrintCanvas::RestoreOutput() {
    printer_.setOutputFileName(savedFileName_);
    printer_.setOutputFormat(static_cast<QPrinter::OutputFormat>(savedFormat_));
}

int QtPrintCanvas::PageWidth() { return pageWidth_; }

void QtPrintCanvas::SetFontName(const std::string& name) {
    if (name != fontName_) fontDirty_ = true;
    fontName_ = name;
}

void QtPrintCanvas::SetFontSize(int points) {
    if (points != fontSize_) fontDirty_ = true;
    fontSize_ = points;
}

void QtPrintCanvas::SetFontStyle(FontStyle style) {
    if (style != fontStyle_) fontDirty_ = true;
    fontStyle_ = style;
}

QFont QtPrintCanvas::CurrentFont() const {
    // "Symbol" stands for the suit signs, which we draw as Unicode from a
    // font that has them; other names are left to fontconfig.
    QFont font(fontName_ == "Symbol" ? QStringLiteral("DejaVu Sans") : QString::fromStdString(fontName_));
    font.setStyleHint(QFont::SansSerif);
    // Sized in layout units, so that the painter's scale sizes it with the page.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(fontSize_ * LayoutDpi / 72.0))));
    font.setBold(fontStyle_ == FontStyle::Bold);
    return font;
}

void QtPrintCanvas::ApplyFont() {
    if (!fontDirty_) return;
    painter_.setFont(CurrentFont());
    fontDirty_ = false;
}

int QtPrintCanvas::TextWidth(const std::string& text) {
    if (!painter_.isActive()) return QFontMetrics(CurrentFont()).horizontalAdvance(QString::fromStdString(text));
    ApplyFont();
    return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

void QtPrintCanvas::DrawText(int x, int y, const std::string& text) {
    if (!painter_.isActive() || text.empty()) return;
    ApplyFont();
    // Placed by the top left of the first character, as the layout says.
    painter_.drawText(QPointF(x, y + painter_.fontMetrics().ascent()), QString::fromStdString(text));
}

} // namespace zelv
