// GameRandom is responsible for the game's pseudo-random numbers: a generator
// with the range 0 to 32767, which formulas such as rand() / 32767 * 400 rely
// on. The C library's rand has a far larger range here.
#pragma once

#include <cstdint>

constexpr int GAME_RAND_MAX = 32767;

class GameRandom {
public:
    static void Seed(uint32_t seed);
    static int Next();   // 0 .. GAME_RAND_MAX
};

// The game's rand/srand pair.
inline int GameRand() { return GameRandom::Next(); }
inline void GameSrand(uint32_t seed) { GameRandom::Seed(seed); }
