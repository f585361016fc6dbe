// SdlAudioOutput is responsible for playing the mixer through the default
// sound device: 44100 Hz float stereo, pulled by SDL's audio thread in short
// blocks. Destroying it closes the device; the mixer, its voices and streams
// outlive it silently.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/AudioOutput.h"

namespace plat {

class SdlAudioOutput : public AudioOutput {
public:
    // Null when SDL has no audio driver or the device cannot be opened.
    // driver: an SDL audio driver to use instead of the default ("dummy" is
    // a silent device that still runs the audio thread).
    static std::unique_ptr<SdlAudioOutput> Open(const char* driver = nullptr);
    ~SdlAudioOutput() override;

    const char* Kind() const override { return "sdl"; }
    const std::string& DriverName() const { return m_DriverName; }
    uint32_t DeviceRate() const { return m_DeviceRate; }

private:
    explicit SdlAudioOutput(uint32_t outputRate);
    static void Callback(void* userData, uint8_t* stream, int bytes);

    uint32_t m_Device = 0;
    uint32_t m_DeviceRate = 0;
    std::string m_DriverName;
};

}   // namespace plat
