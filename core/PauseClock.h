// PauseClock turns the millisecond clock into the game's frame time, which
// stands still while the game is paused: every lifetime and time-out measured
// against the frame time then resumes where it stopped.
#pragma once

#include <cstdint>

class PauseClock {
public:
    // Forgets every pause (a new session).
    static void Reset();
    // The game stops (or starts again) at this clock reading.
    static void Hold(uint32_t nowMs);
    static void Release(uint32_t nowMs);
    static bool Held();
    // The frame time for a clock reading: the clock less every pause so far.
    static uint32_t GameTime(uint32_t nowMs);
};
