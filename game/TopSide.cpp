#include "game/TopSide.h"

#include <algorithm>

#include "platform/KeySource.h"

namespace {

constexpr plat::Vec3 PLAYER_ONE_START{0, 16, -30};
constexpr plat::Vec3 PLAYER_TWO_START{0, 16, 30};   // where the stages' enemy tops start
constexpr int STAGES = 5;
constexpr const char* ENEMY_TASK_NAMES[STAGES] = {"St1Enemy", "St2Enemy", "St3Enemy", "St4Enemy", "St5Enemy"};
constexpr const char* ENEMY_MESH_KEYS[STAGES] = {"XSt1Enemy", "XSt2Enemy", "XSt3Enemy", "XSt4Enemy", "XSt5Enemy"};

int StageSlot(int stageIndex) { return std::clamp(stageIndex, 0, STAGES - 1); }

}   // namespace

TopSide TopSide::PlayerOne()
{
    TopSide side;
    side.index = 0;
    side.start = PLAYER_ONE_START;
    side.meshKey = "XTop";
    side.up = plat::KEY_UP;
    side.down = plat::KEY_DOWN;
    side.left = plat::KEY_LEFT;
    side.right = plat::KEY_RIGHT;
    side.dash = plat::KEY_Z;
    side.auraTask = "CKomaAura";
    side.airWallTask = "CKomaAirWall";
    side.startsMusic = true;
    return side;
}

TopSide TopSide::PlayerTwo(const Settings::KeyMap& keys, const char* meshKey)
{
    TopSide side;
    side.index = 1;
    side.start = PLAYER_TWO_START;
    side.meshKey = meshKey;
    side.up = keys[Settings::ACTION_UP];
    side.down = keys[Settings::ACTION_DOWN];
    side.left = keys[Settings::ACTION_LEFT];
    side.right = keys[Settings::ACTION_RIGHT];
    side.dash = keys[Settings::ACTION_DASH];
    side.auraTask = "CKomaAuraEnemy";
    side.airWallTask = "CKomaAirWallEnemy";
    side.startsMusic = false;
    return side;
}

const char* TopSide::PlayerTwoTaskName(int stageIndex) { return ENEMY_TASK_NAMES[StageSlot(stageIndex)]; }

const char* TopSide::PlayerTwoMeshKey(int stageIndex) { return ENEMY_MESH_KEYS[StageSlot(stageIndex)]; }
