// ReplayKeySource is responsible for playing back the keyboard of a recorded
// session: in each frame it gives the game what the game read in that frame
// of the recording, a failed read included.
#pragma once

#include "app/Replay.h"
#include "platform/KeySource.h"

class ReplayKeySource : public plat::KeySource {
public:
    void SetFrame(const Replay::Frame& frame) { m_Frame = frame; }
    bool Read(uint8_t keys[256]) override;

private:
    Replay::Frame m_Frame;
};
