#include "app/CTaskHead.h"

#include "gfx/Graphics.h"

void CTaskHead::Draw()
{
    if (!g_Device) return;
    g_Device->Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, CLEAR_COLOR, 1.0f);
    g_Device->BeginScene();
}
