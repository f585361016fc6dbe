#include "audio/WaveFile.h"

#include <cstring>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr size_t kTagBytes = 4;
constexpr size_t kPcmFormatBytes = 16;

constexpr const char* kNotWave = "not a WAV file";
constexpr const char* kWaveCutShort = "cut short";
constexpr const char* kNoSamples = "no samples";
constexpr const char* kUnsupportedFormat = "not 8- or 16-bit PCM in mono or stereo";
constexpr const char* kWaveTooLarge = "too large";

bool ReadBytes(std::FILE* file, void* out, size_t count) { return std::fread(out, 1, count, file) == count; }

bool Skip(std::FILE* file, size_t count)
{
    uint8_t ignored[kTagBytes];
    return ReadBytes(file, ignored, count);
}

bool ReadTag(std::FILE* file, const char* expected, size_t length)
{
    char tag[8];
    return ReadBytes(file, tag, length) && std::memcmp(tag, expected, length) == 0;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// The byte scan for "data": the last four bytes read are compared with the
// tag, so a stray "d" just before the tag (in a text chunk, say) cannot hide it.
bool FindDataTag(std::FILE* file)
{
    char window[kTagBytes] = {};
    size_t filled = 0;
    for (;;) {
        int c = std::fgetc(file);
        if (c == EOF) return false;
        std::memmove(window, window + 1, kTagBytes - 1);
        window[kTagBytes - 1] = static_cast<char>(c);
        if (filled < kTagBytes) ++filled;
        if (filled == kTagBytes && std::memcmp(window, "data", kTagBytes) == 0) return true;
    }
}

// The bytes between the current position and the end of the file.
bool RemainingBytes(std::FILE* file, uint64_t& remaining)
{
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return false;
    long end = std::ftell(file);
    if (end < here || std::fseek(file, here, SEEK_SET) != 0) return false;
    remaining = static_cast<uint64_t>(end - here);
    return true;
}

bool IsAcceptedFormat(uint16_t formatTag, uint16_t blockAlign, const plat::PcmFormat& format)
{
    if (formatTag != kFormatPcm || !plat::SoundBuffer::IsSupported(format)) return false;
    return blockAlign == format.channels * (format.bitsPerSample / 8);
}

}   // namespace

bool ReadWaveFile(std::FILE* file, WaveData& wave, const char** why)
{
    auto refuse = [why](const char* reason) {
        if (why) *why = reason;
        return false;
    };
    if (!ReadTag(file, "RIFF", 4) || !Skip(file, 4)) return refuse(kNotWave);       // the RIFF size is not checked
    if (!ReadTag(file, "WAVEfmt ", 8) || !Skip(file, 4)) return refuse(kNotWave);   // nor is the format chunk's size

    uint8_t pcm[kPcmFormatBytes];
    if (!ReadBytes(file, pcm, sizeof pcm)) return refuse(kWaveCutShort);
    const uint16_t formatTag = Le16(pcm);
    plat::PcmFormat format;
    format.channels = Le16(pcm + 2);
    format.sampleRate = Le32(pcm + 4);
    const uint16_t blockAlign = Le16(pcm + 12);
    format.bitsPerSample = Le16(pcm + 14);

    if (!FindDataTag(file)) return refuse(kNoSamples);
    uint8_t sizeBytes[4];
    if (!ReadBytes(file, sizeBytes, sizeof sizeBytes)) return refuse(kWaveCutShort);
    const uint32_t dataSize = Le32(sizeBytes);

    if (!IsAcceptedFormat(formatTag, blockAlign, format)) return refuse(kUnsupportedFormat);
    uint64_t remaining = 0;
    if (dataSize < blockAlign) return refuse(kNoSamples);
    if (dataSize > kMaxWaveDataBytes) return refuse(kWaveTooLarge);
    if (!RemainingBytes(file, remaining) || dataSize > remaining) return refuse(kWaveCutShort);

    std::vector<uint8_t> samples(dataSize);
    if (!ReadBytes(file, samples.data(), samples.size())) return refuse(kWaveCutShort);
    wave.format = format;
    wave.samples = std::move(samples);
    return true;
}
