#include "core/definitions/DefinitionKeys.h"

namespace zelv {

const std::array<LimitKey, LimitCount> LimitKeys = {{
    {"Hand", "MinPoints", "0"},   {"Hand", "MaxPoints", "34"},  {"Hand", "MinAK", "0"},
    {"Hand", "MaxAK", "12"},      {"Hand", "MinAKQ", "0"},      {"Hand", "MaxAKQ", "24"},
    {"Suit", "MinSPoints", "0"},  {"Suit", "MaxSPoints", "10"}, {"Suit", "MinHPoints", "0"},
    {"Suit", "MaxHPoints", "10"}, {"Suit", "MinDPoints", "0"},  {"Suit", "MaxDPoints", "10"},
    {"Suit", "MinCPoints", "0"},  {"Suit", "MaxCPoints", "10"}, {"Suit", "MinSLength", "0"},
    {"Suit", "MaxSLength", "10"}, {"Suit", "MinHLength", "0"},  {"Suit", "MaxHLength", "10"},
    {"Suit", "MinDLength", "0"},  {"Suit", "MaxDLength", "10"}, {"Suit", "MinCLength", "0"},
    {"Suit", "MaxCLength", "10"}, {"Suit", "MinTop3S", "0"},    {"Suit", "MaxTop3S", "3"},
    {"Suit", "MinTop3H", "0"},    {"Suit", "MaxTop3H", "3"},    {"Suit", "MinTop3D", "0"},
    {"Suit", "MaxTop3D", "3"},    {"Suit", "MinTop3C", "0"},    {"Suit", "MaxTop3C", "3"},
    {"Suit", "MinTop5S", "0"},    {"Suit", "MaxTop5S", "5"},    {"Suit", "MinTop5H", "0"},
    {"Suit", "MaxTop5H", "5"},    {"Suit", "MinTop5D", "0"},    {"Suit", "MaxTop5D", "5"},
    {"Suit", "MinTop5C", "0"},    {"Suit", "MaxTop5C", "5"},
}};

} // namespace zelv
