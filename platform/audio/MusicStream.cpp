#include "platform/audio/MusicStream.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/Mp3Stream.h"

namespace plat {

std::unique_ptr<MusicStream> MusicStream::Open(std::shared_ptr<Mixer> mixer, const std::string& path)
{
    if (!mixer) return nullptr;
    std::unique_ptr<Mp3Stream> decoder = Mp3Stream::OpenFile(path);
    if (!decoder) return nullptr;
    return std::make_unique<MusicStream>(std::move(mixer), std::move(decoder), path);
}

MusicStream::MusicStream(std::shared_ptr<Mixer> mixer, std::unique_ptr<Mp3Stream> decoder, std::string name)
    : m_mixer(std::move(mixer)),
      m_decoder(std::move(decoder)),
      m_name(std::move(name)),
      m_length(m_decoder->LengthFrames()),
      m_pcm(kChunkFrames * kOutputChannels)
{
    m_cursor.step = ResampleStep(m_decoder->SampleRate(), m_mixer->OutputRate());
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_mixer->AttachLocked(this);
}

MusicStream::~MusicStream()
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_mixer->DetachLocked(this);
}

void MusicStream::Run()
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_running = true;
}

bool MusicStream::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return m_running;
}

bool MusicStream::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return m_running && !AtEndLocked();
}

bool MusicStream::SetVolume(int32_t hundredthsDb)
{
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax) return false;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_volume = hundredthsDb;
    m_gain = ComputeStereoGain(m_volume, kPanCentre);
    return true;
}

int32_t MusicStream::Volume() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return m_volume;
}

int64_t MusicStream::Position() const
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    return PositionLocked();
}

int64_t MusicStream::StopPosition() const { return m_length; }

uint32_t MusicStream::SampleRate() const { return m_decoder->SampleRate(); }

void MusicStream::SetPosition(int64_t frame)
{
    frame = std::clamp<int64_t>(frame, 0, m_length);
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_decoderDone = !m_decoder->Seek(frame);
    m_pcmFrames = 0;
    m_pcmStart = frame;
    m_cursor.position = 0;
}

bool MusicStream::AtEndLocked() const
{
    return m_decoderDone && (m_cursor.position >> 32) >= m_pcmFrames;
}

int64_t MusicStream::PositionLocked() const
{
    if (AtEndLocked()) return m_length;
    return std::min(m_pcmStart + static_cast<int64_t>(m_cursor.position >> 32), m_length);
}

bool MusicStream::MixAdd(float* out, size_t frames, uint32_t)
{
    if (!m_running) return true;
    size_t written = 0;
    while (written < frames) {
        written += MixResampled(m_pcm.data(), m_pcmFrames, kOutputChannels, m_decoderDone, m_cursor, m_gain,
                                out + written * kOutputChannels, frames - written);
        if (written == frames || m_decoderDone) break;
        DecodeNextChunk();
    }
    return true;  // an open stream stays attached, silent at its end
}

// Drops the frames already played, keeps the one still needed for
// interpolation, and decodes behind it.
void MusicStream::DecodeNextChunk()
{
    const size_t played = std::min(static_cast<size_t>(m_cursor.position >> 32), m_pcmFrames);
    const size_t kept = m_pcmFrames - played;
    std::memmove(m_pcm.data(), m_pcm.data() + played * kOutputChannels, kept * kOutputChannels * sizeof(float));
    m_pcmStart += static_cast<int64_t>(played);
    m_cursor.position -= static_cast<uint64_t>(played) << 32;

    const size_t decoded = m_decoder->Read(m_pcm.data() + kept * kOutputChannels, kChunkFrames - kept);
    m_pcmFrames = kept + decoded;
    if (decoded == 0) m_decoderDone = true;
}

bool MusicStream::DescribeMusic(MusicInfo& info) const
{
    info.name = m_name;
    info.volume = m_volume;
    info.playing = m_running && !AtEndLocked();
    return true;
}

}  // namespace plat
