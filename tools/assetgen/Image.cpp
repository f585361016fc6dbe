#include "tools/assetgen/Image.h"

#include <cstdio>
#include <memory>

#include <stb/stb_image_write.h>

#include "tools/assetgen/StoredPngWriter.h"

namespace assetgen {

namespace {

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// One horizontal and one vertical box pass over a float plane.
void BoxPass(std::vector<float>& v, int w, int h, int r, bool horizontal)
{
    if (r <= 0) return;
    std::vector<float> out(v.size());
    int n = horizontal ? w : h, lines = horizontal ? h : w;
    for (int line = 0; line < lines; ++line) {
        auto at = [&](int i) -> float {
            i = std::clamp(i, 0, n - 1);
            return horizontal ? v[static_cast<size_t>(line) * w + i] : v[static_cast<size_t>(i) * w + line];
        };
        float sum = 0;
        for (int i = -r; i <= r; ++i) sum += at(i);
        for (int i = 0; i < n; ++i) {
            size_t idx = horizontal ? static_cast<size_t>(line) * w + i : static_cast<size_t>(i) * w + line;
            out[idx] = sum / (2 * r + 1);
            sum += at(i + r + 1) - at(i - r);
        }
    }
    v.swap(out);
}

uint32_t Hash(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float Lattice(int x, int y, uint32_t seed) { return static_cast<float>(Hash(x, y, seed) & 0xffffff) / 16777215.0f; }

float Fade(float t) { return t * t * (3 - 2 * t); }

}   // namespace

// ---------------------------------------------------------------- Mask

float Mask::Sample(float x, float y) const
{
    x -= 0.5f, y -= 0.5f;
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - ix, fy = y - iy;
    float a = Lerp(At(ix, iy), At(ix + 1, iy), fx);
    float b = Lerp(At(ix, iy + 1), At(ix + 1, iy + 1), fx);
    return Lerp(a, b, fy);
}

Mask Mask::Dilated(float radius) const
{
    Mask out(m_W, m_H);
    int r = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < m_H; ++y)
        for (int x = 0; x < m_W; ++x) {
            float best = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    float edge = Clamp01(radius + 0.5f - d);   // soft rim of the disc
                    if (edge <= 0) continue;
                    best = std::max(best, At(x + dx, y + dy) * edge);
                }
            out.Ref(x, y) = best;
        }
    return out;
}

Mask Mask::Blurred(float radius) const
{
    Mask out = *this;
    int r = std::max(1, static_cast<int>(std::lround(radius / 1.7f)));
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(out.m_V, m_W, m_H, r, true);
        BoxPass(out.m_V, m_W, m_H, r, false);
    }
    return out;
}

Mask Mask::Resized(int width, int height) const
{
    Mask out(width, height);
    float sx = static_cast<float>(m_W) / width, sy = static_cast<float>(m_H) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Average several bilinear taps so that shrinking does not alias.
            int nx = std::max(1, static_cast<int>(std::ceil(sx))), ny = std::max(1, static_cast<int>(std::ceil(sy)));
            float sum = 0;
            for (int j = 0; j < ny; ++j)
                for (int i = 0; i < nx; ++i) sum += Sample((x + (i + 0.5f) / nx) * sx, (y + (j + 0.5f) / ny) * sy);
            out.Ref(x, y) = sum / (nx * ny);
        }
    return out;
}

Mask Mask::Padded(int pad) const
{
    Mask out(m_W + 2 * pad, m_H + 2 * pad);
    for (int y = 0; y < m_H; ++y)
        for (int x = 0; x < m_W; ++x) out.Ref(x + pad, y + pad) = At(x, y);
    return out;
}

void Mask::InkBounds(int* x0, int* y0, int* x1, int* y1, float threshold) const
{
    *x0 = m_W, *y0 = m_H, *x1 = 0, *y1 = 0;
    for (int y = 0; y < m_H; ++y)
        for (int x = 0; x < m_W; ++x)
            if (At(x, y) > threshold) {
                *x0 = std::min(*x0, x), *y0 = std::min(*y0, y);
                *x1 = std::max(*x1, x + 1), *y1 = std::max(*y1, y + 1);
            }
    if (*x1 <= *x0) *x0 = *y0 = *x1 = *y1 = 0;
}

// ---------------------------------------------------------------- Image

Image::Image(int width, int height, Rgba fill)
    : m_W(width), m_H(height), m_Px(static_cast<size_t>(width) * height, fill)
{
}

Rgba Image::Sample(float x, float y) const
{
    x = std::clamp(x - 0.5f, 0.0f, static_cast<float>(m_W - 1));
    y = std::clamp(y - 0.5f, 0.0f, static_cast<float>(m_H - 1));
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    float fx = x - ix, fy = y - iy;
    int ix1 = std::min(ix + 1, m_W - 1), iy1 = std::min(iy + 1, m_H - 1);
    return Mix(Mix(At(ix, iy), At(ix1, iy), fx), Mix(At(ix, iy1), At(ix1, iy1), fx), fy);
}

void Image::Blend(int x, int y, Rgba c, float k)
{
    if (!Inside(x, y)) return;
    float sa = Clamp01(c.a * k);
    if (sa <= 0) return;
    Rgba& d = m_Px[Index(x, y)];
    float oa = sa + d.a * (1 - sa);
    if (oa <= 0) return;
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    d.a = oa;
}

void Image::AddLight(int x, int y, Rgba c, float k)
{
    if (!Inside(x, y)) return;
    float s = Clamp01(c.a * k);
    Rgba& d = m_Px[Index(x, y)];
    // Light added to a translucent pixel also makes it more opaque.
    float glow = std::max({c.r, c.g, c.b}) * s;
    float oa = Clamp01(d.a + glow);
    if (oa <= 0) return;
    d.r = Clamp01((d.r * d.a + c.r * s) / oa);
    d.g = Clamp01((d.g * d.a + c.g * s) / oa);
    d.b = Clamp01((d.b * d.a + c.b * s) / oa);
    d.a = oa;
}

void Image::Fill(Rgba c) { std::fill(m_Px.begin(), m_Px.end(), c); }

void Image::FillRect(float x0, float y0, float x1, float y1, Rgba c) { FillRoundRect(x0, y0, x1, y1, 0, c); }

void Image::FillRoundRect(float x0, float y0, float x1, float y1, float radius, Rgba c)
{
    Paint(static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 2, static_cast<int>(y1) + 2,
          [&](float px, float py) { return WithAlpha(c, c.a * Coverage(SdBox(px, py, x0, y0, x1, y1, radius))); });
}

void Image::StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, Rgba c)
{
    Paint(static_cast<int>(x0 - width) - 1, static_cast<int>(y0 - width) - 1, static_cast<int>(x1 + width) + 2,
          static_cast<int>(y1 + width) + 2, [&](float px, float py) {
              float d = std::fabs(SdBox(px, py, x0, y0, x1, y1, radius)) - width * 0.5f;
              return WithAlpha(c, c.a * Coverage(d));
          });
}

void Image::FillCircle(float cx, float cy, float r, Rgba c)
{
    Paint(static_cast<int>(cx - r) - 1, static_cast<int>(cy - r) - 1, static_cast<int>(cx + r) + 2,
          static_cast<int>(cy + r) + 2,
          [&](float px, float py) { return WithAlpha(c, c.a * Coverage(SdCircle(px, py, cx, cy, r))); });
}

void Image::StrokeCircle(float cx, float cy, float r, float width, Rgba c)
{
    float R = r + width;
    Paint(static_cast<int>(cx - R) - 1, static_cast<int>(cy - R) - 1, static_cast<int>(cx + R) + 2,
          static_cast<int>(cy + R) + 2, [&](float px, float py) {
              float d = std::fabs(SdCircle(px, py, cx, cy, r)) - width * 0.5f;
              return WithAlpha(c, c.a * Coverage(d));
          });
}

void Image::FillPolygon(const std::vector<Point>& pts, Rgba c)
{
    if (pts.size() < 3) return;
    float x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
    for (const Point& p : pts)
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    Paint(static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 2, static_cast<int>(y1) + 2,
          [&](float px, float py) { return WithAlpha(c, c.a * Coverage(SdPolygon(px, py, pts))); });
}

void Image::Line(float x0, float y0, float x1, float y1, float width, Rgba c)
{
    float h = width * 0.5f + 1;
    Paint(static_cast<int>(std::min(x0, x1) - h) - 1, static_cast<int>(std::min(y0, y1) - h) - 1,
          static_cast<int>(std::max(x0, x1) + h) + 2, static_cast<int>(std::max(y0, y1) + h) + 2,
          [&](float px, float py) {
              return WithAlpha(c, c.a * Coverage(SdSegment(px, py, x0, y0, x1, y1) - width * 0.5f));
          });
}

void Image::GlowDot(float cx, float cy, float radius, Rgba c)
{
    float R = radius * 3;
    Glow(static_cast<int>(cx - R) - 1, static_cast<int>(cy - R) - 1, static_cast<int>(cx + R) + 2,
         static_cast<int>(cy + R) + 2, [&](float px, float py) {
             float d2 = ((px - cx) * (px - cx) + (py - cy) * (py - cy)) / (radius * radius);
             return WithAlpha(c, c.a * std::exp(-d2));
         });
}

void Image::Copy(const Image& src, int ox, int oy)
{
    for (int y = 0; y < src.m_H; ++y)
        for (int x = 0; x < src.m_W; ++x)
            if (Inside(ox + x, oy + y)) m_Px[Index(ox + x, oy + y)] = src.At(x, y);
}

void Image::Over(const Image& src, int ox, int oy)
{
    for (int y = 0; y < src.m_H; ++y)
        for (int x = 0; x < src.m_W; ++x) Blend(ox + x, oy + y, src.At(x, y));
}

Image Image::Cropped(int x0, int y0, int x1, int y1) const
{
    Image out(x1 - x0, y1 - y0);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Inside(x, y)) out.Ref(x - x0, y - y0) = At(x, y);
    return out;
}

Image Image::Resized(int width, int height) const
{
    Image out(width, height);
    float sx = static_cast<float>(m_W) / width, sy = static_cast<float>(m_H) / height;
    int nx = std::max(1, static_cast<int>(std::ceil(sx))), ny = std::max(1, static_cast<int>(std::ceil(sy)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Premultiplied average so that transparent pixels do not darken edges.
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < ny; ++j)
                for (int i = 0; i < nx; ++i) {
                    Rgba c = Sample((x + (i + 0.5f) / nx) * sx, (y + (j + 0.5f) / ny) * sy);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            Rgba& d = out.Ref(x, y);
            if (a > 0) d = {r / a, g / a, b / a, a / (nx * ny)};
        }
    return out;
}

Image Image::Blurred(float radius) const
{
    Image out = *this;
    int r = std::max(1, static_cast<int>(std::lround(radius / 1.7f)));
    std::vector<float> ch[4];
    for (int c = 0; c < 4; ++c) ch[c].resize(m_Px.size());
    for (size_t i = 0; i < m_Px.size(); ++i) {
        const Rgba& p = m_Px[i];
        ch[0][i] = p.r * p.a, ch[1][i] = p.g * p.a, ch[2][i] = p.b * p.a, ch[3][i] = p.a;
    }
    for (auto& plane : ch)
        for (int pass = 0; pass < 3; ++pass) {
            BoxPass(plane, m_W, m_H, r, true);
            BoxPass(plane, m_W, m_H, r, false);
        }
    for (size_t i = 0; i < m_Px.size(); ++i) {
        float a = ch[3][i];
        out.m_Px[i] = a > 1e-6f ? Rgba{ch[0][i] / a, ch[1][i] / a, ch[2][i] / a, a} : Rgba{};
    }
    return out;
}

Mask Image::AlphaMask() const
{
    Mask m(m_W, m_H);
    for (int y = 0; y < m_H; ++y)
        for (int x = 0; x < m_W; ++x) m.Ref(x, y) = At(x, y).a;
    return m;
}

void Image::Flatten(Rgba background)
{
    for (Rgba& p : m_Px) {
        p = {p.r * p.a + background.r * (1 - p.a), p.g * p.a + background.g * (1 - p.a),
             p.b * p.a + background.b * (1 - p.a), 1.0f};
    }
}

std::vector<uint8_t> Image::Bytes(int channels) const
{
    std::vector<uint8_t> out(m_Px.size() * channels);
    auto q = [](float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (size_t i = 0; i < m_Px.size(); ++i) {
        const Rgba& p = m_Px[i];
        out[i * channels + 0] = q(p.r);
        out[i * channels + 1] = q(p.g);
        out[i * channels + 2] = q(p.b);
        if (channels == 4) out[i * channels + 3] = q(p.a);
    }
    return out;
}

bool Image::WritePng(const std::string& path) const
{
    std::vector<uint8_t> data = Bytes(4);
    return StoredPngWriter::Write(path, data.data(), m_W, m_H);
}

bool Image::WriteJpg(const std::string& path, int quality) const
{
    std::vector<uint8_t> data = Bytes(3);
    return stbi_write_jpg(path.c_str(), m_W, m_H, 3, data.data(), quality) != 0;
}

bool Image::WriteBmp24(const std::string& path) const
{
    std::vector<uint8_t> rgb = Bytes(3);
    const uint32_t rowBytes = (static_cast<uint32_t>(m_W) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(m_H);
    std::vector<uint8_t> file(54 + dataBytes, 0);
    auto put16 = [&](size_t at, uint32_t v) { file[at] = v & 0xff, file[at + 1] = (v >> 8) & 0xff; };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xffff), put16(at + 2, v >> 16); };
    file[0] = 'B', file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);   // offset of the pixels
    put32(14, 40);   // BITMAPINFOHEADER
    put32(18, static_cast<uint32_t>(m_W));
    put32(22, static_cast<uint32_t>(m_H));   // positive: rows stored bottom-up
    put16(26, 1);                            // planes
    put16(28, 24);                           // bits per pixel
    put32(34, dataBytes);
    put32(38, 2835), put32(42, 2835);   // 72 dpi
    for (int y = 0; y < m_H; ++y) {
        uint8_t* row = &file[54 + static_cast<size_t>(m_H - 1 - y) * rowBytes];
        for (int x = 0; x < m_W; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * m_W + x) * 3];
            row[x * 3 + 0] = p[2], row[x * 3 + 1] = p[1], row[x * 3 + 2] = p[0];
        }
    }
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    return f && std::fwrite(file.data(), 1, file.size(), f.get()) == file.size();
}

// ---------------------------------------------------------------- distances

float SdCircle(float px, float py, float cx, float cy, float r) { return std::hypot(px - cx, py - cy) - r; }

float SdBox(float px, float py, float x0, float y0, float x1, float y1, float radius)
{
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    float dx = std::fabs(px - cx) - hx, dy = std::fabs(py - cy) - hy;
    float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - radius;
}

float SdSegment(float px, float py, float ax, float ay, float bx, float by)
{
    float vx = bx - ax, vy = by - ay, wx = px - ax, wy = py - ay;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? std::clamp((wx * vx + wy * vy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(wx - vx * t, wy - vy * t);
}

float SdPolygon(float px, float py, const std::vector<Point>& pts)
{
    float d = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const Point& a = pts[j];
        const Point& b = pts[i];
        d = std::min(d, SdSegment(px, py, a.x, a.y, b.x, b.y));
        if (((b.y > py) != (a.y > py)) && (px < (a.x - b.x) * (py - b.y) / (a.y - b.y) + b.x)) inside = !inside;
    }
    return inside ? -d : d;
}

std::vector<Point> StarPoints(float cx, float cy, int n, float outer, float inner, float a0)
{
    std::vector<Point> pts;
    for (int i = 0; i < 2 * n; ++i) {
        float a = a0 + static_cast<float>(i) * 3.14159265f / n;
        float r = (i % 2 == 0) ? outer : inner;
        pts.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return pts;
}

std::vector<Point> RegularPolygon(float cx, float cy, int n, float r, float a0)
{
    std::vector<Point> pts;
    for (int i = 0; i < n; ++i) {
        float a = a0 + static_cast<float>(i) * 2 * 3.14159265f / n;
        pts.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return pts;
}

// ---------------------------------------------------------------- noise

float ValueNoise(float x, float y, uint32_t seed)
{
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = Fade(x - ix), fy = Fade(y - iy);
    float a = Lerp(Lattice(ix, iy, seed), Lattice(ix + 1, iy, seed), fx);
    float b = Lerp(Lattice(ix, iy + 1, seed), Lattice(ix + 1, iy + 1, seed), fx);
    return Lerp(a, b, fy);
}

float Fbm(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise(x, y, seed + static_cast<uint32_t>(o) * 101u);
        norm += amp;
        x *= 2.03f, y *= 2.03f, amp *= 0.5f;
    }
    return sum / norm;
}

float TiledNoise(float x, float y, int px, int py, uint32_t seed)
{
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = Fade(x - ix), fy = Fade(y - iy);
    auto L = [&](int i, int j) {
        int wi = ((i % px) + px) % px, wj = ((j % py) + py) % py;
        return Lattice(wi, wj, seed);
    };
    float a = Lerp(L(ix, iy), L(ix + 1, iy), fx);
    float b = Lerp(L(ix, iy + 1), L(ix + 1, iy + 1), fx);
    return Lerp(a, b, fy);
}

float TiledFbm(float x, float y, int px, int py, int octaves, uint32_t seed)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * TiledNoise(x, y, px, py, seed + static_cast<uint32_t>(o) * 101u);
        norm += amp;
        x *= 2, y *= 2, px *= 2, py *= 2, amp *= 0.5f;
    }
    return sum / norm;
}

}   // namespace assetgen

namespace assetgen {
Mask RotatedLeft(const Mask& m)
{
    Mask out(m.Height(), m.Width());
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x) out.Ref(y, m.Width() - 1 - x) = m.At(x, y);
    return out;
}
}   // namespace assetgen
