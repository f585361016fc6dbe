// The options screen over the title: the volumes reach the mixer and the
// saved file, a key taken by another action is swapped, reserved keys are
// refused, and BACK saves and leaves the title as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlayerFiles.h"
#include "core/KeyNames.h"
#include "core/PlayerFile.h"
#include "core/SettingsBook.h"
#include "input/BoundKeySource.h"
#include "scene/COptions.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "tests/ScreenTestSupport.h"

namespace {

using screentest::Find;
using screentest::ScreenWorld;

int Code(const char* name) { return KeyNames::CodeOf(name).value_or(0); }

class COptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsBook::Configure(Settings{}, Settings{}, [this](const Settings& s) { return files.SaveSettings(s); });
        AddTask(title = new CTitle, PRIORITY_TITLE);
        world.Frame();
        options = COptions::Open();
        world.Frames(2);   // the press that opened the screen is not read again
    }
    void TearDown() override { SettingsBook::Configure(Settings{}, Settings{}); }

    // Moves the pointer from the first row to a row.
    void GoTo(int row)
    {
        for (int i = 0; i < row; ++i) world.Press(plat::KEY_DOWN);
        ASSERT_EQ(options->Chosen(), row);
    }
    Settings OnDisk() { return PlayerFiles(files.SettingsPath(), {}).LoadSettings(); }
    void Back()
    {
        while (options->Chosen() != COptions::ROW_BACK) world.Press(plat::KEY_DOWN);
        world.Press(plat::KEY_Z);
    }

    ScreenWorld world;
    stagetest::ScratchDir homes;
    PlayerFiles files{homes.Path() / "settings.ini", {}};
    CTitle* title = nullptr;
    COptions* options = nullptr;
};

// ---- volumes ----

struct VolumeCase {
    int row;
    std::vector<int> presses;   // Left or Right, in turn
    int expected;
};

class OptionsVolumeTest : public COptionsTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(OptionsVolumeTest, StepsReachTheMixerAtOnceAndTheFileOnBack)
{
    const VolumeCase c = GetParam();
    GoTo(c.row);
    for (int key : c.presses) world.Press(key);
    const bool music = c.row == COptions::ROW_MUSIC;
    const plat::MixBus bus = music ? plat::MixBus::Music : plat::MixBus::Effects;
    EXPECT_FLOAT_EQ(world.env->audio.GetMixer().BusGain(bus), Settings::VolumeGain(c.expected));
    EXPECT_EQ(music ? SettingsBook::Used().musicVolume : SettingsBook::Used().effectsVolume, c.expected);

    Back();
    const Settings saved = OnDisk();
    EXPECT_EQ(music ? saved.musicVolume : saved.effectsVolume, c.expected);
    EXPECT_EQ(music ? saved.effectsVolume : saved.musicVolume, Settings::kMaxVolume) << "the other volume is kept";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OptionsVolumeTest,
    ::testing::Values(VolumeCase{COptions::ROW_MUSIC, {plat::KEY_LEFT}, 90},
                      VolumeCase{COptions::ROW_MUSIC, std::vector<int>(12, plat::KEY_LEFT), 0},
                      VolumeCase{COptions::ROW_MUSIC, {plat::KEY_RIGHT}, 100},
                      VolumeCase{COptions::ROW_EFFECTS, {plat::KEY_LEFT, plat::KEY_LEFT, plat::KEY_LEFT}, 70},
                      VolumeCase{COptions::ROW_EFFECTS, {plat::KEY_LEFT, plat::KEY_LEFT, plat::KEY_RIGHT}, 90}));

// ---- window or full screen ----

struct ScreenCase {
    std::vector<int> presses;
    bool fullscreen;
};

class OptionsScreenTest : public COptionsTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(OptionsScreenTest, LeftRightOrZSwitchTheWindowAtOnceAndTheFileKeepsIt)
{
    const ScreenCase c = GetParam();
    GoTo(COptions::ROW_SCREEN);
    for (int key : c.presses) world.Press(key);
    EXPECT_EQ(SettingsBook::Used().fullscreen, c.fullscreen);
    Back();
    EXPECT_EQ(OnDisk().fullscreen, c.fullscreen);
}

INSTANTIATE_TEST_SUITE_P(Switches, OptionsScreenTest,
                         ::testing::Values(ScreenCase{{plat::KEY_RIGHT}, false}, ScreenCase{{plat::KEY_Z}, false},
                                           ScreenCase{{plat::KEY_LEFT, plat::KEY_Z}, true}));

// ---- keys ----

struct KeyCase {
    int row;
    std::vector<const char*> pressed;    // after Z: the first that may be bound is taken
    std::vector<const char*> expected;   // up, down, left, right, dash, pause
};

class OptionsKeyTest : public COptionsTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(OptionsKeyTest, ANewKeyIsTakenAndOneBoundElsewhereIsSwapped)
{
    const KeyCase c = GetParam();
    GoTo(c.row);
    world.Press(plat::KEY_Z);
    EXPECT_TRUE(options->WaitingForKey());
    EXPECT_TRUE(BoundKeySource::PassThrough()) << "every key reaches the screen while it waits";
    for (const char* name : c.pressed) world.Press(Code(name));
    EXPECT_FALSE(options->WaitingForKey());
    EXPECT_FALSE(BoundKeySource::PassThrough());

    Settings::KeyMap expected{};
    for (size_t i = 0; i < expected.size(); ++i) expected[i] = Code(c.expected[i]);
    EXPECT_EQ(options->Shown().keys[0], expected);
    EXPECT_EQ(SettingsBook::Used().keys[0], expected) << "the bindings act at once";
    Back();
    EXPECT_EQ(OnDisk().keys[0], expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bindings, OptionsKeyTest,
    ::testing::Values(KeyCase{COptions::ROW_UP, {"W"}, {"W", "DOWN", "LEFT", "RIGHT", "Z", "P"}},
                      KeyCase{COptions::ROW_DASH, {"X"}, {"UP", "DOWN", "LEFT", "RIGHT", "X", "P"}},
                      // a key of another action: the two swap
                      KeyCase{COptions::ROW_UP, {"DOWN"}, {"DOWN", "UP", "LEFT", "RIGHT", "Z", "P"}},
                      KeyCase{COptions::ROW_PAUSE, {"Z"}, {"UP", "DOWN", "LEFT", "RIGHT", "P", "Z"}},
                      // Escape and F11 keep their jobs: the screen waits on for another key
                      KeyCase{COptions::ROW_LEFT, {"F11", "A"}, {"UP", "DOWN", "A", "RIGHT", "Z", "P"}},
                      KeyCase{COptions::ROW_RIGHT, {"ESCAPE", "D"}, {"UP", "DOWN", "LEFT", "D", "Z", "P"}}));

TEST_F(COptionsTest, AReservedKeyLeavesTheScreenWaiting)
{
    GoTo(COptions::ROW_DOWN);
    world.Press(plat::KEY_Z);
    for (const char* reserved : {"ESCAPE", "F11"}) {
        world.Press(Code(reserved));
        EXPECT_TRUE(options->WaitingForKey()) << reserved;
    }
    EXPECT_EQ(options->Shown().keys[0], Settings{}.keys[0]);
}

// ---- back ----

TEST_F(COptionsTest, BackSavesOnlyWhatChangedAndLeavesTheTitleAsItWas)
{
    // This run plays muted from the command line; the file says 60.
    Settings onDisk;
    onDisk.musicVolume = 60;
    Settings used = onDisk;
    used.musicVolume = used.effectsVolume = 0;
    SettingsBook::Configure(onDisk, used, [this](const Settings& s) { return files.SaveSettings(s); });
    RemoveTask(options);
    options = COptions::Open();
    world.Frames(2);

    GoTo(COptions::ROW_EFFECTS);
    world.Press(plat::KEY_RIGHT);
    Back();
    EXPECT_EQ(Find<COptions>(), nullptr);
    EXPECT_EQ(Find<CTitle>(), title);
    EXPECT_EQ(Find<CStageSelect>(), nullptr) << "the Z of BACK does nothing on the title";
    EXPECT_FALSE(QuitRequested());
    const Settings saved = OnDisk();
    EXPECT_EQ(saved.musicVolume, 60) << "the volume of this run alone stays out of the file";
    EXPECT_EQ(saved.effectsVolume, 10);
}

TEST(SettingsBookTest, AFailedSaveKeepsWhatIsOnDisk)
{
    Settings onDisk;
    onDisk.musicVolume = 30;
    SettingsBook::Configure(onDisk, onDisk, [](const Settings&) { return false; });
    Settings changed = onDisk;
    changed.musicVolume = 80;
    SettingsBook::Use(changed);
    EXPECT_FALSE(SettingsBook::SaveChanges(onDisk));
    EXPECT_EQ(SettingsBook::Saved().musicVolume, 30);
    SettingsBook::Configure(Settings{}, Settings{});
}

}   // namespace
