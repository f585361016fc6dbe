#include "platform/audio/Mixer.h"

#include <algorithm>

#include "platform/audio/MixMath.h"
#include "platform/audio/SoundBuffer.h"

namespace plat {

namespace {
constexpr size_t kExpectedSources = 64;
}

Mixer::Mixer(uint32_t outputRate) : m_OutputRate(outputRate) { m_Sources.reserve(kExpectedSources); }

void Mixer::Mix(float* out, size_t frames)
{
    const size_t samples = frames * kOutputChannels;
    std::fill(out, out + samples, 0.0f);
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_MusicScratch.size() < samples) m_MusicScratch.resize(samples);
    std::fill(m_MusicScratch.begin(), m_MusicScratch.begin() + static_cast<std::ptrdiff_t>(samples), 0.0f);
    bool anyFinished = false;
    for (size_t i = 0; i < m_Sources.size();) {
        float* target = m_Sources[i]->Bus() == MixBus::Music ? m_MusicScratch.data() : out;
        if (m_Sources[i]->MixAdd(target, frames, m_OutputRate)) {
            ++i;
            continue;
        }
        m_Sources[i] = m_Sources.back();
        m_Sources.pop_back();
        anyFinished = true;
    }
    if (anyFinished) m_StopSignal.notify_all();
    const float musicGain = m_MusicGain * (m_MusicDucked ? kDuckGain : 1.0f);
    for (size_t i = 0; i < samples; ++i) out[i] = out[i] * m_EffectsGain + m_MusicScratch[i] * musicGain;
    SoftLimit(out, samples);
}

void Mixer::SetBusGain(MixBus bus, float gain)
{
    const float limited = gain >= 0.0f ? std::min(gain, 1.0f) : 0.0f;   // NaN too
    std::lock_guard<std::mutex> lock(m_Mutex);
    (bus == MixBus::Music ? m_MusicGain : m_EffectsGain) = limited;
}

float Mixer::BusGain(MixBus bus) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return bus == MixBus::Music ? m_MusicGain : m_EffectsGain;
}

void Mixer::SetMusicDucked(bool ducked)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_MusicDucked = ducked;
}

bool Mixer::MusicDucked() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_MusicDucked;
}

void Mixer::AttachLocked(MixerSource* source)
{
    if (std::find(m_Sources.begin(), m_Sources.end(), source) == m_Sources.end()) m_Sources.push_back(source);
}

void Mixer::DetachLocked(MixerSource* source)
{
    auto it = std::find(m_Sources.begin(), m_Sources.end(), source);
    if (it == m_Sources.end()) return;
    *it = m_Sources.back();
    m_Sources.pop_back();
}

size_t Mixer::SourceCount() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Sources.size();
}

void Mixer::EnableStartLog(bool enable)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_StartLogEnabled = enable;
    if (!enable) m_Started.clear();
}

void Mixer::NoteStartedLocked(const SoundBuffer& buffer)
{
    if (m_StartLogEnabled && m_Started.size() < kStartedLogLimit) m_Started.push_back(buffer.Name());
}

std::vector<std::string> Mixer::TakeStartedSounds()
{
    std::vector<std::string> names;
    std::lock_guard<std::mutex> lock(m_Mutex);
    names.swap(m_Started);
    return names;
}

std::vector<MusicInfo> Mixer::MusicSnapshot() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::vector<MusicInfo> music;
    for (const MixerSource* source : m_Sources) {
        MusicInfo info;
        if (source->DescribeMusic(info)) music.push_back(std::move(info));
    }
    return music;
}

}   // namespace plat
