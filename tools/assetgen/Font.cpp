#include "tools/assetgen/Font.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include <stb/stb_truetype.h>

namespace assetgen {

namespace {

const char* const kFontFolder = "/usr/share/fonts/truetype/dejavu/";

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::vector<unsigned char> data;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return data;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) data.insert(data.end(), buf, buf + n);
    return data;
}

// Decodes UTF-8 into code points (the lettering uses a few symbols such as the star).
std::vector<int> CodePoints(std::string_view s)
{
    std::vector<int> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int cp = c, extra = 0;
        if (c >= 0xf0)
            cp = c & 0x07, extra = 3;
        else if (c >= 0xe0)
            cp = c & 0x0f, extra = 2;
        else if (c >= 0xc0)
            cp = c & 0x1f, extra = 1;
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3f);
        out.push_back(cp);
    }
    return out;
}

}   // namespace

const Font& Font::Get(Face face)
{
    static const Font sans(std::string(kFontFolder) + "DejaVuSans.ttf");
    static const Font sansBold(std::string(kFontFolder) + "DejaVuSans-Bold.ttf");
    static const Font serifBold(std::string(kFontFolder) + "DejaVuSerif-Bold.ttf");
    static const Font monoBold(std::string(kFontFolder) + "DejaVuSansMono-Bold.ttf");
    switch (face) {
        case Face::Sans: return sans;
        case Face::SansBold: return sansBold;
        case Face::SerifBold: return serifBold;
        case Face::MonoBold: return monoBold;
    }
    return sans;
}

Font::Font(const std::string& path) : m_Path(path), m_Data(ReadFile(path)), m_Info(sizeof(stbtt_fontinfo))
{
    if (m_Data.empty()) return;
    auto* info = reinterpret_cast<stbtt_fontinfo*>(m_Info.data());
    m_Ok = stbtt_InitFont(info, m_Data.data(), stbtt_GetFontOffsetForIndex(m_Data.data(), 0)) != 0;
}

Mask Font::Render(std::string_view text, float pixelHeight, int pad, float tracking) const
{
    if (!m_Ok) return Mask(1 + 2 * pad, 1 + 2 * pad);
    const auto* info = reinterpret_cast<const stbtt_fontinfo*>(m_Info.data());
    float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(info, &ascent, &descent, &gap);
    std::vector<int> cps = CodePoints(text);

    float width = 0;
    for (size_t i = 0; i < cps.size(); ++i) {
        int adv, lsb;
        stbtt_GetCodepointHMetrics(info, cps[i], &adv, &lsb);
        width += adv * scale + tracking;
        if (i + 1 < cps.size()) width += scale * stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]);
    }
    int w = static_cast<int>(std::ceil(width + pixelHeight * 0.3f)) + 2 * pad;
    int h = static_cast<int>(std::ceil((ascent - descent) * scale)) + 2 * pad;
    Mask mask(w, h);
    float baseline = pad + ascent * scale;
    float x = static_cast<float>(pad);
    for (size_t i = 0; i < cps.size(); ++i) {
        int adv, lsb;
        stbtt_GetCodepointHMetrics(info, cps[i], &adv, &lsb);
        float shift = x - std::floor(x);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(info, cps[i], scale, scale, shift, 0, &x0, &y0, &x1, &y1);
        int gw = x1 - x0, gh = y1 - y0;
        if (gw > 0 && gh > 0) {
            std::vector<unsigned char> glyph(static_cast<size_t>(gw) * gh);
            stbtt_MakeCodepointBitmapSubpixel(info, glyph.data(), gw, gh, gw, scale, scale, shift, 0, cps[i]);
            int ox = static_cast<int>(std::floor(x)) + x0, oy = static_cast<int>(std::lround(baseline)) + y0;
            for (int gy = 0; gy < gh; ++gy)
                for (int gx = 0; gx < gw; ++gx) {
                    int mx = ox + gx, my = oy + gy;
                    if (mx < 0 || my < 0 || mx >= w || my >= h) continue;
                    float v = glyph[static_cast<size_t>(gy) * gw + gx] / 255.0f;
                    mask.Ref(mx, my) = std::min(1.0f, mask.At(mx, my) + v);
                }
        }
        x += adv * scale + tracking;
        if (i + 1 < cps.size()) x += scale * stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]);
    }
    return mask;
}

PlacedMask FitText(Face face, std::string_view text, float pixelHeight, float x0, float y0, float x1, float y1,
                   Align align, float tracking, float squeeze, int pad)
{
    const Font& font = Font::Get(face);
    float size = pixelHeight;
    Mask m;
    int ix0 = 0, iy0 = 0, ix1 = 0, iy1 = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        m = font.Render(text, size, pad, tracking);
        if (squeeze != 1.0f) m = m.Resized(std::max(1, static_cast<int>(std::lround(m.Width() * squeeze))), m.Height());
        m.InkBounds(&ix0, &iy0, &ix1, &iy1);
        float fx = (x1 - x0) / std::max(1, ix1 - ix0), fy = (y1 - y0) / std::max(1, iy1 - iy0);
        float f = std::min(fx, fy);
        if (f >= 1.0f) break;
        size *= f * 0.99f;
    }
    PlacedMask pm;
    pm.mask = std::move(m);
    float inkW = static_cast<float>(ix1 - ix0), inkH = static_cast<float>(iy1 - iy0);
    float left = align == Align::Left ? x0 : align == Align::Right ? x1 - inkW : (x0 + x1 - inkW) * 0.5f;
    float top = (y0 + y1 - inkH) * 0.5f;
    pm.x = static_cast<int>(std::lround(left)) - ix0;
    pm.y = static_cast<int>(std::lround(top)) - iy0;
    return pm;
}

void DrawStyled(Image& img, const PlacedMask& pm, const TextStyle& style)
{
    const Mask& m = pm.mask;
    int ix0, iy0, ix1, iy1;
    m.InkBounds(&ix0, &iy0, &ix1, &iy1);
    float top = static_cast<float>(pm.y + iy0), height = static_cast<float>(std::max(1, iy1 - iy0));
    Mask outlined = style.outline > 0 ? m.Dilated(style.outline) : m;
    if (style.glow > 0) {
        Mask halo = outlined.Dilated(style.glow * 0.3f).Blurred(style.glow);
        img.DrawMask(halo, pm.x, pm.y, style.glowColor);
    }
    if (style.shadowDx != 0 || style.shadowDy != 0)
        img.DrawMask(outlined, pm.x + static_cast<int>(std::lround(style.shadowDx)),
                     pm.y + static_cast<int>(std::lround(style.shadowDy)), style.shadowColor);
    if (style.outline > 0) img.DrawMask(outlined, pm.x, pm.y, style.outlineColor);
    img.DrawMask(m, pm.x, pm.y, [&](float, float py) {
        float t = Clamp01((py - top) / height);
        Rgba c = Mix(style.top, style.bottom, t);
        if (style.shine > 0) {
            // A glossy band across the upper part of the letters.
            float band = SmoothStep(0.18f, 0.3f, t) * (1 - SmoothStep(0.42f, 0.5f, t));
            c = Mix(c, Hex(0xffffff, c.a), band * style.shine);
        }
        return c;
    });
}

void DrawText(Image& img, Face face, std::string_view text, float pixelHeight, float x0, float y0, float x1, float y1,
              const TextStyle& style, Align align)
{
    float margin = style.outline + std::max(std::fabs(style.shadowDx), std::fabs(style.shadowDy));
    PlacedMask pm = FitText(face, text, pixelHeight, x0 + margin, y0 + margin, x1 - margin, y1 - margin, align,
                            style.tracking, style.squeeze, static_cast<int>(std::ceil(margin + style.glow * 2)) + 4);
    DrawStyled(img, pm, style);
}

}   // namespace assetgen
