// The mixer and its voices: the decibel and pan laws, resampling, the soft
// limiter, waiting for a voice's end, the outputs, and the game thread
// changing voices while an audio thread mixes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

#include "AudioTestFiles.h"
#include "core/Settings.h"
#include "platform/audio/MixMath.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/MusicStream.h"
#include "platform/audio/NullAudioOutput.h"
#include "platform/audio/SdlAudioOutput.h"
#include "platform/audio/SoundBuffer.h"
#include "platform/audio/Voice.h"

using namespace plat;

namespace {

std::shared_ptr<const SoundBuffer> Constant(size_t frames, float value, uint32_t rate = kDefaultOutputRate,
                                            int channels = 1)
{
    return SoundBuffer::FromFloat(channels, rate, std::vector<float>(frames * channels, value), "constant");
}

std::vector<float> MixOnce(Mixer& mixer, size_t frames)
{
    std::vector<float> out(frames * kOutputChannels);
    mixer.Mix(out.data(), frames);
    return out;
}

// Output frames with sound in them.
size_t AudibleFrames(const std::vector<float>& mix)
{
    size_t count = 0;
    for (size_t i = 0; i < mix.size(); i += 2)
        if (mix[i] != 0.0f || mix[i + 1] != 0.0f) ++count;
    return count;
}

}   // namespace

TEST(MixerTest, VolumeFollowsTheDecibelLaw)
{
    EXPECT_FLOAT_EQ(VolumeToGain(0), 1.0f);
    EXPECT_FLOAT_EQ(VolumeToGain(-2000), 0.1f);
    EXPECT_NEAR(VolumeToGain(-600), 0.501187f, 1e-5);
    EXPECT_NEAR(VolumeToGain(-9999), 1.001152e-5f, 1e-10);
    EXPECT_EQ(VolumeToGain(-10000), 0.0f);

    auto mixer = std::make_shared<Mixer>();
    Voice voice(mixer, Constant(100, 0.5f));
    EXPECT_FALSE(voice.SetVolume(1));
    EXPECT_FALSE(voice.SetVolume(-10001));
    EXPECT_EQ(voice.Volume(), 0);
    ASSERT_TRUE(voice.SetVolume(-600));
    voice.Play();
    auto mix = MixOnce(*mixer, 10);
    EXPECT_NEAR(mix[0], 0.5f * 0.501187f, 1e-5);
    EXPECT_NEAR(mix[1], 0.5f * 0.501187f, 1e-5);
    ASSERT_TRUE(voice.SetVolume(-10000));
    mix = MixOnce(*mixer, 10);
    EXPECT_EQ(AudibleFrames(mix), 0u);
    EXPECT_TRUE(voice.IsPlaying());   // a silent voice still plays to its end
}

TEST(MixerTest, PanAttenuatesTheChannelAwayFromIt)
{
    auto mixer = std::make_shared<Mixer>();
    Voice voice(mixer, Constant(1000, 0.5f));
    voice.Play();
    ASSERT_TRUE(voice.SetPan(kPanRight));
    auto mix = MixOnce(*mixer, 10);
    EXPECT_EQ(mix[0], 0.0f);
    EXPECT_FLOAT_EQ(mix[1], 0.5f);
    ASSERT_TRUE(voice.SetPan(-2000));
    mix = MixOnce(*mixer, 10);
    EXPECT_FLOAT_EQ(mix[0], 0.5f);
    EXPECT_FLOAT_EQ(mix[1], 0.05f);
    ASSERT_TRUE(voice.SetVolume(-2000));   // volume and pan multiply
    mix = MixOnce(*mixer, 10);
    EXPECT_FLOAT_EQ(mix[0], 0.05f);
    EXPECT_FLOAT_EQ(mix[1], 0.005f);
    EXPECT_FALSE(voice.SetPan(10001));
    EXPECT_EQ(voice.Pan(), -2000);
}

TEST(MixerTest, ResamplingKeepsEachSoundsDuration)
{
    struct Case {
        uint32_t rate;
        size_t frames;
        int channels;
    };
    // A tenth of a second at each rate is 4410 output frames.
    for (Case c :
         {Case{22050, 2205, 1}, Case{48000, 4800, 2}, Case{11025, 1102, 1}, Case{44100, 4410, 2}, Case{8000, 800, 1}}) {
        auto mixer = std::make_shared<Mixer>();
        Voice voice(mixer, Constant(c.frames, 0.25f, c.rate, c.channels));
        voice.Play();
        auto mix = MixOnce(*mixer, 6000);
        const double expected = static_cast<double>(c.frames) * kDefaultOutputRate / c.rate;
        EXPECT_NEAR(static_cast<double>(AudibleFrames(mix)), expected, 1.0) << c.rate;
        EXPECT_FALSE(voice.IsPlaying());
    }

    // Interpolation: a ramp at half the rate lands halfway between its samples.
    auto mixer = std::make_shared<Mixer>();
    Voice ramp(mixer, SoundBuffer::FromFloat(1, 22050, {0.0f, 0.2f, 0.4f}));
    ramp.Play();
    auto mix = MixOnce(*mixer, 6);
    const float expected[] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.4f};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(mix[2 * i], expected[i], 1e-6) << i;
}

TEST(MixerTest, ManyLoudVoicesNeverClipHarshly)
{
    auto mixer = std::make_shared<Mixer>();
    std::vector<std::unique_ptr<Voice>> voices;
    for (int i = 0; i < 64; ++i) {
        std::vector<float> square(2000);
        for (size_t f = 0; f < square.size(); ++f) square[f] = ((f / 50) % 2) ? 1.0f : -1.0f;
        voices.push_back(std::make_unique<Voice>(mixer, SoundBuffer::FromFloat(1, kDefaultOutputRate, square)));
        voices.back()->Play();
    }
    auto mix = MixOnce(*mixer, 1000);
    for (float sample : mix) EXPECT_LE(std::fabs(sample), 1.0f);

    // The limiter: transparent below its knee, smooth and rising above it.
    EXPECT_EQ(SoftLimit(0.5f), 0.5f);
    EXPECT_EQ(SoftLimit(-0.7f), -0.7f);
    float previous = 0.0f;
    float previousSlope = 1.0f;
    for (float x = 0.01f; x < 8.0f; x += 0.01f) {
        const float y = SoftLimit(x);
        EXPECT_GE(y, previous);
        EXPECT_LE(y, 1.0f);
        const float slope = (y - previous) / 0.01f;
        EXPECT_LE(slope, previousSlope + 0.01f);   // no kink upwards: the curve only bends over
        EXPECT_EQ(SoftLimit(-x), -y);
        previous = y;
        previousSlope = slope;
    }
    EXPECT_GT(SoftLimit(1.0f), 0.9f);   // loud stays loud
}

TEST(MixerTest, VoiceEndAndStopWakeAWaitingThread)
{
    auto mixer = std::make_shared<Mixer>();
    Voice ending(mixer, Constant(441, 0.1f));
    Voice stopped(mixer, Constant(441000, 0.1f));
    ending.Play();
    stopped.Play();
    std::atomic<int> woken{0};
    std::thread waitEnd([&] {
        ending.WaitUntilStopped();
        ++woken;
    });
    std::thread waitStop([&] {
        stopped.WaitUntilStopped();
        ++woken;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(woken.load(), 0);
    MixOnce(*mixer, 512);
    stopped.Stop();
    waitEnd.join();
    waitStop.join();
    EXPECT_EQ(woken.load(), 2);
    EXPECT_EQ(mixer->SourceCount(), 0u);

    // A voice that is not playing does not block.
    ending.WaitUntilStopped();
}

TEST(MixerTest, NullOutputMixesAsFarAsTheClockMoved)
{
    NullAudioOutput output(0xffffff00u);   // 256 ms before the clock wraps
    Voice voice(output.SharedMixer(), Constant(441000, 0.5f));
    voice.Play();
    output.AdvanceTo(0xffffff00u + 17);
    EXPECT_EQ(output.FramesMixed(), 749u);   // 17 ms, rounded down
    output.AdvanceTo(0xffffff00u + 50);
    EXPECT_EQ(output.FramesMixed(), 2205u);   // no frames lost to rounding
    output.AdvanceTo(500);                    // across the wrap: 756 ms in all
    EXPECT_EQ(output.FramesMixed(), 33339u);
    EXPECT_FLOAT_EQ(output.LastPeak(), 0.5f);
    output.AdvanceTo(400);   // a clock set back mixes at most a second
    EXPECT_EQ(output.FramesMixed(), 77439u);
}

TEST(MixerTest, StartLogNamesSoundsOnlyWhenEnabled)
{
    auto mixer = std::make_shared<Mixer>();
    Voice voice(mixer, SoundBuffer::FromFloat(1, 44100, {0.1f}, "sound/System.wav"));
    voice.Play();
    EXPECT_TRUE(mixer->TakeStartedSounds().empty());
    mixer->EnableStartLog(true);
    voice.Play();
    voice.Play();
    EXPECT_EQ(mixer->TakeStartedSounds(), (std::vector<std::string>{"sound/System.wav", "sound/System.wav"}));
    EXPECT_TRUE(mixer->TakeStartedSounds().empty());
}

// The game thread makes, plays, adjusts and drops voices while another
// thread mixes, as SDL's audio thread does. Run under ThreadSanitizer too.
TEST(MixerTest, GameThreadAndAudioThreadShareTheMixerSafely)
{
    auto mixer = std::make_shared<Mixer>();
    auto samples = Constant(300, 0.2f, 22050, 2);
    std::atomic<bool> running{true};
    std::atomic<size_t> blocks{0};
    float loudest = 0.0f;
    std::thread audio([&] {
        std::vector<float> out(256 * kOutputChannels);
        while (running) {
            mixer->Mix(out.data(), 256);
            for (float sample : out) loudest = std::fmax(loudest, std::fabs(sample));
            ++blocks;
        }
    });
    std::vector<std::unique_ptr<Voice>> voices;
    for (int i = 0; i < 3000; ++i) {
        if (voices.size() < 40) voices.push_back(std::make_unique<Voice>(mixer, samples));
        Voice& voice = *voices[static_cast<size_t>(i) % voices.size()];
        voice.SetPosition(0);
        voice.Play();
        voice.SetVolume(-(i % 3000));
        voice.SetPan((i % 200) * 100 - 10000);
        if (i % 7 == 0) voices.push_back(voice.Duplicate());
        if (i % 5 == 0) voices.erase(voices.begin());
        if (i % 11 == 0 && !voices.empty()) voices.back()->Stop();
    }
    while (blocks < 20) std::this_thread::yield();
    voices.clear();
    running = false;
    audio.join();
    EXPECT_EQ(mixer->SourceCount(), 0u);
    EXPECT_LE(loudest, 1.0f);
}

TEST(MixerTest, SdlDummyDeviceRunsTheMixerOnItsAudioThread)
{
    std::unique_ptr<SdlAudioOutput> output = SdlAudioOutput::Open("dummy");
    if (!output) GTEST_SKIP() << "SDL has no dummy audio driver here";
    EXPECT_STREQ(output->Kind(), "sdl");
    EXPECT_EQ(output->DriverName(), "dummy");
    Voice voice(output->SharedMixer(), Constant(2205, 0.3f));   // 50 ms
    voice.Play();
    auto started = std::chrono::steady_clock::now();
    while (voice.IsPlaying() && std::chrono::steady_clock::now() - started < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(voice.IsPlaying());
    // The voice and mixer outlive the device.
    output.reset();
    voice.Play();
    EXPECT_TRUE(voice.IsPlaying());
}

// The player's volumes and the pause's ducking, heard in the mixed samples: a
// tone of music and a steady sound effect mixed at unity each, then together
// at the gains under test, must add up sample for sample.
struct BusGainCase {
    int musicVolume;
    int effectsVolume;
    bool ducked;
};

class MixerBusGainTest : public ::testing::TestWithParam<BusGainCase> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(audiotest::EncodeMp3Tone(TonePath(), 0.5, 44100, 2, 440.0, 0.2f)); }
    static void TearDownTestSuite() { std::filesystem::remove_all(audiotest::TempDir()); }
    static std::string TonePath() { return audiotest::TempFile("bus-tone.mp3"); }

    // A fresh mixer with the tone and the effect playing, mixed at these gains.
    static std::vector<float> MixAt(float musicGain, float effectsGain, bool ducked)
    {
        auto mixer = std::make_shared<Mixer>();
        mixer->SetBusGain(MixBus::Music, musicGain);
        mixer->SetBusGain(MixBus::Effects, effectsGain);
        mixer->SetMusicDucked(ducked);
        auto music = MusicStream::Open(mixer, TonePath());
        EXPECT_NE(music, nullptr);
        if (music) music->Run();
        Voice effect(mixer, Constant(kFrames, 0.15f));
        effect.Play();
        return MixOnce(*mixer, kFrames);
    }

    static constexpr size_t kFrames = 4096;
};

TEST_P(MixerBusGainTest, EachBusIsScaledByItsVolumeInTheMix)
{
    const BusGainCase c = GetParam();
    const std::vector<float> musicAlone = MixAt(1.0f, 0.0f, false);
    const std::vector<float> effectAlone = MixAt(0.0f, 1.0f, false);
    ASSERT_GT(AudibleFrames(musicAlone), kFrames / 2);
    ASSERT_EQ(AudibleFrames(effectAlone), kFrames);

    const float musicGain = Settings::VolumeGain(c.musicVolume) * (c.ducked ? Mixer::kDuckGain : 1.0f);
    const float effectsGain = Settings::VolumeGain(c.effectsVolume);
    const std::vector<float> mixed = MixAt(Settings::VolumeGain(c.musicVolume), effectsGain, c.ducked);
    for (size_t i = 0; i < mixed.size(); ++i)
        ASSERT_NEAR(mixed[i], musicGain * musicAlone[i] + effectsGain * effectAlone[i], 1e-5f) << "sample " << i;
    if (c.musicVolume == 0 && c.effectsVolume == 0) {
        EXPECT_EQ(AudibleFrames(mixed), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Volumes, MixerBusGainTest,
                         ::testing::Values(BusGainCase{100, 100, false}, BusGainCase{50, 100, false},
                                           BusGainCase{100, 25, false}, BusGainCase{0, 70, false},
                                           BusGainCase{80, 0, false}, BusGainCase{0, 0, false},
                                           BusGainCase{100, 100, true}, BusGainCase{60, 30, true}));

TEST(MixerTest, BusGainsStayBetweenSilenceAndUnity)
{
    Mixer mixer;
    EXPECT_EQ(mixer.BusGain(MixBus::Music), 1.0f);
    for (float bad : {-1.0f, std::nanf(""), 7.0f}) {
        mixer.SetBusGain(MixBus::Music, bad);
        const float gain = mixer.BusGain(MixBus::Music);
        EXPECT_TRUE(gain >= 0.0f && gain <= 1.0f) << bad;
    }
}
