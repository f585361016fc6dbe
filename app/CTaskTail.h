// CTaskTail closes every frame's drawing: it ends the scene, presents it and
// stamps the frame time. It sits at the largest priority, after every task.
#pragma once

#include "core/Task.h"

constexpr const char* TASK_TAIL_NAME = "TaskTail";

class CTaskTail : public CGameObject {
public:
    void Draw() override;
};
