// The five arenas, X/stage_1.x to X/stage_5.x: dishes about 80 units across
// with a shallow dish in the middle and a floor that rises from it to a rim, each with its own outline,
// profile and floor. Every surface stays above height 0 (a top at 0 or below
// is down), and the spawn areas of the game (the start points at (0, 16, +-30),
// the swarm's square from -25 to 25 at height 10, the bombs' ring 17 to 24
// from the centre, the item drops) all lie over the floor.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Image.h"
#include "tools/assetgen/MeshArt.h"
#include "tools/assetgen/MeshBuilder.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;
// Every triangle costs on a software rasteriser, and the drawn arena is also
// the collision mesh; 96 sectors is divisible by 6 and 8, so polygon corners
// fall on sector lines. Half as many made the floor's facets coarse enough that
// a launched top coming down on a crease lost its spin at once.
constexpr int kSectors = 96;
constexpr int kFloorRings = 26;
// Out to the dish's radius, where every launch lands (the start points are 30
// out and a launched top comes down 14 to 19 from the centre), the floor is a
// shallow dish; beyond it the floor rises to the rim. A top's shaft reaches
// only 0.52 below its disc, and a launched top falls about 0.7 in its landing
// step: on a floor at an unlucky height the disc ploughs into it and the top
// loses its spin at once. Across the landing ring the dishes lie between 1.57
// and 1.8, so the shaft's tip ends its landing step at most about 0.3 into the
// floor whatever the aim. A dish's slight slope keeps a resting top circling
// the middle, so a top left alone still wears down.
constexpr float kDishCentreHeight = 1.3f;
constexpr float kDishEdgeHeight = 1.9f;
constexpr float kDishRadius = 21.0f;
constexpr float kTextureSpan = 94;   // world units covered by the floor texture
constexpr float kRimRepeats = 2;     // times the rim texture runs round

enum class Outline { Round, Hexagon, Octagon, RoundedSquare };

struct ArenaShape {
    Outline outline;
    float size;       // radius, or the distance from the centre to the polygon's sides
    float exponent;   // floor height = dish + rise x s^exponent, s = 0 at the dish's edge, 1 at the rim
    float rise;
    int lipGaps;            // breaks in the rim where a top can be thrown off (0: none)
    int notches;            // low stretches of the rim, evenly spaced from angle 180 degrees (0: none)
    float notchRise;        // the rise in the middle of a notch (below 0: a spillway falling to the edge)
    float notchHalfWidth;   // radians of full depth either side of a notch's middle
    bool notchLip;          // whether the lip runs across a notch (no: the floor ends in a bare edge)
    float dishCentre, dishEdge, dishRadius;   // the landing dish's heights at its centre and edge, and its radius
    float lipHeight;                          // the lip's height over the rim, as a share of the usual
    float spillStart = 0;                     // the radius at which a spillway leaves the dish
    const float* notchBearings = nullptr;     // the notches' middles in degrees (none: evenly spaced)
    float pleatGrade = 0;                     // the grade of the floor's radial pleats (0: none)
    float wallStart = 0;                      // where the floor starts to rise to the rim (0: at the dish's edge)
};

constexpr float kCraterSpillways[] = {0, 150, 210};
// The swarm basin's level floor lies within the landing ring's safe heights.
constexpr float kSwarmFloorHeight = 1.7f;
constexpr float kSwarmDishRadius = 14;
constexpr float kSwarmPleatGrade = 0.025f;

const ArenaShape kShapes[5] = {
    // copper dish: a bowl deep enough to turn back the items that the item box
    // throws across it, with two low notches (west and east) where a hard dash
    // can leave it
    {Outline::Round, 40, 1.6f, 8, 0, 2, 4, 0.14f, true, kDishCentreHeight, kDishEdgeHeight, kDishRadius, 1},
    // swarm basin: a level floor, so nothing rolls the swarm into a top that
    // waits in one place, shallowly pleated, so such a top still wears its
    // spin down on the grooves' sides while one that hunts feeds it; and a
    // steep wall that turns most thrown enemies back. It is small: the swarm's
    // square only just fits, so no enemy comes to rest far from the top.
    {Outline::Hexagon, 35.5f, 12, 16, 0, 0, 0, 0, true, kDishCentreHeight, kSwarmFloorHeight, kSwarmDishRadius, 1, 0,
     nullptr, kSwarmPleatGrade, kDishRadius},
    {Outline::Octagon, 41, 2.0f, 7, 0, 0, 0, 0, true, kDishCentreHeight, kDishEdgeHeight, kDishRadius, 1},
    // iron crater: the landing dish inside a high wall, cut by three spillways
    // about 35 degrees wide with no lip at their end: the one way out for the
    // heavy top, and for a player's top that strays into one. They leave the
    // dish 12 out, within reach of a clash won near the middle, and fall at an
    // even grade from there, so a top thrown into one does not roll back. They
    // open east and to either side of west, clear of where either top comes
    // down from its launcher (the z axis, 30 degrees either way), and none lies
    // opposite another, so a top thrown back from a push towards one meets the
    // wall.
    {Outline::Round, 40, 2.0f, 10, 0, 3, -1.1f, 0.2f, false, kDishCentreHeight, kDishEdgeHeight, kDishRadius, 1, 12,
     kCraterSpillways},
    {Outline::RoundedSquare, 38, 1.6f, 8, 0, 0, 0, 0, true, kDishCentreHeight, kDishEdgeHeight, kDishRadius,
     1},   // star altar
};

// How much of a notch lies at this angle: 1 in its middle, 0 outside it.
// Notches are centred on 180 degrees (the -x side) and spaced evenly from there.
constexpr float kNotchEdge = 0.14f;   // radians over which the rim climbs back
float NotchAmount(const ArenaShape& s, float angle)
{
    if (s.notches == 0) return 0;
    float fromMiddle;
    if (s.notchBearings) {
        fromMiddle = kPi;
        for (int i = 0; i < s.notches; ++i)
            fromMiddle =
                std::min(fromMiddle, std::fabs(std::remainder(angle - s.notchBearings[i] * kPi / 180, 2 * kPi)));
    } else {
        float period = 2 * kPi / s.notches;
        fromMiddle = std::fabs(std::fmod(angle - kPi + 8 * kPi + period / 2, period) - period / 2);
    }
    return 1 - SmoothStep(s.notchHalfWidth, s.notchHalfWidth + kNotchEdge, fromMiddle);
}

// Distance from the centre to the edge of the floor in direction angle.
float EdgeRadius(const ArenaShape& s, float angle)
{
    auto polygon = [&](int n, float offset) {
        float sector = 2 * kPi / n;
        float a = std::fmod(angle - offset + 8 * kPi, sector) - sector / 2;
        return s.size / std::cos(a);
    };
    switch (s.outline) {
        case Outline::Round: return s.size;
        case Outline::Hexagon: return polygon(6, 0);         // flat sides towards +-z
        case Outline::Octagon: return polygon(8, kPi / 8);   // flat sides towards the axes
        case Outline::RoundedSquare: {
            float c = std::pow(std::fabs(std::cos(angle)), 4.0f), d = std::pow(std::fabs(std::sin(angle)), 4.0f);
            return s.size / std::pow(c + d, 0.25f);
        }
    }
    return s.size;
}

// Radial pleats: shallow V grooves running out from the centre, a crest on
// every fourth column of the mesh and a trough two columns on, so each facet
// is one plane. Their depth grows with the radius, which keeps their grade the
// same everywhere, and they fade out up the wall.
constexpr int kPleatColumns = 4;
float Pleat(const ArenaShape& s, float angle, float radius, float rising)
{
    if (s.pleatGrade <= 0) return 0;
    float columns = angle / (2 * kPi) * kSectors;
    float phase = std::fabs(std::remainder(columns, static_cast<float>(kPleatColumns))) / (kPleatColumns / 2.0f);
    float halfWidth = 2 * kPi * radius / kSectors * (kPleatColumns / 2.0f);
    float depth = s.pleatGrade * halfWidth * (1 - SmoothStep(0.0f, 0.3f, rising));
    return -depth * (1 - phase);
}

float FloorHeight(const ArenaShape& s, float angle, float t)
{
    float edge = EdgeRadius(s, angle);
    float inDish = std::min(t * edge, s.dishRadius) / s.dishRadius;
    float foot = std::max(s.dishRadius, s.wallStart);
    float rising = std::max(0.0f, (t * edge - foot) / (edge - foot));
    float dish = s.dishCentre + (s.dishEdge - s.dishCentre) * inDish * inDish;
    float wall = s.rise * std::pow(rising, s.exponent);
    float notch = s.notchRise * std::pow(rising, s.exponent);
    if (s.notchRise < 0) {
        // A spillway leaves the dish at spillStart and falls at an even grade
        // from there to the edge.
        float start = std::min(s.spillStart, s.dishRadius);
        float along = std::max(0.0f, (t * edge - start) / (edge - start));
        float atStart = s.dishCentre + (s.dishEdge - s.dishCentre) * (start / s.dishRadius) * (start / s.dishRadius);
        notch = std::min(atStart + s.notchRise * along, dish) - dish;
    }
    return dish + wall + (notch - wall) * NotchAmount(s, angle) + Pleat(s, angle, t * edge, rising);
}
// The floor's thickness, thinner under a low floor, so its underside stays
// above height 0.
float Thickness(float t, float floorHeight) { return std::min(0.7f + 0.8f * t * t, floorHeight - 0.4f); }

V3 Radial(float angle) { return {std::cos(angle), 0, std::sin(angle)}; }

V3 FloorPoint(const ArenaShape& s, float angle, float t)
{
    V3 p = Radial(angle) * (t * EdgeRadius(s, angle));
    p.y = FloorHeight(s, angle, t);
    return p;
}

V3 FloorNormal(const ArenaShape& s, float angle, float t)
{
    if (t < 1e-4f) return {0, 1, 0};
    const float da = 1e-3f, dt = 1e-3f;
    V3 alongT = FloorPoint(s, angle, std::min(t + dt, 1.0f)) - FloorPoint(s, angle, t - dt);
    V3 around = FloorPoint(s, angle + da, t) - FloorPoint(s, angle - da, t);
    V3 n = Unit(Cross(around, alongT));
    return n.y < 0 ? n * -1.0f : n;
}

// How much of the rim's lip stands at this angle: 0 in a gap, 1 elsewhere.
float LipAmount(const ArenaShape& s, float angle)
{
    float standing = s.notchLip ? 1 : 1 - NotchAmount(s, angle);
    if (s.lipGaps == 0) return standing;
    float phase = std::fmod(angle * s.lipGaps / (2 * kPi) + 8.0f, 1.0f);
    float fromGap = std::min(phase, 1 - phase);
    return standing * SmoothStep(0.05f, 0.09f, fromGap);
}

// The rim's cross-section beyond the floor's edge: (outwards, up) from the edge point.
struct LipPoint {
    float out, up;
};
// A bare edge (amount 0) is level with the floor, so nothing is caught on it.
// Below an edge that stands low (a spillway) the lip's underside is shallower,
// keeping every surface above height 0.
constexpr float kLipDrop = 1.7f;
constexpr float kLowestSurface = 0.3f;
std::vector<LipPoint> LipProfile(float amount, float height, float edgeHeight)
{
    float drop = std::min(kLipDrop, edgeHeight - kLowestSurface);
    float bead = 0.1f * std::min(amount * 10, 1.0f);
    return {{0, 0},
            {0.5f, 1.1f * height * amount + bead},
            {1.6f, 1.3f * height * amount + bead},
            {2.3f, 0.6f * height * amount},
            {2.3f, -drop / kLipDrop},
            {1.6f, -drop}};
}

float Angle(int column) { return 2 * kPi * static_cast<float>(column) / kSectors; }

// Floor rings crowd towards the rim where the dish is steepest.
float RingT(int ring) { return 1 - std::pow(1 - static_cast<float>(ring) / kFloorRings, 1.35f); }

struct UV {
    float u, v;
};
UV FloorUV(V3 p) { return {0.5f + p.x / kTextureSpan, 0.5f - p.z / kTextureSpan}; }

void AddFloor(MeshBuilder& mb, const ArenaShape& s, int material)
{
    int centre = mb.AddVertex({0, FloorHeight(s, 0, 0), 0}, {0, 1, 0}, 0.5f, 0.5f);
    std::vector<int> grid(static_cast<size_t>(kSectors + 1) * (kFloorRings + 1), centre);
    auto at = [&](int col, int ring) -> int& { return grid[static_cast<size_t>(col) * (kFloorRings + 1) + ring]; };
    for (int col = 0; col <= kSectors; ++col)
        for (int ring = 1; ring <= kFloorRings; ++ring) {
            float a = Angle(col), t = RingT(ring);
            V3 p = FloorPoint(s, a, t);
            UV uv = FloorUV(p);
            at(col, ring) = mb.AddVertex(p, FloorNormal(s, a, t), uv.u, uv.v);
        }
    for (int col = 0; col < kSectors; ++col) {
        mb.AddTriangle(centre, at(col, 1), at(col + 1, 1), material);
        for (int ring = 1; ring < kFloorRings; ++ring)
            mb.AddQuad(at(col, ring), at(col + 1, ring), at(col + 1, ring + 1), at(col, ring + 1), material);
    }
}

// A strip of columns round the arena, each column a list of points with normals.
struct Column {
    std::vector<V3> points, normals;
};

void AddStrip(MeshBuilder& mb, const std::vector<Column>& columns, int material, bool rimUV)
{
    const int rows = static_cast<int>(columns[0].points.size());
    std::vector<int> index;
    for (int col = 0; col <= kSectors; ++col)
        for (int k = 0; k < rows; ++k) {
            const V3& p = columns[col].points[k];
            float u = rimUV ? kRimRepeats * col / kSectors : FloorUV(p).u;
            float v = rimUV ? static_cast<float>(k) / (rows - 1) : FloorUV(p).v;
            index.push_back(mb.AddVertex(p, columns[col].normals[k], u, v));
        }
    for (int col = 0; col < kSectors; ++col)
        for (int k = 0; k + 1 < rows; ++k) {
            int a = index[col * rows + k], b = index[(col + 1) * rows + k];
            mb.AddQuad(a, b, index[(col + 1) * rows + k + 1], index[col * rows + k + 1], material);
        }
}

Column LipColumn(const ArenaShape& s, float angle)
{
    V3 edge = FloorPoint(s, angle, 1), out = Radial(angle);
    std::vector<LipPoint> lip = LipProfile(LipAmount(s, angle), s.lipHeight, edge.y);
    Column c;
    const int n = static_cast<int>(lip.size());
    for (int k = 0; k < n; ++k) {
        c.points.push_back(edge + out * lip[k].out + V3{0, lip[k].up, 0});
        const LipPoint& a = lip[std::max(k - 1, 0)];
        const LipPoint& b = lip[std::min(k + 1, n - 1)];
        // The outside lies to the left of the cross-section drawn from the floor outwards.
        float dOut = b.out - a.out, dUp = b.up - a.up;
        c.normals.push_back(Unit(out * -dUp + V3{0, dOut, 0}));
    }
    return c;
}

Column UndersideColumn(const ArenaShape& s, float angle)
{
    Column c;
    V3 edge = FloorPoint(s, angle, 1);
    const LipPoint last = LipProfile(LipAmount(s, angle), s.lipHeight, edge.y).back();
    c.points.push_back(edge + Radial(angle) * last.out + V3{0, last.up, 0});
    for (float t : {0.96f, 0.85f, 0.7f, 0.5f, 0.3f, 0.12f, 0.0f}) {
        V3 p = FloorPoint(s, angle, t);
        p.y -= Thickness(t, p.y);
        c.points.push_back(p);
    }
    c.normals.assign(c.points.size(), V3{0, -1, 0});
    return c;
}

float LowestPoint(const MeshBuilder& mb)
{
    float lowest = 1e9f;
    for (const auto& v : mb.Vertices()) lowest = std::min(lowest, v.p.y);
    return lowest;
}

}   // namespace

bool WriteArena(const DataDir& dir, int stage)
{
    if (stage < 1 || stage > 5) return false;
    const ArenaShape& shape = kShapes[stage - 1];
    const std::string floorFile = "Stage" + std::to_string(stage) + "Floor.jpg";
    const std::string rimFile = "Stage" + std::to_string(stage) + "Rim.png";
    MeshBuilder mb;
    XMaterial floor = Painted("Floor", 0.85f, 0.85f, 0.85f, floorFile, 0.25f);
    int floorMat = mb.AddMaterial(floor);
    int rimMat = mb.AddMaterial(Painted("Rim", 1, 1, 1, rimFile, 0.45f));
    int underMat = mb.AddMaterial(Painted("Underside", 0.22f, 0.22f, 0.26f, "", 0.6f));
    AddFloor(mb, shape, floorMat);
    std::vector<Column> lip, under;
    for (int col = 0; col <= kSectors; ++col) {
        lip.push_back(LipColumn(shape, Angle(col)));
        under.push_back(UndersideColumn(shape, Angle(col)));
    }
    AddStrip(mb, lip, rimMat, true);
    AddStrip(mb, under, underMat, false);
    // Every surface must stay above height 0, where a top counts as fallen.
    if (LowestPoint(mb) < 0.2f) return false;
    bool ok = ArenaFloorTexture(stage, kTextureSpan).WriteJpg(dir.Path("X/" + floorFile), 90);
    ok = ArenaRimTexture(stage).WritePng(dir.Path("X/" + rimFile)) && ok;
    return mb.WriteX(dir.Path("X/stage_" + std::to_string(stage) + ".x"), "Stage") && ok;
}

}   // namespace assetgen
