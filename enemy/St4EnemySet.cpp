#include "enemy/St4EnemySet.h"

#include "enemy/St4Enemy.h"

St4EnemySet::St4EnemySet() : St1EnemySet("XSt4Enemy", "St4Enemy") {}

EnemyTop* St4EnemySet::MakeEnemy(plat::Vec3 launchForce) const { return new St4Enemy(launchForce); }
