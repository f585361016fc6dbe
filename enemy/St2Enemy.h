// St2Enemy is stage 2's manager: it lets loose the first six swarm enemies,
// keeps the count of defeats that the battle interface reads (twenty clear
// the stage), and films the stage from behind the player's top, closer the
// faster it spins.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "platform/Math3D.h"

class CCamera;
class CKoma;

constexpr const char* ST2_ENEMY_TASK_NAME = "St2Enemy";

class St2Enemy : public CGameObject {
public:
    static constexpr int START_ENEMIES = 6;
    static constexpr int DEFEATS_TO_CLEAR = 20;
    static constexpr float HEIGHT_OFFSET = 10.0f;   // extra distance behind the top
    static constexpr float CAMERA_BASE = 25.0f;     // h = 25 - spin / 10
    static constexpr float SPIN_PER_UNIT = 10.0f;
    static constexpr float EYE_LIFT = 30.0f;   // eye height = h + 30

    void Init() override;
    void Update() override;

    // Counts one defeat, never past twenty. True when the swarm should get a
    // replacement (the count is still below twenty).
    bool CountDefeat();

    CCamera* m_Camera = nullptr;
    CKoma* m_Player = nullptr;
    plat::Vec3 m_Eye;
    float m_HeightOffset = HEIGHT_OFFSET;
    int m_DefeatedCount = 0;   // read by the battle interface
};
