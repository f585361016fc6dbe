// The player's files: settings and progress read from damaged text, written
// back with what the game does not know, bindings that swap, the keys they
// give the game, and writes that fail without losing what is on disk.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "StageTestSupport.h"
#include "app/PlayerFiles.h"
#include "core/IniDocument.h"
#include "core/KeyNames.h"
#include "core/PlayerFile.h"
#include "core/Progress.h"
#include "core/Settings.h"
#include "input/BoundKeySource.h"
#include "platform/KeySource.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

struct DamagedCase {
    const char* name;
    std::string text;
};

std::string Binary()
{
    std::string junk;
    for (int i = 0; i < 300; ++i) junk += static_cast<char>((i * 151 + 7) % 256);
    return junk;
}

}   // namespace

// Each damaged file leaves every setting at its default and is told in one line.
class DamagedSettingsTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedSettingsTest, LeavesTheDefaultsAndOneMessage)
{
    std::vector<IniProblem> problems;
    const Settings settings = Settings::Read(GetParam().text, &problems);
    EXPECT_EQ(settings, Settings{});
    ASSERT_FALSE(problems.empty());
    const std::string message = PlayerFiles::DescribeProblems("settings.ini", problems);
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    EXPECT_NE(message.find("settings.ini"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSettingsTest,
    ::testing::Values(DamagedCase{"Truncated", "[keys.player1]\nleft = LEFT\nup = PAGEU"},
                      DamagedCase{"CutInAKey", "[audio]\nmusic_vol"}, DamagedCase{"BinaryJunk", Binary()},
                      DamagedCase{"NulInAValue", std::string("[audio]\nmusic_volume = 4\0"
                                                             "0\n",
                                                             28)},
                      DamagedCase{"HugeNumbers",
                                  "[audio]\nmusic_volume = 99999999999999999999\neffects_volume = 101\n"
                                  "[video]\nwindow_width = 4294967296\nwindow_height = -960\n"},
                      DamagedCase{"DuplicateKeys",
                                  "[audio]\nmusic_volume = 20\nmusic_volume = 30\n"
                                  "[video]\nfullscreen = false\n[video]\nfullscreen = true\n"},
                      DamagedCase{"KeysThatDoNotExist", "[keys.player1]\ndash = HYPER\nup = ESCAPE\n"},
                      DamagedCase{"OneKeyForTwoActions", "[keys.player1]\ndash = UP\n"},
                      DamagedCase{"LongLine", "[audio]\nmusic_volume = 4" + std::string(5000, '0') + "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsTest, AFileIsReadAndWrittenBackWithWhatTheGameDoesNotKnow)
{
    const std::string text =
        "# tuned by hand\n[audio]\nmusic_volume = 35\nreverb = hall\n\n[video]\nfullscreen = no\n"
        "window_width = 800\nwindow_height = 600\n[keys.player1]\ndash = x\n[mods]\nfast = 1\n";
    std::vector<IniProblem> problems;
    IniDocument lines;
    Settings settings = Settings::Read(text, &problems, &lines);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(settings.musicVolume, 35);
    EXPECT_EQ(settings.effectsVolume, Settings::kMaxVolume);
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.windowWidth, 800);
    EXPECT_EQ(settings.keys[0][Settings::ACTION_DASH], *KeyNames::CodeOf("X"));

    settings.effectsVolume = 10;
    const std::string written = settings.Write(lines);
    for (const char* kept : {"# tuned by hand", "reverb = hall", "[mods]", "fast = 1", "effects_volume = 10"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept << " in\n" << written;
    EXPECT_EQ(Settings::Read(written, &problems), settings);
    EXPECT_TRUE(problems.empty());
}

struct BindCase {
    int player;
    Settings::Action action;
    const char* key;
    int losingPlayer;   // who had the key before (-1: nobody)
    Settings::Action losingAction;
};

class KeyBindingTest : public ::testing::TestWithParam<BindCase> {};

TEST_P(KeyBindingTest, AKeyBoundElsewhereIsSwappedNotLost)
{
    const BindCase c = GetParam();
    Settings settings;
    const int code = *KeyNames::CodeOf(c.key);
    const int previous = settings.keys[c.player][c.action];
    settings.BindKey(c.player, c.action, code);
    EXPECT_EQ(settings.keys[c.player][c.action], code);
    if (c.losingPlayer >= 0) {
        EXPECT_EQ(settings.keys[c.losingPlayer][c.losingAction], previous);
    }
    // Still one key for each action, none lost.
    std::vector<IniProblem> problems;
    EXPECT_EQ(Settings::Read(settings.Write(), &problems), settings);
    EXPECT_TRUE(problems.empty());
}

INSTANTIATE_TEST_SUITE_P(Swaps, KeyBindingTest,
                         ::testing::Values(BindCase{0, Settings::ACTION_DASH, "X", -1, Settings::ACTION_DASH},
                                           BindCase{0, Settings::ACTION_DASH, "UP", 0, Settings::ACTION_UP},
                                           BindCase{0, Settings::ACTION_PAUSE, "W", 1, Settings::ACTION_UP},
                                           BindCase{1, Settings::ACTION_DASH, "Z", 0, Settings::ACTION_DASH}));

TEST(SettingsTest, EscapeAndF11CannotBeBound)
{
    Settings settings;
    for (const char* reserved : {"ESCAPE", "F11"})
        settings.BindKey(0, Settings::ACTION_DASH, *KeyNames::CodeOf(reserved));
    EXPECT_EQ(settings, Settings{});
}

TEST(BoundKeySourceTest, TheBoundKeysActAsTheGamesKeysAndTheirOldKeysNoLonger)
{
    uint8_t pressed[256] = {};
    pressed[*KeyNames::CodeOf("X")] = plat::KEY_DOWN_BIT;
    pressed[plat::KEY_Z] = plat::KEY_DOWN_BIT;
    pressed[plat::KEY_ESCAPE] = plat::KEY_DOWN_BIT;
    uint8_t keys[256];

    // The default bindings change nothing.
    BoundKeySource::Translate(pressed, Settings{}.keys[0], keys);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(keys[i], pressed[i]) << i;

    Settings rebound;
    rebound.BindKey(0, Settings::ACTION_DASH, *KeyNames::CodeOf("X"));
    BoundKeySource::Translate(pressed, rebound.keys[0], keys);
    EXPECT_EQ(keys[plat::KEY_Z], plat::KEY_DOWN_BIT);   // X dashes
    pressed[*KeyNames::CodeOf("X")] = 0;
    BoundKeySource::Translate(pressed, rebound.keys[0], keys);
    EXPECT_EQ(keys[plat::KEY_Z], 0);                         // Z alone no longer does
    EXPECT_EQ(keys[plat::KEY_ESCAPE], plat::KEY_DOWN_BIT);   // Escape always quits
}

struct WinCase {
    uint32_t earlierMs;   // 0: no earlier win
    uint32_t battleMs;
    bool newBest;
    uint32_t bestAfter;
};

class ProgressWinTest : public ::testing::TestWithParam<WinCase> {};

TEST_P(ProgressWinTest, AWinClearsTheStageAndKeepsTheBestTime)
{
    const WinCase c = GetParam();
    Progress progress;
    if (c.earlierMs) progress.RecordWin(2, c.earlierMs);
    EXPECT_EQ(progress.RecordWin(2, c.battleMs), c.newBest);
    EXPECT_TRUE(progress.Cleared(2));
    EXPECT_FALSE(progress.Cleared(1));
    EXPECT_EQ(progress.BestMs(2).value_or(0), c.bestAfter);
    std::vector<IniProblem> problems;
    EXPECT_EQ(Progress::Read(progress.Write(), &problems), progress);
    EXPECT_TRUE(problems.empty());
}

INSTANTIATE_TEST_SUITE_P(Times, ProgressWinTest,
                         ::testing::Values(WinCase{0, 45200, true, 45200}, WinCase{50000, 45200, true, 45200},
                                           WinCase{40000, 45200, false, 40000}, WinCase{45200, 45200, false, 45200},
                                           WinCase{0, Progress::kMaxBattleMs + 1, false, 0}));

TEST(ProgressTest, DamagedProgressReadsAsNotAchieved)
{
    std::vector<IniProblem> problems;
    const Progress progress = Progress::Read(
        "[stage1]\ncleared = maybe\nbest_ms = 100\n[stage2]\ncleared = true\nbest_ms = -5\n[stage9]\ncleared = true\n"
        "[stage3]\nbest_ms = 1000\n",
        &problems);
    EXPECT_FALSE(progress.Cleared(0));
    EXPECT_TRUE(progress.Cleared(1));
    EXPECT_FALSE(progress.BestMs(1).has_value());
    EXPECT_FALSE(progress.BestMs(2).has_value());   // a best time without a clear is not kept
    EXPECT_EQ(problems.size(), 2u);
}

TEST(PlayerFileTest, PlacesFollowTheBaseDirectoryRules)
{
    using H = PlayerFile::Home;
    EXPECT_EQ(PlayerFile::PathFor(H::Config, "/x/cfg", "/home/p", "s.ini"), fs::path("/x/cfg/spindrel/s.ini"));
    EXPECT_EQ(PlayerFile::PathFor(H::Config, nullptr, "/home/p", "s.ini"), fs::path("/home/p/.config/spindrel/s.ini"));
    EXPECT_EQ(PlayerFile::PathFor(H::Data, "relative", "/home/p", "p.ini"),
              fs::path("/home/p/.local/share/spindrel/p.ini"));
    EXPECT_TRUE(PlayerFile::PathFor(H::Data, nullptr, nullptr, "p.ini").empty());
}

// A write that cannot be made reports it and leaves the file on disk as it was.
enum class Blocker { ReadOnlyFolder, NewFileNameTaken, FolderIsAFile };

class FailedWriteTest : public ::testing::TestWithParam<Blocker> {
protected:
    stagetest::ScratchDir scratch;
};

TEST_P(FailedWriteTest, LosesNothingOnDisk)
{
    const fs::path folder = scratch.Path() / "spindrel";
    fs::path file = folder / "settings.ini";
    const std::string before = "[audio]\nmusic_volume = 35\n";
    scratch.Write("spindrel/settings.ini", before);
    switch (GetParam()) {
        case Blocker::ReadOnlyFolder:
            if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
            break;
        case Blocker::NewFileNameTaken:
            fs::create_directories(folder / ("settings.ini.new-" + std::to_string(::getpid())) / "inside");
            break;
        case Blocker::FolderIsAFile: file = scratch.Path() / "spindrel" / "settings.ini" / "settings.ini"; break;
    }
    std::string error;
    EXPECT_FALSE(PlayerFile(file).Write("[audio]\nmusic_volume = 90\n", &error));
    EXPECT_FALSE(error.empty());
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadAll(folder / "settings.ini"), before);
}

std::string BlockerName(const ::testing::TestParamInfo<Blocker>& info)
{
    switch (info.param) {
        case Blocker::ReadOnlyFolder: return "ReadOnlyFolder";
        case Blocker::NewFileNameTaken: return "NewFileNameTaken";
        case Blocker::FolderIsAFile: return "FolderIsAFile";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Blockers, FailedWriteTest,
                         ::testing::Values(Blocker::ReadOnlyFolder, Blocker::NewFileNameTaken, Blocker::FolderIsAFile),
                         BlockerName);

TEST(PlayerFileTest, AWriteReplacesTheFileWhole)
{
    stagetest::ScratchDir scratch;
    const PlayerFile file(scratch.Path() / "deep" / "spindrel" / "progress.ini");
    EXPECT_FALSE(file.Read().has_value());
    ASSERT_TRUE(file.Write("[stage1]\ncleared = true\n"));
    ASSERT_TRUE(file.Write("[stage2]\ncleared = true\n"));
    EXPECT_EQ(file.Read().value_or(""), "[stage2]\ncleared = true\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.Path().parent_path()), fs::directory_iterator()), 1);
}
