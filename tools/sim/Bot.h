// Bot is a computer player for the headless runner. Each frame it looks at the
// game as the last frame left it and decides which keys to hold, through the
// same keyboard a person uses; it never changes the game's state. It launches
// with good power, steers relative to the camera's orbit, charges and dashes,
// presses Z fast in a clash, and finds its way through the screens.
//
// Skill 0 only launches; skill 1 also steers; skill 2 also charges and mashes
// in a clash; skill 3 also times its launch, boosts its spin and meets the
// enemy's dashes with its own. Some stages get play of their own: it chases
// the swarm (launching softly so its throws stay short, charging to keep its
// spin up, passing over enemies in the air),
// throws the heavy top into one of its crater's spillways (baiting its dash
// at skill 1; from skill 2 meeting its every dash for a clash, waiting out
// of the spillways' mouths and charging to stop a slide down one; skill 3
// also charges for spin while the heavy top cannot charge), and on the
// boss's stage shelters from each volley and pushes bombs in between (skill 3
// leaving for the shelter no sooner than it must and charging for spin
// there). It leaves its top alone while it bounces after the launch or has
// been thrown into the air.
// In versus play it takes either side, with that side's keys, and duels the
// other player's top; only player 1's bot finds its way through the screens.
#pragma once

#include <cstdint>
#include <map>

#include "platform/Math3D.h"

namespace plat {
class ScriptedKeySource;
}
class CEnemy;
class CKoma;
class CKomaBase;
class CResult;
class St5Enemy;

class Bot {
public:
    static constexpr int MAX_SKILL = 3;
    static constexpr int MAX_RETRIES = 2;   // continues on one stage before going back to the title

    struct Keys {
        bool z = false, up = false, down = false, left = false, right = false;
    };

    static constexpr int SIDE_PLAYER_1 = 0;
    static constexpr int SIDE_PLAYER_2 = 1;   // versus play: player 2's top and keys

    // seed: the bot's own chances (its pace in a versus clash), apart from the game's.
    explicit Bot(int skill, int side = SIDE_PLAYER_1, uint32_t seed = 1);

    // Decides the keys for the coming frame and holds them on the keyboard.
    void Play(plat::ScriptedKeySource& keys);
    // The same decision, without a keyboard (for tests).
    Keys Decide();

    // The arrow keys that push a top in a world direction, given the camera's
    // orbit (the game turns the arrows' force about y by the orbit).
    static Keys ArrowsTowards(plat::Vec3 direction, float orbitDegrees);
    // Arrows that bring the top to rest at a point, slowing as it arrives.
    static Keys HoldAt(const CKoma& player, plat::Vec3 point);
    // Arrows that turn the top's velocity towards a target at the given speed.
    static Keys Pursue(const CKoma& player, plat::Vec3 target, float speed);
    // Whether the boss is firing, about to fire, or its last shots are still flying.
    static bool VolleyNear(const St5Enemy& boss);
    // The same, with the volley counted as near this long before it starts.
    static bool VolleyNear(const St5Enemy& boss, uint32_t leadMs);
    // Whether the top rises or falls fast: it bounced or was thrown.
    static bool InTheAir(const CKoma& player);

private:
    Keys Screens();
    Keys Result(const CResult& result);
    Keys TapArrow(bool Keys::*arrow) const;
    Keys Aim();
    // Whether to launch in the coming frame, from the gauge and the aim as they stand.
    bool LaunchNow(int power, float aimAngle, int aimStep);
    // Versus play: this side's top against the other's.
    Keys Versus();
    Keys VersusAim();
    // Mashing at a human pace, a press on some frames and not others, so
    // that two equal players' clashes are decided by chance, not drawn.
    Keys VersusClash();
    uint32_t NextChance();
    Keys Battle(CKoma& player);
    Keys Play(CKoma& player);   // the battle's play of the stage
    Keys Clash();
    Keys Duel(CKoma& player, CKomaBase& enemy);
    Keys Heavy(CKoma& player, CKomaBase& enemy);
    Keys Dodge(const CKoma& player, plat::Vec3 enemy);
    // A charge that stays where it is, let go when `release` says.
    Keys HoldCharge(CKoma& player, bool release);
    // Frames a charge for spin may last now without leaving us unable to meet the heavy top's next charge; 0: none.
    int SpinChargeFrames(const CKoma& player, const CKomaBase& enemy) const;
    Keys Roam(const CKoma& player);
    Keys Chase(CKoma& player);
    Keys DashOrSteer(CKoma& player, plat::Vec3 target);
    plat::Vec3 Ahead(const CEnemy& enemy, const CKoma& player) const;
    Keys PushBombs(CKoma& player);
    Keys Boost(const CKoma& player, Keys k) const;
    Keys SteerTo(const CKoma& player, plat::Vec3 target) const;
    Keys Charge(CKoma& player, plat::Vec3 target, bool release);
    // Z pressed afresh: down only if it was up in the last frame.
    Keys Tap(Keys keys) const;

    int m_Skill;
    int m_Side;
    uint32_t m_Chance;   // xorshift state
    Keys m_Last;
    int m_ChargeFrames = 0;                           // frames the current charge has been held
    int m_Planned = 0;                                // frames to charge before letting go; 0: until the enemy dashes
    bool m_Braking = false;                           // the charge stops the top in a spillway and takes it back
    bool m_SpinCharge = false;                        // the charge only feeds spin
    int m_WaitFrames = 0;                             // frames spent waiting on a screen
    int m_Retries = 0;                                // continues taken on the current stage
    std::map<const CEnemy*, plat::Vec3> m_LastSeen;   // swarm enemies' positions in the last frame
};
