#include "enemy/St2Enemy.h"

#include <algorithm>

#include "enemy/CEnemy.h"
#include "game/CKoma.h"
#include "game/CKomaShoot.h"
#include "gfx/CCamera.h"

void St2Enemy::Init()
{
    m_Camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    m_Player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    m_HeightOffset = HEIGHT_OFFSET;
    if (m_Camera) {
        m_Eye = m_Camera->m_Eye;
        m_Camera->m_Orbit = 0;   // the arrow keys push along the world's axes on this stage
    }
    for (int i = 0; i < START_ENEMIES; ++i) AddTask(PRIORITY_KOMA, new CEnemy, SWARM_ENEMY_TASK_NAME);
    m_DefeatedCount = 0;
}

void St2Enemy::Update()
{
    if (!m_Camera || !m_Player) return;
    // The launch swings the camera for a while after this task has started;
    // once it is over the orbit is held at 0, so the arrows push along the
    // world's axes.
    if (!FindTask(KOMA_SHOOT_TASK_NAME)) m_Camera->m_Orbit = 0;
    // Behind the top on the -z side, lower and closer as it spins faster.
    float h = CAMERA_BASE - m_Player->Spin() / SPIN_PER_UNIT;
    plat::Vec3 p = m_Player->m_Pos;
    m_Eye = {p.x, h + EYE_LIFT, p.z - (h + m_HeightOffset)};
    m_Camera->m_Eye = m_Eye;
    m_Camera->m_Target = p;
}

bool St2Enemy::CountDefeat()
{
    m_DefeatedCount = std::min(m_DefeatedCount + 1, DEFEATS_TO_CLEAR);
    return m_DefeatedCount < DEFEATS_TO_CLEAR;
}
