// The pause over a running battle and the player's files across two runs of
// the headless runner, on the generated data set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "StageTestSupport.h"
#include "core/Globals.h"
#include "core/PlayerFile.h"
#include "core/ProgressBook.h"
#include "core/Settings.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "platform/AudioOutput.h"
#include "platform/KeySource.h"
#include "scene/COptions.h"
#include "scene/CPauseMenu.h"
#include "scene/CTitle.h"
#include "stage/CLoading.h"
#include "tools/sim/SimRunner.h"

namespace fs = std::filesystem;

namespace {

using stagetest::GeneratedDataDir;
using stagetest::HasGeneratedData;

constexpr int kPauseFrame = 60;   // the launcher is swinging on stage 1 by then
constexpr int kHeldFrames = 40;

SimOptions StageOneRun(int frames)
{
    SimOptions o;
    o.frames = frames;
    o.seed = 3;
    o.stage = 1;
    o.offscreenVideo = false;
    o.dataDir = GeneratedDataDir().string();
    return o;
}

bool MusicDucked()
{
    const plat::AudioOutput* output = plat::GetAudioOutput();
    return output && output->GetMixer().MusicDucked();
}

// Presses a key for one frame at a frame.
void Tap(plat::ScriptedKeySource& keys, int frame, int at, int key)
{
    if (frame == at) keys.SetKey(key, true);
    if (frame == at + 1) keys.SetKey(key, false);
}

}   // namespace

// SecondPlayersKey: player 2's own pause key in a game of two on the same arena.
enum class PauseWay { PKey, PauseButton, FocusLost, SecondPlayersKey };

class PauseScenarioTest : public ::testing::TestWithParam<PauseWay> {
protected:
    void SetUp() override
    {
        if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    }
};

TEST_P(PauseScenarioTest, HoldsTheBattleAndItsClockAndDucksTheMusicUntilResumed)
{
    const PauseWay way = GetParam();
    const int resumeAt = kPauseFrame + kHeldFrames;
    SimOptions o = StageOneRun(resumeAt + 20);
    o.versus = way == PauseWay::SecondPlayersKey;
    const int secondPause = Settings::DefaultKeys()[1][Settings::ACTION_PAUSE];
    std::optional<uint32_t> heldTime;
    int pausedFrames = 0, duckedFrames = 0;
    uint32_t timeAfterResume = 0;
    o.beforeFrame = [&](int frame, plat::ScriptedKeySource& keys) {
        if (way == PauseWay::PKey) Tap(keys, frame, kPauseFrame, plat::KEY_P);
        if (way == PauseWay::PauseButton) Tap(keys, frame, kPauseFrame, plat::KEY_PAUSE);
        if (way == PauseWay::FocusLost) keys.SetFocus(frame < kPauseFrame || frame >= resumeAt - 10);
        if (way == PauseWay::SecondPlayersKey) Tap(keys, frame, kPauseFrame, secondPause);
        Tap(keys, frame, resumeAt, plat::KEY_P);
    };
    o.afterFrame = [&](int frame) {
        const bool paused = FindTask(PAUSE_MENU_TASK_NAME) != nullptr;
        if (frame < kPauseFrame) {
            EXPECT_FALSE(paused) << frame;
        }
        if (frame >= kPauseFrame && frame < resumeAt) {
            EXPECT_TRUE(paused) << frame;
            if (!heldTime) heldTime = g_FrameTime;
            EXPECT_EQ(g_FrameTime, *heldTime) << "the frame time moved at " << frame;
            pausedFrames += paused;
            duckedFrames += MusicDucked();
        }
        if (frame == resumeAt) {
            EXPECT_FALSE(paused);
            EXPECT_FALSE(MusicDucked());
            EXPECT_FALSE(TaskList::Instance().Frozen());
            timeAfterResume = g_FrameTime;
        }
    };
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.Run(&error)) << error;
    EXPECT_EQ(pausedFrames, kHeldFrames);
    EXPECT_EQ(duckedFrames, kHeldFrames);
    ASSERT_TRUE(heldTime.has_value());
    // The battle's time goes on from where it stood, not from the wall clock.
    EXPECT_LE(timeAfterResume - *heldTime, 2u * 17u);
}

INSTANTIATE_TEST_SUITE_P(Ways, PauseScenarioTest,
                         ::testing::Values(PauseWay::PKey, PauseWay::PauseButton, PauseWay::FocusLost,
                                           PauseWay::SecondPlayersKey));

struct MenuCase {
    int downs;        // presses of Down before Z
    bool toLoading;   // retry: the stage loads afresh
    bool toTitle;
};

class PauseMenuChoiceTest : public ::testing::TestWithParam<MenuCase> {
protected:
    void SetUp() override
    {
        if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    }
};

TEST_P(PauseMenuChoiceTest, TheChosenWayOutIsTaken)
{
    const MenuCase c = GetParam();
    const int confirmAt = kPauseFrame + 10 + 4 * c.downs;
    SimOptions o = StageOneRun(confirmAt + 3);
    o.beforeFrame = [&](int frame, plat::ScriptedKeySource& keys) {
        Tap(keys, frame, kPauseFrame, plat::KEY_P);
        for (int i = 0; i < c.downs; ++i) Tap(keys, frame, kPauseFrame + 6 + 4 * i, plat::KEY_DOWN);
        Tap(keys, frame, confirmAt, plat::KEY_Z);
    };
    bool loading = false, title = false, stillPaused = true;
    o.afterFrame = [&](int frame) {
        if (frame != confirmAt + 1) return;
        for (const TaskEntry* e : TaskList::Instance().Entries()) {
            loading = loading || dynamic_cast<const CLoading*>(e->object);
            title = title || dynamic_cast<const CTitle*>(e->object);
        }
        stillPaused = FindTask(PAUSE_MENU_TASK_NAME) != nullptr || TaskList::Instance().Frozen() || MusicDucked();
    };
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.Run(&error)) << error;
    EXPECT_EQ(loading, c.toLoading);
    EXPECT_EQ(title, c.toTitle);
    EXPECT_FALSE(stillPaused);
}

INSTANTIATE_TEST_SUITE_P(Choices, PauseMenuChoiceTest,
                         ::testing::Values(MenuCase{0, false, false}, MenuCase{1, true, false},
                                           MenuCase{2, false, true}, MenuCase{4, false, false}));

// OPTIONS over a held battle: the battle stays held beneath the options, a
// volume changed there is heard at once, and BACK saves it and returns to the
// pause menu.
TEST(PauseOptionsScenarioTest, BackSavesAndReturnsToThePauseMenuOverTheHeldBattle)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    stagetest::ScratchDir homes;
    ::setenv("XDG_CONFIG_HOME", (homes.Path() / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (homes.Path() / "data").c_str(), 1);
    const int optionsAt = kPauseFrame + 6 + 4 * CPauseMenu::CHOICE_OPTIONS + 2;
    const int leftAt = optionsAt + 6, backAt = leftAt + 6 + 4 * (COptions::ROW_COUNT - 1) + 2;
    SimOptions o = StageOneRun(backAt + 10);
    o.playerFiles = true;
    o.beforeFrame = [&](int frame, plat::ScriptedKeySource& keys) {
        Tap(keys, frame, kPauseFrame, plat::KEY_P);
        for (int i = 0; i < CPauseMenu::CHOICE_OPTIONS; ++i) Tap(keys, frame, kPauseFrame + 6 + 4 * i, plat::KEY_DOWN);
        Tap(keys, frame, optionsAt, plat::KEY_Z);
        Tap(keys, frame, leftAt, plat::KEY_LEFT);   // music 100 to 90
        // Up from the first row wraps round to BACK.
        Tap(keys, frame, leftAt + 6, plat::KEY_UP);
        Tap(keys, frame, backAt, plat::KEY_Z);
    };
    bool heldUnderOptions = false, backOnPauseMenu = false;
    float musicGain = 0;
    o.afterFrame = [&](int frame) {
        if (frame == leftAt + 2) {
            heldUnderOptions = COptions::IsOpen() && FindTask(PAUSE_MENU_TASK_NAME) && TaskList::Instance().Frozen();
            musicGain = plat::GetAudioOutput()->GetMixer().BusGain(plat::MixBus::Music);
        }
        if (frame == backAt + 5)
            backOnPauseMenu = !COptions::IsOpen() && FindTask(PAUSE_MENU_TASK_NAME) && TaskList::Instance().Frozen();
    };
    SimRunner runner(o);
    std::string error;
    const bool ran = runner.Run(&error);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_TRUE(ran) << error;
    EXPECT_TRUE(heldUnderOptions);
    EXPECT_FLOAT_EQ(musicGain, Settings::VolumeGain(90));
    EXPECT_TRUE(backOnPauseMenu);
    const std::string saved = PlayerFile(homes.Path() / "config" / "spindrel" / "settings.ini").Read().value_or("");
    EXPECT_NE(saved.find("music_volume = 90"), std::string::npos) << saved;
}

// Settings and progress outlive the run: a second run with the same folders
// finds the first one's win, keeps lines it does not know, and plays at the
// volumes in the file.
TEST(PlayerFilesScenarioTest, SettingsAndProgressSurviveARestart)
{
    if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    stagetest::ScratchDir homes;
    const fs::path config = homes.Path() / "config", data = homes.Path() / "data";
    homes.Write("config/spindrel/settings.ini", "[audio]\nmusic_volume = 40\n# mine\n[mods]\nfast = 1\n");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);

    auto play = [&](int frames, bool bot, float* musicGain) {
        SimOptions o = StageOneRun(frames);
        o.playerFiles = true;
        o.bot = bot;
        o.seed = 7;
        o.afterFrame = [&](int) { *musicGain = plat::GetAudioOutput()->GetMixer().BusGain(plat::MixBus::Music); };
        SimRunner runner(o);
        std::string error;
        EXPECT_TRUE(runner.Run(&error)) << error;
    };
    float gain = 0;
    play(1420, true, &gain);   // the computer player wins stage 1 at about frame 1300
    EXPECT_FLOAT_EQ(gain, Settings::VolumeGain(40));
    ProgressBook::Configure(Progress{});

    float gainAgain = 0;
    play(2, false, &gainAgain);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_FLOAT_EQ(gainAgain, Settings::VolumeGain(40));
    EXPECT_TRUE(ProgressBook::Current().Cleared(0));
    EXPECT_TRUE(ProgressBook::Current().BestMs(0).has_value());
    EXPECT_FALSE(ProgressBook::Current().Cleared(1));
    const std::string settings = PlayerFile(config / "spindrel" / "settings.ini").Read().value_or("");
    EXPECT_NE(settings.find("music_volume = 40"), std::string::npos) << settings;
    EXPECT_NE(settings.find("fast = 1"), std::string::npos) << settings;
}
