// St1Enemy is the stage-1 enemy top: it charges from the floor when it is more
// than 10 units from the centre, steers its charge by its position alone and
// dashes for up to 1500 ms.
#pragma once

#include "enemy/EnemyTop.h"

class St1Enemy : public EnemyTop {
public:
    static constexpr Traits TRAITS{"XSt1Enemy", 10.0f, 200.0f, true, 60.0f};

    explicit St1Enemy(plat::Vec3 launchForce) : EnemyTop(launchForce, TRAITS) {}
};
