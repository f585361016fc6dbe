// St5Enemy is the stage-5 boss: a large top standing in the middle of the
// arena that keeps spinning at 120, never charges and cannot be spun down.
// Every (7 - hits) seconds it fires a volley of projectiles turning round it,
// ending with a full ring once it has taken two bomb hits; touching it only
// throws the player's top back; it stands where it started, turning on the
// spot. It keeps one bomb on the arena at all times,
// flashes when a bomb hits it and goes down at the fourth hit (or if it falls).
// While a volley runs, the charging flag marks it and the dash window end holds
// the time of the last shot.
#pragma once

#include <cstdint>
#include <memory>

#include "game/CKomaBase.h"
#include "platform/Math3D.h"

class CCamera;
class CKoma;
class CSound;
class CStage;
class CTexture;

constexpr const char* BOSS_TASK_NAME = "St5Enemy";

class St5Enemy : public CKomaBase {
public:
    static constexpr int SHAPE_VARIANT = 2;
    static constexpr plat::Vec3 START_POSITION{0, 20, 0};
    static constexpr float MASS = 40.0f;
    static constexpr float SPIN = 120.0f;   // kept every frame
    static constexpr float CAMERA_DISTANCE_LIMIT = 32.0f;
    static constexpr int BOMB_HITS_TO_DOWN = 4;
    static constexpr int VOLLEY_WAIT_SECONDS = 7;   // less one per hit
    static constexpr uint32_t SHOT_INTERVAL_MS = 100;
    static constexpr int SHOT_TURN = 8;   // degrees between shots
    static constexpr uint32_t VOLLEY_MS = 3600;
    static constexpr int RING_HITS = 2;    // from this many hits each volley ends in a ring
    static constexpr int RING_STEP = 20;   // degrees: 18 projectiles
    static constexpr int FLASH_FRAMES = 90;
    static constexpr int FLASH_PHASE_FRAMES = 10;   // normal and additive alternate
    static constexpr float FLASH_ALPHA = 0.3f;
    static constexpr float FLASH_SCALE = 1.05f;
    static constexpr float HIT_PUSH = 700.0f;   // per unit of the boss's spin

    St5Enemy();
    ~St5Enemy() override;

    void Init() override;
    void Update() override;
    void Draw() override;

    // The wait between volleys after the given number of hits, in ms.
    static uint32_t VolleyWaitMs(int bombHits);
    // Whether the flash with this many frames left is drawn additively.
    static bool FlashIsAdditive(int flashFrames);
    bool IsFiring() const { return IsCharging(); }

    CCamera* m_Camera = nullptr;
    CKoma* m_Player = nullptr;
    CStage* m_Stage = nullptr;
    CTexture* m_MarkerTexture = nullptr;   // "InterfaceBMP"
    std::unique_ptr<CSound> m_HitSound;
    plat::Vec3 m_CameraEye;
    uint32_t m_ChargeTime = 0;   // when the last volley started or ended
    ContactPoint m_Contact{};
    int32_t m_BombHits = 0;
    int32_t m_FlashFrames = 0;
    int32_t m_FireAngle = 0;   // degrees, the direction of the next projectile

private:
    void StandInTheMiddle();
    void AddProjectile();
    void Fire(uint32_t now);
    void TestTouch();
    void DrawFlash(const plat::Mat4& world);
};
