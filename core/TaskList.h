// TaskList is responsible for the ordered list of task entries and for keeping
// it consistent while a pass walks it: tasks add, remove and clear entries from
// inside their own Init, Update and Draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Task.h"

class TaskList {
public:
    TaskList() = default;
    ~TaskList();
    TaskList(const TaskList&) = delete;
    TaskList& operator=(const TaskList&) = delete;

    // The process-wide list that the free functions of core/Task.h work on.
    static TaskList& Instance();

    void Add(const TaskEntry& entry);
    void Remove(CGameObject* object);
    void Clear();
    CGameObject* Find(const char* name) const;
    void SetUpdateStop(const char* name, bool flag);
    void SetDrawStop(const char* name);
    void SetUpdateStopRange(bool flag, int32_t high, int32_t low);
    void SetDrawStopRange(bool flag, int32_t high, int32_t low);
    void UpdatePass();
    void DrawPass();
    void RemoveAll();
    // While frozen, the update pass skips every entry with a priority in
    // low..high (a paused game); draws go on.
    void FreezeUpdates(int32_t low, int32_t high);
    void ThawUpdates();
    bool Frozen() const { return m_Frozen; }

    // For tests and the runner's trace: the entries in list order.
    std::vector<const TaskEntry*> Entries() const;
    size_t Size() const { return m_Size; }

private:
    struct Node {
        TaskEntry entry;
        Node* prev = nullptr;
        Node* next = nullptr;
    };

    enum class Pass { Update, Draw };
    void RunPass(Pass pass);
    void Unlink(Node* node);
    void DeleteNode(Node* node);
    void DeleteDeferred();
    template <typename Fn>
    void ForEachInRange(int32_t high, int32_t low, Fn fn);

    Node* m_Head = nullptr;
    Node* m_Tail = nullptr;
    size_t m_Size = 0;
    Node* m_Cursor = nullptr;   // the entry the running pass is visiting
    bool m_Restart = false;     // the cursor's entry was removed and the cursor moved on
    bool m_InPass = false;
    bool m_Frozen = false;
    int32_t m_FrozenLow = 0;
    int32_t m_FrozenHigh = 0;
    CGameObject* m_Running = nullptr;    // the object whose Update or Draw is on the stack
    CGameObject* m_Deferred = nullptr;   // m_Running, emptied out by RemoveAll: deleted once its call returns
};
