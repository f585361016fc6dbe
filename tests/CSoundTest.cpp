// Sound effects: the WAV reader's acceptance rules, buffers and their
// duplicates, and one-shot sounds that delete themselves.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "audio/CSound.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/audio/NullAudioOutput.h"
#include "tests/AudioTestFiles.h"

using audiotest::WavSpec;

namespace {

constexpr int16_t kLevel = 16384;   // half scale: below the limiter's knee, so mixes are exact
constexpr float kLevelFloat = 0.5f;

size_t OpenFileDescriptors()
{
    size_t count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

WavSpec ConstantMono(size_t frames, int16_t value = kLevel)
{
    WavSpec spec;
    spec.samples = audiotest::Constant16(frames, value);
    return spec;
}

// Counts its own deletions, to watch one-shot sounds die.
class ProbeSound : public CSound {
public:
    ProbeSound(const CSound* source, std::atomic<int>* deletions) : CSound(source), m_Deletions(deletions) {}
    ~ProbeSound() override { ++*m_Deletions; }

private:
    std::atomic<int>* m_Deletions;
};

bool WaitFor(const std::function<bool()>& condition)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class CSoundTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { std::filesystem::remove_all(audiotest::TempDir()); }
    void SetUp() override
    {
        plat::SetClock(&m_Clock);
        m_Output = std::make_unique<plat::NullAudioOutput>(m_Clock.NowMs());
        plat::SetAudioOutput(m_Output.get());
    }
    void TearDown() override
    {
        CSound::StopAllOneShots();
        plat::SetAudioOutput(nullptr);
        plat::SetClock(nullptr);
    }

    plat::VirtualClock m_Clock;
    std::unique_ptr<plat::NullAudioOutput> m_Output;
};

}   // namespace

TEST_F(CSoundTest, PlaysSixteenAndEightBitFilesAtTheirOwnRate)
{
    WavSpec ramp;
    ramp.samples = audiotest::Pcm16({0, 1000, -2000, 3000, kLevel});
    CSound sound(audiotest::WriteWav("ramp.wav", ramp));
    ASSERT_NE(sound.Buffer(), nullptr);
    sound.Play();
    m_Output->MixFrames(6);
    const auto& mix = m_Output->LastMix();
    const float expected[] = {0.0f, 1000 / 32768.0f, -2000 / 32768.0f, 3000 / 32768.0f, kLevelFloat, 0.0f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(mix[2 * i], expected[i]) << i;
        EXPECT_FLOAT_EQ(mix[2 * i + 1], expected[i]) << i;
    }
    EXPECT_FALSE(sound.IsPlaying());

    // Unsigned 8-bit stereo at half the output rate: each frame lasts two output frames.
    WavSpec stereo;
    stereo.channels = 2;
    stereo.bitsPerSample = 8;
    stereo.sampleRate = 22050;
    for (int i = 0; i < 100; ++i) stereo.samples.insert(stereo.samples.end(), {192, 64});
    CSound eightBit(audiotest::WriteWav("stereo8.wav", stereo));
    ASSERT_NE(eightBit.Buffer(), nullptr);
    eightBit.Play();
    m_Output->MixFrames(199);
    EXPECT_FLOAT_EQ(m_Output->LastMix()[0], kLevelFloat);
    EXPECT_FLOAT_EQ(m_Output->LastMix()[1], -kLevelFloat);
    EXPECT_TRUE(eightBit.IsPlaying());
    m_Output->MixFrames(1);   // the last frame ends it
    EXPECT_FALSE(eightBit.IsPlaying());
}

TEST_F(CSoundTest, DataTagScanSkipsChunksAndExtraFormatBytes)
{
    WavSpec list = ConstantMono(10);
    list.between = audiotest::ListChunk("Spindrel sound tools");
    EXPECT_TRUE(CSound().Load(audiotest::WriteWav("list.wav", list)));

    WavSpec extended = ConstantMono(10);
    extended.extendedFormat = true;
    EXPECT_TRUE(CSound().Load(audiotest::WriteWav("fmt18.wav", extended)));

    // Stray "d"s right before the tag, as a text chunk may end, do not hide it;
    // a near miss before the real tag is passed over.
    for (std::vector<uint8_t> before :
         {std::vector<uint8_t>{'x', 'd'}, std::vector<uint8_t>{'d', 'd', 'd'}, std::vector<uint8_t>{'d', 'a', 't', 'x'},
          std::vector<uint8_t>{'d', 'a', 'd'}}) {
        WavSpec stray = ConstantMono(10);
        stray.between = before;
        CSound sound;
        EXPECT_TRUE(sound.Load(audiotest::WriteWav("stray.wav", stray))) << std::string(before.begin(), before.end());
        ASSERT_NE(sound.Buffer(), nullptr);
        sound.Play();
        m_Output->MixFrames(1);
        EXPECT_FLOAT_EQ(m_Output->LastMix()[0], kLevelFloat);   // the samples, not the size bytes
    }
    WavSpec textChunk = ConstantMono(10);
    textChunk.between = audiotest::ListChunk("made by Spindrel's sound d");
    EXPECT_TRUE(CSound().Load(audiotest::WriteWav("listd.wav", textChunk)));
}

TEST_F(CSoundTest, RejectsFilesThatAreNotRiffWaveAndClosesThem)
{
    std::vector<uint8_t> good = audiotest::BuildWav(ConstantMono(10));
    std::vector<uint8_t> notRiff = good;
    notRiff[0] = 'X';
    std::vector<uint8_t> notWave = good;
    std::memcpy(notWave.data() + 8, "WAVELIST", 8);
    std::vector<uint8_t> noData = good;
    std::memcpy(noData.data() + 36, "DATA", 4);
    std::vector<uint8_t> empty;

    const size_t openBefore = OpenFileDescriptors();
    for (const auto& [name, bytes] : {std::pair{"notriff.wav", notRiff}, std::pair{"notwave.wav", notWave},
                                      std::pair{"nodata.wav", noData}, std::pair{"empty.wav", empty}}) {
        std::string path = audiotest::TempFile(name);
        ASSERT_TRUE(audiotest::WriteBytes(path, bytes));
        CSound sound;
        EXPECT_FALSE(sound.Load(path)) << name;
        EXPECT_EQ(sound.Buffer(), nullptr) << name;
    }
    EXPECT_FALSE(CSound().Load(audiotest::TempFile("missing.wav")));
    EXPECT_EQ(OpenFileDescriptors(), openBefore);
}

TEST_F(CSoundTest, RefusesDamagedFilesCleanlyAndKeepsTheOldBuffer)
{
    CSound sound(audiotest::WriteWav("good.wav", ConstantMono(100)));
    plat::Voice* loaded = sound.Buffer();
    ASSERT_NE(loaded, nullptr);

    std::vector<WavSpec> damaged;
    auto add = [&](auto change) {
        WavSpec spec = ConstantMono(100);
        change(spec);
        damaged.push_back(spec);
    };
    add([](WavSpec& s) { s.dataSize = 201; });          // one byte more than the file holds
    add([](WavSpec& s) { s.dataSize = 0x7fffffff; });   // absurdly large
    add([](WavSpec& s) { s.dataSize = 0xffffffff; });
    add([](WavSpec& s) { s.dataSize = 0; });         // no samples at all
    add([](WavSpec& s) { s.dataSize = 1; });         // less than one frame
    add([](WavSpec& s) { s.formatTag = 3; });        // float samples
    add([](WavSpec& s) { s.formatTag = 0xfffe; });   // extensible format
    add([](WavSpec& s) { s.bitsPerSample = 24; });
    add([](WavSpec& s) { s.bitsPerSample = 0; });
    add([](WavSpec& s) { s.channels = 0; });
    add([](WavSpec& s) { s.channels = 6; });
    add([](WavSpec& s) { s.sampleRate = 0; });
    add([](WavSpec& s) { s.sampleRate = 0xffffffff; });
    add([](WavSpec& s) { s.blockAlign = 4; });   // disagrees with the format
    for (size_t i = 0; i < damaged.size(); ++i) {
        EXPECT_FALSE(sound.Load(audiotest::WriteWav("damaged.wav", damaged[i]))) << i;
        EXPECT_EQ(sound.Buffer(), loaded) << i;
    }

    // Cut short anywhere: in the header, the format, the data tag, the samples.
    std::vector<uint8_t> whole = audiotest::BuildWav(ConstantMono(100));
    for (size_t length : {size_t{3}, size_t{10}, size_t{30}, size_t{38}, size_t{42}, whole.size() - 1}) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
        std::string path = audiotest::TempFile("cut.wav");
        ASSERT_TRUE(audiotest::WriteBytes(path, cut));
        EXPECT_FALSE(sound.Load(path)) << length;
    }
    EXPECT_EQ(sound.Buffer(), loaded);
}

TEST_F(CSoundTest, WithoutAnOutputEverySoundIsSilent)
{
    std::string path = audiotest::WriteWav("nooutput.wav", ConstantMono(100));
    CSound loaded(path);
    plat::SetAudioOutput(nullptr);
    CSound sound(path);
    EXPECT_EQ(sound.Buffer(), nullptr);
    CSound copy(&loaded);
    EXPECT_EQ(copy.Buffer(), nullptr);
    sound.Play();
    EXPECT_FALSE(sound.SetVolume(-100));
    EXPECT_FALSE(sound.IsPlaying());
}

TEST_F(CSoundTest, PlayRestartsASoundStillPlaying)
{
    CSound sound(audiotest::WriteWav("restart.wav", ConstantMono(44100)));
    sound.Play();
    m_Clock.Advance(100);
    m_Output->AdvanceTo(m_Clock.NowMs());
    EXPECT_EQ(sound.Buffer()->Position(), 4410u);
    sound.Play();
    EXPECT_EQ(sound.Buffer()->Position(), 0u);
    EXPECT_TRUE(sound.IsPlaying());
    // It plays the whole second again from the restart.
    m_Clock.Advance(999);
    m_Output->AdvanceTo(m_Clock.NowMs());
    EXPECT_TRUE(sound.IsPlaying());
    m_Clock.Advance(1);
    m_Output->AdvanceTo(m_Clock.NowMs());
    EXPECT_FALSE(sound.IsPlaying());
}

TEST_F(CSoundTest, DuplicatesShareSamplesButNothingElse)
{
    auto source = std::make_unique<CSound>(audiotest::WriteWav("dup.wav", ConstantMono(4410)));
    ASSERT_TRUE(source->SetVolume(-600));
    ASSERT_TRUE(source->SetPan(300));
    CSound copy(source.get());
    ASSERT_NE(copy.Buffer(), nullptr);
    EXPECT_EQ(copy.Buffer()->Samples(), source->Buffer()->Samples());
    EXPECT_EQ(copy.Buffer()->Volume(), -600);
    EXPECT_EQ(copy.Buffer()->Pan(), 300);

    ASSERT_TRUE(copy.SetVolume(-2000));
    ASSERT_TRUE(copy.SetPan(0));
    EXPECT_EQ(source->Buffer()->Volume(), -600);
    EXPECT_EQ(source->Buffer()->Pan(), 300);

    copy.Play();
    m_Output->MixFrames(100);
    EXPECT_FALSE(source->IsPlaying());
    EXPECT_EQ(source->Buffer()->Position(), 0u);
    EXPECT_NEAR(m_Output->LastPeak(), kLevelFloat * 0.1f, 1e-6);

    // The samples stay alive with the duplicate after the source is gone.
    source.reset();
    m_Output->MixFrames(4000);
    EXPECT_NEAR(m_Output->LastMix()[7999], kLevelFloat * 0.1f, 1e-6);
    EXPECT_TRUE(copy.IsPlaying());

    CSound silent;
    CSound copyOfSilent(&silent);
    EXPECT_EQ(copyOfSilent.Buffer(), nullptr);
    EXPECT_FALSE(copy.Duplicate(silent));   // releases what it held
    EXPECT_EQ(copy.Buffer(), nullptr);
}

TEST_F(CSoundTest, OneShotIsDeletedAfterItsEndAndItsThreadEnds)
{
    CSound source(audiotest::WriteWav("oneshot.wav", ConstantMono(4410)));
    std::atomic<int> deletions{0};
    auto* shot = new ProbeSound(&source, &deletions);
    shot->EnableAutoDelete();
    shot->Play();
    EXPECT_EQ(CSound::LiveOneShots(), 1u);

    m_Clock.Advance(50);
    m_Output->AdvanceTo(m_Clock.NowMs());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(deletions.load(), 0);   // still playing

    m_Clock.Advance(60);
    m_Output->AdvanceTo(m_Clock.NowMs());
    EXPECT_TRUE(WaitFor([&] { return deletions.load() == 1; }));
    EXPECT_TRUE(WaitFor([] { return CSound::LiveOneShots() == 0; }));
    EXPECT_EQ(m_Output->GetMixer().SourceCount(), 0u);
    // Playing on from the source is unaffected.
    source.Play();
    EXPECT_TRUE(source.IsPlaying());
}

TEST_F(CSoundTest, OneShotsStillPlayingAtShutdownAreStoppedAndFreed)
{
    CSound source(audiotest::WriteWav("long.wav", ConstantMono(441000)));
    std::atomic<int> deletions{0};
    for (int i = 0; i < 5; ++i) {
        auto* shot = new ProbeSound(&source, &deletions);
        shot->EnableAutoDelete();
        shot->Play();
    }
    // A second Play on a one shot restarts it but leaves it one thread.
    auto* twice = new ProbeSound(&source, &deletions);
    twice->EnableAutoDelete();
    twice->Play();
    twice->Play();
    EXPECT_EQ(CSound::LiveOneShots(), 6u);

    CSound::StopAllOneShots();
    EXPECT_EQ(deletions.load(), 6);
    EXPECT_EQ(CSound::LiveOneShots(), 0u);
    EXPECT_EQ(m_Output->GetMixer().SourceCount(), 0u);
    CSound::StopAllOneShots();   // again: nothing left to do
}

TEST_F(CSoundTest, SilentOneShotIsDeletedAtOnce)
{
    CSound silent;
    std::atomic<int> deletions{0};
    auto* shot = new ProbeSound(&silent, &deletions);
    shot->EnableAutoDelete();
    shot->Play();
    EXPECT_EQ(deletions.load(), 1);
    EXPECT_EQ(CSound::LiveOneShots(), 0u);
}
