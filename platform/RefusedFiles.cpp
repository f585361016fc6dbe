#include "platform/RefusedFiles.h"

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace plat {

namespace {

// Far more than a damaged install can produce; beyond it further refusals are
// dropped, so that no data set can grow the list without end.
constexpr size_t kMaxListed = 1000;

struct State {
    std::mutex mutex;
    std::vector<RefusedFile> list;
    RefusedFiles::Sink sink;
};

State& Shared()
{
    static State state;
    return state;
}

void WriteToStandardError(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
}

}   // namespace

const char* RefusedFiles::WhyCannotOpen() { return (errno == ENOENT || errno == ENOTDIR) ? kMissing : kUnreadable; }

void RefusedFiles::Report(std::string_view file, std::string_view why)
{
    State& state = Shared();
    Sink sink;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        for (const RefusedFile& known : state.list)
            if (known.file == file && known.why == why) return;
        if (state.list.size() >= kMaxListed) return;
        state.list.push_back({std::string(file), std::string(why)});
        sink = state.sink;
    }
    const std::string message = "spindrel: refused " + std::string(file) + ": " + std::string(why);
    if (sink)
        sink(message);
    else
        WriteToStandardError(message);
}

std::vector<RefusedFile> RefusedFiles::List()
{
    State& state = Shared();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.list;
}

void RefusedFiles::Clear()
{
    State& state = Shared();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.list.clear();
}

RefusedFiles::Sink RefusedFiles::SetSink(Sink sink)
{
    State& state = Shared();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::swap(state.sink, sink);
    return sink;
}

}   // namespace plat
