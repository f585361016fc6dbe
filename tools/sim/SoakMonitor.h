// SoakMonitor is responsible for watching a long run of the game: it samples
// the process's resident memory, the heap in use, the number of tasks and of
// resource entries, and times every frame's game logic and draw submission.
// It compares the first stretch of the run with the last, so that a leak or a
// slow-down over an hour of play shows as a difference.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

class SoakMonitor {
public:
    struct Sample {
        int frame = 0;
        double residentMb = 0;
        double heapMb = 0;
        size_t tasks = 0;
        size_t resources = 0;
    };
    struct Stretch {
        double residentMb = 0, heapMb = 0;   // the largest in the stretch
        size_t tasks = 0, resources = 0;     // the largest in the stretch
        double medianFrameMs = 0, slowestFrameMs = 0;
    };

    // `stretchFrames`: how many frames make the first and the last stretch.
    SoakMonitor(int sampleEvery, int stretchFrames);

    void BeforeFrame();
    void AfterFrame(int frame);

    Stretch First() const;
    Stretch Last() const;
    const std::vector<Sample>& Samples() const { return m_Samples; }
    // Every screen the run went through, in order, each time it changed.
    const std::vector<std::string>& Screens() const { return m_Screens; }
    // Memory as each battle began, by stage: a stage's first battle and its
    // last hold the same resources, so their difference is what leaked.
    struct BattleStart {
        int stage = 0;
        double residentMb = 0, heapMb = 0;
        size_t tasks = 0;
    };
    const std::vector<BattleStart>& BattleStarts() const { return m_BattleStarts; }
    // The heap growth from each stage's first battle to its last, the largest over the stages.
    double WorstHeapGrowthMb() const;
    std::string Report() const;

    static double ResidentMb();
    static double HeapMb();

private:
    Stretch Summarise(int fromFrame, int toFrame, const std::vector<double>& frameMs) const;

    int m_SampleEvery;
    int m_StretchFrames;
    int m_LastFrame = -1;
    std::chrono::steady_clock::time_point m_FrameStart;
    // Frame times of the first stretch, and of the last in a ring; both
    // reserved up front so the monitor's own memory stays flat.
    std::vector<double> m_FirstMs;
    std::vector<double> m_LastMs;
    size_t m_LastNext = 0;
    std::vector<Sample> m_Samples;
    std::vector<std::string> m_Screens;
    std::vector<BattleStart> m_BattleStarts;
};
