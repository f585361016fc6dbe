// CFeadEffect is the screen transition. It freezes every task from the head to
// just below itself the moment it is added, darkens the picture the back
// buffer still holds a little more each frame for 100 frames, then releases
// every task in that band and removes itself, so the frozen tasks carry on in
// the following frame. It begins the scene itself, because the head is frozen.
#pragma once

#include <cstdint>

#include "core/Task.h"
#include "gfx/CSprite.h"
#include "gfx/CTexture.h"

constexpr const char* FADE_TASK_NAME = "fead";

class CFeadEffect : public CGameObject {
public:
    // The band the fade freezes: the head and every game task, but not the
    // resources (-1), the fade itself or the tail.
    static constexpr int32_t FREEZE_LOW = 0;
    static constexpr int32_t FREEZE_HIGH = 0x7ffffff5;
    // Updates of darkening; the last one covers the screen completely.
    static constexpr int DARKEN_UPDATES = 100;
    static constexpr int FULL_ALPHA = 255;

    void Init() override;
    void Update() override;
    void Draw() override;

    int Alpha() const { return m_Alpha; }
    bool Done() const { return m_Done; }

private:
    CSprite m_Sprite;
    CTexture m_Texture;
    bool m_Done = false;
    int m_Alpha = 0;
};
