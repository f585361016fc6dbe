// The stage loader: the routine that runs on a worker thread for the length of
// one load. It empties the resource registry, loads every mesh, texture and
// sound of the stage, registers them, and prepares the stage's tasks as
// pending entries. The pending list and the loading-done flag are the
// hand-over point: the loader alone writes the list while the flag is clear
// and sets the flag (release) as its very last action; the loading screen
// reads the list on the main thread only after it has seen the flag set
// (acquire). The loader never touches the task list and never changes the
// process's current directory: every path it opens is built from the data
// folders below, relative to the directory the game runs in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/Task.h"

enum class StageResourceKind : uint8_t { Mesh, Texture, Sound };

// One row of the stage's resource table, in load order.
struct StageResource {
    const char* key;      // the registry key
    const char* folder;   // the data folder the file lies in
    const char* file;
    StageResourceKind kind;
    uint32_t colorKey;   // textures: ARGB made transparent, 0 for none
    int stageIndex;      // the only stage that loads it, or ALL_STAGES
};

constexpr int ALL_STAGES = -1;
constexpr int STAGE_COUNT = 5;

constexpr const char* MESH_FOLDER = "X/";
constexpr const char* TEXTURE_FOLDER = "texture/";
constexpr const char* STAGE_SOUND_FOLDER = "sound/game/";

// The whole table, in load order.
std::span<const StageResource> StageResourceTable();
bool IsLoadedForStage(const StageResource& resource, int stageIndex);
std::string ResourcePath(const StageResource& resource);

// ---- the hand-over point ----
// The pending entries of the load in progress (or of the last load, until the
// loading screen hands them over).
std::vector<TaskEntry>& PendingTasks();
bool IsLoadingDone();    // acquire: the pending list may be read once this is true
void SetLoadingDone();   // release: the loader's last action
void ClearLoadingDone();

// The loader routine (worker thread): stage index 0 to 4.
void LoadStage(int stageIndex);

// ---- the load in progress (main thread only) ----
// A load is in progress from the start of its loader until its loading screen
// hands over or is deleted.
void MarkStageLoadStarted();
void MarkStageLoadEnded();
bool IsStageLoadInProgress();
// Blocks until the loader of the load in progress, if any, has finished. A
// run on the virtual clock calls it before each frame, so that the hand-over
// falls in the same frame whatever the speed of the machine.
void WaitForStageLoader();
// While held, the loading screen keeps showing even when the loader is done.
// A headless run holds the hand-over for a fixed number of frames, so that
// every load shows its loading screen for the same frames on any machine.
void HoldStageHandOver(bool held);
bool IsStageHandOverHeld();

// ---- resources of earlier loads (main thread only) ----
// Each load registers a fresh set of resource objects that the task list keeps
// at priority -1. The loading screen records the set it hands over; the next
// load releases that set before it starts, once nothing can reach it any more
// (the task list has been cleared and the registry is emptied first), so a
// reload leaves memory where the previous load of the stage left it.
void KeepHandedOverResources(const std::vector<TaskEntry>& handedOver);
// Has the device make the objects of the meshes and textures handed over now,
// so that the battle uploads nothing at its first draws, then hands the
// memory their decoded copies held back to the system.
void PrepareHandedOverResources(const std::vector<TaskEntry>& handedOver);
void ReleaseEarlierStageResources();
size_t KeptStageResourceCount();
