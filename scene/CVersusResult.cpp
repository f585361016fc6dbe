#include "scene/CVersusResult.h"

#include "core/Globals.h"
#include "core/VersusMatch.h"
#include "gfx/Render.h"
#include "hud/CSpriteRenderBase.h"
#include "input/CInput.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "scene/CResult.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"

namespace {

constexpr const char* MOVE_SOUND_FILE = "sound/Move.wav";
constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr const char* ROUND_SOUND_FILE = "sound/game/result/StageClearText.wav";

// The item tasks that stand still under the result.
constexpr const char* ITEM_SPAWNER_TASK = "CItemAppend";
constexpr const char* ITEM_EFFECT_TASK = "CItemEffect";
constexpr const char* ITEM_TASK = "CItem";

constexpr float CENTRE_X = 320;

// Between rounds: ROUND n, the side that took it, the score.
constexpr float ROUND_PANEL_Y = 190, ROUND_PANEL_WIDTH = 380, ROUND_PANEL_HEIGHT = 190;
constexpr float ROUND_WORD_X = 300, ROUND_NUMBER_X = 410, ROUND_LINE_Y = 128;
constexpr float ROUND_PLAYER_Y = 186;
constexpr float ROUND_SCORE_Y = 242;

// After the match: the winner, WINS, the final score and the two choices.
constexpr float MATCH_PANEL_Y = 220, MATCH_PANEL_WIDTH = 420, MATCH_PANEL_HEIGHT = 270;
constexpr float MATCH_PLAYER_Y = 126;
constexpr float MATCH_WINS_Y = 174;
constexpr float MATCH_SCORE_Y = 228;
constexpr float CHOICE_Y = 300, REMATCH_X = 236, TITLE_X = 404;

}   // namespace

int CVersusResult::WinnerOf(int kind)
{
    return kind == CSpriteRenderBase::RESULT_CLEAR ? VersusMatch::PLAYER_1 : VersusMatch::PLAYER_2;
}

void CVersusResult::Start(int kind)
{
    if (FindTask(VERSUS_RESULT_TASK_NAME)) return;
    VersusMatch& match = VersusMatch::Current();
    const int round = match.Round();
    const int winner = WinnerOf(kind);
    match.RecordRoundWin(winner);
    AddTask(PRIORITY_RESULT, new CVersusResult(winner, round), VERSUS_RESULT_TASK_NAME);
}

CVersusResult::CVersusResult(int roundWinner, int roundPlayed) : m_RoundWinner(roundWinner), m_RoundPlayed(roundPlayed)
{
}

bool CVersusResult::ShowsMatchResult() const { return VersusMatch::Current().Over(); }

std::string CVersusResult::ScoreText()
{
    const VersusMatch& match = VersusMatch::Current();
    return std::to_string(match.Score(VersusMatch::PLAYER_1)) + "-" +
           std::to_string(match.Score(VersusMatch::PLAYER_2));
}

void CVersusResult::Init()
{
    SetUpdateStop(ITEM_SPAWNER_TASK, true);
    SetUpdateStop(ITEM_EFFECT_TASK, true);
    SetDrawStop(ITEM_EFFECT_TASK);
    SetUpdateStop(ITEM_TASK, true);
    SetDrawStop(ITEM_TASK);

    m_Keys.Attach(CInput::FindOrCreate());
    m_Art.Load();
    m_MoveSound.Load(MOVE_SOUND_FILE);
    m_SelectSound.Load(SELECT_SOUND_FILE);
    m_RoundSound.Load(ROUND_SOUND_FILE);
    m_RoundSound.Play();
}

// ---- update ----

void CVersusResult::Update()
{
    m_Keys.Update();
    ++m_Frames;
    if (ShowsMatchResult())
        UpdateMatch();   // may delete this object
    else
        UpdateRound();   // may delete this object
}

void CVersusResult::UpdateRound()
{
    if (m_Frames >= ROUND_SHOW_FRAMES || m_Keys.Pressed(plat::KEY_Z)) NextRound();
}

void CVersusResult::UpdateMatch()
{
    const bool move = m_Keys.Pressed(plat::KEY_LEFT) || m_Keys.Pressed(plat::KEY_RIGHT) ||
                      m_Keys.Pressed(plat::KEY_UP) || m_Keys.Pressed(plat::KEY_DOWN);
    if (move) {
        m_Choice = m_Choice == CHOICE_REMATCH ? CHOICE_TITLE : CHOICE_REMATCH;
        m_MoveSound.Play();
    }
    if (m_Keys.Pressed(plat::KEY_ESCAPE)) {
        BackToTitle();
        return;
    }
    if (!m_Keys.Pressed(plat::KEY_Z)) return;
    if (m_Choice == CHOICE_REMATCH)
        Rematch();
    else
        BackToTitle();
}

void CVersusResult::PlaySelectCopy()
{
    // A copy plays on after this screen is gone and frees itself.
    auto* select = new CSound(&m_SelectSound);
    select->EnableAutoDelete();
    select->Play();
}

void CVersusResult::NextRound()
{
    PlaySelectCopy();
    ClearTasks();   // deletes this screen: no member may be touched from here on
    g_StageIndex = VersusMatch::Current().StageIndex();
    AddTask(new CLoadStage, PRIORITY_NEXT_SCREEN);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

void CVersusResult::Rematch()
{
    VersusMatch& match = VersusMatch::Current();
    match.Begin(match.StageIndex());
    NextRound();
}

void CVersusResult::BackToTitle()
{
    VersusMatch::Current().End();
    PlaySelectCopy();
    ClearTasks();   // deletes this screen: no member may be touched from here on
    AddTask(new CTitle, PRIORITY_NEXT_SCREEN);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

// ---- draw ----

void CVersusResult::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    if (ShowsMatchResult())
        DrawMatch();
    else
        DrawRound();
    gfx::EndSprites();
}

void CVersusResult::DrawRound()
{
    m_Art.DrawPanel(CENTRE_X, ROUND_PANEL_Y, ROUND_PANEL_WIDTH, ROUND_PANEL_HEIGHT);
    m_Art.DrawCentred(VersusArt::ROUND, ROUND_WORD_X, ROUND_LINE_Y);
    m_Art.DrawScore(std::to_string(m_RoundPlayed), ROUND_NUMBER_X, ROUND_LINE_Y);
    m_Art.DrawCentred(VersusArt::PLAYERS[m_RoundWinner], CENTRE_X, ROUND_PLAYER_Y);
    m_Art.DrawScore(ScoreText(), CENTRE_X, ROUND_SCORE_Y);
}

void CVersusResult::DrawMatch()
{
    m_Art.DrawPanel(CENTRE_X, MATCH_PANEL_Y, MATCH_PANEL_WIDTH, MATCH_PANEL_HEIGHT);
    m_Art.DrawCentred(VersusArt::PLAYERS[VersusMatch::Current().Winner()], CENTRE_X, MATCH_PLAYER_Y);
    m_Art.DrawCentred(VersusArt::WINS, CENTRE_X, MATCH_WINS_Y);
    m_Art.DrawScore(ScoreText(), CENTRE_X, MATCH_SCORE_Y);
    const bool rematch = m_Choice == CHOICE_REMATCH;
    m_Art.DrawCentred(rematch ? VersusArt::REMATCH_LIT : VersusArt::REMATCH, REMATCH_X, CHOICE_Y);
    m_Art.DrawCentred(rematch ? VersusArt::TITLE : VersusArt::TITLE_LIT, TITLE_X, CHOICE_Y);
}
