// CKomaAirWall is the shock front that rides in front of a dashing top: the
// air-wall mesh turned to the top's direction of travel and drawn additively
// at its position, until the top slows below 0.2 units per frame.
#pragma once

#include "core/Task.h"

class CKomaBase;
class CXFile;

class CKomaAirWall : public CGameObject {
public:
    static constexpr float END_SPEED = 0.2f;   // units per frame below which the wall goes

    explicit CKomaAirWall(CKomaBase* top) : m_Top(top) {}

    void Init() override;
    void Update() override;
    void Draw() override;

    // The turn about y of a wall moving along the horizontal direction of
    // (dx, dz): acos of the normalised x part, so +z and -z both give pi/2.
    static float FacingAngle(float dx, float dz);

    CXFile* m_Mesh = nullptr;   // "XEffectAirWall"
    CKomaBase* m_Top;
};
