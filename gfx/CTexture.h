// CTexture is one picture file loaded as a texture, with the size the texture
// really has (rounded up to powers of two). It can live in the task list as a
// registered resource or be a member of a screen; as a task it does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Task.h"

namespace plat {
class Texture;
}

class CTexture : public CGameObject {
public:
    CTexture();
    ~CTexture() override;

    // Releases any texture held, then loads the file. Pixels equal to colorKey
    // (ARGB, alpha included; 0 for none, 0xff000000 for opaque black) become
    // transparent. On failure the texture stays null, the size is unchanged,
    // and it returns false.
    bool Load(const std::string& path, uint32_t colorKey);
    // The same from RGBA pixels in memory (rows from the top), for pictures
    // the program makes itself.
    bool LoadPixels(const uint8_t* rgba, int width, int height, uint32_t colorKey);

    plat::Texture* Texture() const { return m_Texture.get(); }   // null when nothing is loaded
    // The texture a stage registered under key, if there is one; otherwise
    // own, loaded from the file (and left empty if it cannot be). A picture
    // the stage loader already decoded is then neither decoded nor uploaded
    // again in the middle of a battle.
    static CTexture* RegisteredOrLoaded(const char* key, CTexture& own, const std::string& path, uint32_t colorKey);
    // Has the device make its texture now rather than at the first draw.
    void PrepareForDrawing() const;

    int m_Width = 0;   // of the texture's top level, after rounding
    int m_Height = 0;

private:
    bool Keep(std::unique_ptr<plat::Texture> texture);

    std::unique_ptr<plat::Texture> m_Texture;
};
