// Rng is the generator's own seeded pseudo-random source (splitmix64). Every
// picture, mesh and sound that wants noise takes its own Rng with a fixed
// seed, so the data set comes out byte for byte the same on every run.
#pragma once

#include <cstdint>

namespace assetgen {

class Rng {
public:
    explicit Rng(uint64_t seed) : m_State(seed) {}

    uint64_t Next()
    {
        uint64_t z = (m_State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [lo, hi).
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform integer in [0, n).
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    // Uniform in [-1, 1).
    double Signed() { return Uniform() * 2.0 - 1.0; }

private:
    uint64_t m_State;
};

}   // namespace assetgen
