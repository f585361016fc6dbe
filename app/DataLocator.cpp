#include "app/DataLocator.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Folders every data set has; the game loads from each of them.
constexpr const char* kDataSubfolders[] = {"X", "texture", "sound", "bgm"};

std::string Absolute(const std::string& folder)
{
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    return ec ? folder : path.string();
}

}   // namespace

bool DataLocator::IsDataFolder(const std::string& folder)
{
    if (folder.empty()) return false;
    std::error_code ec;
    for (const char* sub : kDataSubfolders)
        if (!fs::is_directory(fs::path(folder) / sub, ec)) return false;
    return true;
}

DataLocator::Places DataLocator::ThisProcess(const std::string& commandLineFolder)
{
    Places places;
    places.commandLine = commandLineFolder;
    if (const char* env = std::getenv(ENVIRONMENT_VARIABLE)) places.environment = env;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) places.executableFolder = exe.parent_path().string();
    fs::path current = fs::current_path(ec);
    places.currentFolder = ec ? std::string(".") : current.string();
    return places;
}

DataLocator::Result DataLocator::Locate(const Places& places)
{
    std::vector<std::string> candidates;
    if (!places.commandLine.empty()) {
        candidates.push_back(places.commandLine);
    } else if (places.environment && !places.environment->empty()) {
        candidates.push_back(*places.environment);
    } else {
        if (!places.executableFolder.empty()) {
            candidates.push_back((fs::path(places.executableFolder) / INSTALLED_FOLDER).string());
            candidates.push_back((fs::path(places.executableFolder) / BUILD_FOLDER).string());
        }
        candidates.push_back(places.currentFolder.empty() ? std::string(".") : places.currentFolder);
    }

    Result result;
    for (const std::string& candidate : candidates) {
        std::string folder = Absolute(candidate);
        result.tried.push_back(folder);
        if (IsDataFolder(folder)) {
            result.found = true;
            result.folder = folder;
            break;
        }
    }
    return result;
}

std::string DataLocator::FailureMessage(const Result& result)
{
    std::string text = "spindrel: cannot find the game's data (folders X, texture, sound and bgm); tried:\n";
    for (const std::string& folder : result.tried) text += "  " + folder + "\n";
    text += "Name the data folder with --data DIR or the environment variable ";
    text += ENVIRONMENT_VARIABLE;
    text += ".\n";
    return text;
}
