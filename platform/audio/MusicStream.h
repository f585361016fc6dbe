// MusicStream is responsible for playing one MP3 track through the mixer: a
// volume in hundredths of a decibel, a current and a stop position, rewinding
// by setting the position. It decodes in small chunks as the mixer pulls.
// Once running it keeps running: at the end of the track it plays silence
// until its position is set back. Destroying it silences it at once. All calls
// are safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/MixMath.h"
#include "platform/audio/Mixer.h"

namespace plat {

class Mp3Stream;

class MusicStream : private MixerSource {
public:
    // Null when the file cannot be opened or decoded.
    static std::unique_ptr<MusicStream> Open(std::shared_ptr<Mixer> mixer, const std::string& path);
    MusicStream(std::shared_ptr<Mixer> mixer, std::unique_ptr<Mp3Stream> decoder, std::string name);
    ~MusicStream() override;
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    void Run();   // plays on from the current position
    bool IsRunning() const;
    bool IsPlaying() const;   // running and not yet at the stop position

    // Hundredths of a decibel, kVolumeMin..kVolumeMax; false (and no change)
    // outside that range.
    bool SetVolume(int32_t hundredthsDb);
    int32_t Volume() const;

    // Positions are frames at the track's own rate.
    int64_t Position() const;
    int64_t StopPosition() const;
    void SetPosition(int64_t frame);
    uint32_t SampleRate() const;
    const std::string& Name() const { return m_Name; }

private:
    static constexpr size_t kChunkFrames = 4096;

    bool MixAdd(float* out, size_t frames, uint32_t outputRate) override;
    bool DescribeMusic(MusicInfo& info) const override;
    MixBus Bus() const override { return MixBus::Music; }
    void DecodeNextChunk();
    bool AtEndLocked() const;
    int64_t PositionLocked() const;

    std::shared_ptr<Mixer> m_Mixer;
    std::unique_ptr<Mp3Stream> m_Decoder;
    const std::string m_Name;
    const int64_t m_Length;
    std::vector<float> m_Pcm;   // decoded stereo frames not yet played (and the one being played)
    size_t m_PcmFrames = 0;
    int64_t m_PcmStart = 0;    // track frame of m_Pcm's first frame
    ResampleCursor m_Cursor;   // relative to m_Pcm's first frame
    bool m_DecoderDone = false;
    bool m_Running = false;
    int32_t m_Volume = kVolumeMax;
    StereoGain m_Gain;
};

}   // namespace plat
