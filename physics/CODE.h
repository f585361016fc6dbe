// CODE is responsible for the one rigid-body world of a running stage: it
// creates the world, its collision space and the contact joint group, turns
// every touching pair into contact joints and advances the simulation by one
// fixed step per update pass. Added at priority 7000 under the name "CODE".
#pragma once

#include <cstdint>

#include "core/Task.h"

struct dxWorld;
struct dxSpace;
struct dxJointGroup;

// The world handles, valid from CODE's Init until its destruction, null before.
extern dxWorld* g_World;
extern dxSpace* g_Space;               // a hash space with no parent
extern dxJointGroup* g_ContactGroup;   // the contact joints of the current step

constexpr int32_t PRIORITY_CODE = 7000;
constexpr const char* CODE_TASK_NAME = "CODE";

// World parameters. Lengths are the meshes' units.
constexpr double WORLD_GRAVITY = 75.0;   // downwards, units per second squared
constexpr double WORLD_ERP = 0.9;
constexpr double WORLD_CFM = 0.0001;
constexpr double WORLD_STEP_SECONDS = 0.016;   // one step per frame, whatever the real time

// The surface every touching pair gets: no pair is told apart from another.
constexpr int MAX_CONTACTS_PER_PAIR = 10;
// Pyramid friction in both directions, soft ERP and CFM, bouncing.
constexpr int CONTACT_SURFACE_MODE = 0x301C;
constexpr double CONTACT_MU = 0.1;
constexpr double CONTACT_BOUNCE = 0.8;
constexpr double CONTACT_SOFT_ERP = 0.88;
constexpr double CONTACT_SOFT_CFM = 0.0001;
// Approach speeds below this do not bounce. A body resting on the arena meets
// it again every step at about the speed one step of gravity (1.2 units/s) and
// the penetration correction give it; with a threshold of 0, 1 or 2 such
// touches bounce at 0.8 and a ball at the bottom of a bowl never comes to rest
// (it keeps moving up and down at over 1 unit/s). 3 settles it, and stays far
// below real impacts (a launched top lands at about 45 units/s, clashing tops
// meet at tens of units per second), which still bounce.
constexpr double CONTACT_BOUNCE_VELOCITY = 3.0;

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
    static uint32_t CurrentWorldSerial();   // the world of g_World, 0 if none
    static bool IsWorldAlive(uint32_t serial);

    // The two halves of a step of the current world, for a step's parts to be
    // looked at one by one: contact joints for every touching pair (at most
    // MAX_CONTACTS_PER_PAIR a pair), and emptying them again. Nothing without a world.
    static void MakeContacts();
    static void ClearContacts();
    // The geometries in the current world's space, 0 without a world.
    static int GeomCount();

    // Gravity of this task's world (units per second squared, per axis).
    void SetGravity(double x, double y, double z);

private:
    // The handles this task created. The globals point at them while this task
    // is the live world; only what this task created is ever destroyed by it.
    dxWorld* m_World = nullptr;
    dxSpace* m_Space = nullptr;
    dxJointGroup* m_ContactGroup = nullptr;
    uint32_t m_Serial = 0;
};
