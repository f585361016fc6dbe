// AudioOutput is responsible for carrying the mixer's signal somewhere: the
// default sound device (SdlAudioOutput) or nowhere (NullAudioOutput, whose
// mixer moves only with the game's clock, so tests and the headless runner
// are deterministic). The game reaches the installed output through
// GetAudioOutput(); sound buffers and music streams are made on its mixer.
//
// The shell's part:
//   start-up   auto audio = plat::OpenAudioOutput();      // SDL, or null when no device opens
//              plat::SetAudioOutput(audio.get());
//   per frame  audio->AdvanceTo(plat::NowMs());           // after the passes; only the null output uses it
//   shutdown   (after every task is deleted) CSound::StopAllOneShots();
//              plat::SetAudioOutput(nullptr); audio.reset();
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio/Mixer.h"

namespace plat {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // "sdl" or "null".
    virtual const char* Kind() const = 0;
    // Mixes up to the given time of the game's millisecond clock. Real devices
    // pull on their own thread and ignore it.
    virtual void AdvanceTo(uint32_t) {}

    Mixer& GetMixer() const { return *m_Mixer; }
    const std::shared_ptr<Mixer>& SharedMixer() const { return m_Mixer; }

protected:
    explicit AudioOutput(uint32_t outputRate) : m_Mixer(std::make_shared<Mixer>(outputRate)) {}

private:
    std::shared_ptr<Mixer> m_Mixer;
};

// The default sound device through SDL, or the null output (reading the game
// clock from now on) when no device can be opened.
std::unique_ptr<AudioOutput> OpenAudioOutput();

// The output the game plays through; null means no sound at all.
void SetAudioOutput(AudioOutput* output);
AudioOutput* GetAudioOutput();

}   // namespace plat
