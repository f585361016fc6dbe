// RecordedFrame is responsible for one frame's drawing kept as data: its clears
// and its draws from user memory, each with the device state it was given in
// and the GL texture it samples. A still screen (the title at rest, a menu
// waiting for a key) gives the same frame again and again; kept as data, a
// frame is compared with the one before it and drawn only when it differs.
// A frame is complete when every one of its draws was recorded; only complete
// frames compare equal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/RenderDevice.h"

namespace plat {

class RecordedFrame {
public:
    // The GL texture a draw samples, as it was when the draw was given: the
    // texture itself may be gone by the time the frame is drawn.
    struct TextureUse {
        uint64_t id = 0;   // 0: untextured
        uint32_t version = 0;
        unsigned name = 0;
        bool opaque = false;

        bool operator==(const TextureUse&) const = default;
    };

    enum class Kind : uint8_t { Clear, User, Points };

    struct Command {
        Kind kind = Kind::Clear;
        // As given; its texture pointer is compared, never followed.
        DeviceState state;
        TextureUse texture;
        uint32_t clearFlags = 0, argb = 0;
        float z = 0;
        Primitive primitive = Primitive::TriangleList;
        uint32_t vertexFlags = 0;
        size_t first = 0, count = 0;   // in the frame's vertices or points

        bool operator==(const Command&) const = default;
    };

    // Empty and complete, for a new frame.
    void Reset();
    void MarkIncomplete() { m_Complete = false; }
    bool Complete() const { return m_Complete; }

    void AddClear(const DeviceState& state, uint32_t flags, uint32_t argb, float z);
    void AddUser(const DeviceState& state, const TextureUse& texture, Primitive primitive, const Vertex* vertices,
                 int count, uint32_t vertexFlags);
    void AddPoints(const DeviceState& state, const TextureUse& texture, const PointVertex* points, int count);

    const std::vector<Command>& Commands() const { return m_Commands; }
    const Vertex* VerticesOf(const Command& c) const { return m_Vertices.data() + c.first; }
    const PointVertex* PointsOf(const Command& c) const { return m_Points.data() + c.first; }

    // Both complete, with the same commands and the same vertices.
    bool SameAs(const RecordedFrame& other) const;

private:
    Command& Add(Kind kind, const DeviceState& state, const TextureUse& texture);

    std::vector<Command> m_Commands;
    std::vector<Vertex> m_Vertices;
    std::vector<PointVertex> m_Points;
    bool m_Complete = true;
};

}   // namespace plat
