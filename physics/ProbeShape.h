// ProbeShape is a collision geometry of its own, in no space and on no body:
// a sphere or an upright-along-z capsule that can be put anywhere and tested
// against other geometries (such as the arena) without taking part in the
// simulation. It owns its geometry.
#pragma once

#include "physics/Geom.h"

class ProbeShape {
public:
    static ProbeShape Sphere(double radius);
    static ProbeShape Capsule(double radius, double length);

    ~ProbeShape();
    ProbeShape(ProbeShape&& other) noexcept;
    ProbeShape& operator=(ProbeShape&& other) noexcept;
    ProbeShape(const ProbeShape&) = delete;
    ProbeShape& operator=(const ProbeShape&) = delete;

    void MoveTo(double x, double y, double z) { m_Geom.SetPosition(x, y, z); }
    // A sphere's new radius; a capsule keeps its size.
    void SetRadius(double radius);

    Geom Shape() const { return m_Geom; }

private:
    ProbeShape(Geom geom, bool sphere) : m_Geom(geom), m_Sphere(sphere) {}

    Geom m_Geom;
    bool m_Sphere;
};
