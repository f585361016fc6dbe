#include "platform/RecordingDevice.h"

#include <algorithm>

namespace plat {

RecordingDevice::Call RecordingDevice::MakeCall(CallKind kind) const
{
    Call c;
    c.kind = kind;
    c.state = m_State;
    return c;
}

void RecordingDevice::Record(Call&& call)
{
    ++m_DrawCount;
    if (m_Keep) m_Calls.push_back(std::move(call));
}

void RecordingDevice::RecordPrepared(const void* resource)
{
    if (m_Keep) m_Prepared.push_back(resource);
}

bool RecordingDevice::WasPrepared(const void* resource) const
{
    return std::find(m_Prepared.begin(), m_Prepared.end(), resource) != m_Prepared.end();
}

void RecordingDevice::Clear(uint32_t flags, uint32_t argb, float z)
{
    Call c = MakeCall(CallKind::Clear);
    c.clearFlags = flags;
    c.clearColor = argb;
    c.clearZ = z;
    Record(std::move(c));
}

bool RecordingDevice::Present()
{
    ++m_Presents;
    return !m_PresentFails;
}

void RecordingDevice::DrawSubset(const Mesh& mesh, int subset)
{
    Call c = MakeCall(CallKind::DrawSubset);
    c.mesh = &mesh;
    c.subset = subset;
    Record(std::move(c));
}

void RecordingDevice::DrawUser(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags)
{
    if (!vertices || vertexCount <= 0) return;
    Call c = MakeCall(CallKind::DrawUser);
    c.primitive = type;
    c.vertexFlags = flags;
    if (m_Keep) c.vertices.assign(vertices, vertices + vertexCount);
    Record(std::move(c));
}

void RecordingDevice::DrawPoints(const PointVertex* points, int count)
{
    if (!points || count <= 0) return;
    Call c = MakeCall(CallKind::DrawPoints);
    if (m_Keep) c.points.assign(points, points + count);
    Record(std::move(c));
}

}   // namespace plat
