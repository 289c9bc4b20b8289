#include "core/conditions/Scoring.h"

#include <bit>
#include <cstdlib>

namespace zelv {

namespace {

constexpr unsigned HoldingCount = 1u << 13;
bool Has(unsigned holding, int rank) { return (holding >> rank) & 1u; }
enum { Ace = 0, King, Queen, Jack, Ten, Nine, Eight };

int QualityOf(unsigned h) {
    const int length = std::popcount(h);
    const int factor = length * 10;
    int honours = 0, quality = 0;
    for (int rank = Ace; rank <= Jack; ++rank)
        if (Has(h, rank)) quality += (4 - rank) * factor, ++honours;
    if (length > 6) {
        // Long suits count the missing queen and jack as held, up to the length past six.
        int replaced = 3 - (Has(h, Queen) ? 2 : 0) - (Has(h, Jack) ? 1 : 0);
        if (replaced > length - 6) replaced = length - 6;
        return quality + replaced * factor;
    }
    if (Has(h, Ten)) quality += (honours > 1 || Has(h, Jack)) ? factor : factor / 2;
    if (Has(h, Nine) && (honours == 2 || Has(h, Ten) || Has(h, Eight))) quality += factor / 2;
    return quality;
}

int CcccSuitOf(unsigned h) {
    const int length = std::popcount(h);
    int value = 0, higher = 0;
    if (Has(h, Ace)) value += 300, ++higher;
    if (Has(h, King)) value += length == 1 ? 50 : 200, ++higher;
    if (Has(h, Queen)) {
        value += length == 1 ? 25 : length == 2 ? 75 : 100;
        if (higher == 0) value -= 25;
        ++higher;
    }
    if (Has(h, Jack)) {
        value += higher == 2 ? 50 : higher == 1 ? 25 : 0;
        ++higher;
    }
    if (Has(h, Ten) && (higher == 2 || (higher == 1 && Has(h, Nine)))) value += 25;
    return value + QualityOf(h);
}

} // namespace

std::int64_t ContractScore(bool vulnerable, int level, int strain, std::int64_t tricks) {
    const std::int64_t over = tricks - 6 - level;
    if (over < 0) return over * (vulnerable ? 100 : 50);
    const int perTrick = strain == 0 ? 30 : strain <= 2 ? 30 : 20;
    const int contracted = level * perTrick + (strain == 0 ? 10 : 0);
    std::int64_t score = contracted + over * perTrick;
    score += contracted >= 100 ? (vulnerable ? 500 : 300) : 50;
    if (level == 6) score += vulnerable ? 750 : 500;
    if (level == 7) score += vulnerable ? 1500 : 1000;
    return score;
}

std::int64_t ImpsOf(std::int64_t difference) {
    // Each step of the scale starts 10 above these; differences that are not
    // a multiple of 10 round up, as dealer rounds them.
    static constexpr int below[] = {10,  40,  80,   120,  160,  210,  260,  310,  360,  420,  490,  590,
                                    740, 890, 1090, 1290, 1490, 1740, 1990, 2240, 2490, 2990, 3490, 3990};
    const std::int64_t size = difference < 0 ? -difference : difference;
    std::int64_t imps = 0;
    for (const int step : below)
        if (size > step) ++imps;
    return difference < 0 ? -imps : imps;
}

HoldingTable ScaleTable(const std::array<int, 13>& scale) {
    HoldingTable t(HoldingCount);
    for (unsigned h = 0; h < HoldingCount; ++h)
        for (int rank = 0; rank < 13; ++rank)
            if (Has(h, rank)) t[h] += scale[static_cast<std::size_t>(rank)];
    return t;
}

HoldingTable LoserTable() {
    HoldingTable t(HoldingCount);
    for (unsigned h = 0; h < HoldingCount; ++h) {
        const int length = std::popcount(h);
        const int top = Has(h, Ace) + Has(h, King) + Has(h, Queen);
        if (length == 0)
            t[h] = 0;
        else if (length == 1)
            t[h] = Has(h, Ace) ? 0 : 1;
        else if (length == 2)
            t[h] = 2 - Has(h, Ace) - Has(h, King);
        else
            t[h] = 3 - top;
    }
    return t;
}

HoldingTable QualityTable() {
    HoldingTable t(HoldingCount);
    for (unsigned h = 0; h < HoldingCount; ++h) t[h] = QualityOf(h);
    return t;
}

HoldingTable CcccSuitTable() {
    HoldingTable t(HoldingCount);
    for (unsigned h = 0; h < HoldingCount; ++h) t[h] = CcccSuitOf(h);
    return t;
}

int CcccShape(const int* lengths) {
    int shortness = 0;
    for (int s = 0; s < 4; ++s)
        if (lengths[s] < 3) shortness += (3 - lengths[s]) * 100;
    return shortness == 0 ? -50 : shortness - 100;
}

} // namespace zelv
