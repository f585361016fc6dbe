// TopTouch holds what happens when two tops of a duel touch: both gauge
// ceilings rise by a fifth of the other's spin, the hit sound plays, and then
// either the tops bounce apart (sparks, the hit text, a push along the
// contact normal by the other's spin and a spin kick for a slow top) or, when
// both are dashing, a clash begins. The first top is the one whose disc the
// contact was found with; the second is the player's in a one-player duel.
#pragma once

#include <cstdint>

#include "game/CKomaBase.h"
#include "physics/PhysicsBodies.h"

class TopTouch {
public:
    static constexpr float HIT_PUSH = 700.0f;             // per unit of the other top's spin
    static constexpr float HIT_TORQUE = 7000.0f;          // for a top below spin 200
    static constexpr int HIT_SPARKS = 800;                // plus up to 99
    static constexpr float CEILING_SHARE = 5.0f;          // a touch raises each ceiling by a fifth of the other's spin
    static constexpr uint32_t CLASH_COOLDOWN_MS = 8500;   // no touch is handled this long after a clash

    static void ExchangeCeilings(CKomaBase& first, CKomaBase& second);
    static void Bounce(CKomaBase& first, CKomaBase& second, const ContactPoint& contact);
    // Starts the clash between the two; key: the key that presses for the
    // first top in it, or CKomaClash::NO_KEY for the computer's steady pushes.
    static void StartClash(CKomaBase& first, CKomaBase& second, const ContactPoint& contact, int key);
};
