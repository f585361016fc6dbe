#include "core/FrameStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void FrameStats::SetPlay(double wallSeconds, double cpuSeconds)
{
    m_WallSeconds = wallSeconds;
    m_CpuSeconds = cpuSeconds;
}

double FrameStats::Percentile(double p) const
{
    if (m_FrameMs.empty()) return 0;
    std::vector<double> sorted = m_FrameMs;
    std::sort(sorted.begin(), sorted.end());
    const double clamped = std::clamp(p, 0.0, 1.0);
    const size_t rank = static_cast<size_t>(std::ceil(clamped * static_cast<double>(sorted.size())));
    return sorted[rank == 0 ? 0 : rank - 1];
}

double FrameStats::Slowest() const
{
    return m_FrameMs.empty() ? 0 : *std::max_element(m_FrameMs.begin(), m_FrameMs.end());
}

double FrameStats::CpuPerSecond() const { return m_WallSeconds > 0 ? m_CpuSeconds / m_WallSeconds : 0; }

std::string FrameStats::Report() const
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "frames shown: %zu\n"
                  "median frame: %.1f ms\n"
                  "99th percentile frame: %.1f ms\n"
                  "slowest frame: %.1f ms\n"
                  "cpu per second of play: %.0f %%\n"
                  "still frames not drawn again: %llu\n",
                  Frames(), Median(), Percentile(0.99), Slowest(), CpuPerSecond() * 100.0,
                  static_cast<unsigned long long>(m_StillFrames));
    std::string report = text;
    if (m_FirstFrameMs) {
        std::snprintf(text, sizeof text, "first frame after start: %.0f ms\n", *m_FirstFrameMs);
        report += text;
    }
    return report;
}
