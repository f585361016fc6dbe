#include "tools/sim/Bot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "core/Globals.h"
#include "core/SettingsBook.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "core/VersusMatch.h"
#include "enemy/CEnemy.h"
#include "enemy/CObj.h"
#include "enemy/EnemyTop.h"
#include "enemy/St5Enemy.h"
#include "game/CKoma.h"
#include "game/CKomaClash.h"
#include "game/CKomaSet.h"
#include "game/CKomaShoot.h"
#include "game/CVersusSet.h"
#include "game/TopSide.h"
#include "gfx/CCamera.h"
#include "platform/KeySource.h"
#include "scene/CHowToPlay.h"
#include "scene/CResult.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"

namespace {

constexpr float DEG_TO_RAD = plat::PI / 180.0f;
// An arrow is held when the wanted direction leans this far towards it
// (sin 22.5 degrees: eight directions).
constexpr float ARROW_THRESHOLD = 0.38f;

// Aiming: a strong launch, straight enough to land near the middle.
constexpr int STRONG_POWER = 176;
constexpr int FAIR_POWER = 150;
constexpr float STRAIGHT_AIM = 10.0f;
constexpr int AIM_PATIENCE = 240;   // frames before any strong launch will do

// The duel.
constexpr float SAFE_RADIUS = 24.0f;    // beyond this, head back to the middle first
constexpr float INSIDE_MARGIN = 2.0f;   // keep this much nearer the middle than the enemy
constexpr int CHARGE_GAUGE = 40;        // enough gauge to meet a dash
constexpr int FULL_GAUGE = 60;          // enough gauge for a dash of its own
constexpr float DASH_MIN_DISTANCE = 5.0f;
constexpr float DASH_MAX_DISTANCE = 25.0f;
constexpr float DASH_FRAMES_PER_UNIT = 2.5f;
constexpr int DASH_MIN_FRAMES = 12;
constexpr int DASH_MAX_FRAMES = 68;
constexpr int BOOST_GAUGE = 70;          // spin boosts spend what is above this
constexpr float LANDED_HEIGHT = 6.0f;    // a top above this is in the air (resting, about 4)
constexpr float AIRBORNE_RISE = 0.05f;   // units a frame up or down: thrown into the air

// Versus: a clash press on this share of the frames it could come.
constexpr uint32_t CLASH_PRESS_PERCENT = 45;
constexpr uint32_t LAUNCH_TAKE_PERCENT = 30;   // of the frames a launch would be good
constexpr uint32_t CHANCE_MIX = 2654435761u;

// The stages that need play of their own.
constexpr int SWARM_STAGE = 1, HEAVY_STAGE = 3, BOSS_STAGE = 4;
constexpr float MARKED_BONUS = 8.0f;   // a marked swarm enemy counts as this much nearer
// The first touch throws a swarm enemy away in proportion to the player's
// spin: charging (which feeds spin) only below this keeps the throws short
// enough to follow.
constexpr float SWARM_SPIN = 130.0f;
// The best play keeps its spin lower still: it boosts only up to this and
// charges (which stands the top still) only when its spin runs low.
constexpr float SWARM_BOOST_SPIN = 90.0f;
constexpr float SWARM_LOW_SPIN = 70.0f;
// A soft launch on the swarm's stage: its spin, and so every throw, stays short.
constexpr int SWARM_POWER = 100;
constexpr int SWARM_POWER_WINDOW = 10;
// The swarm basin is level out to the foot of its wall, where thrown enemies
// come to rest: the chase goes that far out.
constexpr float SWARM_SAFE_RADIUS = 28.0f;
constexpr float PURSUIT_SPEED = 30.0f;      // units per second wanted towards a swarm enemy
constexpr float AIRBORNE_HEIGHT = 6.5f;     // a swarm enemy above this is in the air (resting, about 4.2)
constexpr float AIRBORNE_PENALTY = 30.0f;   // and counts as this much farther away
constexpr float LEAD_SECONDS_MAX = 1.0f;    // how far ahead a moving swarm enemy is met
constexpr float CHASE_SPEED = 12.0f;        // units per second a chasing top really makes, on average
constexpr float LINED_UP = 0.85f;           // player, bomb and boss in a line
constexpr float ROUND_DISTANCE = 8.0f;      // how wide to go round a bomb

// The iron crater's three spillways are centred at 0, 150 and 210 degrees
// (from +x towards +z): the heavy top leaves its crater only through one.
constexpr float SPILLWAY_BEARINGS[] = {0.0f, 150.0f, 210.0f};
constexpr float SPILLWAY_EXIT = 44.0f;         // a point beyond the rim in a spillway's middle
constexpr float BAIT_DISTANCE = 16.0f;         // far enough that the heavy top charges at us
constexpr float BAIT_RADIUS = 20.0f;           // the bait stays inside the landing dish
constexpr float DODGE_DISTANCE = 9.0f;         // sideways out of the line of its dash
constexpr float KEEP_AWAY = 8.0f;              // nearer than this, a touch is likely
constexpr float CLASH_THROW = 24.0f;           // how far a won clash throws the heavy top while our spin is high
constexpr float SPILLWAY_HALF_WIDTH = 14.0f;   // degrees either side of a spillway's middle, clear of its walls
constexpr float CHARGE_REACH = 10.0f;          // nearer than this, the heavy top never charges
constexpr float CLASH_DISTANCE = 13.0f;        // where we wait for its charge, to meet its dash
constexpr float MOUTH_RADIUS = 10.0f;          // the spillways leave the dish a little beyond this
constexpr float MOUTH_HALF_WIDTH = 24.0f;      // degrees either side of a spillway's middle, its sloping sides included
constexpr float SLIDING_RADIUS = 18.0f;        // beyond this in a spillway, a top moving outwards is sliding down it
constexpr float SLIDING_SPEED = 15.0f;         // units per second outwards: sliding down
constexpr float BACK_RADIUS = 8.0f;            // a top sliding down a spillway heads back to this radius
constexpr int BRAKE_GAUGE = 12;                // the least gauge for a charge that stops the top
constexpr uint32_t SPIN_CHARGE_MARGIN_MS = 400;   // a charge for spin ends this long before the heavy top may charge
constexpr int SPIN_CHARGE_MIN_FRAMES = 20;      // a shorter charge for spin is not worth it

// Shelter from the boss's volleys: every sweep ends before this bearing
// (degrees from +z towards +x, the way the boss aims) and it lies halfway
// between two projectiles of the ring.
constexpr float SHELTER_BEARING = 330.0f;
constexpr float SHELTER_RADIUS = 22.0f;
constexpr uint32_t SHELTER_LEAD_MS = 2500;   // head there this long before a volley
constexpr uint32_t SHELTER_AFTER_MS = 300;   // the last shots are still flying
constexpr uint32_t SHELTER_MARGIN_MS = 700;  // besides the time to get there
constexpr float SHELTER_SPEED = 12.0f;       // units per second on the way there, at the least
constexpr float SHELTER_SETTLED = 2.0f;      // this near the shelter, it is there
constexpr float MS_PER_SECOND = 1000.0f;

// Holding a point: the speed wanted is proportional to the distance left.
constexpr float FRAMES_PER_SECOND = 60.0f;
constexpr float HOLD_GAIN = 1.5f;     // per second
constexpr float HOLD_SPEED = 14.0f;   // units per second at most
constexpr float HOLD_SLACK = 1.5f;    // units per second of error let pass
constexpr float FRAME_MS = MS_PER_SECOND / FRAMES_PER_SECOND;

// A screen of the given class, when one is running.
template <typename Screen>
Screen* FindScreen()
{
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* screen = dynamic_cast<Screen*>(e->object)) return screen;
    return nullptr;
}

float HorizontalLength(plat::Vec3 v) { return std::hypot(v.x, v.z); }

plat::Vec3 Horizontal(plat::Vec3 v) { return {v.x, 0, v.z}; }

// Whether a top at `from` thrown along `direction` lands in a spillway.
bool ThrownIntoSpillway(plat::Vec3 from, plat::Vec3 direction)
{
    plat::Vec3 landing = Horizontal(from) + Horizontal(direction) * CLASH_THROW;
    float bearing = std::atan2(landing.z, landing.x) / DEG_TO_RAD;
    for (float middle : SPILLWAY_BEARINGS) {
        float off = std::fabs(std::remainder(bearing - middle, 360.0f));
        if (off < SPILLWAY_HALF_WIDTH) return true;
    }
    return false;
}

// Degrees between the bearing of `at` and the middle of the nearest spillway.
float OffSpillway(plat::Vec3 at)
{
    float bearing = std::atan2(at.z, at.x) / DEG_TO_RAD;
    float off = 180.0f;
    for (float middle : SPILLWAY_BEARINGS) off = std::min(off, std::fabs(std::remainder(bearing - middle, 360.0f)));
    return off;
}

// Whether `at` lies in a spillway's mouth or down it, where a touch throws a top on down.
bool InSpillwayMouth(plat::Vec3 at) { return HorizontalLength(at) > MOUTH_RADIUS && OffSpillway(at) < MOUTH_HALF_WIDTH; }

// A point in the dish on the way back from `at` to the middle.
plat::Vec3 BackInTheDish(plat::Vec3 at)
{
    float r = HorizontalLength(at);
    return r > BACK_RADIUS ? Horizontal(at) * (BACK_RADIUS / r) : Horizontal(at);
}

// Whether the top is on its way down a spillway: in one, beyond the dish, and moving outwards.
bool SlidingDownSpillway(const CKoma& player)
{
    plat::Vec3 p = Horizontal(player.m_Pos);
    if (HorizontalLength(p) < SLIDING_RADIUS || !InSpillwayMouth(p) || Bot::InTheAir(player)) return false;
    plat::Vec3 velocity = Horizontal(player.m_Pos - player.m_PrevPos) * FRAMES_PER_SECOND;
    return plat::Dot(velocity, plat::Normalize(p)) > SLIDING_SPEED;
}

// The spillway to throw the heavy top at `enemy` into from a clash, chosen
// so that our place for it lies nearest `player`: returns that place.
plat::Vec3 BestSpillwayToClashFrom(plat::Vec3 enemy, plat::Vec3 player)
{
    plat::Vec3 best{0, 0, 0};
    float bestDistance = 1e9f;
    for (float bearing : SPILLWAY_BEARINGS) {
        plat::Vec3 exit = plat::Vec3{std::cos(bearing * DEG_TO_RAD), 0, std::sin(bearing * DEG_TO_RAD)} * SPILLWAY_EXIT;
        plat::Vec3 place = enemy - plat::Normalize(exit - enemy) * CLASH_DISTANCE;
        float d = HorizontalLength(place - player);
        if (d < bestDistance) {
            bestDistance = d;
            best = place;
        }
    }
    return best;
}

// The point beyond the rim of the spillway whose middle lies nearest the direction of `at`.
plat::Vec3 NearestSpillway(plat::Vec3 at)
{
    plat::Vec3 best{0, 0, 0};
    float bestDot = -2;
    for (float bearing : SPILLWAY_BEARINGS) {
        plat::Vec3 exit{std::cos(bearing * DEG_TO_RAD), 0, std::sin(bearing * DEG_TO_RAD)};
        float d = HorizontalLength(at) > 0 ? plat::Dot(exit, plat::Normalize(Horizontal(at))) : 0;
        if (d > bestDot) {
            bestDot = d;
            best = exit * SPILLWAY_EXIT;
        }
    }
    return best;
}

CKomaBase* StageEnemyTop()
{
    char name[TASK_NAME_SIZE];
    std::snprintf(name, sizeof name, "St%dEnemy", g_StageIndex + 1);
    return dynamic_cast<CKomaBase*>(FindTask(name));
}

TopSide SecondSide() { return TopSide::PlayerTwo(SettingsBook::Used().keys[1], nullptr); }

float CameraOrbit()
{
    auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    return camera ? camera->m_Orbit : 0.0f;
}

}   // namespace

Bot::Bot(int skill, int side, uint32_t seed)
    : m_Skill(std::clamp(skill, 0, MAX_SKILL)), m_Side(side), m_Chance(seed * CHANCE_MIX + side + 1)
{
    if (m_Chance == 0) m_Chance = 1;
}

void Bot::Play(plat::ScriptedKeySource& keys)
{
    Keys k = Decide();
    const TopSide side = m_Side == SIDE_PLAYER_2 ? SecondSide() : TopSide::PlayerOne();
    keys.SetKey(side.dash, k.z);
    keys.SetKey(side.up, k.up);
    keys.SetKey(side.down, k.down);
    keys.SetKey(side.left, k.left);
    keys.SetKey(side.right, k.right);
}

Bot::Keys Bot::Decide()
{
    if (VersusMatch::Current().Active()) return Versus();
    Keys k;
    auto* player = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
    if (FindScreen<CResult>()) {
        k = Screens();   // the result lies over the stage, which still runs
    } else if (FindTask(KOMA_CLASH_TASK_NAME)) {
        k = Clash();
    } else if (FindTask(KOMA_SET_TASK_NAME)) {
        k = Aim();
    } else if (player && !player->IsDown()) {
        k = Battle(*player);
    } else {
        k = Screens();
    }
    if (!player || !player->IsCharging()) m_ChargeFrames = 0;
    m_Last = k;
    return k;
}

Bot::Keys Bot::ArrowsTowards(plat::Vec3 direction, float orbitDegrees)
{
    // The game turns the arrows' force about y by the orbit; turn the wanted
    // world direction back to find the arrows.
    Keys k;
    float length = HorizontalLength(direction);
    if (length == 0.0f) return k;
    float wx = direction.x / length, wz = direction.z / length;
    float c = std::cos(orbitDegrees * DEG_TO_RAD), s = std::sin(orbitDegrees * DEG_TO_RAD);
    float fx = wx * c - wz * s;
    float fz = wx * s + wz * c;
    k.right = fx > ARROW_THRESHOLD;
    k.left = fx < -ARROW_THRESHOLD;
    k.up = fz > ARROW_THRESHOLD;
    k.down = fz < -ARROW_THRESHOLD;
    return k;
}

Bot::Keys Bot::Tap(Keys keys) const
{
    keys.z = !m_Last.z;
    return keys;
}

Bot::Keys Bot::Screens()
{
    ++m_WaitFrames;
    if (auto* result = FindScreen<CResult>()) return Result(*result);
    if (auto* title = FindScreen<CTitle>()) {
        // Z skips the opening and then starts; Up brings the cursor back to the start.
        if (title->m_MenuChoice == CTitle::CHOICE_QUIT) return TapArrow(&Keys::up);
        return Tap({});
    }
    if (FindScreen<CStageSelect>() || FindScreen<CHowToPlay>()) return Tap({});   // presses during a fade do nothing
    return {};
}

Bot::Keys Bot::Result(const CResult& result)
{
    if (result.Phase() != CResult::PHASE_WAITING) return {};
    if (result.Kind() == CResult::KIND_CLEAR) {
        m_Retries = 0;
        return Tap({});
    }
    // A game over: continue a few times, then back to the title.
    bool giveUp = m_Retries >= MAX_RETRIES;
    if (result.Choice() != giveUp) return TapArrow(&Keys::right);
    if (m_Last.z) return {};
    if (giveUp)
        m_Retries = 0;
    else
        ++m_Retries;
    return Tap({});
}

Bot::Keys Bot::TapArrow(bool Keys::*arrow) const
{
    Keys k;
    k.*arrow = !(m_Last.*arrow);
    return k;
}

Bot::Keys Bot::Aim()
{
    auto* set = dynamic_cast<CKomaSet*>(FindTask(KOMA_SET_TASK_NAME));
    ++m_WaitFrames;
    if (!set || m_Skill == 0) return Tap({});
    return LaunchNow(set->m_Power, set->m_AimAngle, set->m_AimStep) ? Tap({}) : Keys{};
}

bool Bot::LaunchNow(int power, float aimAngle, int aimStep)
{
    // The aiming phase moves before it reads the key: judge the next frame's gauge and aim.
    power += CKomaSet::POWER_STEP;
    if (power > CKomaSet::POWER_MAX) power = 0;
    float aim = aimAngle + static_cast<float>(aimStep);
    bool straight = std::fabs(aim) <= STRAIGHT_AIM || m_WaitFrames > AIM_PATIENCE;
    bool go;
    if (g_StageIndex == SWARM_STAGE)
        go = power >= SWARM_POWER && power < SWARM_POWER + SWARM_POWER_WINDOW && (m_Skill < MAX_SKILL || straight);
    else
        go = m_Skill < MAX_SKILL ? power >= FAIR_POWER : power >= STRONG_POWER && straight;
    if (go) m_WaitFrames = 0;
    return go;
}

Bot::Keys Bot::Versus()
{
    const char* mine = m_Side == SIDE_PLAYER_2 ? TopSide::PlayerTwoTaskName(g_StageIndex) : KOMA_TASK_NAME;
    const char* theirs = m_Side == SIDE_PLAYER_2 ? KOMA_TASK_NAME : TopSide::PlayerTwoTaskName(g_StageIndex);
    auto* me = dynamic_cast<CKoma*>(FindTask(mine));
    auto* other = dynamic_cast<CKoma*>(FindTask(theirs));
    Keys k;
    if (FindTask(KOMA_CLASH_TASK_NAME)) {
        k = VersusClash();
    } else if (FindTask(VERSUS_SET_TASK_NAME)) {
        k = VersusAim();
    } else if (me && other && !me->IsDown() && !other->IsDown()) {
        m_WaitFrames = 0;
        if (m_Skill > 0 && !InTheAir(*me)) k = Duel(*me, *other);
    } else if (m_Side == SIDE_PLAYER_1) {
        k = Screens();
    }
    if (!me || !me->IsCharging()) m_ChargeFrames = 0;
    m_Last = k;
    return k;
}

Bot::Keys Bot::VersusClash()
{
    if (m_Skill < 2 || m_Last.z) return {};
    Keys k;
    k.z = NextChance() % 100 < CLASH_PRESS_PERCENT;
    return k;
}

uint32_t Bot::NextChance()
{
    m_Chance ^= m_Chance << 13;
    m_Chance ^= m_Chance >> 17;
    m_Chance ^= m_Chance << 5;
    return m_Chance;
}

Bot::Keys Bot::VersusAim()
{
    auto* set = dynamic_cast<CVersusSet*>(FindTask(VERSUS_SET_TASK_NAME));
    ++m_WaitFrames;
    if (!set || set->Side(m_Side).launched) return {};
    if (m_Skill == 0) return Tap({});
    // A player's launch is never timed to the frame: it lets some good moments pass.
    const CVersusSet::Launcher& launcher = set->Side(m_Side);
    if (!LaunchNow(launcher.power, launcher.aimAngle, launcher.aimStep)) return {};
    return NextChance() % 100 < LAUNCH_TAKE_PERCENT ? Tap({}) : Keys{};
}

Bot::Keys Bot::Clash()
{
    // Every press after the camera's swing moves the balance our way.
    if (m_Skill < 2) return {};
    return Tap({});
}

Bot::Keys Bot::Battle(CKoma& player)
{
    m_WaitFrames = 0;
    if (m_Skill == 0) return {};
    // Steering in the air only tips the top into the floor when it lands,
    // and a launched top bounces on its first touch-down: until the launch
    // sequence is over, leave it alone while it is high.
    if (FindTask(KOMA_SHOOT_TASK_NAME) && player.m_Pos.y > LANDED_HEIGHT) return {};
    if (!InTheAir(player)) return Play(player);
    // Thrown into the air, it waits to come down; but thrown by the heavy top
    // towards a spillway it steers back at once. It never begins a charge in
    // the air: that freezes the top there, and it falls hard onto the floor
    // when the dash lets it go.
    if (g_StageIndex != HEAVY_STAGE) return {};
    Keys k = Play(player);
    if (!player.IsCharging()) k.z = false;
    return k;
}

Bot::Keys Bot::Play(CKoma& player)
{
    Keys k;
    switch (g_StageIndex) {
        case SWARM_STAGE: {
            k = Chase(player);
            return m_Skill >= MAX_SKILL && player.Spin() < SWARM_BOOST_SPIN ? Boost(player, k) : k;
        }
        case HEAVY_STAGE: {
            CKomaBase* enemy = StageEnemyTop();
            if (enemy && !enemy->IsDown()) {
                k = Heavy(player, *enemy);
                return m_Skill >= MAX_SKILL && !enemy->IsCharging() ? Boost(player, k) : k;
            }
            k = Roam(player);
            break;
        }
        case BOSS_STAGE: k = PushBombs(player); break;
        default: {
            CKomaBase* enemy = StageEnemyTop();
            if (enemy && !enemy->IsDown()) return Duel(player, *enemy);
            k = Roam(player);
            break;
        }
    }
    return m_Skill >= MAX_SKILL ? Boost(player, k) : k;
}

bool Bot::InTheAir(const CKoma& player)
{
    // Rolling up and down the floor is slower than a bounce or a throw.
    return std::fabs(player.m_Pos.y - player.m_PrevPos.y) > AIRBORNE_RISE;
}

Bot::Keys Bot::Boost(const CKoma& player, Keys k) const
{
    // A held Z with no fresh press turns the gauge above 68 into spin, which
    // only helps below the spin where the boost's torque stops. Z goes down in
    // a frame without arrows (so it starts no charge) and is then held while
    // steering goes on.
    if (player.IsCharging() || player.m_Gauge <= BOOST_GAUGE || player.Spin() >= CKomaBase::TORQUE_SPIN_LIMIT) return k;
    if (m_Last.z) {
        k.z = true;
        return k;
    }
    return Keys{true, false, false, false, false};
}

Bot::Keys Bot::Chase(CKoma& player)
{
    // The nearest swarm enemy that is not already vanishing; marked ones first.
    const CEnemy* best = nullptr;
    float bestScore = 0;
    std::map<const CEnemy*, plat::Vec3> seen;
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        auto* enemy = dynamic_cast<const CEnemy*>(e->object);
        if (enemy) seen[enemy] = enemy->m_Pos;
        if (!enemy || enemy->IsDying() || enemy->m_Pos.y < 0) continue;
        // One in the air cannot be touched yet: it counts as far away.
        float airborne = enemy->m_Pos.y > AIRBORNE_HEIGHT ? AIRBORNE_PENALTY : 0.0f;
        float score =
            HorizontalLength(enemy->m_Pos - player.m_Pos) - (enemy->m_HitCount == 1 ? MARKED_BONUS : 0) + airborne;
        if (!best || score < bestScore) {
            best = enemy;
            bestScore = score;
        }
    }
    plat::Vec3 target = best ? Ahead(*best, player) : plat::Vec3{0, 0, 0};
    m_LastSeen = std::move(seen);
    if (!best) return Roam(player);
    if (HorizontalLength(player.m_Pos) > SWARM_SAFE_RADIUS && HorizontalLength(best->m_Pos) > SWARM_SAFE_RADIUS)
        target = {0, 0, 0};
    return DashOrSteer(player, target);
}

plat::Vec3 Bot::Ahead(const CEnemy& enemy, const CKoma& player) const
{
    // Where the enemy will be when the top gets there, from how far it moved
    // since the bot last saw it (a thrown enemy flies fast).
    plat::Vec3 velocity{0, 0, 0};
    auto seen = m_LastSeen.find(&enemy);
    if (seen != m_LastSeen.end()) velocity = Horizontal(enemy.m_Pos - seen->second) * FRAMES_PER_SECOND;
    float time = std::min(HorizontalLength(enemy.m_Pos - player.m_Pos) / CHASE_SPEED, LEAD_SECONDS_MAX);
    return enemy.m_Pos + velocity * time;
}

Bot::Keys Bot::DashOrSteer(CKoma& player, plat::Vec3 target)
{
    // Every charging frame below the torque limit adds spin, and the gauge
    // refills by itself: charging on a full gauge feeds the spin and dashes
    // the top at its target. The best play spins up where it stands instead:
    // a dash on low spin, into the wall or another enemy, costs more spin
    // than the charge gave.
    bool inPlace = m_Skill >= MAX_SKILL;
    if (player.IsCharging())
        return inPlace ? HoldCharge(player, m_ChargeFrames >= m_Planned)
                       : Charge(player, target, m_ChargeFrames >= m_Planned);
    float chargeBelow = inPlace ? SWARM_LOW_SPIN : SWARM_SPIN;
    if (m_Skill >= 2 && g_FrameTime > player.m_ChargeAllowed && player.m_Gauge >= FULL_GAUGE &&
        player.Spin() < chargeBelow) {
        m_Planned = player.m_Gauge;
        return inPlace ? HoldCharge(player, false) : Charge(player, target, false);
    }
    return Pursue(player, target, PURSUIT_SPEED);
}

Bot::Keys Bot::Pursue(const CKoma& player, plat::Vec3 target, float speed)
{
    // Push to turn the velocity towards the target, not the position: the
    // sideways drift that would carry the top round its target is taken out.
    plat::Vec3 velocity = Horizontal(player.m_Pos - player.m_PrevPos) * FRAMES_PER_SECOND;
    plat::Vec3 to = Horizontal(target - player.m_Pos);
    if (HorizontalLength(to) < 0.01f) return {};
    plat::Vec3 push = plat::Normalize(to) * speed - velocity;
    return ArrowsTowards(push, CameraOrbit());
}

Bot::Keys Bot::PushBombs(CKoma& player)
{
    // Round the bomb to its far side from the boss, then through it into the boss.
    auto* bomb = dynamic_cast<const CObj*>(FindTask(BOMB_TASK_NAME));
    auto* boss = dynamic_cast<const St5Enemy*>(FindTask(BOSS_TASK_NAME));
    if (!boss) return Roam(player);
    float a = SHELTER_BEARING * DEG_TO_RAD;
    plat::Vec3 shelter = plat::Vec3{std::sin(a), 0, std::cos(a)} * SHELTER_RADIUS;
    // Skill 3 sets off for the shelter in time to get there, and no sooner:
    // the quiet between volleys is short once the boss is hit.
    float away = HorizontalLength(shelter - player.m_Pos);
    uint32_t lead = SHELTER_LEAD_MS;
    if (m_Skill >= MAX_SKILL)
        lead = std::min(lead, SHELTER_MARGIN_MS + static_cast<uint32_t>(away / SHELTER_SPEED * MS_PER_SECOND));
    if (player.IsCharging()) return HoldCharge(player, m_ChargeFrames >= m_Planned);
    if (VolleyNear(*boss, lead)) {
        // Sheltering, skill 3 stands still in a charge that feeds its spin.
        if (m_Skill >= MAX_SKILL && away < SHELTER_SETTLED && g_FrameTime > player.m_ChargeAllowed &&
            player.Spin() < CKomaBase::TORQUE_SPIN_LIMIT && player.m_Gauge >= SPIN_CHARGE_MIN_FRAMES) {
            m_Planned = player.m_Gauge;
            return HoldCharge(player, false);
        }
        return HoldAt(player, shelter);
    }
    if (!bomb) return Roam(player);
    plat::Vec3 out = plat::Normalize(Horizontal(bomb->m_Position - boss->m_Pos));
    plat::Vec3 side = plat::Normalize(Horizontal(player.m_Pos - bomb->m_Position));
    if (plat::Dot(side, out) > LINED_UP) return SteerTo(player, boss->m_Pos);
    plat::Vec3 round = plat::Normalize(side + out);
    if (plat::Length(round) < 0.1f) round = {out.z, 0, -out.x};
    return SteerTo(player, bomb->m_Position + round * ROUND_DISTANCE);
}

Bot::Keys Bot::SteerTo(const CKoma& player, plat::Vec3 target) const
{
    return ArrowsTowards(target - player.m_Pos, CameraOrbit());
}

Bot::Keys Bot::Charge(CKoma& player, plat::Vec3 target, bool release)
{
    Keys k = SteerTo(player, target);
    if (!player.IsCharging()) return Tap(k);   // a fresh press with an arrow held starts it
    ++m_ChargeFrames;
    k.z = !release;
    return k;
}

Bot::Keys Bot::Duel(CKoma& player, CKomaBase& enemy)
{
    uint32_t now = g_FrameTime;
    plat::Vec3 p = player.m_Pos, e = enemy.m_Pos;
    float distance = HorizontalLength(e - p);

    if (player.IsCharging()) {
        // Meet the enemy's dash with ours (a clash), or dash as far as planned.
        bool enemyDashing = !enemy.IsCharging() && enemy.IsDashing(now);
        bool release =
            (m_Skill >= MAX_SKILL && m_Planned == 0 && enemyDashing) || (m_Planned > 0 && m_ChargeFrames >= m_Planned);
        return Charge(player, e, release);
    }

    bool canCharge = m_Skill >= 2 && now > player.m_ChargeAllowed && player.m_Gauge >= CHARGE_GAUGE;
    if (canCharge && m_Skill >= MAX_SKILL && enemy.IsCharging()) {
        m_Planned = 0;   // until the enemy lets go
        return Charge(player, e, false);
    }
    // A dash of our own only when it carries us inwards, past the enemy.
    plat::Vec3 towards = Horizontal(e - p);
    bool inwards = HorizontalLength(p) < DASH_MIN_DISTANCE * 2 ||
                   plat::Dot(plat::Normalize(towards), plat::Normalize(Horizontal(p * -1.0f))) > 0.0f;
    if (canCharge && player.m_Gauge >= FULL_GAUGE && distance > DASH_MIN_DISTANCE && distance < DASH_MAX_DISTANCE &&
        inwards) {
        m_Planned = std::clamp(static_cast<int>(distance * DASH_FRAMES_PER_UNIT), DASH_MIN_FRAMES, DASH_MAX_FRAMES);
        return Charge(player, e, false);
    }

    // Otherwise keep nearer the middle than the enemy and ram it outwards.
    plat::Vec3 target = e;
    if (HorizontalLength(p) > SAFE_RADIUS)
        target = {0, 0, 0};
    else if (HorizontalLength(p) > HorizontalLength(e) - INSIDE_MARGIN)
        target = e * 0.5f;
    Keys k = SteerTo(player, target);
    return m_Skill >= MAX_SKILL ? Boost(player, k) : k;
}

Bot::Keys Bot::Heavy(CKoma& player, CKomaBase& enemy)
{
    // The heavy top cannot be worn down in time and a touch throws us far: it
    // must leave through a spillway. It dashes at where we stood when its
    // charge began. Skill 1 waits between it and a spillway and steps aside
    // while it charges. Skill 2 waits on its far side from a spillway instead,
    // in the dish and out of the spillways' mouths, and meets its every dash
    // with a dash of its own: we always win the clash, which throws it away
    // from us (into the spillway when lined up), while a touch without one
    // throws us. Sliding down a spillway, it charges to stop there and dashes
    // back. Skill 3 also charges for spin while the heavy top cannot charge.
    uint32_t now = g_FrameTime;
    plat::Vec3 p = Horizontal(player.m_Pos), e = Horizontal(enemy.m_Pos);
    bool clashing = m_Skill >= 2;
    plat::Vec3 out =
        clashing ? plat::Normalize(e - BestSpillwayToClashFrom(e, p)) : plat::Normalize(NearestSpillway(e) - e);
    float distance = HorizontalLength(e - p);

    if (player.IsCharging()) {
        if (m_Braking) return Charge(player, BackInTheDish(p), m_ChargeFrames >= m_Planned);
        if (m_SpinCharge) return HoldCharge(player, m_ChargeFrames >= m_Planned && !enemy.IsCharging());
        bool enemyDashing = !enemy.IsCharging() && enemy.IsDashing(now);
        return Charge(player, e, enemyDashing || m_ChargeFrames >= DASH_MAX_FRAMES);
    }
    m_Braking = false;
    m_SpinCharge = false;
    if (clashing && SlidingDownSpillway(player) && now > player.m_ChargeAllowed &&
        player.m_Gauge >= BRAKE_GAUGE) {
        // A charge holds the top where it is: it stops there, and its dash
        // takes it back into the dish.
        m_Braking = true;
        m_Planned = std::clamp(static_cast<int>(HorizontalLength(BackInTheDish(p) - p) * DASH_FRAMES_PER_UNIT),
                               DASH_MIN_FRAMES, std::min(player.m_Gauge, DASH_MAX_FRAMES));
        return Charge(player, BackInTheDish(p), false);
    }
    if (enemy.IsCharging()) {
        bool canCharge = now > player.m_ChargeAllowed && player.m_Gauge >= CHARGE_GAUGE;
        if (clashing && canCharge) return Charge(player, e, false);
        return Dodge(player, e);
    }
    if (enemy.IsDashing(now) && distance < BAIT_DISTANCE) return Dodge(player, e);
    if (clashing) {
        if (int frames = SpinChargeFrames(player, enemy); frames > 0) {
            m_SpinCharge = true;
            m_Planned = frames;
            return HoldCharge(player, false);
        }
    }
    if (distance < KEEP_AWAY) return Pursue(player, p + plat::Normalize(p - e) * BAIT_DISTANCE, PURSUIT_SPEED);
    // Out of its reach until lined up, so that it charges only then.
    bool lined = ThrownIntoSpillway(e, plat::Normalize(e - p));
    float reach = clashing && !lined ? CHARGE_REACH - 1 : CLASH_DISTANCE;
    plat::Vec3 wait = clashing ? e - out * reach : e + out * BAIT_DISTANCE;
    if (HorizontalLength(wait) > BAIT_RADIUS) wait = plat::Normalize(wait) * BAIT_RADIUS;
    if (clashing && InSpillwayMouth(wait)) wait = plat::Normalize(wait) * MOUTH_RADIUS;
    // Round it rather than through it on the way.
    plat::Vec3 way = wait - p;
    float along = plat::Dot(e - p, plat::Normalize(way));
    if (along > 0 && along < HorizontalLength(way)) {
        plat::Vec3 nearest = p + plat::Normalize(way) * along;
        if (HorizontalLength(nearest - e) < KEEP_AWAY) {
            plat::Vec3 side = plat::Normalize(nearest - e);
            if (HorizontalLength(nearest - e) < 0.01f) side = {way.z, 0, -way.x};
            wait = e + plat::Normalize(side) * BAIT_DISTANCE;
        }
    }
    return HoldAt(player, wait);
}

Bot::Keys Bot::HoldCharge(CKoma& player, bool release)
{
    // An arrow is needed only to start the charge: with none held after that
    // it gathers spin and next to no dash, and the top stays where it is.
    if (!player.IsCharging()) return Tap(SteerTo(player, {0, 0, 0}));
    ++m_ChargeFrames;
    Keys k;
    k.z = !release;
    return k;
}

int Bot::SpinChargeFrames(const CKoma& player, const CKomaBase& enemy) const
{
    // A charge feeds spin, but after it we cannot charge for a while: only
    // while the heavy top cannot charge either (after its charge, and long
    // after a clash), and long enough to have our gauge back by then.
    auto* top = dynamic_cast<const EnemyTop*>(&enemy);
    uint32_t now = g_FrameTime;
    if (m_Skill < MAX_SKILL || !top || now <= player.m_ChargeAllowed || player.Spin() >= CKomaBase::TORQUE_SPIN_LIMIT ||
        HorizontalLength(enemy.m_Pos - player.m_Pos) < CHARGE_REACH)
        return 0;
    uint32_t free = std::max(top->m_ChargeTime + EnemyTop::CHARGE_INTERVAL_MS, top->m_ClashCooldownEnd);
    uint32_t needed = CKoma::CHARGE_AGAIN_MS + SPIN_CHARGE_MARGIN_MS;
    if (free <= now + needed) return 0;
    int frames = std::min(player.m_Gauge, static_cast<int>(static_cast<float>(free - now - needed) / FRAME_MS));
    return frames >= SPIN_CHARGE_MIN_FRAMES ? frames : 0;
}

Bot::Keys Bot::Dodge(const CKoma& player, plat::Vec3 enemy)
{
    // Out of the line of its dash, on the side towards the middle.
    plat::Vec3 p = Horizontal(player.m_Pos);
    plat::Vec3 line = plat::Normalize(p - enemy);
    plat::Vec3 side{line.z, 0, -line.x};
    if (plat::Dot(side, p * -1.0f) < 0) side = side * -1.0f;
    return Pursue(player, p + side * DODGE_DISTANCE, PURSUIT_SPEED);
}

Bot::Keys Bot::Roam(const CKoma& player)
{
    // Nothing to fight: stay near the middle.
    if (HorizontalLength(player.m_Pos) < DASH_MIN_DISTANCE) return {};
    return SteerTo(player, {0, 0, 0});
}

bool Bot::VolleyNear(const St5Enemy& boss) { return VolleyNear(boss, SHELTER_LEAD_MS); }

bool Bot::VolleyNear(const St5Enemy& boss, uint32_t leadMs)
{
    if (boss.IsFiring()) return true;
    uint32_t since = g_FrameTime - boss.m_ChargeTime;
    return since < SHELTER_AFTER_MS || since + leadMs > St5Enemy::VolleyWaitMs(boss.m_BombHits);
}

Bot::Keys Bot::HoldAt(const CKoma& player, plat::Vec3 point)
{
    // Push towards the velocity wanted rather than the point, so the top
    // slows down as it arrives instead of sailing past.
    plat::Vec3 velocity = Horizontal(player.m_Pos - player.m_PrevPos) * FRAMES_PER_SECOND;
    plat::Vec3 wanted = Horizontal(point - player.m_Pos) * HOLD_GAIN;
    float speed = HorizontalLength(wanted);
    if (speed > HOLD_SPEED) wanted = wanted * (HOLD_SPEED / speed);
    plat::Vec3 push = wanted - velocity;
    if (HorizontalLength(push) < HOLD_SLACK) return {};
    return ArrowsTowards(push, CameraOrbit());
}
