// SpriteBatch is responsible for the shared 2-D drawing of screens and effects:
// textured rectangles in back-buffer pixels, each placed by its own transform.
// Begin saves the device state and sets alpha blending (source alpha, inverse
// source alpha), no depth test, no culling, no lighting; Draw queues; Flush
// submits the queue with the blend state of that moment (the game switches the
// destination blend between flushes for glowing copies); End flushes and
// restores the saved state.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

namespace plat {

class SpriteBatch {
public:
    explicit SpriteBatch(RenderDevice& device) : m_Device(device) {}

    void Begin();
    void SetTransform(const Mat4& m) { m_Transform = m; }
    const Mat4& GetTransform() const { return m_Transform; }
    // Queues the source rectangle of the texture, its top-left corner at the
    // transform's origin, with the colour (ARGB) modulating the texture. A
    // missing or empty texture queues nothing.
    void Draw(const Texture* texture, const Rect& source, uint32_t color);
    void Flush();
    void End();
    bool InBegin() const { return m_Begun; }

    struct Queued {
        const Texture* texture;
        Rect source;
        Mat4 transform;
        uint32_t color;
    };
    const std::vector<Queued>& Pending() const { return m_Queue; }

private:
    RenderDevice& m_Device;
    DeviceState m_Saved;
    Mat4 m_Transform;
    std::vector<Queued> m_Queue;
    std::vector<Vertex> m_Vertices;
    bool m_Begun = false;
};

}   // namespace plat
