#include "platform/gl/RecordedFrame.h"

namespace plat {

void RecordedFrame::Reset()
{
    m_Commands.clear();
    m_Vertices.clear();
    m_Points.clear();
    m_Complete = true;
}

void RecordedFrame::AddClear(const DeviceState& state, uint32_t flags, uint32_t argb, float z)
{
    Command c;
    c.kind = Kind::Clear;
    c.state = state;
    c.clearFlags = flags;
    c.argb = argb;
    c.z = z;
    m_Commands.push_back(c);
}

void RecordedFrame::AddUser(const DeviceState& state, const TextureUse& texture, Primitive primitive,
                            const Vertex* vertices, int count, uint32_t vertexFlags)
{
    Command c;
    c.kind = Kind::User;
    c.state = state;
    c.texture = texture;
    c.primitive = primitive;
    c.vertexFlags = vertexFlags;
    c.first = m_Vertices.size();
    c.count = static_cast<size_t>(count);
    m_Vertices.insert(m_Vertices.end(), vertices, vertices + count);
    m_Commands.push_back(c);
}

void RecordedFrame::AddPoints(const DeviceState& state, const TextureUse& texture, const PointVertex* points,
                              int count)
{
    Command c;
    c.kind = Kind::Points;
    c.state = state;
    c.texture = texture;
    c.first = m_Points.size();
    c.count = static_cast<size_t>(count);
    m_Points.insert(m_Points.end(), points, points + count);
    m_Commands.push_back(c);
}

bool RecordedFrame::SameAs(const RecordedFrame& other) const
{
    return m_Complete && other.m_Complete && m_Commands == other.m_Commands && m_Vertices == other.m_Vertices &&
           m_Points == other.m_Points;
}

}   // namespace plat
