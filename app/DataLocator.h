// DataLocator is responsible for finding the folder that holds the game's
// data, so that the game runs from wherever it is started. In this order:
//   - the folder given on the command line (--data DIR),
//   - the folder named by the environment variable SPINDREL_DATA,
//   - ../share/spindrel beside the executable (an installed game),
//   - data/ beside the executable (the build tree),
//   - the current folder.
// A folder the player named (either of the first two) is the only one tried: if it holds no
// data, the game says so instead of quietly playing from somewhere else.
#pragma once

#include <optional>
#include <string>
#include <vector>

class DataLocator {
public:
    static constexpr const char* ENVIRONMENT_VARIABLE = "SPINDREL_DATA";
    static constexpr const char* INSTALLED_FOLDER = "../share/spindrel";
    static constexpr const char* BUILD_FOLDER = "data";

    // Everything the search looks at, gathered once so tests can fake it.
    struct Places {
        std::string commandLine;                  // empty: not given
        std::optional<std::string> environment;   // unset or empty: not given
        std::string executableFolder;             // empty: unknown
        std::string currentFolder;
    };

    struct Result {
        bool found = false;
        std::string folder;               // absolute, when found
        std::vector<std::string> tried;   // every folder looked at, in order
    };

    // The places of this process: the environment, /proc/self/exe and the
    // current directory.
    static Places ThisProcess(const std::string& commandLineFolder);

    static Result Locate(const Places& places);

    // A data folder holds the game's folders of meshes, pictures, sound and music.
    static bool IsDataFolder(const std::string& folder);

    // The message for standard error when nothing was found.
    static std::string FailureMessage(const Result& result);
};
