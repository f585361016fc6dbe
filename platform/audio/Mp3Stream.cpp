#include "platform/audio/Mp3Stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/DataRoot.h"
#include "platform/RefusedFiles.h"

#include <mpg123.h>

namespace plat {

namespace {
constexpr int kStereo = 2;

// mpg123_init is required by older libraries and harmless on newer ones.
bool InitLibrary()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = mpg123_init() == MPG123_OK; });
    return ok;
}

// Allows only float stereo output, at every rate the library decodes, so that
// mono files are spread to both channels and no resampling happens inside.
bool SetOutputFormat(mpg123_handle* handle)
{
    if (mpg123_format_none(handle) != MPG123_OK) return false;
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        if (mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) return false;
    return true;
}

constexpr const char* NOT_MP3_AUDIO = "no MP3 audio the game can play";

// The whole file, or null bytes and the reason it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path, const char*& problem)
{
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(DataPath(path).c_str(), "rb");
    if (!file) {
        problem = RefusedFiles::WhyCannotOpen();
        return bytes;
    }
    problem = RefusedFiles::kUnreadable;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size == 0)
            problem = RefusedFiles::kEmpty;
        else if (size > 0 && static_cast<size_t>(size) > Mp3Stream::kMaxFileBytes)
            problem = RefusedFiles::kTooLarge;
        else if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.resize(static_cast<size_t>(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size()) problem = nullptr;
        }
    }
    std::fclose(file);
    return bytes;
}
}   // namespace

std::unique_ptr<Mp3Stream> Mp3Stream::OpenFile(const std::string& path)
{
    const char* problem = nullptr;
    std::vector<uint8_t> bytes = ReadWholeFile(path, problem);
    std::unique_ptr<Mp3Stream> stream = problem ? nullptr : OpenMemory(std::move(bytes));
    if (!stream) RefusedFiles::Report(path, problem ? problem : NOT_MP3_AUDIO);
    return stream;
}

std::unique_ptr<Mp3Stream> Mp3Stream::OpenMemory(std::vector<uint8_t> bytes)
{
    if (bytes.empty() || bytes.size() > kMaxFileBytes || !InitLibrary()) return nullptr;
    std::unique_ptr<Mp3Stream> stream(new Mp3Stream(std::move(bytes)));
    if (!stream->Open()) return nullptr;
    return stream;
}

Mp3Stream::Mp3Stream(std::vector<uint8_t> bytes) : m_File(std::move(bytes)) {}

Mp3Stream::~Mp3Stream()
{
    if (!m_Handle) return;
    mpg123_close(m_Handle);
    mpg123_delete(m_Handle);
}

bool Mp3Stream::Open()
{
    int error = MPG123_OK;
    m_Handle = mpg123_new(nullptr, &error);
    if (!m_Handle) return false;
    mpg123_param(m_Handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (!SetOutputFormat(m_Handle)) return false;
    if (mpg123_replace_reader_handle(m_Handle, &Mp3Stream::ReadCallback, &Mp3Stream::SeekCallback, nullptr) !=
        MPG123_OK)
        return false;
    if (mpg123_open_handle(m_Handle, this) != MPG123_OK) return false;

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_Handle, &rate, &channels, &encoding) != MPG123_OK) return false;
    if (channels != kStereo || encoding != MPG123_ENC_FLOAT_32 || rate <= 0) return false;
    // A full scan gives the exact length (and a seek index) even without a header frame.
    if (mpg123_scan(m_Handle) != MPG123_OK) return false;
    const off_t length = mpg123_length(m_Handle);
    if (length <= 0) return false;
    m_SampleRate = static_cast<uint32_t>(rate);
    m_Length = static_cast<int64_t>(length);
    return Seek(0);
}

size_t Mp3Stream::Read(float* out, size_t maxFrames)
{
    const size_t frameBytes = sizeof(float) * kStereo;
    constexpr int kMaxIdleReads = 8;   // reads that only report a format change
    size_t total = 0;
    int idleReads = 0;
    while (total < maxFrames) {
        size_t done = 0;
        int result = mpg123_read(m_Handle, out + total * kStereo, (maxFrames - total) * frameBytes, &done);
        total += done / frameBytes;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;   // the end of the file or an error
        if (done == 0 && (result == MPG123_OK || ++idleReads > kMaxIdleReads)) break;
    }
    return total;
}

bool Mp3Stream::Seek(int64_t frame)
{
    frame = std::clamp<int64_t>(frame, 0, m_Length);
    return mpg123_seek(m_Handle, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

ssize_t Mp3Stream::ReadCallback(void* self, void* buffer, size_t bytes)
{
    auto* stream = static_cast<Mp3Stream*>(self);
    const size_t available = stream->m_File.size() - stream->m_ReadOffset;
    const size_t count = std::min(bytes, available);
    std::memcpy(buffer, stream->m_File.data() + stream->m_ReadOffset, count);
    stream->m_ReadOffset += count;
    return static_cast<ssize_t>(count);
}

off_t Mp3Stream::SeekCallback(void* self, off_t offset, int whence)
{
    auto* stream = static_cast<Mp3Stream*>(self);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<off_t>(stream->m_ReadOffset);
    else if (whence == SEEK_END)
        base = static_cast<off_t>(stream->m_File.size());
    else if (whence != SEEK_SET)
        return -1;
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(stream->m_File.size())) return -1;
    stream->m_ReadOffset = static_cast<size_t>(target);
    return target;
}

}   // namespace plat
