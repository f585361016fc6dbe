#include "platform/AudioOutput.h"

#include <atomic>

#include "platform/Clock.h"
#include "platform/audio/NullAudioOutput.h"
#include "platform/audio/SdlAudioOutput.h"

namespace plat {

namespace {
// The stage loader's thread makes sound buffers too, so the pointer is atomic.
std::atomic<AudioOutput*> g_audioOutput{nullptr};
}   // namespace

std::unique_ptr<AudioOutput> OpenAudioOutput()
{
    if (std::unique_ptr<AudioOutput> device = SdlAudioOutput::Open()) return device;
    return std::make_unique<NullAudioOutput>(NowMs());
}

void SetAudioOutput(AudioOutput* output) { g_audioOutput.store(output); }

AudioOutput* GetAudioOutput() { return g_audioOutput.load(); }

}   // namespace plat
