// St1EnemySet is the enemy's launcher: while the player aims it swings the
// rail with the enemy top on it from side to side, and in the first frame in
// which the player's top exists it launches the enemy at a random angle and
// removes itself. The launchers of the other duel stages are this one with
// another enemy on the rail.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "enemy/EnemyTop.h"
#include "platform/Math3D.h"

class CXFile;
class EnemyTop;

class St1EnemySet : public CGameObject {
public:
    static constexpr plat::Vec3 LAUNCHER_POSITION{0, 14, 15};
    static constexpr float START_AIM = 180.0f;   // degrees
    static constexpr int AIM_STEP = 2;           // degrees per frame
    static constexpr float AIM_MIN = 135.0f, AIM_MAX = 225.0f;
    static constexpr int LAUNCH_ANGLE_MIN = 150;   // the launch angle is 150 to 209 degrees
    static constexpr int LAUNCH_ANGLE_RANGE = 60;
    static constexpr float LAUNCH_FORCE = 100000.0f;
    static constexpr float RAIL_TILT = 0.22689281f;   // 13 degrees about x
    static constexpr float OUTLINE_SCALE = 1.05f;
    static constexpr plat::Vec3 ROLLER_OFFSET{2.7418f, 0, 0.0373f};   // and its mirror in x

    St1EnemySet();

    void Init() override;
    void Update() override;
    void Draw() override;

    // The force of a launch at the given angle: (0, 0, 100000) turned about y.
    static plat::Vec3 LaunchForce(float angleDegrees);

    CXFile* m_RailMesh = nullptr;
    CXFile* m_RollerMesh = nullptr;
    CXFile* m_EnemyMesh = nullptr;
    plat::Vec3 m_LauncherPosition;
    float m_AimAngle = START_AIM;
    int32_t m_AimStep = AIM_STEP;

protected:
    // The enemy on the rail: its mesh key, and the top and task name it launches.
    St1EnemySet(const char* enemyMeshKey, const char* enemyTaskName);
    virtual EnemyTop* MakeEnemy(plat::Vec3 launchForce) const;

private:
    const char* m_EnemyMeshKey;
    const char* m_EnemyTaskName;
};
