#include "tools/assetgen/MeshBuilder.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>

namespace assetgen {

namespace {

constexpr float kTwoPi = 6.28318530718f;

// Numbers as the X files carry them: fixed six decimals, no negative zero.
std::string Num(float v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(v));
    std::string s = buf;
    if (s == "-0.000000") s = "0.000000";
    return s;
}

}   // namespace

// ---------------------------------------------------------------- Placement

Placement Placement::Translate(float x, float y, float z)
{
    Placement p;
    p.t = {x, y, z};
    return p;
}

Placement Placement::Scale(float x, float y, float z)
{
    Placement p;
    p.m[0][0] = x, p.m[1][1] = y, p.m[2][2] = z;
    return p;
}

Placement Placement::RotateX(float a)
{
    Placement p;
    float c = std::cos(a), s = std::sin(a);
    p.m[1][1] = c, p.m[1][2] = -s, p.m[2][1] = s, p.m[2][2] = c;
    return p;
}

Placement Placement::RotateY(float a)
{
    Placement p;
    float c = std::cos(a), s = std::sin(a);
    p.m[0][0] = c, p.m[0][2] = s, p.m[2][0] = -s, p.m[2][2] = c;
    return p;
}

Placement Placement::RotateZ(float a)
{
    Placement p;
    float c = std::cos(a), s = std::sin(a);
    p.m[0][0] = c, p.m[0][1] = -s, p.m[1][0] = s, p.m[1][1] = c;
    return p;
}

Placement Placement::After(const Placement& o) const
{
    Placement r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = 0;
            for (int k = 0; k < 3; ++k) r.m[i][j] += m[i][k] * o.m[k][j];
        }
    r.t = Point(o.t);
    return r;
}

V3 Placement::Point(V3 p) const
{
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x, m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
}

V3 Placement::Normal(V3 n) const
{
    // Cofactor matrix = determinant x inverse transpose; the scale drops out in the normalisation.
    float c[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            c[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
        }
    float det = m[0][0] * c[0][0] + m[0][1] * c[0][1] + m[0][2] * c[0][2];
    V3 r{c[0][0] * n.x + c[0][1] * n.y + c[0][2] * n.z, c[1][0] * n.x + c[1][1] * n.y + c[1][2] * n.z,
         c[2][0] * n.x + c[2][1] * n.y + c[2][2] * n.z};
    if (det < 0) r = r * -1.0f;
    return Unit(r);
}

// ---------------------------------------------------------------- materials

XMaterial Painted(const std::string& name, float r, float g, float b, const std::string& texture, float glow)
{
    XMaterial m;
    m.name = name, m.r = r, m.g = g, m.b = b, m.a = 1;
    m.power = 12, m.sr = m.sg = m.sb = 0.25f;
    m.er = r * glow, m.eg = g * glow, m.eb = b * glow;
    m.texture = texture;
    return m;
}

XMaterial Metal(const std::string& name, float r, float g, float b, const std::string& texture)
{
    XMaterial m;
    m.name = name, m.r = r, m.g = g, m.b = b, m.a = 1;
    m.power = 30, m.sr = m.sg = m.sb = 0.9f;
    m.er = r * 0.35f, m.eg = g * 0.35f, m.eb = b * 0.35f;
    m.texture = texture;
    return m;
}

XMaterial Glowing(const std::string& name, float r, float g, float b, float a, const std::string& texture)
{
    XMaterial m;
    m.name = name, m.r = r, m.g = g, m.b = b, m.a = a;
    m.er = r, m.eg = g, m.eb = b;
    m.texture = texture;
    return m;
}

// ---------------------------------------------------------------- building

int MeshBuilder::AddMaterial(const XMaterial& m)
{
    m_Materials.push_back(m);
    return static_cast<int>(m_Materials.size()) - 1;
}

int MeshBuilder::AddVertex(V3 p, V3 n, float u, float v)
{
    m_Verts.push_back({m_Place.Point(p), m_Place.Normal(n), u, v});
    return static_cast<int>(m_Verts.size()) - 1;
}

void MeshBuilder::AddTriangle(int a, int b, int c, int material)
{
    const Vertex &va = m_Verts[a], &vb = m_Verts[b], &vc = m_Verts[c];
    V3 g = Cross(vb.p - va.p, vc.p - va.p);
    if (Len(g) < 1e-9f) return;
    // Clockwise seen from outside means the cross product points outside.
    if (Dot(g, va.n + vb.n + vc.n) < 0) std::swap(b, c);
    m_Tris.push_back({a, b, c, material});
}

void MeshBuilder::AddQuad(int a, int b, int c, int d, int material)
{
    AddTriangle(a, b, c, material);
    AddTriangle(a, c, d, material);
}

void MeshBuilder::Lathe(const std::vector<ProfilePoint>& profile, int segments, float uRepeat,
                        const std::function<float(float)>& radiusScale, float vTop, float vBottom)
{
    const int n = static_cast<int>(profile.size());
    if (n < 2 || segments < 3) return;
    auto position = [&](int i, float angle) {
        const ProfilePoint& pp = profile[i];
        float r = pp.r * ((pp.modulate && radiusScale) ? radiusScale(angle) : 1.0f);
        return V3{r * std::cos(angle), pp.y, r * std::sin(angle)};
    };
    // v follows the length along the profile.
    std::vector<float> arc(n, 0.0f);
    for (int i = 1; i < n; ++i)
        arc[i] = arc[i - 1] + std::hypot(profile[i].r - profile[i - 1].r, profile[i].y - profile[i - 1].y);
    auto vAt = [&](int i) { return vTop + (vBottom - vTop) * (arc[n - 1] > 0 ? arc[i] / arc[n - 1] : 0.0f); };

    auto normal = [&](int i, int band, float angle) {
        int i0 = band, i1 = band + 1;
        if (profile[i].smooth && i > 0 && i < n - 1) i0 = i - 1, i1 = i + 1;
        float dr = profile[i1].r - profile[i0].r, dy = profile[i1].y - profile[i0].y;
        V3 analytic = Unit(V3{-dy * std::cos(angle), dr, -dy * std::sin(angle)});
        if (profile[i].r == 0.0f) return V3{0, dr >= 0 ? 1.0f : -1.0f, 0};
        const float eps = 1e-3f;
        V3 tAround = position(i, angle + eps) - position(i, angle - eps);
        V3 tAlong = position(i1, angle) - position(i0, angle);
        V3 nn = Unit(Cross(tAround, tAlong));
        if (Len(nn) < 0.5f) return analytic;
        return Dot(nn, analytic) < 0 ? nn * -1.0f : nn;
    };

    for (int band = 0; band < n - 1; ++band) {
        int base = VertexCount();
        for (int ring = 0; ring < 2; ++ring) {
            int i = band + ring;
            for (int j = 0; j <= segments; ++j) {
                float angle = kTwoPi * static_cast<float>(j) / segments;
                AddVertex(position(i, angle), normal(i, band, angle), uRepeat * static_cast<float>(j) / segments,
                          vAt(i));
            }
        }
        int row = segments + 1;
        for (int j = 0; j < segments; ++j)
            AddQuad(base + j, base + j + 1, base + row + j + 1, base + row + j, profile[band].material);
    }
}

void MeshBuilder::Box(V3 lo, V3 hi, int material, float uvScale)
{
    struct Face {
        V3 n, u, v;
    };
    const Face faces[6] = {{{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                           {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
                           {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}};
    V3 c = (lo + hi) * 0.5f, h = (hi - lo) * 0.5f;
    auto scale = [&](V3 a) { return V3{a.x * h.x, a.y * h.y, a.z * h.z}; };
    for (const Face& f : faces) {
        V3 centre = c + scale(f.n);
        V3 du = scale(f.u), dv = scale(f.v);
        float su = Len(du) * 2 * uvScale, sv = Len(dv) * 2 * uvScale;
        int a = AddVertex(centre - du - dv, f.n, 0, sv);
        int b = AddVertex(centre + du - dv, f.n, su, sv);
        int d = AddVertex(centre + du + dv, f.n, su, 0);
        int e = AddVertex(centre - du + dv, f.n, 0, 0);
        AddQuad(a, b, d, e, material);
    }
}

void MeshBuilder::Sphere(V3 centre, float radius, int segments, int rings, int material, float uRepeat)
{
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= rings; ++i) {
        float phi = 3.14159265f * static_cast<float>(i) / rings;
        profile.push_back({radius * std::sin(phi), radius * std::cos(phi), material});
    }
    profile.front().r = profile.back().r = 0;
    Placement saved = m_Place;
    m_Place = m_Place.After(Placement::Translate(centre.x, centre.y, centre.z));
    Lathe(profile, segments, uRepeat);
    m_Place = saved;
}

void MeshBuilder::FlipAll()
{
    for (Vertex& v : m_Verts) v.n = v.n * -1.0f;
    for (Triangle& t : m_Tris) std::swap(t.b, t.c);
}

void MeshBuilder::AddBackFaces(int firstTriangle)
{
    const int end = TriangleCount();
    for (int t = firstTriangle; t < end; ++t) {
        Triangle tri = m_Tris[t];
        int idx[3] = {tri.a, tri.b, tri.c};
        int copy[3];
        for (int k = 0; k < 3; ++k) {
            Vertex v = m_Verts[idx[k]];
            v.n = v.n * -1.0f;
            m_Verts.push_back(v);
            copy[k] = VertexCount() - 1;
        }
        // Reversed order: the copy faces the other way.
        m_Tris.push_back({copy[0], copy[2], copy[1], tri.material});
    }
}

// ---------------------------------------------------------------- writing

bool MeshBuilder::WriteX(const std::string& path, const std::string& name) const
{
    std::vector<int> order(m_Tris.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return m_Tris[a].material < m_Tris[b].material; });

    // Only the vertices some triangle uses are written (dropped degenerate
    // triangles can leave a few behind), renumbered in their original order.
    std::vector<int> remap(m_Verts.size(), -1);
    for (const Triangle& t : m_Tris)
        for (int v : {t.a, t.b, t.c}) remap[v] = 0;
    std::vector<const Vertex*> verts;
    for (size_t i = 0; i < m_Verts.size(); ++i)
        if (remap[i] == 0) remap[i] = static_cast<int>(verts.size()), verts.push_back(&m_Verts[i]);

    std::string out;
    out.reserve(verts.size() * 96 + m_Tris.size() * 48 + 4096);
    out += "xof 0303txt 0032\n\n";
    out += "Frame " + name + " {\n";
    out +=
        " FrameTransformMatrix {\n  1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,"
        "0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000;;\n }\n";
    out += " Mesh " + name + "Mesh {\n";
    out += "  " + std::to_string(verts.size()) + ";\n";
    for (size_t i = 0; i < verts.size(); ++i) {
        const V3& p = verts[i]->p;
        out += "  " + Num(p.x) + ";" + Num(p.y) + ";" + Num(p.z) + (i + 1 < verts.size() ? ";,\n" : ";;\n");
    }
    out += "\n";   // the one line between the last vertex and the face count
    auto faceList = [&](std::string& s, const char* indent) {
        s += indent + std::to_string(order.size()) + ";\n";
        for (size_t k = 0; k < order.size(); ++k) {
            const Triangle& t = m_Tris[order[k]];
            s += indent;
            s += "3;" + std::to_string(remap[t.a]) + "," + std::to_string(remap[t.b]) + "," +
                 std::to_string(remap[t.c]) + (k + 1 < order.size() ? ";,\n" : ";;\n");
        }
    };
    faceList(out, "  ");

    out += "  MeshNormals {\n   " + std::to_string(verts.size()) + ";\n";
    for (size_t i = 0; i < verts.size(); ++i) {
        const V3& n = verts[i]->n;
        out += "   " + Num(n.x) + ";" + Num(n.y) + ";" + Num(n.z) + (i + 1 < verts.size() ? ";,\n" : ";;\n");
    }
    faceList(out, "   ");
    out += "  }\n";

    out += "  MeshTextureCoords {\n   " + std::to_string(verts.size()) + ";\n";
    for (size_t i = 0; i < verts.size(); ++i)
        out += "   " + Num(verts[i]->u) + ";" + Num(verts[i]->v) + (i + 1 < verts.size() ? ";,\n" : ";;\n");
    out += "  }\n";

    out += "  MeshMaterialList {\n   " + std::to_string(m_Materials.size()) + ";\n   " + std::to_string(order.size()) +
           ";\n";
    for (size_t k = 0; k < order.size(); ++k)
        out += "   " + std::to_string(m_Tris[order[k]].material) + (k + 1 < order.size() ? ",\n" : ";\n");
    for (const XMaterial& m : m_Materials) {
        out += "   Material " + m.name + " {\n";
        out += "    " + Num(m.r) + ";" + Num(m.g) + ";" + Num(m.b) + ";" + Num(m.a) + ";;\n";
        out += "    " + Num(m.power) + ";\n";
        out += "    " + Num(m.sr) + ";" + Num(m.sg) + ";" + Num(m.sb) + ";;\n";
        out += "    " + Num(m.er) + ";" + Num(m.eg) + ";" + Num(m.eb) + ";;\n";
        if (!m.texture.empty()) out += "    TextureFilename {\n     \"" + m.texture + "\";\n    }\n";
        out += "   }\n";
    }
    out += "  }\n }\n}\n";

    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    return f && std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
}

}   // namespace assetgen
