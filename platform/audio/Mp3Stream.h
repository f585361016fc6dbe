// Mp3Stream is responsible for decoding one MP3 file held in memory with
// libmpg123: float stereo frames at the file's own rate (mono files come out
// on both channels), its exact length, and seeking to any frame. The whole
// compressed file is read at open, so decoding never touches the disk and is
// cheap enough for the audio thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

struct mpg123_handle_struct;

namespace plat {

class Mp3Stream {
public:
    // Files larger than this are refused rather than read into memory.
    static constexpr size_t kMaxFileBytes = 64u << 20;

    // Null when the file is missing, too large or holds no decodable audio;
    // OpenFile reports such a file to RefusedFiles.
    static std::unique_ptr<Mp3Stream> OpenFile(const std::string& path);
    static std::unique_ptr<Mp3Stream> OpenMemory(std::vector<uint8_t> bytes);
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    uint32_t SampleRate() const { return m_SampleRate; }
    int64_t LengthFrames() const { return m_Length; }

    // Decodes up to maxFrames stereo frames into out (2 floats a frame).
    // Returns the frames written; 0 at the end of the file or on a decoding
    // error.
    size_t Read(float* out, size_t maxFrames);
    // Moves decoding to the given frame (clamped to the file); false on failure.
    bool Seek(int64_t frame);

private:
    explicit Mp3Stream(std::vector<uint8_t> bytes);
    bool Open();
    static ssize_t ReadCallback(void* self, void* buffer, size_t bytes);
    static off_t SeekCallback(void* self, off_t offset, int whence);

    std::vector<uint8_t> m_File;
    size_t m_ReadOffset = 0;
    mpg123_handle_struct* m_Handle = nullptr;
    uint32_t m_SampleRate = 0;
    int64_t m_Length = 0;
};

}   // namespace plat
