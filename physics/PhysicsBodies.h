// The body helpers: every game object that moves under the simulation gets its
// body and geometry from one of these, built in g_World and g_Space.
#pragma once

#include "physics/Body.h"
#include "physics/Geom.h"

// One simulated body as a game object holds it. The world owns the body and
// the space owns the geometry; an object may destroy its own early, and
// whatever is left is released with the world.
struct BodyRecord {
    Body body;
    Geom geom;             // attached to body
    double length = 0.0;   // the capsule's cylinder length (not set for spheres)
    double radius = 0.0;   // the capsule's or sphere's radius
    double mass = 0.0;     // total mass (not set for spheres)
};

// The sizes of the two capsules of a top, one row per shape variant.
struct TopShape {
    float discLength;
    float discRadius;
    float shaftLength;
    float shaftRadius;
};
constexpr int TOP_SHAPE_COUNT = 3;
constexpr TopShape TOP_SHAPES[TOP_SHAPE_COUNT] = {
    {0.6f, 1.6f, 3.0f, 0.32f},    // 0: the player's top
    {0.5f, 1.5f, 3.0f, 0.3f},     // 1
    {8.0f, 6.4f, 12.0f, 1.28f},   // 2: the stage-5 boss, four times the size
};
constexpr double TOP_SHAFT_MASS_FACTOR = 5.0;   // shaft mass = 5 x disc mass
constexpr double TOP_SHAFT_DROP_FACTOR = 0.2;   // shaft centre 0.2 x its length below the disc

// A top: a disc capsule and a shaft capsule below it, both upright and held
// together by a fixed joint. The disc is the top's main body. A variant
// outside 0..2 falls back to 0.
void CreateTopBodies(int variant, BodyRecord& disc, BodyRecord& shaft, float x, float y, float z, float mass);

// One sphere at (x, y, z).
void CreateSphereBody(BodyRecord& record, float x, float y, float z, float mass, float radius);

// One upright capsule centred at (x, y, z).
void CreateCapsuleBody(BodyRecord& record, float x, float y, float z, float mass, float radius, float length);
