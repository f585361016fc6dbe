// Fuzz target for the music decoder: any bytes are opened as an MP3 held in
// memory, decoded to the end, sought and decoded again.
#include <cstdint>
#include <vector>

#include "platform/audio/Mp3Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kChunkFrames = 1152;
    if (size == 0) return 0;
    auto stream = plat::Mp3Stream::OpenMemory(std::vector<uint8_t>(data, data + size));
    if (!stream) return 0;
    if (stream->LengthFrames() <= 0 || stream->SampleRate() == 0) __builtin_trap();
    std::vector<float> pcm(kChunkFrames * 2);
    int64_t decoded = 0;
    while (size_t frames = stream->Read(pcm.data(), kChunkFrames)) decoded += static_cast<int64_t>(frames);
    stream->Seek(stream->LengthFrames() / 2);
    stream->Read(pcm.data(), kChunkFrames);
    stream->Seek(0);
    stream->Read(pcm.data(), kChunkFrames);
    return decoded >= 0 ? 0 : 1;
}
