// Everything else with a shape: items and the item box with its propeller,
// the launcher rail and its rollers, the aura, air wall and jump rings, the
// stage-3 capsule bumper, the boss's projectile and bomb, and the sky.
#include <cmath>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/MeshArt.h"
#include "tools/assetgen/MeshBuilder.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

ProfilePoint P(float r, float y, int material, bool smooth = true, bool modulate = false)
{
    return {r, y, material, smooth, modulate};
}

// A vertical cylinder with flat caps.
void Cylinder(MeshBuilder& mb, float radius, float y0, float y1, int segments, int side, int cap)
{
    mb.Lathe({P(0, y1, cap), P(radius, y1, side, false), P(radius, y0, cap, false), P(0, y0, cap)}, segments);
}

// Closed circle profile (a torus about the y axis).
void Torus(MeshBuilder& mb, float radius, float tube, int segments, int sides, int material)
{
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= sides; ++i) {
        float a = 2 * kPi * i / sides;
        profile.push_back(P(radius + tube * std::sin(a), tube * std::cos(a), material));
    }
    mb.Lathe(profile, segments, 4);
}

bool Save(const MeshBuilder& mb, const DataDir& dir, const char* file, const char* name)
{
    return mb.WriteX(dir.Path(std::string("X/") + file), name);
}

// Items: balls of radius 1 (the size of their sphere bodies).
bool WriteItems(const DataDir& dir)
{
    static const char* const kFiles[4] = {"Item.x", "Item1.x", "Item2.x", "Item3.x"};
    static const char* const kTextures[4] = {"ItemUnknown.png", "ItemSpin.png", "ItemJump.png", "ItemPower.png"};
    bool ok = true;
    for (int k = 0; k < 4; ++k) {
        MeshBuilder mb;
        int m = mb.AddMaterial(Painted("Ball", 1, 1, 1, kTextures[k], 0.45f));
        mb.Sphere({0, 0, 0}, 1.0f, 32, 16, m);
        ok = ItemBallTexture(k).WritePng(dir.Path(std::string("X/") + kTextures[k])) && ok;
        ok = Save(mb, dir, kFiles[k], "Item") && ok;
    }
    return ok;
}

// The item box: a crate with corner posts and a mast; the propeller turns
// about the box's own y axis at the top of the mast.
bool WriteItemBox(const DataDir& dir)
{
    MeshBuilder box;
    int crate = box.AddMaterial(Painted("Crate", 1, 1, 1, "ItemCrate.png", 0.4f));
    int metal = box.AddMaterial(Metal("Frame", 0.8f, 0.82f, 0.86f));
    box.Box({-1.5f, -1.4f, -1.5f}, {1.5f, 1.4f, 1.5f}, crate, 1.0f / 3.0f);
    for (float x : {-1.55f, 1.55f})
        for (float z : {-1.55f, 1.55f}) box.Box({x - 0.18f, -1.55f, z - 0.18f}, {x + 0.18f, 1.55f, z + 0.18f}, metal);
    box.Box({-1.7f, 1.4f, -1.7f}, {1.7f, 1.6f, 1.7f}, metal);
    Cylinder(box, 0.18f, 1.6f, 2.7f, 16, metal, metal);
    bool ok = CrateTexture().WritePng(dir.Path("X/ItemCrate.png"));
    ok = Save(box, dir, "ItemBox.x", "ItemBox") && ok;

    MeshBuilder prop;
    int blade = prop.AddMaterial(Painted("Blade", 0.95f, 0.2f, 0.15f, "", 0.35f));
    int hub = prop.AddMaterial(Metal("Hub", 0.85f, 0.86f, 0.9f));
    for (int b = 0; b < 3; ++b) {
        // A pitched blade reaching 3 units from the mast.
        prop.SetPlacement(Placement::Translate(0, 2.85f, 0)
                              .After(Placement::RotateY(2 * kPi * b / 3))
                              .After(Placement::RotateX(0.25f)));
        prop.Box({0.2f, -0.05f, -0.28f}, {3.0f, 0.05f, 0.28f}, blade);
        prop.Box({2.55f, -0.06f, -0.3f}, {3.0f, 0.06f, 0.3f}, hub);
    }
    prop.ResetPlacement();
    prop.Sphere({0, 2.85f, 0}, 0.36f, 16, 8, hub);
    return Save(prop, dir, "ItemBoxPropeller.x", "Propeller") && ok;
}

// The launcher: two rails along the launch direction (+z) under the rollers,
// cross bars and a grip at the back. The top sits between the rollers.
bool WriteLauncher(const DataDir& dir)
{
    MeshBuilder rail;
    int hazard = rail.AddMaterial(Painted("Hazard", 1, 1, 1, "Rail.png", 0.35f));
    int steel = rail.AddMaterial(Metal("Steel", 0.6f, 0.63f, 0.7f));
    int grip = rail.AddMaterial(Painted("Grip", 0.15f, 0.15f, 0.18f, "", 0.3f));
    for (float x : {-2.75f, 2.75f}) {
        rail.Box({x - 0.45f, -0.95f, -4.2f}, {x + 0.45f, -0.6f, 3.2f}, hazard, 0.5f);
        rail.Box({x - 0.12f, -0.6f, 0.05f}, {x + 0.12f, -0.45f, 0.4f}, steel);   // roller axle seat
    }
    rail.Box({-3.2f, -1.05f, -4.2f}, {3.2f, -0.75f, -3.6f}, steel);
    rail.Box({-3.2f, -1.05f, 2.6f}, {3.2f, -0.85f, 3.2f}, steel);
    rail.Box({-0.35f, -1.0f, -6.4f}, {0.35f, -0.6f, -4.2f}, grip);
    rail.Box({-1.2f, -1.05f, -6.9f}, {1.2f, -0.55f, -6.4f}, grip);
    bool ok = RailTexture().WritePng(dir.Path("X/Rail.png"));
    ok = Save(rail, dir, "Rale.x", "Rale") && ok;

    // A roller about 1.1 in radius with twelve ridges; the first material is
    // the one the aiming screen fades for its glowing copies.
    MeshBuilder roll;
    int rubber = roll.AddMaterial(Painted("Roller", 1, 1, 1, "Roller.png", 0.35f));
    auto ridges = [](float a) { return 1.0f + 0.06f * std::pow(0.5f + 0.5f * std::cos(12 * a), 2.0f); };
    roll.Lathe({P(0, 0.45f, rubber), P(0.5f, 0.45f, rubber, false), P(1.0f, 0.42f, rubber, false, true),
                P(1.1f, 0.3f, rubber, true, true), P(1.1f, -0.3f, rubber, true, true),
                P(1.0f, -0.42f, rubber, false, true), P(0.5f, -0.45f, rubber, false), P(0, -0.45f, rubber)},
               36, 1, ridges);
    ok = RollerTexture().WritePng(dir.Path("X/Roller.png")) && ok;
    return Save(roll, dir, "RaleRoll.x", "RaleRoll") && ok;
}

// Effects: the aura swirl, the air wall's shock front (facing +x) and the jump ring.
bool WriteEffects(const DataDir& dir)
{
    MeshBuilder aura;
    int flame = aura.AddMaterial(Glowing("Aura", 1.0f, 0.7f, 0.3f, 1.0f, "Aura.png"));
    aura.Lathe({P(1.5f, 2.7f, flame), P(2.1f, 1.6f, flame), P(2.35f, 0.2f, flame), P(2.1f, -1.4f, flame),
                P(1.4f, -2.6f, flame)},
               40, 2);
    aura.AddBackFaces(0);
    bool ok = AuraTexture().WritePng(dir.Path("X/Aura.png"));
    ok = Save(aura, dir, "EffectAura.x", "Aura") && ok;

    MeshBuilder wall;
    int shock = wall.AddMaterial(Glowing("AirWall", 0.7f, 0.9f, 1.0f, 1.0f, "AirWall.png"));
    const int cols = 20, rows = 12;
    const float R = 2.8f, cx = -0.6f;
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= cols; ++j) {
            float yaw = (-1 + 2.0f * j / cols) * 1.3f, pitch = (-1 + 2.0f * i / rows) * 0.8f;
            V3 n{std::cos(pitch) * std::cos(yaw), std::sin(pitch), std::cos(pitch) * std::sin(yaw)};
            wall.AddVertex(V3{cx, 0.2f, 0} + n * R, n, static_cast<float>(j) / cols, static_cast<float>(i) / rows);
        }
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            int a = i * (cols + 1) + j;
            wall.AddQuad(a, a + 1, a + cols + 2, a + cols + 1, shock);
        }
    wall.AddBackFaces(0);
    ok = AirWallTexture().WritePng(dir.Path("X/AirWall.png")) && ok;
    ok = Save(wall, dir, "EffectAirWall.x", "AirWall") && ok;

    MeshBuilder ring;
    int glow = ring.AddMaterial(Glowing("JumpRing", 0.6f, 1.0f, 0.5f, 1.0f, "JumpRing.png"));
    Torus(ring, 2.0f, 0.22f, 40, 10, glow);
    ok = RingTexture().WritePng(dir.Path("X/JumpRing.png")) && ok;
    return Save(ring, dir, "effectJump.x", "JumpRing") && ok;
}

// The stage-3 bumper: a capsule of radius 1.5 and length 2, candy-striped,
// with chrome caps and a lit belt.
bool WriteCapsule(const DataDir& dir)
{
    MeshBuilder mb;
    int stripes = mb.AddMaterial(Painted("Stripes", 1, 1, 1, "Bumper.png", 0.45f));
    int chrome = mb.AddMaterial(Metal("Chrome", 0.85f, 0.88f, 0.92f));
    int belt = mb.AddMaterial(Glowing("Belt", 1.0f, 0.85f, 0.2f, 1.0f));
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= 6; ++i) {
        float a = kPi / 2 * i / 6;
        profile.push_back(P(1.5f * std::sin(a), 1.0f + 1.5f * std::cos(a), chrome));
    }
    profile.back().material = stripes, profile.back().smooth = false;
    profile.push_back(P(1.5f, 0.18f, belt, false));
    profile.push_back(P(1.58f, 0.12f, belt));
    profile.push_back(P(1.58f, -0.12f, belt));
    profile.push_back(P(1.5f, -0.18f, stripes, false));
    for (int i = 0; i <= 6; ++i) {
        float a = kPi / 2 + kPi / 2 * i / 6;
        profile.push_back(P(1.5f * std::sin(a), -1.0f + 1.5f * std::cos(a), chrome, i != 0));
    }
    profile.back().r = 0;
    mb.Lathe(profile, 40, 1);
    bool ok = BumperTexture().WritePng(dir.Path("X/Bumper.png"));
    return Save(mb, dir, "capsule.x", "Capsule") && ok;
}

// The boss's weapons: a glowing orb (sphere of radius 1) and a horned mine
// round its capsule body (radius 2.8, length 1).
bool WriteBossWeapons(const DataDir& dir)
{
    MeshBuilder orb;
    XMaterial plasma = Glowing("Plasma", 1.0f, 0.5f, 0.9f, 1.0f, "Orb.png");
    orb.Sphere({0, 0, 0}, 1.0f, 24, 12, orb.AddMaterial(plasma));
    bool ok = OrbTexture().WritePng(dir.Path("X/Orb.png"));
    ok = Save(orb, dir, "St5Obj.x", "Orb") && ok;

    MeshBuilder bomb;
    int shell = bomb.AddMaterial(Painted("Shell", 1, 1, 1, "Bomb.png", 0.35f));
    int horn = bomb.AddMaterial(Metal("Horn", 0.75f, 0.76f, 0.8f));
    int fuse = bomb.AddMaterial(Glowing("Fuse", 1.0f, 0.25f, 0.1f, 1.0f));
    std::vector<ProfilePoint> body;
    for (int i = 0; i <= 16; ++i) {
        float a = kPi * i / 16;
        float y = 2.8f * std::cos(a) + (i < 8 ? 0.5f : i > 8 ? -0.5f : 0.0f);
        body.push_back(P(2.8f * std::sin(a), y, shell));
    }
    body.front().r = body.back().r = 0;
    bomb.Lathe(body, 40, 1);
    // Horns round the middle and on the shoulders.
    auto hornAt = [&](float yaw, float tilt) {
        bomb.SetPlacement(
            Placement::RotateY(yaw).After(Placement::RotateZ(tilt)).After(Placement::Translate(0, 2.7f, 0)));
        bomb.Lathe({P(0, 0.9f, horn), P(0.12f, 0.85f, horn), P(0.34f, 0.1f, horn, false), P(0.34f, -0.2f, horn)}, 12);
    };
    for (int k = 0; k < 6; ++k) hornAt(2 * kPi * k / 6, -kPi / 2);
    for (int k = 0; k < 4; ++k) hornAt(2 * kPi * k / 4 + kPi / 4, -kPi / 4);
    bomb.ResetPlacement();
    Cylinder(bomb, 0.45f, 3.1f, 3.7f, 16, horn, horn);
    bomb.Sphere({0, 3.85f, 0}, 0.3f, 12, 6, fuse);
    ok = BombTexture().WritePng(dir.Path("X/Bomb.png")) && ok;
    return Save(bomb, dir, "St5Bomm.x", "Bomb") && ok;
}

}   // namespace

bool WriteObjectMeshes(const DataDir& dir)
{
    bool ok = WriteItems(dir);
    ok = WriteItemBox(dir) && ok;
    ok = WriteLauncher(dir) && ok;
    ok = WriteEffects(dir) && ok;
    ok = WriteCapsule(dir) && ok;
    return WriteBossWeapons(dir) && ok;
}

// The sky: a sphere of radius 40 seen from inside, drawn unlit at scale 100
// (4000, inside the far plane at 5000).
bool WriteSpaceMesh(const DataDir& dir)
{
    MeshBuilder mb;
    XMaterial sky = Glowing("Sky", 1, 1, 1, 1, "Space.jpg");
    mb.Sphere({0, 0, 0}, 40.0f, 48, 24, mb.AddMaterial(sky));
    mb.FlipAll();
    bool ok = SpaceTexture().WriteJpg(dir.Path("X/Space.jpg"), 90);
    return mb.WriteX(dir.Path("X/space.x"), "Space") && ok;
}

}   // namespace assetgen
