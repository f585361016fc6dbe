#include "hud/CSpriteRender2.h"

#include <algorithm>

#include "core/TaskList.h"
#include "effect/EdgeMarker.h"
#include "enemy/CEnemy.h"
#include "enemy/St2Enemy.h"
#include "game/CKomaBase.h"
#include "gfx/CCamera.h"
#include "gfx/Render.h"
#include "platform/LineBatch.h"

namespace {

constexpr float BAR_X = 10, BAR_Y = 470;
constexpr float METER_X = 80, METER_Y = 390, METER_SCALE_X = 1, METER_SCALE_Y = 2;
constexpr float METER_LABEL_X = 90, METER_LABEL_Y = 360;
constexpr float GAUGE_LABEL_X = 4, GAUGE_LABEL_Y = 150;
// The enemy's tag on stage 2 stands left of the swarm icons.
constexpr float SWARM_TAG_X = 334, SWARM_TAG_Y = 394;
constexpr uint8_t ANCHOR_CENTRE = 0;
constexpr uint8_t ANCHOR_TOP_LEFT = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;

}   // namespace

const int* CSpriteRender2::FindSwarmDefeatedCount()
{
    // The stage-2 swarm manager keeps the defeat count.
    auto* swarm = dynamic_cast<St2Enemy*>(FindTask(ST2_ENEMY_TASK_NAME));
    return swarm ? &swarm->m_DefeatedCount : nullptr;
}

void CSpriteRender2::Init()
{
    m_Player = dynamic_cast<CKomaBase*>(FindTask("CKoma"));
    m_SwarmDefeated = FindSwarmDefeatedCount();
    m_St5Enemy = dynamic_cast<CKomaBase*>(FindTask("St5Enemy"));
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));

    SetUpDrawing();
    FillHistory(m_SpinHistory, m_Player ? m_Player->Spin() : 0.0f);
    m_SlideOffset = SLIDE_START;
}

void CSpriteRender2::Update()
{
    if (HistorySampleDue()) PushSample(m_SpinHistory, m_Player ? m_Player->Spin() : 0.0f);
    SlideIn();
    WatchKeys();
}

int CSpriteRender2::SwarmIconsLeft(int defeated) { return std::clamp(SWARM_SIZE - defeated, 0, SWARM_SIZE); }

plat::Vec2 CSpriteRender2::SwarmIconPosition(int index)
{
    int column = index % SWARM_ICONS_PER_ROW;
    int row = index / SWARM_ICONS_PER_ROW;
    return {SWARM_ICON_X + SWARM_ICON_STEP * static_cast<float>(column),
            SWARM_ICON_Y + SWARM_ICON_STEP * static_cast<float>(row)};
}

bool CSpriteRender2::SwarmBeaten(int defeated) { return defeated >= SWARM_SIZE; }

void CSpriteRender2::Draw()
{
    if (gfx::CanDraw()) {
        const float s = static_cast<float>(m_SlideOffset);
        gfx::UseAlphaBlending();
        gfx::BeginSprites();
        m_Sprite.m_Anchor = CSprite::ANCHOR_LEFT | CSprite::ANCHOR_TOP;
        DrawRegion(METER_FRAME, METER_X, METER_Y + s, METER_SCALE_X, METER_SCALE_Y, 0, OPAQUE);
        DrawRegion(GAUGE_BACK, BAR_X - s, BAR_Y, 1, 1, UPRIGHT, BAR_ALPHA);
        DrawGaugeFill(m_Player ? m_Player->m_Gauge : 0, BAR_X - s, BAR_Y);
        DrawRegion(METER_LABEL, METER_LABEL_X, METER_LABEL_Y + s, 1, 1, 0, OPAQUE);
        DrawRegion(GAUGE_LABEL, GAUGE_LABEL_X - s, GAUGE_LABEL_Y, 1, 1, 0, OPAQUE);
        DrawPlayerTags(s);
        DrawSwarmIcons();
        DrawEdgeArrows();
        gfx::EndSprites();

        // This graph is drawn from the first frame, not only after the slide-in.
        if (m_Line) {
            m_Line->Begin();
            DrawSpinGraph(0, m_SpinHistory);
            m_Line->End();
        }
        DrawHint();
    }
    DecideEnd();
}

void CSpriteRender2::DrawSwarmIcons()
{
    if (!m_SwarmDefeated) return;
    DrawRegion(ENEMY_TAG, SWARM_TAG_X, SWARM_TAG_Y, 1, 1, 0, OPAQUE);
    int left = SwarmIconsLeft(*m_SwarmDefeated);
    for (int i = 0; i < left; ++i) {
        plat::Vec2 at = SwarmIconPosition(i);
        DrawRegion(SWARM_ICON, at.x, at.y, 1, 1, 0, OPAQUE);
    }
}

void CSpriteRender2::DrawEdgeArrows()
{
    if (!m_SwarmDefeated || !m_Camera) return;
    m_Sprite.m_Anchor = ANCHOR_CENTRE;
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        auto* enemy = dynamic_cast<CEnemy*>(e->object);
        if (!enemy || enemy->IsDying()) continue;
        if (auto marker = EdgeMarker::For(enemy->m_Pos, m_Camera->m_View, m_Camera->m_Projection))
            DrawRegion(EDGE_ARROW, marker->x, marker->y, 1, 1, marker->angle, OPAQUE);
    }
    m_Sprite.m_Anchor = ANCHOR_TOP_LEFT;
}

void CSpriteRender2::DecideEnd()
{
    // The win is tested before the loss.
    bool won = m_SwarmDefeated ? SwarmBeaten(*m_SwarmDefeated) : (m_St5Enemy && m_St5Enemy->IsDown());
    if (won)
        HandOverToResult(RESULT_CLEAR);
    else if (m_Player && m_Player->IsDown())
        HandOverToResult(RESULT_GAME_OVER);
}
