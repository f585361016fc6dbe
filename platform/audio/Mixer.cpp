#include "platform/audio/Mixer.h"

#include <algorithm>

#include "platform/audio/MixMath.h"
#include "platform/audio/SoundBuffer.h"

namespace plat {

namespace {
constexpr size_t kExpectedSources = 64;
}

Mixer::Mixer(uint32_t outputRate) : m_outputRate(outputRate)
{
    m_sources.reserve(kExpectedSources);
}

void Mixer::Mix(float* out, size_t frames)
{
    const size_t samples = frames * kOutputChannels;
    std::fill(out, out + samples, 0.0f);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_musicScratch.size() < samples) m_musicScratch.resize(samples);
    std::fill(m_musicScratch.begin(), m_musicScratch.begin() + static_cast<std::ptrdiff_t>(samples), 0.0f);
    bool anyFinished = false;
    for (size_t i = 0; i < m_sources.size();) {
        float* target = m_sources[i]->Bus() == MixBus::Music ? m_musicScratch.data() : out;
        if (m_sources[i]->MixAdd(target, frames, m_outputRate)) {
            ++i;
            continue;
        }
        m_sources[i] = m_sources.back();
        m_sources.pop_back();
        anyFinished = true;
    }
    if (anyFinished) m_stopSignal.notify_all();
    const float musicGain = m_musicGain * (m_musicDucked ? kDuckGain : 1.0f);
    for (size_t i = 0; i < samples; ++i) out[i] = out[i] * m_effectsGain + m_musicScratch[i] * musicGain;
    SoftLimit(out, samples);
}

void Mixer::SetBusGain(MixBus bus, float gain)
{
    const float limited = gain >= 0.0f ? std::min(gain, 1.0f) : 0.0f;   // NaN too
    std::lock_guard<std::mutex> lock(m_mutex);
    (bus == MixBus::Music ? m_musicGain : m_effectsGain) = limited;
}

float Mixer::BusGain(MixBus bus) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bus == MixBus::Music ? m_musicGain : m_effectsGain;
}

void Mixer::SetMusicDucked(bool ducked)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_musicDucked = ducked;
}

bool Mixer::MusicDucked() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_musicDucked;
}

void Mixer::AttachLocked(MixerSource* source)
{
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end()) m_sources.push_back(source);
}

void Mixer::DetachLocked(MixerSource* source)
{
    auto it = std::find(m_sources.begin(), m_sources.end(), source);
    if (it == m_sources.end()) return;
    *it = m_sources.back();
    m_sources.pop_back();
}

size_t Mixer::SourceCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sources.size();
}

void Mixer::EnableStartLog(bool enable)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_startLogEnabled = enable;
    if (!enable) m_started.clear();
}

void Mixer::NoteStartedLocked(const SoundBuffer& buffer)
{
    if (m_startLogEnabled && m_started.size() < kStartedLogLimit) m_started.push_back(buffer.Name());
}

std::vector<std::string> Mixer::TakeStartedSounds()
{
    std::vector<std::string> names;
    std::lock_guard<std::mutex> lock(m_mutex);
    names.swap(m_started);
    return names;
}

std::vector<MusicInfo> Mixer::MusicSnapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<MusicInfo> music;
    for (const MixerSource* source : m_sources) {
        MusicInfo info;
        if (source->DescribeMusic(info)) music.push_back(std::move(info));
    }
    return music;
}

}  // namespace plat
