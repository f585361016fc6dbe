#include "gfx/CTexture.h"

#include "core/ResourceRegistry.h"
#include "gfx/Graphics.h"
#include "platform/Texture.h"

CTexture::CTexture() = default;
CTexture::~CTexture() = default;

bool CTexture::Keep(std::unique_ptr<plat::Texture> texture)
{
    m_Width = texture->Width();
    m_Height = texture->Height();
    m_Texture = std::move(texture);
    return true;
}

bool CTexture::Load(const std::string& path, uint32_t colorKey)
{
    m_Texture.reset();
    auto texture = std::make_unique<plat::Texture>();
    return texture->LoadFromFile(path, colorKey) && Keep(std::move(texture));
}

bool CTexture::LoadPixels(const uint8_t* rgba, int width, int height, uint32_t colorKey)
{
    m_Texture.reset();
    auto texture = std::make_unique<plat::Texture>();
    return texture->LoadFromPixels(rgba, width, height, colorKey) && Keep(std::move(texture));
}

CTexture* CTexture::RegisteredOrLoaded(const char* key, CTexture& own, const std::string& path, uint32_t colorKey)
{
    if (auto* registered = FindResource<CTexture>(key)) return registered;
    own.Load(path, colorKey);
    return &own;
}

void CTexture::PrepareForDrawing() const
{
    if (g_Device && m_Texture) g_Device->Prepare(*m_Texture);
}
