// ReplayPlayer is responsible for playing a recorded session in the real
// game: before each frame it sets the game's clock to the time the recording
// stamped, gives the game the keys it read in that frame, and lets a stage
// load hand over in the frame it did when recorded. The window, the drawing
// and the frame pacing stay real, so a session can be watched, and timed, in
// a window on any machine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/Replay.h"
#include "platform/KeySource.h"

namespace plat {
class VirtualClock;
}

class ReplayPlayer : public plat::KeySource {
public:
    explicit ReplayPlayer(Replay replay);

    const Replay& Recorded() const { return m_Replay; }
    // Prepares the next recorded frame on the clock; false once every frame
    // has been played (the session is over).
    bool BeginFrame(plat::VirtualClock& clock);
    size_t FramesPlayed() const { return m_Next; }

    // The keys the game read in the frame being played; false as when the
    // window did not have the focus.
    bool Read(uint8_t keys[256]) override;

private:
    Replay m_Replay;
    size_t m_Next = 0;
    Replay::Frame m_Frame;
};
