// Voice is responsible for playing one sound buffer through the mixer: its own
// play position, volume and pan over samples it shares with every duplicate.
// It plays once from its position to the end of the samples and then stops;
// another thread may wait for that stop. Destroying a voice silences it at
// once. All calls are safe from any thread, except that a voice must not be
// destroyed while another thread waits on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audio/MixMath.h"
#include "platform/audio/Mixer.h"

namespace plat {

class SoundBuffer;

class Voice : private MixerSource {
public:
    Voice(std::shared_ptr<Mixer> mixer, std::shared_ptr<const SoundBuffer> samples);
    ~Voice() override;
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    // A new voice on the same samples and mixer, with this voice's volume and
    // pan, stopped at position 0.
    std::unique_ptr<Voice> Duplicate() const;

    void Play();   // once, from the current position; a playing voice goes on
    void Stop();   // keeps the position
    bool IsPlaying() const;
    void SetPosition(size_t frame);   // in frames of the samples; past the end means at the end
    size_t Position() const;

    // Hundredths of a decibel, kVolumeMin..kVolumeMax; false (and no change)
    // outside that range.
    bool SetVolume(int32_t hundredthsDb);
    int32_t Volume() const;
    // Hundredths of a decibel, kPanLeft..kPanRight; false (and no change)
    // outside that range.
    bool SetPan(int32_t hundredthsDb);
    int32_t Pan() const;

    // Blocks until the voice is not playing: at the end of the samples, after
    // Stop, or at once when it is not playing now.
    void WaitUntilStopped() const;

    const std::shared_ptr<const SoundBuffer>& Samples() const { return m_Samples; }

private:
    bool MixAdd(float* out, size_t frames, uint32_t outputRate) override;
    size_t PositionLocked() const;

    std::shared_ptr<Mixer> m_Mixer;
    std::shared_ptr<const SoundBuffer> m_Samples;
    ResampleCursor m_Cursor;
    int32_t m_Volume = kVolumeMax;
    int32_t m_Pan = kPanCentre;
    StereoGain m_Gain;
    bool m_Playing = false;
};

}   // namespace plat
