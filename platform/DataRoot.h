// The data root is the folder the game's data files are read from. Every
// file the game opens is named relative to it ("X/Top.x", "bgm/Title.mp3"),
// so the game can be started from any folder without moving the process's
// current directory. It is set once at start-up, before any loader thread
// runs, and only read afterwards.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Sets the folder relative paths are resolved against; empty means the
// current directory (the default).
void SetDataRoot(std::string root);
const std::string& GetDataRoot();

// The path to open for a data file: absolute paths and an empty root leave
// the path as it is; otherwise it is placed under the root.
std::string DataPath(std::string_view path);

}   // namespace plat
