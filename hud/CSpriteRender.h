// CSpriteRender is the battle interface of a duel between two tops (stages 1,
// 3 and 4): for each side a gauge bar and a spin meter with a ten-second
// graph, labels, and short flashes when an item reaches a side. It slides in
// from the screen edges and, as soon as a side's top is down, hands over to
// the result screen.
#pragma once

#include <cstdint>

#include "hud/CSpriteRenderBase.h"
#include "hud/PlayerArt.h"
#include "item/ItemFlashTarget.h"

class CSpriteRender : public CSpriteRenderBase, public ItemFlashTarget {
public:
    // Items that reached a side since the last draw (set by the item effects).
    static constexpr uint32_t ITEM_FLASH_SPIN_PLAYER = 1;
    static constexpr uint32_t ITEM_FLASH_SPIN_ENEMY = 2;
    static constexpr uint32_t ITEM_FLASH_POWER_PLAYER = 4;
    static constexpr uint32_t ITEM_FLASH_POWER_ENEMY = 8;

    static constexpr float ENEMY_GRAPH_X = 380;

    CSpriteRender() = default;

    void Init() override;
    void Update() override;
    void Draw() override;

    CKomaBase* m_Enemy = nullptr;   // "St%dEnemy" of the stage
    float m_EnemySpinHistory[HISTORY_SIZE] = {};
    PlayerArt m_ClockArt;   // versus play: the round's time left

private:
    void DrawPowerFlashes();
    void DrawSpinFlashes();
    void DrawMetersAndBars();
    void DrawLabels();
    void DrawGraphs();
    void DrawRoundClock();
    void DecideEnd();
};
