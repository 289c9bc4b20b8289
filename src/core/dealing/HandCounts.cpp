#include "core/dealing/HandCounts.h"

#include "core/cards/HandValue.h"
#include "core/dealing/SecureDealer.h"
#include "core/definitions/DefinitionKeys.h"

#include <algorithm>
#include <bit>
#include <string>

namespace zelv {

namespace {

// Honour counts are kept as four 4-bit fields (aces, kings, queens, jacks),
// so adding two hands' counts is one addition, and taking a suit's honours
// away is one subtraction whose borrow shows in the fields' upper bits.
constexpr unsigned HonourCounts(unsigned akqj) {
    return (akqj & 1u) | ((akqj >> 1) & 1u) << 4 | ((akqj >> 2) & 1u) << 8 | ((akqj >> 3) & 1u) << 12;
}
// The same counts, each at most 3, as an index of four 2-bit fields.
constexpr unsigned Index2(unsigned counts) {
    return (counts & 3u) | ((counts >> 4) & 3u) << 2 | ((counts >> 8) & 3u) << 4 | ((counts >> 12) & 3u) << 6;
}
constexpr unsigned Counts2(unsigned index) {
    return (index & 3u) | ((index >> 2) & 3u) << 4 | ((index >> 4) & 3u) << 8 | ((index >> 6) & 3u) << 12;
}
// Subtracting a suit's honours left every count at 3 or less and none below 0.
constexpr bool FitsThreeSuits(unsigned counts) { return (counts & ~0x3333u) == 0; }

constexpr CardMask RankAcrossSuits(int rank) {
    CardMask m = 0;
    for (int s = 0; s < 4; ++s) m |= CardMask{1} << (13 * s + rank);
    return m;
}
constexpr CardMask Aces = RankAcrossSuits(0), Kings = RankAcrossSuits(1), Queens = RankAcrossSuits(2),
                   Jacks = RankAcrossSuits(3);

constexpr int TupleIndex(int l0, int l1, int l2) { return l0 * 196 + l1 * 14 + l2; }

// A weighted choice among up to 16 classes: the index whose running sum
// first exceeds a uniform draw below the total.
int Choose(SecureRandom& random, const std::uint64_t* weights, int n) {
    std::uint64_t total = 0;
    for (int i = 0; i < n; ++i) total += weights[i];
    std::uint64_t r = random.Below64(total);
    for (int i = 0; i < n; ++i) {
        if (r < weights[i]) return i;
        r -= weights[i];
    }
    return n - 1;
}

} // namespace

HandCounts::HandCounts(const HandDefinition& defn, CardMask required, CardMask excluded, bool drawable) {
    required |= defn.MustHaveMask();
    required &= AllCardsMask;
    for (int s = 0; s < 4; ++s) BuildSuitTable(defn, s, SuitBits(required, s), SuitBits(excluded, s));
    for (int na = 0; na <= 4; ++na)
        for (int nk = 0; nk <= 4; ++nk)
            for (int nq = 0; nq <= 4; ++nq)
                for (int nj = 0; nj <= 4; ++nj) {
                    const int points = HonourPoints(na, nk, nq, nj), ak = AKControls(na, nk),
                              akq = AKQControls(na, nk, nq);
                    handOk_[static_cast<std::size_t>(na | nk << 4 | nq << 8 | nj << 12)] =
                        points >= defn.MinPoints && points <= defn.MaxPoints && ak >= defn.MinAK && ak <= defn.MaxAK &&
                        akq >= defn.MinAKQ && akq <= defn.MaxAKQ;
                }
    const std::vector<Lengths> tuples = AcceptedTuples(defn);
    CountSuitPairs(tuples);
    std::vector<std::uint64_t> weights = CountHandsByHonours(tuples, drawable);
    if (drawable) BuildAlias(weights);
}

void HandCounts::BuildSuitTable(const HandDefinition& defn, int s, unsigned need, unsigned avoid) {
    auto lim = [&](LimitGroup g, bool max) { return defn.Limit(SuitLimitIndex(g, s, max)); };
    SuitTable& t = suits_[s];
    t.Ok.assign(8192 / 64, 0);
    std::array<std::uint16_t, 14 * 16> size{};
    for (unsigned bits = 0; bits < 8192; ++bits) {
        if ((bits & need) != need || (bits & avoid) != 0) continue;
        const int len = std::popcount(bits);
        const SuitHonours h = HonoursOfSuit(bits);
        if (len < lim(GroupLength, false) || len > lim(GroupLength, true)) continue;
        if (h.Points < lim(GroupPoints, false) || h.Points > lim(GroupPoints, true)) continue;
        if (h.Top3 < lim(GroupTop3, false) || h.Top3 > lim(GroupTop3, true)) continue;
        if (h.Top5 < lim(GroupTop5, false) || h.Top5 > lim(GroupTop5, true)) continue;
        t.Ok[bits / 64] |= std::uint64_t{1} << (bits % 64);
        ++size[static_cast<std::size_t>(len * 16 + static_cast<int>(bits & 15u))];
    }
    for (int c = 0; c < 14 * 16; ++c) t.Start[c + 1] = static_cast<std::uint16_t>(t.Start[c] + size[c]);
    t.Holdings.resize(t.Start.back());
    std::array<std::uint16_t, 14 * 16> fill{};
    for (int c = 0; c < 14 * 16; ++c) fill[c] = t.Start[c];
    for (unsigned bits = 0; bits < 8192; ++bits)
        if ((t.Ok[bits / 64] >> (bits % 64)) & 1u)
            t.Holdings[fill[std::popcount(bits) * 16 + static_cast<int>(bits & 15u)]++] =
                static_cast<std::uint16_t>(bits);
}

std::vector<HandCounts::Lengths> HandCounts::AcceptedTuples(const HandDefinition& defn) {
    std::vector<Lengths> tuples;
    const std::uint64_t patterns = PatternsOfYesList(defn.YesShapes);
    auto lengthsExist = [&](int s, int len) { return suits_[s].Start[len * 16 + 16] > suits_[s].Start[len * 16]; };
    for (int l1 = 0; l1 <= 13; ++l1)
        for (int l2 = 0; l1 + l2 <= 13; ++l2)
            for (int l3 = 0; l1 + l2 + l3 <= 13; ++l3) {
                const int l0 = 13 - l1 - l2 - l3;
                const bool named = (patterns >> PatternId(l0, l1, l2)) & 1u;
                shapeOk_[TupleIndex(l0, l1, l2)] = named;
                if (named && lengthsExist(0, l0) && lengthsExist(1, l1) && lengthsExist(2, l2) && lengthsExist(3, l3))
                    tuples.push_back(Lengths{static_cast<std::uint8_t>(l1), static_cast<std::uint8_t>(l2),
                                             static_cast<std::uint8_t>(l3)});
            }
    return tuples;
}

void HandCounts::CountSuitPairs(const std::vector<Lengths>& tuples) {
    // Diamonds and clubs together, then hearts added, for the lengths the
    // accepted tuples use.
    d23At_.fill(-1);
    d123At_.fill(-1);
    d123_.reserve(tuples.size() * 256);
    d23_.reserve(std::min<std::size_t>(tuples.size(), 105) * 256);
    for (const Lengths& u : tuples) {
        std::int32_t& at23 = d23At_[u.L2 * 14 + u.L3];
        if (at23 < 0) {
            at23 = static_cast<std::int32_t>(d23_.size());
            d23_.resize(d23_.size() + 256, 0);
            for (unsigned a2 = 0; a2 < 16; ++a2)
                for (unsigned a3 = 0; a3 < 16; ++a3)
                    d23_[static_cast<std::size_t>(at23) + Index2(HonourCounts(a2) + HonourCounts(a3))] +=
                        suits_[2].Size(u.L2, static_cast<int>(a2)) * suits_[3].Size(u.L3, static_cast<int>(a3));
        }
        std::int32_t& at123 = d123At_[TupleIndex(u.L1, u.L2, u.L3)];
        at123 = static_cast<std::int32_t>(d123_.size());
        d123_.resize(d123_.size() + 256, 0);
        for (unsigned a1 = 0; a1 < 16; ++a1) {
            const std::uint64_t c1 = suits_[1].Size(u.L1, static_cast<int>(a1));
            if (!c1) continue;
            for (unsigned i = 0; i < 256; ++i) {
                const std::uint64_t w = d23_[static_cast<std::size_t>(at23) + i];
                if (!w) continue;
                const unsigned sum = Counts2(i) + HonourCounts(a1);
                if (FitsThreeSuits(sum)) d123_[static_cast<std::size_t>(at123) + Index2(sum)] += c1 * w;
            }
        }
    }
}

std::vector<std::uint64_t> HandCounts::CountHandsByHonours(const std::vector<Lengths>& tuples, bool drawable) {
    // Spades last: the hands of each tuple by their four honour counts,
    // kept where the totals are accepted.
    std::array<std::uint64_t, 0x4445> byHonours{};
    std::vector<std::uint16_t> touched;
    std::vector<std::uint64_t> weights;
    for (const Lengths& u : tuples) {
        const int l0 = 13 - u.L1 - u.L2 - u.L3;
        const std::size_t at123 = static_cast<std::size_t>(d123At_[TupleIndex(u.L1, u.L2, u.L3)]);
        touched.clear();
        for (unsigned a0 = 0; a0 < 16; ++a0) {
            const std::uint64_t c0 = suits_[0].Size(l0, static_cast<int>(a0));
            if (!c0) continue;
            for (unsigned i = 0; i < 256; ++i) {
                const std::uint64_t w = d123_[at123 + i];
                if (!w) continue;
                const unsigned h = Counts2(i) + HonourCounts(a0);
                if (!handOk_[h]) continue;
                if (!byHonours[h]) touched.push_back(static_cast<std::uint16_t>(h));
                byHonours[h] += c0 * w;
            }
        }
        for (std::uint16_t h : touched) {
            if (drawable) {
                entries_.push_back(Entry{u.L1, u.L2, u.L3, h});
                weights.push_back(byHonours[h]);
            }
            total_ += byHonours[h];
            byHonours[h] = 0;
        }
    }
    return weights;
}

void HandCounts::BuildAlias(std::vector<std::uint64_t>& weights) {
    // Each of the n entries gets a bin of total_ units; its weight, scaled
    // by n, fills its own bin, and what is over fills the bins of entries
    // with less. In whole numbers nothing is lost, so each entry is drawn
    // with exactly its share (n * total_ stays below 2^58).
    const std::size_t n = entries_.size();
    keep_.assign(n, total_);
    alias_.resize(n);
    std::vector<std::uint32_t> small, large;
    for (std::size_t i = 0; i < n; ++i) {
        alias_[i] = static_cast<std::uint32_t>(i);
        weights[i] *= n;
        (weights[i] < total_ ? small : large).push_back(static_cast<std::uint32_t>(i));
    }
    while (!small.empty() && !large.empty()) {
        const std::uint32_t s = small.back(), l = large.back();
        small.pop_back();
        keep_[s] = weights[s];
        alias_[s] = l;
        weights[l] -= total_ - weights[s];
        if (weights[l] < total_) {
            large.pop_back();
            small.push_back(l);
        }
    }
}

bool HandCounts::Meets(CardMask hand) const {
    int len[4];
    for (int s = 0; s < 4; ++s) {
        const unsigned bits = SuitBits(hand, s);
        if (!((suits_[s].Ok[bits / 64] >> (bits % 64)) & 1u)) return false;
        len[s] = std::popcount(bits);
    }
    if (len[0] + len[1] + len[2] + len[3] != 13 || !shapeOk_[TupleIndex(len[0], len[1], len[2])]) return false;
    const unsigned h = static_cast<unsigned>(std::popcount(hand & Aces) | std::popcount(hand & Kings) << 4 |
                                             std::popcount(hand & Queens) << 8 | std::popcount(hand & Jacks) << 12);
    return handOk_[h];
}

CardMask HandCounts::Draw(SecureRandom& random) const {
    // A tuple and honour counts with the chance of the hands they hold; then
    // each suit's A K Q J with the chance of the hands that choice leaves;
    // then each suit's holding, uniform within its class.
    std::size_t i = entries_.size() > 1 ? random.Below(static_cast<std::uint32_t>(entries_.size())) : 0;
    if (random.Below64(total_) >= keep_[i]) i = alias_[i];
    const Entry& e = entries_[i];
    const int l1 = e.L1, l2 = e.L2, l3 = e.L3, l0 = 13 - l1 - l2 - l3;
    unsigned rest = e.Honours;

    // Taking a suit's honours away lowers the 2-bit index by as much as it
    // lowers the counts, whenever no count goes below 0.
    static constexpr auto Lower = [] {
        std::array<unsigned, 16> t{};
        for (unsigned a = 0; a < 16; ++a) t[a] = Index2(HonourCounts(a));
        return t;
    }();
    auto classSizes = [&](int s, int length) { return suits_[static_cast<std::size_t>(s)].Start.data() + length * 16; };
    std::uint64_t w[16];

    const std::uint16_t* c0 = classSizes(0, l0);
    const std::uint64_t* d123 = d123_.data() + d123At_[TupleIndex(l1, l2, l3)];
    unsigned base = (rest & 15u) + ((rest >> 4) & 15u) * 4 + ((rest >> 8) & 15u) * 16 + ((rest >> 12) & 15u) * 64;
    for (unsigned a = 0; a < 16; ++a) {
        const unsigned c = static_cast<unsigned>(c0[a + 1] - c0[a]);
        w[a] = c && FitsThreeSuits(rest - HonourCounts(a)) ? c * d123[base - Lower[a]] : 0;
    }
    const unsigned a0 = static_cast<unsigned>(Choose(random, w, 16));
    rest -= HonourCounts(a0);
    base -= Lower[a0];

    const std::uint16_t* c1 = classSizes(1, l1);
    const std::uint64_t* d23 = d23_.data() + d23At_[l2 * 14 + l3];
    for (unsigned a = 0; a < 16; ++a) {
        const unsigned c = static_cast<unsigned>(c1[a + 1] - c1[a]);
        w[a] = c && FitsThreeSuits(rest - HonourCounts(a)) ? c * d23[base - Lower[a]] : 0;
    }
    const unsigned a1 = static_cast<unsigned>(Choose(random, w, 16));
    rest -= HonourCounts(a1);

    // What diamonds leave is clubs' A K Q J, each count 0 or 1.
    const std::uint16_t *c2 = classSizes(2, l2), *c3 = classSizes(3, l3);
    auto bitsOf = [](unsigned counts) {
        return (counts & 1u) | ((counts >> 4) & 1u) << 1 | ((counts >> 8) & 1u) << 2 | ((counts >> 12) & 1u) << 3;
    };
    for (unsigned a = 0; a < 16; ++a) {
        const unsigned left = rest - HonourCounts(a), a3 = bitsOf(left);
        w[a] = (left & ~0x1111u) == 0 ? std::uint64_t{static_cast<unsigned>(c2[a + 1] - c2[a])} *
                                            static_cast<unsigned>(c3[a3 + 1] - c3[a3])
                                      : 0;
    }
    const unsigned a2 = static_cast<unsigned>(Choose(random, w, 16));
    const unsigned a3 = bitsOf(rest - HonourCounts(a2));

    const int lengths[4] = {l0, l1, l2, l3};
    const unsigned akqj[4] = {a0, a1, a2, a3};
    CardMask hand = 0;
    for (int s = 0; s < 4; ++s) {
        const SuitTable& st = suits_[s];
        const int c = lengths[s] * 16 + static_cast<int>(akqj[s]);
        const unsigned n = static_cast<unsigned>(st.Start[c + 1] - st.Start[c]);
        const unsigned pick = n > 1 ? random.SmallBelow(n) : 0;
        hand |= CardMask{st.Holdings[st.Start[c] + pick]} << (13 * s);
    }
    return hand;
}

} // namespace zelv
