#include "generation/SecureDeal.h"

#include <sodium.h>

#include <bit>
#include <cstring>

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

CardMask tSecureRandom::DrawFromPack(CardMask& pack, int count) {
    // Each draw is six bits of the stream, kept when below 52 and then a
    // uniform card code; a draw naming a card already taken takes nothing.
    // Six bits a draw keep the keystream, which costs more than the rest,
    // to about a byte per card. The pack stays in a register; while ten or
    // more cards are wanted the ten draws of a word are taken whole, since
    // they cannot take more than ten.
    const int available = std::popcount(pack);
    if (count > available) count = available;
    auto take = [](CardMask& p, unsigned x) {
        const CardMask bit = CardMask{x < 52u} << x;
        const CardMask hit = p & bit;
        p ^= hit;
        return static_cast<int>(hit != 0);
    };
    CardMask p = pack;
    std::size_t pos = pos_;
    const unsigned char* bytes = bytes_;
    while (count > 0) {
        if (pos + 8 > BufferBytes) {
            Refill();
            pos = 0;
        }
        std::uint64_t w;
        std::memcpy(&w, bytes + pos, 8);
        pos += 8;
        if (count >= 10) {
            for (int k = 0; k < 10; ++k) count -= take(p, static_cast<unsigned>((w >> (6 * k)) & 63u));
        } else {
            for (int k = 0; k < 10 && count > 0; ++k) count -= take(p, static_cast<unsigned>((w >> (6 * k)) & 63u));
        }
    }
    pos_ = pos;
    CardMask taken = pack & ~p;
    pack = p;
    return taken;
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
    unseeded_ = AllCardsMask & ~taken;
}

bool tSecureDealer::DealBoard() {
    board_.Accepted = false;
    // Each seat in turn takes a uniform choice of the cards not yet dealt,
    // constrained seats first, each tested as soon as it is complete.
    std::array<CardMask, 4> hands{};
    CardMask pack = unseeded_;
    for (int k = 0; k < 4; ++k) {
        const int seat = order_[k];
        CardMask hand = seeded_[seat];
        // The last seat takes what is left, which is already a uniform choice.
        hand |= k == 3 ? pack : random_.DrawFromPack(pack, need_[seat]);
        hands[static_cast<std::size_t>(seat)] = hand;
        if (k < constrainedCount_ && !board_.SeatMeetsSetup(seat, hand)) return false;
    }
    board_.AcceptBoard(hands.data());
    return board_.Accepted;
}

} // namespace zelv
