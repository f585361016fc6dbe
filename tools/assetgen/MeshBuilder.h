// MeshBuilder collects the triangles of one model (positions, normals,
// texture coordinates, one material per triangle) and writes it as a text X
// file. Triangles are wound as Direct3D expects of a left-handed world: a
// front face is clockwise when seen from the side its vertex normals point to,
// so every triangle is oriented from its normals as it is added.
//
// The file layout also satisfies the arena reader, which reads the first Mesh
// block token by token: one vertex per line written without spaces, exactly
// one line between the last vertex and the face count, triangles only.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace assetgen {

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Len(V3 a) { return std::sqrt(Dot(a, a)); }
inline V3 Unit(V3 a)
{
    float l = Len(a);
    return l > 1e-12f ? a * (1.0f / l) : V3{};
}

// An affine placement: p' = M p + t (M row-major, applied to column vectors).
struct Placement {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    V3 t;

    static Placement Translate(float x, float y, float z);
    static Placement Scale(float x, float y, float z);
    static Placement RotateX(float radians);
    static Placement RotateY(float radians);
    static Placement RotateZ(float radians);
    // This placement after other (other applied first).
    Placement After(const Placement& other) const;
    V3 Point(V3 p) const;
    V3 Normal(V3 n) const;   // by the inverse transpose, normalised
};

struct XMaterial {
    std::string name;
    float r = 1, g = 1, b = 1, a = 1;   // diffuse (the game copies it to ambient)
    float power = 0;
    float sr = 0, sg = 0, sb = 0;   // specular
    float er = 0, eg = 0, eb = 0;   // emissive
    std::string texture;            // file name beside the mesh, or empty
};

struct ProfilePoint {
    float r = 0, y = 0;
    int material = 0;        // material of the band from this point to the next
    bool smooth = true;      // normal averaged with the neighbouring band
    bool modulate = false;   // radius multiplied by the lathe's angular function
};

class MeshBuilder {
public:
    int AddMaterial(const XMaterial& m);
    int MaterialCount() const { return static_cast<int>(m_Materials.size()); }

    // The placement applied to everything added until it is changed.
    void SetPlacement(const Placement& p) { m_Place = p; }
    void ResetPlacement() { m_Place = Placement{}; }

    int AddVertex(V3 p, V3 n, float u, float v);
    // Oriented from the vertex normals; degenerate triangles are dropped.
    void AddTriangle(int a, int b, int c, int material);
    void AddQuad(int a, int b, int c, int d, int material);   // a b c d around the quad

    // Surface of revolution about y. The profile runs from the top to the
    // bottom with the outside to its left when r points right and y up
    // (top pole, outwards, down, back to the bottom pole); u goes round
    // uRepeat times, v runs along the profile from vTop to vBottom.
    void Lathe(const std::vector<ProfilePoint>& profile, int segments, float uRepeat = 1,
               const std::function<float(float angle)>& radiusScale = {}, float vTop = 0, float vBottom = 1);
    void Box(V3 lo, V3 hi, int material, float uvScale = 1);
    void Sphere(V3 centre, float radius, int segments, int rings, int material, float uRepeat = 1);
    // Turns every triangle and normal round (a model seen from inside).
    void FlipAll();
    // Repeats every triangle from firstTriangle on with the opposite facing.
    void AddBackFaces(int firstTriangle);
    int TriangleCount() const { return static_cast<int>(m_Tris.size()); }
    int VertexCount() const { return static_cast<int>(m_Verts.size()); }

    // Vertex positions and triangles, for checks on the finished model.
    struct Vertex {
        V3 p, n;
        float u = 0, v = 0;
    };
    struct Triangle {
        int a, b, c, material;
    };
    const std::vector<Vertex>& Vertices() const { return m_Verts; }
    const std::vector<Triangle>& Triangles() const { return m_Tris; }
    const std::vector<XMaterial>& Materials() const { return m_Materials; }

    bool WriteX(const std::string& path, const std::string& name) const;

private:
    std::vector<Vertex> m_Verts;
    std::vector<Triangle> m_Tris;
    std::vector<XMaterial> m_Materials;
    Placement m_Place;
};

// Shorthands for materials.
XMaterial Painted(const std::string& name, float r, float g, float b, const std::string& texture = "",
                  float glow = 0.3f);
XMaterial Metal(const std::string& name, float r, float g, float b, const std::string& texture = "");
XMaterial Glowing(const std::string& name, float r, float g, float b, float a, const std::string& texture = "");

}   // namespace assetgen
