#include "physics/PhysicsBodies.h"

#include <ode/ode.h>

#include "physics/CODE.h"

namespace {

constexpr int CAPSULE_AXIS_Z = 3;   // capsules are built along the body's z axis

// ODE's explicit gyroscopic term drains a fast spin within a second even in
// free flight (a top at 200 rad/s falls to about 30), although angular
// momentum should be kept. Without it the spin is kept and only contacts and
// friction wear it down, as the game's rules expect.
void UseGameIntegration(dBodyID body) { dBodySetGyroscopicMode(body, 0); }

void BuildCapsule(BodyRecord& record, double x, double y, double z, double mass, double radius, double length)
{
    record.length = length;
    record.radius = radius;
    record.mass = mass;
    dBodyID body = dBodyCreate(g_World);
    UseGameIntegration(body);
    dMass m;
    dMassSetZero(&m);
    dMassSetCapsuleTotal(&m, mass, CAPSULE_AXIS_Z, radius, length);
    dBodySetMass(body, &m);
    dBodySetPosition(body, x, y, z);
    dGeomID geom = dCreateCapsule(g_Space, radius, length);
    dGeomSetBody(geom, body);
    record.body = Body(body);
    record.geom = Geom(geom);
}

}   // namespace

void CreateTopBodies(int variant, BodyRecord& disc, BodyRecord& shaft, float x, float y, float z, float mass)
{
    if (variant < 0 || variant >= TOP_SHAPE_COUNT) variant = 0;
    const TopShape& shape = TOP_SHAPES[variant];

    BuildCapsule(disc, x, y, z, mass, shape.discRadius, shape.discLength);
    double shaftY = y - TOP_SHAFT_DROP_FACTOR * shape.shaftLength;
    BuildCapsule(shaft, x, shaftY, z, TOP_SHAFT_MASS_FACTOR * mass, shape.shaftRadius, shape.shaftLength);
    disc.body.StandUpright();
    shaft.body.StandUpright();

    dJointID joint = dJointCreateFixed(g_World, nullptr);
    dJointAttach(joint, disc.body.Id(), shaft.body.Id());
    dJointSetFixed(joint);
}

void CreateSphereBody(BodyRecord& record, float x, float y, float z, float mass, float radius)
{
    dBodyID body = dBodyCreate(g_World);
    UseGameIntegration(body);
    dMass m;
    dMassSetZero(&m);
    dMassSetSphereTotal(&m, mass, radius);
    dBodySetMass(body, &m);
    dBodySetPosition(body, x, y, z);
    record.body = Body(body);
    record.radius = radius;
    dGeomID geom = dCreateSphere(g_Space, radius);
    dGeomSetBody(geom, body);
    record.geom = Geom(geom);
}

void CreateCapsuleBody(BodyRecord& record, float x, float y, float z, float mass, float radius, float length)
{
    BuildCapsule(record, x, y, z, mass, radius, length);
    record.body.StandUpright();
}
