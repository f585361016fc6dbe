// Geom is a handle to one collision geometry: a body's capsule or sphere, the
// arena's triangle mesh or a free probe. Like Body it owns nothing and every
// call but the null test needs a valid geometry.
#pragma once

#include "physics/Body.h"
#include "physics/ContactPoint.h"

struct dxGeom;

class Geom {
public:
    Geom() = default;
    explicit Geom(dxGeom* id) : m_Id(id) {}

    explicit operator bool() const { return m_Id != nullptr; }
    bool operator==(const Geom&) const = default;
    dxGeom* Id() const { return m_Id; }

    // Whether the two touch, asking for one contact and making no joint.
    bool Touches(Geom other) const;
    // The same, leaving in contact whatever the test wrote there; a test that
    // finds no touch may still have written part of it.
    bool Touches(Geom other, ContactPoint& contact) const;
    // How many contacts the test finds, asking for at most maxContacts (1 or more).
    int ContactCount(Geom other, int maxContacts) const;

    void SetPosition(double x, double y, double z);
    const double* Position() const;

    Body AttachedBody() const;   // null for a static geometry
    bool IsTriangleMesh() const;
    bool IsInCurrentSpace() const;   // in the space of the current world

    // Destroys the geometry (removing it from its space) and makes this handle null.
    void Destroy();

private:
    dxGeom* m_Id = nullptr;
};
