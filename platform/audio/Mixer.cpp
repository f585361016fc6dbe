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
    std::fill(out, out + frames * kOutputChannels, 0.0f);
    std::lock_guard<std::mutex> lock(m_mutex);
    bool anyFinished = false;
    for (size_t i = 0; i < m_sources.size();) {
        if (m_sources[i]->MixAdd(out, frames, m_outputRate)) {
            ++i;
            continue;
        }
        m_sources[i] = m_sources.back();
        m_sources.pop_back();
        anyFinished = true;
    }
    if (anyFinished) m_stopSignal.notify_all();
    SoftLimit(out, frames * kOutputChannels);
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
