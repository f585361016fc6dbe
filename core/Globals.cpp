#include "core/Globals.h"

#include <atomic>

uint32_t g_FrameTime = 0;
int g_StageIndex = 0;

namespace {
std::atomic<bool> g_quitRequested{false};
}

void PostQuit() { g_quitRequested = true; }
bool QuitRequested() { return g_quitRequested; }
void ResetQuitRequest() { g_quitRequested = false; }
