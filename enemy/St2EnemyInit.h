// St2EnemyInit waits for the player's top: stage 2's swarm and camera start
// only once "CKoma" exists. Until then it does nothing, frame after frame;
// then it hands over to St2Enemy and removes itself.
#pragma once

#include <cstdint>

#include "core/Task.h"

constexpr const char* ST2_ENEMY_INIT_TASK_NAME = "St2EnemyInit";

class St2EnemyInit : public CGameObject {
public:
    void Update() override;
};
