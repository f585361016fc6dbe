// CItemEffectKoma is the flash at a top that took a spin item or a power
// item: a camera-facing picture of the item that grows from half size to
// twice its size in 15 updates and vanishes. It stays where the top was.
#pragma once

#include "core/Task.h"
#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

class CCamera;
class CTexture;

class CItemEffectKoma : public CGameObject {
public:
    static constexpr float HALF_SIZE = 5.0f;   // the quad spans -5 .. 5
    static constexpr float CELL_SPAN = 0.5f;   // "Item2BMP" is a sheet of 2 x 2 cells
    static constexpr int CELLS_PER_ROW = 2;
    static constexpr float START_SCALE = 0.5f;
    static constexpr float SCALE_STEP = 0.1f;
    static constexpr float END_SCALE = 2.0f;   // removed once above this

    // Cell 0 shows the spin item, cell 1 the power item.
    CItemEffectKoma(int cell, plat::Vec3 position);

    void Init() override;
    void Update() override;
    void Draw() override;

    CCamera* m_Camera = nullptr;
    CTexture* m_Texture = nullptr;   // "Item2BMP"
    plat::Vertex m_Quad[4];          // a fan of two triangles
    plat::Vec3 m_Position;
    float m_Scale = START_SCALE;

private:
    float m_Left = 0, m_Top = 0;   // texture coordinates of the cell's corner
};
