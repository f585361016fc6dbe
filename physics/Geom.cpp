#include "physics/Geom.h"

#include <algorithm>
#include <vector>

#include <ode/ode.h>

#include "physics/CODE.h"

namespace {

void CopyInto(dContactGeom& to, const ContactPoint& from)
{
    std::copy_n(from.pos, 3, to.pos);
    std::copy_n(from.normal, 3, to.normal);
    to.depth = from.depth;
}

void CopyInto(ContactPoint& to, const dContactGeom& from)
{
    std::copy_n(from.pos, 3, to.pos);
    std::copy_n(from.normal, 3, to.normal);
    to.depth = from.depth;
}

}   // namespace

bool Geom::Touches(Geom other) const
{
    dContactGeom contact;
    return dCollide(m_Id, other.m_Id, 1, &contact, sizeof(dContactGeom)) != 0;
}

bool Geom::Touches(Geom other, ContactPoint& contact) const
{
    // The test writes into the caller's record in place, so the record starts
    // from what the caller held and keeps whatever was written.
    dContactGeom found{};
    CopyInto(found, contact);
    int count = dCollide(m_Id, other.m_Id, 1, &found, sizeof(dContactGeom));
    CopyInto(contact, found);
    return count != 0;
}

int Geom::ContactCount(Geom other, int maxContacts) const
{
    std::vector<dContactGeom> contacts(static_cast<size_t>(std::max(maxContacts, 1)));
    return dCollide(m_Id, other.m_Id, static_cast<int>(contacts.size()), contacts.data(), sizeof(dContactGeom));
}

void Geom::SetPosition(double x, double y, double z) { dGeomSetPosition(m_Id, x, y, z); }
const double* Geom::Position() const { return dGeomGetPosition(m_Id); }

Body Geom::AttachedBody() const { return Body(dGeomGetBody(m_Id)); }
bool Geom::IsTriangleMesh() const { return dGeomGetClass(m_Id) == dTriMeshClass; }
bool Geom::IsInCurrentSpace() const { return g_Space && dGeomGetSpace(m_Id) == g_Space; }

void Geom::Destroy()
{
    dGeomDestroy(m_Id);
    m_Id = nullptr;
}
