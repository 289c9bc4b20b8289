#pragma once
// A PrintCanvas that records every document, page and text it receives,
// with the font in force at each text.
#include "core/layout/PrintCanvas.h"

#include <functional>
#include <string>
#include <vector>

namespace zelv::test {

struct DrawnText {
    int X = 0, Y = 0;
    std::string Text;
    std::string Font;
    int Size = 0;
    FontStyle Style = FontStyle::Regular;
    int Stretch = 100;
    int Width = 0, Height = 0; // the box the text takes, in layout units
};

struct RecordedPage {
    std::vector<DrawnText> Texts;
};

struct RecordedDocument {
    DocumentInfo Info;
    std::vector<RecordedPage> Pages;
    bool Ended = false;
};

class RecordingCanvas : public PrintCanvas {
  public:
    int Width = 4800;
    // When set, only the texts it accepts are kept (for very long runs).
    std::function<bool(const DrawnText&)> Keep;
    // Documents (counted from 0) whose BeginDocument is refused.
    std::vector<int> Refuse;
    std::vector<RecordedDocument> Documents;
    // Calls outside an open document: a layout fault.
    int Stray = 0;

    // A width rule of its own so that a test can work out the centring;
    // wider than any real font, so that long holdings must be narrowed.
    static int WidthOf(const std::string& text, int size, int stretch = 100) {
        int chars = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80) ++chars;
        return (chars * size * 7 * stretch + 99) / 100;
    }
    static int HeightOf(int size) { return size * LayoutDpi * 115 / 7200; }

    bool BeginDocument(const DocumentInfo& info) override {
        int index = asked_++;
        for (int r : Refuse)
            if (r == index) return false;
        if (open_) ++Stray;
        Documents.push_back({info, {RecordedPage{}}, false});
        open_ = true;
        // Starting fonts differ from any the layout uses, so it must set its own.
        font_ = "Courier";
        size_ = 12;
        style_ = FontStyle::Bold;
        stretch_ = 100;
        return true;
    }
    void NewPage() override {
        if (!open_) {
            ++Stray;
            return;
        }
        Documents.back().Pages.emplace_back();
    }
    void EndDocument() override {
        if (!open_)
            ++Stray;
        else
            Documents.back().Ended = true;
        open_ = false;
    }
    int PageWidth() override { return Width; }
    void SetFontName(const std::string& name) override { font_ = name; }
    void SetFontSize(int points) override { size_ = points; }
    void SetFontStyle(FontStyle style) override { style_ = style; }
    int TextWidth(const std::string& text) override { return WidthOf(text, size_, stretch_); }
    int TextHeight() override { return HeightOf(size_); }
    void SetTextStretch(int percent) override { stretch_ = percent; }
    void DrawText(int x, int y, const std::string& text) override {
        if (!open_) {
            ++Stray;
            return;
        }
        DrawnText t{x, y, text, font_, size_, style_, stretch_, WidthOf(text, size_, stretch_), HeightOf(size_)};
        if (!Keep || Keep(t)) Documents.back().Pages.back().Texts.push_back(std::move(t));
    }

  private:
    bool open_ = false;
    int asked_ = 0;
    std::string font_;
    int size_ = 0;
    FontStyle style_ = FontStyle::Regular;
    int stretch_ = 100;
};

} // namespace zelv::test
