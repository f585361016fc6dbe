// Fuzz target for the WAV reader: any bytes are read as a file; what it
// accepts must convert to a sound buffer and play through a mixer.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "audio/WaveFile.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/SoundBuffer.h"
#include "platform/audio/Voice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kMixFrames = 512;
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;
    WaveData wave;
    const bool accepted = ReadWaveFile(file, wave);
    std::fclose(file);
    if (!accepted) return 0;
    if (wave.samples.size() > size) __builtin_trap();   // never more samples than bytes read

    auto buffer = plat::SoundBuffer::FromPcm(wave.format, wave.samples.data(), wave.samples.size(), "fuzz");
    if (!buffer) __builtin_trap();   // an accepted file always makes a buffer
    auto mixer = std::make_shared<plat::Mixer>();
    plat::Voice voice(mixer, buffer);
    voice.SetPan(static_cast<int32_t>(size % 20001) - 10000);
    voice.Play();
    float out[kMixFrames * plat::kOutputChannels];
    mixer->Mix(out, kMixFrames);
    for (float sample : out)
        if (!(sample >= -1.0f && sample <= 1.0f)) __builtin_trap();
    return 0;
}
