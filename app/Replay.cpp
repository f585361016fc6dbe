#include "app/Replay.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/CommandLine.h"
#include "core/SettingsBook.h"
#include "platform/KeySource.h"

namespace {

constexpr const char* MAGIC = "spindrel-replay 1";
constexpr size_t MAX_FRAMES = 50'000'000;   // fourteen days of play: anything more is damage
constexpr size_t MAX_FILE_BYTES = 1u << 30;
constexpr int STAGE_COUNT = 5;
constexpr const char* HOW_TO_PLAY_LINE = "how-to-play shown";
constexpr const char* VERSUS_LINE = "versus";
constexpr size_t MIN_FRAME_LINE = 9;   // "0 - 00 0" and its newline

}   // namespace

// FNV-1a over the text before the checksum line: any changed byte shows.
uint64_t Replay::Checksum(const std::string& text, size_t length)
{
    uint64_t h = 0xcbf29ce484222325ULL;
    for (size_t i = 0; i < length; ++i) {
        h ^= static_cast<unsigned char>(text[i]);
        h *= 0x100000001b3ULL;
    }
    return h;
}

namespace {

char ReadMark(const Replay::Frame& f)
{
    if (!f.keysRead) return '-';
    return f.readOk ? 'k' : 'f';
}

// Reads one whole line of "NAME VALUE" with an unsigned value in range.
bool ReadField(std::istringstream& in, const char* name, uint64_t max, uint64_t* value)
{
    std::string line;
    if (!std::getline(in, line)) return false;
    std::string expected = std::string(name) + " ";
    if (line.compare(0, expected.size(), expected) != 0) return false;
    const char* digits = line.c_str() + expected.size();
    if (*digits < '0' || *digits > '9') return false;
    char* end = nullptr;
    unsigned long long v = std::strtoull(digits, &end, 10);
    if (*end != '\0' || v > max) return false;
    *value = v;
    return true;
}

bool ParseFrame(const std::string& line, Replay::Frame* f)
{
    unsigned long ms = 0;
    char mark = 0;
    unsigned keys = 0, handOver = 0;
    int used = 0;
    if (line.empty() || line[0] < '0' || line[0] > '9') return false;
    if (std::sscanf(line.c_str(), "%10lu %c %4x %1u%n", &ms, &mark, &keys, &handOver, &used) != 4) return false;
    if (static_cast<size_t>(used) != line.size() || ms > UINT32_MAX || handOver > 1) return false;
    if (mark != '-' && mark != 'k' && mark != 'f') return false;
    if (keys >= (1u << Replay::KEY_COUNT) || (mark != 'k' && keys != 0)) return false;
    f->frameMs = static_cast<uint32_t>(ms);
    f->keysRead = mark != '-';
    f->readOk = mark == 'k';
    f->keys = static_cast<uint16_t>(keys);
    f->handOver = handOver == 1;
    return true;
}

}   // namespace

const int Replay::KEY_CODES[FIRST_KEY_COUNT] = {plat::KEY_Z,     plat::KEY_UP,     plat::KEY_DOWN, plat::KEY_LEFT,
                                                plat::KEY_RIGHT, plat::KEY_ESCAPE, plat::KEY_P,    plat::KEY_PAUSE};

namespace {

// The code of each kept key in this process: the second player's as bound now.
std::array<int, Replay::KEY_COUNT> KeptCodes()
{
    std::array<int, Replay::KEY_COUNT> codes{};
    std::copy(std::begin(Replay::KEY_CODES), std::end(Replay::KEY_CODES), codes.begin());
    const Settings::KeyMap& second = SettingsBook::Used().keys[1];
    const Settings::Action actions[Replay::SECOND_PLAYER_KEYS] = {Settings::ACTION_UP, Settings::ACTION_DOWN,
                                                                  Settings::ACTION_LEFT, Settings::ACTION_RIGHT,
                                                                  Settings::ACTION_DASH};
    for (int i = 0; i < Replay::SECOND_PLAYER_KEYS; ++i) codes[Replay::FIRST_KEY_COUNT + i] = second[actions[i]];
    return codes;
}

bool ValidCode(int code) { return code >= 0 && code < 256; }

}   // namespace

std::string Replay::GameVersion() { return std::string(CommandLine::Version()); }

uint16_t Replay::PackKeys(const uint8_t keys[256])
{
    uint16_t bits = 0;
    const std::array<int, KEY_COUNT> codes = KeptCodes();
    for (int i = 0; i < KEY_COUNT; ++i)
        if (ValidCode(codes[i]) && (keys[codes[i]] & plat::KEY_DOWN_BIT)) bits |= static_cast<uint16_t>(1u << i);
    return bits;
}

void Replay::UnpackKeys(uint16_t bits, uint8_t keys[256])
{
    for (int i = 0; i < 256; ++i) keys[i] = 0;
    const std::array<int, KEY_COUNT> codes = KeptCodes();
    for (int i = 0; i < KEY_COUNT; ++i)
        if ((bits & (1u << i)) && ValidCode(codes[i])) keys[codes[i]] = plat::KEY_DOWN_BIT;
}

std::string Replay::Serialize() const
{
    std::string text;
    char line[96];
    text += MAGIC;
    text += "\ngame " + GameVersion() + "\n";
    std::snprintf(line, sizeof line, "seed %" PRIu32 "\n", seed);
    text += line;
    std::snprintf(line, sizeof line, "stage %d\n", startStage + 1);   // 0: the title
    text += line;
    // Only sessions that showed the card say so; older replays read the same.
    if (howToPlay) text += std::string(HOW_TO_PLAY_LINE) + "\n";
    if (versus) text += std::string(VERSUS_LINE) + "\n";
    std::snprintf(line, sizeof line, "clock %" PRIu32 "\nframes %zu\n", startMs, frames.size());
    text += line;
    for (const Frame& f : frames) {
        std::snprintf(line, sizeof line, "%" PRIu32 " %c %02x %d\n", f.frameMs, ReadMark(f),
                      static_cast<unsigned>(f.keys), f.handOver ? 1 : 0);
        text += line;
    }
    std::snprintf(line, sizeof line, "checksum %016" PRIx64 "\n", Checksum(text, text.size()));
    text += line;
    return text;
}

bool Replay::Parse(const std::string& text, Replay* out, std::string* error)
{
    auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    // The checksum first: a damaged file is refused before anything is read from it.
    size_t mark = text.rfind("checksum ");
    if (mark == std::string::npos || (mark > 0 && text[mark - 1] != '\n'))
        return fail("not a complete replay (no checksum at its end)");
    constexpr size_t CHECKSUM_LINE = 26;   // "checksum " and 16 hex digits and the newline
    const std::string hex = text.substr(mark + 9, 16);
    if (text.size() != mark + CHECKSUM_LINE || text.back() != '\n' ||
        hex.find_first_not_of("0123456789abcdef") != std::string::npos)
        return fail("not a complete replay (its checksum line is damaged)");
    if (std::strtoull(hex.c_str(), nullptr, 16) != Checksum(text, mark))
        return fail("the replay is damaged (its checksum does not match)");

    std::istringstream in(text.substr(0, mark));
    std::string line;
    if (!std::getline(in, line) || line != MAGIC) return fail("not a replay of this game");
    if (!std::getline(in, line) || line.compare(0, 5, "game ") != 0) return fail("the replay names no game version");
    if (line.substr(5) != GameVersion())
        return fail("the replay was recorded by version " + line.substr(5) + " and this is version " + GameVersion());

    Replay r;
    uint64_t seed = 0, stage = 0, clock = 0, count = 0;
    if (!ReadField(in, "seed", UINT32_MAX, &seed)) return fail("the replay's seed is damaged");
    if (!ReadField(in, "stage", STAGE_COUNT, &stage)) return fail("the replay's first screen is damaged");
    const std::streampos afterStage = in.tellg();
    if (std::getline(in, line) && line == HOW_TO_PLAY_LINE)
        r.howToPlay = true;
    else
        in.seekg(afterStage);
    const std::streampos afterCard = in.tellg();
    if (std::getline(in, line) && line == VERSUS_LINE)
        r.versus = true;
    else
        in.seekg(afterCard);
    if (!ReadField(in, "clock", UINT32_MAX, &clock)) return fail("the replay's clock is damaged");
    if (!ReadField(in, "frames", MAX_FRAMES, &count)) return fail("the replay's frame count is damaged");
    // The count is checked against the lines the file can still hold before
    // any room is reserved for it.
    const std::streamoff read = in.tellg();
    const size_t left = read < 0 ? 0 : mark - static_cast<size_t>(read);
    if (count > left / MIN_FRAME_LINE) return fail("the replay's frame count is more than the file holds");
    r.seed = static_cast<uint32_t>(seed);
    r.startStage = static_cast<int>(stage) - 1;
    r.startMs = static_cast<uint32_t>(clock);
    r.frames.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        Frame f;
        if (!std::getline(in, line) || !ParseFrame(line, &f))
            return fail("frame " + std::to_string(i) + " of the replay is damaged");
        r.frames.push_back(f);
    }
    if (std::getline(in, line)) return fail("the replay has more frames than it says");
    *out = std::move(r);
    return true;
}

bool Replay::Save(const std::string& path, std::string* error) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string text = Serialize();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        if (error) *error = "cannot write the replay " + path;
        return false;
    }
    return true;
}

bool Replay::Load(const std::string& path, Replay* out, std::string* error)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        if (error) *error = "cannot read the replay " + path;
        return false;
    }
    std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > MAX_FILE_BYTES) {
        if (error) *error = "the replay " + path + " is too large to be one";
        return false;
    }
    std::string text(static_cast<size_t>(size), '\0');
    file.seekg(0);
    file.read(text.data(), size);
    if (!file) {
        if (error) *error = "cannot read the replay " + path;
        return false;
    }
    return Parse(text, out, error);
}
