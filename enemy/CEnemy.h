// CEnemy is one of stage 2's swarm: a small upright capsule that spins in
// place and trails sparks. The player's top marks it with a first touch
// (it turns blue, is thrown away and feeds the top's gauge ceiling) and
// defeats it with a second (it turns yellow, swells and vanishes, and a
// fresh enemy takes its place while fewer than twenty are defeated). Every
// touch adds spin to the player's top; the swarm never harms it.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "physics/PhysicsBodies.h"
#include "platform/Math3D.h"

class CKoma;
class CSound;
class CXFile;

constexpr const char* SWARM_ENEMY_TASK_NAME = "CEnemy";

class CEnemy : public CGameObject {
public:
    static constexpr int SPAWN_SPREAD = 500;   // x and z = (rand() % 500) / 10 - 25
    static constexpr float SPAWN_STEP = 10.0f;
    static constexpr float SPAWN_HALF_WIDTH = 25.0f;
    static constexpr float SPAWN_HEIGHT = 10.0f;
    static constexpr float MASS = 10.0f;
    static constexpr float RADIUS = 1.5f;
    static constexpr float LENGTH = 2.0f;
    static constexpr double START_SPIN = 250.0;
    static constexpr double SPIN = 300.0;   // kept every frame while alive
    static constexpr float DYING_SCALE_STEP = 0.08f;
    static constexpr float DYING_SCALE_PEAK = 1.7f;   // grows past this, then shrinks
    static constexpr int HITS_TO_DEFEAT = 2;
    static constexpr int CEILING_RAISE = 40;          // the player's gauge ceiling, per first touch
    static constexpr double DEFEAT_TORQUE = 5000.0;   // on the player's disc, second touch
    static constexpr double TOUCH_TORQUE = 2000.0;    // on the player's disc, every touch
    static constexpr float PUSH_PER_SPIN = 200.0f;    // first touch: force = spin x 200 along the normal
    static constexpr float HIT_TEXT_PER_SPIN = 100.0f;
    static constexpr uint32_t SPARKS_BASE = 800;   // 800 + rand() % 100 per burst
    static constexpr int SPARKS_SPREAD = 100;
    static constexpr float FALLEN_HEIGHT = 0.0f;   // below this an enemy has left the arena
    // Put back this high over the floor: resting, its centre stands 2.5
    // above it (half its length and its radius), and it drops the rest.
    static constexpr float PUT_BACK_CLEARANCE = 3.0f;

    CEnemy();
    ~CEnemy() override;
    CEnemy(const CEnemy&) = delete;
    CEnemy& operator=(const CEnemy&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    bool IsDying() const { return m_HitCount >= HITS_TO_DEFEAT; }
    // How many times, since the program started, an enemy that had left the
    // arena was put back over the spawn square (the balance report shows it).
    static int ReturnsToArena() { return s_ReturnsToArena; }

    CXFile* m_Mesh = nullptr;   // "XSt2Enemy"
    BodyRecord m_Body;
    uint32_t m_WorldSerial = 0;   // the world the body was made in
    CKoma* m_Player = nullptr;
    ContactPoint m_Contact{};             // written by the touch test
    std::unique_ptr<CSound> m_HitSound;   // its own duplicate of "KomaHitSE"
    plat::Vec3 m_Pos;                     // the body's position, refreshed while alive
    float m_Scale = 1.0f;
    float m_ScaleStep = DYING_SCALE_STEP;
    int m_HitCount = 0;   // 0 fresh, 1 marked, 2 dying

private:
    static inline int s_ReturnsToArena = 0;

    void UpdateDying();
    void ReturnIfFallen();
    void LeaveTrail();
    void OnTouch();
    void OnFirstTouch(float spin);
    void SetColour();
};
