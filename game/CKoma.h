// CKoma is the player's top. It enters the arena with the launch force and
// spin chosen while aiming, is pushed by the arrow keys relative to the
// camera, charges a gauge-fed dash with the launch key (its bodies disabled
// while the force gathers in them), boosts its spin from the gauge above 68,
// and is down once it stops spinning on the arena or falls to height 0.
#pragma once

#include <cstdint>

#include "game/CKomaBase.h"
#include "game/TopSide.h"
#include "platform/Math3D.h"

class CCamera;
class CInput;
class CStage;

constexpr int32_t PRIORITY_KOMA = 4000;
constexpr const char* KOMA_TASK_NAME = "CKoma";

class CKoma : public CKomaBase {
public:
    static constexpr plat::Vec3 START_POSITION{0, 16, -30};
    static constexpr float MASS = 10.0f;
    static constexpr int SHAPE_VARIANT = 0;
    static constexpr float CONTROL_FORCE = 800.0f;      // per held arrow key
    static constexpr uint32_t FIRST_CHARGE_MS = 3000;   // after Init
    static constexpr uint32_t CHARGE_AGAIN_MS = 2000;   // after a charge ends
    static constexpr int32_t MUSIC_START_VOLUME = -500;

    // Until Init the position holds the launch force and the gauge the spin.
    // The one-player game has player 1's side alone.
    CKoma(plat::Vec3 launchForce, int spin, const TopSide& side = TopSide::PlayerOne());
    ~CKoma() override;

    void Init() override;
    void Update() override;
    void Draw() override;

    CInput* m_Input = nullptr;
    CCamera* m_Camera = nullptr;
    CStage* m_Stage = nullptr;
    plat::Vec3 m_ControlForce;
    ContactPoint m_Contact{};
    uint32_t m_ChargeAllowed = 0;   // frame time before which no charge may start
    TopSide m_Side;

private:
    Geom ArenaGeom() const;
    void TestDown();
    void Steer();
    void StartChargeIfAsked(uint32_t now);
    void HoldLaunchKey();
    void EndChargeIfReleased(uint32_t now);
    void RaiseAirWall(uint32_t now);
    bool KeyDown(int key) const;
    bool KeyPressed(int key) const;
    bool KeyReleased(int key) const;
};
