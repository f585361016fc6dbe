// spindrel-play: plays WAV and MP3 files through the default sound device,
// one after the other, each for a few seconds or until it ends.
//   spindrel-play [--seconds N] file.wav|file.mp3 ...
// It says which output it opened: the SDL device (and its driver), or the
// null output when no device could be opened.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "audio/CBGMusic.h"
#include "audio/CSound.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/audio/SdlAudioOutput.h"

namespace {

constexpr int kDefaultSeconds = 3;
constexpr auto kFrame = std::chrono::milliseconds(16);

bool EndsWith(const std::string& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - length + i])) != suffix[i]) return false;
    return true;
}

// Runs frames as the game does until the time is up or done() says so.
template <typename Done>
void RunFrames(plat::AudioOutput& output, int seconds, Done done, CBGMusic* music)
{
    const uint32_t start = plat::NowMs();
    while (plat::NowMs() - start < static_cast<uint32_t>(seconds) * 1000u && !done()) {
        if (music) music->Update();
        std::this_thread::sleep_for(kFrame);
        output.AdvanceTo(plat::NowMs());
    }
}

bool PlayWave(plat::AudioOutput& output, const std::string& path, int seconds)
{
    CSound sound;
    if (!sound.Load(path)) return false;
    sound.Play();
    RunFrames(
        output, seconds, [&] { return !sound.IsPlaying(); }, nullptr);
    return true;
}

bool PlayMusic(plat::AudioOutput& output, const std::string& path, int seconds)
{
    CBGMusic music(path);
    if (!music.Stream()) return false;
    music.Play(0, false);
    RunFrames(
        output, seconds, [&] { return !music.Stream()->IsPlaying(); }, &music);
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    int seconds = kDefaultSeconds;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--seconds") == 0) {
        seconds = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc || seconds <= 0) {
        std::fprintf(stderr, "usage: spindrel-play [--seconds N] file.wav|file.mp3 ...\n");
        return 2;
    }

    std::unique_ptr<plat::AudioOutput> output = plat::OpenAudioOutput();
    plat::SetAudioOutput(output.get());
    if (auto* device = dynamic_cast<plat::SdlAudioOutput*>(output.get()))
        std::printf("output: SDL audio device, driver \"%s\", %u Hz\n", device->DriverName().c_str(),
                    device->DeviceRate());
    else
        std::printf("output: null (no sound device could be opened); mixing silently\n");

    int failures = 0;
    for (int i = first; i < argc; ++i) {
        const std::string path = argv[i];
        const bool isMusic = EndsWith(path, ".mp3");
        std::printf("playing %s (%s) ... ", path.c_str(), isMusic ? "music" : "sound effect");
        std::fflush(stdout);
        const uint32_t started = plat::NowMs();
        const bool ok = isMusic ? PlayMusic(*output, path, seconds) : PlayWave(*output, path, seconds);
        if (ok)
            std::printf("done after %.2f s\n", (plat::NowMs() - started) / 1000.0);
        else
            std::printf("cannot read it\n");
        failures += ok ? 0 : 1;
    }
    CSound::StopAllOneShots();
    plat::SetAudioOutput(nullptr);
    return failures == 0 ? 0 : 1;
}
