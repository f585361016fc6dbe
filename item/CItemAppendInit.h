// CItemAppendInit waits for the end of the launch, then sends the item box
// out on the stages that have one (every stage but the swarm stage 2 and the
// boss stage 5) and removes itself.
#pragma once

#include <cstdint>

#include "core/Task.h"

constexpr int32_t PRIORITY_ITEM_APPEND_INIT = 3500;
constexpr const char* ITEM_APPEND_INIT_TASK_NAME = "CItemAppendInit";

class CItemAppendInit : public CGameObject {
public:
    void Update() override;

    // Whether the stage of this index (0 for stage 1) has an item box.
    static bool StageHasItems(int stageIndex);
};
