// NullAudioOutput is responsible for running the mixer without a sound device:
// it mixes exactly as much audio as the game's clock has moved, when told, and
// throws it away after noting its loudest sample. Voices end and music plays
// on as they would on a device, frame for frame in step with the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/AudioOutput.h"

namespace plat {

class NullAudioOutput : public AudioOutput {
public:
    // startMs: the clock reading that counts as "nothing mixed yet".
    explicit NullAudioOutput(uint32_t startMs, uint32_t outputRate = kDefaultOutputRate);

    const char* Kind() const override { return "null"; }
    // Mixes the frames from the last reading to this one (the clock wraps; a
    // step longer than a second is mixed as one second).
    void AdvanceTo(uint32_t ms) override;
    // Mixes a given number of frames directly.
    void MixFrames(size_t frames);

    // What the last AdvanceTo or MixFrames produced: interleaved stereo, and
    // its loudest absolute sample.
    const std::vector<float>& LastMix() const { return m_LastMix; }
    float LastPeak() const { return m_LastPeak; }
    uint64_t FramesMixed() const { return m_FramesMixed; }

private:
    uint32_t m_LastMs;
    uint64_t m_ElapsedMs = 0;
    uint64_t m_FramesMixed = 0;
    std::vector<float> m_LastMix;
    float m_LastPeak = 0.0f;
};

}   // namespace plat
