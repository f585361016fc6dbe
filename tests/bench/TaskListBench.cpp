// One update pass and one draw pass over a thousand tasks.
#include <benchmark/benchmark.h>

#include "core/Task.h"
#include "core/TaskList.h"

namespace {

class Busy : public CGameObject {
public:
    void Update() override { benchmark::DoNotOptimize(++m_Updates); }
    void Draw() override { benchmark::DoNotOptimize(++m_Draws); }

private:
    int m_Updates = 0, m_Draws = 0;
};

constexpr int TASK_COUNT = 1000;

void FillList()
{
    RemoveAllTasks();
    for (int i = 0; i < TASK_COUNT; ++i) AddTask(1 + (i * 7919) % 9000, new Busy, (i % 10 == 0) ? "named" : nullptr);
}

void BM_UpdatePass(benchmark::State& state)
{
    FillList();
    for (auto _ : state) UpdatePass();
    RemoveAllTasks();
}
BENCHMARK(BM_UpdatePass);

void BM_DrawPass(benchmark::State& state)
{
    FillList();
    for (auto _ : state) DrawPass();
    RemoveAllTasks();
}
BENCHMARK(BM_DrawPass);

void BM_AddAndClear(benchmark::State& state)
{
    for (auto _ : state) {
        FillList();
        ClearTasks();
    }
}
BENCHMARK(BM_AddAndClear);

}   // namespace
