// The command line of spindrel-view:
//   spindrel-view --out file.png [--size WxH] [--yaw deg] [--pitch deg]
//                 [--outline scale] [--key AARRGGBB] input...
// One input is drawn to the whole picture; several make a contact sheet, a
// grid with one cell per input in the order given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ViewerOptions {
    std::string out;
    int width = 0, height = 0;    // 0: chosen from the number of inputs
    float yawDegrees = 30;        // turntable angle about the vertical axis
    float pitchDegrees = 20;      // camera height above the horizon
    float outlineScale = 1.05f;   // the game's black rim; 0 for none
    uint32_t colorKey = 0;        // for pictures
    std::vector<std::string> inputs;
};

// False, with the reason in *error, on bad arguments.
bool ParseViewerOptions(int argc, char** argv, ViewerOptions* options, std::string* error);
const char* ViewerUsage();
