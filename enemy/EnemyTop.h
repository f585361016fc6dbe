// EnemyTop is a top in the full sense (the same bodies, gauge, charge, dash,
// aura and air wall as the player's) whose controls are replaced by a small
// fixed behaviour. It drives the battle camera, decides when a charge starts
// and ends and where it steers, handles touches with the player's top (gauge
// ceilings, pushes and torques, or a clash when both tops are dashing) and is
// drawn like the player's top with a marker above it. The enemy tops of the
// duel stages are this behaviour with a few differences, given by their
// traits and by overriding the charge rules.
#pragma once

#include <cstdint>
#include <memory>

#include "game/BattleCamera.h"
#include "game/CKomaBase.h"
#include "game/TopTouch.h"
#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

class CCamera;
class CKoma;
class CSound;
class CStage;
class CTexture;

constexpr int32_t PRIORITY_ENEMY = 4000;

class EnemyTop : public CKomaBase {
public:
    // What sets one kind of enemy top apart at Init and in its per-frame reset.
    struct Traits {
        const char* meshKey;   // its own mesh in the registry
        float mass;
        float startSpin;    // angular velocity about y at Init
        bool keepUpright;   // reset the angular velocity to (0, spin x UPRIGHT_DECAY, 0) every frame
        float chargeSpin;   // a charge needs more spin than this
    };

    static constexpr plat::Vec3 START_POSITION{0, 16, 30};        // the player starts at (0, 16, -30)
    static constexpr double UPRIGHT_DECAY = 0.9999998807907104;   // 1 - 2^-23 of the spin per frame
    static constexpr uint32_t CHARGE_INTERVAL_MS = 3000;          // since the last charge start or end
    static constexpr uint32_t CHARGE_MS = 1500;                   // the longest charge
    static constexpr int CHARGE_END_GAUGE = 10;                   // a charge ends with the gauge below this
    static constexpr float CHARGE_MIN_DISTANCE = 10.0f;           // from the arena's centre
    static constexpr float STEER_FORCE = 800.0f;                  // per charging frame
    static constexpr uint32_t CLASH_COOLDOWN_MS = TopTouch::CLASH_COOLDOWN_MS;
    static constexpr float CAMERA_DISTANCE_LIMIT = BattleCamera::DISTANCE_LIMIT;
    static constexpr float MARKER_LIFT = 3.0f;

    EnemyTop(plat::Vec3 launchForce, const Traits& traits);
    ~EnemyTop() override;

    void Init() override;
    void Update() override;
    void Draw() override;

    // The battle camera that every enemy of a duel drives: it circles the arena
    // slowly, looks at the midpoint of the two tops, and rises and backs off as
    // they separate or the player's top slows. Returns the eye it set.
    static plat::Vec3 FollowBattle(CCamera& camera, const CKomaBase& player, const CKomaBase& enemy,
                                   float distanceLimit);

    // The steering force of a charge towards the arena: it depends only on the
    // enemy's position (its x component is never negative, its z has the sign
    // of the position's z). A top at the world origin gets none.
    static plat::Vec3 SteerTowardsArena(plat::Vec3 position);

    CCamera* m_Camera = nullptr;
    CKoma* m_Player = nullptr;
    CStage* m_Stage = nullptr;
    CTexture* m_MarkerTexture = nullptr;   // "InterfaceBMP"
    std::unique_ptr<CSound> m_HitSound;
    plat::Vec3 m_CameraEye;
    uint32_t m_ChargeTime = 0;   // frame time of the last charge start or end
    plat::Vertex m_Marker[4];    // the quad above the top, a fan of two triangles
    uint32_t m_ClashCooldownEnd = 0;
    ContactPoint m_Contact{};

protected:
    // The charge rules that differ between kinds of enemy top.
    virtual bool FarEnoughToCharge() const;
    virtual void OnChargeStart() {}
    virtual plat::Vec3 SteeringForce() { return SteerTowardsArena(m_Pos); }
    virtual bool ChargeOver(uint32_t now) const;
    // Anything a kind adds to the stage at Init.
    virtual void OnInit() {}

    const Traits& GetTraits() const { return m_Traits; }

    // The hunting tops' charge rules: farther from the player than 10 plus a
    // random 0 to 14.9 drawn afresh at each test, and the direction to the
    // player (normalised in three dimensions, then flattened). No player: not
    // far, no direction.
    bool FarFromPlayer() const;
    plat::Vec3 TowardsPlayer() const;

private:
    Geom ArenaGeom() const;
    void FillMarker();
    void TestFloor(uint32_t now);
    void Charge(uint32_t now);
    void RaiseAirWall(uint32_t now);
    void TestTouch(uint32_t now);
    void DrawMarker();

    Traits m_Traits;
};
