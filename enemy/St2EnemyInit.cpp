#include "enemy/St2EnemyInit.h"

#include "enemy/St2Enemy.h"
#include "game/CKoma.h"

void St2EnemyInit::Update()
{
    if (!FindTask(KOMA_TASK_NAME)) return;
    AddTask(PRIORITY_KOMA, new St2Enemy, ST2_ENEMY_TASK_NAME);
    RemoveTask(this);
}
