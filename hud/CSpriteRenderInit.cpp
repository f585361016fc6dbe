#include "hud/CSpriteRenderInit.h"

#include <cstdio>

#include "core/Globals.h"
#include "hud/CSpriteRender.h"
#include "hud/CSpriteRender2.h"

namespace {

constexpr const char* SWARM_TASK = "St2Enemy";
constexpr const char* BOSS_TASK = "St5Enemy";

}   // namespace

void CSpriteRenderInit::Init() { std::snprintf(m_EnemyName, sizeof m_EnemyName, "St%dEnemy", g_StageIndex + 1); }

void CSpriteRenderInit::Update()
{
    if (FindTask(SWARM_TASK) || FindTask(BOSS_TASK)) {
        AddTask(PRIORITY_SPRITE_RENDER, new CSpriteRender2, SPRITE_RENDER_TASK_NAME);
        RemoveTask(this);
        return;
    }
    // The swarm and the boss are waited for above; no duel interface there.
    if (g_StageIndex == SWARM_STAGE_INDEX || g_StageIndex == BOSS_STAGE_INDEX) return;
    if (!FindTask(m_EnemyName)) return;   // not launched yet: try again next frame
    AddTask(PRIORITY_SPRITE_RENDER, new CSpriteRender, SPRITE_RENDER_TASK_NAME);
    RemoveTask(this);
}
