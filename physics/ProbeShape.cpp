#include "physics/ProbeShape.h"

#include <utility>

#include <ode/ode.h>

ProbeShape ProbeShape::Sphere(double radius) { return ProbeShape(Geom(dCreateSphere(nullptr, radius)), true); }

ProbeShape ProbeShape::Capsule(double radius, double length)
{
    return ProbeShape(Geom(dCreateCapsule(nullptr, radius, length)), false);
}

ProbeShape::~ProbeShape()
{
    if (m_Geom) m_Geom.Destroy();
}

ProbeShape::ProbeShape(ProbeShape&& other) noexcept
    : m_Geom(std::exchange(other.m_Geom, Geom())), m_Sphere(other.m_Sphere)
{
}

ProbeShape& ProbeShape::operator=(ProbeShape&& other) noexcept
{
    if (this != &other) {
        if (m_Geom) m_Geom.Destroy();
        m_Geom = std::exchange(other.m_Geom, Geom());
        m_Sphere = other.m_Sphere;
    }
    return *this;
}

void ProbeShape::SetRadius(double radius)
{
    if (m_Sphere) dGeomSphereSetRadius(m_Geom.Id(), radius);
}
