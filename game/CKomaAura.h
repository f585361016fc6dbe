// CKomaAura is the swirl around a top that charges or boosts its spin: two
// counter-rotating copies of the aura mesh that widen and flatten over 27
// updates, drawn additively at the top's position; then it removes itself.
#pragma once

#include "core/Task.h"

class CKomaBase;
class CXFile;

class CKomaAura : public CGameObject {
public:
    static constexpr float START_WIDTH = 0.5f;
    static constexpr float START_HEIGHT = 0.6f;
    static constexpr float TURN_STEP = 10.0f;   // degrees per update
    static constexpr float HEIGHT_STEP = -0.01f;
    static constexpr float WIDTH_STEP = 0.03f;
    static constexpr float END_WIDTH = 1.3f;   // removed once wider than this
    // The second copy: narrower by 0.5, taller by 0.3.
    static constexpr float INNER_WIDTH_OFFSET = -0.5f;
    static constexpr float INNER_HEIGHT_OFFSET = 0.3f;

    explicit CKomaAura(CKomaBase* top) : m_Top(top) {}

    void Init() override;
    void Update() override;
    void Draw() override;

    CXFile* m_Mesh = nullptr;   // "XEffectAura"
    CKomaBase* m_Top;
    float m_Angle = 0;   // degrees
    float m_Width = START_WIDTH;
    float m_Height = START_HEIGHT;
};
