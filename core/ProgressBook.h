// ProgressBook keeps the player's progress while the game runs: the screens
// read it, a won battle adds to it, and every change goes to the saver the
// shell hands in (the progress file, or nothing for the headless runner).
// It also times the battle in progress, on the game's frame clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/Progress.h"

class ProgressBook {
public:
    struct Win {
        int stage = 0;
        uint32_t battleMs = 0;
        bool newBest = false;
    };

    // The progress at start-up and what to do with each change (may be empty).
    static void Configure(Progress progress, std::function<void(const Progress&)> save = {});
    static const Progress& Current();

    // A battle began at this frame time; forgets the last win.
    static void BattleStarted(uint32_t nowMs);
    // The battle of a stage was won at this frame time: recorded and saved.
    static Win RecordWin(int stage, uint32_t nowMs);
    // The win of the battle that ended last, if it was won.
    static std::optional<Win> LastWin();
};
