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

#include "tools/sim/KeyScript.h"

class GameApp;
namespace plat {
class ScriptedKeySource;
}

struct SimOptions {
    int frames = 600;
    uint32_t seed = 1;
    int stage = -1;                       // 1..5 loads that stage at once
    std::string dataDir = "build/data";
    std::string keysPath;
    std::string tracePath;
    int traceEvery = 1;
    std::map<int, std::string> shots;     // frame -> PNG path
    bool offscreenVideo = true;           // false: the recording device, no pixels
    // Frames each stage load shows its loading screen before the hand-over;
    // about what a load takes on a desktop machine.
    int loadingFrames = 8;
    // In-process players (tests): called before each frame, after that
    // frame's scripted keys, to read the game's state and set keys.
    std::function<void(int frame, plat::ScriptedKeySource& keys)> beforeFrame;
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
    int FramesRun() const { return m_framesRun; }

    // One frame's trace line (JSON object).
    static std::string TraceLine(int frame, uint32_t frameMs);

private:
    bool WriteShot(int frame, std::string* error);
    void PaceStageLoad();

    SimOptions m_options;
    KeyScript m_script;
    std::unique_ptr<GameApp> m_app;
    int m_framesRun = 0;
    int m_loadingFramesShown = 0;
};
