#include "platform/gl/RecordedFrame.h"

namespace plat {

void RecordedFrame::Reset()
{
    m_Commands.clear();
    m_Vertices.clear();
    m_Points.clear();
    m_Complete = true;
}

RecordedFrame::Command& RecordedFrame::Add(Kind kind, const DeviceState& state, const TextureUse& texture)
{
    Command& c = m_Commands.emplace_back();
    c.kind = kind;
    c.state = state;
    c.texture = texture;
    return c;
}

void RecordedFrame::AddClear(const DeviceState& state, uint32_t flags, uint32_t argb, float z)
{
    Command& c = Add(Kind::Clear, state, {});
    c.clearFlags = flags;
    c.argb = argb;
    c.z = z;
}

void RecordedFrame::AddUser(const DeviceState& state, const TextureUse& texture, Primitive primitive,
                            const Vertex* vertices, int count, uint32_t vertexFlags)
{
    Command& c = Add(Kind::User, state, texture);
    c.primitive = primitive;
    c.vertexFlags = vertexFlags;
    c.first = m_Vertices.size();
    c.count = static_cast<size_t>(count);
    m_Vertices.insert(m_Vertices.end(), vertices, vertices + count);
}

void RecordedFrame::AddPoints(const DeviceState& state, const TextureUse& texture, const PointVertex* points,
                              int count)
{
    Command& c = Add(Kind::Points, state, texture);
    c.first = m_Points.size();
    c.count = static_cast<size_t>(count);
    m_Points.insert(m_Points.end(), points, points + count);
}

bool RecordedFrame::SameAs(const RecordedFrame& other) const
{
    return m_Complete && other.m_Complete && m_Commands == other.m_Commands && m_Vertices == other.m_Vertices &&
           m_Points == other.m_Points;
}

}   // namespace plat
