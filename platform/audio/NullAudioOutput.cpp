#include "platform/audio/NullAudioOutput.h"

#include <cmath>

namespace plat {

namespace {
constexpr uint64_t kMsPerSecond = 1000;
// A longer step (a stall, or a clock set back) is mixed as this much, so that
// one call never mixes hours of audio.
constexpr uint32_t kMaxStepMs = 1000;
}   // namespace

NullAudioOutput::NullAudioOutput(uint32_t startMs, uint32_t outputRate) : AudioOutput(outputRate), m_LastMs(startMs) {}

void NullAudioOutput::AdvanceTo(uint32_t ms)
{
    const uint32_t step = ms - m_LastMs;
    m_ElapsedMs += step < kMaxStepMs ? step : kMaxStepMs;
    m_LastMs = ms;
    const uint64_t target = m_ElapsedMs * GetMixer().OutputRate() / kMsPerSecond;
    MixFrames(target > m_FramesMixed ? static_cast<size_t>(target - m_FramesMixed) : 0);
}

void NullAudioOutput::MixFrames(size_t frames)
{
    m_LastMix.resize(frames * kOutputChannels);
    if (frames > 0) GetMixer().Mix(m_LastMix.data(), frames);
    m_FramesMixed += frames;
    m_LastPeak = 0.0f;
    for (float sample : m_LastMix) m_LastPeak = std::fmax(m_LastPeak, std::fabs(sample));
}

}   // namespace plat
