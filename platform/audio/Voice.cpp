#include "platform/audio/Voice.h"

#include <algorithm>

#include "platform/audio/SoundBuffer.h"

namespace plat {

Voice::Voice(std::shared_ptr<Mixer> mixer, std::shared_ptr<const SoundBuffer> samples)
    : m_mixer(std::move(mixer)), m_samples(std::move(samples))
{
    m_cursor.step = ResampleStep(m_samples->SampleRate(), m_mixer->OutputRate());
}

Voice::~Voice()
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_mixer->DetachLocked(this);
}

std::unique_ptr<Voice> Voice::Duplicate() const
{
    auto copy = std::make_unique<Voice>(m_mixer, m_samples);
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    copy->m_volume = m_volume;
    copy->m_pan = m_pan;
    copy->m_gain = m_gain;
    return copy;
}

void Voice::Play()
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_mixer->NoteStartedLocked(*m_samples);
    if (m_playing) return;
    m_playing = true;
    m_mixer->AttachLocked(this);
}

void Voice::Stop()
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    if (!m_playing) return;
    m_playing = false;
    m_mixer->DetachLocked(this);
    m_mixer->StopSignal().notify_all();
}

bool Voice::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return m_playing;
}

void Voice::SetPosition(size_t frame)
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_cursor.position = static_cast<uint64_t>(std::min(frame, m_samples->Frames())) << 32;
}

size_t Voice::Position() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return PositionLocked();
}

size_t Voice::PositionLocked() const
{
    return std::min(static_cast<size_t>(m_cursor.position >> 32), m_samples->Frames());
}

bool Voice::SetVolume(int32_t hundredthsDb)
{
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax) return false;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_volume = hundredthsDb;
    m_gain = ComputeStereoGain(m_volume, m_pan);
    return true;
}

int32_t Voice::Volume() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return m_volume;
}

bool Voice::SetPan(int32_t hundredthsDb)
{
    if (hundredthsDb < kPanLeft || hundredthsDb > kPanRight) return false;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_pan = hundredthsDb;
    m_gain = ComputeStereoGain(m_volume, m_pan);
    return true;
}

int32_t Voice::Pan() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return m_pan;
}

void Voice::WaitUntilStopped() const
{
    std::unique_lock<std::mutex> lock(m_mixer->Mutex());
    m_mixer->StopSignal().wait(lock, [this] { return !m_playing; });
}

bool Voice::MixAdd(float* out, size_t frames, uint32_t)
{
    const size_t written = MixResampled(m_samples->Samples(), m_samples->Frames(), m_samples->Channels(), true,
                                        m_cursor, m_gain, out, frames);
    if (written == frames && PositionLocked() < m_samples->Frames()) return true;
    m_playing = false;
    return false;
}

}  // namespace plat
