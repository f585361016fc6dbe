#include "platform/sdl/SdlKeySource.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/SdlWindow.h"

namespace plat {

namespace {

struct KeyMapping {
    SDL_Scancode scancode;
    uint8_t gameKey;
};

// DirectInput's keyboard numbering, which the game's key codes follow.
constexpr KeyMapping kKeyMap[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},      {SDL_SCANCODE_1, 0x02},           {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},           {SDL_SCANCODE_4, 0x05},           {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},           {SDL_SCANCODE_7, 0x08},           {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},           {SDL_SCANCODE_0, 0x0B},           {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},      {SDL_SCANCODE_BACKSPACE, 0x0E},   {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},           {SDL_SCANCODE_W, 0x11},           {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},           {SDL_SCANCODE_T, 0x14},           {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},           {SDL_SCANCODE_I, 0x17},           {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},           {SDL_SCANCODE_LEFTBRACKET, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},      {SDL_SCANCODE_LCTRL, 0x1D},       {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},           {SDL_SCANCODE_D, 0x20},           {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},           {SDL_SCANCODE_H, 0x23},           {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},           {SDL_SCANCODE_L, 0x26},           {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},  {SDL_SCANCODE_GRAVE, 0x29},       {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},   {SDL_SCANCODE_Z, 0x2C},           {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},           {SDL_SCANCODE_V, 0x2F},           {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},           {SDL_SCANCODE_M, 0x32},           {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},      {SDL_SCANCODE_SLASH, 0x35},       {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},        {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},    {SDL_SCANCODE_F1, 0x3B},          {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},          {SDL_SCANCODE_F4, 0x3E},          {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},          {SDL_SCANCODE_F7, 0x41},          {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},          {SDL_SCANCODE_F10, 0x44},         {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},         {SDL_SCANCODE_KP_ENTER, 0x9C},    {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_RALT, 0xB8},        {SDL_SCANCODE_PAUSE, 0xC5},       {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8},          {SDL_SCANCODE_PAGEUP, 0xC9},      {SDL_SCANCODE_LEFT, 0xCB},
    {SDL_SCANCODE_RIGHT, 0xCD},       {SDL_SCANCODE_END, 0xCF},         {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1},    {SDL_SCANCODE_INSERT, 0xD2},      {SDL_SCANCODE_DELETE, 0xD3},
};

// The game's key a controller button stands for, with the controller's keys;
// 0 for a button that presses none.
int KeyOfButton(int button, const ControllerKeys& keys)
{
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return keys.up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return keys.down;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return keys.left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return keys.right;
        case SDL_CONTROLLER_BUTTON_A:
        case SDL_CONTROLLER_BUTTON_B: return keys.dash;
        case SDL_CONTROLLER_BUTTON_BACK: return KEY_ESCAPE;
        case SDL_CONTROLLER_BUTTON_START: return KEY_PAUSE;
        default: return 0;
    }
}

constexpr SDL_GameControllerButton kPressingButtons[] = {
    SDL_CONTROLLER_BUTTON_DPAD_UP,    SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_START};

void Press(uint8_t keys[256], int key)
{
    if (key > 0 && key < 256) keys[key] = KEY_DOWN_BIT;
}

// Sees every event as SDL queues it, before the frame loop takes it, so a
// press released before the next read is not lost.
int WatchPresses(void* userdata, SDL_Event* event)
{
    auto* source = static_cast<SdlKeySource*>(userdata);
    if (event->type == SDL_KEYDOWN && !event->key.repeat) {
        source->NoteKeyDown(SdlKeySource::GameKeyFor(event->key.keysym.scancode));
    } else if (event->type == SDL_CONTROLLERBUTTONDOWN) {
        source->NoteButtonDown(event->cbutton.which, event->cbutton.button);
    }
    return 0;
}

}   // namespace

SdlKeySource::SdlKeySource(const SdlWindow& window)
    : SdlKeySource(std::function<bool()>([&window] { return window.HasInputFocus(); }))
{
}

SdlKeySource::SdlKeySource(std::function<bool()> hasFocus) : m_HasFocus(std::move(hasFocus))
{
    // Without controller support the keyboard still works.
    m_ControllersStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    SDL_AddEventWatch(WatchPresses, this);
}

SdlKeySource::~SdlKeySource()
{
    SDL_DelEventWatch(WatchPresses, this);
    for (SDL_GameController* controller : m_Controllers) SDL_GameControllerClose(controller);
    m_Controllers.clear();
    if (m_ControllersStarted) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int SdlKeySource::GameKeyFor(int scancode)
{
    for (const KeyMapping& m : kKeyMap)
        if (m.scancode == scancode) return m.gameKey;
    return 0;
}

bool SdlKeySource::Read(uint8_t keys[256])
{
    if (!keys || !m_HasFocus || !m_HasFocus()) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (!state) return false;
    std::memset(keys, 0, 256);
    for (const KeyMapping& m : kKeyMap)
        if (m.scancode < count && state[m.scancode]) keys[m.gameKey] = KEY_DOWN_BIT;
    UpdateControllers();
    ReadControllers(keys);
    m_Latch.Apply(keys);
    return true;
}

// Lets go of controllers that were unplugged and opens every newly plugged
// one; SDL's device list is as of the window's last event pump.
void SdlKeySource::UpdateControllers()
{
    if (!m_ControllersStarted) return;
    std::erase_if(m_Controllers, [](SDL_GameController* controller) {
        if (SDL_GameControllerGetAttached(controller)) return false;
        SDL_GameControllerClose(controller);
        return true;
    });
    const int devices = SDL_NumJoysticks();
    for (int index = 0; index < devices; ++index) {
        if (!SDL_IsGameController(index)) continue;
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        const bool open = std::any_of(m_Controllers.begin(), m_Controllers.end(), [id](SDL_GameController* c) {
            return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id;
        });
        if (open) continue;
        if (SDL_GameController* controller = SDL_GameControllerOpen(index)) m_Controllers.push_back(controller);
    }
}

const ControllerKeys& SdlKeySource::KeysOf(size_t place) const
{
    constexpr size_t SECOND = 1;
    return place == SECOND ? m_SecondKeys : m_FirstKeys;
}

void SdlKeySource::NoteButtonDown(int instanceId, int button)
{
    for (size_t place = 0; place < m_Controllers.size(); ++place) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(m_Controllers[place])) != instanceId) continue;
        if (int key = KeyOfButton(button, KeysOf(place))) m_Latch.NoteDown(key);
        return;
    }
}

void SdlKeySource::ReadControllers(uint8_t keys[256]) const
{
    for (size_t place = 0; place < m_Controllers.size(); ++place) {
        SDL_GameController* controller = m_Controllers[place];
        const ControllerKeys& own = KeysOf(place);
        for (SDL_GameControllerButton button : kPressingButtons)
            if (SDL_GameControllerGetButton(controller, button)) Press(keys, KeyOfButton(button, own));
        // The stick's y axis grows downwards, as the screen's does.
        const int x = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
        const int y = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
        if (x <= -STICK_THRESHOLD) Press(keys, own.left);
        if (x >= STICK_THRESHOLD) Press(keys, own.right);
        if (y <= -STICK_THRESHOLD) Press(keys, own.up);
        if (y >= STICK_THRESHOLD) Press(keys, own.down);
    }
}

}   // namespace plat
