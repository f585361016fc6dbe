#include "physics/ProbeShape.h"

#include <utility>

#include <ode/ode.h>

ProbeShape ProbeShape::Sphere(double radius)
{
    return ProbeShape(Geom(dCreateSphere(nullptr, radius)), true);
}

ProbeShape ProbeShape::Capsule(double radius, double length)
{
    return ProbeShape(Geom(dCreateCapsule(nullptr, radius, length)), false);
}

ProbeShape::~ProbeShape()
{
    if (m_geom) m_geom.Destroy();
}

ProbeShape::ProbeShape(ProbeShape&& other) noexcept
    : m_geom(std::exchange(other.m_geom, Geom())), m_sphere(other.m_sphere)
{
}

ProbeShape& ProbeShape::operator=(ProbeShape&& other) noexcept
{
    if (this != &other) {
        if (m_geom) m_geom.Destroy();
        m_geom = std::exchange(other.m_geom, Geom());
        m_sphere = other.m_sphere;
    }
    return *this;
}

void ProbeShape::SetRadius(double radius)
{
    if (m_sphere) dGeomSphereSetRadius(m_geom.Id(), radius);
}
