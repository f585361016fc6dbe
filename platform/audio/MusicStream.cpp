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
    : m_Mixer(std::move(mixer)),
      m_Decoder(std::move(decoder)),
      m_Name(std::move(name)),
      m_Length(m_Decoder->LengthFrames()),
      m_Pcm(kChunkFrames * kOutputChannels)
{
    m_Cursor.step = ResampleStep(m_Decoder->SampleRate(), m_Mixer->OutputRate());
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Mixer->AttachLocked(this);
}

MusicStream::~MusicStream()
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Mixer->DetachLocked(this);
}

void MusicStream::Run()
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Running = true;
}

bool MusicStream::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return m_Running;
}

bool MusicStream::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return m_Running && !AtEndLocked();
}

bool MusicStream::SetVolume(int32_t hundredthsDb)
{
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax) return false;
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_Volume = hundredthsDb;
    m_Gain = ComputeStereoGain(m_Volume, kPanCentre);
    return true;
}

int32_t MusicStream::Volume() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return m_Volume;
}

int64_t MusicStream::Position() const
{
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    return PositionLocked();
}

int64_t MusicStream::StopPosition() const { return m_Length; }

uint32_t MusicStream::SampleRate() const { return m_Decoder->SampleRate(); }

void MusicStream::SetPosition(int64_t frame)
{
    frame = std::clamp<int64_t>(frame, 0, m_Length);
    std::lock_guard<std::mutex> lock(m_Mixer->Mutex());
    m_DecoderDone = !m_Decoder->Seek(frame);
    m_PcmFrames = 0;
    m_PcmStart = frame;
    m_Cursor.position = 0;
}

bool MusicStream::AtEndLocked() const { return m_DecoderDone && (m_Cursor.position >> 32) >= m_PcmFrames; }

int64_t MusicStream::PositionLocked() const
{
    if (AtEndLocked()) return m_Length;
    return std::min(m_PcmStart + static_cast<int64_t>(m_Cursor.position >> 32), m_Length);
}

bool MusicStream::MixAdd(float* out, size_t frames, uint32_t)
{
    if (!m_Running) return true;
    size_t written = 0;
    while (written < frames) {
        written += MixResampled(m_Pcm.data(), m_PcmFrames, kOutputChannels, m_DecoderDone, m_Cursor, m_Gain,
                                out + written * kOutputChannels, frames - written);
        if (written == frames || m_DecoderDone) break;
        DecodeNextChunk();
    }
    return true;   // an open stream stays attached, silent at its end
}

// Drops the frames already played, keeps the one still needed for
// interpolation, and decodes behind it.
void MusicStream::DecodeNextChunk()
{
    const size_t played = std::min(static_cast<size_t>(m_Cursor.position >> 32), m_PcmFrames);
    const size_t kept = m_PcmFrames - played;
    std::memmove(m_Pcm.data(), m_Pcm.data() + played * kOutputChannels, kept * kOutputChannels * sizeof(float));
    m_PcmStart += static_cast<int64_t>(played);
    m_Cursor.position -= static_cast<uint64_t>(played) << 32;

    const size_t decoded = m_Decoder->Read(m_Pcm.data() + kept * kOutputChannels, kChunkFrames - kept);
    m_PcmFrames = kept + decoded;
    if (decoded == 0) m_DecoderDone = true;
}

bool MusicStream::DescribeMusic(MusicInfo& info) const
{
    info.name = m_Name;
    info.volume = m_Volume;
    info.playing = m_Running && !AtEndLocked();
    return true;
}

}   // namespace plat
