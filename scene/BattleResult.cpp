#include "scene/BattleResult.h"

#include "core/VersusMatch.h"
#include "scene/CResult.h"
#include "scene/CVersusResult.h"

void StartBattleResult(int kind)
{
    if (VersusMatch::Current().Active())
        CVersusResult::Start(kind);
    else
        CResult::Start(kind);
}
