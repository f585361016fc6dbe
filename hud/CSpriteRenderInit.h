// CSpriteRenderInit waits until the stage's enemy exists and then starts the
// battle interface that fits the stage: the swarm and boss interface on
// stages 2 and 5, the duel interface on the others.
#pragma once

#include <cstdint>

#include "core/Task.h"

constexpr int32_t PRIORITY_SPRITE_RENDER_INIT = 9000;
constexpr const char* SPRITE_RENDER_INIT_TASK_NAME = "CSpriteRenderInit";

class CSpriteRenderInit : public CGameObject {
public:
    static constexpr int ENEMY_NAME_SIZE = 30;
    static constexpr int SWARM_STAGE_INDEX = 1;
    static constexpr int BOSS_STAGE_INDEX = 4;

    CSpriteRenderInit() = default;

    void Init() override;
    void Update() override;

    char m_EnemyName[ENEMY_NAME_SIZE] = {};
};
