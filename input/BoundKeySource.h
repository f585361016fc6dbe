// BoundKeySource is the keyboard as the player has bound it: it reads another
// source and moves the key of each action onto the key code the game reads
// for that action (the arrows, Z, P). The keys of actions that are bound
// elsewhere no longer act; every other key passes through as it is.
#pragma once

#include <array>
#include <cstdint>

#include "platform/KeySource.h"

class BoundKeySource : public plat::KeySource {
public:
    static constexpr int kActions = 6;
    // The codes the game reads for up, down, left, right, dash and pause.
    static constexpr std::array<int, kActions> kGameCodes = {plat::KEY_UP,    plat::KEY_DOWN, plat::KEY_LEFT,
                                                             plat::KEY_RIGHT, plat::KEY_Z,    plat::KEY_P};

    // bound[i]: the key the player presses for action i, in the order above.
    BoundKeySource(plat::KeySource* keys, const std::array<int, kActions>& bound);

    bool Read(uint8_t keys[256]) override;
    void SetSecondControllerKeys(const plat::ControllerKeys& keys) override
    {
        if (m_Keys) m_Keys->SetSecondControllerKeys(keys);
    }
    // While a new key is being chosen for an action, every source passes the
    // keys as pressed, so that any key can be seen (the options screen).
    static void SetPassThrough(bool on);
    static bool PassThrough();
    void Rebind(const std::array<int, kActions>& bound) { m_Bound = bound; }

    // The game's keys for the keys pressed, by the given bindings.
    static void Translate(const uint8_t pressed[256], const std::array<int, kActions>& bound, uint8_t keys[256]);

private:
    plat::KeySource* m_Keys;
    std::array<int, kActions> m_Bound;
};
