// CLoading is responsible for the loading screen: while the stage loader runs
// on its worker thread it blinks the "loading" banner and spins the wheel of
// texture/Load.png, and in the first Draw that sees the loading-done flag it
// hands every pending entry to the task list, in the pending list's order, and
// removes itself.
#pragma once

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"

constexpr int32_t PRIORITY_LOADING = 1;

class CLoading : public CGameObject {
public:
    static constexpr int BLINK_START = 255;
    static constexpr int BLINK_STEP = 10;    // per frame; below 0 it starts again at 255
    static constexpr int SPIN_STEP = 45;     // degrees per frame
    static constexpr int SPIN_LIMIT = 360;   // above this the wheel starts again at 0

    // Empties the pending list (its objects are not deleted) and clears the
    // loading-done flag; loads the screen's picture.
    CLoading();
    // Before the hand-over (only at shutdown), frees the objects the loader
    // prepared: nobody else owns them yet.
    ~CLoading() override;
    CLoading(const CLoading&) = delete;
    CLoading& operator=(const CLoading&) = delete;

    void Draw() override;

    int m_BlinkAlpha = BLINK_START;
    int m_Angle = 0;   // degrees

protected:
    bool HandedOver() const { return m_HandedOver; }

private:
    void HandOver();
    void Animate();
    void DrawPicture();
    void FreePendingObjects();

    CTexture m_Texture;
    CSprite m_Sprite;
    bool m_HandedOver = false;
};
