// The game-state fields of the runner's trace. Names stay stable once they exist.
#include "tools/sim/TraceJson.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "core/VersusMatch.h"
#include "enemy/CCapsule.h"
#include "enemy/CEnemy.h"
#include "enemy/CObj.h"
#include "enemy/St2Enemy.h"
#include "enemy/St5Enemy.h"
#include "game/CKoma.h"
#include "game/CKomaClash.h"
#include "game/CStage.h"
#include "game/CVersusSet.h"
#include "game/TopSide.h"
#include "gfx/CCamera.h"
#include "item/CItem.h"
#include "item/CItemAppend.h"
#include "platform/AudioOutput.h"
#include "platform/RefusedFiles.h"
#include "platform/audio/Mixer.h"
#include "scene/CHowToPlay.h"
#include "scene/CPauseMenu.h"
#include "scene/CResult.h"
#include "scene/CStageSelect.h"
#include "scene/CTitle.h"
#include "scene/CVersusResult.h"
#include "scene/CVersusSelect.h"
#include "stage/CLoading.h"

namespace {

plat::Mixer* CurrentMixer()
{
    plat::AudioOutput* output = plat::GetAudioOutput();
    return output ? &output->GetMixer() : nullptr;
}

void AppendSounds(TraceJson& j)
{
    j.Key("sounds");
    j.BeginArray();
    if (plat::Mixer* mixer = CurrentMixer())
        for (const std::string& name : mixer->TakeStartedSounds()) j.Value(name);
    j.EndArray();
}

void AppendMusic(TraceJson& j)
{
    j.Key("music");
    j.BeginArray();
    if (plat::Mixer* mixer = CurrentMixer()) {
        for (const plat::MusicInfo& track : mixer->MusicSnapshot()) {
            j.BeginObject();
            j.Field("file", track.name);
            j.Field("volume", static_cast<int>(track.volume));
            j.Field("playing", track.playing);
            j.EndObject();
        }
    }
    j.EndArray();
}

void AppendCamera(TraceJson& j)
{
    j.Key("camera");
    auto* camera = static_cast<CCamera*>(FindTask(CAMERA_TASK_NAME));
    if (!camera) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Vec3("eye", camera->m_Eye.x, camera->m_Eye.y, camera->m_Eye.z);
    j.Vec3("target", camera->m_Target.x, camera->m_Target.y, camera->m_Target.z);
    j.Field("fov", camera->m_Fov);
    j.Field("orbit", camera->m_Orbit);
    j.EndObject();
}

// The state every top shares, the player's and the enemies'.
void AppendTop(TraceJson& j, const char* key, const CKomaBase* top)
{
    j.Key(key);
    if (!top) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Vec3("pos", top->m_Pos.x, top->m_Pos.y, top->m_Pos.z);
    j.Field("spin", top->Spin());
    j.Field("gauge", top->m_Gauge);
    j.Field("ceiling", top->m_GaugeCeiling);
    j.Field("down", top->IsDown());
    j.Field("charging", top->IsCharging());
    j.Field("dashEnd", top->m_DashEnd);
    // The boss also shows its bomb hits and the frames of hit flash left.
    if (auto* boss = dynamic_cast<const St5Enemy*>(top)) {
        j.Field("bombHits", boss->m_BombHits);
        j.Field("flash", boss->m_FlashFrames);
    }
    j.EndObject();
}

// The stage's loose objects in play: the boss's projectiles and bombs and the
// stage-3 bumpers; null outside a stage.
void AppendObjects(TraceJson& j)
{
    j.Key("objects");
    if (!FindTask(STAGE_TASK_NAME)) {
        j.Null();
        return;
    }
    int projectiles = 0, bombs = 0, capsules = 0;
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        if (auto* obj = dynamic_cast<const CObj*>(e->object))
            (obj->IsBomb() ? bombs : projectiles) += 1;
        else if (dynamic_cast<const CCapsule*>(e->object))
            capsules += 1;
    }
    j.BeginObject();
    j.Field("projectiles", projectiles);
    j.Field("bombs", bombs);
    j.Field("capsules", capsules);
    j.EndObject();
}

// The stage's enemy top, named after its stage ("St1Enemy" ...); stage 2 has none.
const CKomaBase* StageEnemyTop()
{
    char name[TASK_NAME_SIZE];
    std::snprintf(name, sizeof name, "St%dEnemy", g_StageIndex + 1);
    return dynamic_cast<const CKomaBase*>(FindTask(name));
}

// Versus play only: the match, the two tops by task name (player 1's, then
// player 2's, whose top takes the stage's enemy name and fills "enemy"),
// and each launcher while they aim.
void AppendVersus(TraceJson& j)
{
    const VersusMatch& match = VersusMatch::Current();
    if (!match.Active()) return;
    j.Key("versus");
    j.BeginObject();
    j.Field("stage", match.StageIndex());
    j.Field("round", match.Round());
    j.Key("score");
    j.BeginArray();
    for (int side : {VersusMatch::PLAYER_1, VersusMatch::PLAYER_2}) j.Value(static_cast<int64_t>(match.Score(side)));
    j.EndArray();
    j.Field("winner", match.Winner());
    j.Key("tops");
    j.BeginArray();
    j.Value(std::string(KOMA_TASK_NAME));
    j.Value(std::string(TopSide::PlayerTwoTaskName(g_StageIndex)));
    j.EndArray();
    j.Key("launchers");
    auto* set = dynamic_cast<const CVersusSet*>(FindTask(VERSUS_SET_TASK_NAME));
    if (!set) {
        j.Null();
    } else {
        j.BeginArray();
        for (int side = 0; side < CVersusSet::SIDES; ++side) {
            const CVersusSet::Launcher& launcher = set->Side(side);
            j.BeginObject();
            j.Field("aim", launcher.aimAngle);
            j.Field("power", launcher.power);
            j.Field("launched", launcher.launched);
            j.EndObject();
        }
        j.EndArray();
    }
    j.EndObject();
}

void AppendClash(TraceJson& j)
{
    j.Key("clash");
    auto* clash = dynamic_cast<CKomaClash*>(FindTask(KOMA_CLASH_TASK_NAME));
    if (!clash) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Field("balance", clash->m_Balance);
    j.Field("frame", clash->m_FrameCount);
    j.Field("swingLeft", clash->m_SwingLeft);
    j.EndObject();
}

// Which screen is showing: the screens have no task names, so they are told
// apart by their classes. The result lies over the running stage, and a
// loading screen may stand in the list with what is about to be cleared.
}   // namespace

const char* CurrentScreen()
{
    bool title = false, select = false, loading = false, result = false, battle = false, card = false;
    bool paused = false, versusSelect = false, versusResult = false;
    for (const TaskEntry* e : TaskList::Instance().Entries()) {
        CGameObject* task = e->object;
        title = title || dynamic_cast<CTitle*>(task);
        select = select || dynamic_cast<CStageSelect*>(task);
        versusSelect = versusSelect || dynamic_cast<CVersusSelect*>(task);
        loading = loading || dynamic_cast<CLoading*>(task);
        card = card || dynamic_cast<CHowToPlay*>(task);
        paused = paused || dynamic_cast<CPauseMenu*>(task);
        result = result || dynamic_cast<CResult*>(task);
        versusResult = versusResult || dynamic_cast<CVersusResult*>(task);
        battle = battle || std::string(e->name) == STAGE_TASK_NAME;
    }
    if (loading) return "loading";
    if (result) return "result";
    if (versusResult) return "versus result";
    if (select) return "select";
    if (versusSelect) return "versus select";
    if (title) return "title";
    if (card) return "howtoplay";
    if (paused) return "paused";
    if (battle) return "battle";
    return nullptr;
}

namespace {

void AppendScreen(TraceJson& j)
{
    j.Key("screen");
    if (const char* screen = CurrentScreen())
        j.Value(std::string(screen));
    else
        j.Null();
    j.Field("stage", g_StageIndex);
}

void AppendResult(TraceJson& j)
{
    j.Key("result");
    auto* result = dynamic_cast<CResult*>(FindTask(RESULT_TASK_NAME));
    if (!result) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Field("kind", result->Kind());
    j.Field("phase", result->Phase());
    j.Field("choice", result->Choice());
    j.EndObject();
}

// Stage 2's swarm: the defeats so far and every swarm enemy in play (the
// dying ones too, with their two hits) with where each is, or null on other
// stages.
void AppendSwarm(TraceJson& j)
{
    j.Key("swarm");
    auto* manager = dynamic_cast<St2Enemy*>(FindTask(ST2_ENEMY_TASK_NAME));
    if (!manager) {
        j.Null();
        return;
    }
    std::vector<int> hits;
    std::vector<plat::Vec3> at;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* enemy = dynamic_cast<CEnemy*>(e->object)) {
            hits.push_back(enemy->m_HitCount);
            at.push_back(enemy->m_Pos);
        }
    j.BeginObject();
    j.Field("defeated", manager->m_DefeatedCount);
    j.Field("alive", static_cast<int>(hits.size()));
    j.Key("hits");
    j.BeginArray();
    for (int h : hits) j.Value(static_cast<int64_t>(h));
    j.EndArray();
    j.Key("at");
    j.BeginArray();
    for (const plat::Vec3& p : at) {
        j.BeginArray();
        for (float v : {p.x, p.y, p.z}) j.Value(static_cast<double>(v));
        j.EndArray();
    }
    j.EndArray();
    j.EndObject();
}

// Every item in play, in list order.
void AppendItems(TraceJson& j)
{
    j.Key("items");
    j.BeginArray();
    for (const TaskEntry* entry : TaskList::Instance().Entries()) {
        auto* item = dynamic_cast<const CItem*>(entry->object);
        if (!item) continue;
        j.BeginObject();
        j.Field("kind", static_cast<int>(item->m_ItemKind));
        j.Vec3("pos", item->m_Position.x, item->m_Position.y, item->m_Position.z);
        j.Field("touches", static_cast<int>(item->m_TouchCount));
        j.Field("landed", item->m_Landed);
        j.EndObject();
    }
    j.EndArray();
}

void AppendBox(TraceJson& j)
{
    j.Key("box");
    auto* box = dynamic_cast<const CItemAppend*>(FindTask(ITEM_APPEND_TASK_NAME));
    if (!box) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Field("state", static_cast<int>(box->m_BoxState));
    j.Field("counter", static_cast<int>(box->m_BoxCounter));
    j.EndObject();
}

// Every data file the game has refused since the run began, with the reason.
void AppendRefused(TraceJson& j)
{
    j.Key("refused");
    j.BeginArray();
    for (const plat::RefusedFile& refused : plat::RefusedFiles::List()) {
        j.BeginObject();
        j.Field("file", refused.file);
        j.Field("why", refused.why);
        j.EndObject();
    }
    j.EndArray();
}

}   // namespace

void AppendTraceFields(TraceJson& j)
{
    AppendScreen(j);
    AppendSounds(j);
    AppendMusic(j);
    AppendCamera(j);
    AppendTop(j, "player", dynamic_cast<const CKoma*>(FindTask(KOMA_TASK_NAME)));
    AppendTop(j, "enemy", StageEnemyTop());
    AppendVersus(j);
    AppendClash(j);
    AppendResult(j);
    AppendObjects(j);
    AppendSwarm(j);
    AppendItems(j);
    AppendBox(j);
    AppendRefused(j);
}
