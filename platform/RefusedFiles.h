// RefusedFiles is responsible for telling the player which data files the
// game could not use: a reader that refuses a file, or uses only part of it,
// reports it here with the reason, and the first report of each file and
// reason is written once to standard error ("spindrel: refused X/Top.x:
// missing"). The game then plays on without the file as before; the list
// stays for the runner's trace. Readers may report from the loader thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct RefusedFile {
    std::string file;   // as the game named it, relative to the data root
    std::string why;    // "missing", "cut short", "not a picture", ...
};

class RefusedFiles {
public:
    // The reasons every reader shares.
    static constexpr const char* kMissing = "missing";
    static constexpr const char* kUnreadable = "cannot be read";
    static constexpr const char* kEmpty = "empty";
    static constexpr const char* kTooLarge = "too large";
    static constexpr const char* kCutShort = "cut short";

    // Why a file could not be opened, from errno as the failed open left it.
    static const char* WhyCannotOpen();

    // Where the one-line messages go; the default writes to standard error.
    using Sink = std::function<void(const std::string& message)>;

    // Records a refusal; a file already reported with the same reason is not repeated.
    static void Report(std::string_view file, std::string_view why);
    // Every refusal so far, in the order reported.
    static std::vector<RefusedFile> List();
    // Forgets every refusal, so that a new run reports its own.
    static void Clear();
    // Replaces the message sink (a null sink restores standard error) and
    // returns the one it replaced.
    static Sink SetSink(Sink sink);
};

}   // namespace plat
