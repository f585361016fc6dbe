// St4EnemySet is the stage-4 launcher: the stage-1 launcher with the
// stage-4 enemy top on its rail.
#pragma once

#include "enemy/St1EnemySet.h"

class St4EnemySet : public St1EnemySet {
public:
    St4EnemySet();

protected:
    EnemyTop* MakeEnemy(plat::Vec3 launchForce) const override;
};
