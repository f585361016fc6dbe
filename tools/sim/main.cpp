// spindrel-sim: plays the real game headless with scripted keys and a virtual
// clock, writing a per-frame trace and screenshots.
#include <cstdio>
#include <string>

#include "tools/sim/SimRunner.h"

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!SimRunner::ParseArgs(argc, argv, &options, &error)) {
        std::fprintf(stderr, "spindrel-sim: %s\n", error.c_str());
        return 2;
    }
    SimRunner runner(options);
    if (!runner.Run(&error)) {
        std::fprintf(stderr, "spindrel-sim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
