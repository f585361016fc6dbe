// The task framework's chief header: every live game object is a CGameObject
// held in one process-wide list ordered by priority. The frame loop runs an
// update pass and a draw pass over it once per frame.
#pragma once

#include <cstdint>

// The base of every task. Init runs once inside AddTask, before the entry is in
// the list; Update and Draw run once per frame unless the entry is stopped.
class CGameObject {
public:
    virtual ~CGameObject() = default;
    virtual void Init() {}
    virtual void Draw() {}
    virtual void Update() {}
};

// Priorities with a fixed meaning.
constexpr int32_t PRIORITY_RESOURCE = -1;       // loaded textures, meshes, sounds
constexpr int32_t PRIORITY_HEAD = 0;            // CTaskHead: clear and BeginScene
constexpr int32_t PRIORITY_FADE = 0x7ffffffd;   // the highest priority ClearTasks removes
constexpr int32_t PRIORITY_TAIL = 0x7fffffff;   // CTaskTail: EndScene, Present, frame time

constexpr int TASK_NAME_SIZE = 32;   // including the terminator

// A complete entry prepared in advance (by the stage loader's thread) and added
// later with the record form of AddTask.
struct TaskEntry {
    int32_t priority = 0;
    char name[TASK_NAME_SIZE] = {};
    CGameObject* object = nullptr;
    bool owned = true;
    bool updateStop = false;
    bool drawStop = false;
};

// Builds a pending entry with the name copied by the same rules as AddTask.
TaskEntry MakeTaskEntry(int32_t priority, CGameObject* object, const char* name);

void AddTask(int32_t priority, CGameObject* object, const char* name);
void AddTask(CGameObject* object, int32_t priority);
void AddTask(const TaskEntry& pending);
void RemoveTask(CGameObject* object);
void ClearTasks();
CGameObject* FindTask(const char* name);
void SetUpdateStop(const char* name, bool flag);
void SetDrawStop(const char* name);
void SetUpdateStopRange(bool flag, int32_t high, int32_t low);
void SetDrawStopRange(bool flag, int32_t high, int32_t low);
void UpdatePass();
void DrawPass();
void RemoveAllTasks();
