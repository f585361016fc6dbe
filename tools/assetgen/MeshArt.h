// MeshArt paints the textures that the meshes name: the tops' liveries, the
// items, the effects, the starry sky and the arenas' floors and rims.
#pragma once

#include "tools/assetgen/Image.h"

namespace assetgen {

enum class Livery { Spiral, Spokes, Chevrons, Bands, Royal };

struct TopLook {
    Rgba body, stripe, accent;
    int stripes;
    Livery livery;
};

// u runs round the model (x), v along its profile from top to tip (y).
Image TopTexture(const TopLook& look);
Image GhostTexture();
Image SwarmShellTexture();
Image BumperTexture();
Image BombTexture();
Image OrbTexture();
Image ItemBallTexture(int kind);   // 0 unknown, 1 spin, 2 jump, 3 power
Image CrateTexture();
Image AuraTexture();
Image AirWallTexture();
Image RingTexture();
Image RailTexture();
Image RollerTexture();
Image SpaceTexture();
// Arena floors are painted from above (u = x, v = -z over the arena's span); rims run round.
Image ArenaFloorTexture(int stage, float span);
Image ArenaRimTexture(int stage);

}   // namespace assetgen
