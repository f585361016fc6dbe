// CHitText is a small camera-facing picture cut from the interface texture
// that jitters at a hit for 300 ms and then removes itself.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

class CCamera;
class CTexture;

class CHitText : public CGameObject {
public:
    static constexpr uint32_t LIFE_MS = 300;
    static constexpr int IMAGE_WIDTH = 64;   // pixels per image column of the texture
    static constexpr float TEXTURE_SIZE = 512.0f;
    static constexpr float TOP_V = 0.34375f;     // pixel 176 of 512
    static constexpr float BOTTOM_V = 0.4375f;   // pixel 224 of 512
    static constexpr float HALF_WIDTH = 2.0f;
    static constexpr float HALF_HEIGHT = 1.5f;
    static constexpr float LIFT = 4.0f;            // drawn this far above the hit
    static constexpr float CENTRE_OFFSET = 0.5f;   // the jitter (0 to 0.9) is centred on the hit

    CHitText(float x, float y, float z, int image, float scale);

    void Init() override;
    void Draw() override;

    CTexture* m_Texture = nullptr;   // "InterfaceBMP"
    CCamera* m_Camera = nullptr;
    plat::Vertex m_Vertices[4];   // a fan of two triangles
    plat::Vec3 m_Anchor;
    float m_Scale = 1;
    uint32_t m_Birth = 0;   // frame time at Init, ms

private:
    float m_LeftU = 0, m_RightU = 0;
};
