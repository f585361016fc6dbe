#include "enemy/St3Enemy.h"

#include "enemy/CCapsule.h"

plat::Vec3 St3Enemy::SteeringForce()
{
    m_SteerForce = TowardsPlayer() * STEER_FORCE;
    return m_SteerForce;
}

// No time limit: the charge runs until the gauge is spent.
bool St3Enemy::ChargeOver(uint32_t /*now*/) const { return m_Gauge <= 0; }

void St3Enemy::OnInit()
{
    for (int i = 0; i < CAPSULE_COUNT; ++i) AddTask(PRIORITY_ENEMY, new CCapsule, CAPSULE_TASK_NAME);
}
