#include "enemy/St1EnemySet.h"

#include "core/GameRandom.h"
#include "core/ResourceRegistry.h"
#include "enemy/St1Enemy.h"
#include "game/CKoma.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;

void DrawWithOutline(CXFile* mesh, const plat::Mat4& world, float outlineScale)
{
    if (mesh) gfx::DrawOutlinedMesh(mesh, world, outlineScale);
}

}   // namespace

St1EnemySet::St1EnemySet() : St1EnemySet("XSt1Enemy", "St1Enemy") {}

St1EnemySet::St1EnemySet(const char* enemyMeshKey, const char* enemyTaskName)
    : m_EnemyMeshKey(enemyMeshKey), m_EnemyTaskName(enemyTaskName)
{
}

plat::Vec3 St1EnemySet::LaunchForce(float angleDegrees)
{
    return plat::TransformCoord({0, 0, LAUNCH_FORCE}, plat::RotationY(angleDegrees * DEG_TO_RAD));
}

EnemyTop* St1EnemySet::MakeEnemy(plat::Vec3 launchForce) const { return new St1Enemy(launchForce); }

void St1EnemySet::Init()
{
    m_RailMesh = FindResource<CXFile>("XRale");
    m_RollerMesh = FindResource<CXFile>("XRaleRoll");
    m_EnemyMesh = FindResource<CXFile>(m_EnemyMeshKey);
    m_LauncherPosition = LAUNCHER_POSITION;
    m_AimAngle = START_AIM;
    m_AimStep = AIM_STEP;
}

void St1EnemySet::Update()
{
    // The rail swings while the player aims; the swing only shows, it does not
    // decide where the enemy goes.
    m_AimAngle += static_cast<float>(m_AimStep);
    if (m_AimAngle > AIM_MAX || m_AimAngle < AIM_MIN) m_AimStep = -m_AimStep;

    if (!FindTask(KOMA_TASK_NAME)) return;

    int angle = LAUNCH_ANGLE_MIN + GameRand() % LAUNCH_ANGLE_RANGE;
    m_AimAngle = static_cast<float>(angle);
    AddTask(PRIORITY_ENEMY, MakeEnemy(LaunchForce(m_AimAngle)), m_EnemyTaskName);
    RemoveTask(this);
}

void St1EnemySet::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::SetLighting(true);
    plat::Mat4 rail = plat::RotationX(RAIL_TILT) * plat::RotationY(m_AimAngle * DEG_TO_RAD) *
                      plat::Translation(m_LauncherPosition.x, m_LauncherPosition.y, m_LauncherPosition.z);
    DrawWithOutline(m_RailMesh, rail, OUTLINE_SCALE);
    for (float side : {1.0f, -1.0f}) {
        plat::Mat4 roller = plat::Translation(side * ROLLER_OFFSET.x, ROLLER_OFFSET.y, ROLLER_OFFSET.z) * rail;
        DrawWithOutline(m_RollerMesh, roller, OUTLINE_SCALE);
    }
    DrawWithOutline(m_EnemyMesh, rail, OUTLINE_SCALE);
}
