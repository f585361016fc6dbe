// Switching between full screen and a window: which key presses do it, that
// a press flips the window each time (offscreen, so it runs anywhere), that a
// controller's back button closes the game as Escape does, and, where a
// display is at hand, that the picture's size follows the window and that a
// presented frame shows in it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>

#include "platform/Texture.h"
#include "platform/gl/GLRenderDevice.h"
#include "platform/sdl/SdlWindow.h"

// Last: X11's macros (None, Always) clash with the device's names.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

SDL_Event KeyDown(SDL_Scancode scancode, Uint16 modifiers = KMOD_NONE, bool repeat = false)
{
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    e.key.keysym.mod = modifiers;
    return e;
}

// The first size of a window: 1280 x 960 where it fits in nine tenths of
// the usable area, else the largest exact 4:3 size that does.
struct FitCase {
    int usableW, usableH, width, height;
};
class WindowSizeTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(WindowSizeTest, FullSizeWhereItFitsElseTheLargest4By3)
{
    const FitCase& c = GetParam();
    int w = 0, h = 0;
    plat::FitWindowSize(c.usableW, c.usableH, &w, &h);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    EXPECT_EQ(w * 3, h * 4);
    if (w > plat::BACK_BUFFER_WIDTH / 2) {
        EXPECT_LE(w, c.usableW * 9 / 10);
        EXPECT_LE(h, c.usableH * 9 / 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Displays, WindowSizeTest,
                         ::testing::Values(FitCase{1920, 1080 - 27, 1260, 945},   // a panel takes 27 rows
                                           FitCase{1600, 1200, 1280, 960},
                                           FitCase{1423, 1067, 1280, 960},   // just room enough
                                           FitCase{1366, 768, 920, 690}, FitCase{720, 560, 648, 486},
                                           FitCase{300, 200, 320, 240}));   // never below half the picture

TEST(FullscreenToggleKeysTest, F11AndAltEnterOnlyAndNoAutoRepeat)
{
    using plat::SdlWindow;
    EXPECT_TRUE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_F11, KMOD_NONE, false));
    EXPECT_TRUE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_RETURN, KMOD_LALT, false));
    EXPECT_TRUE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_RETURN, KMOD_RALT, false));
    EXPECT_TRUE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_KP_ENTER, KMOD_LALT | KMOD_NUM, false));
    EXPECT_FALSE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_RETURN, KMOD_NONE, false));
    EXPECT_FALSE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_RETURN, KMOD_LCTRL, false));
    EXPECT_FALSE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_Z, KMOD_LALT, false));
    EXPECT_FALSE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_F10, KMOD_NONE, false));
    // Holding the keys down must not make the window flicker.
    EXPECT_FALSE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_F11, KMOD_NONE, true));
    EXPECT_FALSE(SdlWindow::IsFullscreenToggle(SDL_SCANCODE_RETURN, KMOD_LALT, true));
}

class FullscreenToggleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<plat::SdlWindow>();
        if (!window->Create(plat::WindowMode::Offscreen)) {
            window.reset();
            GTEST_SKIP() << "no offscreen OpenGL 3.3 context on this machine";
        }
        while (window->HasPendingEvent()) window->NextEvent();
    }

    // Pushes one event and hands it to the window as the frame loop does.
    plat::WindowEvent Deliver(SDL_Event e)
    {
        SDL_PushEvent(&e);
        plat::WindowEvent seen = plat::WindowEvent::Other;
        for (int i = 0; i < 32 && window->HasPendingEvent(); ++i) {
            plat::WindowEvent got = window->NextEvent();
            if (got != plat::WindowEvent::Other) seen = got;
        }
        return seen;
    }

    std::unique_ptr<plat::SdlWindow> window;
};

TEST_F(FullscreenToggleTest, EachToggleKeyFlipsTheWindowOnce)
{
    const bool start = window->IsFullscreen();
    EXPECT_EQ(Deliver(KeyDown(SDL_SCANCODE_F11)), plat::WindowEvent::FullscreenToggled);
    EXPECT_NE(window->IsFullscreen(), start);
    EXPECT_EQ(Deliver(KeyDown(SDL_SCANCODE_RETURN, KMOD_LALT)), plat::WindowEvent::FullscreenToggled);
    EXPECT_EQ(window->IsFullscreen(), start);
    EXPECT_EQ(Deliver(KeyDown(SDL_SCANCODE_F11, KMOD_NONE, true)), plat::WindowEvent::Other);
    EXPECT_EQ(Deliver(KeyDown(SDL_SCANCODE_RETURN)), plat::WindowEvent::Other);
    EXPECT_EQ(window->IsFullscreen(), start);
    // Escape still closes, whatever the window's state.
    EXPECT_EQ(Deliver(KeyDown(SDL_SCANCODE_ESCAPE)), plat::WindowEvent::EscapeDown);
}

TEST_F(FullscreenToggleTest, ControllerBackButtonClosesAsEscapeDoes)
{
    SDL_Event e{};
    e.type = SDL_CONTROLLERBUTTONDOWN;
    e.cbutton.button = SDL_CONTROLLER_BUTTON_BACK;
    e.cbutton.state = SDL_PRESSED;
    EXPECT_EQ(Deliver(e), plat::WindowEvent::EscapeDown);
    e.cbutton.button = SDL_CONTROLLER_BUTTON_A;
    EXPECT_EQ(Deliver(e), plat::WindowEvent::Other);
}

// A real window on the display named by DISPLAY (an X server such as Xvfb,
// with or without a window manager); skipped where there is none.
class WindowOnDisplayTest : public ::testing::Test {
protected:
    // Opens the window, full screen or not; false (the test skipped) with no display.
    const char* OpenWindowOnX11(Display** display, Window* xwindow);

    bool Open(bool fullscreen)
    {
        if (!std::getenv("DISPLAY")) return false;
        window = std::make_unique<plat::SdlWindow>();
        if (window->Create(plat::WindowMode::Window, fullscreen)) return true;
        window.reset();
        return false;
    }

    // The size the X server gives the window, which is what is seen; SDL's
    // own idea of it can differ when no window manager answers its requests.
    static bool ServerSize(int* width, int* height)
    {
        Display* display = nullptr;
        Window xwindow = 0;
        if (!FindX11Window(&display, &xwindow)) return false;
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, xwindow, &attributes)) return false;
        *width = attributes.width;
        *height = attributes.height;
        return true;
    }

    // The game's window as the X server knows it; false when it is not on X11.
    static bool FindX11Window(Display** display, Window* xwindow)
    {
        SDL_Window* found = nullptr;
        for (Uint32 id = 1; id < 4096; ++id)
            if (SDL_Window* w = SDL_GetWindowFromID(id)) found = w;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!found || !SDL_GetWindowWMInfo(found, &info) || info.subsystem != SDL_SYSWM_X11) return false;
        *display = info.info.x11.display;
        *xwindow = info.info.x11.window;
        return true;
    }

    // What the picture is drawn into, checked against what the server shows.
    void ExpectSize(int width, int height)
    {
        int w = 0, h = 0;
        window->PixelSize(&w, &h);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        if (ServerSize(&w, &h)) {
            EXPECT_EQ(w, width) << "the X server's window";
            EXPECT_EQ(h, height) << "the X server's window";
        }
    }

    // Lets the X server and any window manager catch up.
    void Settle()
    {
        for (int i = 0; i < 40; ++i) {
            while (window->HasPendingEvent()) window->NextEvent();
            SDL_Delay(25);
        }
    }

    std::unique_ptr<plat::SdlWindow> window;
};

// The windowed size: 1280 x 960 where the display has room for it.
void ExpectWindowedSize(int width, int height)
{
    SDL_Rect usable{};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    if (usable.w >= plat::WINDOWED_WIDTH * 10 / 9 && usable.h >= plat::WINDOWED_HEIGHT * 10 / 9) {
        EXPECT_EQ(width, plat::WINDOWED_WIDTH);
        EXPECT_EQ(height, plat::WINDOWED_HEIGHT);
    } else {   // shrunk to fit, keeping the shape
        EXPECT_LE(width, usable.w);
        EXPECT_LE(height, usable.h);
        EXPECT_NEAR(width * 3.0 / 4.0, height, 2.0);
    }
}

TEST_F(WindowOnDisplayTest, PictureFollowsTheWindowThroughEveryToggle)
{
    if (!Open(false)) GTEST_SKIP() << "no window on DISPLAY";
    Settle();
    int windowedW = 0, windowedH = 0;
    window->PixelSize(&windowedW, &windowedH);
    ExpectWindowedSize(windowedW, windowedH);
    ExpectSize(windowedW, windowedH);

    SDL_Rect display{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0);
    window->SetFullscreen(true);
    Settle();
    EXPECT_TRUE(window->IsFullscreen());
    ExpectSize(display.w, display.h);

    window->SetFullscreen(false);
    Settle();
    EXPECT_FALSE(window->IsFullscreen());
    ExpectSize(windowedW, windowedH);
}

// A window leaves full screen where it was, however often it goes there:
// window managers that put back a frame's decorations late must not move it.
TEST_F(WindowOnDisplayTest, FullScreenRoundTripsKeepThePlaceAndSize)
{
    if (!Open(false)) GTEST_SKIP() << "no window on DISPLAY";
    Settle();
    int x0 = 0, y0 = 0, w0 = 0, h0 = 0;
    window->Position(&x0, &y0);
    window->PixelSize(&w0, &h0);
    for (int round = 0; round < 2; ++round) {
        window->SetFullscreen(true);
        Settle();
        window->SetFullscreen(false);
        Settle();
        int x = 0, y = 0, w = 0, h = 0;
        window->Position(&x, &y);
        window->PixelSize(&w, &h);
        EXPECT_EQ(x, x0) << "round " << round;
        EXPECT_EQ(y, y0) << "round " << round;
        EXPECT_EQ(w, w0);
        EXPECT_EQ(h, h0);
    }
}

TEST_F(WindowOnDisplayTest, StartingFullScreenFillsTheDisplay)
{
    if (!Open(true)) GTEST_SKIP() << "no window on DISPLAY";
    Settle();
    SDL_Rect display{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0);
    EXPECT_TRUE(window->IsFullscreen());
    ExpectSize(display.w, display.h);
    // Leaving full screen gives the window its windowed size.
    window->SetFullscreen(false);
    Settle();
    int w = 0, h = 0;
    window->PixelSize(&w, &h);
    ExpectWindowedSize(w, h);
    ExpectSize(w, h);
}

// The colour at the middle of the window, as red, green and blue.
struct Rgb {
    int r, g, b;
};

Rgb MiddleOfWindow(Display* display, Window xwindow, plat::SdlWindow& window)
{
    XSync(display, False);
    int w = 0, h = 0;
    window.PixelSize(&w, &h);
    XImage* image = XGetImage(display, xwindow, w / 2, h / 2, 1, 1, AllPlanes, ZPixmap);
    if (!image) return {-1, -1, -1};
    const unsigned long pixel = XGetPixel(image, 0, 0);
    auto channel = [pixel](unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) mask >>= 1, ++shift;
        return mask ? static_cast<int>(((pixel >> shift) & mask) * 255 / mask) : -1;
    };
    const Rgb rgb{channel(image->red_mask), channel(image->green_mask), channel(image->blue_mask)};
    XDestroyImage(image);
    return rgb;
}

// Opens a settled window and finds it on the X server; the reason when it
// cannot, else null.
const char* WindowOnDisplayTest::OpenWindowOnX11(Display** display, Window* xwindow)
{
    if (!Open(false)) return "no window on DISPLAY";
    Settle();
    if (!FindX11Window(display, xwindow)) return "the window is not on X11";
    return nullptr;
}

void ExpectNear(const Rgb& actual, const Rgb& expected)
{
    EXPECT_NEAR(actual.r, expected.r, 2);
    EXPECT_NEAR(actual.g, expected.g, 2);
    EXPECT_NEAR(actual.b, expected.b, 2);
}

TEST_F(WindowOnDisplayTest, PresentShowsTheBackBufferInTheWindow)
{
    Display* display = nullptr;
    Window xwindow = 0;
    if (const char* why = OpenWindowOnX11(&display, &xwindow)) GTEST_SKIP() << why;

    // Pictures go to the window on a thread of their own: each must be the
    // one there once the device has finished, the last one included.
    plat::GLRenderDevice& device = window->Device();
    for (Rgb colour : {Rgb{20, 200, 90}, Rgb{230, 40, 10}, Rgb{20, 200, 90}}) {
        device.BeginScene();
        device.Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, plat::ARGB(255, colour.r, colour.g, colour.b), 1.0f);
        device.EndScene();
        ASSERT_TRUE(device.Present());
        device.Finish();
        ExpectNear(MiddleOfWindow(display, xwindow, *window), colour);
    }
}

// A still screen gives the same frame again and again: the window keeps the
// picture and nothing is drawn for it, until anything that shows changes.
// Each step draws one frame: a clear, then a square of the given colour over
// the middle (textured when asked), and a sprite sliding about off screen in
// the same batch; it says whether the frame is drawn and what the middle of
// the window shows after it.
struct StillStep {
    const char* what;
    Rgb square;
    bool textured;
    bool freeTextureBeforePresent;
    bool drawn;
};

TEST_F(WindowOnDisplayTest, StillFramesAreNotDrawnAgain)
{
    Display* display = nullptr;
    Window xwindow = 0;
    if (const char* why = OpenWindowOnX11(&display, &xwindow)) GTEST_SKIP() << why;

    constexpr Rgb kTextureColour{250, 180, 20};
    const StillStep steps[] = {
        {"first frame", {40, 90, 200}, false, false, true},
        {"the same again", {40, 90, 200}, false, false, false},
        {"the same, a sprite moved off screen", {40, 90, 200}, false, false, false},
        {"another colour", {200, 60, 60}, false, false, true},
        {"a texture's first use", {255, 255, 255}, true, false, true},
        {"the same, the one before not kept (its texture was made)", {255, 255, 255}, true, false, true},
        {"the same textured frame", {255, 255, 255}, true, false, false},
        {"tinted, its texture freed after the draw", {255, 255, 128}, true, true, true},
        {"back to plain colour", {200, 60, 60}, false, false, true},
    };
    plat::GLRenderDevice& device = window->Device();
    auto texture = std::make_unique<plat::Texture>();
    float offScreenX = 700;
    for (const StillStep& step : steps) {
        SCOPED_TRACE(step.what);
        if (!texture) texture = std::make_unique<plat::Texture>();
        if (step.textured && texture->Width() == 0) {
            const uint8_t rgba[4] = {kTextureColour.r, kTextureColour.g, kTextureColour.b, 255};
            ASSERT_TRUE(texture->LoadFromPixels(rgba, 1, 1, 0));
        }
        const uint64_t skippedBefore = device.StillFramesSkipped();
        device.BeginScene();
        device.Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, plat::ARGB(255, 10, 10, 10), 1.0f);
        const plat::DeviceState before = device.BeginScreen2D(plat::TextureStage{});
        device.SetTexture(step.textured ? texture.get() : nullptr);
        const uint32_t colour = plat::ARGB(255, step.square.r, step.square.g, step.square.b);
        auto corner = [colour](float x, float y) {
            plat::Vertex v;
            v.position = {x, y, 0};
            v.color = colour;
            v.u = v.v = 0.5f;
            return v;
        };
        const float l = 200, t = 150, r = 440, b = 330, o = offScreenX;
        const plat::Vertex quads[] = {corner(l, t), corner(r, t), corner(l, b), corner(r, t), corner(r, b), corner(l, b),
                                      corner(o, t), corner(o + 20, t), corner(o, b)};
        device.DrawUser(plat::Primitive::TriangleList, quads, 9, plat::VF_SCREEN | plat::VF_COLOR | plat::VF_TEXCOORD);
        device.RestoreState(before);
        offScreenX += 10;
        if (step.freeTextureBeforePresent) texture.reset();
        device.EndScene();
        ASSERT_TRUE(device.Present());
        device.Finish();
        EXPECT_EQ(device.StillFramesSkipped() - skippedBefore, step.drawn ? 0u : 1u);
        // A textured square is the texture's colour times the square's.
        auto times = [](int a, int b) { return a * b / 255; };
        const Rgb expected = step.textured ? Rgb{times(kTextureColour.r, step.square.r), times(kTextureColour.g, step.square.g),
                                                 times(kTextureColour.b, step.square.b)}
                                           : step.square;
        ExpectNear(MiddleOfWindow(display, xwindow, *window), expected);
    }
}

}   // namespace
