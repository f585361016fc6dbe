// BattleCamera is the camera of a duel: it circles the arena slowly, looks at
// the midpoint of the two tops, and rises and backs off as they separate or
// the first top slows.
#pragma once

#include "gfx/CCamera.h"

class CKomaBase;

class BattleCamera {
public:
    static constexpr float DISTANCE_LIMIT = 22.0f;   // the separation beyond which it backs off no farther

    // Moves the camera one frame; returns the eye it set.
    static plat::Vec3 Follow(CCamera& camera, const CKomaBase& player, const CKomaBase& enemy, float distanceLimit);
};
