#include "platform/audio/Voice.h"

#include <algorithm>

#include "platform/audio/SoundBuffer.h"

namespace plat {

Voice::Voice(std::shared_ptr<Mixer> mixer, std::shared_ptr<const SoundBuffer> samples)
    : m_Mixer(std::move(mixer)), m_Samples(std::move(samples))
{
    m_Cursor.step = ResampleStep(m_Samples->SampleRate(), m_Mixer->OutputRate());
}

Voice::~Voice()
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Mixer->DetachLocked(this);
}

std::unique_ptr<Voice> Voice::Duplicate() const
{
    auto copy = std::make_unique<Voice>(m_Mixer, m_Samples);
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    copy->m_Volume = m_Volume;
    copy->m_Pan = m_Pan;
    copy->m_Gain = m_Gain;
    return copy;
}

void Voice::Play()
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Mixer->NoteStartedLocked(*m_Samples);
    if (m_Playing) return;
    m_Playing = true;
    m_Mixer->AttachLocked(this);
}

void Voice::Stop()
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    if (!m_Playing) return;
    m_Playing = false;
    m_Mixer->DetachLocked(this);
    m_Mixer->StopSignal().notify_all();
}

bool Voice::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return m_Playing;
}

void Voice::SetPosition(size_t frame)
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Cursor.position = static_cast<uint64_t>(std::min(frame, m_Samples->Frames())) << 32;
}

size_t Voice::Position() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return PositionLocked();
}

size_t Voice::PositionLocked() const
{
    return std::min(static_cast<size_t>(m_Cursor.position >> 32), m_Samples->Frames());
}

bool Voice::SetVolume(int32_t hundredthsDb)
{
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax) return false;
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Volume = hundredthsDb;
    m_Gain = ComputeStereoGain(m_Volume, m_Pan);
    return true;
}

int32_t Voice::Volume() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return m_Volume;
}

bool Voice::SetPan(int32_t hundredthsDb)
{
    if (hundredthsDb < kPanLeft || hundredthsDb > kPanRight) return false;
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Pan = hundredthsDb;
    m_Gain = ComputeStereoGain(m_Volume, m_Pan);
    return true;
}

int32_t Voice::Pan() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return m_Pan;
}

void Voice::WaitUntilStopped() const
{
    std::unique_lock<std::mutex> lock(m_Mixer->Mutex());
    m_Mixer->StopSignal().wait(lock, [this] { return !m_Playing; });
}

bool Voice::MixAdd(float* out, size_t frames, uint32_t)
{
    const size_t written = MixResampled(m_Samples->Samples(), m_Samples->Frames(), m_Samples->Channels(), true,
                                        m_Cursor, m_Gain, out, frames);
    if (written == frames && PositionLocked() < m_Samples->Frames()) return true;
    m_Playing = false;
    return false;
}

}   // namespace plat
