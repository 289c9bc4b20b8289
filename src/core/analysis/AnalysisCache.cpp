#include "core/analysis/AnalysisCache.h"

#include "core/files/FileUtil.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zelv {

namespace {

constexpr const char* Heading = "Zelvano double-dummy tricks 1";
constexpr const char* HexDigits = "0123456789abcdef";

// FNV-1a, 64 bits: enough to notice an edited or damaged entry, and to
// spread the deals over file names (the entry names its deal in full, so
// two deals that share a name are told apart).
std::uint64_t Fnv(const std::string& text) {
    std::uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

std::string Hex(std::uint64_t value) {
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = HexDigits[value & 15];
    return text;
}

// What an entry holds before its check line.
std::string EntryBody(const std::string& key, const TrickTable& tricks) {
    std::string digits;
    for (const auto& row : tricks)
        for (int t : row) digits += HexDigits[t & 15];
    return std::string(Heading) + "\nDeal " + key + "\nTricks " + digits + "\n";
}

std::optional<TrickTable> TricksOf(const std::string& digits) {
    if (digits.size() != 20) return std::nullopt;
    TrickTable tricks{};
    for (std::size_t i = 0; i < 20; ++i) {
        const char c = digits[i];
        const int t = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'd' ? c - 'a' + 10 : -1;
        if (t < 0) return std::nullopt;
        tricks[i / StrainCount][i % StrainCount] = t;
    }
    return tricks;
}

} // namespace

std::string DealKey(const std::array<CardMask, 4>& hands) {
    static constexpr char Letters[4] = {'N', 'E', 'S', 'W'};
    std::string key(52, '-');
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank)
            for (int seat = 0; seat < 4; ++seat)
                if (hands[static_cast<std::size_t>(seat)] & CardBit(MakeCard(suit, rank)))
                    key[static_cast<std::size_t>(suit * 13 + rank)] = Letters[seat];
    return key;
}

std::string AnalysisCache::DefaultFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) return std::string(xdg) + "/Zelvano";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.cache/Zelvano";
    return {};
}

const AnalysisCache& AnalysisCache::Shared() {
    static const AnalysisCache cache(DefaultFolder());
    return cache;
}

std::string AnalysisCache::EntryPath(const std::array<CardMask, 4>& hands) const {
    return folder_ + "/tricks/" + Hex(Fnv(DealKey(hands))) + ".dd";
}

std::optional<TrickTable> AnalysisCache::Find(const std::array<CardMask, 4>& hands, std::string* refused) const {
    if (folder_.empty()) return std::nullopt;
    const std::string path = EntryPath(hands);
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return std::nullopt;
    const std::string key = DealKey(hands);
    // Heading, deal and tricks, then the check of all that comes before it.
    const std::size_t checkAt = bytes.rfind("Check ");
    std::optional<TrickTable> tricks;
    if (checkAt != std::string::npos) {
        const std::string body = bytes.substr(0, checkAt);
        const std::string prefix = std::string(Heading) + "\nDeal " + key + "\nTricks ";
        if (body.size() == prefix.size() + 21 && body.compare(0, prefix.size(), prefix) == 0 &&
            bytes.substr(checkAt) == "Check " + Hex(Fnv(body)) + "\n")
            tricks = TricksOf(body.substr(prefix.size(), 20));
    }
    if (!tricks && refused) *refused = path + ": the kept analysis fails its check; it is not used";
    return tricks;
}

bool AnalysisCache::Store(const std::array<CardMask, 4>& hands, const TrickTable& tricks) const {
    if (folder_.empty()) return false;
    for (const auto& row : tricks)
        for (int t : row)
            if (t < 0 || t > 13) return false;
    const std::string path = EntryPath(hands);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const std::string body = EntryBody(DealKey(hands), tricks);
    return AtomicWriteFile(path, body + "Check " + Hex(Fnv(body)) + "\n", nullptr);
}

} // namespace zelv
