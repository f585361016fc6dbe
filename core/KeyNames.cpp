#include "core/KeyNames.h"

#include <algorithm>
#include <cctype>

namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

constexpr NamedKey kKeys[] = {
    {"ESCAPE", 0x01},      {"1", 0x02},           {"2", 0x03},
    {"3", 0x04},           {"4", 0x05},           {"5", 0x06},
    {"6", 0x07},           {"7", 0x08},           {"8", 0x09},
    {"9", 0x0A},           {"0", 0x0B},           {"MINUS", 0x0C},
    {"EQUALS", 0x0D},      {"BACKSPACE", 0x0E},   {"TAB", 0x0F},
    {"Q", 0x10},           {"W", 0x11},           {"E", 0x12},
    {"R", 0x13},           {"T", 0x14},           {"Y", 0x15},
    {"U", 0x16},           {"I", 0x17},           {"O", 0x18},
    {"P", 0x19},           {"LEFTBRACKET", 0x1A}, {"RIGHTBRACKET", 0x1B},
    {"ENTER", 0x1C},       {"LCTRL", 0x1D},       {"A", 0x1E},
    {"S", 0x1F},           {"D", 0x20},           {"F", 0x21},
    {"G", 0x22},           {"H", 0x23},           {"J", 0x24},
    {"K", 0x25},           {"L", 0x26},           {"SEMICOLON", 0x27},
    {"APOSTROPHE", 0x28},  {"GRAVE", 0x29},       {"LSHIFT", 0x2A},
    {"BACKSLASH", 0x2B},   {"Z", 0x2C},           {"X", 0x2D},
    {"C", 0x2E},           {"V", 0x2F},           {"B", 0x30},
    {"N", 0x31},           {"M", 0x32},           {"COMMA", 0x33},
    {"PERIOD", 0x34},      {"SLASH", 0x35},       {"RSHIFT", 0x36},
    {"KP_MULTIPLY", 0x37}, {"LALT", 0x38},        {"SPACE", 0x39},
    {"CAPSLOCK", 0x3A},    {"F1", 0x3B},          {"F2", 0x3C},
    {"F3", 0x3D},          {"F4", 0x3E},          {"F5", 0x3F},
    {"F6", 0x40},          {"F7", 0x41},          {"F8", 0x42},
    {"F9", 0x43},          {"F10", 0x44},         {"F11", 0x57},
    {"F12", 0x58},         {"KP_ENTER", 0x9C},    {"RCTRL", 0x9D},
    {"RALT", 0xB8},        {"HOME", 0xC7},        {"UP", 0xC8},
    {"PAGEUP", 0xC9},      {"LEFT", 0xCB},        {"RIGHT", 0xCD},
    {"END", 0xCF},         {"DOWN", 0xD0},        {"PAGEDOWN", 0xD1},
    {"INSERT", 0xD2},      {"DELETE", 0xD3},
};

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}   // namespace

std::optional<int> KeyNames::CodeOf(std::string_view name)
{
    for (const NamedKey& key : kKeys)
        if (SameIgnoringCase(key.name, name)) return key.code;
    return std::nullopt;
}

std::string_view KeyNames::NameOf(int code)
{
    for (const NamedKey& key : kKeys)
        if (key.code == code) return key.name;
    return {};
}
