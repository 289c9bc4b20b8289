#include "core/dealing/DealEngine.h"

#include "core/cards/CardTables.h"
#include "core/cards/HandValue.h"
#include "core/definitions/DefinitionKeys.h"
#include "core/files/FileUtil.h"
#include "core/files/IniFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace zelv {

namespace {

// A name in `folder` equal to `name` without regard to case; the exact
// spelling wins when both exist. Any kind of entry is found, so that one
// that is no plain file is refused for what it is rather than as missing.
std::string FindNoCase(const std::string& folder, const std::string& name) {
    std::string exact = JoinPath(folder, name);
    std::error_code ec;
    if (std::filesystem::exists(exact, ec)) return exact;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec))
        if (EqualsNoCase(it->path().filename().string(), name)) return JoinPath(folder, it->path().filename().string());
    return {};
}

// Reads the Yes list. A list of exactly as many entries as there are
// patterns accepts every pattern (NamesEveryPattern); otherwise only which
// patterns it names counts. Past that many entries, then, only the first of
// each pattern is kept (and one entry, should none be a pattern), so a huge
// list costs no more than a short one.
void ReadYesShapes(const IniFile& ini, HandDefinition& slot) {
    slot.YesShapes.clear();
    slot.Notes = tDefinitionNotes{};
    std::size_t entries = 0;
    auto isPattern = [](const std::string& shape) { return PatternIdOf(shape) >= 0; };
    ini.ForEachKey(SectionYesShapes, [&](std::string_view key) {
        std::string shape = ini.ReadString(SectionYesShapes, key, "0");
        if (!isPattern(shape)) {
            constexpr std::size_t Named = 5; // a file of nothing else is named by its first few
            if (slot.Notes.NotShapes.size() < Named)
                slot.Notes.NotShapes.push_back(std::string(key) + "=" + shape);
            else
                ++slot.Notes.MoreNotShapes;
        }
        constexpr auto EveryPattern = static_cast<std::size_t>(PatternCount);
        if (++entries <= EveryPattern) {
            slot.YesShapes.push_back(std::move(shape));
            return;
        }
        if (entries == EveryPattern + 1) {
            std::vector<std::string> named;
            for (auto& s : slot.YesShapes)
                if (isPattern(s) && std::find(named.begin(), named.end(), s) == named.end()) named.push_back(s);
            if (named.empty()) named.push_back(slot.YesShapes.front());
            slot.YesShapes.swap(named);
        }
        if (isPattern(shape) &&
            std::find(slot.YesShapes.begin(), slot.YesShapes.end(), shape) == slot.YesShapes.end()) {
            // The stand-in for a list without patterns gives way to the first real one.
            if (slot.YesShapes.size() == 1 && !isPattern(slot.YesShapes.front())) slot.YesShapes.clear();
            slot.YesShapes.push_back(std::move(shape));
        }
    });
}

} // namespace

// ---------------------------------------------------------------- HandDefinition

static std::uint8_t HandDefinition::*const LimitMembers[LimitCount] = {
    &HandDefinition::MinPoints,  &HandDefinition::MaxPoints,  &HandDefinition::MinAK,      &HandDefinition::MaxAK,
    &HandDefinition::MinAKQ,     &HandDefinition::MaxAKQ,     &HandDefinition::MinSPoints, &HandDefinition::MaxSPoints,
    &HandDefinition::MinHPoints, &HandDefinition::MaxHPoints, &HandDefinition::MinDPoints, &HandDefinition::MaxDPoints,
    &HandDefinition::MinCPoints, &HandDefinition::MaxCPoints, &HandDefinition::MinSLength, &HandDefinition::MaxSLength,
    &HandDefinition::MinHLength, &HandDefinition::MaxHLength, &HandDefinition::MinDLength, &HandDefinition::MaxDLength,
    &HandDefinition::MinCLength, &HandDefinition::MaxCLength, &HandDefinition::MinTop3S,   &HandDefinition::MaxTop3S,
    &HandDefinition::MinTop3H,   &HandDefinition::MaxTop3H,   &HandDefinition::MinTop3D,   &HandDefinition::MaxTop3D,
    &HandDefinition::MinTop3C,   &HandDefinition::MaxTop3C,   &HandDefinition::MinTop5S,   &HandDefinition::MaxTop5S,
    &HandDefinition::MinTop5H,   &HandDefinition::MaxTop5H,   &HandDefinition::MinTop5D,   &HandDefinition::MaxTop5D,
    &HandDefinition::MinTop5C,   &HandDefinition::MaxTop5C,
};

std::uint8_t& HandDefinition::Limit(int index) { return this->*LimitMembers[index]; }
std::uint8_t HandDefinition::Limit(int index) const { return this->*LimitMembers[index]; }

int HandDefinition::MustHaveCount() const {
    return static_cast<int>(std::count(MustHave.begin() + 1, MustHave.end(), true));
}

CardMask HandDefinition::MustHaveMask() const {
    CardMask m = 0;
    for (int c = 1; c <= 52; ++c)
        if (MustHave[c]) m |= CardBit(static_cast<CardCode>(c));
    return m;
}

void HandDefinition::Clear() { *this = HandDefinition{}; }

HandDefinition HandDefinition::AcceptingEveryHand() {
    HandDefinition d;
    d.Defined = true;
    d.YesShapes.assign(PatternStrings().begin(), PatternStrings().end());
    for (int i = 0; i < LimitCount; i += 2) d.Limit(i + 1) = 255;
    return d;
}

// ---------------------------------------------------------------- free functions

// ---------------------------------------------------------------- DealEngine

DealEngine::DealEngine() = default;

void DealEngine::SetConstrained(int seat, bool on) {
    Constrained[seat] = on;
    dirty_ = true;
}

void DealEngine::SetSlot(int seat, int position, const HandDefinition& defn) {
    Slots[seat * 5 + position] = defn;
    dirty_ = true;
}

void DealEngine::Compile() {
    for (int seat = 0; seat < 4; ++seat) {
        CompiledSeat& cs = compiled_[seat];
        cs = CompiledSeat{};
        cs.Constrained = IsConstrained(seat);
        if (!cs.Constrained) continue;
        const HandDefinition& first = Slots[seat * 5];
        cs.AlwaysPasses = !first.Defined;
        cs.Count = 5;
        for (int p = 0; p < 5; ++p) {
            const HandDefinition& d = Slots[seat * 5 + p];
            CompiledDefn& cd = cs.Defs[p];
            cd.Defined = d.Defined;
            if (!d.Defined) continue;
            cd.AllPatterns = NamesEveryPattern(d.YesShapes);
            cd.Patterns = PatternsOfYesList(d.YesShapes);
            cd.Must = d.MustHaveMask();
            for (int i = 0; i < LimitCount; ++i) cd.Lim[i] = d.Limit(i);
        }
    }
    // The seeded cards depend on the set-up alone, so every attempt of a
    // run starts from the same ones.
    CardMask taken = 0;
    for (int seat = 0; seat < 4; ++seat) { // North, South, East, West
        seeded_[seat] = 0;
        const HandDefinition& first = Slots[seat * 5];
        if (!SeedFirst || !compiled_[seat].Constrained || !first.Defined) continue;
        CardMask want = first.MustHaveMask() & ~taken & AllCardsMask;
        CardMask placed = 0;
        for (int n = 0; want && n < 13; ++n) {
            const CardMask low = want & (0 - want);
            placed |= low;
            want ^= low;
        }
        seeded_[seat] = placed;
        taken |= placed;
    }
    seededAll_ = taken;
    // Cuts of the running set of draws: North's, South's and East's new cards.
    int drawn = 0;
    for (int seat = 0; seat < 3; ++seat) {
        drawn += 13 - std::popcount(seeded_[seat]);
        cut_[seat] = drawn;
    }
    // The cuts a constrained seat's hand lies between; the last gives the seed.
    constexpr unsigned CutsOf[4] = {1u, 3u, 6u, 4u}; // by seat index
    want_ = 4u;
    bool any = false;
    for (int seat = 0; seat < 4; ++seat)
        if (compiled_[seat].Constrained) {
            want_ |= CutsOf[seat];
            any = true;
        }
    if (!any) want_ = 7u; // every attempt is accepted
    seededFor_ = SeedFirst;
    dirty_ = false;
}

const std::array<CardMask, 4>& DealEngine::SeededCards() {
    if (dirty_ || seededFor_ != SeedFirst) Compile();
    return seeded_;
}

bool DealEngine::FastCheckSeat(int seat, CardMask hand) const {
    // Evaluate, then try the seat's definitions in order.
    const HandValue v = ValueOfHand(hand);
    const auto& h = v.Suits;
    const auto& len = v.Lengths;
    const int pts = v.Points, ak = v.AK, akq = v.AKQ;
    const int pid = PatternId(len[0], len[1], len[2]);

    const CompiledSeat& cs = compiled_[seat];
    if (cs.AlwaysPasses) return true;
    for (int p = 0; p < cs.Count; ++p) {
        const CompiledDefn& d = cs.Defs[p];
        if (!d.Defined) continue;
        const std::uint8_t* L = d.Lim;
        // A definition passes only when every test passes, so the order of
        // the tests cannot change the verdict; on card sets the must-have
        // test is one instruction and goes first.
        if ((d.Must & ~hand) != 0) continue;
        if (pts < L[0] || pts > L[1]) continue;
        if (!d.AllPatterns && !((d.Patterns >> pid) & 1u)) continue;
        bool ok = true;
        for (int s = 0; s < 4 && ok; ++s)
            ok = h[s].Points >= L[GroupPoints + 2 * s] && h[s].Points <= L[GroupPoints + 2 * s + 1];
        for (int s = 0; s < 4 && ok; ++s) ok = len[s] >= L[GroupLength + 2 * s] && len[s] <= L[GroupLength + 2 * s + 1];
        if (!ok) continue;
        if (ak < L[LimMinAK] || ak > L[LimMaxAK]) continue;
        if (akq < L[LimMinAKQ] || akq > L[LimMaxAKQ]) continue;
        for (int s = 0; s < 4 && ok; ++s)
            ok = h[s].Top3 >= L[GroupTop3 + 2 * s] && h[s].Top3 <= L[GroupTop3 + 2 * s + 1];
        for (int s = 0; s < 4 && ok; ++s)
            ok = h[s].Top5 >= L[GroupTop5 + 2 * s] && h[s].Top5 <= L[GroupTop5 + 2 * s + 1];
        if (!ok) continue;
        return true;
    }
    return false;
}

bool DealEngine::SeatMeetsSetup(int seat, CardMask hand) {
    if (dirty_ || seededFor_ != SeedFirst) Compile();
    if (!compiled_[seat].Constrained) return true;
    return FastCheckSeat(seat, hand);
}

namespace {
// Four generator steps at once: seed*a^k + (a^(k-1) + ... + 1) for k = 1..4
// are independent of each other, which shortens the multiply chain the
// draws wait on. The draws themselves stay one at a time and in order, and
// the seed kept is that of the last draw made, so the cards and the final
// seed are those of single steps.
constexpr std::uint32_t A1 = RandMultiplier;
constexpr std::uint32_t A2 = A1 * A1, A3 = A2 * A1, A4 = A3 * A1, A5 = A4 * A1, A6 = A5 * A1, A7 = A6 * A1,
                        A8 = A7 * A1;
constexpr std::uint32_t C2 = A1 + 1u, C3 = A2 + C2, C4 = A3 + C3, C5 = A4 + C4, C6 = A5 + C5, C7 = A6 + C6,
                        C8 = A7 + C7;

inline unsigned DrawOf(std::uint32_t seed) { return static_cast<unsigned>((std::uint64_t{52} * seed) >> 32); }

// Rejection draw without a branch per card: the drawn code is always stored
// at the current position and its pack bit cleared; the position only moves
// on when the card was still in the pack.
inline void FillFrom(Hand& hand, int next, CardMask& pack, std::uint32_t& seed) {
    if (next >= 13) return;
    CardMask p = pack;
    std::uint32_t s = seed;
    auto draw = [&](std::uint32_t x) {
        const unsigned r = DrawOf(x);
        hand[static_cast<std::size_t>(next)] = static_cast<CardCode>(r + 1);
        next += static_cast<int>((p >> r) & 1u);
        p &= ~(CardMask{1} << r);
        return next == 13;
    };
    for (;;) {
        const std::uint32_t s1 = s * A1 + 1u, s2 = s * A2 + C2, s3 = s * A3 + C3, s4 = s * A4 + C4;
        if (draw(s1)) {
            s = s1;
            break;
        }
        if (draw(s2)) {
            s = s2;
            break;
        }
        if (draw(s3)) {
            s = s3;
            break;
        }
        s = s4;
        if (draw(s4)) break;
    }
    pack = p;
    seed = s;
}

// The draws of an attempt seen as a running set: each seat's cards are the
// first new codes drawn, so `taken` (from the seeded cards on) is cut where
// it first holds cut[k] new cards, k = 0, 1, 2 for North, South and East;
// at[k] is the set there. Returns the seed after the draw of the last cut,
// and in `draws` how many draws were made.
std::uint32_t WalkPlain(std::uint32_t seed, CardMask taken, const int* cut, unsigned, CardMask* at,
                        std::uint64_t& draws) {
    int count = 0, k = 0;
    draws = 0;
    while (k < 3 && cut[k] == 0) at[k++] = taken;
    if (k == 3) return seed;
    std::uint32_t s = seed;
    for (;;) {
        const std::uint32_t x[4] = {s * A1 + 1u, s * A2 + C2, s * A3 + C3, s * A4 + C4};
        for (std::uint32_t xi : x) {
            ++draws;
            const CardMask bit = CardMask{1} << DrawOf(xi);
            count += (taken & bit) == 0;
            taken |= bit;
            if (count == cut[k]) {
                do at[k++] = taken;
                while (k < 3 && cut[k] == count);
                if (k == 3) return xi;
            }
        }
        s = x[3];
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Eight draws at once: the eight seeds are independent steps from the same
// one, their cards ORed into one set. A batch that cannot reach the next
// cut the seat checks need is taken whole; the batch that does is gone
// through draw by draw. Cuts outside `want` (bit k) are passed over
// unresolved; the last is always resolved, for the seed.
__attribute__((target("avx2,popcnt"))) std::uint32_t WalkAvx2(std::uint32_t seed, CardMask taken, const int* cut,
                                                              unsigned want, CardMask* at, std::uint64_t& draws) {
    const int base = __builtin_popcountll(taken);
    int k = 0;
    draws = 0;
    while (k < 3 && cut[k] == 0) at[k++] = taken;
    if (k == 3) return seed;
    while (k < 2 && !((want >> k) & 1u)) ++k;
    int target = base + cut[k];
    const __m256i pow =
        _mm256_setr_epi32(static_cast<int>(A1), static_cast<int>(A2), static_cast<int>(A3), static_cast<int>(A4),
                          static_cast<int>(A5), static_cast<int>(A6), static_cast<int>(A7), static_cast<int>(A8));
    const __m256i add =
        _mm256_setr_epi32(1, static_cast<int>(C2), static_cast<int>(C3), static_cast<int>(C4), static_cast<int>(C5),
                          static_cast<int>(C6), static_cast<int>(C7), static_cast<int>(C8));
    const __m256i fiftyTwo = _mm256_set1_epi64x(52), one = _mm256_set1_epi64x(1);
    std::uint32_t s = seed;
    for (;;) {
        const __m256i v = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_set1_epi32(static_cast<int>(s)), pow), add);
        const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(v, fiftyTwo), 32);
        const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(v, 32), fiftyTwo), 32);
        const __m256i bits = _mm256_or_si256(_mm256_sllv_epi64(one, even), _mm256_sllv_epi64(one, odd));
        __m128i h = _mm_or_si128(_mm256_castsi256_si128(bits), _mm256_extracti128_si256(bits, 1));
        h = _mm_or_si128(h, _mm_unpackhi_epi64(h, h));
        const CardMask batch = static_cast<CardMask>(_mm_cvtsi128_si64(h));
        if (__builtin_popcountll(taken | batch) < target) {
            taken |= batch;
            s = s * A8 + C8;
            draws += 8;
            continue;
        }
        std::uint32_t x = s;
        for (int j = 0; j < 8; ++j) {
            x = x * A1 + 1u;
            taken |= CardMask{1} << DrawOf(x);
            const int count = __builtin_popcountll(taken);
            if (count != target) continue;
            do at[k++] = taken;
            while (k < 3 && base + cut[k] == count);
            if (k == 3) {
                draws += static_cast<std::uint64_t>(j) + 1;
                return x;
            }
            while (k < 2 && !((want >> k) & 1u)) ++k;
            target = base + cut[k];
        }
        s = x;
        draws += 8;
    }
}

const bool HasAvx2 = [] {
    __builtin_cpu_init(); // may run before the library's own start-up code
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}();
#endif
} // namespace

bool DealEngine::VectorDrawsAvailable() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    return HasAvx2;
#else
    return false;
#endif
}

void DealEngine::FillHands(std::uint32_t seed, CardMask* hands) const {
    CardMask pack = AllCardsMask & ~seededAll_;
    for (const int seat : {DealingOrder[0], DealingOrder[1], DealingOrder[2]}) { // the last takes the rest
        Hand drawn{};
        CardMask before = pack;
        FillFrom(drawn, std::popcount(seeded_[seat]), pack, seed);
        hands[seat] = (before ^ pack) | seeded_[seat];
    }
    hands[DealingOrder[3]] = pack | seeded_[DealingOrder[3]];
}

void DealEngine::DealBoard() {
    if (dirty_ || seededFor_ != SeedFirst) Compile();
    Accepted = false;
    const std::uint32_t start = Random.Seed;
    CardMask at[3] = {};
    using Walk = std::uint32_t (*)(std::uint32_t, CardMask, const int*, unsigned, CardMask*, std::uint64_t&);
    Walk walk = WalkPlain;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (HasAvx2 && !PortableDraws) walk = WalkAvx2;
#endif
    std::uint64_t draws = 0;
    const std::uint32_t after = walk(start, seededAll_, cut_, want_, at, draws);
    if (draws > DrawsLeft) {
        SequenceSpent = true;
        return;
    }
    DrawsLeft -= draws;
    Random.Seed = after;
    CardMask hands[4];
    hands[North] = (at[0] & ~seededAll_) | seeded_[North];
    hands[South] = (at[1] & ~at[0]) | seeded_[South];
    hands[East] = (at[2] & ~at[1]) | seeded_[East];
    hands[West] = (AllCardsMask & ~at[2]) | seeded_[West];
    for (int seat = 0; seat < 4; ++seat)
        if (compiled_[seat].Constrained && !FastCheckSeat(seat, hands[seat])) return;
    // An accepted board whose cuts were not all resolved is dealt again in full.
    if (want_ != 7u) FillHands(start, hands);
    AcceptBoard(hands);
}

void DealEngine::AcceptBoard(const CardMask* hands) { Render(hands); }

void RenderHands(const CardMask* hands, DisplayTable& display) {
    for (int seat = 0; seat < 4; ++seat)
        for (int s = 0; s < 4; ++s) {
            const unsigned bits = SuitBits(hands[seat], s);
            const unsigned high = bits & 127u, low = bits >> 7;
            char buf[16];
            std::memcpy(buf, HighLetters[high].Text, 8);
            const std::size_t n = Bits7[high];
            std::memcpy(buf + n, LowLetters[low].Text, 8);
            display[seat][s].assign(buf, n + Bits7[low]);
        }
}

void DealEngine::Render(const CardMask* hands) {
    for (int seat = 0; seat < 4; ++seat) Dealt[seat] = hands[seat];
    RenderHands(hands, Display);
    Accepted = true;
}

bool DealEngine::ReadDefinition(const std::string& path, HandDefinition& slot, std::string* error,
                                std::string* detail) {
    IniFile ini;
    if (!ini.LoadFromFile(path, error)) return false;
    return ReadDefinition(ini, path, slot, error, detail);
}

bool DealEngine::ReadDefinition(const IniFile& ini, const std::string& where, HandDefinition& slot, std::string* error,
                                std::string* detail) {
    slot.Defined = true;
    ReadYesShapes(ini, slot);
    for (int i = 0; i < LimitCount; ++i) {
        const LimitKey& k = LimitKeys[i];
        std::string text = ini.ReadString(k.Section, k.Key, k.Default);
        bool outside = false;
        if (!ParseLowByte(text, slot.Limit(i), &outside)) {
            if (error) *error = "'" + text + "' is not a valid integer value";
            if (detail) *detail = std::string(k.Key) + " in " + where;
            return false;
        }
        if (outside) slot.Notes.Wrapped.emplace_back(i, text);
    }
    for (int c = 1; c <= 52; ++c)
        slot.MustHave[c] = ini.ReadBool(SectionCards, CardKey(static_cast<CardCode>(c)), false);
    return true;
}

std::string DealEngine::DefinitionPath(const std::string& definitionsFolder, const std::string& name) {
    const std::string found = FindNoCase(definitionsFolder, name + ".HDS");
    return found.empty() ? JoinPath(definitionsFolder, name + ".HDS") : found;
}

bool DealEngine::LoadSetup(const DealSetup& setup, const std::string& definitionsFolder, std::string* error,
                           std::string* detail) {
    dirty_ = true;
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return false;
    };
    for (int seat = 0; seat < 4; ++seat) Constrained[seat] = setup[seat].Constrained;
    for (int seat = 0; seat < 4; ++seat) { // North, South, East, West
        if (!setup[seat].Constrained) continue;
        for (int p = 0; p < 5; ++p) {
            HandDefinition& slot = Slots[seat * 5 + p];
            const std::string& name = setup[seat].Names[p];
            if (name.empty()) {
                slot.Defined = false;
                slot.MustHave.fill(false);
                continue;
            }
            std::string label = SeatNames[seat] + "'s definition " + std::to_string(p + 1) + " \"" + name + "\"";
            std::string path = FindNoCase(definitionsFolder, name + ".HDS");
            if (path.empty())
                return fail(label + ": hand definition file not found: " + JoinPath(definitionsFolder, name + ".HDS"));
            std::string why;
            if (!ReadDefinition(path, slot, &why, detail)) return fail(why);
            // Elsewhere such a definition only never passes; seeded, it
            // would need more than a hand's 13 places.
            int musts = slot.MustHaveCount();
            if (SeedFirst && p == 0 && musts > 13)
                return fail(label + " requires " + std::to_string(musts) +
                            " must-have cards, but a hand holds only 13: " + path);
        }
    }
    if (SeedFirst) {
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b) {
                if (!setup[a].Constrained || !setup[b].Constrained) continue;
                const HandDefinition& da = Slots[a * 5];
                const HandDefinition& db = Slots[b * 5];
                if (!da.Defined || !db.Defined) continue;
                CardMask both = da.MustHaveMask() & db.MustHaveMask();
                if (!both) continue;
                CardCode c = static_cast<CardCode>(std::countr_zero(both) + 1);
                return fail(SeatNames[a] + "'s first definition \"" + setup[a].Names[0] + "\" and " + SeatNames[b] +
                            "'s first definition \"" + setup[b].Names[0] + "\" both require " + CardName(c) +
                            "; with Seed First Definition on, one card cannot be placed in two hands.");
            }
    }
    return true;
}

std::vector<std::string> DefinitionWarnings(const HandDefinition& defn, const std::string& file) {
    std::vector<std::string> lines;
    for (const auto& [index, text] : defn.Notes.Wrapped)
        lines.push_back(std::string(LimitKeys[index].Key) + "=" + text + " in " + file + " is read as " +
                        std::to_string(defn.Limit(index)));
    for (const std::string& entry : defn.Notes.NotShapes)
        lines.push_back(entry + " in " + file + " is not a hand pattern (such as 4432 or 5332) and is passed over");
    if (defn.Notes.MoreNotShapes)
        lines.push_back("and " + std::to_string(defn.Notes.MoreNotShapes) + " more entries of the Yes list in " + file +
                        " that are not hand patterns");
    return lines;
}

std::vector<std::string> SetupWarnings(const DealEngine& board, const DealSetup& setup, const std::string& folder) {
    std::vector<std::string> lines, files;
    for (int seat = 0; seat < 4; ++seat) {
        if (!setup[seat].Constrained) continue;
        for (int p = 0; p < 5; ++p) {
            const HandDefinition& slot = board.Slot(seat, p);
            if (!slot.Defined || setup[seat].Names[p].empty()) continue;
            const std::string file =
                std::filesystem::path(DealEngine::DefinitionPath(folder, setup[seat].Names[p])).filename().string();
            if (std::find(files.begin(), files.end(), file) != files.end()) continue;
            files.push_back(file);
            for (std::string& line : DefinitionWarnings(slot, file)) lines.push_back(std::move(line));
        }
    }
    return lines;
}

} // namespace zelv
