#include "viewing/QtPrintCanvas.h"

#include "ui/Fonts.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
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
        ++pages_;
        fontDirty_ = true;
        stretch_ = 100;
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
    savedDocName_ = printer_.docName();
    printer_.setDocName(QString::fromStdString(info.Title));
    stretch_ = 100;
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
    pages_ = 1;
    return true;
}

void QtPrintCanvas::NewPage() {
    if (!painter_.isActive()) return;
    printer_.newPage();
    ++pages_;
}

void QtPrintCanvas::EndDocument() {
    if (join_) return;
    Finish();
}

void QtPrintCanvas::Finish() {
    if (!painter_.isActive()) return;
    painter_.end();
    printer_.setDocName(savedDocName_);
    if (tempPath_.isEmpty()) {
        outputs_.push_back({QString(), pages_});
        return;
    }
    RestoreOutput();
    std::string why;
    if (files_ && files_->Commit(&why)) {
        written_ << pdfPath_;
        outputs_.push_back({pdfPath_, pages_});
    } else if (error_.isEmpty()) {
        error_ = QString::fromStdString(why);
    }
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
    // font that has them; the text face is named, not left to fontconfig.
    QFont font(FamilyFor(QString::fromStdString(fontName_)));
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

QFontMetricsF QtPrintCanvas::Metrics() {
    if (!painter_.isActive()) return QFontMetricsF(CurrentFont());
    ApplyFont();
    return QFontMetricsF(painter_.font(), painter_.device());
}

int QtPrintCanvas::TextWidth(const std::string& text) {
    const qreal natural = Metrics().horizontalAdvance(QString::fromStdString(text));
    return static_cast<int>(std::ceil(natural * stretch_ / 100.0));
}

int QtPrintCanvas::TextHeight() {
    const QFontMetricsF m = Metrics();
    return static_cast<int>(std::ceil(m.ascent() + m.descent()));
}

void QtPrintCanvas::SetTextStretch(int percent) { stretch_ = std::clamp(percent, 1, 100); }

void QtPrintCanvas::DrawText(int x, int y, const std::string& text) {
    if (!painter_.isActive() || text.empty()) return;
    ApplyFont();
    // Placed by the top left of the first character, as the layout says.
    const QPointF at(x, y + painter_.fontMetrics().ascent());
    if (stretch_ == 100) {
        painter_.drawText(at, QString::fromStdString(text));
        return;
    }
    // Narrowed by scaling across only, from the text's own start.
    painter_.save();
    painter_.translate(at);
    painter_.scale(stretch_ / 100.0, 1.0);
    painter_.drawText(QPointF(0, 0), QString::fromStdString(text));
    painter_.restore();
}

} // namespace zelv
