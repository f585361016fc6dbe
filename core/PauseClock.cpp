#include "core/PauseClock.h"

namespace {

bool s_held = false;
uint32_t s_heldSince = 0;
uint32_t s_pausedMs = 0;   // the length of every pause that has ended

}   // namespace

void PauseClock::Reset()
{
    s_held = false;
    s_heldSince = 0;
    s_pausedMs = 0;
}

void PauseClock::Hold(uint32_t nowMs)
{
    if (s_held) return;
    s_held = true;
    s_heldSince = nowMs;
}

void PauseClock::Release(uint32_t nowMs)
{
    if (!s_held) return;
    s_held = false;
    s_pausedMs += nowMs - s_heldSince;
}

bool PauseClock::Held() { return s_held; }

uint32_t PauseClock::GameTime(uint32_t nowMs) { return (s_held ? s_heldSince : nowMs) - s_pausedMs; }
