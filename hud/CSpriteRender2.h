// CSpriteRender2 is the battle interface of stages 2 and 5: the player's
// gauge bar and spin meter with its graph, and on stage 2 one icon for each
// swarm enemy still to be defeated, with an arrow at the edge of the picture
// towards each swarm enemy out of view. It hands over to the result screen when
// the swarm is beaten, the stage-5 boss is down or the player's top is down.
#pragma once

#include <cstdint>

#include "hud/CSpriteRenderBase.h"

class CCamera;

class CSpriteRender2 : public CSpriteRenderBase {
public:
    static constexpr int SWARM_SIZE = 20;   // enemies to defeat on stage 2
    static constexpr int SWARM_ICONS_PER_ROW = 10;
    static constexpr float SWARM_ICON_X = 400, SWARM_ICON_Y = 400, SWARM_ICON_STEP = 20;

    CSpriteRender2() = default;

    void Init() override;
    void Update() override;
    void Draw() override;

    // How many swarm icons remain after so many defeats (never below none).
    static int SwarmIconsLeft(int defeated);
    // Where the icon with the index is drawn: rows of ten, full rows first.
    static plat::Vec2 SwarmIconPosition(int index);
    // Whether the swarm is beaten.
    static bool SwarmBeaten(int defeated);

    const int* m_SwarmDefeated = nullptr;   // the defeat count of the task "St2Enemy", or none
    CKomaBase* m_St5Enemy = nullptr;        // "St5Enemy", or none
    CCamera* m_Camera = nullptr;            // "CCamera", for the edge arrows

private:
    // The defeat count of the stage-2 swarm manager, when one is running.
    static const int* FindSwarmDefeatedCount();
    void DrawSwarmIcons();
    // An arrow at the picture's edge for every swarm enemy the camera does not show.
    void DrawEdgeArrows();
    void DecideEnd();
};
