// St5EnemySet waits for the player's top and then starts the stage-5 boss.
#pragma once

#include "core/Task.h"

class St5EnemySet : public CGameObject {
public:
    void Init() override {}
    void Update() override;
    void Draw() override {}
};
