// Texture is responsible for one picture held in memory in the form the device
// draws: 32-bit RGBA pixels, width and height rounded up to powers of two (the
// picture stretched to them), the colour key already turned transparent. The
// device builds the mip chain and its own texture object at first use.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/DeviceResource.h"

namespace plat {

class Texture : public DeviceResource {
public:
    Texture() = default;

    // Decodes a BMP, PNG or JPEG file. Pixels equal to colorKey (ARGB, alpha
    // included; 0 means no key) become transparent black. False on any failure,
    // leaving the texture as it was; a file refused is reported to RefusedFiles.
    bool LoadFromFile(const std::string& path, uint32_t colorKey);
    // The same from a file image in memory.
    bool LoadFromMemory(const uint8_t* data, size_t size, uint32_t colorKey);
    // Takes RGBA pixels of any size; they are stretched to powers of two.
    bool LoadFromPixels(const uint8_t* rgba, int width, int height, uint32_t colorKey);

    int Width() const { return m_Width; }   // after rounding
    int Height() const { return m_Height; }
    int SourceWidth() const { return m_SourceWidth; }
    int SourceHeight() const { return m_SourceHeight; }
    int MipLevels() const;                                            // of the full chain down to 1 x 1
    std::span<const uint8_t> Pixels() const { return {m_Pixels.get(), m_PixelBytes}; }   // RGBA, Width() x Height()

    // Reads pixel (x, y) of level 0 as ARGB.
    uint32_t PixelARGB(int x, int y) const;
    // Whether every pixel's alpha is full, so that nothing drawn with it can
    // let what lies behind show through. False for an empty texture.
    bool IsOpaque() const { return m_Opaque; }

    // The device has made its own copy of the pixels: the ones in memory are
    // freed. The sizes and the opacity stay; Pixels() is empty from then on,
    // until the texture is loaded again.
    void ReleasePixels() const;
    bool PixelsReleased() const { return m_Released; }

private:
    // Why the file or file image cannot be used, or null once it is loaded.
    const char* LoadFileProblem(const std::string& path, uint32_t colorKey);
    const char* DecodeProblem(const uint8_t* data, size_t size, uint32_t colorKey);
    // Takes over pixels allocated with malloc (as the decoder hands them out),
    // so that a picture of several megabytes is never copied; frees them on failure.
    bool TakePixels(uint8_t* rgba, int width, int height, uint32_t colorKey);

    struct FreePixels {
        void operator()(uint8_t* pixels) const;
    };
    // Freed by ReleasePixels through a const texture, as the device sees it.
    mutable std::unique_ptr<uint8_t[], FreePixels> m_Pixels;
    mutable size_t m_PixelBytes = 0;
    mutable bool m_Released = false;
    int m_Width = 0, m_Height = 0;
    int m_SourceWidth = 0, m_SourceHeight = 0;
    bool m_Opaque = false;
};

}   // namespace plat
