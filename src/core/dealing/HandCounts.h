#pragma once
// Exact counts of the hands a hand definition accepts, and uniform draws
// from them. A hand is judged suit by suit (length, points, top-3 and top-5
// honours, must-have cards), by its pattern, and by its totals of points,
// AK and AKQ controls, which all follow from how many aces, kings, queens
// and jacks it holds. So the holdings of each suit are grouped by length
// and by which of A K Q J they hold, and the hands are the products of four
// such groups whose lengths make an accepted pattern and whose honours make
// accepted totals.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zelv {

class SecureRandom;

// Hands of thirteen cards from a pack of 52: 635,013,559,600.
inline constexpr std::uint64_t AllHands = 635013559600ull;

class HandCounts {
  public:
    // The hands that meet `defn` (its limits, shapes and must-have cards,
    // whether or not it is marked Defined), also hold every card of
    // `required` and none of `excluded`. Without `drawable` only Count and
    // Meets may be used, and the tables Draw needs are not built.
    explicit HandCounts(const HandDefinition& defn, CardMask required = 0, CardMask excluded = 0, bool drawable = true);

    // How many hands those are, exactly.
    std::uint64_t Count() const { return total_; }
    // Whether one hand is among them.
    bool Meets(CardMask hand) const;
    // One of them, each with the same chance. Count() must not be 0.
    CardMask Draw(SecureRandom& random) const;

  private:
    // Holdings of one suit that pass its limits, grouped by class: length
    // times 16 plus the A K Q J bits (bits 0..3 of the suit's mask).
    struct SuitTable {
        std::array<std::uint16_t, 14 * 16 + 1> Start{};
        std::vector<std::uint16_t> Holdings;
        std::vector<std::uint64_t> Ok; // 8192 bits: the holding passes
        std::uint64_t Size(int length, int akqj) const {
            const int c = length * 16 + akqj;
            return static_cast<std::uint64_t>(Start[c + 1] - Start[c]);
        }
    };
    // Lengths of hearts, diamonds and clubs (spades have the rest) and the
    // hand's four honour counts, 4 bits each (aces, kings, queens, jacks).
    struct Entry {
        std::uint8_t L1, L2, L3;
        std::uint16_t Honours;
    };

    // Lengths of hearts, diamonds and clubs of an accepted tuple.
    struct Lengths {
        std::uint8_t L1, L2, L3; // spades have the rest
    };
    // The steps of building the counts, in order.
    void BuildSuitTable(const HandDefinition& defn, int suit, unsigned need, unsigned avoid);
    std::vector<Lengths> AcceptedTuples(const HandDefinition& defn);
    void CountSuitPairs(const std::vector<Lengths>& tuples);
    // Sets total_ and, when drawable, entries_; returns the entries' weights.
    std::vector<std::uint64_t> CountHandsByHonours(const std::vector<Lengths>& tuples, bool drawable);
    void BuildAlias(std::vector<std::uint64_t>& weights);

    std::array<SuitTable, 4> suits_;
    std::array<bool, 0x4445> handOk_{}; // by the four honour counts, 4 bits each
    std::array<bool, 14 * 14 * 14> shapeOk_{};
    // Hands by honour counts (2 bits each) of hearts to clubs and of
    // diamonds and clubs, for each set of their lengths.
    std::vector<std::uint64_t> d123_, d23_;
    std::array<std::int32_t, 14 * 14 * 14> d123At_{};
    std::array<std::int32_t, 14 * 14> d23At_{};
    // Every tuple and honour counts that hold accepted hands, drawn by
    // Walker's alias method in whole numbers: entry i is kept when a draw
    // below total_ falls under keep_[i], else alias_[i] is taken.
    std::vector<Entry> entries_;
    std::vector<std::uint64_t> keep_;
    std::vector<std::uint32_t> alias_;
    std::uint64_t total_ = 0;
};

// The number of hands `defn` accepts, out of AllHands.
inline std::uint64_t CountHands(const HandDefinition& defn) { return HandCounts(defn, 0, 0, false).Count(); }

} // namespace zelv
