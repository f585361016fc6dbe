// The game's options: every option alone and together, the bad ones, and the
// real program's exit codes and messages for help, version, a bad option and
// a missing data folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/InstallTestSupport.h"

namespace {

CommandLine Parse(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv{"spindrel"};
    argv.insert(argv.end(), args.begin(), args.end());
    return CommandLine::Parse(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLineTest, NoOptionsRunsFullScreenAndSearchesForData)
{
    CommandLine line = Parse({});
    EXPECT_EQ(line.GetAction(), CommandLine::Action::Run);
    EXPECT_TRUE(line.Fullscreen());
    EXPECT_TRUE(line.DataFolder().empty());
    EXPECT_FALSE(line.Stats());
    EXPECT_TRUE(Parse({"--windowed", "--stats"}).Stats());
}

TEST(CommandLineTest, WindowedAndFullscreenTheLastOneWins)
{
    EXPECT_FALSE(Parse({"--windowed"}).Fullscreen());
    EXPECT_TRUE(Parse({"--fullscreen"}).Fullscreen());
    EXPECT_TRUE(Parse({"--windowed", "--fullscreen"}).Fullscreen());
    EXPECT_FALSE(Parse({"--fullscreen", "--windowed"}).Fullscreen());
    EXPECT_EQ(Parse({"--windowed"}).GetAction(), CommandLine::Action::Run);
}

TEST(CommandLineTest, DataFolderInBothSpellings)
{
    EXPECT_EQ(Parse({"--data", "/opt/spindrel"}).DataFolder(), "/opt/spindrel");
    EXPECT_EQ(Parse({"--data=relative/dir"}).DataFolder(), "relative/dir");
    // A folder that looks like an option is still the folder.
    EXPECT_EQ(Parse({"--data", "--windowed"}).DataFolder(), "--windowed");
    CommandLine both = Parse({"--windowed", "--data", "d", "--fullscreen"});
    EXPECT_EQ(both.GetAction(), CommandLine::Action::Run);
    EXPECT_EQ(both.DataFolder(), "d");
    EXPECT_TRUE(both.Fullscreen());
}

TEST(CommandLineTest, DataWithoutAFolderFails)
{
    for (CommandLine line : {Parse({"--data"}), Parse({"--data="}), Parse({"--data", ""})}) {
        EXPECT_EQ(line.GetAction(), CommandLine::Action::Fail);
        EXPECT_NE(line.Error().find("--data"), std::string::npos) << line.Error();
    }
}

TEST(CommandLineTest, HelpAndVersionWinOverOtherValidOptions)
{
    EXPECT_EQ(Parse({"--help"}).GetAction(), CommandLine::Action::ShowHelp);
    EXPECT_EQ(Parse({"-h"}).GetAction(), CommandLine::Action::ShowHelp);
    EXPECT_EQ(Parse({"--version"}).GetAction(), CommandLine::Action::ShowVersion);
    EXPECT_EQ(Parse({"--windowed", "--version"}).GetAction(), CommandLine::Action::ShowVersion);
    EXPECT_EQ(Parse({"--version", "--help"}).GetAction(), CommandLine::Action::ShowHelp);
}

TEST(CommandLineTest, UnknownOptionsAndStrayArgumentsFailWithTheirName)
{
    for (const char* bad : {"--bogus", "-x", "--window", "--fullscreen=yes", "--", "-"}) {
        CommandLine line = Parse({bad});
        EXPECT_EQ(line.GetAction(), CommandLine::Action::Fail) << bad;
        EXPECT_NE(line.Error().find(bad), std::string::npos) << line.Error();
    }
    CommandLine stray = Parse({"stage1"});
    EXPECT_EQ(stray.GetAction(), CommandLine::Action::Fail);
    EXPECT_NE(stray.Error().find("stage1"), std::string::npos);
    // A bad option is not hidden by --help after it.
    EXPECT_EQ(Parse({"--bogus", "--help"}).GetAction(), CommandLine::Action::Fail);
}

TEST(CommandLineTest, VolumesForOneRunAreReadAndCheckedAndMuteSilencesBoth)
{
    const CommandLine set = Parse({"--music-volume", "40", "--sfx-volume", "0"});
    EXPECT_EQ(set.MusicVolume(), 40);
    EXPECT_EQ(set.EffectsVolume(), 0);
    EXPECT_FALSE(Parse({}).MusicVolume().has_value());
    const CommandLine muted = Parse({"--music-volume", "90", "--mute"});
    EXPECT_EQ(muted.MusicVolume(), 0);
    EXPECT_EQ(muted.EffectsVolume(), 0);
    EXPECT_FALSE(Parse({"--windowed"}).MusicVolume().has_value());
    EXPECT_TRUE(Parse({"--windowed"}).WindowModeGiven());
    EXPECT_FALSE(Parse({}).WindowModeGiven());
    for (const char* bad : {"101", "-1", "4x", "", "99999999999", "0x10"}) {
        for (const char* option : {"--music-volume", "--sfx-volume"}) {
            const CommandLine line = Parse({option, bad});
            EXPECT_EQ(line.GetAction(), CommandLine::Action::Fail) << option << " " << bad;
            EXPECT_NE(line.Error().find(option), std::string::npos) << line.Error();
        }
    }
    EXPECT_EQ(Parse({"--sfx-volume"}).GetAction(), CommandLine::Action::Fail);
}

TEST(CommandLineTest, ReplayTakesAFileAndNoOtherStartOrRecording)
{
    const CommandLine replay = Parse({"--windowed", "--replay", "s.rep", "--stats"});
    EXPECT_EQ(replay.GetAction(), CommandLine::Action::Run);
    EXPECT_EQ(replay.ReplayPath(), "s.rep");
    EXPECT_TRUE(Parse({}).ReplayPath().empty());
    const std::initializer_list<const char*> refused[] = {{"--replay"},
                                                          {"--replay", ""},
                                                          {"--replay", "s.rep", "--record", "t.rep"},
                                                          {"--stage", "2", "--replay", "s.rep"}};
    for (const auto& args : refused) {
        const CommandLine line = Parse(args);
        EXPECT_EQ(line.GetAction(), CommandLine::Action::Fail) << *args.begin() << " ... " << args.size();
        EXPECT_NE(line.Error().find("--replay"), std::string::npos) << line.Error();
    }
}

TEST(CommandLineTest, UsageNamesEveryOption)
{
    const std::string usage = CommandLine::Usage("spindrel");
    for (const char* option :
         {"--fullscreen", "--windowed", "--data DIR", "--help", "--version", "F11", "Alt+Enter", "SPINDREL_DATA",
          "--mute", "--music-volume N", "--sfx-volume N", "settings.ini", "--stats", "--replay FILE"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(CommandLine::VersionText().rfind("Spindrel ", 0), 0u);
}

// The real program, run from another folder with its output captured.
using installtest::Outcome;

Outcome RunProgram(const std::string& arguments)
{
    return installtest::RunShell("cd / && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy SPINDREL_DATA= '" +
                                 std::string(SPINDREL_BINARY_DIR) + "/spindrel' " + arguments);
}

TEST(ProgramTest, HelpAndVersionPrintAndSucceed)
{
    Outcome help = RunProgram("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--windowed"), std::string::npos);
    Outcome version = RunProgram("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, CommandLine::VersionText());
}

// A headless run reads no window events: an interrupt or a kill must stop it
// as it stops any program. timeout exits with 124 when the program ended on
// its TERM, and with 137 when it had to be killed five seconds later.
TEST(ProgramTest, HeadlessRunStopsOnTerm)
{
    Outcome run = installtest::RunShell("cd / && timeout -s TERM -k 5 2 '" + std::string(SPINDREL_BINARY_DIR) +
                                        "/spindrel-sim' --data '" + std::string(SPINDREL_BINARY_DIR) +
                                        "/data' --video offscreen --frames 100000000 >/dev/null 2>&1");
    EXPECT_EQ(run.exitCode, 124) << run.output;
}

TEST(ProgramTest, BadOptionExitsWithTwoAndSaysWhy)
{
    Outcome bad = RunProgram("--no-such-option");
    EXPECT_EQ(bad.exitCode, CommandLine::EXIT_USAGE);
    EXPECT_NE(bad.output.find("unknown option '--no-such-option'"), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("--help"), std::string::npos);
}

TEST(ProgramTest, MissingDataFolderListsWhatWasTriedAndFails)
{
    Outcome missing = RunProgram("--data /no/such/spindrel/data");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("cannot find the game's data"), std::string::npos) << missing.output;
    EXPECT_NE(missing.output.find("/no/such/spindrel/data"), std::string::npos) << missing.output;
}

}   // namespace
