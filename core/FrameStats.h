// FrameStats gathers what a player sees of the game's speed: how long each
// shown frame took, the process's CPU time over the play, and how soon the
// first frame appeared after the program started. `spindrel --stats` prints
// its report when the game closes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FrameStats {
public:
    void AddFrame(double ms) { m_FrameMs.push_back(ms); }
    void SetFirstFrameMs(double ms) { m_FirstFrameMs = ms; }
    // Frames the window already showed, so that nothing was drawn for them.
    void SetStillFrames(uint64_t frames) { m_StillFrames = frames; }
    // The play's length on the wall clock and the CPU time the process spent in it.
    void SetPlay(double wallSeconds, double cpuSeconds);

    size_t Frames() const { return m_FrameMs.size(); }
    // The frame time below which the share p (0..1) of frames fall, taking
    // the nearest frame at or above that rank; 0 with no frames.
    double Percentile(double p) const;
    double Median() const { return Percentile(0.5); }
    double Slowest() const;
    // CPU seconds per second of play (1.0 is one core busy); 0 before any play.
    double CpuPerSecond() const;

    // Lines of "name: value" for people and scripts alike.
    std::string Report() const;

private:
    std::vector<double> m_FrameMs;
    std::optional<double> m_FirstFrameMs;
    uint64_t m_StillFrames = 0;
    double m_WallSeconds = 0;
    double m_CpuSeconds = 0;
};
