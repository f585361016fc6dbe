#include "core/GameRandom.h"

namespace {
// The classic linear congruential generator with a 15-bit result.
constexpr uint32_t LCG_MULTIPLIER = 214013u;
constexpr uint32_t LCG_INCREMENT = 2531011u;
uint32_t g_state = 1;
}   // namespace

void GameRandom::Seed(uint32_t seed) { g_state = seed; }

int GameRandom::Next()
{
    g_state = g_state * LCG_MULTIPLIER + LCG_INCREMENT;
    return static_cast<int>((g_state >> 16) & GAME_RAND_MAX);
}
