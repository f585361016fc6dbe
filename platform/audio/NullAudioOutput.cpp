#include "platform/audio/NullAudioOutput.h"

#include <cmath>

namespace plat {

namespace {
constexpr uint64_t kMsPerSecond = 1000;
// A longer step (a stall, or a clock set back) is mixed as this much, so that
// one call never mixes hours of audio.
constexpr uint32_t kMaxStepMs = 1000;
}

NullAudioOutput::NullAudioOutput(uint32_t startMs, uint32_t outputRate) : AudioOutput(outputRate), m_lastMs(startMs) {}

void NullAudioOutput::AdvanceTo(uint32_t ms)
{
    const uint32_t step = ms - m_lastMs;
    m_elapsedMs += step < kMaxStepMs ? step : kMaxStepMs;
    m_lastMs = ms;
    const uint64_t target = m_elapsedMs * GetMixer().OutputRate() / kMsPerSecond;
    MixFrames(target > m_framesMixed ? static_cast<size_t>(target - m_framesMixed) : 0);
}

void NullAudioOutput::MixFrames(size_t frames)
{
    m_lastMix.resize(frames * kOutputChannels);
    if (frames > 0) GetMixer().Mix(m_lastMix.data(), frames);
    m_framesMixed += frames;
    m_lastPeak = 0.0f;
    for (float sample : m_lastMix) m_lastPeak = std::fmax(m_lastPeak, std::fabs(sample));
}

}  // namespace plat
