#include "gfx/CSprite.h"

#include "gfx/CTexture.h"
#include "gfx/Graphics.h"

void CSprite::AttachTexture(CTexture* texture)
{
    m_Texture = texture;
    if (!texture) return;
    m_SheetWidth = texture->m_Width;
    SetFrameSize(texture->m_Width, texture->m_Height);
}

void CSprite::UpdatePivot()
{
    if (m_Anchor & ANCHOR_LEFT)
        m_PivotX = 0;
    else if (m_Anchor & ANCHOR_RIGHT)
        m_PivotX = static_cast<float>(m_FrameWidth);
    else
        m_PivotX = m_FrameWidth / 2.0f;

    if (m_Anchor & ANCHOR_TOP)
        m_PivotY = 0;
    else if (m_Anchor & ANCHOR_BOTTOM)
        m_PivotY = static_cast<float>(m_FrameHeight);
    else
        m_PivotY = m_FrameHeight / 2.0f;
}

void CSprite::SetFrameSize(int width, int height)
{
    m_FrameWidth = width;
    m_FrameHeight = height;
    UpdatePivot();
    SetFrame(0);
}

void CSprite::SetFrame(int index)
{
    if (m_FrameWidth <= 0) return;
    int perRow = m_SheetWidth / m_FrameWidth;
    if (perRow == 0) return;
    int column = index % perRow;
    int row = index / perRow;
    m_Source.left = column * m_FrameWidth;
    m_Source.top = row * m_FrameHeight;
    m_Source.right = m_Source.left + m_FrameWidth;
    m_Source.bottom = m_Source.top + m_FrameHeight;
}

void CSprite::SetSourceRect(int left, int top, int right, int bottom)
{
    m_Source = {left, top, right, bottom};
    m_FrameWidth = right - left;
    m_FrameHeight = bottom - top;
    UpdatePivot();
}

// A picture that failed to load leaves its CTexture without a texture: such
// a sprite draws nothing, like one with no CTexture at all.
bool CSprite::HasPicture() const { return m_Texture && m_Texture->Texture(); }

void CSprite::Submit(const plat::Mat4& transform, uint32_t color)
{
    // A picture that failed to load draws nothing (not an untextured white square).
    if (!g_Sprite || !m_Texture->Texture()) return;
    g_Sprite->SetTransform(transform);
    g_Sprite->Draw(m_Texture->Texture(), m_Source, color);
}

void CSprite::Draw(float x, float y, float scaleX, float scaleY, float angle, uint8_t alpha)
{
    if (!HasPicture()) return;
    plat::Mat4 m = plat::Translation(-m_PivotX, -m_PivotY, 0);
    if (scaleX != 1.0f || scaleY != 1.0f) m = m * plat::Scaling(scaleX, scaleY, 1);
    if (angle != 0.0f) m = m * plat::RotationZ(angle);
    m = m * plat::Translation(x, y, 0);
    Submit(m, (static_cast<uint32_t>(alpha) << 24) | 0xFFFFFF);
}

void CSprite::Draw(float x, float y, uint8_t alpha) { Draw(x, y, 1.0f, 1.0f, 0.0f, alpha); }

void CSprite::Draw(float x, float y, float scaleX, float scaleY, uint8_t alpha)
{
    Draw(x, y, scaleX, scaleY, 0.0f, alpha);
}

void CSprite::DrawColored(float x, float y, uint32_t color)
{
    if (!HasPicture()) return;
    Submit(plat::Translation(-m_PivotX, -m_PivotY, 0) * plat::Translation(x, y, 0), color);
}
