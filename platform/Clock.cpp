#include "platform/Clock.h"

#include <chrono>

namespace plat {

namespace {
uint64_t MonotonicNs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}
Clock* g_clock = nullptr;
}   // namespace

RealClock::RealClock() : m_StartNs(MonotonicNs()) {}

uint32_t RealClock::NowMs() { return static_cast<uint32_t>((MonotonicNs() - m_StartNs) / 1000000u); }

void VirtualClock::AdvanceFrame()
{
    m_Now += (m_Frame % 3 == 2) ? 16u : 17u;
    ++m_Frame;
}

void SetClock(Clock* clock) { g_clock = clock; }

Clock& GetClock()
{
    static RealClock realClock;
    return g_clock ? *g_clock : realClock;
}

}   // namespace plat
