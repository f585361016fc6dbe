// Game controllers through SDL's virtual joystick (no hardware): the d-pad
// and the left stick are the arrow keys, the south and east buttons are Z,
// back is Escape; controllers plugged in or pulled out while the game runs
// are picked up and let go; and the keyboard's rules hold for them too.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/KeySource.h"
#include "platform/sdl/SdlKeySource.h"

namespace {

class ControllerInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        keys = std::make_unique<plat::SdlKeySource>([this] { return focus; });
        if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) GTEST_SKIP() << "no game controller support: " << SDL_GetError();
    }
    void TearDown() override
    {
        while (!pads.empty()) Unplug();
        keys.reset();
    }

    // Plugs in a virtual controller with every standard button and axis.
    int Plug()
    {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* stick = SDL_JoystickOpen(index);   // our handle to drive its state
        EXPECT_NE(stick, nullptr) << SDL_GetError();
        pads.push_back({index, stick});
        return static_cast<int>(pads.size()) - 1;
    }
    void Unplug()
    {
        SDL_JoystickClose(pads.back().stick);
        SDL_JoystickDetachVirtual(pads.back().index);
        pads.pop_back();
    }
    void Button(int pad, SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(pads[pad].stick, button, down ? 1 : 0);
    }
    void Axis(int pad, SDL_GameControllerAxis axis, int value)
    {
        SDL_JoystickSetVirtualAxis(pads[pad].stick, axis, static_cast<Sint16>(value));
    }

    // One frame's read, after the event pump the window does every frame.
    bool Read()
    {
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        return keys->Read(state);
    }
    bool Down(int key) const { return (state[key] & plat::KEY_DOWN_BIT) != 0; }
    int DownCount() const
    {
        return static_cast<int>(std::count_if(std::begin(state), std::end(state), [](uint8_t b) { return b != 0; }));
    }

    struct Pad {
        int index;
        SDL_Joystick* stick;
    };
    std::vector<Pad> pads;
    std::unique_ptr<plat::SdlKeySource> keys;
    bool focus = true;
    uint8_t state[256] = {};
};

TEST_F(ControllerInputTest, ButtonsAndDpadPressTheGamesKeys)
{
    int pad = Plug();
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 1);
    EXPECT_EQ(DownCount(), 0);

    const struct {
        SDL_GameControllerButton button;
        int key;
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, plat::KEY_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, plat::KEY_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, plat::KEY_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, plat::KEY_RIGHT},
        {SDL_CONTROLLER_BUTTON_A, plat::KEY_Z},
        {SDL_CONTROLLER_BUTTON_B, plat::KEY_Z},
        {SDL_CONTROLLER_BUTTON_BACK, plat::KEY_ESCAPE},
        {SDL_CONTROLLER_BUTTON_START, plat::KEY_PAUSE},
    };
    for (const auto& c : cases) {
        Button(pad, c.button, true);
        ASSERT_TRUE(Read());
        EXPECT_EQ(state[c.key], plat::KEY_DOWN_BIT) << "button " << c.button;
        EXPECT_EQ(DownCount(), 1) << "button " << c.button << " pressed only its own key";
        Button(pad, c.button, false);
        ASSERT_TRUE(Read());
        EXPECT_EQ(DownCount(), 0) << "button " << c.button << " released";
    }
}

TEST_F(ControllerInputTest, OtherButtonsPressNothing)
{
    int pad = Plug();
    for (SDL_GameControllerButton b : {SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
                                       SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_GUIDE})
        Button(pad, b, true);
    Axis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    Axis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    ASSERT_TRUE(Read());
    EXPECT_EQ(DownCount(), 0);
}

TEST_F(ControllerInputTest, LeftStickLeansPastTheThresholdAsArrowKeys)
{
    int pad = Plug();
    const int t = plat::SdlKeySource::STICK_THRESHOLD;
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, t - 1);   // a small lean is no press
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -(t - 1));
    ASSERT_TRUE(Read());
    EXPECT_EQ(DownCount(), 0);

    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
    ASSERT_TRUE(Read());
    EXPECT_TRUE(Down(plat::KEY_LEFT));
    EXPECT_EQ(DownCount(), 1);

    // Up and right at once: the stick pushed into the upper right corner.
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 23170);
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -23170);
    ASSERT_TRUE(Read());
    EXPECT_TRUE(Down(plat::KEY_RIGHT));
    EXPECT_TRUE(Down(plat::KEY_UP));
    EXPECT_EQ(DownCount(), 2);

    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, t);
    ASSERT_TRUE(Read());
    EXPECT_TRUE(Down(plat::KEY_DOWN));
    EXPECT_EQ(DownCount(), 1);
}

TEST_F(ControllerInputTest, StickAndDpadOnTheSameKeyMakeOnePress)
{
    int pad = Plug();
    Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    Button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    ASSERT_TRUE(Read());
    EXPECT_EQ(state[plat::KEY_RIGHT], plat::KEY_DOWN_BIT);   // the same byte, bit 7 only
    EXPECT_EQ(DownCount(), 1);
}

TEST_F(ControllerInputTest, ControllersPluggedInAndOutWhileRunning)
{
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 0);

    int first = Plug();
    Button(first, SDL_CONTROLLER_BUTTON_A, true);
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 1);
    EXPECT_TRUE(Down(plat::KEY_Z));

    // A second controller adds its own presses to the first one's.
    int second = Plug();
    Button(second, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 2);
    EXPECT_TRUE(Down(plat::KEY_Z));
    EXPECT_TRUE(Down(plat::KEY_LEFT));

    // Pulled out with its button held: the press goes with it.
    Unplug();
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 1);
    EXPECT_FALSE(Down(plat::KEY_LEFT));
    EXPECT_TRUE(Down(plat::KEY_Z));

    Unplug();
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 0);
    EXPECT_EQ(DownCount(), 0);

    // Plugged in again, it is picked up again.
    int again = Plug();
    Button(again, SDL_CONTROLLER_BUTTON_B, true);
    ASSERT_TRUE(Read());
    EXPECT_EQ(keys->ControllerCount(), 1);
    EXPECT_TRUE(Down(plat::KEY_Z));
}

// Two players: the second controller plugged in presses player 2's keys
// (W S A D and Left Shift by default) with its d-pad, stick and face buttons,
// a quick tap included; the first keeps the arrows and Z; back to the
// default, both press the arrows again.
TEST_F(ControllerInputTest, SecondControllerPressesTheSecondPlayersKeys)
{
    const plat::ControllerKeys second{0x11, 0x1F, 0x1E, 0x20, 0x2A};
    keys->SetSecondControllerKeys(second);
    int first = Plug();
    int other = Plug();
    Button(first, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Button(other, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Button(other, SDL_CONTROLLER_BUTTON_A, true);
    Axis(other, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    ASSERT_TRUE(Read());
    EXPECT_TRUE(Down(plat::KEY_UP));
    EXPECT_TRUE(Down(second.up));
    EXPECT_TRUE(Down(second.dash));
    EXPECT_TRUE(Down(second.left));
    EXPECT_FALSE(Down(plat::KEY_Z));
    EXPECT_FALSE(Down(plat::KEY_LEFT));
    EXPECT_EQ(DownCount(), 4);

    Button(other, SDL_CONTROLLER_BUTTON_A, false);
    Axis(other, SDL_CONTROLLER_AXIS_LEFTX, 0);
    ASSERT_TRUE(Read());
    Button(other, SDL_CONTROLLER_BUTTON_B, true);   // a tap between two reads
    SDL_PumpEvents();
    Button(other, SDL_CONTROLLER_BUTTON_B, false);
    ASSERT_TRUE(Read());
    EXPECT_TRUE(Down(second.dash));
    EXPECT_FALSE(Down(plat::KEY_Z));

    keys->SetSecondControllerKeys({});
    ASSERT_TRUE(Read());
    EXPECT_TRUE(Down(plat::KEY_UP));
    EXPECT_FALSE(Down(second.up));
    EXPECT_EQ(DownCount(), 1);
}

TEST_F(ControllerInputTest, WithoutFocusTheReadFailsAndKeepsTheOldKeys)
{
    int pad = Plug();
    Button(pad, SDL_CONTROLLER_BUTTON_A, true);
    ASSERT_TRUE(Read());
    ASSERT_TRUE(Down(plat::KEY_Z));
    focus = false;
    Button(pad, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_FALSE(Read());
    EXPECT_TRUE(Down(plat::KEY_Z));
    focus = true;
    ASSERT_TRUE(Read());
    EXPECT_FALSE(Down(plat::KEY_Z));
}

}   // namespace
