// The screens of a game of two: the arena select (Left and Right among the
// duel arenas, Z begins the match and loads it, BACK or Escape end it), the
// round result between rounds (the round scored for the right side, the next
// round loaded) and the match result (the winner named, REMATCH and TITLE).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ProgressBook.h"
#include "core/VersusMatch.h"
#include "game/CKomaClash.h"
#include "game/TopSide.h"
#include "hud/CSpriteRenderBase.h"
#include "hud/VersusArt.h"
#include "scene/BattleResult.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "scene/CTitle.h"
#include "scene/CVersusResult.h"
#include "scene/CVersusSelect.h"
#include "stage/CLoadStage.h"
#include "tests/ScreenTestSupport.h"
#include "tools/assetgen/TextureRegions.h"

namespace {

using screentest::Find;
using screentest::ScreenWorld;
using screentest::StageEnvironment;

constexpr int CLEAR = CSpriteRenderBase::RESULT_CLEAR;
constexpr int GAME_OVER = CSpriteRenderBase::RESULT_GAME_OVER;
constexpr int P1 = VersusMatch::PLAYER_1, P2 = VersusMatch::PLAYER_2;
constexpr int LEFT = plat::KEY_LEFT, RIGHT = plat::KEY_RIGHT, UP = plat::KEY_UP, DOWN = plat::KEY_DOWN;
constexpr int Z = plat::KEY_Z, ESCAPE = plat::KEY_ESCAPE;

bool FadeRunning() { return FindTask(FADE_TASK_NAME) != nullptr; }

class VersusTest : public stagetest::GeneratedDataFixture<> {
protected:
    void TearDown() override { VersusMatch::Current().End(); }

    CVersusSelect* OpenSelect()
    {
        auto* select = new CVersusSelect;
        AddTask(select, PRIORITY_VERSUS_SELECT);
        world.Frames(3);
        return select;
    }
    // The load a screen handed over to: for the stage given, loading, with
    // every task of the screen before gone.
    void ExpectLoadOf(int stage)
    {
        const CLoadStage* load = Find<CLoadStage>();
        ASSERT_NE(load, nullptr);
        EXPECT_EQ(load->m_StageIndex, stage);
        EXPECT_EQ(g_StageIndex, stage);
        EXPECT_EQ(Find<CVersusSelect>(), nullptr);
        EXPECT_EQ(Find<CVersusResult>(), nullptr);
        ASSERT_TRUE(StageEnvironment::WaitForLoader());
    }
    void ExpectBackAtTheTitle()
    {
        EXPECT_NE(Find<CTitle>(), nullptr);
        EXPECT_FALSE(VersusMatch::Current().Active());
        EXPECT_EQ(Find<CLoadStage>(), nullptr);
        EXPECT_EQ(Find<CVersusSelect>(), nullptr);
        EXPECT_EQ(Find<CVersusResult>(), nullptr);
    }
    // Plays the hand-overs of the rounds of a match in turn; each round but
    // the last is cut short with Z and its load run through.
    void PlayRounds(const std::vector<int>& kinds)
    {
        for (size_t i = 0; i < kinds.size(); ++i) {
            StartBattleResult(kinds[i]);
            ASSERT_NE(Find<CVersusResult>(), nullptr) << "round " << i + 1;
            if (i + 1 == kinds.size()) break;
            world.Frames(2);
            world.Press(Z);
            ASSERT_NE(Find<CLoadStage>(), nullptr) << "round " << i + 1;
            ASSERT_TRUE(StageEnvironment::WaitForLoader());
            ClearTasks();
        }
    }

    ScreenWorld world;
};

// ---- the arena select ----

struct ArenaCase {
    std::vector<int> keys;
    int arena, stage;
};

class VersusSelectArenaTest : public VersusTest, public ::testing::WithParamInterface<ArenaCase> {};

TEST_P(VersusSelectArenaTest, LeftAndRightWrapAmongTheDuelArenasAndZBeginsTheMatchThereAndLoadsIt)
{
    const ArenaCase c = GetParam();
    VersusMatch::Current().Begin(4);   // an earlier match left unfinished
    VersusMatch::Current().RecordRoundWin(P2);
    CVersusSelect* select = OpenSelect();
    for (int key : c.keys) world.Press(key);
    EXPECT_EQ(select->Arena(), c.arena);
    EXPECT_EQ(select->StageIndex(), c.stage);
    EXPECT_NE(select->Preview(c.arena).GetMesh(), nullptr) << "no preview of the arena";

    world.Started("");
    world.Press(Z);
    EXPECT_TRUE(select->Decided());
    const VersusMatch& match = VersusMatch::Current();
    EXPECT_TRUE(match.Active());
    EXPECT_EQ(match.StageIndex(), c.stage);
    EXPECT_EQ(match.Score(P1) + match.Score(P2), 0);
    EXPECT_EQ(match.Round(), 1);
    EXPECT_TRUE(FadeRunning());
    world.Press(RIGHT);   // keys during the fade change nothing
    world.Press(Z);
    EXPECT_EQ(world.Started("sound/System.wav"), 1);

    ASSERT_TRUE(world.RunUntil([] { return !FadeRunning(); }, 200));
    ExpectLoadOf(c.stage);
}

INSTANTIATE_TEST_SUITE_P(Keys, VersusSelectArenaTest,
                         ::testing::Values(ArenaCase{{}, 0, 0}, ArenaCase{{RIGHT}, 1, 2},
                                           ArenaCase{{RIGHT, RIGHT}, 2, 3}, ArenaCase{{RIGHT, RIGHT, RIGHT}, 0, 0},
                                           ArenaCase{{LEFT}, 2, 3}, ArenaCase{{LEFT, LEFT, DOWN, RIGHT}, 2, 3}));

class VersusSelectBackTest : public VersusTest, public ::testing::WithParamInterface<std::vector<int>> {};

TEST_P(VersusSelectBackTest, BackOrEscapeEndsTheMatchAndReturnsToTheTitle)
{
    VersusMatch::Current().Begin(2);
    CVersusSelect* select = OpenSelect();
    const std::vector<int> keys = GetParam();
    for (size_t i = 0; i + 1 < keys.size(); ++i) world.Press(keys[i]);
    if (keys.size() > 1) {
        EXPECT_EQ(select->ChosenRow(), CVersusSelect::ROW_BACK);
    }
    world.Press(keys.back());
    ExpectBackAtTheTitle();
    EXPECT_TRUE(FadeRunning());
}

INSTANTIATE_TEST_SUITE_P(Keys, VersusSelectBackTest,
                         ::testing::Values(std::vector<int>{ESCAPE}, std::vector<int>{DOWN, Z},
                                           std::vector<int>{RIGHT, UP, Z}));

class VersusSelectHeldKeyTest : public VersusTest, public ::testing::WithParamInterface<int> {};

TEST_P(VersusSelectHeldKeyTest, AKeyHeldFromTheTitleActsOnlyAfterItIsReleased)
{
    const int key = GetParam();
    world.Key(key, true);
    CVersusSelect* select = OpenSelect();
    world.Frames(5);
    EXPECT_EQ(select->Arena(), 0);
    EXPECT_FALSE(select->Decided());
    world.Key(key, false);
    world.Frame();
    world.Press(key);
    if (key == Z)
        EXPECT_TRUE(select->Decided());
    else
        EXPECT_EQ(select->Arena(), 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, VersusSelectHeldKeyTest, ::testing::Values(Z, RIGHT));

// ---- the round result ----

struct RoundCase {
    int kind;
    int winner;
    bool skip;   // Z cuts the result short
};

class VersusRoundTest : public VersusTest, public ::testing::WithParamInterface<RoundCase> {};

TEST_P(VersusRoundTest, TheHandOverScoresTheRoundForItsSideAndTheNextRoundLoadsTheSameArena)
{
    const RoundCase c = GetParam();
    g_StageIndex = 0;
    VersusMatch::Current().Begin(3);
    ProgressBook::BattleStarted(g_FrameTime);
    const bool clearedBefore = ProgressBook::Current().Cleared(3);
    StartBattleResult(c.kind);
    StartBattleResult(c.kind);   // a second hand-over while the result shows
    EXPECT_EQ(Find<CResult>(), nullptr) << "the one-player result in a match of two";
    EXPECT_FALSE(ProgressBook::LastWin().has_value());
    EXPECT_EQ(ProgressBook::Current().Cleared(3), clearedBefore);
    const CVersusResult* result = Find<CVersusResult>();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->RoundWinner(), c.winner);
    EXPECT_EQ(result->RoundPlayed(), 1);
    EXPECT_FALSE(result->ShowsMatchResult());
    EXPECT_EQ(VersusMatch::Current().Score(c.winner), 1);
    EXPECT_EQ(VersusMatch::Current().Score(1 - c.winner), 0);
    EXPECT_EQ(CVersusResult::ScoreText(), c.winner == P1 ? "1-0" : "0-1");

    if (c.skip) {
        world.Frames(2);
        world.Press(Z);
    } else {
        int frames = 0;
        while (Find<CVersusResult>() && frames < 1000) world.Frame(), ++frames;
        EXPECT_EQ(frames, CVersusResult::ROUND_SHOW_FRAMES);
    }
    EXPECT_TRUE(FadeRunning());
    EXPECT_EQ(VersusMatch::Current().Round(), 2);
    ExpectLoadOf(3);
}

INSTANTIATE_TEST_SUITE_P(Kinds, VersusRoundTest,
                         ::testing::Values(RoundCase{CLEAR, P1, false}, RoundCase{GAME_OVER, P2, false},
                                           RoundCase{CLEAR, P1, true}, RoundCase{GAME_OVER, P2, true}));

// ---- the match result ----

struct MatchCase {
    std::vector<int> kinds;   // how each round ended
    int winner;
    const char* score;
};

class VersusMatchTest : public VersusTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(VersusMatchTest, TheDecidingRoundNamesTheWinnerWithTheFinalScoreAndWaits)
{
    const MatchCase c = GetParam();
    VersusMatch::Current().Begin(2);
    PlayRounds(c.kinds);
    const CVersusResult* result = Find<CVersusResult>();
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->ShowsMatchResult());
    EXPECT_EQ(VersusMatch::Current().Winner(), c.winner);
    EXPECT_EQ(CVersusResult::ScoreText(), c.score);
    EXPECT_EQ(result->RoundPlayed(), static_cast<int>(c.kinds.size()));
    EXPECT_EQ(result->Chosen(), CVersusResult::CHOICE_REMATCH);
    world.Frames(2 * CVersusResult::ROUND_SHOW_FRAMES);
    EXPECT_EQ(Find<CVersusResult>(), result) << "the match result waits for a choice";
    EXPECT_EQ(Find<CLoadStage>(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Scores, VersusMatchTest,
                         ::testing::Values(MatchCase{{CLEAR, CLEAR}, P1, "2-0"},
                                           MatchCase{{GAME_OVER, GAME_OVER}, P2, "0-2"},
                                           MatchCase{{CLEAR, GAME_OVER, CLEAR}, P1, "2-1"},
                                           MatchCase{{GAME_OVER, CLEAR, GAME_OVER}, P2, "1-2"}));

struct ExitCase {
    std::vector<int> keys;
    bool rematch;
};

class VersusMatchExitTest : public VersusTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(VersusMatchExitTest, RematchStartsAgainAtNilInTheSameArenaAndTitleEndsTheMatch)
{
    const ExitCase c = GetParam();
    VersusMatch::Current().Begin(3);
    PlayRounds({GAME_OVER, GAME_OVER});
    world.Frames(2);
    for (int key : c.keys) world.Press(key);
    EXPECT_TRUE(FadeRunning());
    if (!c.rematch) {
        ExpectBackAtTheTitle();
        return;
    }
    const VersusMatch& match = VersusMatch::Current();
    EXPECT_TRUE(match.Active());
    EXPECT_EQ(match.StageIndex(), 3);
    EXPECT_EQ(CVersusResult::ScoreText(), "0-0");
    EXPECT_EQ(match.Round(), 1);
    ExpectLoadOf(3);
}

INSTANTIATE_TEST_SUITE_P(Keys, VersusMatchExitTest,
                         ::testing::Values(ExitCase{{Z}, true}, ExitCase{{LEFT, UP, Z}, true},
                                           ExitCase{{RIGHT, Z}, false}, ExitCase{{DOWN, Z}, false},
                                           ExitCase{{ESCAPE}, false}));

// ---- pictures ----

// The regions the screens and the battle cut are the ones the data generator paints.
TEST(VersusArtRegions, MatchTheGeneratedPicture)
{
    namespace V = assetgen::regions::versus;
    namespace H = assetgen::regions::hint;
    auto same = [](const plat::Rect& a, const assetgen::regions::Region& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    const std::pair<plat::Rect, assetgen::regions::Region> pairs[] = {{VersusArt::HEADING, V::Heading},
                                                                      {VersusArt::TITLE_ENTRY, V::TitleEntry},
                                                                      {VersusArt::FRAME, V::Frame},
                                                                      {VersusArt::FRAME_WINDOW, V::FrameWindow},
                                                                      {VersusArt::ARROW_LEFT, V::ArrowLeft},
                                                                      {VersusArt::ARROW_RIGHT, V::ArrowRight},
                                                                      {VersusArt::POINTER, V::Pointer},
                                                                      {VersusArt::ROUND, V::Round},
                                                                      {VersusArt::WINS, V::Wins},
                                                                      {VersusArt::ARENA_NAMES[0], V::ArenaName[0]},
                                                                      {VersusArt::ARENA_NAMES[1], V::ArenaName[1]},
                                                                      {VersusArt::ARENA_NAMES[2], V::ArenaName[2]},
                                                                      {VersusArt::PLAYERS[0], V::Player[0]},
                                                                      {VersusArt::PLAYERS[1], V::Player[1]},
                                                                      {VersusArt::REMATCH, V::Rematch},
                                                                      {VersusArt::REMATCH_LIT, V::RematchLit},
                                                                      {VersusArt::TITLE, V::Title},
                                                                      {VersusArt::TITLE_LIT, V::TitleLit},
                                                                      {VersusArt::BACK, V::Back},
                                                                      {VersusArt::BACK_LIT, V::BackLit},
                                                                      {VersusArt::PANEL, V::Panel},
                                                                      {VersusArt::PROMPT, V::Prompt},
                                                                      {TopSide::PLAYER_ONE_TAG, H::PlayerOneTag},
                                                                      {TopSide::PLAYER_TWO_TAG, H::PlayerTwoTag},
                                                                      {CKomaClash::VERSUS_BANNER_RECT, H::VersusClashBanner}};
    for (const auto& [used, painted] : pairs) EXPECT_TRUE(same(used, painted)) << painted.name;
    using Hud = CSpriteRenderBase;
    EXPECT_EQ(Hud::HINT_TOP, H::HintBanner.top);
    EXPECT_EQ(Hud::HINT_BOTTOM, H::HintBanner.bottom);
    EXPECT_EQ(Hud::HINT_LOOP, H::HintBanner.Width());
    EXPECT_EQ(Hud::VERSUS_HINT_TOP, H::VersusHintBanner.top);
    EXPECT_EQ(Hud::VERSUS_HINT_BOTTOM, H::VersusHintBanner.bottom);
    EXPECT_EQ(VersusArt::DIGITS, std::string_view(V::Digits));
    EXPECT_EQ(VersusArt::DIGIT_LEFT, V::DigitSheet.left);
    EXPECT_EQ(VersusArt::DIGIT_TOP, V::DigitSheet.top);
    for (int i = 0; i < V::kArenaCount; ++i) EXPECT_EQ(CVersusSelect::ARENA_STAGES[i], V::kArenaStages[i]);
    // The last character's cell lies inside the sheet.
    const plat::Rect dash = VersusArt::Spell("-").at(0);
    EXPECT_LE(dash.right, V::DigitSheet.right);
    EXPECT_LE(dash.bottom, V::DigitSheet.bottom);
    EXPECT_EQ(VersusArt::Spell("2x-1").size(), 3u) << "characters without a cell are left out";
}

// The select, a round and a rematch with none of their files: nothing is
// drawn, nothing crashes, every step still happens.
TEST(VersusScreensWithoutData, ChooseAnArenaScoreARoundAndLoadWithNoFilesAtAll)
{
    ScreenWorld world(ScreenWorld::Data::None);
    AddTask(new CVersusSelect, PRIORITY_VERSUS_SELECT);
    world.Frames(3);
    world.Press(RIGHT);
    world.Press(Z);
    ASSERT_TRUE(world.RunUntil([] { return Find<CLoadStage>() != nullptr; }, 200));
    EXPECT_EQ(Find<CLoadStage>()->m_StageIndex, 2);
    ASSERT_TRUE(StageEnvironment::WaitForLoader());
    for (int round = 1; round <= 2; ++round) {
        ClearTasks();
        StartBattleResult(CLEAR);
        world.Frames(3);
        world.Press(Z);   // the next round, then REMATCH
        ASSERT_NE(Find<CLoadStage>(), nullptr) << round;
        ASSERT_TRUE(StageEnvironment::WaitForLoader());
    }
    EXPECT_EQ(CVersusResult::ScoreText(), "0-0");
    EXPECT_FALSE(screentest::Drew(world.Device())) << "a missing picture drew something";
    VersusMatch::Current().End();
}

}   // namespace
