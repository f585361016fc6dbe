#include "tools/sim/VersusTrial.h"

#include "core/Globals.h"
#include "core/VersusMatch.h"
#include "tools/sim/SimRunner.h"
#include "tools/sim/StageTrial.h"

bool VersusTrial::Play(int stage, uint32_t seed, int skill, const std::string& dataDir, VersusTrialOutcome* outcome,
                       std::string* error, int matchFrames)
{
    VersusTrialOutcome match;
    bool over = false;
    SimOptions options = StageTrial::ComputerRun(stage, seed, skill, dataDir, matchFrames + 1);
    options.versus = true;
    options.bot2 = true;
    options.bot2Skill = skill;
    options.afterFrame = [&](int frame) {
        if (over) return;
        const VersusMatch& current = VersusMatch::Current();
        match.frames = frame + 1;
        match.score[0] = current.Score(VersusMatch::PLAYER_1);
        match.score[1] = current.Score(VersusMatch::PLAYER_2);
        match.rounds = match.score[0] + match.score[1];
        match.winner = current.Winner();
        over = current.Over() || match.frames >= matchFrames;
        if (over) PostQuit();
    };
    SimRunner runner(options);
    if (!runner.Run(error)) return false;
    *outcome = match;
    return true;
}
