// CVersusSelect chooses the arena of a game of two. Left and Right turn
// through the duel arenas (stages 1, 3 and 4) with a slowly turning preview
// of each and its name; Up and Down move between the arena and BACK. Z on the
// arena begins the match there: the select sound, the music and the screen
// fade out, and the first Draw after the fade hands over to the stage's
// loading. BACK, or Escape, ends the match and returns to the title.
#pragma once

#include <array>
#include <cstdint>

#include "audio/CSound.h"
#include "core/Task.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "hud/VersusArt.h"
#include "scene/ScreenKeys.h"

class CBGMusic;
class CCamera;

constexpr int32_t PRIORITY_VERSUS_SELECT = 2001;

class CVersusSelect : public CGameObject {
public:
    static constexpr int ARENAS = 3;
    static constexpr int ARENA_STAGES[ARENAS] = {0, 2, 3};   // stage indices of the duel arenas
    enum Row { ROW_ARENA, ROW_BACK };

    static constexpr float TURN_STEP = 1.0f;   // degrees per frame
    static constexpr float FULL_TURN = 360.0f;
    static constexpr float PREVIEW_FOV = 50.0f;
    static constexpr float LOADING_FOV = 60.0f;   // handed to the stage's camera
    static constexpr int32_t MUSIC_START_VOLUME = -7000;
    static constexpr int32_t MUSIC_VOLUME = -500;
    static constexpr int32_t MUSIC_FADE_IN_MS = 2000;
    static constexpr int32_t MUSIC_FADE_OUT_MS = 1600;

    void Init() override;
    void Update() override;
    void Draw() override;

    int Arena() const { return m_Arena; }
    int StageIndex() const { return ARENA_STAGES[m_Arena]; }
    int ChosenRow() const { return m_Row; }
    bool Decided() const { return m_Decided; }
    const CXFile& Preview(int arena) const { return m_Previews[arena]; }

private:
    void TurnArena(int step);
    void Confirm();
    void Decide();
    void BackToTitle();
    void PlayCopy(const CSound& sound);
    void DrawPreview();
    void DrawOverlay();
    void HandOverToLoading();

    ScreenKeys m_Keys;
    CCamera* m_Camera = nullptr;   // the "CCamera" task
    CBGMusic* m_Music = nullptr;   // the "bgm" task
    CTexture m_Backdrop;
    CSprite m_BackdropSprite;
    VersusArt m_Art;
    std::array<CXFile, ARENAS> m_Previews;
    CSound m_MoveSound;
    CSound m_SelectSound;
    int m_Arena = 0;
    int m_Row = ROW_ARENA;
    float m_TurnAngle = 0.0f;   // degrees about y
    bool m_Decided = false;
};
