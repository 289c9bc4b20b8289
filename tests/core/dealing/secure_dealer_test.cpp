// The secure dealer: its random source, the boards it accepts, and that
// accepted boards keep the distribution of a plain random deal restricted to
// the set-up (exact expectations where they can be computed, the classic
// dealer's boards where they cannot).
#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "core/dealing/DealRun.h"
#include "core/dealing/HandCounts.h"
#include "core/dealing/SecureDealer.h"
#include "core/definitions/DefinitionKeys.h"
#include "core/formats/DealFiles.h"
#include "support/EngineHands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace zelv {
namespace {

SecureKey TestKey(std::uint8_t first) {
    SecureKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(first + 7 * i);
    return key;
}

int Hcp(const DisplayRow& row) {
    int p = 0;
    for (const auto& suit : row)
        for (char c : suit) p += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return p;
}

bool Holds(const DisplayRow& row, int suit, char rank) { return row[suit].find(rank) != std::string::npos; }

// Every card once, thirteen to a hand, ranks in order within each suit.
void ExpectSoundBoard(const DealEngine& board) {
    std::set<std::pair<int, char>> cards;
    for (int seat = 0; seat < 4; ++seat) {
        std::size_t n = 0;
        for (int s = 0; s < 4; ++s) {
            const std::string& h = board.Display[seat][s];
            n += h.size();
            for (std::size_t i = 0; i < h.size(); ++i) {
                ASSERT_NE(RankLetters.find(h[i]), std::string_view::npos);
                if (i) {
                    EXPECT_LT(RankLetters.find(h[i - 1]), RankLetters.find(h[i]));
                }
                cards.insert({s, h[i]});
            }
        }
        EXPECT_EQ(n, 13u);
        const Hand hand = test::DealtHand(board, seat);
        EXPECT_TRUE(std::is_sorted(hand.begin(), hand.end()));
    }
    EXPECT_EQ(cards.size(), 52u);
}

double ChiSquare(const std::vector<double>& observed, const std::vector<double>& expected) {
    double chi = 0;
    for (std::size_t i = 0; i < observed.size(); ++i)
        chi += (observed[i] - expected[i]) * (observed[i] - expected[i]) / expected[i];
    return chi;
}
// Generous: about six standard deviations above the mean of the distribution.
double Limit(std::size_t degrees) {
    return static_cast<double>(degrees) + 6.0 * std::sqrt(2.0 * static_cast<double>(degrees));
}

// Two-sample homogeneity statistic over the same bins.
double ChiSquareTwoSample(const std::vector<double>& a, const std::vector<double>& b) {
    double A = 0, B = 0;
    for (double x : a) A += x;
    for (double x : b) B += x;
    double chi = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] + b[i] == 0) continue;
        double d = std::sqrt(B / A) * a[i] - std::sqrt(A / B) * b[i];
        chi += d * d / (a[i] + b[i]);
    }
    return chi;
}

double Choose(int n, int k) {
    double r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

void DealAccepted(int boards, const std::function<bool()>& attempt, const std::function<void()>& record) {
    for (int got = 0; got < boards;)
        if (attempt()) {
            record();
            ++got;
        }
}

// Runs `sample` (board, attempt) over the secure dealer and over the classic
// one, each on a board given the same set-up; returns {secure, classic}.
template <class SetUp, class SampleFn>
auto BothDealers(const SetUp& setUp, std::uint8_t key, std::uint32_t seed, const SampleFn& sample,
                 Construction how = Construction::Automatic) {
    DealEngine secureBoard;
    setUp(secureBoard);
    SecureRandom random(TestKey(key));
    SecureDealer dealer(secureBoard, random, how);
    auto secure = sample(secureBoard, std::function<bool()>([&] { return dealer.DealBoard(); }));
    DealEngine classicBoard;
    setUp(classicBoard);
    classicBoard.Random = ClassicRandom(seed);
    auto classic = sample(classicBoard, std::function<bool()>([&] {
                              classicBoard.DealBoard();
                              return classicBoard.Accepted;
                          }));
    return std::make_pair(secure, classic);
}

TEST(SecureRandom, sameKeyGivesSameStreamAndOtherKeysDiffer) {
    SecureRandom a(TestKey(1)), b(TestKey(1)), c(TestKey(2));
    int differ = 0;
    for (int i = 0; i < 5000; ++i) { // crosses several buffer refills
        std::uint32_t x = a.Next32();
        EXPECT_EQ(x, b.Next32());
        differ += x != c.Next32();
    }
    EXPECT_GT(differ, 4990);
}

TEST(SecureRandom, systemKeysAreFreshEachTime) {
    SecureKey k1{}, k2{};
    std::string error;
    ASSERT_TRUE(SecureRandom::SystemKey(k1, &error)) << error;
    ASSERT_TRUE(SecureRandom::SystemKey(k2, &error)) << error;
    EXPECT_NE(k1, k2);
}

TEST(SecureRandom, boundedDrawsStayInRangeForAwkwardBounds) {
    SecureRandom r(TestKey(3));
    for (std::uint32_t n : {1u, 2u, 3u, 52u, 0x80000001u, 0xFFFFFFFFu})
        for (int i = 0; i < 2000; ++i) EXPECT_LT(r.Below(n), n);
}

TEST(SecureRandom, boundedDrawsAreUniform) {
    SecureRandom r(TestKey(4));
    const int draws = 52 * 4000;
    std::vector<double> seen(52, 0.0);
    for (int i = 0; i < draws; ++i) seen[r.Below(52)] += 1;
    EXPECT_LT(ChiSquare(seen, std::vector<double>(52, draws / 52.0)), Limit(51));
}

TEST(SecureRandom, smallDrawsStayInRangeAndAreUniformWhereManyAreRedrawn) {
    SecureRandom r(TestKey(12));
    for (unsigned n : {1u, 2u, 3u, 52u, 40000u, 65535u, 65536u})
        for (int i = 0; i < 3000; ++i) EXPECT_LT(r.SmallBelow(n), n);
    // 65536 mod 40000 is 25536: nearly two draws in five are redrawn, and
    // the redraws cross many refills of the buffer.
    const int draws = 40 * 3000;
    std::vector<double> seen(40, 0.0);
    for (int i = 0; i < draws; ++i) seen[r.SmallBelow(40000) / 1000] += 1;
    EXPECT_LT(ChiSquare(seen, std::vector<double>(40, draws / 40.0)), Limit(39));
    std::vector<double> cards(52, 0.0);
    for (int i = 0; i < 52 * 3000; ++i) cards[r.SmallBelow(52)] += 1;
    EXPECT_LT(ChiSquare(cards, std::vector<double>(52, 3000.0)), Limit(51));
}

TEST(SecureRandom, scatteringOnAPackPicksTheCardsAtThosePositions) {
    SecureRandom r(TestKey(13));
    for (int i = 0; i < 20000; ++i) {
        CardMask pack = (std::uint64_t{r.Next32()} << 32 | r.Next32()) & AllCardsMask;
        if (i % 4 == 0) pack &= AllCardsMask >> (r.Next32() % 52); // low cards without a gap
        const std::uint64_t positions = std::uint64_t{r.Next32()} << 32 | r.Next32();
        std::vector<CardMask> cards;
        for (CardMask m = pack; m; m &= m - 1) cards.push_back(m & (0 - m));
        CardMask expected = 0;
        for (std::size_t k = 0; k < cards.size(); ++k)
            if ((positions >> k) & 1u) expected |= cards[k];
        ASSERT_EQ(ScatterOnPack(positions, pack), expected) << std::hex << pack << " " << positions;
        ASSERT_EQ(ScatterOnPackPlain(positions, pack), expected) << std::hex << pack << " " << positions;
    }
}

TEST(SecureRandom, drawsFromAPackGiveEveryChoiceEqually) {
    SecureRandom r(TestKey(11));
    struct Case {
        CardMask pack;
        int take;
        std::size_t choices;
    };
    const Case cases[] = {
        // SA, SK, HA, DA, C2: three of five, ten choices
        {CardBit(1) | CardBit(2) | CardBit(14) | CardBit(27) | CardBit(52), 3, 10},
        // the six highest spades, which need no spreading over the pack: fifteen pairs
        {(CardMask{1} << 6) - 1, 2, 15},
        // eight cards across the suits, four of them: seventy choices
        {CardBit(3) | CardBit(9) | CardBit(13) | CardBit(20) | CardBit(30) | CardBit(31) | CardBit(44) | CardBit(51), 4,
         70},
    };
    for (const Case& c : cases) {
        std::map<CardMask, double> seen;
        const int rounds = static_cast<int>(c.choices) * 1500;
        for (int i = 0; i < rounds; ++i) {
            CardMask pack = c.pack;
            CardMask taken = r.DrawFromPack(pack, c.take);
            ASSERT_EQ(std::popcount(taken), c.take);
            ASSERT_EQ(taken & pack, 0u);
            ASSERT_EQ(taken | pack, c.pack);
            seen[taken] += 1;
        }
        ASSERT_EQ(seen.size(), c.choices);
        std::vector<double> observed;
        for (const auto& [choice, n] : seen) observed.push_back(n);
        const double each = static_cast<double>(rounds) / static_cast<double>(c.choices);
        EXPECT_LT(ChiSquare(observed, std::vector<double>(c.choices, each)), Limit(c.choices - 1))
            << std::hex << c.pack;
    }
    // Asking for more than the pack holds takes the whole pack; nothing takes nothing.
    const CardMask five = cases[0].pack;
    CardMask pack = five;
    EXPECT_EQ(r.DrawFromPack(pack, 0), 0u);
    EXPECT_EQ(pack, five);
    EXPECT_EQ(r.DrawFromPack(pack, 9), five);
    EXPECT_EQ(pack, 0u);
}

TEST(SecureRandom, aHandFromTheFullPackHoldsEachCardAndEachSuitLengthAsOften) {
    SecureRandom r(TestKey(14));
    const int hands = 40000;
    std::vector<double> cards(52, 0.0), spades(7, 0.0); // spade lengths 0..5, 6 and more
    for (int i = 0; i < hands; ++i) {
        CardMask pack = AllCardsMask;
        const CardMask hand = r.DrawFromPack(pack, 52, 13);
        ASSERT_EQ(std::popcount(hand), 13);
        for (CardMask m = hand; m; m &= m - 1) cards[static_cast<std::size_t>(std::countr_zero(m))] += 1;
        spades[std::min(std::popcount(hand & 0x1FFFu), 6)] += 1;
    }
    EXPECT_LT(ChiSquare(cards, std::vector<double>(52, hands / 4.0)), Limit(51));
    std::vector<double> expected(7, 0.0);
    for (int k = 0; k <= 13; ++k)
        expected[static_cast<std::size_t>(std::min(k, 6))] +=
            hands * Choose(13, k) * Choose(39, 13 - k) / Choose(52, 13);
    EXPECT_LT(ChiSquare(spades, expected), Limit(6));
}

TEST(SecureDealer, freeSetUpAcceptsEveryAttemptAndPutsEachCardInEachSeatEvenly) {
    DealEngine board;
    SecureRandom random(TestKey(5));
    SecureDealer dealer(board, random);
    const int boards = 20000;
    std::vector<double> seat(52 * 4, 0.0);
    for (int i = 0; i < boards; ++i) {
        ASSERT_TRUE(dealer.DealBoard());
        for (int s = 0; s < 4; ++s)
            for (CardCode c : test::DealtHand(board, s)) seat[static_cast<std::size_t>((c - 1) * 4 + s)] += 1;
    }
    ExpectSoundBoard(board);
    EXPECT_LT(ChiSquare(seat, std::vector<double>(seat.size(), boards / 4.0)), Limit(52 * 3));
}

TEST(SecureDealer, acceptedBoardsMeetTheSetUpAndHoldTheSeededCards) {
    DealEngine board;
    board.SeedFirst = true;
    HandDefinition north = HandDefinition::AcceptingEveryHand();
    north.MinPoints = 15;
    north.MustHave[MakeCard(0, 0)] = true; // SA
    north.MustHave[MakeCard(1, 1)] = true; // HK
    HandDefinition west = HandDefinition::AcceptingEveryHand();
    west.MinDLength = 5;
    board.SetConstrained(North, true);
    board.SetConstrained(West, true);
    board.SetSlot(North, 0, north);
    board.SetSlot(West, 0, west);
    SecureRandom random(TestKey(6));
    SecureDealer dealer(board, random);
    EXPECT_EQ(dealer.Seeded(North), CardBit(MakeCard(0, 0)) | CardBit(MakeCard(1, 1)));
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        if (!dealer.DealBoard()) continue;
        ++accepted;
        ExpectSoundBoard(board);
        EXPECT_GE(Hcp(board.Display[North]), 15);
        EXPECT_TRUE(Holds(board.Display[North], 0, 'A'));
        EXPECT_TRUE(Holds(board.Display[North], 1, 'K'));
        EXPECT_GE(board.Display[West][2].size(), 5u);
    }
    EXPECT_GT(accepted, 100);
}

TEST(SecureDealer, rejectedAttemptLeavesDisplayAndFilesUntouched) {
    DealEngine board;
    HandDefinition impossible = HandDefinition::AcceptingEveryHand();
    impossible.MinPoints = 38;
    board.SetConstrained(South, true);
    board.SetSlot(South, 0, impossible);
    board.Display[North][0] = "AKQ";
    SecureRandom random(TestKey(7));
    SecureDealer dealer(board, random);
    for (int i = 0; i < 1000; ++i) EXPECT_FALSE(dealer.DealBoard());
    EXPECT_FALSE(board.Accepted);
    EXPECT_EQ(board.Display[North][0], "AKQ");
}

TEST(SecureDealer, firstDefinitionsSharingACardNeverPutItInTwoHands) {
    DealEngine board;
    board.SeedFirst = true;
    HandDefinition a = HandDefinition::AcceptingEveryHand();
    for (int r = 0; r < 13; ++r) a.MustHave[MakeCard(0, r)] = true; // all spades
    HandDefinition b = HandDefinition::AcceptingEveryHand();
    b.MustHave[MakeCard(0, 0)] = true; // SA again
    b.MustHave[MakeCard(3, 0)] = true; // CA
    board.SetConstrained(North, true);
    board.SetConstrained(South, true);
    board.SetSlot(North, 0, a);
    board.SetSlot(South, 0, b);
    SecureRandom random(TestKey(8));
    SecureDealer dealer(board, random);
    EXPECT_EQ(dealer.Seeded(South), CardBit(MakeCard(3, 0)));
    // South's definition still wants SA, which North holds: never met.
    for (int i = 0; i < 200; ++i) EXPECT_FALSE(dealer.DealBoard());
}

TEST(SecureDealer, constrainedSuitLengthFollowsTheExactConditionalDistribution) {
    DealEngine board;
    HandDefinition north = HandDefinition::AcceptingEveryHand();
    north.MinSLength = 5;
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, north);
    SecureRandom random(TestKey(9));
    SecureDealer dealer(board, random);
    const int boards = 20000;
    std::vector<double> seen(5, 0.0); // 5, 6, 7, 8 and more
    DealAccepted(
        boards, [&] { return dealer.DealBoard(); },
        [&] { seen[std::min<std::size_t>(board.Display[North][0].size(), 8) - 5] += 1; });
    std::vector<double> p(5, 0.0);
    double total = 0;
    for (int k = 5; k <= 13; ++k) {
        double pk = Choose(13, k) * Choose(39, 13 - k);
        p[static_cast<std::size_t>(std::min(k, 8) - 5)] += pk;
        total += pk;
    }
    p.pop_back();
    seen.pop_back();
    std::vector<double> expected;
    for (double x : p) expected.push_back(boards * x / total);
    EXPECT_LT(ChiSquare(seen, expected), Limit(3));
}

// Two constrained seats, seeding on: the free seats' hands come out as the
// classic dealer's do.
TEST(SecureDealer, freeSeatsMatchTheClassicDealerOnASeededTwoSeatSetUp) {
    auto setUp = [](DealEngine& board) {
        board.SeedFirst = true;
        HandDefinition north = HandDefinition::AcceptingEveryHand();
        north.MinPoints = 12;
        north.MustHave[MakeCard(0, 0)] = true;
        HandDefinition south = HandDefinition::AcceptingEveryHand();
        south.MinHLength = 5;
        board.SetConstrained(North, true);
        board.SetConstrained(South, true);
        board.SetSlot(North, 0, north);
        board.SetSlot(South, 0, south);
    };
    const int boards = 20000;
    auto sample = [&](DealEngine& board, const std::function<bool()>& attempt) {
        std::vector<double> stats(13, 0.0); // West's spades 0..5+, East's points in five bands
        DealAccepted(boards, attempt, [&] {
            stats[std::min<std::size_t>(board.Display[West][0].size(), 5)] += 1;
            int p = Hcp(board.Display[East]);
            stats[6 + static_cast<std::size_t>(std::min(p / 3, 6))] += 1;
            ExpectSoundBoard(board);
        });
        return stats;
    };
    const auto [secure, classic] = BothDealers(setUp, 10, 20240601u, sample);

    std::vector<double> a(secure.begin(), secure.begin() + 6), b(classic.begin(), classic.begin() + 6);
    EXPECT_LT(ChiSquareTwoSample(a, b), Limit(5));
    std::vector<double> c(secure.begin() + 6, secure.end()), d(classic.begin() + 6, classic.end());
    EXPECT_LT(ChiSquareTwoSample(c, d), Limit(6));
}

// Without seeding, the cards North must hold are settled before the rest of
// its dealt hand is drawn: attempts are still accepted as often as a plain deal
// holds both cards, and the boards accepted are those of a plain deal.
TEST(SecureDealer, unseededMustHaveCardsKeepTheAcceptanceRateAndTheDistribution) {
    DealEngine board;
    board.SeedFirst = false;
    HandDefinition north = HandDefinition::AcceptingEveryHand();
    north.MustHave[MakeCard(0, 0)] = true; // SA
    north.MustHave[MakeCard(1, 1)] = true; // HK
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, north);
    SecureRandom random(TestKey(15));
    SecureDealer dealer(board, random, Construction::Never);
    EXPECT_EQ(dealer.Seeded(North), 0u);
    const int attempts = 300000;
    int accepted = 0;
    std::vector<double> spades(6, 0.0); // 1..5, 6 and more
    for (int i = 0; i < attempts; ++i) {
        if (!dealer.DealBoard()) continue;
        ++accepted;
        ASSERT_TRUE(Holds(board.Display[North], 0, 'A'));
        ASSERT_TRUE(Holds(board.Display[North], 1, 'K'));
        spades[std::min<std::size_t>(board.Display[North][0].size(), 6) - 1] += 1;
    }
    ExpectSoundBoard(board);
    const double p = 13.0 / 52.0 * 12.0 / 51.0;
    const double sigma = std::sqrt(p * (1 - p) / attempts);
    EXPECT_NEAR(static_cast<double>(accepted) / attempts, p, 6 * sigma);
    // The other eleven cards are any eleven of the fifty left: k spades in
    // all means k-1 of the other twelve spades.
    std::vector<double> expected(6, 0.0);
    for (int k = 1; k <= 12; ++k)
        expected[static_cast<std::size_t>(std::min(k, 6) - 1)] +=
            accepted * Choose(12, k - 1) * Choose(38, 12 - k) / Choose(50, 11);
    EXPECT_LT(ChiSquare(spades, expected), Limit(5));
}

// Alternatives: North may hold SA with HK or SA with DQ, so only SA is
// settled first; South must hold CA. Without seeding, the secure dealer's
// acceptance rate, dealing every seat, and boards match the classic dealer's.
TEST(SecureDealer, alternativeDefinitionsMatchTheClassicDealerWithoutSeeding) {
    auto setUp = [](DealEngine& board) {
        board.SeedFirst = false;
        HandDefinition a = HandDefinition::AcceptingEveryHand();
        a.MustHave[MakeCard(0, 0)] = true;
        a.MustHave[MakeCard(1, 1)] = true;
        HandDefinition b = HandDefinition::AcceptingEveryHand();
        b.MustHave[MakeCard(0, 0)] = true;
        b.MustHave[MakeCard(2, 2)] = true;
        HandDefinition south = HandDefinition::AcceptingEveryHand();
        south.MustHave[MakeCard(3, 0)] = true;
        board.SetConstrained(North, true);
        board.SetConstrained(South, true);
        board.SetSlot(North, 0, a);
        board.SetSlot(North, 1, b);
        board.SetSlot(South, 0, south);
    };
    const int boards = 8000;
    struct Sample {
        std::vector<double> stats = std::vector<double>(15, 0.0);
        double attempts = 0;
    };
    auto sample = [&](DealEngine& board, const std::function<bool()>& attempt) {
        Sample out;
        DealAccepted(
            boards,
            [&] {
                ++out.attempts;
                return attempt();
            },
            [&] {
                const bool hk = Holds(board.Display[North], 1, 'K'), dq = Holds(board.Display[North], 2, 'Q');
                EXPECT_TRUE(Holds(board.Display[North], 0, 'A'));
                EXPECT_TRUE(hk || dq);
                EXPECT_TRUE(Holds(board.Display[South], 3, 'A'));
                out.stats[hk && dq ? 0 : hk ? 1 : 2] += 1;
                out.stats[3 + std::min<std::size_t>(board.Display[South][3].size(), 5) - 1] += 1; // South's clubs 1..5+
                out.stats[8 + static_cast<std::size_t>(std::min(Hcp(board.Display[East]) / 3, 6))] += 1;
                ExpectSoundBoard(board);
            });
        return out;
    };
    const auto [secure, classic] = BothDealers(setUp, 16, 20261208u, sample, Construction::Never);

    auto part = [](const Sample& s, std::size_t from, std::size_t to) {
        return std::vector<double>(s.stats.begin() + static_cast<std::ptrdiff_t>(from),
                                   s.stats.begin() + static_cast<std::ptrdiff_t>(to));
    };
    EXPECT_LT(ChiSquareTwoSample(part(secure, 0, 3), part(classic, 0, 3)), Limit(2));
    EXPECT_LT(ChiSquareTwoSample(part(secure, 3, 8), part(classic, 3, 8)), Limit(4));
    EXPECT_LT(ChiSquareTwoSample(part(secure, 8, 15), part(classic, 8, 15)), Limit(6));
    // Accepted and rejected attempts of the two dealers, as a 2x2 table.
    EXPECT_LT(ChiSquareTwoSample({boards, secure.attempts - boards}, {boards, classic.attempts - boards}), Limit(1));
}

TEST(SecureDealer, runDealInSecureModeWritesTheRequestedBoards) {
    auto dir = std::filesystem::temp_directory_path() / ("zelv-secure-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    DealRunOptions options;
    options.Secure = true;
    options.Threads = 1;
    options.Boards = 7;
    options.OutputFolder = dir.string();
    options.DefinitionsFolder = dir.string();
    options.FileCode = "SEC";
    DealRunResult result = RunDeal(options);
    EXPECT_EQ(result.Status, DealStatus::Done) << result.Error;
    EXPECT_EQ(result.Accepted, 7u);
    EXPECT_EQ(result.Attempts, 7u);
    EXPECT_EQ(std::filesystem::file_size(dir / "SEC.DGE"), 7 * RecordSize);
    EXPECT_EQ(std::filesystem::file_size(dir / "SEC.BRI"), 7 * RecordSize);
    EXPECT_TRUE(std::filesystem::exists(dir / "SEC.PBN"));
    std::filesystem::remove_all(dir);
}

// --- built hands: the boards of a built seat are those of plain rejection ---

// Each accepted board's North hand falls in one cell; the cells of the built
// dealer are compared with plain rejection's (the secure dealer dealing every
// seat) on the same set-up, and the acceptance of other seats with them.
template <class SetUp, class CellFn>
void ExpectBuiltLikeDealt(const SetUp& setUp, std::size_t cells, const CellFn& cell, std::uint8_t key,
                          int boards = 12000) {
    std::vector<double> built(cells, 0.0), dealt(cells, 0.0);
    for (auto how : {Construction::Always, Construction::Never}) {
        DealEngine board;
        setUp(board);
        SecureRandom random(TestKey(key));
        SecureDealer dealer(board, random, how);
        ASSERT_EQ(dealer.BuiltSeat() >= 0, how == Construction::Always);
        auto& seen = how == Construction::Always ? built : dealt;
        DealAccepted(
            boards, [&] { return dealer.DealBoard(); }, [&] { seen[cell(board)] += 1; });
    }
    EXPECT_LT(ChiSquareTwoSample(built, dealt), Limit(cells - 1));
}

std::size_t Band(int points, int from, int width, std::size_t bands) {
    return std::min<std::size_t>(static_cast<std::size_t>(std::max(points - from, 0) / width), bands - 1);
}

// Exact frequencies: which suit is the singleton, the points 20, 21 and 22,
// and the singleton's rank, whose shares the brute-force-checked counts give.
TEST(BuiltHands, fourFourFourOneWithTwentyToTwentyTwoMatchesExactFrequencies) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.YesShapes = {"4441"};
    d.MinPoints = 20;
    d.MaxPoints = 22;
    DealEngine board;
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, d);
    SecureRandom random(TestKey(31));
    SecureDealer dealer(board, random, Construction::Always);
    const int boards = 40000;
    std::vector<double> seen(12, 0.0), singleton(13, 0.0);
    DealAccepted(
        boards, [&] { return dealer.DealBoard(); },
        [&] {
            std::size_t suit = 0;
            while (board.Display[North][suit].size() != 1) ++suit;
            seen[suit * 3 + static_cast<std::size_t>(Hcp(board.Display[North]) - 20)] += 1;
            singleton[RankLetters.find(board.Display[North][suit][0])] += 1;
        });
    const double all = static_cast<double>(CountHands(d));
    std::vector<double> expected(12), expectedSingleton(13, 0.0);
    for (int p = 20; p <= 22; ++p) {
        HandDefinition exact = d;
        exact.MinPoints = exact.MaxPoints = static_cast<std::uint8_t>(p);
        for (std::size_t s = 0; s < 4; ++s)
            expected[s * 3 + static_cast<std::size_t>(p - 20)] = boards * CountHands(exact) / all / 4;
    }
    for (int rank = 0; rank < 13; ++rank) {
        HandDefinition single = d;
        single.MaxSLength = 1;
        single.MustHave[MakeCard(0, rank)] = true;
        expectedSingleton[static_cast<std::size_t>(rank)] = boards * 4 * CountHands(single) / all;
    }
    EXPECT_LT(ChiSquare(seen, expected), Limit(11));
    EXPECT_LT(ChiSquare(singleton, expectedSingleton), Limit(12));
}

// Two slots that overlap (a balanced 15-17 and four spades with 12-16), and
// South dealt and tested after North is built.
TEST(BuiltHands, overlappingAlternativesAndASecondSeatMatchPlainRejection) {
    auto setUp = [](DealEngine& board) {
        HandDefinition balanced = HandDefinition::AcceptingEveryHand();
        balanced.MinPoints = 15;
        balanced.MaxPoints = 17;
        balanced.YesShapes = {"4333", "4432", "5332"};
        HandDefinition spades = HandDefinition::AcceptingEveryHand();
        spades.MinSLength = 4;
        spades.MinPoints = 12;
        spades.MaxPoints = 16;
        HandDefinition south = HandDefinition::AcceptingEveryHand();
        south.MinPoints = 10;
        board.SetConstrained(North, true);
        board.SetConstrained(South, true);
        board.SetSlot(North, 0, balanced);
        board.SetSlot(North, 2, spades);
        board.SetSlot(South, 0, south);
    };
    ExpectBuiltLikeDealt(
        setUp, 24,
        [](const DealEngine& b) {
            const std::size_t spades = std::min<std::size_t>(b.Display[North][0].size(), 6);
            const std::size_t north = Hcp(b.Display[North]) <= 13 ? 0 : Band(Hcp(b.Display[North]), 13, 1, 4);
            return north * 6 + (spades <= 4 ? 0 : spades - 4) * 2 + (Hcp(b.Display[South]) >= 13);
        },
        32);
}

// Seeding on: North's first slot must hold the spade ace and king (placed
// before any draw), its second takes any 20 or more; South's seeded club
// ace can never be North's.
TEST(BuiltHands, seededCardsKeepTheirMeaning) {
    auto setUp = [](DealEngine& board) {
        board.SeedFirst = true;
        HandDefinition first = HandDefinition::AcceptingEveryHand();
        first.MustHave[MakeCard(0, 0)] = first.MustHave[MakeCard(0, 1)] = true;
        first.MinPoints = 16;
        HandDefinition second = HandDefinition::AcceptingEveryHand();
        second.MinPoints = 20;
        HandDefinition south = HandDefinition::AcceptingEveryHand();
        south.MustHave[MakeCard(3, 0)] = true;
        board.SetConstrained(North, true);
        board.SetConstrained(South, true);
        board.SetSlot(North, 0, first);
        board.SetSlot(North, 1, second);
        board.SetSlot(South, 0, south);
    };
    ExpectBuiltLikeDealt(
        setUp, 16,
        [](const DealEngine& b) {
            EXPECT_TRUE(Holds(b.Display[North], 0, 'A') && Holds(b.Display[North], 0, 'K'));
            EXPECT_TRUE(Holds(b.Display[South], 3, 'A'));
            return Band(Hcp(b.Display[North]), 16, 2, 4) * 4 + std::min<std::size_t>(b.Display[North][0].size(), 5) - 2;
        },
        33);
}

// Per-suit limits (hearts length, top-3 and top-5 honours, diamond points)
// with AK controls.
TEST(BuiltHands, perSuitLimitsMatchPlainRejection) {
    auto setUp = [](DealEngine& board) {
        HandDefinition d = HandDefinition::AcceptingEveryHand();
        d.MinHLength = 5;
        d.MaxHLength = 6;
        d.MinTop3H = 2;
        d.MaxTop5H = 3;
        d.MaxDPoints = 3;
        d.MinAK = 3;
        d.MaxAK = 5;
        board.SetConstrained(North, true);
        board.SetSlot(North, 0, d);
    };
    ExpectBuiltLikeDealt(
        setUp, 24,
        [](const DealEngine& b) {
            const std::string& hearts = b.Display[North][1];
            const std::size_t top = hearts.substr(0, 3) == "AKQ" ? 2 : hearts.rfind("AK", 0) == 0 ? 1 : 0;
            const std::size_t nine = hearts.find('9') != std::string::npos;
            return (hearts.size() - 5) * 12 + top * 4 + nine * 2 + (Hcp(b.Display[North]) >= 13);
        },
        34);
}

// A seat whose slot accepts almost every hand (no 4-3-3-3, at most 30
// points) is built as uniformly.
TEST(BuiltHands, aSlotThatAcceptsAlmostEveryHandMatchesPlainRejection) {
    auto setUp = [](DealEngine& board) {
        HandDefinition d = HandDefinition::AcceptingEveryHand();
        d.YesShapes.erase(std::find(d.YesShapes.begin(), d.YesShapes.end(), "4333"));
        d.MaxPoints = 30;
        board.SetConstrained(North, true);
        board.SetSlot(North, 0, d);
    };
    ExpectBuiltLikeDealt(
        setUp, 14,
        [](const DealEngine& b) {
            std::size_t longest = 0;
            for (const auto& suit : b.Display[North]) longest = std::max(longest, suit.size());
            return Band(Hcp(b.Display[North]), 4, 4, 7) * 2 + (longest >= 6);
        },
        35);
}

} // namespace
} // namespace zelv
