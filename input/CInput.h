// CInput is responsible for the keyboard state of this frame and the frame
// before. Other tasks find it by the name "input" and tell a held key from a
// newly pressed one; the one who needs it first creates it.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "platform/KeySource.h"

constexpr int32_t PRIORITY_INPUT = 1000;
constexpr const char* INPUT_TASK_NAME = "input";

class CInput : public CGameObject {
public:
    CInput() = default;
    void Init() override;
    void Update() override;

    // Finds the "input" task, or creates one at priority 1000 when there is none.
    static CInput* FindOrCreate();

    bool HasKeyboard() const { return m_Keyboard != nullptr; }
    bool IsDown(int key) const;           // held in this frame
    bool IsNewlyPressed(int key) const;   // down now, up in the frame before
    // What the second controller presses: player 2's keys while a versus
    // match is on, else the first player's like any controller.
    static plat::ControllerKeys SecondControllerKeys();

    // False when the last read failed: the window has lost the input focus.
    bool HasFocus() const { return m_Focus; }

    uint8_t m_CurrentKeys[256] = {};
    uint8_t m_PreviousKeys[256] = {};

private:
    plat::KeySource* m_Keyboard = nullptr;
    bool m_Initialised = false;
    bool m_Focus = true;
};
