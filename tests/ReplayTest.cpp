// Recorded sessions: the replay file reads back what was written and refuses
// anything damaged or from another version; the recorder notes what the game
// read; and a run recorded by the runner plays back to the very same trace.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/Replay.h"
#include "app/ReplayPlayer.h"
#include "app/ReplayRecorder.h"
#include "core/SettingsBook.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "tests/RunnerTestSupport.h"

namespace {

using stagetest::ScratchDir;

Replay SmallReplay()
{
    Replay r;
    r.seed = 4242;
    r.startStage = 2;
    r.startMs = 1000;
    for (uint32_t i = 0; i < 12; ++i) {
        Replay::Frame f;
        f.frameMs = 1000 + 17 * i;
        f.keysRead = i % 4 != 0;
        f.readOk = f.keysRead && i != 5;
        // The second player's keys sit above the first eight bits.
        f.keys = f.readOk ? static_cast<uint16_t>((i % 64) | (i == 9 ? 0x1f00 : 0)) : 0;
        f.handOver = i == 7;
        r.frames.push_back(f);
    }
    return r;
}

// The text with any checksum line cut off and a valid one added, so that
// only what the test changed is wrong with it.
std::string Sealed(std::string text)
{
    const size_t mark = text.rfind("checksum ");
    if (mark != std::string::npos) text.erase(mark);
    char line[32];
    std::snprintf(line, sizeof line, "checksum %016llx\n",
                  static_cast<unsigned long long>(Replay::Checksum(text, text.size())));
    return text + line;
}

TEST(Replay, ReadsBackWhatWasWritten)
{
    Replay r = SmallReplay();
    Replay back;
    std::string error;
    ASSERT_TRUE(Replay::Parse(r.Serialize(), &back, &error)) << error;
    EXPECT_EQ(back.seed, 4242u);
    EXPECT_EQ(back.startStage, 2);
    EXPECT_EQ(back.startMs, 1000u);
    ASSERT_EQ(back.frames.size(), r.frames.size());
    for (size_t i = 0; i < r.frames.size(); ++i) {
        EXPECT_EQ(back.frames[i].frameMs, r.frames[i].frameMs);
        EXPECT_EQ(back.frames[i].keysRead, r.frames[i].keysRead);
        EXPECT_EQ(back.frames[i].readOk, r.frames[i].readOk);
        EXPECT_EQ(back.frames[i].keys, r.frames[i].keys);
        EXPECT_EQ(back.frames[i].handOver, r.frames[i].handOver);
    }
    EXPECT_FALSE(back.howToPlay);
    // The title as the first screen, on a session that showed the how-to-play card.
    r.startStage = -1;
    r.howToPlay = true;
    ASSERT_TRUE(Replay::Parse(r.Serialize(), &back, &error)) << error;
    EXPECT_EQ(back.startStage, -1);
    EXPECT_TRUE(back.howToPlay);
    EXPECT_FALSE(back.versus);
    EXPECT_EQ(back.frames.size(), r.frames.size());
    // A versus match's arena loaded at once, with and without the card.
    r.startStage = 3;
    r.versus = true;
    for (bool card : {true, false}) {
        r.howToPlay = card;
        ASSERT_TRUE(Replay::Parse(r.Serialize(), &back, &error)) << error;
        EXPECT_TRUE(back.versus);
        EXPECT_EQ(back.howToPlay, card);
        EXPECT_EQ(back.startStage, 3);
    }
}

TEST(Replay, RefusesEveryDamagedOrCutFileWithAReason)
{
    const std::string text = SmallReplay().Serialize();
    Replay out;
    std::string error;
    for (size_t i = 0; i < text.size(); ++i) {
        std::string damaged = text;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x04);
        EXPECT_FALSE(Replay::Parse(damaged, &out, &error)) << "byte " << i;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(Replay::Parse(text.substr(0, i), &out, &error)) << "cut at " << i;
    }
    EXPECT_FALSE(Replay::Parse(text + "17 k 00 0\n", &out, &error));
    EXPECT_FALSE(Replay::Parse("", &out, &error));
}

TEST(Replay, RefusesAnotherVersionSayingWhich)
{
    std::string text = SmallReplay().Serialize();
    const std::string mine = "game " + Replay::GameVersion() + "\n";
    text.replace(text.find(mine), mine.size(), "game 0.9.1\n");
    Replay out;
    std::string error;
    EXPECT_FALSE(Replay::Parse(Sealed(text), &out, &error));
    EXPECT_NE(error.find("0.9.1"), std::string::npos) << error;
    EXPECT_NE(error.find(Replay::GameVersion()), std::string::npos) << error;
}

// Runs the load in a child process that may map little more memory than it
// already has, so that reserving room for the claimed frames would abort it.
bool LoadsWithinLittleMemory(const std::string& path, std::string* error)
{
    constexpr rlim_t HEADROOM = rlim_t{64} << 20;
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    const pid_t child = fork();
    if (child == 0) {
        const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + HEADROOM;
        const struct rlimit rl = {limit, limit};
        setrlimit(RLIMIT_AS, &rl);
        Replay out;
        std::string why;
        _exit(Replay::Load(path, &out, &why) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status)) *error = "the load died (signal " + std::to_string(WTERMSIG(status)) + ")";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Replay, AFrameCountBeyondTheFileIsRefusedBeforeRoomIsReserved)
{
    std::string text =
        "spindrel-replay 1\ngame " + Replay::GameVersion() + "\nseed 1\nstage 1\nclock 0\nframes 50000000\n";
    constexpr size_t FILE_BYTES = 100, CHECKSUM_LINE = 26;
    text.append(FILE_BYTES - CHECKSUM_LINE - text.size(), '\n');
    text = Sealed(text);
    ASSERT_EQ(text.size(), 100u);

    Replay out;
    std::string error;
    EXPECT_FALSE(Replay::Parse(text, &out, &error));
    EXPECT_EQ(error, "the replay's frame count is more than the file holds");
    if (stagetest::SANITIZED) return;   // a sanitizer's shadow memory leaves no room to limit the child

    ScratchDir dir;
    const std::string path = (dir.Path() / "claims.rep").string();
    std::ofstream(path, std::ios::binary) << text;
    std::string died;
    EXPECT_FALSE(LoadsWithinLittleMemory(path, &died));
    EXPECT_EQ(died, "") << "the load reserved room for the claimed frames";
}

TEST(Replay, KeysPackIntoBitsAndBack)
{
    uint8_t keys[256] = {};
    keys[plat::KEY_Z] = plat::KEY_DOWN_BIT;
    keys[plat::KEY_LEFT] = plat::KEY_DOWN_BIT;
    keys[0x10] = plat::KEY_DOWN_BIT;   // a key the game never reads is not kept
    const Settings::KeyMap second = SettingsBook::Used().keys[1];
    keys[second[Settings::ACTION_DASH]] = plat::KEY_DOWN_BIT;   // player 2's, as bound
    keys[second[Settings::ACTION_LEFT]] = plat::KEY_DOWN_BIT;
    uint8_t back[256];
    const uint16_t bits = Replay::PackKeys(keys);
    EXPECT_GE(bits, 1u << Replay::FIRST_KEY_COUNT) << "player 2's keys take the upper bits";
    Replay::UnpackKeys(bits, back);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(back[i], i == 0x10 ? 0 : keys[i]) << i;
}

TEST(ReplayRecorder, NotesEachFramesReadFailedReadsIncluded)
{
    plat::ScriptedKeySource keyboard;
    ReplayRecorder recorder(&keyboard, 7, -1, 50);
    uint8_t keys[256];
    keyboard.SetKey(plat::KEY_UP, true);
    recorder.Read(keys);
    recorder.EndFrame(67, false);
    recorder.EndFrame(84, true);   // no read in this frame
    keyboard.SetFocus(false);
    EXPECT_FALSE(recorder.Read(keys));
    recorder.EndFrame(100, false);

    const Replay& r = recorder.Recorded();
    ASSERT_EQ(r.frames.size(), 3u);
    EXPECT_TRUE(r.frames[0].readOk);
    EXPECT_EQ(r.frames[0].keys, 1u << 1);
    EXPECT_EQ(r.frames[0].frameMs, 67u);
    EXPECT_FALSE(r.frames[1].keysRead);
    EXPECT_TRUE(r.frames[1].handOver);
    EXPECT_TRUE(r.frames[2].keysRead);
    EXPECT_FALSE(r.frames[2].readOk);
    EXPECT_EQ(r.startMs, 50u);
}

// What the recorder noted comes back frame for frame: the clock, the keys, a
// failed read, and the end of the session.
TEST(ReplayPlayer, PlaysTheRecordedFramesOnTheClockWithTheirKeys)
{
    plat::ScriptedKeySource keyboard;
    ReplayRecorder recorder(&keyboard, 7, -1, 50);
    uint8_t keys[256];
    const struct {
        bool up, focus, read;
        uint32_t ms;
    } frames[] = {{true, true, true, 67}, {false, true, false, 84}, {true, false, true, 100}, {false, true, true, 117}};
    for (const auto& f : frames) {
        keyboard.SetKey(plat::KEY_UP, f.up);
        keyboard.SetFocus(f.focus);
        if (f.read) recorder.Read(keys);
        recorder.EndFrame(f.ms, false);
    }

    ReplayPlayer player(recorder.Recorded());
    plat::VirtualClock clock(0);
    for (const auto& f : frames) {
        ASSERT_TRUE(player.BeginFrame(clock));
        EXPECT_EQ(clock.NowMs(), f.ms);
        const bool readOk = f.read && f.focus;
        std::fill(std::begin(keys), std::end(keys), uint8_t{0});
        EXPECT_EQ(player.Read(keys), readOk) << f.ms;
        EXPECT_EQ(keys[plat::KEY_UP] != 0, readOk && f.up) << f.ms;
    }
    EXPECT_FALSE(player.BeginFrame(clock));
    EXPECT_EQ(player.FramesPlayed(), std::size(frames));
    EXPECT_EQ(clock.NowMs(), frames[std::size(frames) - 1].ms);
}

class ReplayScenarioTest : public runnertest::GeneratedDataTest {
protected:
    // The run's whole trace.
    std::string Run(SimOptions options)
    {
        options.dataDir = runnertest::GeneratedDataDir().string();
        options.offscreenVideo = false;
        run.WithTrace(options);
        EXPECT_TRUE(runnertest::Runs(options));
        return runnertest::ReadText(options.tracePath);
    }

    runnertest::RunFolder run;
};

TEST_F(ReplayScenarioTest, AScriptedRunPlaysBackToTheSameTrace)
{
    // From the title, through the stage select and a stage load, into a battle.
    SimOptions recorded;
    recorded.frames = 1400;
    recorded.seed = 11;
    run.WithKeys(recorded,
                 "30 Z down\n32 Z up\n40 Z down\n42 Z up\n200 Z down\n202 Z up\n"
                 "420 Z down\n424 Z up\n700 LEFT down\n760 Z down\n800 Z up\n900 LEFT up\n");
    recorded.recordPath = (run.Path() / "session.rep").string();
    const std::string original = Run(recorded);
    ASSERT_NE(original.find("\"screen\":\"battle\""), std::string::npos);

    SimOptions replayed;
    replayed.replayPath = recorded.recordPath;
    const std::string played = Run(replayed);
    EXPECT_EQ(played, original);
}

TEST_F(ReplayScenarioTest, AVersusRunWithBothPlayersKeysPlaysBackToTheSameTrace)
{
    SimOptions recorded;
    recorded.frames = 900;
    recorded.seed = 12;
    recorded.stage = 3;
    recorded.versus = true;
    run.WithKeys(recorded,
                 "60 P2_DASH down\n62 P2_DASH up\n75 Z down\n77 Z up\n300 P2_UP down\n300 LEFT down\n"
                 "330 P2_DASH down\n330 Z down\n400 P2_DASH up\n410 Z up\n500 P2_UP up\n500 LEFT up\n");
    recorded.recordPath = (run.Path() / "versus.rep").string();
    const std::string original = Run(recorded);
    ASSERT_NE(original.find("\"versus\":{"), std::string::npos);
    ASSERT_NE(original.find("\"charging\":true"), std::string::npos) << "both players charged";

    SimOptions replayed;
    replayed.replayPath = recorded.recordPath;
    EXPECT_EQ(Run(replayed), original);
}

TEST_F(ReplayScenarioTest, ADamagedReplayIsRefusedWithAClearMessage)
{
    SimOptions recorded;
    recorded.frames = 300;
    recorded.stage = 1;
    recorded.bot = true;
    recorded.recordPath = (run.Path() / "session.rep").string();
    Run(recorded);
    std::string text = runnertest::ReadText(recorded.recordPath);
    text[text.size() / 2] = text[text.size() / 2] == '1' ? '2' : '1';
    run.Write("damaged.rep", text);

    SimOptions replayed;
    replayed.replayPath = (run.Path() / "damaged.rep").string();
    replayed.dataDir = runnertest::GeneratedDataDir().string();
    replayed.offscreenVideo = false;
    const auto ran = runnertest::Runs(replayed);
    EXPECT_FALSE(ran);
    EXPECT_NE(std::string(ran.message()).find("damaged"), std::string::npos) << ran.message();
}

}   // namespace
