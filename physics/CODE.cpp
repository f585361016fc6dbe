#include "physics/CODE.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <vector>

#include <ode/ode.h>

dWorldID g_World = nullptr;
dSpaceID g_Space = nullptr;
dJointGroupID g_ContactGroup = nullptr;

static_assert(CONTACT_SURFACE_MODE ==
                  (dContactApprox1_1 | dContactApprox1_2 | dContactSoftCFM | dContactSoftERP | dContactBounce),
              "contact surface mode");

namespace {

// ODE is opened by the first live world and closed with the last one, so that
// worlds may overlap (tests create many) without closing the library under a
// world that still runs. Everything runs on the main thread.
int g_odeUsers = 0;

uint32_t g_lastSerial = 0;
uint32_t g_currentSerial = 0;
std::vector<uint32_t> g_liveSerials;

// The engine's notices (such as a solver row it had to drop on a degenerate
// contact) are not errors and the game prints nothing; its errors and debug
// checks keep their handlers.
void IgnoreEngineMessage(int, const char*, va_list) {}

void AcquireODE()
{
    if (g_odeUsers++ == 0) {
        dInitODE();
        dSetMessageHandler(&IgnoreEngineMessage);
    }
}

void ReleaseODE()
{
    if (g_odeUsers > 0 && --g_odeUsers == 0) dCloseODE();
}

void SetContactSurface(dSurfaceParameters& surface)
{
    surface.mode = CONTACT_SURFACE_MODE;
    surface.mu = CONTACT_MU;
    surface.bounce = CONTACT_BOUNCE;
    surface.bounce_vel = CONTACT_BOUNCE_VELOCITY;
    surface.soft_erp = CONTACT_SOFT_ERP;
    surface.soft_cfm = CONTACT_SOFT_CFM;
}

// The engine's sphere-against-mesh test reports a depth of NaN when the
// sphere's centre lies exactly on the mesh; one such joint would turn the
// bodies' state into NaN and stop the program at the engine's next check.
bool IsMeasurable(const dContactGeom& contact)
{
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(contact.pos[i]) || !std::isfinite(contact.normal[i])) return false;
    return std::isfinite(contact.depth);
}

// dSpaceCollide's callback for every pair whose bounding volumes overlap.
void NearCallback(void*, dGeomID o1, dGeomID o2)
{
    dBodyID b1 = dGeomGetBody(o1);
    dBodyID b2 = dGeomGetBody(o2);
    // Two static geometries have nothing to move.
    if (!b1 && !b2) return;
    // The disc and shaft of one top are held by a fixed joint and never collide.
    if (b1 && b2 && dAreConnectedExcluding(b1, b2, dJointTypeContact)) return;

    dContact contacts[MAX_CONTACTS_PER_PAIR] = {};
    int count = dCollide(o1, o2, MAX_CONTACTS_PER_PAIR, &contacts[0].geom, sizeof(dContact));
    for (int i = 0; i < count; ++i) {
        if (!IsMeasurable(contacts[i].geom)) continue;
        SetContactSurface(contacts[i].surface);
        dJointID joint = dJointCreateContact(g_World, g_ContactGroup, &contacts[i]);
        dJointAttach(joint, b1, b2);
    }
}

}   // namespace

CODE::CODE()
{
    g_World = nullptr;
    g_Space = nullptr;
}

CODE::~CODE()
{
    if (!m_World) return;
    dJointGroupDestroy(m_ContactGroup);
    dSpaceDestroy(m_Space);
    dWorldDestroy(m_World);
    if (g_World == m_World) {
        g_World = nullptr;
        g_Space = nullptr;
        g_ContactGroup = nullptr;
        g_currentSerial = 0;
    }
    std::erase(g_liveSerials, m_Serial);
    ReleaseODE();
}

void CODE::Init()
{
    if (m_World) return;
    AcquireODE();
    m_World = dWorldCreate();
    m_Space = dHashSpaceCreate(nullptr);
    m_ContactGroup = dJointGroupCreate(0);
    dWorldSetGravity(m_World, 0, -WORLD_GRAVITY, 0);
    dWorldSetERP(m_World, WORLD_ERP);
    dWorldSetCFM(m_World, WORLD_CFM);

    g_World = m_World;
    g_Space = m_Space;
    g_ContactGroup = m_ContactGroup;
    m_Serial = ++g_lastSerial;
    g_currentSerial = m_Serial;
    g_liveSerials.push_back(m_Serial);
}

void CODE::Update()
{
    // The callback builds its joints in the global world; a world that is not
    // the current one (another CODE was initialised after it) stands still.
    if (!m_World || g_World != m_World) return;
    MakeContacts();
    dWorldStep(g_World, WORLD_STEP_SECONDS);
    ClearContacts();
}

void CODE::MakeContacts()
{
    if (g_World) dSpaceCollide(g_Space, nullptr, &NearCallback);
}

void CODE::ClearContacts()
{
    if (g_World) dJointGroupEmpty(g_ContactGroup);
}

int CODE::GeomCount() { return g_Space ? dSpaceGetNumGeoms(g_Space) : 0; }

void CODE::SetGravity(double x, double y, double z)
{
    if (m_World) dWorldSetGravity(m_World, x, y, z);
}

uint32_t CODE::CurrentWorldSerial() { return g_World ? g_currentSerial : 0; }

bool CODE::IsWorldAlive(uint32_t serial)
{
    return serial != 0 && std::find(g_liveSerials.begin(), g_liveSerials.end(), serial) != g_liveSerials.end();
}
