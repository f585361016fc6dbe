#include <gtest/gtest.h>

#include "core/ResourceRegistry.h"
#include "core/Task.h"

namespace {

class Counted : public CGameObject {
public:
    explicit Counted(int* deaths) : m_Deaths(deaths) {}
    ~Counted() override { ++*m_Deaths; }

private:
    int* m_Deaths;
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
    EXPECT_EQ(deaths, 0);   // the rejected object is neither stored nor deleted
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
    ClearTasks();   // resources at -1 survive a screen change
    EXPECT_EQ(deaths, 0);
    RemoveAllTasks();
    EXPECT_EQ(deaths, 1);
}

class Picture : public CGameObject {};
class Tune : public CGameObject {};
class LoudTune : public Tune {};

TEST(ResourceRegistryTest, TypedLookupReturnsTheObjectOnlyAsItsOwnType)
{
    ClearResources();
    Picture picture;
    LoudTune tune;
    RegisterResource("InterfaceBMP", &picture);
    RegisterResource("TubazeriSE", &tune);
    EXPECT_EQ(FindResource<Picture>("InterfaceBMP"), &picture);
    EXPECT_EQ(FindResource<Tune>("TubazeriSE"), &tune);   // a derived object is its base too
    EXPECT_EQ(FindResource<LoudTune>("TubazeriSE"), &tune);
    EXPECT_EQ(FindResource<Picture>("Missing"), nullptr);   // an absent key is no fault
    EXPECT_EQ(FindResource<Picture>(nullptr), nullptr);
    ClearResources();
}

TEST(ResourceRegistryDeathTest, TypeMismatchStopsADebugBuildAndIsNullOtherwise)
{
    ClearResources();
    Picture picture;
    RegisterResource("TubazeriSE", &picture);
#ifdef NDEBUG
    EXPECT_EQ(FindResource<Tune>("TubazeriSE"), nullptr);
#else
    EXPECT_DEATH(FindResource<Tune>("TubazeriSE"), "TubazeriSE");
#endif
    ClearResources();
}

}   // namespace
