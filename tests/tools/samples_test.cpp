// The sample hand definitions shipped beside the program: the committed
// files are what the editor's writer makes of them, and dealing with each
// gives the hands its name promises, judged here by counting the cards.
#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "core/files/FileUtil.h"
#include "tools/Samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace zelv;

namespace {

const std::string Folder = std::string(ZELV_TEST_DATA) + "/../../data/Hand Definitions";

struct Seen {
    int points = 0;
    std::array<int, 4> length{};
    std::array<int, 4> top3{}; // aces, kings, queens per suit
    std::array<int, 4> top5{};
    std::string pattern; // lengths longest first
};

Seen Measure(const DisplayRow& hand) {
    Seen s;
    for (int suit = 0; suit < 4; ++suit) {
        const std::string& h = hand[static_cast<std::size_t>(suit)];
        s.length[static_cast<std::size_t>(suit)] = static_cast<int>(h.size());
        for (char c : h) {
            s.points += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
            if (c == 'A' || c == 'K' || c == 'Q') ++s.top3[static_cast<std::size_t>(suit)];
            if (c == 'A' || c == 'K' || c == 'Q' || c == 'J' || c == 'T') ++s.top5[static_cast<std::size_t>(suit)];
        }
    }
    std::array<int, 4> sorted = s.length;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    for (int l : sorted) s.pattern += std::to_string(l);
    return s;
}

bool Balanced(const Seen& s) { return s.pattern == "4333" || s.pattern == "4432" || s.pattern == "5332"; }

// What each sample promises a teacher, in bridge terms.
const std::map<std::string, std::function<bool(const Seen&)>> Promises = {
    {"1NT 15-17", [](const Seen& s) { return Balanced(s) && s.points >= 15 && s.points <= 17; }},
    {"2NT 20-21", [](const Seen& s) { return Balanced(s) && s.points >= 20 && s.points <= 21; }},
    {"2C Strong 22+", [](const Seen& s) { return s.points >= 22; }},
    {"Weak 2S",
     [](const Seen& s) {
         const int shortest = *std::min_element(s.length.begin(), s.length.end());
         return s.length[0] == 6 && s.length[1] <= 3 && shortest >= 1 && s.top5[0] >= 2 && s.points >= 5 &&
                s.points <= 10;
     }},
    {"4-4-4-1", [](const Seen& s) { return s.pattern == "4441" && s.points >= 11 && s.points <= 15; }},
    {"Preempt 3H", [](const Seen& s) { return s.length[1] == 7 && s.top3[1] >= 2 && s.points >= 5 && s.points <= 9; }},
    {"1S Opener", [](const Seen& s) { return s.length[0] >= 5 && s.points >= 12 && s.points <= 19; }},
    {"Weak Balanced 0-5",
     [](const Seen& s) { return *std::max_element(s.length.begin(), s.length.end()) == 4 && s.points <= 5; }},
};

} // namespace

TEST(SampleDefinitions, committedFilesAreTheWritersOutput) {
    const auto samples = samples::SampleDefinitions();
    EXPECT_EQ(samples.size(), Promises.size());
    for (const auto& sample : samples) {
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(JoinPath(Folder, sample.Name + ".HDS"), bytes))
            << sample.Name << ": run zelvano-samples \"data/Hand Definitions\"";
        EXPECT_EQ(bytes, DefinitionFileText(sample.Defn)) << sample.Name;
    }
}

TEST(SampleDefinitions, everyShapeInExactlyOneList) {
    for (const auto& sample : samples::SampleDefinitions()) {
        DefinitionText d;
        ASSERT_TRUE(ReadDefinitionFile(JoinPath(Folder, sample.Name + ".HDS"), d, nullptr, nullptr));
        std::vector<std::string> all = d.YesShapes;
        all.insert(all.end(), d.NoShapes.begin(), d.NoShapes.end());
        std::sort(all.begin(), all.end());
        EXPECT_EQ(all.size(), 39u) << sample.Name;
        EXPECT_TRUE(std::adjacent_find(all.begin(), all.end()) == all.end()) << sample.Name;
        EXPECT_TRUE(std::is_sorted(d.YesShapes.begin(), d.YesShapes.end())) << sample.Name;
    }
}

TEST(SampleDefinitions, dealingGivesWhatTheNamePromises) {
    for (const auto& [name, promise] : Promises) {
        DealEngine board;
        DealSetup setup;
        setup[North].Constrained = true;
        setup[North].Names[0] = name;
        std::string error;
        ASSERT_TRUE(board.LoadSetup(setup, Folder, &error)) << name << ": " << error;
        board.Random = ClassicRandom(20261208u);
        int accepted = 0;
        for (int attempt = 0; attempt < 2'000'000 && accepted < 12; ++attempt) {
            board.DealBoard();
            if (!board.Accepted) continue;
            ++accepted;
            const Seen s = Measure(board.Display[North]);
            EXPECT_TRUE(promise(s)) << name << ": " << s.pattern << " with " << s.points << " points";
        }
        EXPECT_EQ(accepted, 12) << name;
    }
}
