#include "print/QtPrintCanvas.h"

#include "core/files/FileUtil.h"
#include "print/Fonts.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace zelv {

namespace {

// Why the PDF file at `path` is not whole, or empty when it is: it ends in
// its trailer, and the cross-reference table the trailer points at starts
// where it says. Qt does not report a write that failed, so a full disk
// shows only here.
bool PdfWhole(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() < 64) return false;
    const qint64 size = file.size();
    file.seek(std::max<qint64>(0, size - 1024));
    const QByteArray tail = file.readAll().trimmed();
    const qsizetype at = tail.lastIndexOf("startxref");
    if (!tail.endsWith("%%EOF") || at < 0) return false;
    bool number = false;
    const qint64 xref = tail.mid(at + 9, tail.size() - 5 - at - 9).trimmed().toLongLong(&number);
    if (!number || xref <= 0 || xref >= size) return false;
    file.seek(xref);
    return file.read(4) == "xref";
}

// Why a file came out short: more written to its end meets the failure
// that cut it (a full disk, a file-size limit), which Qt kept to itself.
std::string WhyCutShort(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return SystemReason(errno);
    const std::string block(1 << 16, '\0');
    int err = 0;
    for (int i = 0; i < 64 && err == 0; ++i) err = WriteFully(fd, block);
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    ::close(fd);
    return err ? SystemReason(err) : "the file was cut short";
}

} // namespace

QtPrintCanvas::QtPrintCanvas(QPrinter& printer, Prepare prepare, bool joinDocuments)
    : printer_(printer), prepare_(std::move(prepare)), join_(joinDocuments) {}

QtPrintCanvas::~QtPrintCanvas() { Finish(); }

bool QtPrintCanvas::BeginDocument(const DocumentInfo& info) {
    if (StopAsked()) return false;
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
        // Written beside the file it replaces and moved there when the whole
        // job is done, so a failed print never spoils a good file of that name.
        if (filesFailed_) return false;
        if (!files_) files_ = std::make_unique<FileSet>();
        std::string why;
        tempPath_ = QString::fromStdString(files_->CreateNamed(pdfPath_.toStdString(), &why));
        if (tempPath_.isEmpty()) {
            FailFiles(QString::fromStdString(why));
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
            tempPath_.clear();
            RestoreOutput();
            FailFiles(error_);
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
    if (!painter_.isActive() || StopAsked()) return;
    printer_.newPage();
    ++pages_;
}

void QtPrintCanvas::EndDocument() {
    if (join_) return;
    CloseDocument();
}

void QtPrintCanvas::CloseDocument() {
    if (!painter_.isActive()) return;
    const bool ended = painter_.end();
    printer_.setDocName(savedDocName_);
    if (tempPath_.isEmpty()) {
        outputs_.push_back({QString(), pages_});
        return;
    }
    RestoreOutput();
    const std::string temp = tempPath_.toStdString();
    tempPath_.clear();
    if (ended && PdfWhole(temp))
        pending_.push_back({pdfPath_, pages_});
    else
        FailFiles(QString::fromStdString(UnableToWrite(pdfPath_.toStdString(), WhyCutShort(temp))));
}

void QtPrintCanvas::Finish() {
    CloseDocument();
    if (!files_) return;
    std::string why;
    if (files_->Commit(&why)) {
        for (const Output& out : pending_) {
            written_ << out.Path;
            outputs_.push_back(out);
        }
    } else if (error_.isEmpty()) {
        error_ = QString::fromStdString(why);
    }
    files_.reset();
    pending_.clear();
}

void QtPrintCanvas::FailFiles(const QString& why) {
    if (error_.isEmpty()) error_ = why;
    filesFailed_ = true;
    files_.reset();
    pending_.clear();
}

bool QtPrintCanvas::StopAsked() {
    if (stopped_) return true;
    if (!stop_ || !stop_->load()) return false;
    stopped_ = true;
    if (painter_.isActive()) painter_.end();
    if (!tempPath_.isEmpty()) {
        tempPath_.clear();
        RestoreOutput();
    }
    files_.reset();
    pending_.clear();
    return true;
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
