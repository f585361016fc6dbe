// StageTrial is responsible for one stage played by the computer player from
// its loading screen: a seeded game on the recording device that ends at the
// first result screen, or after a fixed battle time from the launch. The
// balance report and the computer player's stage tests are made of these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/sim/SimRunner.h"

struct StageTrialOutcome {
    enum Kind { WON, LOST, UNDECIDED };
    Kind kind = UNDECIDED;
    int battleFrames = 0;   // from the launch to the result (or the end)
    bool launched = false;
    int swarmReturns = 0;   // swarm enemies put back on the arena after leaving it
};

class StageTrial {
public:
    static constexpr int BATTLE_FRAMES = 10800;        // three minutes after the launch
    static constexpr int FRAMES_BEFORE_LAUNCH = 900;   // loading and aiming, at most

    // A headless run of the computer player at `skill` from `stage`'s loading
    // screen (1 to 5): seeded, on the recording device, for `frames` frames.
    static SimOptions ComputerRun(int stage, uint32_t seed, int skill, const std::string& dataDir, int frames);

    // Plays `stage` (1 to 5) with the computer player at `skill`. False with a
    // message in *error when the game could not run.
    static bool Play(int stage, uint32_t seed, int skill, const std::string& dataDir, StageTrialOutcome* outcome,
                     std::string* error, int battleFrames = BATTLE_FRAMES);
};
