#include "scene/ScreenKeys.h"

#include "input/CInput.h"

void ScreenKeys::Update()
{
    if (!m_Input || ++m_Updates <= 1) return;
    for (int key = 0; key < KEY_CODES; ++key)
        if (!m_Input->IsDown(key)) m_Released[key] = true;
}

bool ScreenKeys::Pressed(int key) const
{
    if (!m_Input || key < 0 || key >= KEY_CODES) return false;
    return m_Released[key] && m_Input->IsNewlyPressed(key);
}
