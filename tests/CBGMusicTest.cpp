// Background music: opening tracks (and failing to), looping by polling for
// the end, the linear fade with its truncation and overshoot, several tracks
// at once, and silence as soon as the task is deleted.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>

#include "audio/CBGMusic.h"
#include "core/Task.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/audio/Mp3Stream.h"
#include "platform/audio/NullAudioOutput.h"
#include "tests/AudioTestFiles.h"

namespace {

constexpr double kTrackSeconds = 0.5;
constexpr float kToneLevel = 0.5f;

class CBGMusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_stereo = audiotest::TempFile("tone44.mp3");
        s_mono = audiotest::TempFile("tone22mono.mp3");
        ASSERT_TRUE(audiotest::EncodeMp3Tone(s_stereo, kTrackSeconds, 44100, 2, 440.0, kToneLevel));
        ASSERT_TRUE(audiotest::EncodeMp3Tone(s_mono, kTrackSeconds, 22050, 1, 330.0, kToneLevel, 64));
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(audiotest::TempDir()); }

    void SetUp() override
    {
        plat::SetClock(&m_Clock);
        m_Output = std::make_unique<plat::NullAudioOutput>(m_Clock.NowMs());
        plat::SetAudioOutput(m_Output.get());
    }
    void TearDown() override
    {
        plat::SetAudioOutput(nullptr);
        plat::SetClock(nullptr);
    }

    // One frame of the game: the update pass, then the time passes and the
    // output catches up with it.
    void Frame(CBGMusic& music)
    {
        music.Update();
        m_Clock.AdvanceFrame();
        m_Output->AdvanceTo(m_Clock.NowMs());
    }
    void Wait(uint32_t ms)
    {
        m_Clock.Advance(ms);
        m_Output->AdvanceTo(m_Clock.NowMs());
    }

    static inline std::string s_stereo;
    static inline std::string s_mono;
    plat::VirtualClock m_Clock{5000};
    std::unique_ptr<plat::NullAudioOutput> m_Output;
};

}   // namespace

TEST_F(CBGMusicTest, OpensATrackWithoutStartingIt)
{
    CBGMusic music(s_stereo);
    ASSERT_NE(music.Stream(), nullptr);
    EXPECT_EQ(music.Stream()->SampleRate(), 44100u);
    EXPECT_EQ(music.Stream()->StopPosition(), 22050);   // exact: the decoder drops the encoder's padding
    EXPECT_FALSE(music.Stream()->IsRunning());
    Wait(100);
    EXPECT_EQ(m_Output->LastPeak(), 0.0f);

    CBGMusic mono(s_mono);
    ASSERT_NE(mono.Stream(), nullptr);
    EXPECT_EQ(mono.Stream()->SampleRate(), 22050u);
    EXPECT_EQ(mono.Stream()->StopPosition(), 11025);
}

TEST_F(CBGMusicTest, MissingOrBrokenFilesGiveASilentTask)
{
    std::vector<uint8_t> noise(6000);
    std::mt19937 rng(7);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    std::string random = audiotest::TempFile("noise.mp3");
    std::string empty = audiotest::TempFile("empty.mp3");
    std::string wav = audiotest::TempFile("notmusic.mp3");
    audiotest::WriteBytes(random, noise);
    audiotest::WriteBytes(empty, {});
    audiotest::WavSpec spec;
    spec.samples = audiotest::Constant16(20000, 1000);
    audiotest::WriteBytes(wav, audiotest::BuildWav(spec));

    for (const std::string& path :
         {audiotest::TempFile("missing.mp3"), random, empty, wav, audiotest::TempDir().string()}) {
        CBGMusic music(path);
        EXPECT_EQ(music.Stream(), nullptr) << path;
        music.Play(-500, true);
        music.FadeVolume(1000, -4000);
        for (int i = 0; i < 10; ++i) Frame(music);
        EXPECT_EQ(m_Output->LastPeak(), 0.0f) << path;
    }

    // The same without any audio output.
    plat::SetAudioOutput(nullptr);
    CBGMusic music(s_stereo);
    EXPECT_EQ(music.Stream(), nullptr);
    music.Play(0, true);
    music.Update();
}

TEST_F(CBGMusicTest, PlaySetsTheVolumeRewindsAndRuns)
{
    CBGMusic music(s_stereo);
    music.Play(-600, false);
    Wait(200);
    EXPECT_EQ(music.Stream()->Volume(), -600);
    EXPECT_NEAR(m_Output->LastPeak(), kToneLevel * 0.501f, 0.05f);

    music.Play(0, false);   // again: from the start at the new volume
    EXPECT_EQ(music.Stream()->Position(), 0);
    Wait(100);
    EXPECT_NEAR(m_Output->LastPeak(), kToneLevel, 0.05f);
    EXPECT_NEAR(static_cast<double>(music.Stream()->Position()), 4410.0, 2.0);
}

TEST_F(CBGMusicTest, LoopingTrackRestartsWithinOneFrame)
{
    CBGMusic music(s_stereo);
    music.Play(0, true);
    int restarts = 0;
    int framesAtEnd = 0;
    for (int frame = 0; frame < 130; ++frame) {   // a little over two seconds
        const bool atEnd = music.Stream()->Position() >= music.Stream()->StopPosition();
        framesAtEnd += atEnd ? 1 : 0;
        Frame(music);
        if (!atEnd) continue;
        ++restarts;
        EXPECT_GT(m_Output->LastPeak(), 0.3f) << "sound again right after the restart, frame " << frame;
        EXPECT_LT(music.Stream()->Position(), 800);
    }
    EXPECT_EQ(restarts, 4);
    EXPECT_EQ(framesAtEnd, restarts);   // never two frames in a row at the end
    EXPECT_TRUE(music.Stream()->IsPlaying());
}

TEST_F(CBGMusicTest, OneShotTrackPlaysOnceThenStaysSilent)
{
    CBGMusic mono(s_mono);   // resampled from 22050 Hz, spread from mono
    mono.Play(0, false);
    uint64_t audibleFrames = 0;
    for (int frame = 0; frame < 90; ++frame) {
        Frame(mono);
        const auto& mix = m_Output->LastMix();
        for (size_t i = 0; i < mix.size(); i += 2) {
            if (mix[i] != 0.0f) ++audibleFrames;
            EXPECT_EQ(mix[i], mix[i + 1]);
        }
    }
    EXPECT_NEAR(static_cast<double>(audibleFrames), kTrackSeconds * 44100, 50.0);
    EXPECT_EQ(m_Output->LastPeak(), 0.0f);
    EXPECT_FALSE(mono.Stream()->IsPlaying());
    EXPECT_TRUE(mono.Stream()->IsRunning());
    EXPECT_EQ(mono.Stream()->Position(), mono.Stream()->StopPosition());
}

TEST_F(CBGMusicTest, FadeIsLinearTruncatedAndStopsPastItsDuration)
{
    CBGMusic music(s_stereo);
    music.Play(-500, true);
    music.FadeVolume(1000, -4000);
    Wait(250);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -1375);
    Wait(250);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -2250);
    Wait(1);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -2253);   // -2253.5 truncated towards zero
    Wait(515);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -4056);   // past the target, not clamped
    Wait(100);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -4056);   // the fade has stopped
}

TEST_F(CBGMusicTest, SecondFadeStartsFromTheVolumeReached)
{
    CBGMusic music(s_stereo);
    music.Play(-500, true);
    music.FadeVolume(1000, -4000);
    Wait(500);
    music.Update();
    ASSERT_EQ(music.Stream()->Volume(), -2250);
    music.FadeVolume(1000, -250);   // from -2250: +2 a millisecond
    Wait(250);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -1750);
    Wait(750);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -250);

    // A fade over no time at all goes straight to its target.
    music.FadeVolume(0, -3000);
    EXPECT_EQ(music.Stream()->Volume(), -3000);
    Wait(100);
    music.Update();
    EXPECT_EQ(music.Stream()->Volume(), -3000);
}

TEST_F(CBGMusicTest, SeveralTracksPlayTogether)
{
    // As at a clash: the game track fades down while the clash track fades in.
    CBGMusic game(s_stereo);
    CBGMusic clash(s_mono);
    game.Play(-500, true);
    game.FadeVolume(2000, -3000);
    clash.Play(-2000, false);
    clash.FadeVolume(500, -500);
    for (int frame = 0; frame < 20; ++frame) {   // a third of a second: both still playing
        game.Update();
        clash.Update();
        m_Clock.AdvanceFrame();
        m_Output->AdvanceTo(m_Clock.NowMs());
    }
    auto music = m_Output->GetMixer().MusicSnapshot();
    ASSERT_EQ(music.size(), 2u);
    for (const auto& track : music) {
        EXPECT_TRUE(track.playing) << track.name;
        const CBGMusic& owner = track.name == s_stereo ? game : clash;
        EXPECT_EQ(track.volume, owner.Stream()->Volume()) << track.name;
    }
    EXPECT_LT(game.Stream()->Volume(), -500);
    EXPECT_GT(game.Stream()->Volume(), -3000);
    EXPECT_LE(clash.Stream()->Volume(), -500);
    EXPECT_GT(m_Output->LastPeak(), kToneLevel * 0.6f);   // both are heard
}

TEST_F(CBGMusicTest, DeletingTheTaskSilencesItAtOnce)
{
    AddTask(PRIORITY_BGM, new CBGMusic(s_stereo), "bgm");
    auto* music = static_cast<CBGMusic*>(FindTask("bgm"));
    ASSERT_NE(music, nullptr);
    music->Play(0, true);
    Wait(100);
    EXPECT_GT(m_Output->LastPeak(), 0.3f);

    ClearTasks();
    EXPECT_EQ(FindTask("bgm"), nullptr);
    Wait(17);
    EXPECT_EQ(m_Output->LastPeak(), 0.0f);
    EXPECT_EQ(m_Output->GetMixer().SourceCount(), 0u);
    RemoveAllTasks();
}

TEST(Mp3StreamTest, SeeksAndDecodesFromMemory)
{
    std::string path = audiotest::TempFile("seek.mp3");
    ASSERT_TRUE(audiotest::EncodeMp3Tone(path, 0.3, 44100, 2, 1000.0, 0.4f));
    auto stream = plat::Mp3Stream::OpenFile(path);
    ASSERT_NE(stream, nullptr);
    const int64_t length = stream->LengthFrames();
    EXPECT_EQ(length, 13230);
    std::vector<float> pcm(2 * 20000);
    EXPECT_EQ(static_cast<int64_t>(stream->Read(pcm.data(), 20000)), length);
    EXPECT_EQ(stream->Read(pcm.data(), 100), 0u);
    ASSERT_TRUE(stream->Seek(length - 1000));
    EXPECT_EQ(stream->Read(pcm.data(), 20000), 1000u);
    ASSERT_TRUE(stream->Seek(-5));   // clamped to the start
    EXPECT_EQ(static_cast<int64_t>(stream->Read(pcm.data(), 20000)), length);
    std::filesystem::remove_all(audiotest::TempDir());
}
