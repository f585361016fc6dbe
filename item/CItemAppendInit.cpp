#include "item/CItemAppendInit.h"

#include "core/Globals.h"
#include "game/CKoma.h"
#include "game/CKomaShoot.h"
#include "item/CItemAppend.h"

namespace {

constexpr int SWARM_STAGE_INDEX = 1;   // stage 2
constexpr int BOSS_STAGE_INDEX = 4;    // stage 5

}   // namespace

bool CItemAppendInit::StageHasItems(int stageIndex)
{
    return stageIndex != SWARM_STAGE_INDEX && stageIndex != BOSS_STAGE_INDEX;
}

void CItemAppendInit::Update()
{
    // The player's top must be there and its launch over.
    if (!FindTask(KOMA_TASK_NAME)) return;
    if (FindTask(KOMA_SHOOT_TASK_NAME)) return;
    if (StageHasItems(g_StageIndex)) AddTask(PRIORITY_ITEM_APPEND, new CItemAppend, ITEM_APPEND_TASK_NAME);
    RemoveTask(this);
}
