// LineBatch is responsible for the interface's line drawing: two-point lines
// in back-buffer pixels with a colour, one pixel wide, no anti-aliasing. The
// lines between Begin and End are collected and drawn in one call at End (a
// graph is a couple of hundred short lines; one draw each costs more than
// their pixels on a software rasteriser).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

namespace plat {

class LineBatch {
public:
    explicit LineBatch(RenderDevice& device) : m_Device(device) {}

    void Begin();
    // A strip through the points (two points: one line), colour ARGB.
    void Draw(const Vec2* points, int count, uint32_t color);
    // Draws what was collected and restores the states Begin changed.
    void End();

private:
    void AddPoint(const Vec2& point, uint32_t color);

    RenderDevice& m_Device;
    DeviceState m_Saved;
    std::vector<Vertex> m_Vertices;   // a line list: two vertices a line
    bool m_Begun = false;
};

}   // namespace plat
