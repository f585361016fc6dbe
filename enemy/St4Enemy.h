// St4Enemy is the stage-4 enemy top: five times as heavy as the others and
// launched with five times the force, it spins freely (its angular velocity is
// never reset), charges at the player from a distance like the stage-3 top,
// and keeps the direction it took at the start of a charge with a force of
// 3400 a frame, for up to 2000 ms.
#pragma once

#include "enemy/EnemyTop.h"

class St4Enemy : public EnemyTop {
public:
    static constexpr Traits TRAITS{"XSt4Enemy", 50.0f, 300.0f, false, 50.0f};
    static constexpr float LAUNCH_FORCE_FACTOR = 5.0f;   // the same start as the others for five times the mass
    static constexpr float CHARGE_FORCE = 3400.0f;
    static constexpr uint32_t LONG_CHARGE_MS = 2000;

    explicit St4Enemy(plat::Vec3 launchForce) : EnemyTop(launchForce * LAUNCH_FORCE_FACTOR, TRAITS) {}

    plat::Vec3 m_SteerForce;   // fixed at the start of the current charge

protected:
    bool FarEnoughToCharge() const override { return FarFromPlayer(); }
    void OnChargeStart() override;
    plat::Vec3 SteeringForce() override { return m_SteerForce; }
    bool ChargeOver(uint32_t now) const override;
};
