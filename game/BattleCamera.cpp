#include "game/BattleCamera.h"

#include <algorithm>
#include <cmath>

#include "game/CKomaBase.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
// The battle camera: its height and distance grow with the tops' separation
// (up to the limit) and shrink as the player's top spins faster.
constexpr float CAMERA_BASE_DISTANCE = 25.0f;
constexpr float CAMERA_SPIN_DIVISOR = 10.0f;
constexpr float CAMERA_ORBIT_STEP = 0.2f;   // degrees per frame
constexpr float FULL_TURN = 360.0f;

}   // namespace

plat::Vec3 BattleCamera::Follow(CCamera& camera, const CKomaBase& player, const CKomaBase& enemy, float distanceLimit)
{
    float d = std::min(plat::Length(player.m_Pos - enemy.m_Pos), distanceLimit);
    float e = CAMERA_BASE_DISTANCE - player.Spin() / CAMERA_SPIN_DIVISOR + d;
    camera.m_Orbit += CAMERA_ORBIT_STEP;
    if (camera.m_Orbit > FULL_TURN) camera.m_Orbit = 0;
    float phi = camera.m_Orbit * DEG_TO_RAD;
    plat::Vec3 eye{-e * std::sin(phi), e, -e * std::cos(phi)};
    camera.m_Eye = eye;
    camera.m_Target = (player.m_Pos + enemy.m_Pos) * 0.5f;
    return eye;
}
