#include "tools/sim/StageTrial.h"

#include "core/Globals.h"
#include "core/Task.h"
#include "enemy/CEnemy.h"
#include "game/CKoma.h"
#include "scene/CResult.h"
#include "tools/sim/SimRunner.h"

SimOptions StageTrial::ComputerRun(int stage, uint32_t seed, int skill, const std::string& dataDir, int frames)
{
    SimOptions options;
    options.frames = frames;
    options.seed = seed;
    options.stage = stage;
    options.dataDir = dataDir;
    options.offscreenVideo = false;
    options.bot = true;
    options.botSkill = skill;
    return options;
}

bool StageTrial::Play(int stage, uint32_t seed, int skill, const std::string& dataDir, StageTrialOutcome* outcome,
                      std::string* error, int battleFrames)
{
    StageTrialOutcome game;
    const int returnsBefore = CEnemy::ReturnsToArena();
    int launchFrame = -1;
    bool over = false;
    SimOptions options = ComputerRun(stage, seed, skill, dataDir, FRAMES_BEFORE_LAUNCH + battleFrames + 1);
    // Once the game is decided, the game closes before the next frame, as
    // Escape would close it.
    options.afterFrame = [&](int frame) {
        if (over) return;
        if (launchFrame < 0 && FindTask(KOMA_TASK_NAME)) launchFrame = frame;
        if (launchFrame < 0) return;
        game.launched = true;
        game.battleFrames = frame - launchFrame;
        if (auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME)))
            game.kind = result->Kind() == CResult::KIND_CLEAR ? StageTrialOutcome::WON : StageTrialOutcome::LOST;
        over = game.kind != StageTrialOutcome::UNDECIDED || game.battleFrames >= battleFrames;
        if (over) PostQuit();
    };
    SimRunner runner(options);
    if (!runner.Run(error)) return false;
    game.swarmReturns = CEnemy::ReturnsToArena() - returnsBefore;
    *outcome = game;
    return true;
}
