#include "physics/Body.h"

#include <numbers>
#include <type_traits>

#include <ode/ode.h>

// The game's arithmetic is done in double on both sides of this boundary.
static_assert(std::is_same_v<dReal, double>, "the engine must be built in double precision");

const double* Body::Position() const { return dBodyGetPosition(m_Id); }
const double* Body::LinearVelocity() const { return dBodyGetLinearVel(m_Id); }
const double* Body::AngularVelocity() const { return dBodyGetAngularVel(m_Id); }
const double* Body::Rotation() const { return dBodyGetRotation(m_Id); }
const double* Body::Force() const { return dBodyGetForce(m_Id); }
const double* Body::Torque() const { return dBodyGetTorque(m_Id); }

void Body::SetPosition(double x, double y, double z) { dBodySetPosition(m_Id, x, y, z); }
void Body::SetLinearVelocity(double x, double y, double z) { dBodySetLinearVel(m_Id, x, y, z); }
void Body::SetAngularVelocity(double x, double y, double z) { dBodySetAngularVel(m_Id, x, y, z); }

void Body::SetRotationAbout(double x, double y, double z, double angle)
{
    dMatrix3 rotation;
    dRFromAxisAndAngle(rotation, x, y, z, angle);
    dBodySetRotation(m_Id, rotation);
}

void Body::StandUpright() { SetRotationAbout(1, 0, 0, std::numbers::pi / 2); }

void Body::AddForce(double x, double y, double z) { dBodyAddForce(m_Id, x, y, z); }
void Body::AddTorque(double x, double y, double z) { dBodyAddTorque(m_Id, x, y, z); }
void Body::SetForce(double x, double y, double z) { dBodySetForce(m_Id, x, y, z); }
void Body::SetTorque(double x, double y, double z) { dBodySetTorque(m_Id, x, y, z); }

void Body::Enable() { dBodyEnable(m_Id); }
void Body::Disable() { dBodyDisable(m_Id); }
bool Body::IsEnabled() const { return dBodyIsEnabled(m_Id) != 0; }

void Body::SetGyroscopic(bool on) { dBodySetGyroscopicMode(m_Id, on ? 1 : 0); }
bool Body::IsGyroscopic() const { return dBodyGetGyroscopicMode(m_Id) != 0; }

int Body::ContactJointCount() const
{
    int contacts = 0;
    for (int i = 0; i < dBodyGetNumJoints(m_Id); ++i)
        if (dJointGetType(dBodyGetJoint(m_Id, i)) == dJointTypeContact) ++contacts;
    return contacts;
}

void Body::Destroy()
{
    dBodyDestroy(m_Id);
    m_Id = nullptr;
}
