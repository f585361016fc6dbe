#include "stage/StageLoader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <thread>
#include <vector>

#include "audio/CSound.h"
#include "core/ResourceRegistry.h"
#include "core/TaskList.h"
#include "core/VersusMatch.h"
#include "enemy/St1EnemySet.h"
#include "enemy/St2EnemyInit.h"
#include "enemy/St3EnemySet.h"
#include "enemy/St4EnemySet.h"
#include "enemy/St5EnemySet.h"
#include "game/CKomaSet.h"
#include "game/CStage.h"
#include "game/CVersusSet.h"
#include "game/TopSide.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "hud/CSpriteRenderInit.h"
#include "item/CItemAppendInit.h"
#include "physics/CODE.h"
#include "platform/DataRoot.h"
#include "platform/MemoryPolicy.h"
#include "stage/LoadCostBook.h"

namespace {

using Kind = StageResourceKind;
constexpr uint32_t NO_COLOR_KEY = 0;
constexpr uint32_t OPAQUE_BLACK_KEY = 0xff000000;

constexpr StageResource RESOURCE_TABLE[] = {
    {"XTop", MESH_FOLDER, "Top.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XTopAlpha", MESH_FOLDER, "TopAlpha.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XEffectAura", MESH_FOLDER, "EffectAura.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XEffectAirWall", MESH_FOLDER, "EffectAirWall.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XItem", MESH_FOLDER, "Item.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XItem1", MESH_FOLDER, "Item1.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XItem2", MESH_FOLDER, "Item2.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XItem3", MESH_FOLDER, "Item3.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XItemBox", MESH_FOLDER, "ItemBox.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XItemBoxPropeller", MESH_FOLDER, "ItemBoxPropeller.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XEffectJump", MESH_FOLDER, "effectJump.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XSpace", MESH_FOLDER, "space.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XStage1", MESH_FOLDER, "stage_1.x", Kind::Mesh, NO_COLOR_KEY, 0},
    {"XSt1Enemy", MESH_FOLDER, "St1Enemy.x", Kind::Mesh, NO_COLOR_KEY, 0},
    {"XStage2", MESH_FOLDER, "stage_2.x", Kind::Mesh, NO_COLOR_KEY, 1},
    {"XSt2Enemy", MESH_FOLDER, "St2Enemy.x", Kind::Mesh, NO_COLOR_KEY, 1},
    {"XStage3", MESH_FOLDER, "stage_3.x", Kind::Mesh, NO_COLOR_KEY, 2},
    {"XSt3Enemy", MESH_FOLDER, "St3Enemy.x", Kind::Mesh, NO_COLOR_KEY, 2},
    {"XCapsule", MESH_FOLDER, "capsule.x", Kind::Mesh, NO_COLOR_KEY, 2},
    {"XStage4", MESH_FOLDER, "stage_4.x", Kind::Mesh, NO_COLOR_KEY, 3},
    {"XSt4Enemy", MESH_FOLDER, "St4Enemy.x", Kind::Mesh, NO_COLOR_KEY, 3},
    {"XStage5", MESH_FOLDER, "stage_5.x", Kind::Mesh, NO_COLOR_KEY, 4},
    {"XSt5Enemy", MESH_FOLDER, "St5Enemy.x", Kind::Mesh, NO_COLOR_KEY, 4},
    {"XSt5Obj", MESH_FOLDER, "St5Obj.x", Kind::Mesh, NO_COLOR_KEY, 4},
    {"XSt5Bomm", MESH_FOLDER, "St5Bomm.x", Kind::Mesh, NO_COLOR_KEY, 4},
    {"XRale", MESH_FOLDER, "Rale.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"XRaleRoll", MESH_FOLDER, "RaleRoll.x", Kind::Mesh, NO_COLOR_KEY, ALL_STAGES},
    {"spark1BMP", TEXTURE_FOLDER, "Spark1.bmp", Kind::Texture, OPAQUE_BLACK_KEY, ALL_STAGES},
    {"spark2BMP", TEXTURE_FOLDER, "Spark2.bmp", Kind::Texture, OPAQUE_BLACK_KEY, ALL_STAGES},
    {"Tarbo1BMP", TEXTURE_FOLDER, "Tarbo1.bmp", Kind::Texture, OPAQUE_BLACK_KEY, ALL_STAGES},
    {"Item1BMP", TEXTURE_FOLDER, "Item1.bmp", Kind::Texture, NO_COLOR_KEY, ALL_STAGES},
    {"Item2BMP", TEXTURE_FOLDER, "Item2.bmp", Kind::Texture, NO_COLOR_KEY, ALL_STAGES},
    {"InterfaceBMP", TEXTURE_FOLDER, "Interface.png", Kind::Texture, NO_COLOR_KEY, ALL_STAGES},
    {"KiaiGageUPSE", STAGE_SOUND_FOLDER, "KiaiGageUP.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"KomaHitSE", STAGE_SOUND_FOLDER, "KomaHit.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"KomaAxisSE", STAGE_SOUND_FOLDER, "KomaAxis.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"KomaSpinSE", STAGE_SOUND_FOLDER, "KomaSpin.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"KomaAtackSE", STAGE_SOUND_FOLDER, "KomaAtack.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"ItemBoxSE", STAGE_SOUND_FOLDER, "ItemBox.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"ItemShootSE", STAGE_SOUND_FOLDER, "ItemShoot.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"ItemEffectSE", STAGE_SOUND_FOLDER, "ItemEffect.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"ItemHitSE", STAGE_SOUND_FOLDER, "ItemHit.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"ItemJumpSE", STAGE_SOUND_FOLDER, "ItemJump.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    {"TubazeriSE", STAGE_SOUND_FOLDER, "Tubazeri.wav", Kind::Sound, NO_COLOR_KEY, ALL_STAGES},
    // Not a part of the stages' own set: the picture that the interface's key
    // reminder and the players' tags are cut from, loaded here so that it is
    // decoded on the loader's threads and not as the battle begins.
    {TopSide::TAG_PICTURE_KEY, TEXTURE_FOLDER, "Hint.png", Kind::Texture, NO_COLOR_KEY, ALL_STAGES},
};

std::vector<TaskEntry> g_pendingTasks;
std::atomic<bool> g_loadingDone{false};

// The resource objects of the last load handed over (main thread only).
std::vector<CGameObject*> g_keptResources;
bool g_loadInProgress = false;   // main thread only
bool g_handOverHeld = false;     // main thread only
constexpr auto LOADER_POLL = std::chrono::microseconds(200);

CGameObject* CreateResource(const StageResource& resource)
{
    const std::string path = ResourcePath(resource);
    switch (resource.kind) {
        case Kind::Mesh:
            // Textures named inside a mesh live beside it.
            return new CXFile(path, resource.folder);
        case Kind::Texture: {
            auto* texture = new CTexture;
            texture->Load(path, resource.colorKey);
            return texture;
        }
        case Kind::Sound: return new CSound(path);
    }
    return nullptr;
}

// Meshes and sounds are queued under their key, textures unnamed.
const char* PendingName(const StageResource& resource)
{
    return resource.kind == Kind::Texture ? nullptr : resource.key;
}

// The resources' places in the list in the order the two threads should take
// them: the slowest last time first, so that they finish close together.
std::vector<size_t> LoadOrder(const std::vector<const StageResource*>& resources)
{
    std::vector<LoadCostBook::File> files;
    for (const StageResource* resource : resources) {
        std::error_code error;
        const std::string path = ResourcePath(*resource);
        const std::uintmax_t size = std::filesystem::file_size(plat::DataPath(path), error);
        files.push_back({path, error ? 0 : size, resource->kind == Kind::Mesh});
    }
    return LoadCostBook::Shared().Order(files);
}

// Reads and decodes the stage's files on two threads, the loader's and a
// helper, each taking the next file not yet taken; the objects are registered
// and queued afterwards, in the table's order, on the loader thread alone.
void LoadResources(int stageIndex)
{
    std::vector<const StageResource*> wanted;
    for (const StageResource& resource : RESOURCE_TABLE)
        if (IsLoadedForStage(resource, stageIndex)) wanted.push_back(&resource);
    std::vector<CGameObject*> objects(wanted.size(), nullptr);
    std::vector<LoadCostBook::Duration> costs(wanted.size());
    const std::vector<size_t> order = LoadOrder(wanted);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t n = next++; n < order.size(); n = next++) {
            const auto start = std::chrono::steady_clock::now();
            objects[order[n]] = CreateResource(*wanted[order[n]]);
            costs[order[n]] = std::chrono::steady_clock::now() - start;
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    for (size_t i = 0; i < wanted.size(); ++i) {
        LoadCostBook::Shared().Record(ResourcePath(*wanted[i]), costs[i]);
        RegisterResource(wanted[i]->key, objects[i]);
        g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_RESOURCE, objects[i], PendingName(*wanted[i])));
    }
}

// The stage's tasks, in the order their Init must run: CODE first, so the
// world exists when CStage builds the arena into it and before any top or
// enemy creates its bodies.
// The stage's enemy set-up task, named after its class.
void AppendEnemySetUp(int stageIndex)
{
    switch (stageIndex) {
        case 0: g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_ENEMY, new St1EnemySet, "St1EnemySet")); break;
        case 1:
            g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_ENEMY, new St2EnemyInit, ST2_ENEMY_INIT_TASK_NAME));
            break;
        case 2: g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_ENEMY, new St3EnemySet, "St3EnemySet")); break;
        case 3: g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_ENEMY, new St4EnemySet, "St4EnemySet")); break;
        case 4: g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_ENEMY, new St5EnemySet, "St5EnemySet")); break;
        default: break;
    }
}

void AppendStageTasks(int stageIndex)
{
    g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_CODE, new CODE, CODE_TASK_NAME));
    g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_CAMERA, new CCamera, CAMERA_TASK_NAME));
    g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_STAGE, new CStage, STAGE_TASK_NAME));
    if (VersusMatch::Current().Active()) {
        // Two players aim at once; the second player's top stands in for the stage's enemy.
        g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_KOMA_SET, new CVersusSet, VERSUS_SET_TASK_NAME));
    } else {
        g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_KOMA_SET, new CKomaSet, KOMA_SET_TASK_NAME));
        AppendEnemySetUp(stageIndex);
    }
    g_pendingTasks.push_back(
        MakeTaskEntry(PRIORITY_SPRITE_RENDER_INIT, new CSpriteRenderInit, SPRITE_RENDER_INIT_TASK_NAME));
    g_pendingTasks.push_back(MakeTaskEntry(PRIORITY_ITEM_APPEND_INIT, new CItemAppendInit, ITEM_APPEND_INIT_TASK_NAME));
}

}   // namespace

std::span<const StageResource> StageResourceTable() { return RESOURCE_TABLE; }

bool IsLoadedForStage(const StageResource& resource, int stageIndex)
{
    return resource.stageIndex == ALL_STAGES || resource.stageIndex == stageIndex;
}

std::string ResourcePath(const StageResource& resource) { return std::string(resource.folder) + resource.file; }

std::vector<TaskEntry>& PendingTasks() { return g_pendingTasks; }

bool IsLoadingDone() { return g_loadingDone.load(std::memory_order_acquire); }
void SetLoadingDone() { g_loadingDone.store(true, std::memory_order_release); }
void ClearLoadingDone() { g_loadingDone.store(false, std::memory_order_release); }

void LoadStage(int stageIndex)
{
    ClearResources();
    LoadResources(stageIndex);
    AppendStageTasks(stageIndex);
    SetLoadingDone();
}

void MarkStageLoadStarted() { g_loadInProgress = true; }
void MarkStageLoadEnded() { g_loadInProgress = false; }
bool IsStageLoadInProgress() { return g_loadInProgress; }

void WaitForStageLoader()
{
    if (!g_loadInProgress) return;
    while (!IsLoadingDone()) std::this_thread::sleep_for(LOADER_POLL);
}

void HoldStageHandOver(bool held) { g_handOverHeld = held; }
bool IsStageHandOverHeld() { return g_handOverHeld; }

void KeepHandedOverResources(const std::vector<TaskEntry>& handedOver)
{
    g_keptResources.clear();
    for (const TaskEntry& entry : handedOver)
        if (entry.priority == PRIORITY_RESOURCE && entry.object) g_keptResources.push_back(entry.object);
}

void PrepareHandedOverResources(const std::vector<TaskEntry>& handedOver)
{
    for (const TaskEntry& entry : handedOver) {
        if (entry.priority != PRIORITY_RESOURCE) continue;
        if (const auto* mesh = dynamic_cast<const CXFile*>(entry.object)) mesh->PrepareForDrawing();
        if (const auto* texture = dynamic_cast<const CTexture*>(entry.object)) texture->PrepareForDrawing();
    }
    plat::ReturnFreedMemoryToSystem();
}

void ReleaseEarlierStageResources()
{
    // The registry names them until the next loader clears it; forget the
    // names first so that no key outlives its object.
    ClearResources();
    // Only objects still in the list at priority -1 are removed, so an object
    // that went another way (shutdown's RemoveAllTasks) is never deleted twice.
    std::vector<CGameObject*> present;
    for (const TaskEntry* entry : TaskList::Instance().Entries()) {
        if (entry->priority != PRIORITY_RESOURCE) continue;
        if (std::find(g_keptResources.begin(), g_keptResources.end(), entry->object) != g_keptResources.end())
            present.push_back(entry->object);
    }
    g_keptResources.clear();
    for (CGameObject* object : present) RemoveTask(object);
}

size_t KeptStageResourceCount() { return g_keptResources.size(); }
