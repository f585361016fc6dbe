#include <gtest/gtest.h>

#include "core/Task.h"
#include "input/CInput.h"
#include "platform/KeySource.h"

namespace {

class CInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveAllTasks();
        plat::SetKeySource(&keys);
    }
    void TearDown() override
    {
        RemoveAllTasks();
        plat::SetKeySource(nullptr);
    }
    plat::ScriptedKeySource keys;
};

TEST_F(CInputTest, HeldKeyIsNewOnlyInItsFirstFrame)
{
    CInput* input = CInput::FindOrCreate();
    EXPECT_EQ(CInput::FindOrCreate(), input);   // created once, found after
    keys.SetKey(plat::KEY_Z, true);
    input->Update();
    EXPECT_TRUE(input->IsNewlyPressed(plat::KEY_Z));   // previous array starts zeroed
    input->Update();
    EXPECT_TRUE(input->IsDown(plat::KEY_Z));
    EXPECT_FALSE(input->IsNewlyPressed(plat::KEY_Z));
    keys.SetKey(plat::KEY_Z, false);
    input->Update();
    EXPECT_FALSE(input->IsDown(plat::KEY_Z));
}

TEST_F(CInputTest, PressAndReleaseBetweenReadsIsUnseen)
{
    CInput* input = CInput::FindOrCreate();
    input->Update();
    keys.SetKey(plat::KEY_UP, true);
    keys.SetKey(plat::KEY_UP, false);
    input->Update();
    EXPECT_FALSE(input->IsDown(plat::KEY_UP));
    EXPECT_FALSE(input->IsNewlyPressed(plat::KEY_UP));
}

TEST_F(CInputTest, FailedReadKeepsTheOldState)
{
    CInput* input = CInput::FindOrCreate();
    keys.SetKey(plat::KEY_LEFT, true);
    input->Update();
    keys.SetFocus(false);
    keys.SetKey(plat::KEY_LEFT, false);
    keys.SetKey(plat::KEY_Z, true);
    input->Update();
    EXPECT_TRUE(input->IsDown(plat::KEY_LEFT));
    EXPECT_FALSE(input->IsNewlyPressed(plat::KEY_LEFT));
    EXPECT_FALSE(input->IsDown(plat::KEY_Z));
}

TEST_F(CInputTest, ScreenChangeGivesAFreshTaskThatSeesHeldKeysAsNew)
{
    CInput* input = CInput::FindOrCreate();
    keys.SetKey(plat::KEY_Z, true);
    input->Update();
    input->Update();
    ClearTasks();
    EXPECT_EQ(FindTask("input"), nullptr);
    CInput* fresh = CInput::FindOrCreate();
    fresh->Update();
    EXPECT_TRUE(fresh->IsNewlyPressed(plat::KEY_Z));
}

TEST_F(CInputTest, WithoutKeyboardNothingIsRead)
{
    plat::SetKeySource(nullptr);
    CInput* input = CInput::FindOrCreate();
    keys.SetKey(plat::KEY_Z, true);
    input->Update();
    EXPECT_FALSE(input->HasKeyboard());
    EXPECT_FALSE(input->IsDown(plat::KEY_Z));
}

}   // namespace
