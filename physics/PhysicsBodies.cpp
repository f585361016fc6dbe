#include "physics/PhysicsBodies.h"

#include <numbers>

#include "physics/CODE.h"

namespace {

constexpr int CAPSULE_AXIS_Z = 3;   // capsules are built along the body's z axis

// ODE's explicit gyroscopic term drains a fast spin within a second even in
// free flight (a top at 200 rad/s falls to about 30), although angular
// momentum should be kept. Without it the spin is kept and only contacts and
// friction wear it down, as the game's rules expect.
void UseGameIntegration(dBodyID body)
{
    dBodySetGyroscopicMode(body, 0);
}

// Capsules are built along z; a quarter turn about x stands them up along y.
void StandUpright(dBodyID body)
{
    dMatrix3 rotation;
    dRFromAxisAndAngle(rotation, 1, 0, 0, std::numbers::pi / 2);
    dBodySetRotation(body, rotation);
}

void BuildCapsule(BodyRecord& record, double x, double y, double z, double mass, double radius, double length)
{
    record.length = length;
    record.radius = radius;
    record.mass = mass;
    record.body = dBodyCreate(g_World);
    UseGameIntegration(record.body);
    dMass m;
    dMassSetZero(&m);
    dMassSetCapsuleTotal(&m, mass, CAPSULE_AXIS_Z, radius, length);
    dBodySetMass(record.body, &m);
    dBodySetPosition(record.body, x, y, z);
    record.geom = dCreateCapsule(g_Space, radius, length);
    dGeomSetBody(record.geom, record.body);
}

}  // namespace

void CreateTopBodies(int variant, BodyRecord& disc, BodyRecord& shaft, float x, float y, float z, float mass)
{
    if (variant < 0 || variant >= TOP_SHAPE_COUNT) variant = 0;
    const TopShape& shape = TOP_SHAPES[variant];

    BuildCapsule(disc, x, y, z, mass, shape.discRadius, shape.discLength);
    double shaftY = y - TOP_SHAFT_DROP_FACTOR * shape.shaftLength;
    BuildCapsule(shaft, x, shaftY, z, TOP_SHAFT_MASS_FACTOR * mass, shape.shaftRadius, shape.shaftLength);
    StandUpright(disc.body);
    StandUpright(shaft.body);

    dJointID joint = dJointCreateFixed(g_World, nullptr);
    dJointAttach(joint, disc.body, shaft.body);
    dJointSetFixed(joint);
}

void CreateSphereBody(BodyRecord& record, float x, float y, float z, float mass, float radius)
{
    record.body = dBodyCreate(g_World);
    UseGameIntegration(record.body);
    dMass m;
    dMassSetZero(&m);
    dMassSetSphereTotal(&m, mass, radius);
    dBodySetMass(record.body, &m);
    dBodySetPosition(record.body, x, y, z);
    record.radius = radius;
    record.geom = dCreateSphere(g_Space, radius);
    dGeomSetBody(record.geom, record.body);
}

void CreateCapsuleBody(BodyRecord& record, float x, float y, float z, float mass, float radius, float length)
{
    BuildCapsule(record, x, y, z, mass, radius, length);
    StandUpright(record.body);
}
