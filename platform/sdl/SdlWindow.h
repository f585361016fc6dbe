// SdlWindow is responsible for the game's window, its OpenGL 3.3 core context
// and the device that draws into it, the event queue the frame loop drains,
// and frame pacing. Two modes: a window on the display (caption "Spindrel",
// window class "spindrel", hidden cursor), either desktop full screen or a
// resizable window, and an offscreen context with no display at all (SDL's
// "offscreen" video driver) for tests and the headless runner. F11 and
// Alt+Enter switch a window between full screen and windowed at any time;
// the picture is letterboxed into whatever size the window has.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "platform/PictureScaler.h"
#include "platform/sdl/WindowPresenter.h"
#include "platform/gl/GLRenderDevice.h"

struct SDL_Window;
union SDL_Event;

namespace plat {

enum class WindowMode { Window, Offscreen };

// What one event means to the frame loop. EscapeDown also stands for a game
// controller's back button; FullscreenToggled has already been acted on.
enum class WindowEvent { Quit, EscapeDown, FocusGained, FocusLost, FullscreenToggled, Other };

// The size of the window when it is not full screen, at first.
constexpr int WINDOWED_WIDTH = 1280;
constexpr int WINDOWED_HEIGHT = 960;

// The first size of a window on a display whose usable area is as given:
// 1280 x 960 where that fits within nine tenths of it, else the largest 4:3
// size that does (never below half the game's picture).
void FitWindowSize(int usableWidth, int usableHeight, int* width, int* height);

class SdlWindow : private GLRenderDevice::Surface {
public:
    SdlWindow();
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // Opens the window (or the offscreen context) and the device, full screen
    // or windowed. False, with the reason on standard error, when there is no
    // display or no GL 3.3.
    bool Create(WindowMode mode, bool fullscreen = true);
    bool IsOpen() const { return m_Device != nullptr; }
    WindowMode Mode() const { return m_Mode; }

    // The device drawing into this window; only after Create succeeded.
    GLRenderDevice& Device() { return *m_Device; }

    // Collects the system's events and tells whether one is waiting.
    bool HasPendingEvent();
    // Removes exactly one waiting event and says what it means (Other when
    // none was waiting).
    WindowEvent NextEvent();
    // Queues a close request, as the window manager's close button does.
    void RequestClose();

    // True when Present waits for a 60 Hz vertical retrace; otherwise Present
    // sleeps to hold 60 frames a second (a window) or does not wait at all
    // (offscreen).
    bool UsesVsync() const { return m_Vsync; }
    bool HasInputFocus() const;
    // Hides the window and shows it again, as a window manager does when it
    // is minimised to another desktop; while hidden nothing is drawn.
    void Hide();
    void Show();

    // Full screen on the window's display, or back to a resizable window of
    // the size it had before.
    void SetFullscreen(bool fullscreen);
    bool IsFullscreen() const { return m_Fullscreen; }
    // The windowed size to open with (before Create; still fitted on the
    // display), and the size the window has or returns to out of full screen.
    void SetWindowedSize(int width, int height);
    void WindowedSize(int* width, int* height) const;
    // The size the window's picture is drawn into, in pixels.
    void PixelSize(int* width, int* height) { DrawableSize(width, height); }
    // Where the window's inside (below any frame) is on the desktop.
    void Position(int* x, int* y) const;

    // True for the key presses that switch full screen: F11, or Enter with Alt
    // held; auto-repeats of a held key do not count.
    static bool IsFullscreenToggle(int scancode, int modifiers, bool repeat);

private:
    void DrawableSize(int* width, int* height) override;
    void SwapBuffers() override;
    bool IsShown() const override { return m_Mode == WindowMode::Window; }
    bool IsVisible() const override;
    bool TakeDamage() override;
    void SkipFrame() override;
    bool ShowPixels(const std::vector<uint8_t>& rgbaBottomUp, int width, int height) override;
    void FinishShowing() override { m_Presenter.Wait(); }
    bool OpenWindow(bool fullscreen);
    bool OpenContext();
    void ChooseFramePacing();
    void PaceFrame();
    void SetIcon();
    void Close();
    WindowEvent Handle(const SDL_Event& e);
    void EnterFullscreen();
    void LeaveFullscreen();
    void RestoreWindowedRect();
    void KeepRestoredRect();

    WindowMode m_Mode = WindowMode::Window;
    bool m_VideoStarted = false;
    SDL_Window* m_Window = nullptr;
    void* m_Context = nullptr;   // SDL_GLContext
    std::unique_ptr<GLRenderDevice> m_Device;
    bool m_Fullscreen = false;
    // Where the window was and how large before it went full screen.
    struct {
        int x = 0, y = 0, w = WINDOWED_WIDTH, h = WINDOWED_HEIGHT;
    } m_Windowed;
    uint64_t m_RestoreUntilMs = 0;   // SDL ticks until which the windowed place is held; 0: not held
    bool m_Vsync = false;
    bool m_Pace = false;
    WindowPresenter m_Presenter;   // pictures shown as pixels, without GL
    bool m_Damaged = false;   // the window's contents were lost since the last frame shown
    std::chrono::steady_clock::time_point m_NextFrame{};
};

}   // namespace plat
