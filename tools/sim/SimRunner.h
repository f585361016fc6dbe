// SimRunner is responsible for playing the real game headless: a virtual
// clock, a seed, scripted keys, offscreen or recording video and silent
// sound, writing a per-frame trace and screenshots. The same run repeats
// frame for frame.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Replay.h"
#include "tools/sim/Bot.h"
#include "tools/sim/KeyScript.h"
#include "tools/sim/ReplayKeySource.h"

class GameApp;
namespace plat {
class ScriptedKeySource;
}

struct SimOptions {
    int frames = 600;
    uint32_t seed = 1;
    int stage = -1;   // 1..5 loads that stage at once
    std::string dataDir = "build/data";
    std::string keysPath;
    std::string tracePath;
    int traceEvery = 1;
    std::map<int, std::string> shots;   // frame -> PNG path
    bool offscreenVideo = true;         // false: the recording device, no pixels
    // Frames each stage load shows its loading screen before the hand-over;
    // about what a load takes on a desktop machine.
    int loadingFrames = 8;
    std::string recordPath;     // record the run into this replay file
    std::string replayPath;     // play this recorded session back instead of keys or a bot
    bool framesGiven = false;   // --frames was given (a replay otherwise runs to its end)
    bool bot = false;           // a computer player presses the keys
    int botSkill = 3;           // 0 (launch only) to 3
    bool versus = false;        // --stage K is a two-player match on that arena
    bool bot2 = false;          // a computer player presses player 2's keys
    int bot2Skill = 3;
    // Show the how-to-play card on the way to stage 1, as on a first play.
    // Off by default, so that runs never depend on who ran the game before.
    bool howToPlay = false;
    // Read and write the player's settings and progress in the folders that
    // XDG_CONFIG_HOME and XDG_DATA_HOME name (none when unset). Off by default:
    // runs then start from the defaults and no progress, and write nothing.
    bool playerFiles = false;
    // For in-process scenarios: called right before each frame runs (after
    // the script and the bot have set the keys, which it may change, and
    // after the clock and the stage-load pacing) and after it.
    std::function<void(int frame, plat::ScriptedKeySource& keys)> beforeFrame;
    std::function<void(int frame)> afterFrame;
};

class SimRunner {
public:
    // Parses the command line; false with a message in *error on bad arguments.
    static bool ParseArgs(int argc, char** argv, SimOptions* options, std::string* error);

    explicit SimRunner(SimOptions options);
    ~SimRunner();

    // Runs every frame (or until the game quits). False with a message when
    // the game could not start or a file could not be written.
    bool Run(std::string* error);
    int FramesRun() const { return m_FramesRun; }

    // One frame's trace line (JSON object).
    static std::string TraceLine(int frame, uint32_t frameMs);

private:
    bool WriteShot(int frame, std::string* error);
    void PaceStageLoad();
    // Before frame `frame` of a replay: its clock and keys, and its stage hand-over.
    void PlayBackFrame(int frame);

    SimOptions m_Options;
    KeyScript m_Script;
    std::unique_ptr<Bot> m_Bot;
    std::unique_ptr<Bot> m_Bot2;   // player 2's, in versus play
    Replay m_Replay;
    std::unique_ptr<ReplayKeySource> m_ReplayKeys;
    std::unique_ptr<GameApp> m_App;
    int m_FramesRun = 0;
    int m_LoadingFramesShown = 0;
};
