#include "viewing/PrintLayout.h"

#include "engine/Cards.h"
#include "formats/Pbn.h"

#include <algorithm>
#include <vector>

namespace zelv {

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

tBoardPrinter::tBoardPrinter(BoardSource& file, PrintCanvas& canvas, std::string shortName)
    : file_(file), canvas_(canvas), shortName_(std::move(shortName)) {}

int tBoardPrinter::Print(const PrintRequest& request) {
    if (file_.BoardCount() == 0) return 0;
    if (request.Option == PrintOption::Standard) {
        PrintAllHands();
        return current_ == 0 ? 0 : 1;
    }
    int documents = 0;
    for (int seat : {North, South, East, West}) {
        if (!request.Seats[static_cast<std::size_t>(seat)]) continue;
        PrintSeatHands(seat);
        if (current_ != 0) ++documents;
    }
    return documents;
}

void tBoardPrinter::SetFont(const char* name, int points, FontStyle style) {
    canvas_.SetFontName(name);
    canvas_.SetFontSize(points);
    canvas_.SetFontStyle(style);
    fontSize_ = points;
}

void tBoardPrinter::DrawWithin(int x, int y, const std::string& text, int limit) {
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

void tBoardPrinter::PrintAllHands() {
    current_ = 0;
    title_ = "File: " + shortName_ + " - All Hands.";
    if (!canvas_.BeginDocument({title_, -1})) return;
    // A fresh canvas starts in the text font, regular, which the footer keeps.
    SetFont(TextFont, 8, FontStyle::Regular);
    DrawFooter();
    DrawTitle(title_);
    const std::uint64_t count = file_.BoardCount();
    while (current_ < count) {
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

void tBoardPrinter::PrintSeatHands(int seat) {
    current_ = 0;
    title_ = "File: " + shortName_ + " - " + " " + SeatNames[static_cast<std::size_t>(seat)] + " Hands.";
    if (!canvas_.BeginDocument({title_, seat})) return;
    SetFont(TextFont, 8, FontStyle::Regular);
    DrawTitle(title_);
    DrawFooter();
    const std::uint64_t count = file_.BoardCount();
    while (current_ < count) {
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

void tBoardPrinter::DrawTitle(const std::string& text) {
    SetFont(TextFont, 14, FontStyle::Bold);
    const int width = canvas_.PageWidth();
    const int x = (width - canvas_.TextWidth(text)) / 2;
    // A file code long enough to fill the line is narrowed to the page.
    if (x < 5)
        DrawWithin(5, 20, text, width - 5 + TextGap);
    else
        canvas_.DrawText(x, 20, text);
}

void tBoardPrinter::DrawFooter() {
    // Only the size changes: the footer takes the name and style in force.
    canvas_.SetFontSize(3);
    fontSize_ = 3;
    canvas_.DrawText(5, FooterY, ProductLine);
}

bool tBoardPrinter::ReadBoard(std::uint64_t n) {
    const BoardSource::Read result = file_.ReadBoard(n, board_);
    damaged_ = result != BoardSource::Read::Ok;
    if (damaged_) ++damagedBoards_;
    return !damaged_;
}

void tBoardPrinter::DrawFullBoard(std::uint64_t n) {
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
    struct Obstacle {
        int X, Top, Height;
    };
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

    SetFont(TextFont, 8, FontStyle::Regular);
    const int lineHeight = canvas_.TextHeight();
    // The first thing to the right of a holding on its line.
    auto limitFor = [&](int left, int top) {
        int limit = right;
        for (const Obstacle& o : obstacles)
            if (o.X > left && o.Top < top + lineHeight && top < o.Top + o.Height) limit = std::min(limit, o.X);
        return limit;
    };
    const DisplayTable& d = board_.Holdings;
    for (int s = 0; s < 4; ++s) {
        const auto suit = static_cast<std::size_t>(s);
        const struct {
            int Seat, X, Y;
        } holdings[4] = {{North, x + 370, y + 100 * s},
                         {West, x, y + 400 + 100 * s},
                         {East, x + 620, y + 400 + 100 * s},
                         {South, x + 390, y + 780 + 100 * s}};
        for (const auto& h : holdings)
            DrawWithin(h.X, h.Y, d[static_cast<std::size_t>(h.Seat)][suit], limitFor(h.X, h.Y));
    }
}

void tBoardPrinter::DrawSeatBoard(std::uint64_t n, int seat) {
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
    for (int s = 0; s < 4; ++s) DrawWithin(x + 80, y + 100 * s, row[static_cast<std::size_t>(s)], right);
    // The cells of this layout are narrow; the mark goes under the hand,
    // clear of the next row.
    if (damaged_) DrawWithin(x, y + 400, DamagedMark, right);
}

} // namespace zelv
