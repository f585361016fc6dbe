// CItemEffectJump shows a jump item taken: three glowing rings stacked above
// the spot that sink away, grow and fade out in 13 updates.
#pragma once

#include "core/Task.h"
#include "platform/Math3D.h"

class CXFile;

constexpr const char* ITEM_EFFECT_JUMP_TASK_NAME = "CItemEffectJump";

class CItemEffectJump : public CGameObject {
public:
    static constexpr float START_SPEED = 0.2f;
    static constexpr float SPEED_GROWTH = 1.1f;   // the sinking speeds up by 10 % per update
    static constexpr float START_ALPHA = 1.0f;
    static constexpr float ALPHA_STEP = 0.08f;
    static constexpr float START_SCALE = 0.7f;
    static constexpr float SCALE_STEP = 0.1f;

    // One ring: its height above the spot and how much smaller than the first it is.
    struct Ring {
        float lift;
        float shrink;
    };
    static constexpr Ring RINGS[3] = {{2.0f, 0.0f}, {3.5f, 0.7f}, {5.0f, 1.4f}};

    explicit CItemEffectJump(plat::Vec3 position);

    void Init() override;
    void Update() override;
    void Draw() override;

    CXFile* m_Mesh = nullptr;   // "XEffectJump"
    plat::Vec3 m_Position;      // y sinks
    float m_Speed = START_SPEED;
    float m_Alpha = START_ALPHA;
    float m_Scale = START_SCALE;
};
