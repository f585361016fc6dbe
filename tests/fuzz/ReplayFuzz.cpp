// Fuzz target for the replay reader: any bytes are read as a replay, as they
// are and sealed with a fresh checksum (so the fields behind the checksum are
// reached too). What it accepts must write out as a replay that reads back
// to the same text again.
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/Replay.h"

namespace {

void CheckRoundTrip(const Replay& replay)
{
    const std::string written = replay.Serialize();
    Replay again;
    std::string error;
    if (!Replay::Parse(written, &again, &error) || again.Serialize() != written) __builtin_trap();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    Replay replay;
    std::string error;
    if (Replay::Parse(text, &replay, &error)) CheckRoundTrip(replay);

    // The same bytes with any checksum line cut off and a valid one added.
    size_t mark = text.rfind("checksum ");
    std::string body = mark == std::string::npos ? text : text.substr(0, mark);
    char line[32];
    std::snprintf(line, sizeof line, "checksum %016llx\n",
                  static_cast<unsigned long long>(Replay::Checksum(body, body.size())));
    Replay sealed;
    if (Replay::Parse(body + line, &sealed, &error)) CheckRoundTrip(sealed);
    return 0;
}
