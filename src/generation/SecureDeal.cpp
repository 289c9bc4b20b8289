#include "generation/SecureDeal.h"

#include <sodium.h>

#include <bit>

namespace zelv {

tSecureRandom::tSecureRandom(const SecureKey& key) : key_(key) {}

tSecureRandom::~tSecureRandom() {
    sodium_memzero(key_.data(), key_.size());
    sodium_memzero(bytes_, sizeof bytes_);
}

bool tSecureRandom::SystemKey(SecureKey& key, std::string* error) {
    if (sodium_init() < 0) {
        if (error) *error = "The secure random source could not be started (libsodium failed to initialise).";
        return false;
    }
    randombytes_buf(key.data(), key.size());
    return true;
}

void tSecureRandom::Refill() {
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

CardMask tSecureRandom::PartialShuffle(std::uint32_t* cards, int from, int count, int size) {
    // The state is held in locals for the loop; members would be reloaded
    // after every store into `cards`.
    if (pos_ + 2 * static_cast<std::size_t>(count) + 2 > BufferBytes) Refill();
    std::size_t pos = pos_;
    const unsigned char* bytes = bytes_;
    CardMask picked = 0;
    for (int i = from; i < from + count; ++i) {
        const auto n = static_cast<std::uint32_t>(size - i);
        const std::uint32_t threshold = Surplus16[n];
        std::uint32_t m;
        for (;;) {
            if (pos + 2 > BufferBytes) {
                Refill();
                pos = 0;
            }
            const std::uint32_t x = std::uint32_t{bytes[pos]} | (std::uint32_t{bytes[pos + 1]} << 8);
            pos += 2;
            m = x * n;
            if ((m & 0xFFFFu) >= threshold) break;
        }
        const int j = i + static_cast<int>(m >> 16);
        const std::uint32_t v = cards[j];
        cards[j] = cards[i];
        cards[i] = v;
        picked |= CardMask{1} << (v - 1);
    }
    pos_ = pos;
    return picked;
}

tSecureDealer::tSecureDealer(tBoard& board, tSecureRandom& random) : board_(board), random_(random) {
    // Seeding follows the classic dealer: North, South, East, West, a card
    // that an earlier seat already holds is not placed again, at most 13.
    CardMask taken = 0;
    for (int seat = 0; seat < 4; ++seat) {
        const tHandDefn& first = board.Slot(seat, 0);
        if (!board.SeedFirst || !board.IsConstrained(seat) || !first.Defined) continue;
        CardMask want = first.MustHaveMask() & ~taken & AllCardsMask;
        CardMask placed = 0;
        for (int n = 0; want && n < 13; ++n) {
            CardMask low = want & (0 - want);
            placed |= low;
            want ^= low;
        }
        seeded_[seat] = placed;
        taken |= placed;
    }
    for (int seat = 0; seat < 4; ++seat) need_[seat] = 13 - std::popcount(seeded_[seat]);
    int k = 0;
    for (int seat = 0; seat < 4; ++seat)
        if (board.IsConstrained(seat)) order_[k++] = seat;
    constrainedCount_ = k;
    for (int seat = 0; seat < 4; ++seat)
        if (!board.IsConstrained(seat)) order_[k++] = seat;
    for (CardCode c = 1; c <= 52; ++c)
        if (!(taken & CardBit(c))) pack_[static_cast<std::size_t>(packSize_++)] = c;
}

bool tSecureDealer::DealBoard() {
    board_.Accepted = false;
    // A partial Fisher-Yates shuffle: position `pos` takes a uniform pick of
    // the cards not yet dealt in this attempt. The pack is not reset between
    // attempts; a uniform shuffle of any order of the same cards is uniform.
    std::array<CardMask, 4> hands{};
    int pos = 0;
    for (int k = 0; k < 4; ++k) {
        const int seat = order_[k];
        CardMask hand = seeded_[seat];
        if (k == 3) {
            // The last seat takes what is left; those cards are already a
            // uniform choice, so it needs no draw.
            for (; pos < packSize_; ++pos) hand |= CardMask{1} << (pack_[static_cast<std::size_t>(pos)] - 1);
        } else {
            hand |= random_.PartialShuffle(pack_.data(), pos, need_[seat], packSize_);
            pos += need_[seat];
        }
        hands[static_cast<std::size_t>(seat)] = hand;
        if (k < constrainedCount_ && !board_.SeatPasses(seat, hand)) return false;
    }
    for (int seat = 0; seat < 4; ++seat) {
        Hand& out = board_.SeatHand(seat);
        CardMask m = hands[static_cast<std::size_t>(seat)];
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = static_cast<CardCode>(std::countr_zero(m) + 1);
            m &= m - 1;
        }
    }
    board_.AcceptCurrentHands();
    return board_.Accepted;
}

} // namespace zelv
