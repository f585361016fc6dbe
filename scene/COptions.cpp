#include "scene/COptions.h"

#include <algorithm>

#include "core/KeyNames.h"
#include "core/SettingsBook.h"
#include "gfx/Render.h"
#include "input/BoundKeySource.h"
#include "input/CInput.h"
#include "platform/AudioOutput.h"
#include "platform/KeySource.h"

namespace {

constexpr const char* SELECT_SOUND_FILE = "sound/System.wav";
constexpr const char* MOVE_SOUND_FILE = "sound/Move.wav";
constexpr int KEY_CODES = 256;

Settings::Action ActionOf(int row) { return static_cast<Settings::Action>(row - COptions::ROW_UP); }

bool IsKeyRow(int row) { return row >= COptions::ROW_UP && row <= COptions::ROW_PAUSE; }

void SetBusVolume(plat::MixBus bus, int volume)
{
    if (plat::AudioOutput* output = plat::GetAudioOutput())
        output->GetMixer().SetBusGain(bus, Settings::VolumeGain(volume));
}

}   // namespace

COptions* COptions::Open()
{
    auto* options = new COptions;
    AddTask(PRIORITY_OPTIONS, options, OPTIONS_TASK_NAME);
    return options;
}

bool COptions::IsOpen() { return FindTask(OPTIONS_TASK_NAME) != nullptr; }

COptions::~COptions()
{
    if (m_Waiting) BoundKeySource::SetPassThrough(false);
}

void COptions::Init()
{
    m_Input = CInput::FindOrCreate();
    m_Art.Load();
    m_MoveSound.Load(MOVE_SOUND_FILE);
    m_SelectSound.Load(SELECT_SOUND_FILE);
    m_Before = m_Settings = SettingsBook::Used();
}

void COptions::Update()
{
    if (!m_Input || !m_Input->HasFocus()) return;
    if (m_SkipInput) {
        m_SkipInput = false;
        return;
    }
    if (m_Waiting) {
        TakeNewKey();
        return;
    }
    const int vertical = m_Input->IsNewlyPressed(plat::KEY_DOWN) - m_Input->IsNewlyPressed(plat::KEY_UP);
    if (vertical != 0) MoveCursor(vertical);
    const int sideways = m_Input->IsNewlyPressed(plat::KEY_RIGHT) - m_Input->IsNewlyPressed(plat::KEY_LEFT);
    if (sideways != 0) {
        if (m_Chosen == ROW_MUSIC) ChangeVolume(&m_Settings.musicVolume, sideways);
        if (m_Chosen == ROW_EFFECTS) ChangeVolume(&m_Settings.effectsVolume, sideways);
        if (m_Chosen == ROW_SCREEN) ToggleScreen();
    }
    if (m_Input->IsNewlyPressed(plat::KEY_Z)) Confirm();   // may close the screen
}

void COptions::MoveCursor(int step)
{
    m_Chosen = (m_Chosen + step + ROW_COUNT) % ROW_COUNT;
    m_MoveSound.Play();
}

void COptions::ChangeVolume(int* volume, int step)
{
    const int changed = std::clamp(*volume + step * VOLUME_STEP, 0, Settings::kMaxVolume);
    if (changed == *volume) return;
    *volume = changed;
    Use();
    m_MoveSound.Play();   // heard at the new effects volume
}

void COptions::ToggleScreen()
{
    // F11 may have switched the window since the screen opened.
    m_Settings.fullscreen = !SettingsBook::Used().fullscreen;
    Use();
    m_MoveSound.Play();
}

void COptions::Use()
{
    SetBusVolume(plat::MixBus::Music, m_Settings.musicVolume);
    SetBusVolume(plat::MixBus::Effects, m_Settings.effectsVolume);
    SettingsBook::Use(m_Settings);
}

void COptions::Confirm()
{
    if (m_Chosen == ROW_SCREEN) {
        ToggleScreen();
    } else if (IsKeyRow(m_Chosen)) {
        m_SelectSound.Play();
        StartWaiting();
    } else if (m_Chosen == ROW_BACK) {
        Close();
    }
}

void COptions::StartWaiting()
{
    m_Waiting = true;
    BoundKeySource::SetPassThrough(true);
}

void COptions::StopWaiting()
{
    m_Waiting = false;
    BoundKeySource::SetPassThrough(false);
    m_SkipInput = true;
}

void COptions::TakeNewKey()
{
    for (int code = 1; code < KEY_CODES; ++code) {
        if (!m_Input->IsNewlyPressed(code)) continue;
        // Escape and F11 keep their jobs, and a key without a name could not be written down.
        if (Settings::IsReservedKey(code) || KeyNames::NameOf(code).empty()) continue;
        m_Settings.BindKey(0, ActionOf(m_Chosen), code);
        StopWaiting();
        Use();
        m_SelectSound.Play();
        return;
    }
}

void COptions::Close()
{
    // A copy of the select sound plays on after the screen is gone and frees itself.
    auto* select = new CSound(&m_SelectSound);
    select->EnableAutoDelete();
    select->Play();
    SettingsBook::SaveChanges(m_Before);   // a failed write is told on standard error and keeps the old file
    RemoveTask(this);                      // deletes the screen: no member may be touched from here on
}

void COptions::Draw()
{
    if (!gfx::CanDraw()) return;
    OptionsArt::View view;
    view.chosen = m_Chosen;
    view.musicVolume = m_Settings.musicVolume;
    view.effectsVolume = m_Settings.effectsVolume;
    view.maxVolume = Settings::kMaxVolume;
    view.fullscreen = m_Settings.fullscreen;
    std::copy(m_Settings.keys[0].begin(), m_Settings.keys[0].end(), view.keys.begin());
    view.waitingForKey = m_Waiting;
    gfx::BeginSprites();
    m_Art.DrawShade(SHADE_ALPHA);
    m_Art.DrawScreen(view);
    gfx::EndSprites();
}
