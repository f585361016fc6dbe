#include "tools/sim/SoakMonitor.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/TaskList.h"
#include "game/CStage.h"
#include "tools/sim/TraceJson.h"

namespace {

constexpr double MB = 1024.0 * 1024.0;

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}   // namespace

SoakMonitor::SoakMonitor(int sampleEvery, int stretchFrames)
    : m_SampleEvery(std::max(sampleEvery, 1)), m_StretchFrames(std::max(stretchFrames, 1))
{
    m_FirstMs.reserve(static_cast<size_t>(m_StretchFrames));
    m_LastMs.reserve(static_cast<size_t>(m_StretchFrames));
    m_Samples.reserve(4096);
    m_Screens.reserve(4096);
    m_BattleStarts.reserve(1024);
}

double SoakMonitor::ResidentMb()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / MB;
}

double SoakMonitor::HeapMb()
{
    struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / MB;
}

void SoakMonitor::BeforeFrame() { m_FrameStart = std::chrono::steady_clock::now(); }

void SoakMonitor::AfterFrame(int frame)
{
    auto elapsed = std::chrono::steady_clock::now() - m_FrameStart;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    if (m_FirstMs.size() < static_cast<size_t>(m_StretchFrames)) m_FirstMs.push_back(ms);
    if (m_LastMs.size() < static_cast<size_t>(m_StretchFrames)) {
        m_LastMs.push_back(ms);
    } else {
        m_LastMs[m_LastNext] = ms;
        m_LastNext = (m_LastNext + 1) % m_LastMs.size();
    }
    m_LastFrame = frame;
    const char* shown = CurrentScreen();
    std::string screen = shown ? shown : "";
    if (!screen.empty() && (m_Screens.empty() || m_Screens.back() != screen)) {
        m_Screens.push_back(screen);
        if (screen == "battle")
            m_BattleStarts.push_back({g_StageIndex, ResidentMb(), HeapMb(), TaskList::Instance().Size()});
    }
    if (frame % m_SampleEvery != 0) return;
    Sample s;
    s.frame = frame;
    s.residentMb = ResidentMb();
    s.heapMb = HeapMb();
    s.tasks = TaskList::Instance().Size();
    s.resources = ResourceRegistry::Instance().Size();
    m_Samples.push_back(s);
}

SoakMonitor::Stretch SoakMonitor::Summarise(int fromFrame, int toFrame, const std::vector<double>& frameMs) const
{
    Stretch out;
    for (const Sample& s : m_Samples) {
        if (s.frame < fromFrame || s.frame >= toFrame) continue;
        out.residentMb = std::max(out.residentMb, s.residentMb);
        out.heapMb = std::max(out.heapMb, s.heapMb);
        out.tasks = std::max(out.tasks, s.tasks);
        out.resources = std::max(out.resources, s.resources);
    }
    const std::vector<double>& times = frameMs;
    out.medianFrameMs = Median(times);
    out.slowestFrameMs = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
    return out;
}

SoakMonitor::Stretch SoakMonitor::First() const { return Summarise(0, m_StretchFrames, m_FirstMs); }

SoakMonitor::Stretch SoakMonitor::Last() const
{
    const int end = m_LastFrame + 1;
    return Summarise(std::max(end - m_StretchFrames, 0), end, m_LastMs);
}

double SoakMonitor::WorstHeapGrowthMb() const
{
    double worst = 0;
    for (const BattleStart& first : m_BattleStarts) {
        for (auto last = m_BattleStarts.rbegin(); last != m_BattleStarts.rend(); ++last) {
            if (last->stage != first.stage) continue;
            worst = std::max(worst, last->heapMb - first.heapMb);
            break;
        }
    }
    return worst;
}

std::string SoakMonitor::Report() const
{
    auto line = [](const char* name, const Stretch& s) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "%-6s resident %7.1f MB  heap %7.2f MB  tasks %5zu  resources %3zu  "
                      "frame median %.3f ms  slowest %.3f ms\n",
                      name, s.residentMb, s.heapMb, s.tasks, s.resources, s.medianFrameMs, s.slowestFrameMs);
        return std::string(text);
    };
    const Stretch first = First(), last = Last();
    std::string text = "frames: " + std::to_string(m_LastFrame + 1) + ", screens changed " +
                       std::to_string(m_Screens.size()) + " times\n";
    text += line("first", first);
    text += line("last", last);
    char growth[160];
    std::snprintf(growth, sizeof growth, "growth: resident %+.2f MB, heap %+.3f MB\n",
                  last.residentMb - first.residentMb, last.heapMb - first.heapMb);
    text += growth;
    for (int stage = 0; stage < 5; ++stage) {
        const BattleStart* first = nullptr;
        const BattleStart* last = nullptr;
        int count = 0;
        for (const BattleStart& b : m_BattleStarts) {
            if (b.stage != stage) continue;
            if (!first) first = &b;
            last = &b;
            ++count;
        }
        if (!first) continue;
        std::snprintf(growth, sizeof growth,
                      "stage %d: %3d battles; at the first heap %.2f MB tasks %zu, at the last heap %.2f MB "
                      "tasks %zu\n",
                      stage + 1, count, first->heapMb, first->tasks, last->heapMb, last->tasks);
        text += growth;
    }
    std::snprintf(growth, sizeof growth, "largest heap growth between a stage's first and last battle: %.3f MB\n",
                  WorstHeapGrowthMb());
    text += growth;
    return text;
}
