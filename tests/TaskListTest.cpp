// The task list's ordering and its consistency while passes run.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/Task.h"
#include "core/TaskList.h"

namespace {

std::vector<std::string> g_log;

// A task whose behaviour each test scripts with lambdas.
class Probe : public CGameObject {
public:
    explicit Probe(std::string name) : m_Name(std::move(name)) {}
    ~Probe() override { g_log.push_back("~" + m_Name); }
    void Init() override
    {
        g_log.push_back("init " + m_Name);
        if (onInit) onInit(this);
    }
    void Update() override
    {
        g_log.push_back("update " + m_Name);
        if (onUpdate) onUpdate(this);
    }
    void Draw() override
    {
        g_log.push_back("draw " + m_Name);
        if (onDraw) onDraw(this);
    }
    std::function<void(Probe*)> onInit, onUpdate, onDraw;

private:
    std::string m_Name;
};

class TaskListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveAllTasks();
        g_log.clear();
    }
    void TearDown() override
    {
        RemoveAllTasks();
        g_log.clear();
    }

    Probe* Add(int priority, const char* name, const char* label = nullptr)
    {
        Probe* p = new Probe(label ? label : (name ? name : "?"));
        AddTask(priority, p, name);
        return p;
    }
    static std::vector<std::string> Updates()
    {
        std::vector<std::string> out;
        for (auto& s : g_log)
            if (s.rfind("update ", 0) == 0) out.push_back(s.substr(7));
        return out;
    }
    static std::vector<int> Priorities()
    {
        std::vector<int> out;
        for (auto* e : TaskList::Instance().Entries()) out.push_back(e->priority);
        return out;
    }
};

TEST_F(TaskListTest, EqualPrioritiesRunInInsertionOrderInBothPasses)
{
    Add(5, "a");
    Add(1, "b");
    Add(5, "c");
    Add(3, "d");
    g_log.clear();
    UpdatePass();
    DrawPass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update b", "update d", "update a", "update c", "draw b", "draw d",
                                               "draw a", "draw c"}));
}

TEST_F(TaskListTest, InitRunsBeforeInsertionSoTasksItAddsComeFirst)
{
    Probe* outer = new Probe("outer");
    outer->onInit = [](Probe* self) {
        EXPECT_EQ(FindTask("outer"), nullptr);   // not yet in the list during its own Init
        RemoveTask(self);                        // finds no entry: the task stays
        AddTask(10, new Probe("inner"), "inner");
    };
    AddTask(10, outer, "outer");
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"inner", "outer"}));
    EXPECT_EQ(FindTask("outer"), outer);
}

TEST_F(TaskListTest, NullObjectsAreIgnored)
{
    AddTask(1, nullptr, "x");
    AddTask(nullptr, 1);
    RemoveTask(nullptr);
    EXPECT_EQ(TaskList::Instance().Size(), 0u);
}

TEST_F(TaskListTest, RemovingItselfInUpdateVisitsTheNextEntryExactlyOnce)
{
    Add(1, "a");
    Probe* b = Add(2, "b");
    Add(3, "c");
    b->onUpdate = [](Probe* self) { RemoveTask(self); };
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update a", "update b", "~b", "update c"}));
    EXPECT_EQ(FindTask("b"), nullptr);
}

TEST_F(TaskListTest, RemovingTheFollowingEntryMovesOnToTheOneAfter)
{
    Probe* a = Add(1, "a");
    Probe* b = Add(2, "b");
    Add(3, "c");
    a->onUpdate = [b](Probe*) { RemoveTask(b); };
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(TaskListTest, TaskAddedAfterTheCursorRunsInTheSamePassOneBeforeWaits)
{
    Probe* a = Add(10, "a");
    a->onUpdate = [](Probe* self) {
        AddTask(20, new Probe("later"), "later");
        AddTask(5, new Probe("earlier"), "earlier");
        self->onUpdate = nullptr;
    };
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"a", "later"}));
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"earlier", "a", "later"}));
}

TEST_F(TaskListTest, ClearTasksFromUpdateKeepsResourcesHeadTailAndAboveTheBand)
{
    Add(-1, "res");
    Add(0, "TaskHead");
    Probe* screen = Add(100, "screen");
    Add(4000, "top");
    Add(0x7ffffffd, "fead");
    Add(0x7ffffffe, "keep");
    Add(0x7fffffff, "TaskTail");
    screen->onUpdate = [](Probe*) {
        ClearTasks();
        AddTask(1, new Probe("next"), "next");   // added before the cursor: first updated next pass
    };
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"res", "TaskHead", "screen", "keep", "TaskTail"}));
    EXPECT_EQ(Priorities(), (std::vector<int>{-1, 0, 1, 0x7ffffffe, 0x7fffffff}));
    EXPECT_EQ(FindTask("fead"), nullptr);
    EXPECT_EQ(FindTask("screen"), nullptr);
}

TEST_F(TaskListTest, ClearTasksStopsAtTheTail)
{
    Add(0x7fffffff, "TaskTail");
    // An entry after the tail is never looked at, even inside the band.
    TaskEntry late = MakeTaskEntry(0x7fffffff, new Probe("after"), "after");
    AddTask(late);
    Add(50, "gone");
    ClearTasks();
    EXPECT_NE(FindTask("after"), nullptr);
    EXPECT_EQ(FindTask("gone"), nullptr);
}

TEST_F(TaskListTest, StopFlagsByNameAndRange)
{
    Add(3499, "below");
    Add(3500, "low");
    Add(5000, "high");
    Add(5001, "above");
    SetUpdateStopRange(true, 5000, 3500);
    SetDrawStopRange(true, 5000, 3500);
    g_log.clear();
    UpdatePass();
    DrawPass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update below", "update above", "draw below", "draw above"}));

    // A task added into a stopped band starts unstopped.
    Add(4000, "fresh");
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"below", "fresh", "above"}));

    SetUpdateStopRange(false, 5000, 3500);
    SetDrawStopRange(false, 5000, 3500);
    SetDrawStop("low");
    SetUpdateStop("high", true);
    g_log.clear();
    UpdatePass();
    DrawPass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update below", "update low", "update fresh", "update above",
                                               "draw below", "draw fresh", "draw high", "draw above"}));

    // The draw stop cannot be lifted by name; the range form lifts it.
    SetUpdateStop("low", false);
    g_log.clear();
    DrawPass();
    EXPECT_EQ(g_log.size(), 4u);
    SetDrawStopRange(false, 3500, 3500);
    g_log.clear();
    DrawPass();
    EXPECT_EQ(g_log.size(), 5u);
}

TEST_F(TaskListTest, StopFlagSetEarlierInAPassTakesEffectAtOnce)
{
    Probe* a = Add(1, "a");
    Add(2, "b");
    a->onUpdate = [](Probe*) { SetUpdateStop("b", true); };
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(Updates(), (std::vector<std::string>{"a"}));
}

TEST_F(TaskListTest, FindTaskPrefersLowestPriorityThenEarliest)
{
    Probe* unnamed1 = new Probe("u1");
    AddTask(unnamed1, 50);
    AddTask(new Probe("u2"), 60);
    Probe* second = Add(30, "dup", "second");
    Probe* third = Add(30, "dup", "third");
    Add(10, "Dup");
    EXPECT_EQ(FindTask(""), unnamed1);
    EXPECT_EQ(FindTask("dup"), second);
    EXPECT_NE(FindTask("dup"), third);
    EXPECT_EQ(FindTask("DUP"), nullptr);
    EXPECT_EQ(FindTask("missing"), nullptr);
}

TEST_F(TaskListTest, RecordFormClearsStopFlagsAndKeepsOwnership)
{
    TaskEntry pending = MakeTaskEntry(7, new Probe("p"), "p");
    pending.updateStop = true;
    pending.drawStop = true;
    AddTask(pending);
    g_log.clear();
    UpdatePass();
    DrawPass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update p", "draw p"}));

    TaskEntry borrowed = MakeTaskEntry(8, new Probe("b"), "b");
    borrowed.owned = false;
    AddTask(borrowed);
    RemoveTask(borrowed.object);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "~b"), 0);
    delete borrowed.object;
}

TEST_F(TaskListTest, RemoveAllDeletesEveryOwnedObjectOnceInListOrder)
{
    Add(5, "b");
    Add(-1, "a");
    Add(0x7fffffff, "c");
    g_log.clear();
    RemoveAllTasks();
    EXPECT_EQ(g_log, (std::vector<std::string>{"~a", "~b", "~c"}));
    EXPECT_EQ(TaskList::Instance().Size(), 0u);
}

TEST_F(TaskListTest, RemoveAllFromAPassEndsItAndDeletesTheCallerAfterItsCall)
{
    Add(1, "a");
    Probe* b = Add(2, "b");
    Add(3, "c");
    b->onUpdate = [](Probe* self) {
        RemoveAllTasks();
        g_log.push_back("after " + std::string(FindTask("b") == self ? "listed" : "gone"));
        AddTask(9, new Probe("fresh"), "fresh");   // waits for the next pass
    };
    g_log.clear();
    UpdatePass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update a", "update b", "~a", "~c", "after gone", "init fresh", "~b"}));
    EXPECT_EQ(TaskList::Instance().Size(), 1u);
    g_log.clear();
    DrawPass();
    EXPECT_EQ(g_log, (std::vector<std::string>{"draw fresh"}));
}

TEST_F(TaskListTest, RemoveAllFromTheLastDrawAndFromADestructorAreSafe)
{
    Add(1, "a");
    Probe* last = Add(2, "last");
    last->onDraw = [](Probe*) { RemoveAllTasks(); };
    struct Ender : Probe {
        Ender() : Probe("ender") {}
        ~Ender() override { RemoveAllTasks(); }
    };
    AddTask(0, new Ender, "ender");
    g_log.clear();
    DrawPass();
    EXPECT_EQ(TaskList::Instance().Size(), 0u);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "~last"), 1);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "~a"), 1);
    g_log.clear();
    UpdatePass();
    EXPECT_TRUE(g_log.empty());
}

TEST_F(TaskListTest, DestructorRemovingAnotherTaskDuringClearIsSafe)
{
    Probe* victim = Add(20, "victim");
    struct Killer : Probe {
        Probe* other;
        Killer(Probe* o) : Probe("killer"), other(o) {}
        ~Killer() override { RemoveTask(other); }
    };
    AddTask(10, new Killer(victim), "killer");
    ClearTasks();
    EXPECT_EQ(TaskList::Instance().Size(), 0u);
}

TEST(TaskEntryTest, NamesAreCopiedWithinTheirBound)
{
    TaskEntry e = MakeTaskEntry(1, nullptr, "0123456789012345678901234567890");   // 31 characters fit
    EXPECT_STREQ(e.name, "0123456789012345678901234567890");
    TaskEntry unnamed = MakeTaskEntry(1, nullptr, nullptr);
    EXPECT_STREQ(unnamed.name, "");
    EXPECT_DEATH(MakeTaskEntry(1, nullptr, "01234567890123456789012345678901"), "too long");
}

}   // namespace
