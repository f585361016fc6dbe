// CTaskHead opens every frame's drawing: it clears the back buffer and begins
// the scene. It sits at priority 0, before every task but the resources.
#pragma once

#include "core/Task.h"

constexpr const char* TASK_HEAD_NAME = "TaskHead";

class CTaskHead : public CGameObject {
public:
    static constexpr uint32_t CLEAR_COLOR = 0xff000000;   // opaque black
    void Draw() override;
};
