// Process-wide game state shared by every task.
#pragma once

#include <cstdint>

// The frame time: the millisecond clock read right after each Present. Every
// lifetime and time-out measured in milliseconds compares against it.
extern uint32_t g_FrameTime;

// The current stage, 0 to 4 for stages 1 to 5.
extern int g_StageIndex;

// Asks the shell to close the program after the frame in progress (the title
// screen's quit choice, Escape and the window's close request end here).
void PostQuit();
bool QuitRequested();
void ResetQuitRequest();
