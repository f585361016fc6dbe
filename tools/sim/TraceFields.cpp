// The game-state fields of the runner's trace. Names stay stable once they exist.
#include "tools/sim/TraceJson.h"

#include <string>
#include <vector>

#include "core/Task.h"
#include "core/TaskList.h"
#include "enemy/CEnemy.h"
#include "enemy/St2Enemy.h"
#include "platform/AudioOutput.h"
#include "platform/Mixer.h"
#include "game/CKoma.h"
#include "gfx/CCamera.h"

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

void AppendPlayer(TraceJson& j)
{
    j.Key("player");
    auto* top = dynamic_cast<CKoma*>(FindTask(KOMA_TASK_NAME));
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

// Stage 2's swarm: the defeats so far and every swarm enemy in play (the
// dying ones too, with their two hits), or null on other stages.
void AppendSwarm(TraceJson& j)
{
    j.Key("swarm");
    auto* manager = dynamic_cast<St2Enemy*>(FindTask(ST2_ENEMY_TASK_NAME));
    if (!manager) {
        j.Null();
        return;
    }
    std::vector<int> hits;
    for (const TaskEntry* e : TaskList::Instance().Entries())
        if (auto* enemy = dynamic_cast<CEnemy*>(e->object)) hits.push_back(enemy->m_HitCount);
    j.BeginObject();
    j.Field("defeated", manager->m_DefeatedCount);
    j.Field("alive", static_cast<int>(hits.size()));
    j.Key("hits");
    j.BeginArray();
    for (int h : hits) j.Value(static_cast<int64_t>(h));
    j.EndArray();
    j.EndObject();
}

}  // namespace

void AppendTraceFields(TraceJson& j)
{
    AppendSounds(j);
    AppendMusic(j);
    AppendCamera(j);
    AppendPlayer(j);
    AppendSwarm(j);
}
