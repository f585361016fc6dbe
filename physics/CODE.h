// CODE is responsible for the one rigid-body world of a running stage: it
// creates the world, its collision space and the contact joint group, turns
// every touching pair into contact joints and advances the simulation by one
// fixed step per update pass. Added at priority 7000 under the name "CODE".
#pragma once

#include <cstdint>

#include <ode/ode.h>

#include "core/Task.h"

// The world handles, valid from CODE's Init until its destruction, null before.
extern dWorldID g_World;
extern dSpaceID g_Space;              // a hash space with no parent
extern dJointGroupID g_ContactGroup;  // the contact joints of the current step

constexpr int32_t PRIORITY_CODE = 7000;
constexpr const char* CODE_TASK_NAME = "CODE";

// World parameters. Lengths are the meshes' units.
constexpr dReal WORLD_GRAVITY = 75.0;       // downwards, units per second squared
constexpr dReal WORLD_ERP = 0.9;
constexpr dReal WORLD_CFM = 0.0001;
constexpr dReal WORLD_STEP_SECONDS = 0.016; // one step per frame, whatever the real time

// The surface every touching pair gets: no pair is told apart from another.
constexpr int MAX_CONTACTS_PER_PAIR = 10;
constexpr int CONTACT_SURFACE_MODE =
    dContactApprox1_1 | dContactApprox1_2 | dContactSoftCFM | dContactSoftERP | dContactBounce;
static_assert(CONTACT_SURFACE_MODE == 0x301C, "contact surface mode");
constexpr dReal CONTACT_MU = 0.1;
constexpr dReal CONTACT_BOUNCE = 0.8;
constexpr dReal CONTACT_SOFT_ERP = 0.88;
constexpr dReal CONTACT_SOFT_CFM = 0.0001;
// Approach speeds below this do not bounce. A body resting on the arena meets
// it again every step at about the speed one step of gravity (1.2 units/s) and
// the penetration correction give it; with a threshold of 0, 1 or 2 such
// touches bounce at 0.8 and a ball at the bottom of a bowl never comes to rest
// (it keeps moving up and down at over 1 unit/s). 3 settles it, and stays far
// below real impacts (a launched top lands at about 45 units/s, clashing tops
// meet at tens of units per second), which still bounce.
constexpr dReal CONTACT_BOUNCE_VELOCITY = 3.0;

// dSpaceCollide's callback for every pair whose bounding volumes overlap.
void NearCallback(void* data, dGeomID o1, dGeomID o2);

class CODE : public CGameObject {
public:
    CODE();
    ~CODE() override;
    CODE(const CODE&) = delete;
    CODE& operator=(const CODE&) = delete;

    void Init() override;
    void Draw() override {}
    void Update() override;

    // Every world gets a serial number that no other world of the process had.
    // An owner of a geometry records the serial of the world it created it in
    // and destroys the geometry itself only while that world (and so its space)
    // is still alive; otherwise the geometry went with the space.
    static uint32_t CurrentWorldSerial();        // the world of g_World, 0 if none
    static bool IsWorldAlive(uint32_t serial);

private:
    // The handles this task created. The globals point at them while this task
    // is the live world; only what this task created is ever destroyed by it.
    dWorldID m_world = nullptr;
    dSpaceID m_space = nullptr;
    dJointGroupID m_contactGroup = nullptr;
    uint32_t m_serial = 0;
};
