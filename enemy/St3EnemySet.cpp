#include "enemy/St3EnemySet.h"

#include "enemy/St3Enemy.h"

St3EnemySet::St3EnemySet() : St1EnemySet("XSt3Enemy", "St3Enemy") {}

EnemyTop* St3EnemySet::MakeEnemy(plat::Vec3 launchForce) const { return new St3Enemy(launchForce); }
