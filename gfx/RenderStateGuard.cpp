#include "gfx/RenderStateGuard.h"

#include "gfx/Graphics.h"

RenderStateGuard::RenderStateGuard() : m_device(g_Device) {}

RenderStateGuard::~RenderStateGuard()
{
    if (!m_device) return;
    if (m_savedTexture) m_device->SetTexture(*m_savedTexture);
    if (m_savedLighting) m_device->SetLighting(*m_savedLighting);
    if (m_savedDepthWrite) m_device->SetDepthWrite(*m_savedDepthWrite);
    if (m_savedDestBlend) m_device->SetDestBlend(*m_savedDestBlend);
}

RenderStateGuard& RenderStateGuard::SetBlend(gfx::BlendMode mode)
{
    if (!m_device) return *this;
    if (!m_savedDestBlend) m_savedDestBlend = m_device->States().destBlend;
    m_device->SetDestBlend(gfx::DestBlendOf(mode));
    return *this;
}

RenderStateGuard& RenderStateGuard::SetDepthWrite(bool on)
{
    if (!m_device) return *this;
    if (!m_savedDepthWrite) m_savedDepthWrite = m_device->States().zWrite;
    m_device->SetDepthWrite(on);
    return *this;
}

RenderStateGuard& RenderStateGuard::SetLighting(bool on)
{
    if (!m_device) return *this;
    if (!m_savedLighting) m_savedLighting = m_device->States().lighting;
    m_device->SetLighting(on);
    return *this;
}

RenderStateGuard& RenderStateGuard::SetTexture(const plat::Texture* texture)
{
    if (!m_device) return *this;
    if (!m_savedTexture) m_savedTexture = m_device->State().texture;
    m_device->SetTexture(texture);
    return *this;
}
