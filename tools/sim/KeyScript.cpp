#include "tools/sim/KeyScript.h"

#include <utility>

#include "core/KeyNames.h"
#include "core/Settings.h"

#include <fstream>
#include <sstream>

#include "platform/KeySource.h"

int KeyScript::KeyCode(const std::string& name)
{
    if (name == "Z") return plat::KEY_Z;
    if (name == "UP") return plat::KEY_UP;
    if (name == "DOWN") return plat::KEY_DOWN;
    if (name == "LEFT") return plat::KEY_LEFT;
    if (name == "RIGHT") return plat::KEY_RIGHT;
    if (name == "ESCAPE") return plat::KEY_ESCAPE;
    if (name == "P") return plat::KEY_P;
    // The second player's keys by action, as the default settings bind them.
    static constexpr std::pair<const char*, Settings::Action> SECOND_PLAYER[] = {
        {"P2_UP", Settings::ACTION_UP},       {"P2_DOWN", Settings::ACTION_DOWN}, {"P2_LEFT", Settings::ACTION_LEFT},
        {"P2_RIGHT", Settings::ACTION_RIGHT}, {"P2_DASH", Settings::ACTION_DASH}, {"P2_PAUSE", Settings::ACTION_PAUSE}};
    for (const auto& [second, action] : SECOND_PLAYER)
        if (name == second) return Settings::DefaultKeys()[1][action];
    // Any other key by its name in the settings file (W, LSHIFT, SPACE...).
    return KeyNames::CodeOf(name).value_or(-1);
}

bool KeyScript::Parse(const std::string& text, std::string* error)
{
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        std::string keyName, state, extra;
        words >> keyName >> state;
        char* end = nullptr;
        long frame = std::strtol(first.c_str(), &end, 10);
        int key = KeyCode(keyName);
        bool ok =
            end && *end == '\0' && frame >= 0 && key >= 0 && (state == "down" || state == "up") && !(words >> extra);
        if (!ok) {
            if (error) *error = "key script line " + std::to_string(lineNo) + ": expected 'FRAME KEY down|up'";
            return false;
        }
        m_Events.push_back({static_cast<int>(frame), key, state == "down"});
    }
    return true;
}

bool KeyScript::Load(const std::string& path, std::string* error)
{
    std::ifstream file(path);
    if (!file) {
        if (error) *error = "cannot read key script " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    return Parse(text.str(), error);
}

std::vector<KeyScript::Event> KeyScript::EventsAt(int frame) const
{
    std::vector<Event> out;
    for (const Event& e : m_Events)
        if (e.frame == frame) out.push_back(e);
    return out;
}
