// SoundBuffer is responsible for the samples of one sound effect held in
// memory: PCM of any common format converted once to float frames at the
// sound's own rate and channel count. It never changes after it is made and is
// shared (std::shared_ptr) by every voice that plays it, so a voice can never
// outlive its samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// The layout of PCM samples as a WAV file describes them.
struct PcmFormat {
    uint16_t channels = 0;        // 1 or 2
    uint32_t sampleRate = 0;      // frames per second
    uint16_t bitsPerSample = 0;   // 8 (unsigned) or 16 (signed, little-endian)
};

class SoundBuffer {
public:
    // The playback rates a buffer accepts, as a sound card driver would.
    static constexpr uint32_t kMinSampleRate = 100;
    static constexpr uint32_t kMaxSampleRate = 200000;

    static bool IsSupported(const PcmFormat& format);

    // Converts raw PCM bytes; a trailing partial frame is dropped. Null when the
    // format is not supported or the bytes hold no whole frame. The name (the
    // file it came from) is only for reports.
    static std::shared_ptr<const SoundBuffer> FromPcm(const PcmFormat& format, const uint8_t* bytes, size_t size,
                                                      std::string name = {});
    // Takes float samples in -1..1, interleaved when stereo.
    static std::shared_ptr<const SoundBuffer> FromFloat(int channels, uint32_t sampleRate, std::vector<float> samples,
                                                        std::string name = {});

    int Channels() const { return m_Channels; }
    uint32_t SampleRate() const { return m_SampleRate; }
    size_t Frames() const { return m_Samples.size() / static_cast<size_t>(m_Channels); }
    const float* Samples() const { return m_Samples.data(); }
    const std::string& Name() const { return m_Name; }

private:
    SoundBuffer(int channels, uint32_t sampleRate, std::vector<float> samples, std::string name);

    int m_Channels;
    uint32_t m_SampleRate;
    std::vector<float> m_Samples;
    std::string m_Name;
};

}   // namespace plat
