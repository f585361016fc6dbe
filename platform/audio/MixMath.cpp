#include "platform/audio/MixMath.h"

#include <cmath>

namespace plat {

namespace {
constexpr float kHundredthsDbPerDecade = 2000.0f;        // 20 dB per factor of ten, in hundredths
constexpr float kLimiterKnee = 0.75f;                    // below this level the limiter is transparent
constexpr float kFractionScale = 1.0f / 4294967296.0f;   // 32.32 fraction to 0..1

// The frames still to write before the source runs out, from the cursor.
template <int Channels>
size_t MixFrames(const float* source, size_t usableFrames, ResampleCursor& cursor, StereoGain gain, float* out,
                 size_t outFrames, size_t lastFrame)
{
    size_t written = 0;
    uint64_t position = cursor.position;
    const uint64_t step = cursor.step;
    while (written < outFrames) {
        const size_t index = static_cast<size_t>(position >> 32);
        if (index >= usableFrames) break;
        const size_t next = index < lastFrame ? index + 1 : index;
        const float fraction = static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
        const float* a = source + index * Channels;
        const float* b = source + next * Channels;
        const float left = a[0] + (b[0] - a[0]) * fraction;
        const float right = Channels == 2 ? a[1] + (b[1] - a[1]) * fraction : left;
        out[2 * written] += left * gain.left;
        out[2 * written + 1] += right * gain.right;
        position += step;
        ++written;
    }
    cursor.position = position;
    return written;
}
}   // namespace

float VolumeToGain(int32_t hundredthsDb)
{
    if (hundredthsDb <= kVolumeMin) return 0.0f;
    if (hundredthsDb >= kVolumeMax) return 1.0f;
    return std::pow(10.0f, static_cast<float>(hundredthsDb) / kHundredthsDbPerDecade);
}

StereoGain ComputeStereoGain(int32_t volume, int32_t pan)
{
    const float gain = VolumeToGain(volume);
    StereoGain result{gain, gain};
    if (pan > kPanCentre) result.left *= VolumeToGain(-pan);
    if (pan < kPanCentre) result.right *= VolumeToGain(pan);
    return result;
}

uint64_t ResampleStep(uint32_t sourceRate, uint32_t outputRate)
{
    if (outputRate == 0) return uint64_t{1} << 32;
    return (static_cast<uint64_t>(sourceRate) << 32) / outputRate;
}

size_t MixResampled(const float* source, size_t sourceFrames, int channels, bool sourceComplete, ResampleCursor& cursor,
                    StereoGain gain, float* out, size_t outFrames)
{
    if (sourceFrames == 0) return 0;
    // Without the next chunk the last frame cannot be interpolated yet.
    const size_t usable = sourceComplete ? sourceFrames : sourceFrames - 1;
    const size_t lastFrame = sourceFrames - 1;
    if (channels == 2) return MixFrames<2>(source, usable, cursor, gain, out, outFrames, lastFrame);
    return MixFrames<1>(source, usable, cursor, gain, out, outFrames, lastFrame);
}

float SoftLimit(float sample)
{
    const float magnitude = std::fabs(sample);
    if (magnitude <= kLimiterKnee) return sample;
    const float headroom = 1.0f - kLimiterKnee;
    const float bent = kLimiterKnee + headroom * std::tanh((magnitude - kLimiterKnee) / headroom);
    return std::copysign(std::fmin(bent, 1.0f), sample);
}

void SoftLimit(float* samples, size_t count)
{
    for (size_t i = 0; i < count; ++i) samples[i] = SoftLimit(samples[i]);
}

}   // namespace plat
