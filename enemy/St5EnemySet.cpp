#include "enemy/St5EnemySet.h"

#include "enemy/EnemyTop.h"
#include "enemy/St5Enemy.h"
#include "game/CKoma.h"

void St5EnemySet::Update()
{
    if (!FindTask(KOMA_TASK_NAME)) return;
    AddTask(PRIORITY_ENEMY, new St5Enemy, BOSS_TASK_NAME);
    RemoveTask(this);
}
