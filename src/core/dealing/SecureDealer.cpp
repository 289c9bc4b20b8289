#include "core/dealing/SecureDealer.h"

#include <sodium.h>

#include <bit>
#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace zelv {

SecureRandom::SecureRandom(const SecureKey& key) : key_(key) {}

SecureRandom::~SecureRandom() {
    sodium_memzero(key_.data(), key_.size());
    sodium_memzero(bytes_, sizeof bytes_);
}

bool SecureRandom::SystemKey(SecureKey& key, std::string* error) {
    if (sodium_init() < 0) {
        if (error) *error = "The secure random source could not be started (libsodium failed to initialise).";
        return false;
    }
    randombytes_buf(key.data(), key.size());
    return true;
}

void SecureRandom::Refill() {
    // A fresh nonce per block of keystream: one key never reuses a nonce.
    unsigned char nonce[crypto_stream_chacha20_NONCEBYTES];
    static_assert(sizeof nonce == sizeof nonce_);
    std::uint64_t n = nonce_++;
    for (unsigned char& b : nonce) {
        b = static_cast<unsigned char>(n & 0xFFu);
        n >>= 8;
    }
    crypto_stream_chacha20(bytes_, sizeof bytes_, nonce, key_.data());
    pos_ = 0;
}

std::uint32_t SecureRandom::RedrawBelow(unsigned n, std::uint32_t m, std::size_t& pos, std::size_t reserve) {
    const std::uint32_t surplus = 65536u % n;
    while ((m & 0xFFFFu) < surplus) {
        if (pos + 2 + reserve > BufferBytes) {
            Refill();
            pos = 0;
        }
        std::uint16_t x;
        std::memcpy(&x, bytes_ + pos, 2);
        pos += 2;
        m = std::uint32_t{x} * n;
    }
    return m;
}

CardMask ScatterOnPackPlain(std::uint64_t positions, CardMask pack) {
    CardMask out = 0;
    for (CardMask m = pack; positions && m; m &= m - 1, positions >>= 1)
        if (positions & 1u) out |= m & (0 - m);
    return out;
}

namespace {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("bmi2"))) CardMask ScatterBmi2(std::uint64_t positions, CardMask pack) {
    return _pdep_u64(positions, pack);
}
const bool HasBmi2 = [] {
    __builtin_cpu_init(); // may run before the library's own start-up code
    return __builtin_cpu_supports("bmi2") != 0;
}();
#endif
} // namespace

CardMask ScatterOnPack(std::uint64_t positions, CardMask pack) {
    // A pack that is the low cards with no gap (the whole pack, or all but
    // the last cards) needs no spreading.
    if ((pack & (pack + 1)) == 0) return positions & pack;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (HasBmi2) return ScatterBmi2(positions, pack);
#endif
    return ScatterOnPackPlain(positions, pack);
}

namespace {

// Adds position t to `chosen`, or j when t is already in it. No branch
// predictor can foresee which, and every draw of a hand waits on the one
// before, so this is a bit test, a conditional move and a bit set: GCC
// would make the choice a branch, mispredicted about once a hand.
inline void TakeOrLast(std::uint64_t& chosen, std::uint64_t t, std::uint64_t j) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    asm("bt %[t], %[c]\n\tcmovc %[j], %[t]\n\tbts %[t], %[c]" : [c] "+r"(chosen), [t] "+r"(t) : [j] "r"(j) : "cc");
#else
    chosen |= std::uint64_t{1} << (((chosen >> t) & 1u) ? j : t);
#endif
}

} // namespace

CardMask SecureRandom::DrawFromPack(CardMask& pack, int count) {
    return DrawFromPack(pack, std::popcount(pack), count);
}

CardMask SecureRandom::DrawFromPack(CardMask& pack, int size, int count) {
    if (count <= 0) return 0;
    if (count >= size) {
        const CardMask all = pack;
        pack = 0;
        return all;
    }
    // Floyd's sampling over the positions 0..size-1 of the pack: for each j
    // from size-count up, a uniform t in 0..j is taken, or j itself when t
    // is already taken. Every set of `count` positions comes out equally
    // often, after exactly `count` draws, so the loop has a fixed length and
    // no draw is wasted on a card already dealt.
    // The draws read sixteen bits each from the buffer, which is refilled
    // first when it cannot give all of them; only a rare rejection reads
    // more, and refills only when what is left would not do.
    std::size_t pos = pos_;
    if (pos + 2 * static_cast<std::size_t>(count) > BufferBytes) {
        Refill();
        pos = 0;
    }
    std::uint64_t chosen = 0;
    for (int j = size - count; j < size; ++j) {
        const unsigned bound = static_cast<unsigned>(j) + 1u;
        std::uint16_t x;
        std::memcpy(&x, bytes_ + pos, 2);
        pos += 2;
        std::uint32_t m = std::uint32_t{x} * bound;
        if ((m & 0xFFFFu) < bound) m = RedrawBelow(bound, m, pos, 2 * static_cast<std::size_t>(size - 1 - j));
        const unsigned t = m >> 16;
        TakeOrLast(chosen, t, static_cast<unsigned>(j));
    }
    pos_ = pos;
    const CardMask taken = ScatterOnPack(chosen, pack);
    pack &= ~taken;
    return taken;
}

namespace {
double Binomial(int n, int k) {
    double r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}
// Building a hand costs about as much as this many dealt-and-tested ones,
// so a seat is built when fewer than one dealt hand in that many passes.
// Dealt hands that lack a required card cost next to nothing (they end
// when it is settled), so only those that hold them count.
constexpr double BuildCost = 8.0;
} // namespace

SecurePlan::SecurePlan(DealEngine& board, Construction how) {
    // The same seeded cards as the classic dealer places.
    const std::array<CardMask, 4>& seeded = board.SeededCards();
    std::copy(seeded.begin(), seeded.end(), Seeded.begin());
    CardMask taken = 0;
    for (CardMask s : Seeded) taken |= s;
    Unseeded = AllCardsMask & ~taken;
    UnseededCount = std::popcount(Unseeded);
    for (int seat = 0; seat < 4; ++seat) Need[seat] = 13 - std::popcount(Seeded[seat]);
    // A seat passes only when one of its definitions does, and each of
    // those needs all of its must-have cards, so the cards they all require
    // must be in the hand. A first slot left empty lets any hand pass.
    for (int seat = 0; seat < 4; ++seat) {
        if (!board.IsConstrained(seat) || !board.Slot(seat, 0).Defined) continue;
        CardMask all = AllCardsMask;
        for (int p = 0; p < 5; ++p)
            if (board.Slot(seat, p).Defined) all &= board.Slot(seat, p).MustHaveMask();
        Required[seat] = all & ~Seeded[seat];
    }

    // The seat to build is the one whose definitions accept the fewest of
    // the hands it can be dealt: those holding its seeded cards and no
    // other seat's.
    if (how != Construction::Never) {
        double best = 2.0;
        for (int seat = 0; seat < 4; ++seat) {
            if (!board.IsConstrained(seat) || !board.Slot(seat, 0).Defined) continue;
            std::vector<HandCounts> slots;
            std::vector<std::uint64_t> cumulative;
            std::uint64_t total = 0;
            for (int p = 0; p < 5; ++p) {
                if (!board.Slot(seat, p).Defined) continue;
                slots.emplace_back(board.Slot(seat, p), Seeded[seat], taken & ~Seeded[seat]);
                total += slots.back().Count();
                cumulative.push_back(total);
            }
            const int required = std::popcount(Required[seat]);
            const double share = static_cast<double>(total) / Binomial(UnseededCount - required, Need[seat] - required);
            if (share >= best) continue;
            best = share;
            Built = seat;
            Slots = std::move(slots);
            SlotCumulative = std::move(cumulative);
            Share = share;
        }
        if (how == Construction::Automatic && Share * BuildCost >= 1.0) {
            Built = -1;
            Slots.clear();
            SlotCumulative.clear();
            Share = 1.0;
        }
    }

    int k = 0;
    if (Built >= 0) Order[k++] = Built;
    for (int seat = 0; seat < 4; ++seat)
        if (board.IsConstrained(seat) && seat != Built) Order[k++] = seat;
    ConstrainedCount = k;
    for (int seat = 0; seat < 4; ++seat)
        if (!board.IsConstrained(seat) && seat != Built) Order[k++] = seat;
}

SecureDealer::SecureDealer(DealEngine& board, SecureRandom& random, Construction how)
    : SecureDealer(board, random, std::make_shared<const SecurePlan>(board, how)) {}

SecureDealer::SecureDealer(DealEngine& board, SecureRandom& random, std::shared_ptr<const SecurePlan> plan)
    : board_(board), random_(random), plan_(std::move(plan)) {}

bool SecureDealer::DealBoard() {
    board_.Accepted = false;
    std::array<CardMask, 4> hands;
    if (DealHands(hands)) board_.AcceptBoard(hands.data());
    return board_.Accepted;
}

bool SecureDealer::DealHands(std::array<CardMask, 4>& hands) {
    const SecurePlan& plan = *plan_;
    hands = {};
    CardMask pack = plan.Unseeded;
    int size = plan.UnseededCount;
    int k = 0;
    if (plan.Built >= 0) {
        const int seat = plan.Built;
        if (plan.SlotCumulative.back() == 0) return false; // no hand can pass
        std::size_t slot = 0;
        if (plan.Slots.size() > 1) {
            const std::uint64_t r = random_.Below64(plan.SlotCumulative.back());
            while (plan.SlotCumulative[slot] <= r) ++slot;
        }
        const CardMask hand = plan.Slots[slot].Draw(random_);
        if (plan.Slots.size() > 1) {
            unsigned meets = 0;
            for (const HandCounts& s : plan.Slots) meets += s.Meets(hand);
            if (meets > 1 && random_.SmallBelow(meets) != 0) return false;
        }
        hands[static_cast<std::size_t>(seat)] = hand;
        pack &= ~hand;
        size -= plan.Need[seat];
        if (!board_.SeatMeetsSetup(seat, hand)) return false;
        k = 1;
    }
    // Each other seat in turn takes a uniform choice of the cards not yet
    // dealt, constrained seats first, each tested as soon as it is complete.
    for (; k < 4; ++k) {
        const int seat = plan.Order[static_cast<std::size_t>(k)];
        CardMask hand = plan.Seeded[seat];
        int need = plan.Need[seat];
        if (k == 3) {
            // The last seat takes what is left, which is already a uniform choice.
            hand |= pack;
        } else {
            if (k < plan.ConstrainedCount) {
                // The cards the seat cannot pass without are settled first:
                // of `size` cards, `need` land in this hand, so each lands
                // here with chance need/size given those before it did.
                // Where one does not, the hand would fail whatever else it
                // got, and the attempt ends without dealing the rest.
                CardMask required = plan.Required[seat];
                if (required & ~pack) return false; // an earlier hand holds one
                for (; required; required &= required - 1) {
                    if (static_cast<int>(random_.SmallBelow(static_cast<unsigned>(size))) >= need) return false;
                    const CardMask card = required & (0 - required);
                    hand |= card;
                    pack ^= card;
                    --need;
                    --size;
                }
            }
            hand |= random_.DrawFromPack(pack, size, need);
            size -= need;
        }
        hands[static_cast<std::size_t>(seat)] = hand;
        if (k < plan.ConstrainedCount && !board_.SeatMeetsSetup(seat, hand)) return false;
    }
    return true;
}

} // namespace zelv
