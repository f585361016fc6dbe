// RecordingDevice is responsible for drawing nothing and remembering
// everything: each clear and draw is kept with a copy of the device state of
// that moment, so tests can assert on what a task drew and how.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/RenderDevice.h"

namespace plat {

class RecordingDevice : public RenderDevice {
public:
    enum class CallKind : uint8_t { Clear, DrawSubset, DrawUser, DrawPoints };

    struct Call {
        CallKind kind = CallKind::Clear;
        DeviceState state;                               // state at the moment of the call
        const Mesh* mesh = nullptr;                      // DrawSubset
        int subset = -1;                                 // DrawSubset
        Primitive primitive = Primitive::TriangleList;   // DrawUser
        uint32_t vertexFlags = 0;                        // DrawUser
        std::vector<Vertex> vertices;                    // DrawUser
        std::vector<PointVertex> points;                 // DrawPoints
        uint32_t clearFlags = 0, clearColor = 0;         // Clear
        float clearZ = 0;
    };

    void Clear(uint32_t flags, uint32_t argb, float z) override;
    void BeginScene() override { ++m_BeginScenes; }
    void EndScene() override { ++m_EndScenes; }
    bool Present() override;
    void DrawSubset(const Mesh& mesh, int subset) override;
    void DrawUser(Primitive type, const Vertex* vertices, int vertexCount, uint32_t flags) override;
    void DrawPoints(const PointVertex* points, int count) override;
    void Prepare(const Texture& texture) override { RecordPrepared(&texture); }
    void Prepare(const Mesh& mesh) override { RecordPrepared(&mesh); }

    // Whether the texture or mesh has been prepared while calls were kept.
    bool WasPrepared(const void* resource) const;
    const std::vector<Call>& Calls() const { return m_Calls; }
    void ClearCalls() { m_Calls.clear(); }
    // Whether to keep vertex copies (off for benchmarks: only the count of calls is kept).
    void SetKeepCalls(bool keep) { m_Keep = keep; }
    int BeginScenes() const { return m_BeginScenes; }
    int EndScenes() const { return m_EndScenes; }
    int Presents() const { return m_Presents; }
    uint64_t DrawCount() const { return m_DrawCount; }
    // Makes the next Present calls fail (to test the reset path).
    void SetPresentFails(bool fails) { m_PresentFails = fails; }

private:
    Call MakeCall(CallKind kind) const;
    void Record(Call&& call);
    void RecordPrepared(const void* resource);

    std::vector<Call> m_Calls;
    std::vector<const void*> m_Prepared;
    bool m_Keep = true;
    bool m_PresentFails = false;
    int m_BeginScenes = 0, m_EndScenes = 0, m_Presents = 0;
    uint64_t m_DrawCount = 0;
};

}   // namespace plat
