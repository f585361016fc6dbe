// The part of a battle interface that an arriving item icon lights up: the
// duel interface takes it on, so the icons can reach it from below it.
#pragma once

#include <cstdint>

// The task name of the battle interface, the duel's or the swarm's; it is
// named here, below the interfaces, so that the icons can look it up.
constexpr const char* SPRITE_RENDER_TASK_NAME = "CSpriteRender";

class ItemFlashTarget {
public:
    virtual ~ItemFlashTarget() = default;

    // Items that reached a side since the last draw, one bit per item and
    // side (see CItemEffect::FlashBit).
    uint32_t m_ItemFlashMask = 0;
};
