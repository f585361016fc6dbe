#include "enemy/St4Enemy.h"

void St4Enemy::OnChargeStart() { m_SteerForce = TowardsPlayer() * CHARGE_FORCE; }

bool St4Enemy::ChargeOver(uint32_t now) const
{
    return now - m_ChargeTime > LONG_CHARGE_MS || m_Gauge < CHARGE_END_GAUGE;
}
