#pragma once
// The small drawing interface that board printing writes its pages to. The
// page layout speaks only to this, so a test can record each page and the
// application can paint it on a printer or into a PDF file.
#include <string>

namespace zelv {

enum class FontStyle { Regular, Bold };

// The layout's positions are device units of a 600 dots-per-inch page with
// (0, 0) at the top left of the printable area; font sizes are points.
inline constexpr int LayoutDpi = 600;

// What a document is about, so that the canvas can name its print job or
// propose a file name. Seat is a seat index, or -1 for a document of whole
// deals.
struct DocumentInfo {
    std::string Title;
    int Seat = -1;
};

class PrintCanvas {
  public:
    virtual ~PrintCanvas() = default;

    // Starts a document on its first page. False when no document could be
    // started (the user declined to name a file, the printer refused): the
    // layout then skips that document.
    virtual bool BeginDocument(const DocumentInfo& info) = 0;
    virtual void NewPage() = 0;
    virtual void EndDocument() = 0;
    // Width of the printable page in layout units.
    virtual int PageWidth() = 0;

    virtual void SetFontName(const std::string& name) = 0;
    virtual void SetFontSize(int points) = 0;
    virtual void SetFontStyle(FontStyle style) = 0;
    // Width in layout units of `text` (UTF-8) in the current font and stretch.
    virtual int TextWidth(const std::string& text) = 0;
    // Height in layout units of a line of the current font: its ascent and
    // descent, the room a text takes below the point it is drawn at.
    virtual int TextHeight() = 0;
    // Narrows the texts drawn and measured from now on to `percent` of
    // their natural width; 100, the start of every document, is natural.
    virtual void SetTextStretch(int percent) = 0;
    // Draws `text` (UTF-8) with the top left corner of its first character
    // at (x, y), in black.
    virtual void DrawText(int x, int y, const std::string& text) = 0;
    // The job was stopped: the layout need draw nothing more.
    virtual bool Stopped() const { return false; }
};

} // namespace zelv
