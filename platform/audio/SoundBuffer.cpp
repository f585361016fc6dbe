#include "platform/audio/SoundBuffer.h"

namespace plat {

namespace {
constexpr float kEightBitCentre = 128.0f;
constexpr float kEightBitScale = 1.0f / 128.0f;
constexpr float kSixteenBitScale = 1.0f / 32768.0f;

float SampleFromBytes(const uint8_t* p, int bits)
{
    if (bits == 8) return (static_cast<float>(p[0]) - kEightBitCentre) * kEightBitScale;
    auto value = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    return static_cast<float>(value) * kSixteenBitScale;
}
}   // namespace

SoundBuffer::SoundBuffer(int channels, uint32_t sampleRate, std::vector<float> samples, std::string name)
    : m_Channels(channels), m_SampleRate(sampleRate), m_Samples(std::move(samples)), m_Name(std::move(name))
{
}

bool SoundBuffer::IsSupported(const PcmFormat& format)
{
    bool channelsOk = format.channels == 1 || format.channels == 2;
    bool bitsOk = format.bitsPerSample == 8 || format.bitsPerSample == 16;
    bool rateOk = format.sampleRate >= kMinSampleRate && format.sampleRate <= kMaxSampleRate;
    return channelsOk && bitsOk && rateOk;
}

std::shared_ptr<const SoundBuffer> SoundBuffer::FromPcm(const PcmFormat& format, const uint8_t* bytes, size_t size,
                                                        std::string name)
{
    if (!IsSupported(format) || bytes == nullptr) return nullptr;
    const size_t bytesPerSample = format.bitsPerSample / 8u;
    const size_t frameBytes = bytesPerSample * format.channels;
    const size_t frames = size / frameBytes;
    if (frames == 0) return nullptr;

    std::vector<float> samples(frames * format.channels);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = SampleFromBytes(bytes + i * bytesPerSample, format.bitsPerSample);
    return std::shared_ptr<const SoundBuffer>(
        new SoundBuffer(format.channels, format.sampleRate, std::move(samples), std::move(name)));
}

std::shared_ptr<const SoundBuffer> SoundBuffer::FromFloat(int channels, uint32_t sampleRate, std::vector<float> samples,
                                                          std::string name)
{
    if (channels != 1 && channels != 2) return nullptr;
    if (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate) return nullptr;
    samples.resize(samples.size() - samples.size() % static_cast<size_t>(channels));
    if (samples.empty()) return nullptr;
    return std::shared_ptr<const SoundBuffer>(
        new SoundBuffer(channels, sampleRate, std::move(samples), std::move(name)));
}

}   // namespace plat
