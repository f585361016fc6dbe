// COptions is the options screen, opened over the title or the pause menu and
// closed by its BACK row, which leaves the screen beneath as it was. Up and
// Down choose a row. The music and effects volumes change with Left and Right
// in steps, heard at once; SCREEN switches between a window and full screen
// with Left, Right or Z; a key row takes Z, then the new key for that action
// of the first player (a key bound to another action swaps with it; Escape and
// F11 are refused). BACK saves what the player changed and closes the screen.
#pragma once

#include <cstdint>

#include "audio/CSound.h"
#include "core/Settings.h"
#include "core/Task.h"
#include "hud/OptionsArt.h"

class CInput;

// Above the pause menu (added after it, it runs and draws after it).
constexpr int32_t PRIORITY_OPTIONS = 0x7ffffffc;
constexpr const char* OPTIONS_TASK_NAME = "COptions";

class COptions : public CGameObject {
public:
    enum Row {
        ROW_MUSIC,
        ROW_EFFECTS,
        ROW_SCREEN,
        ROW_UP,
        ROW_DOWN,
        ROW_LEFT,
        ROW_RIGHT,
        ROW_DASH,
        ROW_PAUSE,
        ROW_BACK,
        ROW_COUNT
    };
    static constexpr int VOLUME_STEP = 10;
    static constexpr uint8_t SHADE_ALPHA = 200;

    // Opens the screen over whatever is running.
    static COptions* Open();
    static bool IsOpen();

    COptions() = default;
    ~COptions() override;
    COptions(const COptions&) = delete;
    COptions& operator=(const COptions&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    int Chosen() const { return m_Chosen; }
    bool WaitingForKey() const { return m_Waiting; }
    const Settings& Shown() const { return m_Settings; }

private:
    void MoveCursor(int step);
    void ChangeVolume(int* volume, int step);
    void ToggleScreen();
    void StartWaiting();
    void TakeNewKey();
    void StopWaiting();
    void Confirm();
    void Close();
    void Use();

    CInput* m_Input = nullptr;
    OptionsArt m_Art;
    CSound m_MoveSound;
    CSound m_SelectSound;
    Settings m_Before;     // as they were when the screen opened
    Settings m_Settings;   // as the player has set them
    int m_Chosen = ROW_MUSIC;
    bool m_Waiting = false;
    // The press that opened the screen, or that ended a wait for a key, is not
    // read again here.
    bool m_SkipInput = true;
};
