// The computer player over whole stages: at full skill it clears each stage
// in most of ten seeded games within three minutes of the launch; launching
// and doing nothing else loses most of them. Played in-process by the
// headless runner on the generated data set with no video; a game ends at
// its first result screen, which Escape then closes.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>

#include "core/Task.h"
#include "game/CKoma.h"
#include "platform/KeySource.h"
#include "scene/CResult.h"
#include "tests/StageTestSupport.h"
#include "tools/sim/SimRunner.h"

namespace {

using stagetest::GeneratedDataDir;
using stagetest::HasGeneratedData;

constexpr int BATTLE_FRAMES = 10800;     // three minutes after the launch
constexpr int FRAMES_BEFORE_LAUNCH = 900; // loading and aiming, at most
constexpr uint32_t SEEDS = 10;

struct Game {
    std::optional<int> result;   // the kind of the first result screen
    int frames = 0;              // from the launch to the result (or the end)
};

Game PlayStage(int stage, uint32_t seed, int skill)
{
    Game game;
    std::optional<int> launch;
    bool over = false;
    SimOptions options;
    options.frames = FRAMES_BEFORE_LAUNCH + BATTLE_FRAMES + 1;
    options.seed = seed;
    options.stage = stage;
    options.dataDir = GeneratedDataDir().string();
    options.offscreenVideo = false;
    options.bot = true;
    options.botSkill = skill;
    options.beforeFrame = [&](int, plat::ScriptedKeySource& keys) {
        if (over) keys.SetKey(plat::KEY_ESCAPE, true);
    };
    options.afterFrame = [&](int frame) {
        if (over) return;
        if (!launch && FindTask(KOMA_TASK_NAME)) launch = frame;
        if (!launch) return;
        game.frames = frame - *launch;
        if (auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME))) game.result = result->Kind();
        over = game.result.has_value() || game.frames >= BATTLE_FRAMES;
    };
    SimRunner runner(options);
    std::string error;
    EXPECT_TRUE(runner.Run(&error)) << error;
    EXPECT_TRUE(launch.has_value()) << "stage " << stage << " seed " << seed << ": no launch";
    return game;
}

struct Tally {
    int won = 0, lost = 0, unfinished = 0;
    std::string games;   // one entry a seed, for the failure message
};

Tally PlaySeeds(int stage, int skill)
{
    Tally t;
    std::ostringstream games;
    for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
        Game g = PlayStage(stage, seed, skill);
        const char* how = !g.result ? "unfinished" : *g.result == CResult::KIND_CLEAR ? "won" : "lost";
        (!g.result ? t.unfinished : *g.result == CResult::KIND_CLEAR ? t.won : t.lost) += 1;
        games << " " << seed << ":" << how << "@" << g.frames / 60 << "s";
    }
    t.games = games.str();
    return t;
}

class BotStageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HasGeneratedData()) GTEST_SKIP() << "the generated data set is not built";
    }
};

// Full skill: wins within three minutes.
TEST_F(BotStageTest, FullSkillClearsTheDuelOfStageOne)
{
    Tally t = PlaySeeds(1, 3);
    EXPECT_GE(t.won, 8) << t.games;
}

TEST_F(BotStageTest, FullSkillClearsTheSwarmOfStageTwo)
{
    Tally t = PlaySeeds(2, 3);
    EXPECT_GE(t.won, 8) << t.games;
}

TEST_F(BotStageTest, FullSkillClearsTheBumperGardenOfStageThree)
{
    Tally t = PlaySeeds(3, 3);
    EXPECT_GE(t.won, 8) << t.games;
}

TEST_F(BotStageTest, FullSkillOutlastsButCannotFinishTheHeavyTopOfStageFour)
{
    // The heavy top loses spin only to friction, far too slowly for three
    // minutes; sitting and boosting keeps the player's top going meanwhile.
    Tally t = PlaySeeds(4, 3);
    EXPECT_GE(t.won + t.unfinished, 8) << t.games;
}

TEST_F(BotStageTest, FullSkillBombsTheBossOfStageFive)
{
    Tally t = PlaySeeds(5, 3);
    EXPECT_GE(t.won, 8) << t.games;
}

// Skill 0 only launches: the duels and the boss are lost. The swarm never
// harms a top, so one left alone on stage 2 mostly outlasts the three minutes,
// but it never clears the stage.
TEST_F(BotStageTest, LaunchingAloneLosesStageOne)
{
    Tally t = PlaySeeds(1, 0);
    EXPECT_GE(t.lost, 8) << t.games;
}

TEST_F(BotStageTest, LaunchingAloneNeverClearsTheSwarm)
{
    Tally t = PlaySeeds(2, 0);
    EXPECT_EQ(t.won, 0) << t.games;
}

TEST_F(BotStageTest, LaunchingAloneLosesStageThree)
{
    Tally t = PlaySeeds(3, 0);
    EXPECT_GE(t.lost, 8) << t.games;
}

TEST_F(BotStageTest, LaunchingAloneLosesStageFour)
{
    Tally t = PlaySeeds(4, 0);
    EXPECT_GE(t.lost, 8) << t.games;
}

TEST_F(BotStageTest, LaunchingAloneLosesStageFive)
{
    Tally t = PlaySeeds(5, 0);
    EXPECT_GE(t.lost, 8) << t.games;
}

}  // namespace
