// St3Enemy is the stage-3 enemy top: it hunts the player's top, charging when
// it is farther from it than a threshold drawn afresh each frame, steering each
// charging frame straight at the player and charging for as long as its gauge
// lasts. It brings the stage's three capsule bumpers with it.
#pragma once

#include "enemy/EnemyTop.h"

class St3Enemy : public EnemyTop {
public:
    static constexpr Traits TRAITS{"XSt3Enemy", 10.0f, 220.0f, true, 50.0f};
    static constexpr int CAPSULE_COUNT = 3;

    explicit St3Enemy(plat::Vec3 launchForce) : EnemyTop(launchForce, TRAITS) {}

    plat::Vec3 m_SteerForce;   // the steering force of the current charging frame

protected:
    bool FarEnoughToCharge() const override { return FarFromPlayer(); }
    plat::Vec3 SteeringForce() override;
    bool ChargeOver(uint32_t now) const override;
    void OnInit() override;
};
