// The tops: the player's (Top.x), its translucent ghost (TopAlpha.x), the
// enemy tops of stages 1, 3 and 4, the stage-5 boss at four times the size,
// and the small swarm enemy of stage 2. Tops stand upright along +y with the
// disc's centre at the origin, the disc 1.6 in radius, the tip 2.1 to 2.4 down.
#include <cmath>
#include <functional>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/MeshArt.h"
#include "tools/assetgen/MeshBuilder.h"

namespace assetgen {

namespace {

constexpr int kSegments = 48;
enum TopMaterial { kBody = 0, kMetal = 1, kUnder = 2, kTip = 3 };

// Sharp (hard-edged) and rim (shaped by the angular function) profile points.
ProfilePoint P(float r, float y, int material, bool smooth = true, bool modulate = false)
{
    return {r, y, material, smooth, modulate};
}

std::vector<ProfilePoint> Scaled(std::vector<ProfilePoint> profile, float k)
{
    for (ProfilePoint& p : profile) p.r *= k, p.y *= k;
    return profile;
}

struct TopModel {
    std::string file, texture;
    TopLook look;
    std::vector<ProfilePoint> profile;
    std::function<float(float)> shape;
    XMaterial metal;
    float scale = 1;
    int segments = kSegments;
};

void AddTopMaterials(MeshBuilder& mb, const TopModel& t)
{
    mb.AddMaterial(Painted("Body", 1, 1, 1, t.texture, 0.4f));
    mb.AddMaterial(t.metal);
    mb.AddMaterial(Painted("Underside", 0.55f, 0.55f, 0.6f, t.texture, 0.25f));
    mb.AddMaterial(Metal("Tip", 0.35f, 0.37f, 0.42f));
}

bool WriteTop(const DataDir& dir, const TopModel& t)
{
    MeshBuilder mb;
    AddTopMaterials(mb, t);
    mb.Lathe(Scaled(t.profile, t.scale), t.segments, 1, t.shape);
    bool ok = TopTexture(t.look).WritePng(dir.Path("X/" + t.texture));
    return mb.WriteX(dir.Path("X/" + t.file), "Top") && ok;
}

std::vector<ProfilePoint> PlayerProfile()
{
    return {P(0, 1.05f, kMetal),
            P(0.26f, 1.03f, kMetal, false),
            P(0.32f, 0.95f, kMetal),
            P(0.32f, 0.52f, kMetal, false),
            P(0.58f, 0.44f, kBody, false),
            P(1.1f, 0.34f, kBody),
            P(1.48f, 0.22f, kMetal, false, true),
            P(1.62f, 0.12f, kMetal, true, true),
            P(1.62f, -0.06f, kMetal, true, true),
            P(1.48f, -0.14f, kUnder, false, true),
            P(1.05f, -0.3f, kUnder),
            P(0.55f, -0.78f, kUnder),
            P(0.24f, -1.28f, kMetal, false),
            P(0.13f, -1.42f, kMetal, false),
            P(0.13f, -2.0f, kTip, false),
            P(0.05f, -2.3f, kTip),
            P(0, -2.35f, kTip)};
}

// Stage 1: red with six blades and a spiked crown.
std::vector<ProfilePoint> BladeProfile()
{
    return {P(0, 1.3f, kMetal),
            P(0.16f, 1.0f, kMetal, false),
            P(0.3f, 0.62f, kMetal, false),
            P(0.62f, 0.46f, kBody, false),
            P(1.15f, 0.3f, kBody, true, true),
            P(1.5f, 0.16f, kMetal, false, true),
            P(1.64f, 0.06f, kMetal, true, true),
            P(1.5f, -0.08f, kUnder, false, true),
            P(1.0f, -0.3f, kUnder),
            P(0.45f, -0.95f, kUnder),
            P(0.2f, -1.4f, kMetal, false),
            P(0.11f, -1.5f, kMetal, false),
            P(0.11f, -2.05f, kTip, false),
            P(0.04f, -2.32f, kTip),
            P(0, -2.36f, kTip)};
}

// Stage 3: green, wide and flat, with eight petals and a dome.
std::vector<ProfilePoint> PetalProfile()
{
    return {P(0, 0.82f, kMetal),
            P(0.22f, 0.78f, kMetal),
            P(0.38f, 0.62f, kMetal),
            P(0.46f, 0.42f, kBody, false),
            P(1.2f, 0.26f, kBody, true, true),
            P(1.58f, 0.1f, kMetal, false, true),
            P(1.66f, 0.0f, kMetal, true, true),
            P(1.58f, -0.1f, kUnder, false, true),
            P(1.1f, -0.24f, kUnder),
            P(0.5f, -0.7f, kUnder),
            P(0.22f, -1.2f, kMetal, false),
            P(0.14f, -1.32f, kMetal, false),
            P(0.14f, -1.95f, kTip, false),
            P(0.06f, -2.25f, kTip),
            P(0, -2.3f, kTip)};
}

// Stage 4: purple, heavy, a thick double rim with teeth and a flat cap.
std::vector<ProfilePoint> FortressProfile()
{
    return {P(0, 0.86f, kMetal),
            P(0.48f, 0.86f, kMetal, false),
            P(0.52f, 0.8f, kMetal),
            P(0.52f, 0.5f, kMetal, false),
            P(0.75f, 0.46f, kBody, false),
            P(1.3f, 0.4f, kBody),
            P(1.45f, 0.34f, kMetal, false, true),
            P(1.6f, 0.28f, kMetal, true, true),
            P(1.6f, 0.05f, kMetal, false, true),
            P(1.5f, 0.02f, kMetal, false, true),
            P(1.5f, -0.06f, kMetal, false, true),
            P(1.62f, -0.1f, kMetal, true, true),
            P(1.62f, -0.3f, kMetal, true, true),
            P(1.45f, -0.38f, kUnder, false, true),
            P(0.9f, -0.6f, kUnder),
            P(0.42f, -1.05f, kUnder),
            P(0.2f, -1.35f, kMetal, false),
            P(0.16f, -1.45f, kMetal, false),
            P(0.16f, -1.95f, kTip, false),
            P(0.14f, -2.12f, kTip),
            P(0.06f, -2.28f, kTip),
            P(0, -2.3f, kTip)};
}

// Stage 5: the boss, gold and crimson with a crown, ten blades and a long tip.
std::vector<ProfilePoint> BossProfile()
{
    return {P(0, 1.1f, kMetal),
            P(0.2f, 1.08f, kMetal, false),
            P(0.42f, 1.3f, kMetal, false, true),
            P(0.46f, 0.9f, kMetal, false, true),
            P(0.46f, 0.55f, kMetal, false),
            P(0.7f, 0.46f, kBody, false),
            P(1.2f, 0.32f, kBody, true, true),
            P(1.5f, 0.2f, kMetal, false, true),
            P(1.66f, 0.08f, kMetal, true, true),
            P(1.66f, -0.1f, kMetal, true, true),
            P(1.5f, -0.2f, kUnder, false, true),
            P(1.0f, -0.4f, kUnder),
            P(0.5f, -0.95f, kUnder),
            P(0.25f, -1.45f, kMetal, false),
            P(0.15f, -1.6f, kMetal, false),
            P(0.15f, -2.2f, kTip, false),
            P(0.06f, -2.52f, kTip),
            P(0, -2.58f, kTip)};
}

TopModel Player()
{
    return {"Top.x",
            "TopPlayer.png",
            {Hex(0x1f6cff), Hex(0xffffff), Hex(0xffd040), 4, Livery::Spiral},
            PlayerProfile(),
            {},
            Metal("Chrome", 0.85f, 0.88f, 0.92f)};
}

TopModel Stage1()
{
    auto blades = [](float a) { return 0.94f + 0.16f * std::pow(0.5f + 0.5f * std::cos(6 * a), 3.0f); };
    return {"St1Enemy.x",   "TopBlade.png", {Hex(0xd8201a), Hex(0x181818), Hex(0xffd040), 6, Livery::Spokes},
            BladeProfile(), blades,         Metal("Gold", 1.0f, 0.78f, 0.3f)};
}

TopModel Stage3()
{
    auto petals = [](float a) { return 1.0f + 0.07f * std::cos(8 * a); };
    return {"St3Enemy.x",   "TopPetal.png", {Hex(0x2ab84a), Hex(0xf0e040), Hex(0xffffff), 8, Livery::Chevrons},
            PetalProfile(), petals,         Metal("Bronze", 0.8f, 0.55f, 0.3f)};
}

TopModel Stage4()
{
    auto teeth = [](float a) { return 0.97f + 0.05f * std::tanh(4 * std::cos(12 * a)); };
    return {"St4Enemy.x",
            "TopFortress.png",
            {Hex(0x7a2ac8), Hex(0x141018), Hex(0xe0c040), 6, Livery::Bands},
            FortressProfile(),
            teeth,
            Metal("Gunmetal", 0.55f, 0.57f, 0.64f)};
}

TopModel Boss()
{
    auto crown = [](float a) { return 0.92f + 0.2f * std::pow(0.5f + 0.5f * std::cos(10 * a), 2.0f); };
    TopModel m{"St5Enemy.x",  "TopBoss.png", {Hex(0xa00c20), Hex(0x1a0a0a), Hex(0xffd040), 10, Livery::Royal},
               BossProfile(), crown,         Metal("RoyalGold", 1.0f, 0.8f, 0.3f)};
    m.scale = 4;   // disc radius 6.4; the tip reaches the bottom of the boss's disc body
    m.segments = 80;
    return m;
}

// The ghost: a lens round the disc that the game fades in with the spin.
bool WriteGhost(const DataDir& dir)
{
    MeshBuilder mb;
    XMaterial ghost = Glowing("Ghost", 0.75f, 0.92f, 1.0f, 1.0f, "TopGhost.png");
    ghost.er = 0.45f, ghost.eg = 0.6f, ghost.eb = 0.75f;
    mb.AddMaterial(ghost);
    mb.Lathe({P(0, 0.7f, 0), P(0.8f, 0.56f, 0), P(1.5f, 0.32f, 0), P(1.95f, 0, 0), P(1.5f, -0.32f, 0),
              P(0.8f, -0.72f, 0), P(0, -0.95f, 0)},
             kSegments, 2);
    bool ok = GhostTexture().WritePng(dir.Path("X/TopGhost.png"));
    return mb.WriteX(dir.Path("X/TopAlpha.x"), "TopAlpha") && ok;
}

// The stage-2 swarm enemy: a little saucer top inside its capsule body
// (radius 1.5, 5 tall). The game recolours its first material as it is hit.
bool WriteSwarmEnemy(const DataDir& dir)
{
    MeshBuilder mb;
    mb.AddMaterial(Painted("Shell", 1, 1, 1, "SwarmShell.png", 0.3f));
    mb.AddMaterial(Metal("Steel", 0.7f, 0.72f, 0.78f));
    mb.AddMaterial(Painted("Belly", 0.25f, 0.25f, 0.3f, "", 0.2f));
    XMaterial lights = Glowing("Lights", 0.4f, 1.0f, 1.0f, 1.0f);
    mb.AddMaterial(lights);
    auto bumps = [](float a) { return 1.0f + 0.06f * std::cos(4 * a); };
    mb.Lathe(
        {P(0, 1.35f, 0), P(0.55f, 1.22f, 0), P(1.0f, 0.88f, 0), P(1.38f, 0.36f, 0, true, true),
         P(1.5f, 0.08f, 3, false, true), P(1.5f, -0.14f, 1, false, true), P(1.3f, -0.3f, 2, false), P(0.7f, -0.8f, 2),
         P(0.28f, -1.6f, 1, false), P(0.12f, -1.8f, 1, false), P(0.12f, -2.15f, 1, false), P(0, -2.35f, 1)},
        kSegments, 1, bumps);
    bool ok = SwarmShellTexture().WritePng(dir.Path("X/SwarmShell.png"));
    return mb.WriteX(dir.Path("X/St2Enemy.x"), "St2Enemy") && ok;
}

}   // namespace

bool WriteTopMeshes(const DataDir& dir)
{
    bool ok = true;
    for (const TopModel& t : {Player(), Stage1(), Stage3(), Stage4(), Boss()}) ok = WriteTop(dir, t) && ok;
    ok = WriteGhost(dir) && ok;
    return WriteSwarmEnemy(dir) && ok;
}

}   // namespace assetgen
