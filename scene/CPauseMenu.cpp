#include "scene/CPauseMenu.h"

#include <utility>

#include "core/Globals.h"
#include "core/PauseClock.h"
#include "core/SettingsBook.h"
#include "core/TaskList.h"
#include "core/VersusMatch.h"
#include "game/CStage.h"
#include "gfx/Render.h"
#include "input/CInput.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "scene/CFeadEffect.h"
#include "scene/COptions.h"
#include "scene/CResult.h"
#include "scene/CTitle.h"
#include "scene/CVersusResult.h"
#include "stage/CLoadStage.h"
#include "stage/CLoading.h"
#include "stage/StageLoader.h"

namespace {

constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr const char* MOVE_SOUND_FILE = "sound/Move.wav";

// The frame's services (the keyboard, the music's fades) go on under a pause;
// everything the battle is made of, above them and below the menu, stands still.
constexpr int32_t FROZEN_LOW = PRIORITY_INPUT + 1;
constexpr int32_t FROZEN_HIGH = PRIORITY_PAUSE_MENU - 1;

// The press that closed the menu in this frame is not another request to open it.
bool s_closedThisFrame = false;

void DuckMusic(bool ducked)
{
    if (plat::AudioOutput* output = plat::GetAudioOutput()) output->GetMixer().SetMusicDucked(ducked);
}

bool PauseAsked(const CInput& input)
{
    // In a game of two either player may pause, player 2 with its own key.
    const bool second =
        VersusMatch::Current().Active() && input.IsNewlyPressed(SettingsBook::Used().keys[1][Settings::ACTION_PAUSE]);
    return input.IsNewlyPressed(plat::KEY_P) || input.IsNewlyPressed(plat::KEY_PAUSE) || second;
}

}   // namespace

bool CPauseMenu::BattleRunning()
{
    if (!FindTask(STAGE_TASK_NAME) || FindTask(RESULT_TASK_NAME) || FindTask(VERSUS_RESULT_TASK_NAME) ||
        FindTask(PAUSE_MENU_TASK_NAME) || IsStageLoadInProgress())
        return false;
    // A loading screen may stand in the list with a stage about to be cleared.
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (dynamic_cast<const CLoading*>(entry->object)) return false;
    return true;
}

bool CPauseMenu::OpenIfAsked()
{
    if (std::exchange(s_closedThisFrame, false)) return false;
    const auto* input = dynamic_cast<const CInput*>(FindTask(INPUT_TASK_NAME));
    if (!input || !input->HasKeyboard() || !BattleRunning()) return false;
    if (!PauseAsked(*input) && input->HasFocus()) return false;
    AddTask(PRIORITY_PAUSE_MENU, new CPauseMenu, PAUSE_MENU_TASK_NAME);
    return true;
}

CPauseMenu::~CPauseMenu() { Release(); }

void CPauseMenu::Init()
{
    m_Input = CInput::FindOrCreate();
    m_Art.Load();
    m_OptionsArt.Load();
    m_MoveSound.Load(MOVE_SOUND_FILE);
    m_SelectSound.Load(SELECT_SOUND_FILE);
    TaskList::Instance().FreezeUpdates(FROZEN_LOW, FROZEN_HIGH);
    PauseClock::Hold(plat::NowMs());
    DuckMusic(true);
    m_Holding = true;
}

void CPauseMenu::Release()
{
    if (!m_Holding) return;
    m_Holding = false;
    TaskList::Instance().ThawUpdates();
    PauseClock::Release(plat::NowMs());
    g_FrameTime = PauseClock::GameTime(plat::NowMs());
    DuckMusic(false);
}

void CPauseMenu::Update()
{
    // Nothing is chosen while the window is away or the options are open over the menu.
    if (!m_Input || !m_Input->HasFocus() || COptions::IsOpen()) return;
    if (PauseAsked(*m_Input)) {
        m_Chosen = CHOICE_RESUME;
        Confirm();
        return;
    }
    const int step = m_Input->IsNewlyPressed(plat::KEY_DOWN) - m_Input->IsNewlyPressed(plat::KEY_UP);
    if (step != 0) {
        m_Chosen = (m_Chosen + step + CHOICE_COUNT) % CHOICE_COUNT;
        m_MoveSound.Play();
    }
    if (m_Input->IsNewlyPressed(plat::KEY_Z)) Confirm();
}

void CPauseMenu::Confirm()
{
    // A copy of the select sound plays on after the menu is gone and frees itself.
    auto* select = new CSound(&m_SelectSound);
    select->EnableAutoDelete();
    select->Play();

    const int chosen = m_Chosen;
    if (chosen == CHOICE_OPTIONS) {
        COptions::Open();   // the battle stays held beneath
        return;
    }
    Release();
    if (chosen == CHOICE_RESUME) {
        s_closedThisFrame = true;
        RemoveTask(this);   // deletes the menu: no member may be touched from here on
        return;
    }
    ClearTasks();   // the battle and the menu go
    CGameObject* next = chosen == CHOICE_RETRY ? static_cast<CGameObject*>(new CLoadStage) : new CTitle;
    AddTask(next, PRIORITY_NEXT_SCREEN);
    AddTask(PRIORITY_FADE, new CFeadEffect, FADE_TASK_NAME);
}

void CPauseMenu::Draw()
{
    if (!gfx::CanDraw()) return;
    gfx::BeginSprites();
    m_Art.DrawShade(SHADE_ALPHA);
    m_Art.DrawPauseMenu(m_Chosen, CHOICE_COUNT);
    m_OptionsArt.DrawPauseEntry(PlayerArt::MenuX(), PlayerArt::ChoiceY(CHOICE_OPTIONS), m_Chosen == CHOICE_OPTIONS);
    gfx::EndSprites();
}
