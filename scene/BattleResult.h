// How a battle hands over when a side has lost: during a match of two the
// round's result, otherwise the one-player result screen with everything it
// records.
#pragma once

void StartBattleResult(int kind);
