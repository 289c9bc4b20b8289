#pragma once
// The printed pages of a board file: whole deals sixteen to a page, the
// hands of one seat forty-eight to a page, or hand records six to a page
// (each deal with its points, double-dummy tricks and par), each board with
// its number, dealer and vulnerability as the file gives them (a ".DGE"
// file gives none: its record n is board n).
#include "core/analysis/DoubleDummy.h"
#include "core/dealing/DealEngine.h"
#include "core/formats/BoardSource.h"
#include "core/layout/PrintCanvas.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelv {

inline constexpr int StandardColumns[4] = {100, 1250, 2420, 3580};
inline constexpr int StandardRows[4] = {560, 2160, 3760, 5360};
inline constexpr int SeatColumns[6] = {100, 840, 1640, 2440, 3240, 4040};
inline constexpr int SeatRows[8] = {560, 1320, 2080, 2840, 3600, 4360, 5060, 5780};
inline constexpr int BoardsPerStandardPage = 16;
inline constexpr int BoardsPerSeatPage = 48;
inline constexpr int RecordColumns[2] = {100, 2450};
inline constexpr int RecordRows[3] = {300, 2430, 4560};
inline constexpr int BoardsPerRecordPage = 6;
inline constexpr int FooterY = 6700;
// The suit signs, spades to clubs, as UTF-8.
inline constexpr const char* SuitSigns[4] = {"\u2660", "\u2665", "\u2666", "\u2663"};
inline constexpr const char* ProductLine = "Zelvano for Windows";
inline constexpr const char* DamagedMark = "(damaged)";
// What a print made, as its summary says it, in the window and on the
// command line alike: "Wrote <name>, 3 pages" ("1 page").
std::string PagesText(int pages);
std::string WrotePagesText(const std::string& name, int pages);
// "<n> damaged board record(s) were printed as far as they are sound and
// marked "(damaged)"".
std::string DamagedPrintedText(std::uint64_t damaged);
// What stands for a void beside its suit sign, on paper and on screen: an em
// dash, as UTF-8.
inline constexpr const char* VoidMark = "\u2014";
// Clear room, in layout units, between a text and the next one to its right.
inline constexpr int TextGap = 20;
// A text too wide for its room is narrowed down to this share of its width
// (in percent) before it is set smaller.
inline constexpr int MinTextStretch = 60;

// The file name without its folder, cut before its first "."; a name
// without any "." gives an empty short name.
std::string ShortName(const std::string& path);

enum class PrintOption { Standard = 0, Partnership = 1, HandRecords = 2 };

// By the file's board positions (1 to BoardCount() at [0] on): the analysis
// of each board, none where it was not analysed.
using FileAnalysis = std::vector<std::optional<BoardAnalysis>>;

struct PrintRequest {
    PrintOption Option = PrintOption::Standard;
    std::array<bool, 4> Seats{}; // by seat index: North, South, East, West
    // Hand records: the analysis of the file's boards (not owned).
    const FileAnalysis* Analysis = nullptr;
};

class BoardPrinter {
  public:
    // `file` must be open; both must outlive the printer.
    BoardPrinter(BoardSource& file, PrintCanvas& canvas, std::string shortName);

    // Prints every board of the file: one standard document, or one
    // document per ticked seat in the order North, South, East, West.
    // A file without a whole board starts no document. Returns the number
    // of documents printed.
    int Print(const PrintRequest& request);

    void PrintAllHands();
    void PrintSeatHands(int seat);
    void PrintHandRecords(const FileAnalysis* analysis);
    void DrawTitle(const std::string& text);
    void DrawFooter();
    // The board last read, in the place of the n-th board of the document.
    void DrawFullBoard(std::uint64_t n);
    void DrawSeatBoard(std::uint64_t n, int seat);
    // The board last read as a hand record, with its analysis when it has one.
    void DrawRecordBoard(std::uint64_t n, const BoardAnalysis* analysis);
    // The n-th board of the file into Holdings(); false when the record is
    // damaged or could not be read (they then hold what was sound).
    bool ReadBoard(std::uint64_t n);
    const DisplayTable& Holdings() const { return board_.Holdings; }

    // Boards printed from damaged or unreadable records, over all documents.
    std::uint64_t DamagedBoards() const { return damagedBoards_; }
    std::uint64_t CurrentBoard() const { return current_; }

  private:
    void SetFont(const char* name, int points, FontStyle style);
    // Draws `text` so that it ends at least TextGap before `limit`: as it
    // is when it fits, else narrowed, and only then set smaller.
    void DrawWithin(int x, int y, const std::string& text, int limit);
    // `text` in lines of whole words, each as wide as `room` at most in the
    // current font (a word wider than that on a line of its own).
    std::vector<std::string> WrapWithin(const std::string& text, int room);
    // Something a holding must end before when it shares the holding's line.
    struct Obstacle {
        int X, Top, Height;
    };
    // The four hands' holdings, a suit a line from each seat's place
    // (indexed by seat), each narrowed to end before the first obstacle to
    // its right on its line, or before `right`.
    void DrawHoldings(const std::array<std::pair<int, int>, 4>& places, const std::vector<Obstacle>& obstacles,
                      int right);
    // A holding as printed: a void as VoidMark.
    std::string HoldingText(const std::string& holding) const;
    // A hand record's table of tricks with the hands' points, and its par.
    void DrawRecordTable(int x, int y, const BoardAnalysis* analysis, int right);

    BoardSource& file_;
    PrintCanvas& canvas_;
    BoardSource::Shown board_;
    std::string shortName_;
    std::string title_;
    std::uint64_t current_ = 0;
    int fontSize_ = 0;
    bool damaged_ = false;
    std::uint64_t damagedBoards_ = 0;
};

} // namespace zelv
