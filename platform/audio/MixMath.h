// The arithmetic every part of the mixer shares: the decibel gain law, the pan
// law, linear-interpolation resampling into the output and the soft limiter.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// Volumes and pans are in hundredths of a decibel, as the game sets them.
constexpr int32_t kVolumeMax = 0;        // full volume
constexpr int32_t kVolumeMin = -10000;   // silence
constexpr int32_t kPanLeft = -10000;     // right channel silent
constexpr int32_t kPanCentre = 0;
constexpr int32_t kPanRight = 10000;   // left channel silent

// gain = 10^(volume / 2000); -10000 (or less) is exact silence.
float VolumeToGain(int32_t hundredthsDb);

struct StereoGain {
    float left = 1.0f;
    float right = 1.0f;
};

// The volume's gain on both channels, with the channel away from the pan
// attenuated by the pan's size in hundredths of a decibel.
StereoGain ComputeStereoGain(int32_t volume, int32_t pan);

// A read position in source frames, 32.32 fixed point, and the step per
// output frame (source rate / output rate).
struct ResampleCursor {
    uint64_t position = 0;
    uint64_t step = uint64_t{1} << 32;
};

uint64_t ResampleStep(uint32_t sourceRate, uint32_t outputRate);

// Adds source frames (mono or interleaved stereo) into the stereo output by
// linear interpolation, advancing the cursor. Stops when the output is full
// or the source runs out; the last source frame is interpolated against the
// next one, which only exists when the source is not complete (a stream whose
// next chunk is not decoded yet). Returns the output frames written.
size_t MixResampled(const float* source, size_t sourceFrames, int channels, bool sourceComplete, ResampleCursor& cursor,
                    StereoGain gain, float* out, size_t outFrames);

// Leaves samples below the knee untouched and bends larger ones smoothly
// towards full scale, which they never pass.
float SoftLimit(float sample);
void SoftLimit(float* samples, size_t count);

}   // namespace plat
