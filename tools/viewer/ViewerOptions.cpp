#include "tools/viewer/ViewerOptions.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

constexpr int MAX_SIDE = 8192;

bool ParseFloat(const char* text, float* out)
{
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, *out);
    return ec == std::errc() && ptr == end;
}

bool ParseSize(const char* text, int* width, int* height)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return false;
    if (w <= 0 || h <= 0 || w > MAX_SIDE || h > MAX_SIDE) return false;
    *width = w;
    *height = h;
    return true;
}

bool ParseKey(const char* text, uint32_t* key)
{
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, *key, 16);
    return ec == std::errc() && ptr == end && ptr != text;
}

}   // namespace

const char* ViewerUsage()
{
    return "usage: spindrel-view --out file.png [--size WxH] [--yaw deg] [--pitch deg] [--outline scale]\n"
           "                     [--key AARRGGBB] input.x|input.png|input.bmp|input.jpg...\n";
}

bool ParseViewerOptions(int argc, char** argv, ViewerOptions* options, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        const char* value = hasValue ? argv[i + 1] : "";
        bool ok = true;
        if (arg == "--out")
            ok = hasValue && (options->out = value, true);
        else if (arg == "--size")
            ok = hasValue && ParseSize(value, &options->width, &options->height);
        else if (arg == "--yaw")
            ok = hasValue && ParseFloat(value, &options->yawDegrees);
        else if (arg == "--pitch")
            ok = hasValue && ParseFloat(value, &options->pitchDegrees);
        else if (arg == "--outline")
            ok = hasValue && ParseFloat(value, &options->outlineScale);
        else if (arg == "--key")
            ok = hasValue && ParseKey(value, &options->colorKey);
        else if (arg.rfind("--", 0) == 0) {
            *error = "unknown option " + arg;
            return false;
        } else {
            options->inputs.push_back(arg);
            continue;
        }
        if (!ok) {
            *error = "bad or missing value for " + arg;
            return false;
        }
        ++i;
    }
    if (options->out.empty())
        *error = "--out is required";
    else if (options->inputs.empty())
        *error = "no input given";
    return error->empty();
}
