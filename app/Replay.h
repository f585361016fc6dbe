// Replay is responsible for one recorded session of the game: the seed, the
// first screen, and for every frame the frame time the game stamped, the keys
// it read and whether a stage load handed over. Played back on the virtual
// clock it repeats the session frame for frame. The file is text, carries the
// game's version and ends with a checksum: a file of another version, or one
// damaged in any way, is refused with a message instead of being played wrongly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Replay {
public:
    // The keys a replay keeps, as bits of Frame::keys: the first player's
    // and the screens' keys by their codes, then the second player's up,
    // down, left, right and dash as the settings in use bind them (so a
    // session replays the same under other key settings).
    static constexpr int FIRST_KEY_COUNT = 8;
    static const int KEY_CODES[FIRST_KEY_COUNT];   // Z, Up, Down, Left, Right, Escape, P, Pause
    static constexpr int SECOND_PLAYER_KEYS = 5;
    static constexpr int KEY_COUNT = FIRST_KEY_COUNT + SECOND_PLAYER_KEYS;

    struct Frame {
        uint32_t frameMs = 0;    // the frame time stamped at the end of the frame
        bool keysRead = false;   // the game read the keyboard in this frame
        bool readOk = false;     // the read succeeded (the window had the focus)
        uint16_t keys = 0;       // bits of the kept keys held in that read
        bool handOver = false;   // a stage load handed over in this frame
    };

    uint32_t seed = 0;
    int startStage = -1;      // -1: the title; 0..4: that stage loaded at once
    uint32_t startMs = 0;     // the clock when the game started
    bool howToPlay = false;   // the way to stage 1 showed the how-to-play card
    bool versus = false;      // the stage loaded at once is a versus match's arena
    std::vector<Frame> frames;

    // The game's version, written into every replay and required to play one.
    static std::string GameVersion();

    // The keys of a 256-byte keyboard state as replay bits, and back.
    static uint16_t PackKeys(const uint8_t keys[256]);
    static void UnpackKeys(uint16_t bits, uint8_t keys[256]);

    // The whole file as text, and back. Parse refuses (false, with the reason
    // in *error) anything but a complete, undamaged replay of this version.
    std::string Serialize() const;
    static bool Parse(const std::string& text, Replay* out, std::string* error);

    // The checksum that closes a file, over its first `length` bytes.
    static uint64_t Checksum(const std::string& text, size_t length);

    bool Save(const std::string& path, std::string* error) const;
    static bool Load(const std::string& path, Replay* out, std::string* error);
};
