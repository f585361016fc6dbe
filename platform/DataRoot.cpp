#include "platform/DataRoot.h"

namespace plat {

namespace {

std::string& Root()
{
    static std::string root;
    return root;
}

}   // namespace

void SetDataRoot(std::string root)
{
    // One separator between the root and every relative path.
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    Root() = std::move(root);
}

const std::string& GetDataRoot() { return Root(); }

std::string DataPath(std::string_view path)
{
    const std::string& root = Root();
    if (root.empty() || path.empty() || path.front() == '/') return std::string(path);
    std::string full = root;
    if (full.back() != '/') full += '/';
    full += path;
    return full;
}

}   // namespace plat
