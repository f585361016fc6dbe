#include "app/FirstScreen.h"

#include "core/Globals.h"
#include "core/Task.h"
#include "scene/CTitle.h"
#include "stage/CLoadStage.h"

namespace {
constexpr int FIRST_STAGE = 0;
constexpr int LAST_STAGE = 4;
}   // namespace

void AddFirstScreen(int startStage)
{
    if (startStage >= FIRST_STAGE && startStage <= LAST_STAGE) {
        g_StageIndex = startStage;
        AddTask(new CLoadStage, PRIORITY_LOADING);
        return;
    }
    g_StageIndex = FIRST_STAGE;
    AddTask(new CTitle, PRIORITY_TITLE);
}
