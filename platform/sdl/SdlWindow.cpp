#include "platform/sdl/SdlWindow.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace plat {

namespace {

constexpr const char* kCaption = "Spindrel";
// The class a desktop entry names in StartupWMClass to match the window.
constexpr const char* kWindowClass = "spindrel";
constexpr int kIconSize = 32;
constexpr int kGLMajor = 3;
constexpr int kGLMinor = 3;
// One frame is one physics step of 0.016 s: the game is made for 60 frames a second.
constexpr double kFramesPerSecond = 60.0;
constexpr int kSixtyHzLow = 59;
constexpr int kSixtyHzHigh = 61;
// A window is never made smaller than half the game's picture.
constexpr int kMinimumWidth = BACK_BUFFER_WIDTH / 2;
constexpr int kMinimumHeight = BACK_BUFFER_HEIGHT / 2;
// A window too large for the display takes at most this much of it.
constexpr double kDisplayShare = 0.9;
constexpr int kShapeWidth = 4, kShapeHeight = 3;
// How long after leaving full screen the window's place is held.
constexpr Uint64 kRestoreWatchMs = 1500;

void ReportFailure(const std::string& what) { std::fprintf(stderr, "Spindrel: %s\n", what.c_str()); }

void ReportSdlFailure(const char* what) { ReportFailure(std::string(what) + ": " + SDL_GetError()); }

// A small spinning top seen from the side: a handle, a striped disc and a
// cone down to a metal tip, shaded darker towards the edges.
std::vector<uint8_t> MakeIconPixels()
{
    std::vector<uint8_t> rgba(size_t{kIconSize} * kIconSize * 4, 0);
    const float centre = (kIconSize - 1) / 2.0f;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            float dx = std::fabs(x - centre);
            float r = 0, g = 0, b = 0;
            bool inside = true;
            if (y >= 2 && y < 10 && dx <= 2.0f) {   // handle
                r = g = b = 0.75f;
            } else if (y >= 10 && y < 20) {   // disc
                float t = (y - 14.5f) / 5.5f;
                float halfWidth = 15.0f * std::sqrt(std::max(0.0f, 1.0f - t * t));
                inside = dx <= halfWidth;
                bool stripe = (y / 2) % 2 == 0;
                r = stripe ? 0.95f : 0.9f;
                g = stripe ? 0.85f : 0.15f;
                b = stripe ? 0.2f : 0.1f;
            } else if (y >= 20 && y < 29) {   // cone
                inside = dx <= 9.0f * (29 - y) / 9.0f;
                r = 0.6f;
                g = 0.1f;
                b = 0.1f;
            } else if (y >= 29 && y < 31 && dx <= 1.0f) {   // tip
                r = g = b = 0.55f;
            } else {
                inside = false;
            }
            if (!inside) continue;
            float shade = 1.0f - 0.45f * dx / centre;
            uint8_t* p = &rgba[(size_t(y) * kIconSize + x) * 4];
            p[0] = static_cast<uint8_t>(255 * r * shade);
            p[1] = static_cast<uint8_t>(255 * g * shade);
            p[2] = static_cast<uint8_t>(255 * b * shade);
            p[3] = 255;
        }
    }
    return rgba;
}

// The window's first size: the full windowed size where it fits, else the
// largest of the picture's shape (4:3) within a share of the first display's
// usable area (a 1366 x 768 laptop, say).
void FitOnDisplay(int* width, int* height)
{
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
    FitWindowSize(usable.w, usable.h, width, height);
}

WindowEvent Classify(const SDL_Event& e)
{
    switch (e.type) {
        case SDL_QUIT: return WindowEvent::Quit;
        case SDL_KEYDOWN:
            return e.key.keysym.scancode == SDL_SCANCODE_ESCAPE ? WindowEvent::EscapeDown : WindowEvent::Other;
        case SDL_CONTROLLERBUTTONDOWN:
            // A game controller's back button closes the game as Escape does.
            return e.cbutton.button == SDL_CONTROLLER_BUTTON_BACK ? WindowEvent::EscapeDown : WindowEvent::Other;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE: return WindowEvent::Quit;
                case SDL_WINDOWEVENT_FOCUS_GAINED: return WindowEvent::FocusGained;
                case SDL_WINDOWEVENT_FOCUS_LOST: return WindowEvent::FocusLost;
                default: return WindowEvent::Other;
            }
        default: return WindowEvent::Other;
    }
}

// With no display SDL falls back to drivers that show nothing.
bool HasDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::string_view(driver) != "offscreen" && std::string_view(driver) != "dummy";
}

void* LoadGLFunction(const char* name) { return SDL_GL_GetProcAddress(name); }

// Keeps the GL driver's libraries loaded for the rest of the process. When
// video shuts down they would be unloaded while still holding memory they
// allocated (LLVM's code caches among it); leak checkers then report that
// memory as lost in an unknown module, hiding real leaks among the noise.
// Keeping them also spares the next window the driver's start-up.
void KeepGLDriverLoaded()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            std::string_view path = info->dlpi_name ? info->dlpi_name : "";
            const bool driver =
                path.find("/dri/") != std::string_view::npos || path.find("libEGL") != std::string_view::npos ||
                path.find("libGL") != std::string_view::npos || path.find("libglapi") != std::string_view::npos;
            // Only libraries already loaded; the handle is never closed on purpose.
            if (driver) dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

}   // namespace

void FitWindowSize(int usableWidth, int usableHeight, int* width, int* height)
{
    const double limitW = kDisplayShare * usableWidth, limitH = kDisplayShare * usableHeight;
    if (WINDOWED_WIDTH <= limitW && WINDOWED_HEIGHT <= limitH) {
        *width = WINDOWED_WIDTH;
        *height = WINDOWED_HEIGHT;
        return;
    }
    // Whole steps of 4 x 3 pixels keep the shape exact.
    const int steps = static_cast<int>(std::min(limitW / kShapeWidth, limitH / kShapeHeight));
    *width = std::max(kMinimumWidth, steps * kShapeWidth);
    *height = std::max(kMinimumHeight, steps * kShapeHeight);
}

SdlWindow::SdlWindow() = default;

SdlWindow::~SdlWindow() { Close(); }

bool SdlWindow::Create(WindowMode mode, bool fullscreen)
{
    Close();
    m_Mode = mode;
    m_Fullscreen = false;
    // X11 and Wayland take the window class from the environment when video starts.
    setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);
    // Overrides SDL_VIDEODRIVER in the environment: offscreen means no display, always.
    if (mode == WindowMode::Offscreen) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        // Nothing reads a window's events here: SDL would turn an interrupt or
        // a kill into a quit event that no one sees, and the run would go on.
        SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportSdlFailure(mode == WindowMode::Offscreen ? "cannot start offscreen video"
                                                       : "cannot start video (is there a display?)");
        Close();
        return false;
    }
    m_VideoStarted = true;
    if (mode == WindowMode::Window && !HasDisplay()) {
        ReportFailure(std::string("no display to open a window on (SDL chose the '") + SDL_GetCurrentVideoDriver() +
                      "' video driver)");
        Close();
        return false;
    }
    if (!OpenWindow(fullscreen) || !OpenContext()) {
        Close();
        return false;
    }
    GLRenderDevice::Surface& surface = *this;
    m_Device = std::make_unique<GLRenderDevice>(surface);
    std::string error;
    if (!m_Device->Init(&LoadGLFunction, &error)) {
        ReportFailure("cannot set up OpenGL drawing: " + error);
        Close();
        return false;
    }
    // Only a window's device ever draws the game's pictures and meshes: once
    // in GL they need no second copy. Offscreen devices keep them, for the
    // tests and tools that read them back.
    m_Device->SetReleaseUploadedData(mode == WindowMode::Window);
    ChooseFramePacing();
    return true;
}

bool SdlWindow::OpenWindow(bool fullscreen)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGLMajor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGLMinor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);   // the device draws into its own depth buffer
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    // A window on a display opens hidden at its windowed size, so that
    // leaving full screen later returns to it, and is shown once it has the
    // size it starts with; offscreen there is only the back buffer.
    Uint32 flags = SDL_WINDOW_OPENGL;
    int width = BACK_BUFFER_WIDTH;
    int height = BACK_BUFFER_HEIGHT;
    if (m_Mode == WindowMode::Window) {
        flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
        width = m_Windowed.w;
        height = m_Windowed.h;
        FitOnDisplay(&width, &height);
    }
    m_Window = SDL_CreateWindow(kCaption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!m_Window) {
        ReportSdlFailure("cannot open the window");
        return false;
    }
    if (m_Mode == WindowMode::Window) {
        // The window's pixel surface (ShowPixels) is plain memory shared with
        // the X server: one drawn through SDL's own renderer would take GL
        // from the game.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SDL_SetWindowMinimumSize(m_Window, kMinimumWidth, kMinimumHeight);
        SetIcon();
        SDL_ShowCursor(SDL_DISABLE);
        SetFullscreen(fullscreen);
        SDL_ShowWindow(m_Window);
    }
    return true;
}

bool SdlWindow::OpenContext()
{
    m_Context = SDL_GL_CreateContext(m_Window);
    if (!m_Context) {
        ReportSdlFailure("OpenGL 3.3 core is not available");
        return false;
    }
    if (SDL_GL_MakeCurrent(m_Window, m_Context) != 0) {
        ReportSdlFailure("cannot use the OpenGL context");
        return false;
    }
    return true;
}

void SdlWindow::SetIcon()
{
    std::vector<uint8_t> pixels = MakeIconPixels();
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kIconSize, kIconSize, 32, kIconSize * 4,
                                                           SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(m_Window, icon);
    SDL_FreeSurface(icon);
}

void SdlWindow::ChooseFramePacing()
{
    m_Vsync = false;
    m_Pace = false;
    if (m_Mode == WindowMode::Offscreen) {
        SDL_GL_SetSwapInterval(0);
        return;
    }
    // The game advances one step per frame, so only a 60 Hz retrace may set
    // the pace; on any other display the frames are paced here.
    SDL_DisplayMode display{};
    int index = SDL_GetWindowDisplayIndex(m_Window);
    bool sixtyHz = index >= 0 && SDL_GetCurrentDisplayMode(index, &display) == 0 &&
                   display.refresh_rate >= kSixtyHzLow && display.refresh_rate <= kSixtyHzHigh;
    if (sixtyHz && SDL_GL_SetSwapInterval(1) == 0) {
        m_Vsync = true;
    } else {
        SDL_GL_SetSwapInterval(0);
        m_Pace = true;
    }
    m_NextFrame = std::chrono::steady_clock::now();
}

void SdlWindow::PaceFrame()
{
    using Clock = std::chrono::steady_clock;
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / kFramesPerSecond));
    const auto now = Clock::now();
    m_NextFrame += period;
    if (m_NextFrame > now) {
        std::this_thread::sleep_until(m_NextFrame);
    } else if (now - m_NextFrame > period) {
        m_NextFrame = now;   // far behind (a stall): carry on from here instead of rushing
    }
}

void SdlWindow::Close()
{
    m_Presenter.Wait();   // the last picture is still on its way into the window
    m_Device.reset();   // its GL objects go while the context is still current
    if (m_Context) {
        KeepGLDriverLoaded();
        SDL_GL_DeleteContext(m_Context);
    }
    m_Context = nullptr;
    if (m_Window) SDL_DestroyWindow(m_Window);
    m_Window = nullptr;
    if (m_Mode == WindowMode::Offscreen) SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    if (m_VideoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // Sound may still use SDL; only the last one out shuts it down.
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
    m_VideoStarted = false;
    m_Vsync = m_Pace = false;
}

void SdlWindow::DrawableSize(int* width, int* height)
{
    *width = *height = 0;
    if (m_Window) SDL_GL_GetDrawableSize(m_Window, width, height);
}

void SdlWindow::SwapBuffers()
{
    if (!m_Window) return;
    m_Presenter.Wait();
    SDL_GL_SwapWindow(m_Window);
    if (m_Pace) PaceFrame();
}

bool SdlWindow::HasPendingEvent()
{
    SDL_PumpEvents();
    KeepRestoredRect();
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE;
}

WindowEvent SdlWindow::NextEvent()
{
    SDL_Event e;
    if (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) return WindowEvent::Other;
    return Handle(e);
}

namespace {

// Events after which the window no longer holds the last picture shown.
bool LosesContents(const SDL_Event& e)
{
    if (e.type != SDL_WINDOWEVENT) return false;
    switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: return true;
        default: return false;
    }
}

}   // namespace

WindowEvent SdlWindow::Handle(const SDL_Event& e)
{
    if (LosesContents(e)) m_Damaged = true;
    if (e.type == SDL_KEYDOWN && IsFullscreenToggle(e.key.keysym.scancode, e.key.keysym.mod, e.key.repeat != 0)) {
        SetFullscreen(!m_Fullscreen);
        return WindowEvent::FullscreenToggled;
    }
    return Classify(e);
}

bool SdlWindow::IsFullscreenToggle(int scancode, int modifiers, bool repeat)
{
    if (repeat) return false;
    if (scancode == SDL_SCANCODE_F11) return true;
    const bool enter = scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER;
    return enter && (modifiers & KMOD_ALT) != 0;
}

void SdlWindow::SetFullscreen(bool fullscreen)
{
    m_Presenter.Wait();   // the window's surface is made anew at the new size
    if (!m_Window || m_Mode != WindowMode::Window) {
        m_Fullscreen = fullscreen && m_Window != nullptr;
        return;
    }
    if (fullscreen == m_Fullscreen) return;
    if (fullscreen)
        EnterFullscreen();
    else
        LeaveFullscreen();
}

// Full screen is the window manager's to do. With none, SDL's request goes
// unanswered: the window would keep its size while SDL takes it for the
// display's, and the picture would be cut off. So the window is first sized
// to the display by hand, which a window manager overrides anyway.
void SdlWindow::EnterFullscreen()
{
    SDL_GetWindowPosition(m_Window, &m_Windowed.x, &m_Windowed.y);
    SDL_GetWindowSize(m_Window, &m_Windowed.w, &m_Windowed.h);
    const int display = SDL_GetWindowDisplayIndex(m_Window);
    SDL_Rect bounds{};
    if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0) {
        SDL_SetWindowPosition(m_Window, bounds.x, bounds.y);
        SDL_SetWindowSize(m_Window, bounds.w, bounds.h);
    }
    if (SDL_SetWindowFullscreen(m_Window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        ReportSdlFailure("cannot switch to full screen");
        RestoreWindowedRect();
        return;
    }
    m_Fullscreen = true;
}

void SdlWindow::LeaveFullscreen()
{
    if (SDL_SetWindowFullscreen(m_Window, 0) != 0) {
        ReportSdlFailure("cannot leave full screen");
        return;
    }
    m_Fullscreen = false;
    RestoreWindowedRect();
    m_RestoreUntilMs = SDL_GetTicks64() + kRestoreWatchMs;
}

void SdlWindow::SetWindowedSize(int width, int height)
{
    if (m_Window || width < kMinimumWidth || height < kMinimumHeight) return;
    m_Windowed.w = width;
    m_Windowed.h = height;
}

void SdlWindow::WindowedSize(int* width, int* height) const
{
    *width = m_Windowed.w;
    *height = m_Windowed.h;
    if (m_Window && !m_Fullscreen && m_Mode == WindowMode::Window) SDL_GetWindowSize(m_Window, width, height);
}

// Back to the size and place the window had before full screen.
void SdlWindow::RestoreWindowedRect()
{
    SDL_SetWindowSize(m_Window, m_Windowed.w, m_Windowed.h);
    SDL_SetWindowPosition(m_Window, m_Windowed.x, m_Windowed.y);
}

void SdlWindow::Position(int* x, int* y) const
{
    *x = *y = 0;
    if (m_Window) SDL_GetWindowPosition(m_Window, x, y);
}

// A window manager puts a frame back round the window only some time after it
// leaves full screen. Until it has, SDL places the window as if it had no
// frame, and the manager then puts the frame there: the window lands a title
// bar's height lower (under openbox, each time). So for a moment after
// leaving, the place and size are put right again whenever they are off.
void SdlWindow::KeepRestoredRect()
{
    if (!m_Window || m_Fullscreen || m_RestoreUntilMs == 0) return;
    if (SDL_GetTicks64() > m_RestoreUntilMs) {
        m_RestoreUntilMs = 0;
        return;
    }
    m_Presenter.Wait();
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(m_Window, &x, &y);
    SDL_GetWindowSize(m_Window, &w, &h);
    if (w != m_Windowed.w || h != m_Windowed.h) SDL_SetWindowSize(m_Window, m_Windowed.w, m_Windowed.h);
    if (x != m_Windowed.x || y != m_Windowed.y) SDL_SetWindowPosition(m_Window, m_Windowed.x, m_Windowed.y);
}

void SdlWindow::RequestClose()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

bool SdlWindow::IsVisible() const
{
    return m_Window && (SDL_GetWindowFlags(m_Window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) == 0;
}

bool SdlWindow::TakeDamage() { return std::exchange(m_Damaged, false); }

// A frame not shown still takes its sixtieth of a second: without the swap
// (and its wait for the retrace) the frames are paced here.
void SdlWindow::SkipFrame()
{
    if (m_Mode == WindowMode::Window) PaceFrame();
}

// The window's own pixel surface (shared memory with the X server) takes the
// picture; GL's back buffer for the window is then never swapped. Frames
// shown this way have no retrace to wait for, so they are paced here.
bool SdlWindow::ShowPixels(const std::vector<uint8_t>& rgbaBottomUp, int width, int height)
{
    if (m_Mode != WindowMode::Window || !m_Window) return false;
    // The surface may be made anew here (after a change of size), so the
    // picture before must be out of it first.
    const bool lastShown = m_Presenter.Wait();
    SDL_Surface* surface = SDL_GetWindowSurface(m_Window);
    if (!surface || surface->format->BytesPerPixel != 4) return false;
    const SDL_PixelFormat& f = *surface->format;
    PixelLayout layout;
    layout.redShift = f.Rshift;
    layout.greenShift = f.Gshift;
    layout.blueShift = f.Bshift;
    layout.alphaMask = f.Amask;
    if (lastShown) {
        m_Presenter.Show(m_Window, surface, rgbaBottomUp, width, height, layout);
    } else if (!m_Presenter.ShowNow(m_Window, surface, rgbaBottomUp, width, height, layout)) {
        // Twice refused: GL shows the frames from here on.
        return false;
    }
    PaceFrame();
    return true;
}

void SdlWindow::Hide()
{
    if (m_Window) SDL_HideWindow(m_Window);
}

void SdlWindow::Show()
{
    if (m_Window) SDL_ShowWindow(m_Window);
}

bool SdlWindow::HasInputFocus() const
{
    return m_Window && (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

}   // namespace plat
