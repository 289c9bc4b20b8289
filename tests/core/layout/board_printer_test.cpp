#include "core/formats/BoardSource.h"
#include "core/layout/BoardPrinter.h"
#include "support/BoardFiles.h"
#include "support/RecordingCanvas.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace zelv;
using namespace zelv::test;

namespace {

const char* Sans = "MS Sans Serif";
const char* Sym = "Symbol";
const std::string Spade = "\u2660", Heart = "\u2665", Diamond = "\u2666", Club = "\u2663";
const std::string Signs[4] = {Spade, Heart, Diamond, Club};

// The page geometry, written out again here so that the layout is checked
// against the table rather than against itself.
const int StdX[4] = {100, 1250, 2420, 3580};
const int StdY[4] = {560, 2160, 3760, 5360};
const int SeatX[6] = {100, 840, 1640, 2440, 3240, 4040};
const int SeatY[8] = {560, 1320, 2080, 2840, 3600, 4360, 5060, 5780};
const int RecX[2] = {100, 2450};
const int RecY[3] = {300, 2430, 4560};

int Points(const DisplayRow& row) {
    int p = 0;
    for (const std::string& suit : row)
        for (char c : suit) p += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return p;
}

// The widest analysis there is: two-digit tricks everywhere, a five-figure
// score and ten sacrifices, more than the lines under the table hold.
BoardAnalysis WidestAnalysis() {
    BoardAnalysis a;
    for (auto& row : a.Tricks) row.fill(13);
    a.Par.Score = -7600;
    for (int k = 0; k < 10; ++k) a.Par.Contracts.push_back({7, k % 5, true, "NS", -13});
    return a;
}

struct Printed {
    TempDir dir;
    std::string path;
    BoardSource file;
    RecordingCanvas canvas;
    std::optional<BoardPrinter> printer;

    explicit Printed(std::uint64_t boards, const std::string& name = "SET.DGE", const std::string& tail = {}) {
        path = dir.file(name);
        WriteBoardFile(path, boards, tail);
        open();
    }
    void open() {
        std::string error;
        if (!file.Open(path, &error)) throw std::runtime_error(error);
        printer.emplace(file, canvas, ShortName(path));
    }
    int print(PrintOption option, std::array<bool, 4> seats = {}) {
        return printer->Print(PrintRequest{option, seats});
    }
};

bool Has(const RecordedPage& page, const DrawnText& want) {
    for (const DrawnText& t : page.Texts)
        if (t.X == want.X && t.Y == want.Y && t.Text == want.Text && t.Font == want.Font && t.Size == want.Size &&
            t.Style == want.Style)
            return true;
    return false;
}

// Every text of the page that starts with "BOARD ", as number -> position.
std::map<int, std::pair<int, int>> BoardLabels(const RecordedPage& page) {
    std::map<int, std::pair<int, int>> out;
    for (const DrawnText& t : page.Texts)
        if (t.Text.rfind("BOARD ", 0) == 0) out[std::stoi(t.Text.substr(6))] = {t.X, t.Y};
    return out;
}

std::vector<std::string> TextsAt(const RecordedPage& page, int x, int y) {
    std::vector<std::string> out;
    for (const DrawnText& t : page.Texts)
        if (t.X == x && t.Y == y) out.push_back(t.Text);
    return out;
}

// A holding as the pages print it: a void as a dash.
std::string AsPrinted(const std::string& holding) { return holding.empty() ? VoidMark : holding; }

// The texts of the page on line `y` whose right edge is `right`.
std::vector<std::string> TextsEndingAt(const RecordedPage& page, int right, int y) {
    std::vector<std::string> out;
    for (const DrawnText& t : page.Texts)
        if (t.X + t.Width == right && t.Y == y) out.push_back(t.Text);
    return out;
}

void ExpectFullBoard(const RecordedPage& page, int n, int x, int y, const DisplayTable& d, const std::string& dv) {
    SCOPED_TRACE("board " + std::to_string(n));
    EXPECT_TRUE(Has(page, {x, y - 260, "BOARD " + std::to_string(n), Sans, 8, FontStyle::Bold}));
    EXPECT_TRUE(Has(page, {x, y - 180, dv, Sans, 8, FontStyle::Bold}));
    EXPECT_TRUE(Has(page, {x + 390, y + 480, "N", Sans, 5, FontStyle::Bold}));
    EXPECT_TRUE(Has(page, {x + 330, y + 540, "W", Sans, 5, FontStyle::Bold}));
    EXPECT_TRUE(Has(page, {x + 450, y + 540, "E", Sans, 5, FontStyle::Bold}));
    EXPECT_TRUE(Has(page, {x + 390, y + 600, "S", Sans, 5, FontStyle::Bold}));
    for (int s = 0; s < 4; ++s) {
        SCOPED_TRACE("suit " + std::to_string(s));
        EXPECT_TRUE(Has(page, {x + 300, y - 20 + 100 * s, Signs[s], Sym, 8, FontStyle::Bold}));
        EXPECT_TRUE(Has(page, {x - 70, y + 380 + 100 * s, Signs[s], Sym, 8, FontStyle::Bold}));
        EXPECT_TRUE(Has(page, {x + 550, y + 380 + 100 * s, Signs[s], Sym, 8, FontStyle::Bold}));
        EXPECT_TRUE(Has(page, {x + 300, y + 760 + 100 * s, Signs[s], Sym, 8, FontStyle::Bold}));
        EXPECT_TRUE(Has(page, {x + 370, y + 100 * s, AsPrinted(d[North][s]), Sans, 8, FontStyle::Regular}));
        EXPECT_TRUE(Has(page, {x, y + 400 + 100 * s, AsPrinted(d[West][s]), Sans, 8, FontStyle::Regular}));
        EXPECT_TRUE(Has(page, {x + 620, y + 400 + 100 * s, AsPrinted(d[East][s]), Sans, 8, FontStyle::Regular}));
        EXPECT_TRUE(Has(page, {x + 390, y + 780 + 100 * s, AsPrinted(d[South][s]), Sans, 8, FontStyle::Regular}));
    }
}

void ExpectTitle(const RecordedPage& page, const std::string& title, int width = 4800) {
    int x = (width - RecordingCanvas::WidthOf(title, 14)) / 2;
    EXPECT_TRUE(Has(page, {x, 20, title, Sans, 14, FontStyle::Bold})) << title;
}

int Count(const RecordedPage& page, const std::string& text) {
    int n = 0;
    for (const DrawnText& t : page.Texts) n += t.Text == text;
    return n;
}

} // namespace

TEST(PrintLayout, ShortName_cutsFolderAndEverythingFromTheFirstDot) {
    EXPECT_EQ(ShortName("/home/u/Hands/ZELV.DGE"), "ZELV");
    EXPECT_EQ(ShortName("/a.b/set.1.DGE"), "set");
    EXPECT_EQ(ShortName("ZELV.DGE"), "ZELV");
    EXPECT_EQ(ShortName("/home/u/Hands/ZELV"), "");
    EXPECT_EQ(ShortName("/a.b/.hidden"), "");
}

TEST(PrintLayout, StandardFullPage_positionsFontsAndTexts) {
    Printed p(16);
    EXPECT_EQ(p.print(PrintOption::Standard), 1);
    ASSERT_EQ(p.canvas.Documents.size(), 1u);
    const RecordedDocument& doc = p.canvas.Documents[0];
    EXPECT_TRUE(doc.Ended);
    EXPECT_EQ(doc.Info.Seat, -1);
    EXPECT_EQ(doc.Info.Title, "File: SET - All Hands.");
    ASSERT_EQ(doc.Pages.size(), 1u);
    const RecordedPage& page = doc.Pages[0];

    // The footer is the first thing drawn, in the text font, regular.
    ASSERT_FALSE(page.Texts.empty());
    const DrawnText& footer = page.Texts[0];
    EXPECT_EQ(footer.X, 5);
    EXPECT_EQ(footer.Y, 6700);
    EXPECT_EQ(footer.Text, "Zelvano for Windows");
    EXPECT_EQ(footer.Font, Sans);
    EXPECT_EQ(footer.Size, 3);
    EXPECT_EQ(footer.Style, FontStyle::Regular);
    ExpectTitle(page, "File: SET - All Hands.");

    const std::string dv[16] = {
        "Dealer N - Vul. Nil", "Dealer E - Vul. N/S", "Dealer S - Vul. E/W", "Dealer W - Vul. All",
        "Dealer N - Vul. N/S", "Dealer E - Vul. E/W", "Dealer S - Vul. All", "Dealer W - Vul. Nil",
        "Dealer N - Vul. E/W", "Dealer E - Vul. All", "Dealer S - Vul. Nil", "Dealer W - Vul. N/S",
        "Dealer N - Vul. All", "Dealer E - Vul. Nil", "Dealer S - Vul. N/S", "Dealer W - Vul. E/W"};
    for (int n = 1; n <= 16; ++n)
        ExpectFullBoard(page, n, StdX[(n - 1) % 4], StdY[(n - 1) / 4], DealNumber(n), dv[n - 1]);
    // Footer, title, and 2 + 4 + 16 + 16 texts a board: nothing else.
    EXPECT_EQ(page.Texts.size(), 2u + 16u * 38u);
    EXPECT_EQ(p.canvas.Stray, 0);
}

TEST(PrintLayout, Standard17Boards_secondPageHoldsBoard17AloneWithTitleButNoFooter) {
    Printed p(17);
    p.print(PrintOption::Standard);
    ASSERT_EQ(p.canvas.Documents.size(), 1u);
    const auto& pages = p.canvas.Documents[0].Pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(BoardLabels(pages[0]).size(), 16u);
    auto second = BoardLabels(pages[1]);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second.begin()->first, 17);
    ExpectFullBoard(pages[1], 17, 100, 560, DealNumber(17), "Dealer N - Vul. Nil");
    ExpectTitle(pages[1], "File: SET - All Hands.");
    EXPECT_EQ(Count(pages[0], "Zelvano for Windows"), 1);
    EXPECT_EQ(Count(pages[1], "Zelvano for Windows"), 0);
}

TEST(PrintLayout, PageBreaks_neverLeaveAnEmptyLastPage) {
    struct Case {
        std::uint64_t boards;
        PrintOption option;
        std::size_t pages;
    };
    for (Case c : {Case{1, PrintOption::Standard, 1}, Case{16, PrintOption::Standard, 1},
                   Case{32, PrintOption::Standard, 2}, Case{33, PrintOption::Standard, 3},
                   Case{1, PrintOption::Partnership, 1}, Case{48, PrintOption::Partnership, 1},
                   Case{49, PrintOption::Partnership, 2}, Case{96, PrintOption::Partnership, 2}}) {
        SCOPED_TRACE(std::to_string(c.boards) + " boards");
        Printed p(c.boards);
        p.print(c.option, {true, false, false, false});
        ASSERT_EQ(p.canvas.Documents.size(), 1u);
        const auto& pages = p.canvas.Documents[0].Pages;
        EXPECT_EQ(pages.size(), c.pages);
        for (const RecordedPage& page : pages) EXPECT_FALSE(BoardLabels(page).empty());
    }
}

TEST(PrintLayout, Partnership48And49_cellsFillRowsOfSixAndTheFooterFollowsTheTitleInBold) {
    Printed p(49);
    EXPECT_EQ(p.print(PrintOption::Partnership, {false, false, true, false}), 1);
    ASSERT_EQ(p.canvas.Documents.size(), 1u);
    const RecordedDocument& doc = p.canvas.Documents[0];
    EXPECT_EQ(doc.Info.Seat, East);
    ASSERT_EQ(doc.Pages.size(), 2u);
    const RecordedPage& first = doc.Pages[0];
    const std::string title = "File: SET -  East Hands.";
    ExpectTitle(first, title);
    ExpectTitle(doc.Pages[1], title);
    // Title first, footer second, in the title's bold.
    ASSERT_GE(first.Texts.size(), 2u);
    EXPECT_EQ(first.Texts[0].Text, title);
    EXPECT_EQ(first.Texts[1].Text, "Zelvano for Windows");
    EXPECT_EQ(first.Texts[1].X, 5);
    EXPECT_EQ(first.Texts[1].Y, 6700);
    EXPECT_EQ(first.Texts[1].Font, Sans);
    EXPECT_EQ(first.Texts[1].Size, 3);
    EXPECT_EQ(first.Texts[1].Style, FontStyle::Bold);
    EXPECT_EQ(Count(doc.Pages[1], "Zelvano for Windows"), 0);

    for (int n = 1; n <= 48; ++n) {
        SCOPED_TRACE("board " + std::to_string(n));
        int x = SeatX[(n - 1) % 6], y = SeatY[(n - 1) / 6];
        const DisplayTable d = DealNumber(n);
        EXPECT_TRUE(Has(first, {x, y - 260, "BOARD " + std::to_string(n), Sans, 8, FontStyle::Bold}));
        for (int s = 0; s < 4; ++s) {
            EXPECT_TRUE(Has(first, {x, y - 20 + 100 * s, Signs[s], Sym, 8, FontStyle::Bold}));
            EXPECT_TRUE(Has(first, {x + 80, y + 100 * s, AsPrinted(d[East][s]), Sans, 8, FontStyle::Regular}));
        }
    }
    EXPECT_EQ(first.Texts.size(), 2u + 48u * 10u);
    auto second = BoardLabels(doc.Pages[1]);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second.at(49), std::make_pair(100, 300));
    EXPECT_TRUE(Has(doc.Pages[1], {100, 380, "Dealer N - Vul. Nil", Sans, 8, FontStyle::Bold}));
}

TEST(PrintLayout, TwoSeats_giveTwoDocumentsNorthFirstEachWithEveryBoard) {
    Printed p(20);
    EXPECT_EQ(p.print(PrintOption::Partnership, {true, true, false, false}), 2);
    ASSERT_EQ(p.canvas.Documents.size(), 2u);
    EXPECT_EQ(p.canvas.Documents[0].Info.Seat, North);
    EXPECT_EQ(p.canvas.Documents[1].Info.Seat, South);
    EXPECT_EQ(p.canvas.Documents[0].Info.Title, "File: SET -  North Hands.");
    EXPECT_EQ(p.canvas.Documents[1].Info.Title, "File: SET -  South Hands.");
    for (int doc = 0; doc < 2; ++doc) {
        const RecordedDocument& d = p.canvas.Documents[static_cast<std::size_t>(doc)];
        EXPECT_TRUE(d.Ended);
        ASSERT_EQ(d.Pages.size(), 1u);
        EXPECT_EQ(BoardLabels(d.Pages[0]).size(), 20u);
        EXPECT_EQ(Count(d.Pages[0], "Zelvano for Windows"), 1);
        int seat = doc == 0 ? North : South;
        for (int n = 1; n <= 20; ++n) {
            int x = SeatX[(n - 1) % 6], y = SeatY[(n - 1) / 6];
            EXPECT_EQ(TextsAt(d.Pages[0], x + 80, y), std::vector<std::string>{AsPrinted(DealNumber(n)[seat][0])});
        }
    }
    EXPECT_EQ(p.canvas.Stray, 0);
}

TEST(PrintLayout, SeatTicks_standardIgnoresThemAndPartnershipWithoutTicksPrintsNothing) {
    Printed p(5);
    EXPECT_EQ(p.print(PrintOption::Standard, {true, true, true, true}), 1);
    EXPECT_EQ(p.canvas.Documents.size(), 1u);
    Printed q(5);
    EXPECT_EQ(q.print(PrintOption::Partnership, {false, false, false, false}), 0);
    EXPECT_TRUE(q.canvas.Documents.empty());
    Printed all(3);
    EXPECT_EQ(all.print(PrintOption::Partnership, {true, true, true, true}), 4);
    ASSERT_EQ(all.canvas.Documents.size(), 4u);
    const int order[4] = {North, South, East, West};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(all.canvas.Documents[static_cast<std::size_t>(i)].Info.Seat, order[i]);
}

TEST(PrintLayout, FileWithoutDot_givesEmptyShortNameInTheTitle) {
    Printed p(2, "ZELV");
    p.print(PrintOption::Standard);
    ASSERT_EQ(p.canvas.Documents.size(), 1u);
    ExpectTitle(p.canvas.Documents[0].Pages[0], "File:  - All Hands.");
    Printed q(2, "BOARDS");
    q.print(PrintOption::Partnership, {false, false, false, true});
    ASSERT_EQ(q.canvas.Documents.size(), 1u);
    ExpectTitle(q.canvas.Documents[0].Pages[0], "File:  -  West Hands.");
}

TEST(PrintLayout, DealerAndVulnerability_followTheBoardNumber) {
    Printed p(17);
    p.print(PrintOption::Standard);
    const auto& pages = p.canvas.Documents.at(0).Pages;
    // Board 4: row 0, column 3; board 16: row 3, column 3; board 17 on page 2.
    EXPECT_EQ(TextsAt(pages.at(0), 3580, 560 - 180), std::vector<std::string>{"Dealer W - Vul. All"});
    EXPECT_EQ(TextsAt(pages.at(0), 3580, 5360 - 180), std::vector<std::string>{"Dealer W - Vul. E/W"});
    EXPECT_EQ(TextsAt(pages.at(1), 100, 560 - 180), std::vector<std::string>{"Dealer N - Vul. Nil"});

    Printed q(17);
    q.print(PrintOption::Partnership, {true, false, false, false});
    const RecordedPage& page = q.canvas.Documents.at(0).Pages.at(0);
    EXPECT_EQ(TextsAt(page, 2440, 560 - 180), std::vector<std::string>{"Dealer W - Vul. All"});
    EXPECT_EQ(TextsAt(page, 2440, 2080 - 180), std::vector<std::string>{"Dealer W - Vul. E/W"});
    EXPECT_EQ(TextsAt(page, 3240, 2080 - 180), std::vector<std::string>{"Dealer N - Vul. Nil"});
}

// A PBN file's boards go in file order, each with the number, dealer and
// vulnerability its tags give, whatever its place on the page.
TEST(PrintLayout, PbnFile_printsTheFilesNumbersDealersAndVulnerability) {
    TempDir dir;
    const std::string path = dir.file("SECOND.PBN");
    const DisplayTable d = DealNumber(3);
    auto hand = [&d](int seat) { return d[seat][0] + "." + d[seat][1] + "." + d[seat][2] + "." + d[seat][3]; };
    const std::string deal =
        "[Deal \"N:" + hand(North) + " " + hand(East) + " " + hand(South) + " " + hand(West) + "\"]\n";
    WriteText(path, "[Board \"17\"]\n" + deal + "\n[Board \"18\"]\n[Dealer \"W\"]\n[Vulnerable \"All\"]\n" + deal +
                        "\n[Board \"20\"]\n[Deal \"N:AKQ - - -\"]\n\n" + deal);
    BoardSource file;
    ASSERT_TRUE(file.Open(path, nullptr));
    ASSERT_EQ(file.Problems().size(), 1u);
    EXPECT_EQ(file.Problems()[0].rfind(path + ": board 20 left out: ", 0), 0u) << file.Problems()[0];
    RecordingCanvas canvas;
    BoardPrinter printer(file, canvas, "SECOND");
    ASSERT_EQ(printer.Print({PrintOption::Standard, {}}), 1);
    const RecordedPage& page = canvas.Documents.at(0).Pages.at(0);
    const auto labels = BoardLabels(page);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels.at(17), std::make_pair(100, 300));
    EXPECT_EQ(labels.at(18), std::make_pair(1250, 300));
    EXPECT_EQ(labels.at(21), std::make_pair(2420, 300)); // numbered on from board 20
    EXPECT_EQ(TextsAt(page, 100, 560 - 180), std::vector<std::string>{"Dealer N - Vul. Nil"});
    EXPECT_EQ(TextsAt(page, 1250, 560 - 180), std::vector<std::string>{"Dealer W - Vul. All"});
    EXPECT_EQ(TextsAt(page, 2420, 560 - 180), std::vector<std::string>{"Dealer N - Vul. N/S"});
    ExpectFullBoard(page, 18, 1250, 560, d, "Dealer W - Vul. All");
}

TEST(PrintLayout, EmptyOrPartialFiles_printOnlyWholeRecords) {
    Printed empty(0);
    EXPECT_EQ(empty.print(PrintOption::Standard), 0);
    EXPECT_TRUE(empty.canvas.Documents.empty());
    Printed partialOnly(0, "P.DGE", std::string(100, 'x'));
    EXPECT_EQ(partialOnly.print(PrintOption::Partnership, {true, false, false, false}), 0);
    EXPECT_TRUE(partialOnly.canvas.Documents.empty());

    Printed partial(2, "Q.DGE", std::string(44, 'x'));
    partial.print(PrintOption::Standard);
    ASSERT_EQ(partial.canvas.Documents.size(), 1u);
    auto labels = BoardLabels(partial.canvas.Documents[0].Pages[0]);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels.rbegin()->first, 2);
    EXPECT_EQ(partial.printer->DamagedBoards(), 0u);
}

TEST(PrintLayout, Voids_printADashAfterTheSuitSign) {
    TempDir dir;
    std::string path = dir.file("VOID.DGE");
    DisplayTable t = {DisplayRow{"AKQJT98765432", "", "", ""}, DisplayRow{"", "AKQJT98765432", "", ""},
                      DisplayRow{"", "", "AKQJT98765432", ""}, DisplayRow{"", "", "", "AKQJT98765432"}};
    WriteText(path, RecordOf(t));
    BoardSource file;
    ASSERT_TRUE(file.Open(path, nullptr));
    RecordingCanvas canvas;
    BoardPrinter printer(file, canvas, "VOID");
    printer.Print({PrintOption::Standard, {}});
    const RecordedPage& page = canvas.Documents.at(0).Pages.at(0);
    EXPECT_EQ(TextsAt(page, 100 + 370, 560), std::vector<std::string>{"AKQJT98765432"});
    EXPECT_EQ(TextsAt(page, 100 + 370, 660), std::vector<std::string>{"\u2014"});
    EXPECT_EQ(TextsAt(page, 100 + 390, 560 + 880), std::vector<std::string>{"AKQJT98765432"});
    EXPECT_EQ(TextsAt(page, 100 + 620, 560 + 600), std::vector<std::string>{"AKQJT98765432"});
    EXPECT_EQ(TextsAt(page, 100, 560 + 700), std::vector<std::string>{"AKQJT98765432"});
    // One seat's hands likewise.
    RecordingCanvas seats;
    BoardPrinter(file, seats, "VOID").Print({PrintOption::Partnership, {true, false, false, false}});
    const RecordedPage& north = seats.Documents.at(0).Pages.at(0);
    EXPECT_EQ(TextsAt(north, 100 + 80, 560), std::vector<std::string>{"AKQJT98765432"});
    EXPECT_EQ(TextsAt(north, 100 + 80, 660), std::vector<std::string>{"\u2014"});
}

TEST(PrintLayout, DamagedRecord_printedAsFarAsSoundAndMarked) {
    TempDir dir;
    std::string path = dir.file("BAD.DGE");
    std::string good = RecordOf(DealNumber(1));
    std::string bad = RecordOf(DealNumber(2));
    // Board 2 loses East's club separator (block 2 ends at offset 33): only
    // the holdings before it are sound.
    DisplayTable d2 = DealNumber(2);
    std::size_t clubSep = bad.find('\x05', 17);
    ASSERT_LT(clubSep, 34u);
    bad[clubSep] = 'X';
    WriteText(path, good + bad + good);
    BoardSource file;
    ASSERT_TRUE(file.Open(path, nullptr));
    RecordingCanvas canvas;
    BoardPrinter printer(file, canvas, "BAD");
    printer.Print({PrintOption::Standard, {}});
    EXPECT_EQ(printer.DamagedBoards(), 1u);
    const RecordedPage& page = canvas.Documents.at(0).Pages.at(0);
    EXPECT_EQ(BoardLabels(page).size(), 3u);
    // The mark stands beside board 2's number only.
    int markX = 1250 + RecordingCanvas::WidthOf("BOARD 2 ", 8);
    EXPECT_TRUE(Has(page, {markX, 300, "(damaged)", Sans, 8, FontStyle::Regular}));
    EXPECT_EQ(Count(page, "(damaged)"), 1);
    // North's four holdings and East's first two are sound; East's diamonds
    // run on over the lost separator.
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(TextsAt(page, 1250 + 370, 560 + 100 * s), std::vector<std::string>{d2[North][s]});
    for (int s = 0; s < 2; ++s)
        EXPECT_EQ(TextsAt(page, 1250 + 620, 960 + 100 * s), std::vector<std::string>{d2[East][s]});
    EXPECT_EQ(TextsAt(page, 1250 + 620, 1160), std::vector<std::string>{d2[East][2] + "X" + d2[East][3]});

    RecordingCanvas seatCanvas;
    BoardPrinter seatPrinter(file, seatCanvas, "BAD");
    seatPrinter.Print({PrintOption::Partnership, {true, false, false, false}});
    const RecordedPage& seatPage = seatCanvas.Documents.at(0).Pages.at(0);
    EXPECT_EQ(TextsAt(seatPage, 840, 560 + 400), std::vector<std::string>{"(damaged)"});
    EXPECT_EQ(Count(seatPage, "(damaged)"), 1);
}

TEST(PrintLayout, RefusedDocument_isSkippedAndTheOthersStillPrint) {
    Printed p(3);
    p.canvas.Refuse = {0};
    EXPECT_EQ(p.print(PrintOption::Partnership, {true, false, true, false}), 1);
    ASSERT_EQ(p.canvas.Documents.size(), 1u);
    EXPECT_EQ(p.canvas.Documents[0].Info.Seat, East);
    EXPECT_EQ(p.canvas.Stray, 0);
}

TEST(PrintLayout, SeventyThousandBoards_printWholeInBothLayouts) {
    Printed p(70000);
    ASSERT_EQ(p.file.BoardCount(), 70000u);
    p.canvas.Keep = [](const DrawnText& t) { return t.Text.rfind("BOARD ", 0) == 0; };
    p.print(PrintOption::Standard);
    const auto& pages = p.canvas.Documents.at(0).Pages;
    ASSERT_EQ(pages.size(), 4375u);
    for (const RecordedPage& page : pages) ASSERT_EQ(page.Texts.size(), 16u);
    EXPECT_EQ(pages.back().Texts.back().Text, "BOARD 70000");
    EXPECT_EQ(pages.back().Texts.back().X, 3580);
    EXPECT_EQ(pages.back().Texts.back().Y, 5100);
    EXPECT_EQ(pages[4096].Texts.front().Text, "BOARD 65537");

    p.canvas.Documents.clear();
    p.print(PrintOption::Partnership, {false, false, false, true});
    const auto& seatPages = p.canvas.Documents.at(0).Pages;
    ASSERT_EQ(seatPages.size(), 1459u); // 1458 full pages and 16 boards
    EXPECT_EQ(seatPages.back().Texts.size(), 16u);
    EXPECT_EQ(seatPages.back().Texts.back().Text, "BOARD 70000");
    EXPECT_EQ(seatPages.back().Texts.back().X, 2440);
    EXPECT_EQ(seatPages.back().Texts.back().Y, 2080 - 260);
}

// Long holdings are narrowed, never printed over their neighbours: no two
// texts of a page share any point, on pages as wide as A4 and Letter; hand
// records with the widest analysis too.
TEST(PrintLayout, ExtremeHoldings_neverOverlapAnotherText) {
    TempDir dir;
    const std::string path = dir.file("STRESS.DGE");
    WriteDeals(path, ExtremeDeals());
    for (int width : {4800, 4960}) {
        for (PrintOption option : {PrintOption::Standard, PrintOption::Partnership, PrintOption::HandRecords}) {
            BoardSource file;
            ASSERT_TRUE(file.Open(path, nullptr));
            RecordingCanvas canvas;
            canvas.Width = width;
            BoardPrinter printer(file, canvas, "STRESS");
            const FileAnalysis analysis(file.BoardCount(), WidestAnalysis());
            ASSERT_GT(printer.Print({option, {true, true, true, true}, &analysis}), 0);
            int narrowed = 0;
            for (const RecordedDocument& doc : canvas.Documents)
                for (const RecordedPage& page : doc.Pages) {
                    std::vector<const DrawnText*> boxes;
                    for (const DrawnText& t : page.Texts)
                        if (!t.Text.empty()) boxes.push_back(&t);
                    for (std::size_t a = 0; a < boxes.size(); ++a) {
                        const DrawnText& p = *boxes[a];
                        narrowed += p.Stretch < 100;
                        EXPECT_LE(p.X + p.Width, width) << p.Text;
                        for (std::size_t b = a + 1; b < boxes.size(); ++b) {
                            const DrawnText& q = *boxes[b];
                            const bool meet = p.X < q.X + q.Width && q.X < p.X + p.Width && p.Y < q.Y + q.Height &&
                                              q.Y < p.Y + p.Height;
                            EXPECT_FALSE(meet) << "\"" << p.Text << "\" at (" << p.X << ", " << p.Y << ") and \""
                                               << q.Text << "\" at (" << q.X << ", " << q.Y << "), width " << width;
                        }
                    }
                }
            EXPECT_GT(narrowed, 0) << "these holdings are too long for their room in this font";
        }
    }
}

TEST(PrintLayout, HandRecords_sixToAPageEachWithPointsTricksAndPar) {
    Printed p(7);
    FileAnalysis analysis(7);
    for (std::size_t n = 1; n <= 7; ++n) {
        if (n == 3) continue; // not analysed
        BoardAnalysis a;
        for (int seat = 0; seat < 4; ++seat)
            for (int strain = 0; strain < 5; ++strain)
                a.Tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(strain)] =
                    static_cast<int>(n + 2 * static_cast<std::size_t>(seat) + static_cast<std::size_t>(strain)) % 14;
        a.Par = {static_cast<int>(n) * 10 - 40, {{4, SpadeStrain, false, "N", 0}, {5, DiamondStrain, true, "EW", -2}}};
        analysis[n - 1] = a;
    }
    const std::string failed = "the double-dummy solver says \"Unknown fault\" (DDS error -1)";
    analysis[4]->Par = ParResult{0, {}, failed};
    EXPECT_EQ(p.printer->Print({PrintOption::HandRecords, {}, &analysis}), 1);
    ASSERT_EQ(p.canvas.Documents.size(), 1u);
    const RecordedDocument& doc = p.canvas.Documents[0];
    EXPECT_EQ(doc.Info.Title, "File: SET - Hand Records.");
    EXPECT_EQ(doc.Info.Seat, -1);
    ASSERT_EQ(doc.Pages.size(), 2u);
    std::map<int, std::pair<int, int>> expected;
    for (int n = 1; n <= 6; ++n) expected[n] = {RecX[(n - 1) % 2], RecY[(n - 1) / 2]};
    EXPECT_EQ(BoardLabels(doc.Pages[0]), expected);
    EXPECT_EQ(BoardLabels(doc.Pages[1]), (std::map<int, std::pair<int, int>>{{7, {100, 300}}}));
    for (const RecordedPage& page : doc.Pages) ExpectTitle(page, "File: SET - Hand Records.");
    EXPECT_EQ(Count(doc.Pages[0], "Zelvano for Windows"), 1);
    EXPECT_EQ(Count(doc.Pages[1], "Zelvano for Windows"), 0);

    const RecordedPage& page = doc.Pages[0];
    for (int n : {1, 2, 4}) {
        SCOPED_TRACE("board " + std::to_string(n));
        const int x = RecX[(n - 1) % 2], y = RecY[(n - 1) / 2], table = x + 1450;
        const DisplayTable d = DealNumber(static_cast<std::uint64_t>(n));
        EXPECT_TRUE(Has(page, {x, y + 80, DealerVulText(static_cast<std::uint64_t>(n)), Sans, 8, FontStyle::Bold}));
        for (int s = 0; s < 4; ++s) {
            EXPECT_TRUE(Has(page, {x + 560, y + 200 + 100 * s, AsPrinted(d[North][s]), Sans, 8, FontStyle::Regular}));
            EXPECT_TRUE(Has(page, {x + 80, y + 620 + 100 * s, AsPrinted(d[West][s]), Sans, 8, FontStyle::Regular}));
            EXPECT_TRUE(Has(page, {x + 980, y + 620 + 100 * s, AsPrinted(d[East][s]), Sans, 8, FontStyle::Regular}));
            EXPECT_TRUE(Has(page, {x + 560, y + 1040 + 100 * s, AsPrinted(d[South][s]), Sans, 8, FontStyle::Regular}));
        }
        EXPECT_TRUE(Has(page, {table + 690, y + 200, "HCP", Sans, 8, FontStyle::Bold}));
        // Every column's figures and heading end at one right edge, so "10"
        // over "9" line up by their units: rows N, S, E, W, then points.
        const int strainX[5] = {110, 250, 360, 470, 580};
        // As wide as "13", or as the closest columns (110 apart) leave room for.
        const int figure = std::min(RecordingCanvas::WidthOf("13", 8), 110 - TextGap);
        EXPECT_EQ(TextsEndingAt(page, table + strainX[0] + figure, y + 200), std::vector<std::string>{"NT"});
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(TextsEndingAt(page, table + strainX[1 + s] + figure, y + 200),
                      std::vector<std::string>{Signs[s]});
        // The points end under "HCP", or short of the cell's edge.
        const int cellRight = (n - 1) % 2 == 0 ? RecX[1] : std::min(4800, x + 2300 + TextGap);
        const int pointsEdge = std::min(table + 690 + RecordingCanvas::WidthOf("HCP", 8), cellRight - TextGap);
        int row = 0;
        for (int seat : {North, South, East, West}) {
            const int rowY = y + 300 + 100 * row++;
            EXPECT_TRUE(Has(page, {table, rowY, std::string(1, "NSEW"[row - 1]), Sans, 8, FontStyle::Bold}));
            EXPECT_EQ(TextsEndingAt(page, pointsEdge, rowY), std::vector<std::string>{std::to_string(Points(d[seat]))});
            for (int strain = 0; strain < 5; ++strain)
                EXPECT_EQ(TextsEndingAt(page, table + strainX[strain] + figure, rowY),
                          std::vector<std::string>{std::to_string((n + 2 * seat + strain) % 14)});
        }
        EXPECT_TRUE(
            Has(page, {table, y + 760,
                       n * 10 - 40 > 0 ? "Par +" + std::to_string(n * 10 - 40) : "Par " + std::to_string(n * 10 - 40),
                       Sans, 8, FontStyle::Bold}));
        EXPECT_TRUE(Has(page, {table, y + 860, "4" + Spade + " by N", Sans, 8, FontStyle::Regular}));
        EXPECT_TRUE(Has(page, {table, y + 960, "5" + Diamond + "x-2 by EW", Sans, 8, FontStyle::Regular}));
    }
    // Board 5's par could not be worked out: said so, DDS's reason on the lines below.
    const int parX = RecX[0] + 1450, parY = RecY[2] + 760;
    EXPECT_EQ(TextsAt(page, parX, parY), std::vector<std::string>{"Par not computed"});
    std::string reason;
    for (int k = 1; k <= 6; ++k)
        for (const std::string& t : TextsAt(page, parX, parY + 100 * k)) reason += (reason.empty() ? "" : " ") + t;
    EXPECT_EQ(reason, failed);
    // Board 3 has no analysis: said where its par would stand, points still shown.
    EXPECT_EQ(TextsAt(page, RecX[0] + 1450, RecY[1] + 760), std::vector<std::string>{"Not analysed"});
    const int table3 = RecX[0] + 1450;
    EXPECT_EQ(TextsEndingAt(page, table3 + 690 + RecordingCanvas::WidthOf("HCP", 8), RecY[1] + 300),
              std::vector<std::string>{std::to_string(Points(DealNumber(3)[North]))});
    EXPECT_TRUE(TextsEndingAt(page, table3 + 110 + 110 - TextGap, RecY[1] + 300).empty());
    EXPECT_EQ(p.canvas.Stray, 0);
}

TEST(PrintLayout, HandRecordsOfADamagedRecord_markedAndNotAnalysed) {
    TempDir dir;
    const std::string path = dir.file("BAD.DGE");
    std::string bad = RecordOf(DealNumber(2));
    bad[bad.find('\x05', 17)] = 'X';
    WriteText(path, RecordOf(DealNumber(1)) + bad);
    BoardSource file;
    ASSERT_TRUE(file.Open(path, nullptr));
    const FileAnalysis analysis = {WidestAnalysis(), WidestAnalysis()};
    RecordingCanvas canvas;
    BoardPrinter printer(file, canvas, "BAD");
    printer.Print({PrintOption::HandRecords, {}, &analysis});
    EXPECT_EQ(printer.DamagedBoards(), 1u);
    const RecordedPage& page = canvas.Documents.at(0).Pages.at(0);
    EXPECT_TRUE(
        Has(page, {2450 + RecordingCanvas::WidthOf("BOARD 2 ", 8), 300, "(damaged)", Sans, 8, FontStyle::Regular}));
    // Even given one, a damaged record's analysis is not printed: its cards are not the board's.
    EXPECT_EQ(TextsAt(page, 2450 + 1450, 300 + 760), std::vector<std::string>{"Not analysed"});
    EXPECT_EQ(TextsAt(page, 100 + 1450, 300 + 760), std::vector<std::string>{"Par -7600"});
    // Ten contracts: six lines, the last holding the rest.
    EXPECT_EQ(TextsAt(page, 100 + 1450, 300 + 1360).size(), 1u);
    EXPECT_TRUE(TextsAt(page, 100 + 1450, 300 + 1460).empty());
}
