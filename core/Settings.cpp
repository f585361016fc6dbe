#include "core/Settings.h"

#include <charconv>
#include <optional>
#include <set>

#include "core/KeyNames.h"

namespace {

constexpr std::string_view kAudio = "audio";
constexpr std::string_view kVideo = "video";
constexpr std::string_view kMusicVolume = "music_volume";
constexpr std::string_view kEffectsVolume = "effects_volume";
constexpr std::string_view kFullscreen = "fullscreen";
constexpr std::string_view kWindowWidth = "window_width";
constexpr std::string_view kWindowHeight = "window_height";

constexpr std::string_view kActionNames[Settings::ACTION_COUNT] = {"up", "down", "left", "right", "dash", "pause"};

// The game's key codes for the default bindings.
constexpr int kKeyUp = 0xC8, kKeyDown = 0xD0, kKeyLeft = 0xCB, kKeyRight = 0xCD, kKeyZ = 0x2C, kKeyP = 0x19;
constexpr int kKeyEscape = 0x01, kKeyF11 = 0x57;
constexpr int kKeyW = 0x11, kKeyS = 0x1F, kKeyA = 0x1E, kKeyD = 0x20, kKeyLeftShift = 0x2A, kKeyTab = 0x0F;

std::string KeySection(int player) { return "keys.player" + std::to_string(player + 1); }

std::optional<int> ParseInteger(std::string_view text, int low, int high)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<bool> ParseBool(std::string_view text)
{
    if (text == "true" || text == "yes" || text == "1" || text == "on") return true;
    if (text == "false" || text == "no" || text == "0" || text == "off") return false;
    return std::nullopt;
}

}   // namespace

std::array<Settings::KeyMap, Settings::kPlayers> Settings::DefaultKeys()
{
    return {
        {{kKeyUp, kKeyDown, kKeyLeft, kKeyRight, kKeyZ, kKeyP}, {kKeyW, kKeyS, kKeyA, kKeyD, kKeyLeftShift, kKeyTab}}};
}

std::string_view Settings::ActionName(Action action)
{
    return action >= 0 && action < ACTION_COUNT ? kActionNames[action] : std::string_view();
}

float Settings::VolumeGain(int volume)
{
    if (volume <= 0) return 0.0f;
    if (volume >= kMaxVolume) return 1.0f;
    const float share = static_cast<float>(volume) / kMaxVolume;
    return share * share;
}

bool Settings::IsReservedKey(int code) { return code == kKeyEscape || code == kKeyF11; }

Settings Settings::Read(std::string_view text, std::vector<IniProblem>* problems, IniDocument* document)
{
    std::vector<IniProblem> found;
    IniDocument lines = IniDocument::Parse(text, &found);
    Settings settings;
    settings.ReadAudio(lines, &found);
    settings.ReadVideo(lines, &found);
    settings.ReadKeys(lines, &found);
    if (problems) *problems = std::move(found);
    if (document) *document = std::move(lines);
    return settings;
}

void Settings::ReadAudio(const IniDocument& document, std::vector<IniProblem>* problems)
{
    for (auto [key, target] : {std::pair{kMusicVolume, &musicVolume}, std::pair{kEffectsVolume, &effectsVolume}}) {
        const auto value = document.Get(kAudio, key);
        if (!value) continue;
        if (auto volume = ParseInteger(*value, 0, kMaxVolume))
            *target = *volume;
        else
            problems->push_back({document.LineOf(kAudio, key), std::string(key) + " must be 0 to 100"});
    }
}

void Settings::ReadVideo(const IniDocument& document, std::vector<IniProblem>* problems)
{
    if (const auto value = document.Get(kVideo, kFullscreen)) {
        if (auto full = ParseBool(*value))
            fullscreen = *full;
        else
            problems->push_back({document.LineOf(kVideo, kFullscreen), "fullscreen must be true or false"});
    }
    for (auto [key, target] : {std::pair{kWindowWidth, &windowWidth}, std::pair{kWindowHeight, &windowHeight}}) {
        const auto value = document.Get(kVideo, key);
        if (!value) continue;
        if (auto side = ParseInteger(*value, kMinWindowSide, kMaxWindowSide))
            *target = *side;
        else
            problems->push_back({document.LineOf(kVideo, key), std::string(key) + " must be 240 to 16384"});
    }
}

void Settings::ReadKeys(const IniDocument& document, std::vector<IniProblem>* problems)
{
    for (int player = 0; player < kPlayers; ++player) {
        const std::string section = KeySection(player);
        for (int action = 0; action < ACTION_COUNT; ++action) {
            const auto value = document.Get(section, kActionNames[action]);
            if (!value) continue;
            const auto code = KeyNames::CodeOf(*value);
            if (code && !IsReservedKey(*code))
                keys[player][action] = *code;
            else if (code)
                problems->push_back({document.LineOf(section, kActionNames[action]), *value + " cannot be bound"});
            else
                problems->push_back(
                    {document.LineOf(section, kActionNames[action]), "no key is called '" + *value + "'"});
        }
    }
    // One key for two actions cannot be told apart: back to the default keys.
    std::set<int> used;
    for (const KeyMap& map : keys)
        for (int code : map)
            if (!used.insert(code).second) {
                problems->push_back({0, "the key " + std::string(KeyNames::NameOf(code)) +
                                            " is bound twice; the default keys are used"});
                keys = DefaultKeys();
                return;
            }
}

std::string Settings::Write(IniDocument document) const
{
    document.Set(kAudio, kMusicVolume, std::to_string(musicVolume));
    document.Set(kAudio, kEffectsVolume, std::to_string(effectsVolume));
    document.Set(kVideo, kFullscreen, fullscreen ? "true" : "false");
    document.Set(kVideo, kWindowWidth, std::to_string(windowWidth));
    document.Set(kVideo, kWindowHeight, std::to_string(windowHeight));
    for (int player = 0; player < kPlayers; ++player)
        for (int action = 0; action < ACTION_COUNT; ++action)
            document.Set(KeySection(player), kActionNames[action], KeyNames::NameOf(keys[player][action]));
    return document.Serialize();
}

void Settings::BindKey(int player, Action action, int code)
{
    if (player < 0 || player >= kPlayers || action < 0 || action >= ACTION_COUNT || KeyNames::NameOf(code).empty() ||
        IsReservedKey(code))
        return;
    int& target = keys[player][action];
    for (KeyMap& map : keys)
        for (int& bound : map)
            if (&bound != &target && bound == code) bound = target;
    target = code;
}
