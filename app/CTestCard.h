// CTestCard is the first screen until the title exists: colour bars, a grey
// ramp and a spinning disc drawn with sprites, so a running program shows
// that the device, the sprite batch and the frame loop work.
#pragma once

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"

class CTestCard : public CGameObject {
public:
    void Init() override;
    void Update() override;
    void Draw() override;

private:
    CTexture m_bars;
    CTexture m_disc;
    CSprite m_barSprite;
    CSprite m_discSprite;
    int m_frame = 0;
};
