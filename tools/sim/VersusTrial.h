// VersusTrial is one versus match played by two computer players of equal
// skill from the arena's loading screen: a seeded game on the recording
// device that ends when a side has won the match, or after five minutes of
// game time. The versus fairness report and its test are made of these.
#pragma once

#include <cstdint>
#include <string>

struct VersusTrialOutcome {
    int winner = -1;   // 0 player 1, 1 player 2, -1 undecided
    int frames = 0;    // from the first frame to the match's end (or the limit)
    int rounds = 0;    // rounds decided
    int score[2] = {};
};

class VersusTrial {
public:
    static constexpr int MATCH_FRAMES = 18000;   // five minutes at 60 frames a second

    // Plays a match on `stage` (1, 3 or 4). False with a message in *error
    // when the game could not run.
    static bool Play(int stage, uint32_t seed, int skill, const std::string& dataDir, VersusTrialOutcome* outcome,
                     std::string* error, int matchFrames = MATCH_FRAMES);
};
