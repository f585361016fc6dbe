// CResult is the result screen at the end of a battle: kind 0 when the stage
// was cleared, kind 1 on a game over.
#pragma once

#include <cstdint>

#include "core/Task.h"

constexpr int32_t PRIORITY_RESULT = 9000;
constexpr const char* RESULT_TASK_NAME = "CResult";

class CResult : public CGameObject {
public:
    static constexpr int KIND_CLEAR = 0;
    static constexpr int KIND_GAME_OVER = 1;

    explicit CResult(int kind);

    int Kind() const { return m_Kind; }

private:
    int m_Kind;
};
