#include "app/FirstScreen.h"

#include "core/Globals.h"
#include "core/Task.h"
#include "game/CLoadStage.h"

namespace {
constexpr int FIRST_STAGE = 0;
constexpr int LAST_STAGE = 4;
}  // namespace

void AddFirstScreen(int startStage)
{
    // Until the title screen exists, the program opens on stage 1.
    const bool chosen = startStage >= FIRST_STAGE && startStage <= LAST_STAGE;
    g_StageIndex = chosen ? startStage : FIRST_STAGE;
    AddTask(new CLoadStage, PRIORITY_LOADING);
}
