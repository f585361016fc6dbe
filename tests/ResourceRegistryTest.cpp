#include <gtest/gtest.h>

#include "core/ResourceRegistry.h"
#include "core/Task.h"

namespace {

class Counted : public CGameObject {
public:
    explicit Counted(int* deaths) : m_deaths(deaths) {}
    ~Counted() override { ++*m_deaths; }

private:
    int* m_deaths;
};

TEST(ResourceRegistryTest, MissDoesNotInsert)
{
    ClearResources();
    EXPECT_EQ(FindResource("XTop"), nullptr);
    EXPECT_EQ(ResourceRegistry::Instance().Size(), 0u);
}

TEST(ResourceRegistryTest, FirstRegistrationWinsAndKeysAreCaseSensitive)
{
    ClearResources();
    int deaths = 0;
    Counted first(&deaths), second(&deaths);
    RegisterResource("XTop", &first);
    RegisterResource("XTop", &second);
    EXPECT_EQ(FindResource("XTop"), &first);
    EXPECT_EQ(FindResource("xtop"), nullptr);
    EXPECT_EQ(deaths, 0);  // the rejected object is neither stored nor deleted
}

TEST(ResourceRegistryTest, ClearForgetsKeysButDeletesNothing)
{
    RemoveAllTasks();
    ClearResources();
    int deaths = 0;
    auto* tex = new Counted(&deaths);
    AddTask(PRIORITY_RESOURCE, tex, nullptr);
    RegisterResource("InterfaceBMP", tex);
    ClearResources();
    EXPECT_EQ(FindResource("InterfaceBMP"), nullptr);
    EXPECT_EQ(deaths, 0);
    ClearTasks();  // resources at -1 survive a screen change
    EXPECT_EQ(deaths, 0);
    RemoveAllTasks();
    EXPECT_EQ(deaths, 1);
}

}  // namespace
