// CSprite is responsible for drawing one rectangle of a texture at a screen
// position, scaled and rotated about a pivot, through the shared sprite batch.
// It is a plain member of screens and effects, never a task of its own.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "platform/Math3D.h"

class CTexture;

namespace plat {
class Texture;
}

class CSprite : public CGameObject {
public:
    // Anchor flags: where the pivot lies in the frame.
    static constexpr uint8_t ANCHOR_LEFT = 0x01;
    static constexpr uint8_t ANCHOR_HCENTER = 0x02;
    static constexpr uint8_t ANCHOR_RIGHT = 0x04;
    static constexpr uint8_t ANCHOR_TOP = 0x08;
    static constexpr uint8_t ANCHOR_VCENTER = 0x10;
    static constexpr uint8_t ANCHOR_BOTTOM = 0x20;

    CSprite() = default;

    void AttachTexture(CTexture* texture);
    void SetFrameSize(int width, int height);
    void SetFrame(int index);
    void SetSourceRect(int left, int top, int right, int bottom);

    void Draw(float x, float y, float scaleX, float scaleY, float angle, uint8_t alpha);
    void Draw(float x, float y, uint8_t alpha);
    void Draw(float x, float y, float scaleX, float scaleY, uint8_t alpha);
    void DrawColored(float x, float y, uint32_t color);

    CTexture* m_Texture = nullptr;   // borrowed
    uint8_t m_Anchor = 0;
    float m_PivotX = 0, m_PivotY = 0;
    int m_SheetWidth = 0;
    int m_FrameWidth = 0, m_FrameHeight = 0;
    plat::Rect m_Source;

private:
    bool HasPicture() const;
    void UpdatePivot();
    void Submit(const plat::Mat4& transform, uint32_t color);
};
