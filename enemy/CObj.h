// CObj is one of the stage-5 boss's objects: a bomb lying on the arena, or a
// projectile of a volley. A bomb appears at a random place 17 to 24 from the
// centre; the player's top pushes it, and when it touches the boss it counts a
// hit, starts the boss's flash and is consumed. A projectile starts at the
// boss's rim and is thrown outwards; touching the player's top throws the top
// back. Both leave play when they fall below height 0, and freeze (still drawn
// and simulated, but no longer testing touches) once either top is down.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "physics/PhysicsBodies.h"
#include "platform/Math3D.h"

class CKoma;
class CXFile;
class St5Enemy;

constexpr int32_t PRIORITY_OBJ = 3500;
constexpr const char* BOMB_TASK_NAME = "Bomm";
constexpr const char* PROJECTILE_TASK_NAME = "CObj";

class CObj : public CGameObject {
public:
    static constexpr int32_t KIND_PROJECTILE = 0;
    static constexpr int32_t KIND_BOMB = 1;

    static constexpr int BOMB_RING_INNER = 17;   // plus 0 to 7
    static constexpr int BOMB_RING_SPREAD = 8;
    static constexpr float BOMB_HEIGHT = 10.0f;
    static constexpr float BOMB_MASS = 5.0f;
    static constexpr float BOMB_RADIUS = 2.8f;
    static constexpr float BOMB_LENGTH = 1.0f;
    static constexpr float PROJECTILE_MASS = 1.0f;
    static constexpr float PROJECTILE_RADIUS = 1.0f;
    static constexpr float RIM_GAP = 0.1f;           // beyond the boss's disc radius
    static constexpr float THROW_FORCE = 15000.0f;   // outwards, at the spawn
    static constexpr float BOMB_PUSH = 30000.0f;     // a touch from the player's top
    static constexpr float PROJECTILE_LIFT = 2000.0f;
    static constexpr float PLAYER_THROW_ACROSS = 40000.0f;
    static constexpr float PLAYER_THROW_UP = 30000.0f;

    explicit CObj(int32_t isBomb);
    ~CObj() override;
    CObj(const CObj&) = delete;
    CObj& operator=(const CObj&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    // Where a projectile fired in this direction starts: below the boss's disc
    // centre by the disc's length, just beyond its radius.
    static plat::Vec3 ProjectileSpawn(plat::Vec3 bossPos, double discLength, double discRadius, int fireAngle);

    bool IsBomb() const { return m_IsBomb != 0; }

    CKoma* m_Player = nullptr;
    St5Enemy* m_Boss = nullptr;
    BodyRecord m_Body;
    CXFile* m_Mesh = nullptr;   // "XSt5Bomm" or "XSt5Obj"
    plat::Vec3 m_Position;
    plat::Mat4 m_World;   // the body's rotation, no translation
    int32_t m_IsBomb = 0;
    ContactPoint m_Contact{};

private:
    void CreateBomb();
    void CreateProjectile();
    void ReadBody();
    bool TouchesPlayer();
    void ReactToPlayer();
    bool TouchesBoss();

    uint32_t m_WorldSerial = 0;
};
