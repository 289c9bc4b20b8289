#include "core/layout/BoardPrinter.h"

#include "core/analysis/AnalysisText.h"
#include "core/cards/Cards.h"
#include "core/formats/Pbn.h"

#include <algorithm>
#include <vector>

namespace zelv {

std::string PagesText(int pages) { return pages == 1 ? "1 page" : std::to_string(pages) + " pages"; }

std::string WrotePagesText(const std::string& name, int pages) { return "Wrote " + name + ", " + PagesText(pages); }

std::string DamagedPrintedText(std::uint64_t damaged) {
    return std::to_string(damaged) + " damaged board record(s) were printed as far as they are sound and marked \"" +
           DamagedMark + "\"";
}

namespace {
constexpr const char* TextFont = "MS Sans Serif";
constexpr const char* SignFont = "Symbol";
} // namespace

std::string ShortName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

BoardPrinter::BoardPrinter(BoardSource& file, PrintCanvas& canvas, std::string shortName)
    : file_(file), canvas_(canvas), shortName_(std::move(shortName)) {}

int BoardPrinter::Print(const PrintRequest& request) {
    if (file_.BoardCount() == 0) return 0;
    if (request.Option == PrintOption::Standard) {
        PrintAllHands();
        return current_ == 0 ? 0 : 1;
    }
    if (request.Option == PrintOption::HandRecords) {
        PrintHandRecords(request.Analysis);
        return current_ == 0 ? 0 : 1;
    }
    int documents = 0;
    for (int seat : {North, South, East, West}) {
        if (!request.Seats[seat]) continue;
        PrintSeatHands(seat);
        if (current_ != 0) ++documents;
    }
    return documents;
}

void BoardPrinter::SetFont(const char* name, int points, FontStyle style) {
    canvas_.SetFontName(name);
    canvas_.SetFontSize(points);
    canvas_.SetFontStyle(style);
    fontSize_ = points;
}

void BoardPrinter::DrawWithin(int x, int y, const std::string& text, int limit) {
    const int room = limit - TextGap - x;
    const int natural = canvas_.TextWidth(text);
    if (natural <= room) {
        canvas_.DrawText(x, y, text);
        return;
    }
    // The positions were made for a narrower font than any we have, so a
    // long holding may not fit its room: narrower letters read better than
    // smaller ones, which come only past the narrowest stretch.
    int stretch = std::max(MinTextStretch, room > 0 ? static_cast<int>(100LL * room / natural) : 0);
    canvas_.SetTextStretch(stretch);
    while (stretch > MinTextStretch && canvas_.TextWidth(text) > room) canvas_.SetTextStretch(--stretch);
    int size = fontSize_;
    while (size > 1 && canvas_.TextWidth(text) > room) canvas_.SetFontSize(--size);
    canvas_.DrawText(x, y, text);
    canvas_.SetTextStretch(100);
    if (size != fontSize_) canvas_.SetFontSize(fontSize_);
}

std::vector<std::string> BoardPrinter::WrapWithin(const std::string& text, int room) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        if (!lines.empty() && canvas_.TextWidth(lines.back() + " " + word) <= room)
            lines.back() += " " + word;
        else if (!word.empty())
            lines.push_back(word);
        at = end + 1;
    }
    return lines;
}

void BoardPrinter::PrintAllHands() {
    current_ = 0;
    title_ = "File: " + shortName_ + " - All Hands.";
    if (!canvas_.BeginDocument({title_, -1})) return;
    // A fresh canvas starts in the text font, regular, which the footer keeps.
    SetFont(TextFont, 8, FontStyle::Regular);
    DrawFooter();
    DrawTitle(title_);
    const std::uint64_t count = file_.BoardCount();
    while (current_ < count && !canvas_.Stopped()) {
        ++current_;
        ReadBoard(current_);
        DrawFullBoard(current_);
        if (current_ % BoardsPerStandardPage == 0 && current_ != count) {
            canvas_.NewPage();
            DrawTitle(title_);
        }
    }
    canvas_.EndDocument();
}

void BoardPrinter::PrintSeatHands(int seat) {
    current_ = 0;
    title_ = "File: " + shortName_ + " - " + " " + SeatNames[seat] + " Hands.";
    if (!canvas_.BeginDocument({title_, seat})) return;
    SetFont(TextFont, 8, FontStyle::Regular);
    DrawTitle(title_);
    DrawFooter();
    const std::uint64_t count = file_.BoardCount();
    while (current_ < count && !canvas_.Stopped()) {
        ++current_;
        ReadBoard(current_);
        DrawSeatBoard(current_, seat);
        if (current_ % BoardsPerSeatPage == 0 && current_ != count) {
            canvas_.NewPage();
            DrawTitle(title_);
        }
    }
    canvas_.EndDocument();
}

void BoardPrinter::PrintHandRecords(const FileAnalysis* analysis) {
    current_ = 0;
    title_ = "File: " + shortName_ + " - Hand Records.";
    if (!canvas_.BeginDocument({title_, -1})) return;
    SetFont(TextFont, 8, FontStyle::Regular);
    DrawFooter();
    DrawTitle(title_);
    const std::uint64_t count = file_.BoardCount();
    while (current_ < count && !canvas_.Stopped()) {
        ++current_;
        ReadBoard(current_);
        const BoardAnalysis* a = nullptr;
        if (!damaged_ && analysis && current_ <= analysis->size() && (*analysis)[current_ - 1])
            a = &*(*analysis)[current_ - 1];
        DrawRecordBoard(current_, a);
        if (current_ % BoardsPerRecordPage == 0 && current_ != count) {
            canvas_.NewPage();
            DrawTitle(title_);
        }
    }
    canvas_.EndDocument();
}

void BoardPrinter::DrawTitle(const std::string& text) {
    SetFont(TextFont, 14, FontStyle::Bold);
    const int width = canvas_.PageWidth();
    const int x = (width - canvas_.TextWidth(text)) / 2;
    // A file code long enough to fill the line is narrowed to the page.
    if (x < 5)
        DrawWithin(5, 20, text, width - 5 + TextGap);
    else
        canvas_.DrawText(x, 20, text);
}

void BoardPrinter::DrawFooter() {
    // Only the size changes: the footer takes the name and style in force.
    canvas_.SetFontSize(3);
    fontSize_ = 3;
    canvas_.DrawText(5, FooterY, ProductLine);
}

std::string BoardPrinter::HoldingText(const std::string& holding) const {
    // A damaged record's missing holding is no void: it stays blank.
    return holding.empty() && !damaged_ ? std::string(VoidMark) : holding;
}

bool BoardPrinter::ReadBoard(std::uint64_t n) {
    const BoardSource::Read result = file_.ReadBoard(n, board_);
    damaged_ = result != BoardSource::Read::Ok;
    if (damaged_) ++damagedBoards_;
    return !damaged_;
}

void BoardPrinter::DrawFullBoard(std::uint64_t n) {
    const std::uint64_t i = (n - 1) % BoardsPerStandardPage;
    const int x = StandardColumns[i % 4];
    const int y = StandardRows[i / 4];
    // The next cell's West suit signs, or the page's edge after the last column.
    const int right = i % 4 < 3 ? StandardColumns[i % 4 + 1] - 70 : canvas_.PageWidth();
    const std::string number = "BOARD " + std::to_string(board_.Number);

    SetFont(TextFont, 8, FontStyle::Bold);
    DrawWithin(x, y - 260, number, right);
    DrawWithin(x, y - 180, DealerVulText(board_.Dealer, board_.Vul), right);
    if (damaged_) {
        int markX = x + canvas_.TextWidth(number + " ");
        canvas_.SetFontStyle(FontStyle::Regular);
        DrawWithin(markX, y - 260, DamagedMark, right);
    }

    // What stands to the right of a West holding depends on the row: the
    // compass letters and the East and South suit signs, wherever their
    // lines share the holding's height.
    SetFont(TextFont, 5, FontStyle::Bold);
    const int letterHeight = canvas_.TextHeight();
    std::vector<Obstacle> obstacles = {{x + 390, y + 480, letterHeight},
                                       {x + 330, y + 540, letterHeight},
                                       {x + 450, y + 540, letterHeight},
                                       {x + 390, y + 600, letterHeight}};
    canvas_.DrawText(x + 390, y + 480, "N");
    canvas_.DrawText(x + 330, y + 540, "W");
    canvas_.DrawText(x + 450, y + 540, "E");
    canvas_.DrawText(x + 390, y + 600, "S");

    SetFont(SignFont, 8, FontStyle::Bold);
    const int signHeight = canvas_.TextHeight();
    for (int s = 0; s < 4; ++s) {
        canvas_.DrawText(x + 300, y - 20 + 100 * s, SuitSigns[s]);
        canvas_.DrawText(x - 70, y + 380 + 100 * s, SuitSigns[s]);
        canvas_.DrawText(x + 550, y + 380 + 100 * s, SuitSigns[s]);
        canvas_.DrawText(x + 300, y + 760 + 100 * s, SuitSigns[s]);
        obstacles.push_back({x + 550, y + 380 + 100 * s, signHeight});
        obstacles.push_back({x + 300, y + 760 + 100 * s, signHeight});
    }

    std::array<std::pair<int, int>, 4> places;
    places[North] = {x + 370, y};
    places[West] = {x, y + 400};
    places[East] = {x + 620, y + 400};
    places[South] = {x + 390, y + 780};
    DrawHoldings(places, obstacles, right);
}

void BoardPrinter::DrawHoldings(const std::array<std::pair<int, int>, 4>& places,
                                const std::vector<Obstacle>& obstacles, int right) {
    SetFont(TextFont, 8, FontStyle::Regular);
    const int lineHeight = canvas_.TextHeight();
    // The first thing to the right of a holding on its line.
    auto limitFor = [&](int left, int top) {
        int limit = right;
        for (const Obstacle& o : obstacles)
            if (o.X > left && o.Top < top + lineHeight && top < o.Top + o.Height) limit = std::min(limit, o.X);
        return limit;
    };
    static constexpr int Order[4] = {North, West, East, South};
    for (int s = 0; s < 4; ++s)
        for (const int seat : Order) {
            const auto [hx, top] = places[seat];
            const int hy = top + 100 * s;
            DrawWithin(hx, hy,
                       HoldingText(board_.Holdings[static_cast<std::size_t>(seat)][static_cast<std::size_t>(s)]),
                       limitFor(hx, hy));
        }
}

void BoardPrinter::DrawSeatBoard(std::uint64_t n, int seat) {
    const std::uint64_t i = (n - 1) % BoardsPerSeatPage;
    const int x = SeatColumns[i % 6];
    const int y = SeatRows[i / 6];
    const int right = i % 6 < 5 ? SeatColumns[i % 6 + 1] : canvas_.PageWidth();

    SetFont(TextFont, 8, FontStyle::Bold);
    DrawWithin(x, y - 260, "BOARD " + std::to_string(board_.Number), right);
    DrawWithin(x, y - 180, DealerVulText(board_.Dealer, board_.Vul), right);

    SetFont(SignFont, 8, FontStyle::Bold);
    for (int s = 0; s < 4; ++s) canvas_.DrawText(x, y - 20 + 100 * s, SuitSigns[s]);

    SetFont(TextFont, 8, FontStyle::Regular);
    const DisplayRow& row = board_.Holdings[static_cast<std::size_t>(seat)];
    for (int s = 0; s < 4; ++s) DrawWithin(x + 80, y + 100 * s, HoldingText(row[static_cast<std::size_t>(s)]), right);
    // The cells of this layout are narrow; the mark goes under the hand,
    // clear of the next row.
    if (damaged_) DrawWithin(x, y + 400, DamagedMark, right);
}

namespace {

// Points of a holding as printed: ace 4, king 3, queen 2, jack 1.
int PointsOf(const DisplayRow& row) {
    int points = 0;
    for (const std::string& suit : row)
        for (char c : suit) points += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return points;
}

// Offsets within a hand-record cell, in layout units.
constexpr int RecordCellWidth = 2300;
constexpr int RecordNorthX = 480, RecordEastX = 900, RecordTableX = 1450;
constexpr int RecordNorthY = 200, RecordSidesY = 620, RecordSouthY = 1040;
// The table's columns: declarer letters, NT, the four suits, points.
constexpr int RecordTableColumns[7] = {0, 110, 250, 360, 470, 580, 690};

} // namespace

void BoardPrinter::DrawRecordBoard(std::uint64_t n, const BoardAnalysis* analysis) {
    const std::uint64_t i = (n - 1) % BoardsPerRecordPage;
    const int x = RecordColumns[i % 2];
    const int y = RecordRows[i / 2];
    const int right = i % 2 == 0 ? RecordColumns[1] : std::min(canvas_.PageWidth(), x + RecordCellWidth + TextGap);
    const int tableX = x + RecordTableX;
    const std::string number = "BOARD " + std::to_string(board_.Number);

    SetFont(TextFont, 8, FontStyle::Bold);
    DrawWithin(x, y, number, tableX);
    DrawWithin(x, y + 80, DealerVulText(board_.Dealer, board_.Vul), tableX);
    if (damaged_) {
        const int markX = x + canvas_.TextWidth(number + " ");
        canvas_.SetFontStyle(FontStyle::Regular);
        DrawWithin(markX, y, DamagedMark, tableX);
    }

    // The compass between the hands, as on the pages of whole deals.
    std::vector<Obstacle> obstacles;
    SetFont(TextFont, 5, FontStyle::Bold);
    const int letterHeight = canvas_.TextHeight();
    const struct {
        int X, Y;
        const char* Letter;
    } compass[4] = {{x + 680, y + 700, "N"}, {x + 600, y + 770, "W"}, {x + 760, y + 770, "E"}, {x + 680, y + 840, "S"}};
    for (const auto& c : compass) {
        canvas_.DrawText(c.X, c.Y, c.Letter);
        obstacles.push_back({c.X, c.Y, letterHeight});
    }

    SetFont(SignFont, 8, FontStyle::Bold);
    const int signHeight = canvas_.TextHeight();
    for (int s = 0; s < 4; ++s) {
        canvas_.DrawText(x + RecordNorthX, y + RecordNorthY + 100 * s, SuitSigns[s]);
        canvas_.DrawText(x, y + RecordSidesY + 100 * s, SuitSigns[s]);
        canvas_.DrawText(x + RecordEastX, y + RecordSidesY + 100 * s, SuitSigns[s]);
        canvas_.DrawText(x + RecordNorthX, y + RecordSouthY + 100 * s, SuitSigns[s]);
        obstacles.push_back({x + RecordEastX, y + RecordSidesY + 100 * s, signHeight});
    }

    std::array<std::pair<int, int>, 4> places;
    places[North] = {x + RecordNorthX + 80, y + RecordNorthY};
    places[West] = {x + 80, y + RecordSidesY};
    places[East] = {x + RecordEastX + 80, y + RecordSidesY};
    places[South] = {x + RecordNorthX + 80, y + RecordSouthY};
    DrawHoldings(places, obstacles, tableX);
    DrawRecordTable(tableX, y + RecordNorthY, analysis, right);
}

void BoardPrinter::DrawRecordTable(int x, int y, const BoardAnalysis* analysis, int right) {
    const int* col = RecordTableColumns;
    // Figures and headings end at their column's right edge, so that "10"
    // and "9" line up by their units and two columns never run together.
    // A column is as wide as "13", or as the closest columns leave room for.
    SetFont(TextFont, 8, FontStyle::Regular);
    int spacing = col[2] - col[1];
    for (int c = 2; c < 6; ++c) spacing = std::min(spacing, col[c + 1] - col[c]);
    const int figure = std::min(canvas_.TextWidth("13"), spacing - TextGap);
    auto edgeOf = [&](int c) { return x + col[c] + figure; };
    // Narrowed only where wider than `room`.
    auto drawRight = [&](int c, int rowY, const std::string& text, int room) {
        const int width = canvas_.TextWidth(text);
        if (width <= room)
            canvas_.DrawText(edgeOf(c) - width, rowY, text);
        else
            DrawWithin(edgeOf(c) - room, rowY, text, edgeOf(c) + TextGap);
    };
    SetFont(TextFont, 8, FontStyle::Bold);
    // A heading may reach back to the column before it (the declarer
    // letters before "NT").
    drawRight(1, y, "NT", edgeOf(1) - (x + canvas_.TextWidth("W") + TextGap));
    DrawWithin(x + col[6], y, "HCP", right);
    SetFont(SignFont, 8, FontStyle::Bold);
    for (int s = 0; s < 4; ++s) drawRight(2 + s, y, SuitSigns[s], col[2 + s] - col[1 + s] - TextGap);
    SetFont(TextFont, 8, FontStyle::Bold);
    const int hcpEdge = std::min(x + col[6] + canvas_.TextWidth("HCP"), right - TextGap);
    static const char* const Letters[4] = {"N", "S", "E", "W"}; // rows by seat index
    for (int seat = 0; seat < 4; ++seat) {
        const int rowY = y + 100 * (seat + 1);
        SetFont(TextFont, 8, FontStyle::Bold);
        DrawWithin(x, rowY, Letters[seat], x + col[1]);
        SetFont(TextFont, 8, FontStyle::Regular);
        if (!damaged_) {
            const std::string points = std::to_string(PointsOf(board_.Holdings[static_cast<std::size_t>(seat)]));
            DrawWithin(std::max(x + col[6], hcpEdge - canvas_.TextWidth(points)), rowY, points, right);
        }
        if (!analysis) continue;
        for (int strain = 0; strain < StrainCount; ++strain)
            drawRight(
                1 + strain, rowY,
                std::to_string(analysis->Tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(strain)]),
                figure);
    }
    const int parY = y + 560;
    if (!analysis) {
        SetFont(TextFont, 8, FontStyle::Regular);
        DrawWithin(x, parY, "Not analysed", right);
        return;
    }
    // "Par +620" over one line a contract: "4♠ by N"; or DDS's reason for
    // having none, over as many lines as it needs.
    const ParResult& par = analysis->Par;
    SetFont(TextFont, 8, FontStyle::Bold);
    DrawWithin(x, parY,
               !par.Error.empty() ? std::string("Par not computed")
               : par.Score > 0    ? "Par +" + std::to_string(par.Score)
                                  : "Par " + std::to_string(par.Score),
               right);
    SetFont(TextFont, 8, FontStyle::Regular);
    std::vector<std::string> lines;
    for (const ParContract& c : par.Contracts)
        lines.push_back(ContractText(c, StrainStyle::Signs) + " by " + c.Declarers);
    if (!par.Error.empty()) lines = WrapWithin(par.Error, right - TextGap - x);
    if (lines.empty()) lines.push_back("passed out");
    // Room for six lines above the next row of boards; the rest share the last.
    constexpr std::size_t MaxLines = 6;
    while (lines.size() > MaxLines) {
        lines[MaxLines - 1] += ", " + lines[MaxLines];
        lines.erase(lines.begin() + MaxLines);
    }
    for (std::size_t k = 0; k < lines.size(); ++k) DrawWithin(x, parY + 100 * static_cast<int>(k + 1), lines[k], right);
}

} // namespace zelv
