// CItem is one dropped item: a small sphere pushed in towards the arena
// centre that falls and rolls under the simulation, leaving a trail until it
// lands. A top that touches it in two updates takes it: the first touch
// bounces it away with sparks, the second gives the taker the item's effect
// (spin torque, a jump, or a higher gauge ceiling). The player's top wins an
// update in which both touch. An item that falls below height 0 is gone.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "physics/PhysicsBodies.h"
#include "platform/Math3D.h"

class CKomaBase;
class CStage;
class CXFile;

constexpr int32_t PRIORITY_ITEM = 3500;
constexpr const char* ITEM_TASK_NAME = "CItem";

class CItem : public CGameObject {
public:
    enum Kind : int32_t {
        KIND_SPIN = 1,    // torque on the taker's disc
        KIND_JUMP = 2,    // an upward force on the taker's disc
        KIND_POWER = 3,   // a higher gauge ceiling
    };

    static constexpr float MASS = 1.0f;
    static constexpr float RADIUS = 1.0f;
    static constexpr float TILT = -0.34906587f;      // the box's pitch, minus 20 degrees
    static constexpr float INWARD_PUSH = 100.0f;     // per unit of the tilted drop point
    static constexpr float BOUNCE_FORCE = 3000.0f;   // along the contact normal at the first touch
    static constexpr int BOUNCE_SPARKS = 600;        // plus up to 99
    static constexpr int BOUNCE_SPARK_SPREAD = 100;
    static constexpr int HIT_TEXT_IMAGE = 1;
    static constexpr float HIT_TEXT_SCALE = 0.8f;
    static constexpr float SPIN_TORQUE = 5000.0f;
    static constexpr float JUMP_FORCE = 100000.0f;
    static constexpr int CEILING_RAISE = 20;
    static constexpr uint32_t PLAYER_PARTICLES = 2;   // the pick-up burst's count tells the side
    static constexpr uint32_t ENEMY_PARTICLES = 3;
    static constexpr int SPIN_CELL = 0;   // cells of the flash at the taker
    static constexpr int POWER_CELL = 1;
    static constexpr float OUTLINE_SCALE = 1.05f;

    // The kind and the item box's world transform at the drop.
    CItem(int kind, const plat::Mat4& boxWorld);
    ~CItem() override;

    void Init() override;
    void Update() override;
    void Draw() override;

    // The push towards the arena centre that an item dropped at p gets.
    static plat::Vec3 InwardPush(plat::Vec3 dropPoint);

    CKomaBase* m_Player = nullptr;   // "CKoma"
    CKomaBase* m_Enemy = nullptr;    // "St%dEnemy" of the stage
    BodyRecord m_Body;
    CXFile* m_Mesh = nullptr;   // "XItem" while falling, "XItem<kind>" from the first touch
    int32_t m_ItemKind = KIND_SPIN;
    plat::Vec3 m_Position;        // the body's position as of the last update
    plat::Mat4 m_World;           // the box's transform until the first update, then the body's rotation
    int32_t m_TouchCount = 0;     // updates in which a top touched the item
    bool m_Landed = false;        // it has touched the arena
    ContactPoint m_Contact{};     // the last contact any of its tests found
    uint32_t m_WorldSerial = 0;   // the world its body was made in

private:
    void ReadBody();
    bool TouchesTop(const CKomaBase* top);
    bool TestArena();
    bool Collide(Geom other);
    void FirstTouch();
    void GiveEffect(CKomaBase& taker, bool takerIsPlayer);
};
