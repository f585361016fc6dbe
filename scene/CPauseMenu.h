// CPauseMenu is a battle held still: P (or a controller's start button), or
// the window losing the input focus, opens it over a battle in progress.
// Every task of the battle stops updating, the frame time stands still, the
// music is held down, and the picture stays under a shade with PAUSED and
// four choices: resume, retry the stage (loaded afresh), back to the title, or
// the options screen over the held battle.
// Up and Down choose, Z confirms; P again resumes. Escape still quits at once.
#pragma once

#include <cstdint>

#include "audio/CSound.h"
#include "core/Task.h"
#include "hud/OptionsArt.h"
#include "hud/PlayerArt.h"

class CInput;

// Above every task of a battle, below the fade that ClearTasks also removes.
constexpr int32_t PRIORITY_PAUSE_MENU = 0x7ffffffc;
constexpr const char* PAUSE_MENU_TASK_NAME = "CPauseMenu";

class CPauseMenu : public CGameObject {
public:
    enum Choice { CHOICE_RESUME = 0, CHOICE_RETRY = 1, CHOICE_TITLE = 2, CHOICE_OPTIONS = 3, CHOICE_COUNT = 4 };
    static constexpr uint8_t SHADE_ALPHA = 150;

    // Called once a frame between the update and the draw pass: opens the
    // menu when a battle is running and the player asks for a pause (or the
    // window lost the focus). True when it opened.
    static bool OpenIfAsked();
    // Whether a battle is in progress that a pause may hold.
    static bool BattleRunning();

    CPauseMenu() = default;
    ~CPauseMenu() override;
    CPauseMenu(const CPauseMenu&) = delete;
    CPauseMenu& operator=(const CPauseMenu&) = delete;

    void Init() override;
    void Update() override;
    void Draw() override;

    int Chosen() const { return m_Chosen; }

private:
    // Lets the battle go on again (resuming, or before leaving it).
    void Release();
    void Confirm();

    CInput* m_Input = nullptr;
    PlayerArt m_Art;
    OptionsArt m_OptionsArt;
    CSound m_MoveSound;
    CSound m_SelectSound;
    int m_Chosen = CHOICE_RESUME;
    bool m_Holding = false;
};
