#include "platform/audio/SdlAudioOutput.h"

#include <SDL.h>

namespace plat {

namespace {
constexpr uint16_t kBlockFrames = 1024;   // about 23 ms at 44100 Hz
}

std::unique_ptr<SdlAudioOutput> SdlAudioOutput::Open(const char* driver)
{
    if (driver) SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;

    std::unique_ptr<SdlAudioOutput> output(new SdlAudioOutput(kDefaultOutputRate));
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(kDefaultOutputRate);
    wanted.format = AUDIO_F32SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = kBlockFrames;
    wanted.callback = &SdlAudioOutput::Callback;
    wanted.userdata = &output->GetMixer();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the device really takes.
    output->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->m_device == 0) return nullptr;  // the destructor quits the subsystem

    output->m_deviceRate = static_cast<uint32_t>(obtained.freq);
    const char* name = SDL_GetCurrentAudioDriver();
    output->m_driverName = name ? name : "";
    SDL_PauseAudioDevice(output->m_device, 0);
    return output;
}

SdlAudioOutput::SdlAudioOutput(uint32_t outputRate) : AudioOutput(outputRate) {}

SdlAudioOutput::~SdlAudioOutput()
{
    // Closing waits for the audio thread to leave the callback.
    if (m_device != 0) SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::Callback(void* userData, uint8_t* stream, int bytes)
{
    auto* mixer = static_cast<Mixer*>(userData);
    const size_t frames = static_cast<size_t>(bytes) / (sizeof(float) * kOutputChannels);
    mixer->Mix(reinterpret_cast<float*>(stream), frames);
}

}  // namespace plat
