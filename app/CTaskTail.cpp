#include "app/CTaskTail.h"

#include "core/Globals.h"
#include "core/PauseClock.h"
#include "gfx/Graphics.h"
#include "platform/Clock.h"

void CTaskTail::Draw()
{
    if (g_Device) {
        g_Device->EndScene();
        // A frame that could not be shown is simply dropped: the OpenGL device
        // keeps its objects through a lost display, so there is nothing to reset.
        g_Device->Present();
    }
    g_FrameTime = PauseClock::GameTime(plat::NowMs());
}
