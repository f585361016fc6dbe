// Clock is responsible for the millisecond clock: a 32-bit count that wraps.
// The real clock reads the system's monotonic time; the virtual clock moves
// only when told, 16 or 17 ms a frame for 60 frames a second.
#pragma once

#include <cstdint>

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t NowMs() = 0;
};

class RealClock : public Clock {
public:
    RealClock();
    uint32_t NowMs() override;

private:
    uint64_t m_StartNs;
};

class VirtualClock : public Clock {
public:
    explicit VirtualClock(uint32_t startMs = 0) : m_Now(startMs) {}
    uint32_t NowMs() override { return m_Now; }
    void Advance(uint32_t ms) { m_Now += ms; }
    void SetNow(uint32_t ms) { m_Now = ms; }
    // One frame of a 60 Hz display: 17, 17, 16 ms in turn (50 ms per 3 frames).
    void AdvanceFrame();

private:
    uint32_t m_Now;
    uint32_t m_Frame = 0;
};

// The clock the game reads (timeGetTime); the real clock until another is installed.
void SetClock(Clock* clock);
Clock& GetClock();
inline uint32_t NowMs() { return GetClock().NowMs(); }

}   // namespace plat
