#include "platform/audio/SdlAudioOutput.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace plat {

namespace {
constexpr uint16_t kBlockFrames = 1024;   // about 23 ms at 44100 Hz
constexpr const char* kSoundDeviceFolder = "/dev/snd";
constexpr std::string_view kPcmDevicePrefix = "pcmC";

// True when the kernel offers at least one ALSA playback or capture device.
bool HasAlsaDevice()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(kSoundDeviceFolder, ec)) {
        if (entry.path().filename().string().starts_with(kPcmDevicePrefix)) return true;
    }
    return false;
}

// Drivers that reach the sound card through ALSA's library (sndio falls back
// to it when no sndio server runs).
bool GoesThroughAlsa(std::string_view driver) { return driver == "alsa" || driver == "sndio"; }

// The drivers SDL would try on its own, in its order, less those that go
// through ALSA when there is no sound card: ALSA's library then prints its
// failure to open the default device (several lines of it) on standard error
// before SDL moves on, and no setting of SDL's can keep it quiet. The drivers
// that never play anything (dummy, disk) are left out as SDL itself does.
// Empty when none is left.
std::string DriversWorthTrying()
{
    const bool alsa = HasAlsaDevice();
    std::string list;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
        const std::string_view name = SDL_GetAudioDriver(i);
        if (name == "dummy" || name == "disk" || (!alsa && GoesThroughAlsa(name))) continue;
        if (!list.empty()) list += ',';
        list += name;
    }
    return list;
}

}   // namespace

std::unique_ptr<SdlAudioOutput> SdlAudioOutput::Open(const char* driver)
{
    // A driver named by the caller or by the user (SDL_AUDIODRIVER) is used as given.
    if (driver) {
        SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
    } else if (!std::getenv("SDL_AUDIODRIVER")) {
        const std::string drivers = DriversWorthTrying();
        if (drivers.empty()) return nullptr;
        SDL_SetHint(SDL_HINT_AUDIODRIVER, drivers.c_str());
    }
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
    output->m_Device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->m_Device == 0) return nullptr;   // the destructor quits the subsystem

    output->m_DeviceRate = static_cast<uint32_t>(obtained.freq);
    const char* name = SDL_GetCurrentAudioDriver();
    output->m_DriverName = name ? name : "";
    SDL_PauseAudioDevice(output->m_Device, 0);
    return output;
}

SdlAudioOutput::SdlAudioOutput(uint32_t outputRate) : AudioOutput(outputRate) {}

SdlAudioOutput::~SdlAudioOutput()
{
    // Closing waits for the audio thread to leave the callback.
    if (m_Device != 0) SDL_CloseAudioDevice(m_Device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::Callback(void* userData, uint8_t* stream, int bytes)
{
    auto* mixer = static_cast<Mixer*>(userData);
    const size_t frames = static_cast<size_t>(bytes) / (sizeof(float) * kOutputChannels);
    mixer->Mix(reinterpret_cast<float*>(stream), frames);
}

}   // namespace plat
