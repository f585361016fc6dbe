// Stage loading: the loader routine on its worker thread over the whole table
// of one stage (every mesh, texture and sound, and the stage's tasks), as the
// loading screen runs it. Budget: 150 ms a stage. Runs on the generated data
// set in ./data (the build directory's), or the folder named by SPINDREL_DATA.
// The CPU column is the process's CPU time, that is the loader thread's work.
// The loader orders its files by what each cost the last time: the second
// argument 1 makes every load the first of its run, ordered by kind and size
// alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/ResourceRegistry.h"
#include "platform/AudioOutput.h"
#include "platform/MemoryPolicy.h"
#include "platform/audio/NullAudioOutput.h"
#include "stage/LoadCostBook.h"
#include "stage/StageLoader.h"

namespace {

namespace fs = std::filesystem;

fs::path DataDir()
{
    if (const char* dir = std::getenv("SPINDREL_DATA")) return dir;
    return fs::current_path() / "data";
}

void FreePrepared()
{
    for (const TaskEntry& entry : PendingTasks())
        if (entry.owned) delete entry.object;
    PendingTasks().clear();
    ClearResources();
}

void BM_StageLoad(benchmark::State& state)
{
    const int stageIndex = static_cast<int>(state.range(0));
    const bool firstOfRun = state.range(1) != 0;
    const fs::path data = DataDir();
    if (!fs::exists(data / "X" / "Top.x")) {
        state.SkipWithError("no generated data set (build the data target or set SPINDREL_DATA)");
        return;
    }
    const fs::path old = fs::current_path();
    fs::current_path(data);   // the game runs in its data folder
    plat::NullAudioOutput audio(0);
    plat::SetAudioOutput(&audio);
    plat::UseGameAllocationPolicy();   // as the game allocates

    if (firstOfRun) LoadCostBook::Shared().Forget();
    for (auto _ : state) {
        PendingTasks().clear();
        ClearLoadingDone();
        std::thread loader(LoadStage, stageIndex);
        loader.join();
        state.PauseTiming();
        if (!IsLoadingDone()) state.SkipWithError("loader did not finish");
        FreePrepared();
        if (firstOfRun) LoadCostBook::Shared().Forget();
        state.ResumeTiming();
    }

    plat::SetAudioOutput(nullptr);
    fs::current_path(old);
}

}   // namespace

// Wall time, and the process's CPU time (the loader thread's work, which does
// not depend on what else the machine is running).
BENCHMARK(BM_StageLoad)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 4, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
