// LineBatch is responsible for the interface's line drawing: two-point lines
// in back-buffer pixels with a colour, one pixel wide, no anti-aliasing.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

namespace plat {

class LineBatch {
public:
    explicit LineBatch(RenderDevice& device) : m_device(device) {}

    void Begin();
    // A strip through the points (two points: one line), colour ARGB.
    void Draw(const Vec2* points, int count, uint32_t color);
    void End();

private:
    RenderDevice& m_device;
    DeviceState m_saved;
    std::vector<Vertex> m_vertices;
    bool m_begun = false;
};

}  // namespace plat
