#include "core/TaskList.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t CLEAR_LOW_EXCLUSIVE = 0;
constexpr int32_t CLEAR_HIGH_EXCLUSIVE = 0x7ffffffe;

// The bounded copy of the named AddTask: a name that does not fit is a fault of
// the caller, so it is reported and the program stops rather than running with
// a truncated name that FindTask would never match.
void CopyName(char (&dest)[TASK_NAME_SIZE], const char* name)
{
    std::memset(dest, 0, TASK_NAME_SIZE);
    if (!name) return;
    size_t len = std::strlen(name);
    if (len >= TASK_NAME_SIZE) {
        std::fprintf(stderr, "task name too long (%zu characters): %.40s...\n", len, name);
        std::abort();
    }
    std::memcpy(dest, name, len);
}

}   // namespace

TaskEntry MakeTaskEntry(int32_t priority, CGameObject* object, const char* name)
{
    TaskEntry e;
    e.priority = priority;
    CopyName(e.name, name);
    e.object = object;
    e.owned = true;
    return e;
}

TaskList::~TaskList() { RemoveAll(); }

TaskList& TaskList::Instance()
{
    static TaskList list;
    return list;
}

void TaskList::Add(const TaskEntry& entry)
{
    if (!entry.object) return;
    entry.object->Init();

    Node* node = new Node;
    node->entry = entry;
    node->entry.updateStop = false;
    node->entry.drawStop = false;

    Node* before = m_Head;
    while (before && before->entry.priority <= entry.priority) before = before->next;
    if (before) {
        node->next = before;
        node->prev = before->prev;
        if (before->prev)
            before->prev->next = node;
        else
            m_Head = node;
        before->prev = node;
    } else {
        node->prev = m_Tail;
        if (m_Tail)
            m_Tail->next = node;
        else
            m_Head = node;
        m_Tail = node;
    }
    ++m_Size;
}

void TaskList::Unlink(Node* node)
{
    if (node->prev)
        node->prev->next = node->next;
    else
        m_Head = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        m_Tail = node->prev;
    --m_Size;
}

void TaskList::DeleteNode(Node* node)
{
    if (node == m_Cursor) {
        m_Cursor = node->next;
        m_Restart = true;
    }
    // The entry is unlinked before its object is destroyed, so a destructor
    // that looks at the list never meets its own half-dead entry.
    Unlink(node);
    CGameObject* object = node->entry.owned ? node->entry.object : nullptr;
    delete node;
    delete object;
}

void TaskList::Remove(CGameObject* object)
{
    if (!object) return;
    for (Node* n = m_Head; n; n = n->next) {
        if (n->entry.object == object) {
            DeleteNode(n);
            return;
        }
    }
}

void TaskList::Clear()
{
    // One victim at a time from the front: a destructor may remove other
    // entries, so no pointer into the list is kept across a deletion.
    for (;;) {
        Node* victim = nullptr;
        for (Node* n = m_Head; n; n = n->next) {
            int32_t p = n->entry.priority;
            if (p > CLEAR_LOW_EXCLUSIVE && p < CLEAR_HIGH_EXCLUSIVE) {
                victim = n;
                break;
            }
            if (p == PRIORITY_TAIL) break;
        }
        if (!victim) return;
        DeleteNode(victim);
    }
}

CGameObject* TaskList::Find(const char* name) const
{
    const char* wanted = name ? name : "";
    for (Node* n = m_Head; n; n = n->next)
        if (std::strcmp(n->entry.name, wanted) == 0) return n->entry.object;
    return nullptr;
}

void TaskList::SetUpdateStop(const char* name, bool flag)
{
    const char* wanted = name ? name : "";
    for (Node* n = m_Head; n; n = n->next)
        if (std::strcmp(n->entry.name, wanted) == 0) n->entry.updateStop = flag;
}

void TaskList::SetDrawStop(const char* name)
{
    const char* wanted = name ? name : "";
    for (Node* n = m_Head; n; n = n->next)
        if (std::strcmp(n->entry.name, wanted) == 0) n->entry.drawStop = true;
}

template <typename Fn>
void TaskList::ForEachInRange(int32_t high, int32_t low, Fn fn)
{
    for (Node* n = m_Head; n; n = n->next) {
        if (n->entry.priority > high) break;
        if (n->entry.priority >= low) fn(n->entry);
    }
}

void TaskList::SetUpdateStopRange(bool flag, int32_t high, int32_t low)
{
    ForEachInRange(high, low, [flag](TaskEntry& e) { e.updateStop = flag; });
}

void TaskList::SetDrawStopRange(bool flag, int32_t high, int32_t low)
{
    ForEachInRange(high, low, [flag](TaskEntry& e) { e.drawStop = flag; });
}

void TaskList::RunPass(Pass pass)
{
    m_Cursor = m_Head;
    m_Restart = false;
    m_InPass = true;
    while (m_Cursor) {
        TaskEntry& e = m_Cursor->entry;
        m_Running = e.object;
        if (pass == Pass::Update) {
            const bool frozen = m_Frozen && e.priority >= m_FrozenLow && e.priority <= m_FrozenHigh;
            if (!e.updateStop && !frozen) e.object->Update();
        } else {
            if (!e.drawStop) e.object->Draw();
        }
        m_Running = nullptr;
        DeleteDeferred();
        if (m_Restart) {
            m_Restart = false;
        } else {
            m_Cursor = m_Cursor->next;
        }
    }
    m_InPass = false;
}

void TaskList::UpdatePass() { RunPass(Pass::Update); }

void TaskList::FreezeUpdates(int32_t low, int32_t high)
{
    m_Frozen = true;
    m_FrozenLow = low;
    m_FrozenHigh = high;
}

void TaskList::ThawUpdates() { m_Frozen = false; }
void TaskList::DrawPass() { RunPass(Pass::Draw); }

void TaskList::DeleteDeferred()
{
    CGameObject* object = m_Deferred;
    m_Deferred = nullptr;
    delete object;
}

// Empties the list. Called from inside a pass (a task ending the game), it
// ends the pass: the cursor is dropped so nothing walks a freed entry, and the
// task whose Update or Draw made the call lives until that call returns.
void TaskList::RemoveAll()
{
    if (m_InPass) {
        m_Cursor = nullptr;
        m_Restart = true;
    }
    while (m_Head) {
        Node* n = m_Head;
        Unlink(n);
        CGameObject* object = n->entry.owned ? n->entry.object : nullptr;
        n->entry.object = nullptr;
        delete n;
        if (object && object == m_Running)
            m_Deferred = object;
        else
            delete object;
    }
}

std::vector<const TaskEntry*> TaskList::Entries() const
{
    std::vector<const TaskEntry*> out;
    out.reserve(m_Size);
    for (Node* n = m_Head; n; n = n->next) out.push_back(&n->entry);
    return out;
}

// The game's entry points onto the one list.
void AddTask(int32_t priority, CGameObject* object, const char* name)
{
    if (!object) return;
    TaskList::Instance().Add(MakeTaskEntry(priority, object, name));
}
void AddTask(CGameObject* object, int32_t priority) { AddTask(priority, object, nullptr); }
void AddTask(const TaskEntry& pending) { TaskList::Instance().Add(pending); }
void RemoveTask(CGameObject* object) { TaskList::Instance().Remove(object); }
void ClearTasks() { TaskList::Instance().Clear(); }
CGameObject* FindTask(const char* name) { return TaskList::Instance().Find(name); }
void SetUpdateStop(const char* name, bool flag) { TaskList::Instance().SetUpdateStop(name, flag); }
void SetDrawStop(const char* name) { TaskList::Instance().SetDrawStop(name); }
void SetUpdateStopRange(bool flag, int32_t high, int32_t low)
{
    TaskList::Instance().SetUpdateStopRange(flag, high, low);
}
void SetDrawStopRange(bool flag, int32_t high, int32_t low) { TaskList::Instance().SetDrawStopRange(flag, high, low); }
void UpdatePass() { TaskList::Instance().UpdatePass(); }
void DrawPass() { TaskList::Instance().DrawPass(); }
void RemoveAllTasks() { TaskList::Instance().RemoveAll(); }
