#include "gfx/RenderStateGuard.h"

#include "gfx/Graphics.h"

RenderStateGuard::RenderStateGuard() : m_Device(g_Device) {}

RenderStateGuard::~RenderStateGuard()
{
    if (!m_Device) return;
    if (m_SavedTexture) m_Device->SetTexture(*m_SavedTexture);
    if (m_SavedLighting) m_Device->SetLighting(*m_SavedLighting);
    if (m_SavedDepthWrite) m_Device->SetDepthWrite(*m_SavedDepthWrite);
    if (m_SavedDestBlend) m_Device->SetDestBlend(*m_SavedDestBlend);
}

RenderStateGuard& RenderStateGuard::SetBlend(gfx::BlendMode mode)
{
    if (!m_Device) return *this;
    if (!m_SavedDestBlend) m_SavedDestBlend = m_Device->States().destBlend;
    m_Device->SetDestBlend(gfx::DestBlendOf(mode));
    return *this;
}

RenderStateGuard& RenderStateGuard::SetDepthWrite(bool on)
{
    if (!m_Device) return *this;
    if (!m_SavedDepthWrite) m_SavedDepthWrite = m_Device->States().zWrite;
    m_Device->SetDepthWrite(on);
    return *this;
}

RenderStateGuard& RenderStateGuard::SetLighting(bool on)
{
    if (!m_Device) return *this;
    if (!m_SavedLighting) m_SavedLighting = m_Device->States().lighting;
    m_Device->SetLighting(on);
    return *this;
}

RenderStateGuard& RenderStateGuard::SetTexture(const plat::Texture* texture)
{
    if (!m_Device) return *this;
    if (!m_SavedTexture) m_SavedTexture = m_Device->State().texture;
    m_Device->SetTexture(texture);
    return *this;
}
