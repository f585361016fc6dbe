// spindrel-soak: the computer player plays the whole game, screens, retries
// and returns to the title included, on the recording device for an hour of
// game time (216,000 frames), and reports memory, tasks, resources and frame
// times at the start and at the end.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/sim/SimRunner.h"
#include "tools/sim/SoakMonitor.h"

namespace {

constexpr int HOUR_OF_FRAMES = 216000;
constexpr int TEN_MINUTES_OF_FRAMES = 36000;
constexpr int SAMPLE_EVERY = 600;

}   // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    options.frames = HOUR_OF_FRAMES;
    options.dataDir = "build/data";
    options.offscreenVideo = false;
    options.bot = true;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--frames")
            options.frames = std::atoi(argv[i + 1]);
        else if (arg == "--seed")
            options.seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (arg == "--data")
            options.dataDir = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: spindrel-soak [--frames N] [--seed S] [--data DIR]\n");
            return 2;
        }
    }
    if (options.frames <= 0) {
        std::fprintf(stderr, "spindrel-soak: --frames needs a positive count\n");
        return 2;
    }
    SoakMonitor monitor(SAMPLE_EVERY, std::min(TEN_MINUTES_OF_FRAMES, options.frames / 4 + 1));
    options.beforeFrame = [&](int, plat::ScriptedKeySource&) { monitor.BeforeFrame(); };
    options.afterFrame = [&](int frame) { monitor.AfterFrame(frame); };
    SimRunner runner(options);
    std::string error;
    if (!runner.Run(&error)) {
        std::fprintf(stderr, "spindrel-soak: %s\n", error.c_str());
        return 1;
    }
    std::fputs(monitor.Report().c_str(), stdout);
    return 0;
}
