// The mixer's budget: one second of audio with 32 voices and 2 music streams
// must mix in at most 20 ms of one core. Each iteration mixes one second in
// the device's block size, so the time per iteration is the figure to read.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/audio/Mixer.h"
#include "platform/audio/Mp3Stream.h"
#include "platform/audio/MusicStream.h"
#include "platform/audio/SoundBuffer.h"
#include "platform/audio/Voice.h"
#include "tests/AudioTestFiles.h"

namespace {

constexpr size_t kBlockFrames = 1024;
constexpr size_t kSecondFrames = plat::kDefaultOutputRate;

std::shared_ptr<const plat::SoundBuffer> Tone(int channels, uint32_t rate, double seconds, double frequency)
{
    std::vector<float> samples(static_cast<size_t>(seconds * rate) * static_cast<size_t>(channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.3f * static_cast<float>(std::sin(2.0 * audiotest::kPi * frequency * (i / channels) / rate));
    return plat::SoundBuffer::FromFloat(channels, rate, std::move(samples), "tone");
}

// A two-second track; the streams hold the whole file in memory, so it is
// removed once they are open.
std::string WriteMusicFile()
{
    std::string file = audiotest::TempFile("bench-music.mp3");
    audiotest::EncodeMp3Tone(file, 2.0, 44100, 2, 220.0, 0.4f);
    return file;
}

void MixOneSecond(plat::Mixer& mixer, std::vector<float>& block)
{
    for (size_t done = 0; done < kSecondFrames; done += kBlockFrames) {
        mixer.Mix(block.data(), kBlockFrames);
        benchmark::DoNotOptimize(block.data());
    }
}

void BM_MixOneSecond(benchmark::State& state)
{
    const int voiceCount = static_cast<int>(state.range(0));
    const int streamCount = static_cast<int>(state.range(1));
    auto mixer = std::make_shared<plat::Mixer>();
    // Sound effects in the formats the game's files use: resampled and not, mono and stereo.
    const std::shared_ptr<const plat::SoundBuffer> buffers[] = {Tone(1, 22050, 1.5, 440.0), Tone(2, 44100, 1.5, 660.0),
                                                                Tone(1, 11025, 1.5, 330.0), Tone(2, 48000, 1.5, 550.0)};
    std::vector<std::unique_ptr<plat::Voice>> voices;
    for (int i = 0; i < voiceCount; ++i) {
        voices.push_back(std::make_unique<plat::Voice>(mixer, buffers[i % 4]));
        voices.back()->SetVolume(-100 * (i % 10));
        voices.back()->SetPan(1000 * (i % 11) - 5000);
    }
    std::vector<std::unique_ptr<plat::MusicStream>> streams;
    const std::string musicFile = WriteMusicFile();
    for (int i = 0; i < streamCount; ++i) {
        streams.push_back(plat::MusicStream::Open(mixer, musicFile));
        if (!streams.back()) {
            std::filesystem::remove_all(audiotest::TempDir());
            state.SkipWithError("cannot open the music");
            return;
        }
        streams.back()->SetVolume(-500);
        streams.back()->Run();
    }
    std::filesystem::remove_all(audiotest::TempDir());
    std::vector<float> block(kBlockFrames * plat::kOutputChannels);
    for (auto _ : state) {
        state.PauseTiming();
        for (auto& voice : voices) {
            voice->SetPosition(0);
            voice->Play();
        }
        for (auto& stream : streams) stream->SetPosition(0);
        state.ResumeTiming();
        MixOneSecond(*mixer, block);
    }
    state.SetLabel("time per iteration = one second of audio");
}

}   // namespace

BENCHMARK(BM_MixOneSecond)->Args({32, 2})->Args({32, 0})->Args({0, 2})->Unit(benchmark::kMillisecond);
