// The game-state fields of the runner's trace. Names stay stable once they exist.
#include "tools/sim/TraceJson.h"

#include <cstdio>
#include <string>

#include "core/Globals.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "platform/AudioOutput.h"
#include "platform/Mixer.h"
#include "game/CKoma.h"
#include "game/CKomaClash.h"
#include "gfx/CCamera.h"
#include "item/CItem.h"
#include "item/CItemAppend.h"

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
    j.EndObject();
}

// The stage's enemy top, named after its stage ("St1Enemy" ...); stage 2 has none.
const CKomaBase* StageEnemyTop()
{
    char name[TASK_NAME_SIZE];
    std::snprintf(name, sizeof name, "St%dEnemy", g_StageIndex + 1);
    return dynamic_cast<const CKomaBase*>(FindTask(name));
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

}  // namespace

void AppendTraceFields(TraceJson& j)
{
    AppendSounds(j);
    AppendMusic(j);
    AppendCamera(j);
    AppendTop(j, "player", dynamic_cast<const CKoma*>(FindTask(KOMA_TASK_NAME)));
    AppendTop(j, "enemy", StageEnemyTop());
    AppendClash(j);
    AppendItems(j);
    AppendBox(j);
}
