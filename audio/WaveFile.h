// The game's reader of RIFF WAV files: the format chunk must come first; the
// samples follow the first "data" tag found by a byte scan after it. Only
// 8 or 16 bit PCM, mono or stereo, is accepted, and only when the file really
// holds the samples its data size announces.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/audio/SoundBuffer.h"

struct WaveData {
    plat::PcmFormat format;
    std::vector<uint8_t> samples;   // as stored in the file
};

// Data chunks larger than this are refused, whatever the file claims.
constexpr uint32_t kMaxWaveDataBytes = 64u << 20;

// Reads from the start of an open file; false for anything it does not
// accept, with the reason in *why when asked. The file is left open for the
// caller to close.
bool ReadWaveFile(std::FILE* file, WaveData& wave, const char** why = nullptr);
