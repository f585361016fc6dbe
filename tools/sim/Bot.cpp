#include "tools/sim/Bot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Globals.h"
#include "core/Task.h"
#include "game/CKoma.h"
#include "game/CKomaClash.h"
#include "game/CKomaSet.h"
#include "gfx/CCamera.h"
#include "core/TaskList.h"
#include "enemy/CEnemy.h"
#include "enemy/CObj.h"
#include "platform/KeySource.h"
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
constexpr float SAFE_RADIUS = 24.0f;       // beyond this, head back to the middle first
constexpr float INSIDE_MARGIN = 2.0f;      // keep this much nearer the middle than the enemy
constexpr int CHARGE_GAUGE = 40;           // enough gauge to meet a dash
constexpr int FULL_GAUGE = 60;             // enough gauge for a dash of its own
constexpr float DASH_MIN_DISTANCE = 5.0f;
constexpr float DASH_MAX_DISTANCE = 25.0f;
constexpr float DASH_FRAMES_PER_UNIT = 2.5f;
constexpr int DASH_MIN_FRAMES = 12;
constexpr int DASH_MAX_FRAMES = 68;
constexpr int BOOST_GAUGE = 70;            // spin boosts spend what is above this

// The stages that need play of their own.
constexpr int SWARM_STAGE = 1, HEAVY_STAGE = 3, BOSS_STAGE = 4;
constexpr float MARKED_BONUS = 8.0f;       // a marked swarm enemy counts as this much nearer
constexpr float LINED_UP = 0.85f;          // player, bomb and boss in a line
constexpr float ROUND_DISTANCE = 8.0f;     // how wide to go round a bomb

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

CKomaBase* StageEnemyTop()
{
    char name[TASK_NAME_SIZE];
    std::snprintf(name, sizeof name, "St%dEnemy", g_StageIndex + 1);
    return dynamic_cast<CKomaBase*>(FindTask(name));
}

float CameraOrbit()
{
    auto* camera = dynamic_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    return camera ? camera->m_Orbit : 0.0f;
}

}  // namespace

Bot::Bot(int skill) : m_skill(std::clamp(skill, 0, MAX_SKILL)) {}

void Bot::Play(plat::ScriptedKeySource& keys)
{
    Keys k = Decide();
    keys.SetKey(plat::KEY_Z, k.z);
    keys.SetKey(plat::KEY_UP, k.up);
    keys.SetKey(plat::KEY_DOWN, k.down);
    keys.SetKey(plat::KEY_LEFT, k.left);
    keys.SetKey(plat::KEY_RIGHT, k.right);
}

Bot::Keys Bot::Decide()
{
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
    if (!player || !player->IsCharging()) m_chargeFrames = 0;
    m_last = k;
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
    keys.z = !m_last.z;
    return keys;
}

Bot::Keys Bot::Screens()
{
    ++m_waitFrames;
    if (auto* result = FindScreen<CResult>()) return Result(*result);
    if (auto* title = FindScreen<CTitle>()) {
        // Z skips the opening and then starts; Up brings the cursor back to the start.
        if (title->m_MenuChoice == CTitle::CHOICE_QUIT) return TapArrow(&Keys::up);
        return Tap({});
    }
    if (FindScreen<CStageSelect>()) return Tap({});   // presses during its fade do nothing
    return {};
}

Bot::Keys Bot::Result(const CResult& result)
{
    if (result.Phase() != CResult::PHASE_WAITING) return {};
    if (result.Kind() == CResult::KIND_CLEAR) {
        m_retries = 0;
        return Tap({});
    }
    // A game over: continue a few times, then back to the title.
    bool giveUp = m_retries >= MAX_RETRIES;
    if (result.Choice() != giveUp) return TapArrow(&Keys::right);
    if (m_last.z) return {};
    if (giveUp) m_retries = 0;
    else ++m_retries;
    return Tap({});
}

Bot::Keys Bot::TapArrow(bool Keys::*arrow) const
{
    Keys k;
    k.*arrow = !(m_last.*arrow);
    return k;
}

Bot::Keys Bot::Aim()
{
    auto* set = dynamic_cast<CKomaSet*>(FindTask(KOMA_SET_TASK_NAME));
    ++m_waitFrames;
    if (!set || m_skill == 0) return Tap({});
    // The aiming phase moves before it reads the key: judge the next frame's gauge and aim.
    int power = set->m_Power + CKomaSet::POWER_STEP;
    if (power > CKomaSet::POWER_MAX) power = 0;
    float aim = set->m_AimAngle + static_cast<float>(set->m_AimStep);
    bool go = m_skill < MAX_SKILL ? power >= FAIR_POWER
                                  : power >= STRONG_POWER && (std::fabs(aim) <= STRAIGHT_AIM || m_waitFrames > AIM_PATIENCE);
    if (!go) return {};
    m_waitFrames = 0;
    return Tap({});
}

Bot::Keys Bot::Clash()
{
    // Every press after the camera's swing moves the balance our way.
    if (m_skill < 2) return {};
    return Tap({});
}

Bot::Keys Bot::Battle(CKoma& player)
{
    m_waitFrames = 0;
    if (m_skill == 0) return {};
    Keys k;
    switch (g_StageIndex) {
    case SWARM_STAGE:
        k = Chase(player);
        break;
    case HEAVY_STAGE:
        k = {};   // the heavy top cannot be thrown out of its crater: outlast it
        break;
    case BOSS_STAGE:
        k = PushBombs(player);
        break;
    default: {
        CKomaBase* enemy = StageEnemyTop();
        if (enemy && !enemy->IsDown()) return Duel(player, *enemy);
        k = Roam(player);
        break;
    }
    }
    return m_skill >= MAX_SKILL ? Boost(player, k) : k;
}

Bot::Keys Bot::Boost(const CKoma& player, Keys k) const
{
    // A held Z with no fresh press turns the gauge above 68 into spin.
    if (player.m_Gauge > BOOST_GAUGE) k.z = m_last.z || !(k.up || k.down || k.left || k.right);
    return k;
}

Bot::Keys Bot::Chase(const CKoma& player)
{
    // The nearest swarm enemy that is not already vanishing; marked ones first.
    const CEnemy* best = nullptr;
    float bestScore = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        auto* enemy = dynamic_cast<const CEnemy*>(e->object);
        if (!enemy || enemy->IsDying() || enemy->m_Pos.y < 0) continue;
        float score = HorizontalLength(enemy->m_Pos - player.m_Pos) - (enemy->m_HitCount == 1 ? MARKED_BONUS : 0);
        if (!best || score < bestScore) {
            best = enemy;
            bestScore = score;
        }
    }
    if (!best) return Roam(player);
    if (HorizontalLength(player.m_Pos) > SAFE_RADIUS && HorizontalLength(best->m_Pos) > SAFE_RADIUS)
        return SteerTo(player, {0, 0, 0});
    return SteerTo(player, best->m_Pos);
}

Bot::Keys Bot::PushBombs(const CKoma& player)
{
    // Round the bomb to its far side from the boss, then through it into the boss.
    auto* bomb = dynamic_cast<const CObj*>(FindTask("Bomm"));
    auto* boss = dynamic_cast<const CKomaBase*>(FindTask("St5Enemy"));
    if (!bomb || !boss) return Roam(player);
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
    ++m_chargeFrames;
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
        bool release = (m_skill >= MAX_SKILL && m_planned == 0 && enemyDashing) ||
                       (m_planned > 0 && m_chargeFrames >= m_planned);
        return Charge(player, e, release);
    }

    bool canCharge = m_skill >= 2 && now > player.m_ChargeAllowed && player.m_Gauge >= CHARGE_GAUGE;
    if (canCharge && m_skill >= MAX_SKILL && enemy.IsCharging()) {
        m_planned = 0;   // until the enemy lets go
        return Charge(player, e, false);
    }
    // A dash of our own only when it carries us inwards, past the enemy.
    plat::Vec3 towards = Horizontal(e - p);
    bool inwards = HorizontalLength(p) < DASH_MIN_DISTANCE * 2 ||
                   plat::Dot(plat::Normalize(towards), plat::Normalize(Horizontal(p * -1.0f))) > 0.0f;
    if (canCharge && player.m_Gauge >= FULL_GAUGE && distance > DASH_MIN_DISTANCE && distance < DASH_MAX_DISTANCE &&
        inwards) {
        m_planned = std::clamp(static_cast<int>(distance * DASH_FRAMES_PER_UNIT), DASH_MIN_FRAMES, DASH_MAX_FRAMES);
        return Charge(player, e, false);
    }

    // Otherwise keep nearer the middle than the enemy and ram it outwards.
    plat::Vec3 target = e;
    if (HorizontalLength(p) > SAFE_RADIUS) target = {0, 0, 0};
    else if (HorizontalLength(p) > HorizontalLength(e) - INSIDE_MARGIN) target = e * 0.5f;
    Keys k = SteerTo(player, target);
    return m_skill >= MAX_SKILL ? Boost(player, k) : k;
}

Bot::Keys Bot::Roam(const CKoma& player)
{
    // Nothing to fight: stay near the middle.
    if (HorizontalLength(player.m_Pos) < DASH_MIN_DISTANCE) return {};
    return SteerTo(player, {0, 0, 0});
}
