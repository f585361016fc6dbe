// Sound files made on the spot for the audio tests and benchmarks: WAV files
// built byte by byte (so that broken ones can be built too) and short MP3
// tones encoded with LAME.
#pragma once

#include <lame/lame.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace audiotest {

constexpr double kPi = 3.14159265358979323846;

// A folder of this process's own under the system's temporary folder.
inline std::filesystem::path TempDir()
{
    auto dir = std::filesystem::temp_directory_path() / ("spindrel-audio-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string TempFile(const std::string& name) { return (TempDir() / name).string(); }

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

inline void PutLe16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutLe32(std::vector<uint8_t>& out, uint32_t v)
{
    PutLe16(out, v & 0xffff);
    PutLe16(out, v >> 16);
}

inline void PutText(std::vector<uint8_t>& out, const char* text)
{
    for (; *text; ++text) out.push_back(static_cast<uint8_t>(*text));
}

// Everything a WAV file is built from; the defaults make a valid 16-bit mono
// file at 44100 Hz.
struct WavSpec {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t sampleRate = 44100;
    uint16_t bitsPerSample = 16;
    int blockAlign = -1;            // -1: channels x bytes per sample
    bool extendedFormat = false;    // an 18-byte format chunk with an extra-size field
    std::vector<uint8_t> between;   // raw bytes between the format chunk and the data tag
    std::vector<uint8_t> samples;
    int64_t dataSize = -1;   // -1: the size of the samples
};

inline std::vector<uint8_t> BuildWav(const WavSpec& spec)
{
    std::vector<uint8_t> out;
    PutText(out, "RIFF");
    PutLe32(out, 0);   // patched below
    PutText(out, "WAVEfmt ");
    PutLe32(out, spec.extendedFormat ? 18 : 16);
    PutLe16(out, spec.formatTag);
    PutLe16(out, spec.channels);
    PutLe32(out, spec.sampleRate);
    const uint32_t align =
        spec.blockAlign >= 0 ? static_cast<uint32_t>(spec.blockAlign) : spec.channels * (spec.bitsPerSample / 8u);
    PutLe32(out, spec.sampleRate * align);
    PutLe16(out, align);
    PutLe16(out, spec.bitsPerSample);
    if (spec.extendedFormat) PutLe16(out, 0);
    out.insert(out.end(), spec.between.begin(), spec.between.end());
    PutText(out, "data");
    PutLe32(out,
            spec.dataSize >= 0 ? static_cast<uint32_t>(spec.dataSize) : static_cast<uint32_t>(spec.samples.size()));
    out.insert(out.end(), spec.samples.begin(), spec.samples.end());
    const uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
    return out;
}

// A LIST chunk as editors write it between the format and data chunks.
inline std::vector<uint8_t> ListChunk(const char* text)
{
    std::vector<uint8_t> out;
    PutText(out, "LIST");
    const size_t length = 4 + 8 + std::strlen(text) + 1;
    PutLe32(out, static_cast<uint32_t>(length));
    PutText(out, "INFOISFT");
    PutLe32(out, static_cast<uint32_t>(std::strlen(text) + 1));
    PutText(out, text);
    out.push_back(0);
    return out;
}

inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    for (int16_t s : samples) PutLe16(out, static_cast<uint16_t>(s));
    return out;
}

// n samples of a constant 16-bit value.
inline std::vector<uint8_t> Constant16(size_t n, int16_t value) { return Pcm16(std::vector<int16_t>(n, value)); }

inline std::string WriteWav(const std::string& name, const WavSpec& spec)
{
    std::string path = TempFile(name);
    WriteBytes(path, BuildWav(spec));
    return path;
}

// A sine tone encoded as a constant-bit-rate MP3 with a LAME tag (which lets
// the decoder drop the encoder's padding, so the length is exact).
inline bool EncodeMp3Tone(const std::string& path, double seconds, int sampleRate, int channels, double frequency,
                          float amplitude, int kbps = 128)
{
    lame_t lame = lame_init();
    if (!lame) return false;
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, 7);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    const int frames = static_cast<int>(seconds * sampleRate);
    std::vector<float> tone(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        tone[static_cast<size_t>(i)] = amplitude * static_cast<float>(std::sin(2.0 * kPi * frequency * i / sampleRate));
    std::vector<uint8_t> mp3(static_cast<size_t>(frames) * 5 / 4 + 7200 + 16384);
    int size =
        lame_encode_buffer_ieee_float(lame, tone.data(), tone.data(), frames, mp3.data(), static_cast<int>(mp3.size()));
    if (size >= 0) {
        int tail = lame_encode_flush(lame, mp3.data() + size, static_cast<int>(mp3.size()) - size);
        size = tail >= 0 ? size + tail : -1;
    }
    if (size >= 0) {
        mp3.resize(static_cast<size_t>(size));
        uint8_t tag[4096];
        size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
        if (tagSize > 0 && tagSize <= sizeof tag && tagSize <= mp3.size()) std::memcpy(mp3.data(), tag, tagSize);
    }
    lame_close(lame);
    return size > 0 && WriteBytes(path, mp3);
}

}   // namespace audiotest
