// St3EnemySet is the stage-3 launcher: the stage-1 launcher with the
// stage-3 enemy top on its rail.
#pragma once

#include "enemy/St1EnemySet.h"

class St3EnemySet : public St1EnemySet {
public:
    St3EnemySet();

protected:
    EnemyTop* MakeEnemy(plat::Vec3 launchForce) const override;
};
