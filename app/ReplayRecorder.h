// ReplayRecorder is responsible for recording a session as it is played: it
// stands between the game and the keyboard, noting what the game reads, and
// is told at the end of every frame the frame time and whether a stage load
// handed over. The recording is saved as a replay (app/Replay.h).
#pragma once

#include <cstdint>

#include "app/Replay.h"
#include "platform/KeySource.h"

class ReplayRecorder : public plat::KeySource {
public:
    ReplayRecorder(plat::KeySource* keyboard, uint32_t seed, int startStage, uint32_t startMs);

    // Reads the real keyboard and notes what the game got.
    bool Read(uint8_t keys[256]) override;
    void SetSecondControllerKeys(const plat::ControllerKeys& keys) override
    {
        if (m_Keyboard) m_Keyboard->SetSecondControllerKeys(keys);
    }
    // Closes the frame in progress.
    void EndFrame(uint32_t frameMs, bool handOver);
    // Whether the session shows the how-to-play card (kept in the replay).
    void SetHowToPlay(bool shown) { m_Replay.howToPlay = shown; }
    void SetVersus(bool versus) { m_Replay.versus = versus; }

    const Replay& Recorded() const { return m_Replay; }

private:
    plat::KeySource* m_Keyboard;
    Replay m_Replay;
    Replay::Frame m_Frame;
};
