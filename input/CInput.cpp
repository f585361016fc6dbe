#include "input/CInput.h"

#include <cstring>

#include "core/SettingsBook.h"
#include "core/VersusMatch.h"

plat::ControllerKeys CInput::SecondControllerKeys()
{
    if (!VersusMatch::Current().Active()) return {};
    const Settings::KeyMap& keys = SettingsBook::Used().keys[1];
    return {keys[Settings::ACTION_UP], keys[Settings::ACTION_DOWN], keys[Settings::ACTION_LEFT],
            keys[Settings::ACTION_RIGHT], keys[Settings::ACTION_DASH]};
}

void CInput::Init()
{
    if (m_Initialised) return;
    m_Initialised = true;
    m_Keyboard = plat::GetKeySource();
    std::memset(m_CurrentKeys, 0, sizeof m_CurrentKeys);
    std::memset(m_PreviousKeys, 0, sizeof m_PreviousKeys);
}

void CInput::Update()
{
    if (!m_Keyboard) return;
    m_Keyboard->SetSecondControllerKeys(SecondControllerKeys());
    std::memcpy(m_PreviousKeys, m_CurrentKeys, sizeof m_CurrentKeys);
    // A failed read (no focus) keeps the old state: held keys stay held and
    // nothing is newly pressed.
    m_Focus = m_Keyboard->Read(m_CurrentKeys);
}

CInput* CInput::FindOrCreate()
{
    if (auto* found = static_cast<CInput*>(FindTask(INPUT_TASK_NAME))) return found;
    auto* input = new CInput;
    AddTask(PRIORITY_INPUT, input, INPUT_TASK_NAME);
    return input;
}

bool CInput::IsDown(int key) const
{
    if (!m_Keyboard || key < 0 || key > 255) return false;
    return (m_CurrentKeys[key] & plat::KEY_DOWN_BIT) != 0;
}

bool CInput::IsNewlyPressed(int key) const
{
    if (!m_Keyboard || key < 0 || key > 255) return false;
    return (m_CurrentKeys[key] & plat::KEY_DOWN_BIT) && !(m_PreviousKeys[key] & plat::KEY_DOWN_BIT);
}
