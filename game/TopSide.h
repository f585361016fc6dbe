// TopSide is what sets a player's top apart from the other player's: where it
// starts, how it is drawn, the keys it reads and the names of its effect
// tasks. The one-player game has only player 1's side; versus play adds
// player 2's, which starts across the arena as the enemy tops do, wears the
// stage's enemy top and reads player 2's keys.
#pragma once

#include "core/Settings.h"
#include "platform/Math3D.h"

class TopSide {
public:
    // The picture the battle's key reminder is cut from, with the tags that
    // name the players on the screens of a game of two. The stage loader
    // registers it under TAG_PICTURE_KEY.
    static constexpr const char* TAG_PICTURE = "texture/Hint.png";
    static constexpr const char* TAG_PICTURE_KEY = "HintBMP";
    static constexpr plat::Rect PLAYER_ONE_TAG{0, 96, 64, 128};
    static constexpr plat::Rect PLAYER_TWO_TAG{64, 96, 128, 128};

    int index = 0;   // 0 for player 1, 1 for player 2
    plat::Vec3 start;
    const char* meshKey = nullptr;
    // The game's key codes this side reads.
    int up = 0, down = 0, left = 0, right = 0, dash = 0;
    const char* auraTask = nullptr;
    const char* airWallTask = nullptr;
    bool startsMusic = true;   // the battle music comes with player 1's top

    // Player 1: the arrows and Z (wherever the player has bound them, the game reads these codes).
    static TopSide PlayerOne();
    // Player 2 with the given keys, drawn with a stage's enemy mesh.
    static TopSide PlayerTwo(const Settings::KeyMap& keys, const char* meshKey);
    // The task name player 2's top takes on a stage (0 to 4): the stage's
    // enemy top's, so the battle interface and the items find it.
    static const char* PlayerTwoTaskName(int stageIndex);
    // The mesh player 2's top wears on a stage.
    static const char* PlayerTwoMeshKey(int stageIndex);
};
