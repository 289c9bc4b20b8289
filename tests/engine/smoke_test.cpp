#include "engine/Random.h"
#include <gtest/gtest.h>
TEST(Smoke, RandomFromZero) { zelv::RandSeed = 0; EXPECT_EQ(zelv::Random(52), 0u); }
