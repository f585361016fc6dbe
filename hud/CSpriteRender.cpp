#include "hud/CSpriteRender.h"

#include <cstdio>
#include <utility>

#include "core/GameRandom.h"
#include "core/Globals.h"
#include "core/VersusMatch.h"
#include "game/CKomaBase.h"
#include "game/CVersusReferee.h"
#include "gfx/Render.h"
#include "gfx/RenderStateGuard.h"
#include "platform/LineBatch.h"

namespace {

constexpr int ENEMY_NAME_SIZE = 30;
constexpr int SHAKE = 20;   // a flash shakes by up to 19 pixels each way

// Where each piece stands once slid in; the player's side on the left.
constexpr float PLAYER_BAR_X = 10, ENEMY_BAR_X = 575, BAR_Y = 470;
constexpr float PLAYER_METER_X = 80, ENEMY_METER_X = 460, METER_Y = 390;
constexpr float METER_SCALE_X = 1, METER_SCALE_Y = 2;
constexpr float PLAYER_METER_LABEL_X = 90, ENEMY_METER_LABEL_X = 470, METER_LABEL_Y = 360;
constexpr float PLAYER_GAUGE_LABEL_X = 4, ENEMY_GAUGE_LABEL_X = 565, GAUGE_LABEL_Y = 150;

// Item flashes: a power item lights the gauge back beside the bar, a spin
// item the meter frame.
constexpr float PLAYER_POWER_FLASH_X = 0, ENEMY_POWER_FLASH_X = 565, POWER_FLASH_Y = 460;
constexpr float POWER_FLASH_SCALE = 1.2f;
constexpr uint8_t POWER_FLASH_ALPHA = 250;
constexpr float PLAYER_SPIN_FLASH_X = 70, ENEMY_SPIN_FLASH_X = 450, SPIN_FLASH_Y = 380;
constexpr float SPIN_FLASH_SCALE_X = 1.2f, SPIN_FLASH_SCALE_Y = 2.2f;

// Versus play: the round's time left, under the key reminder.
constexpr float ROUND_CLOCK_X = 200, ROUND_CLOCK_Y = 84;

float Shake() { return static_cast<float>(GameRand() % SHAKE); }

}   // namespace

void CSpriteRender::Init()
{
    char enemyName[ENEMY_NAME_SIZE];
    std::snprintf(enemyName, sizeof enemyName, "St%dEnemy", g_StageIndex + 1);
    m_Player = dynamic_cast<CKomaBase*>(FindTask("CKoma"));
    m_Enemy = dynamic_cast<CKomaBase*>(FindTask(enemyName));

    SetUpDrawing();
    if (VersusMatch::Current().Active()) m_ClockArt.Load();
    FillHistory(m_SpinHistory, m_Player ? m_Player->Spin() : 0.0f);
    FillHistory(m_EnemySpinHistory, m_Enemy ? m_Enemy->Spin() : 0.0f);
    m_SlideOffset = SLIDE_START;
}

void CSpriteRender::Update()
{
    if (HistorySampleDue()) {
        PushSample(m_SpinHistory, m_Player ? m_Player->Spin() : 0.0f);
        PushSample(m_EnemySpinHistory, m_Enemy ? m_Enemy->Spin() : 0.0f);
    }
    SlideIn();
    WatchKeys();
}

void CSpriteRender::Draw()
{
    if (gfx::CanDraw()) {
        gfx::BeginSprites();
        m_Sprite.m_Anchor = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
        {
            // The power flashes glow: drawn additively, then flushed before
            // the blend goes back.
            RenderStateGuard glow;
            glow.SetBlend(gfx::BlendMode::Additive);
            DrawPowerFlashes();
            gfx::FlushSprites();
        }
        DrawSpinFlashes();
        DrawMetersAndBars();
        DrawLabels();
        gfx::EndSprites();
        DrawGraphs();
        if (VersusMatch::Current().Active()) {
            DrawVersusTags(static_cast<float>(m_SlideOffset));
            DrawRoundClock();
        }
        DrawHint();
    }
    // Each arriving item flashes for one frame.
    m_ItemFlashMask = 0;
    DecideEnd();
}

void CSpriteRender::DrawPowerFlashes()
{
    for (auto [bit, x] : {std::pair{ITEM_FLASH_POWER_PLAYER, PLAYER_POWER_FLASH_X},
                          std::pair{ITEM_FLASH_POWER_ENEMY, ENEMY_POWER_FLASH_X}}) {
        if (!(m_ItemFlashMask & bit)) continue;
        float fx = x + Shake();
        float fy = POWER_FLASH_Y + Shake();
        DrawRegion(GAUGE_BACK, fx, fy, POWER_FLASH_SCALE, POWER_FLASH_SCALE, UPRIGHT, POWER_FLASH_ALPHA);
    }
}

void CSpriteRender::DrawSpinFlashes()
{
    for (auto [bit, x] : {std::pair{ITEM_FLASH_SPIN_PLAYER, PLAYER_SPIN_FLASH_X},
                          std::pair{ITEM_FLASH_SPIN_ENEMY, ENEMY_SPIN_FLASH_X}}) {
        if (!(m_ItemFlashMask & bit)) continue;
        float fx = x + Shake();
        float fy = SPIN_FLASH_Y + Shake();
        DrawRegion(METER_FRAME, fx, fy, SPIN_FLASH_SCALE_X, SPIN_FLASH_SCALE_Y, 0, OPAQUE);
    }
}

void CSpriteRender::DrawMetersAndBars()
{
    // The bars slide in from the left and right edges, the meters rise from below.
    const float s = static_cast<float>(m_SlideOffset);
    DrawRegion(METER_FRAME, PLAYER_METER_X, METER_Y + s, METER_SCALE_X, METER_SCALE_Y, 0, OPAQUE);
    DrawRegion(METER_FRAME, ENEMY_METER_X, METER_Y + s, METER_SCALE_X, METER_SCALE_Y, 0, OPAQUE);
    DrawRegion(GAUGE_BACK, PLAYER_BAR_X - s, BAR_Y, 1, 1, UPRIGHT, BAR_ALPHA);
    DrawRegion(GAUGE_BACK, ENEMY_BAR_X + s, BAR_Y, 1, 1, UPRIGHT, BAR_ALPHA);
    DrawGaugeFill(m_Player ? m_Player->m_Gauge : 0, PLAYER_BAR_X - s, BAR_Y);
    DrawGaugeFill(m_Enemy ? m_Enemy->m_Gauge : 0, ENEMY_BAR_X + s, BAR_Y);
}

void CSpriteRender::DrawLabels()
{
    const float s = static_cast<float>(m_SlideOffset);
    DrawRegion(METER_LABEL, PLAYER_METER_LABEL_X, METER_LABEL_Y + s, 1, 1, 0, OPAQUE);
    DrawRegion(METER_LABEL, ENEMY_METER_LABEL_X, METER_LABEL_Y + s, 1, 1, 0, OPAQUE);
    DrawRegion(GAUGE_LABEL, PLAYER_GAUGE_LABEL_X - s, GAUGE_LABEL_Y, 1, 1, 0, OPAQUE);
    DrawRegion(GAUGE_LABEL, ENEMY_GAUGE_LABEL_X + s, GAUGE_LABEL_Y, 1, 1, 0, OPAQUE);
    if (VersusMatch::Current().Active()) return;   // the players' own tags are drawn after this batch
    DrawPlayerTags(s);
    DrawEnemyTags(s);
}

void CSpriteRender::DrawGraphs()
{
    if (!m_Line) return;
    m_Line->Begin();
    // The duel's graphs appear only once the interface has slid in.
    if (m_SlideOffset == 0) {
        DrawSpinGraph(0, m_SpinHistory);
        DrawSpinGraph(ENEMY_GRAPH_X, m_EnemySpinHistory);
    }
    m_Line->End();
}

void CSpriteRender::DrawRoundClock()
{
    auto* referee = dynamic_cast<const CVersusReferee*>(FindTask(VERSUS_REFEREE_TASK_NAME));
    if (!referee || !m_ClockArt.Loaded()) return;
    gfx::BeginSprites();
    m_ClockArt.DrawTime(PlayerArt::TIME_LABEL, ROUND_CLOCK_X, ROUND_CLOCK_Y, referee->MsLeft(), OPAQUE);
    gfx::EndSprites();
}

void CSpriteRender::DecideEnd()
{
    // The enemy is tested first: when both tops go down together the player wins.
    if (m_Enemy && m_Enemy->IsDown())
        HandOverToResult(RESULT_CLEAR);
    else if (m_Player && m_Player->IsDown())
        HandOverToResult(RESULT_GAME_OVER);
}
