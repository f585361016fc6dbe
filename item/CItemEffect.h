// CItemEffect is the icon of a taken item that flies on screen from the
// pick-up spot to the taker's side of the interface: a spin item to the spin
// meter, a power item to the gauge bar. On arrival it makes the interface
// flash that element for a frame and removes itself; an icon that never
// arrives gives up once it has grown to 1.5 times its size.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "platform/Math3D.h"

class CCamera;
class CPSprite;
class CTexture;

constexpr const char* ITEM_EFFECT_TASK_NAME = "CItemEffect";

class CItemEffect : public CGameObject {
public:
    static constexpr int CELL_SIZE = 128;   // "Item1BMP" holds 128 x 128 icons, row by row
    static constexpr float START_SCALE = 0.3f;
    static constexpr float SCALE_STEP = 0.005f;
    static constexpr float END_SCALE = 1.5f;          // gives up above this (241 updates)
    static constexpr float SPEED_GROWTH = 1.1f;       // per update, from one pixel per update
    static constexpr uint32_t FIRST_ITEM_KIND = 9;    // the point-sprite kind of the spin item
    static constexpr uint32_t FIRST_SIDE_COUNT = 2;   // the particle count of the player's side
    static constexpr uint8_t OPAQUE = 255;

    // Where the icons fly: the spin meters and the gauge bars of both sides.
    static constexpr plat::Vec3 SPIN_TARGET{130, 420, 0};
    static constexpr float SPIN_TARGET_SIDE_STEP = 380;
    static constexpr plat::Vec3 POWER_TARGET{10, 260, 0};
    static constexpr float POWER_TARGET_SIDE_STEP = 620;

    // The world position of the particle, its point-sprite kind (9 spin,
    // 10 power) and its burst's particle count (2 player, 3 enemy).
    CItemEffect(float x, float y, float z, uint32_t kind, uint32_t count);

    // The particle burst of an item taken at a point (kind 9 or 10, the
    // taker's side as its particle count) whose expiring particles each send
    // off an icon.
    static CPSprite* NewPickUpBurst(const plat::Vec3& at, uint32_t kind, uint32_t side);

    void Init() override;
    void Update() override;
    void Draw() override;

    // The screen point an icon flies to.
    static plat::Vec3 TargetOf(int itemIndex, int side);
    // Spin or power item (0, 1) of the player or the enemy (0, 1).
    static bool IsKnownIcon(int itemIndex, int side);
    // The mask bit of the interface that an arriving icon sets (0 for none).
    static uint32_t FlashBit(int itemIndex, int side);

    CTexture* m_Texture = nullptr;   // "Item1BMP"
    CCamera* m_Camera = nullptr;
    CSprite m_Sprite;
    plat::Vec3 m_Position;   // world position at creation, screen pixels from Init on
    float m_Scale = START_SCALE;
    plat::Vec3 m_Direction;   // screen pixels per update
    plat::Vec3 m_Target;
    int32_t m_ItemIndex = 0;   // 0 spin, 1 power
    int32_t m_Side = 0;        // 0 player, 1 enemy

private:
    bool Arrived() const;
    void StartOnScreen();
};
