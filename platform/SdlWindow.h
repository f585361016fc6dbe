// SdlWindow is responsible for the game's window, its OpenGL 3.3 core context
// and the device that draws into it, the event queue the frame loop drains,
// and frame pacing. Two modes: a desktop full-screen window (caption
// "Spindrel", window class "Game", hidden cursor) and an offscreen context
// with no display at all (SDL's "offscreen" video driver) for tests and the
// headless runner.
#pragma once

#include <chrono>
#include <memory>

#include "platform/GLRenderDevice.h"

struct SDL_Window;

namespace plat {

enum class WindowMode { Window, Offscreen };

// What one event means to the frame loop.
enum class WindowEvent { Quit, EscapeDown, FocusGained, FocusLost, Other };

class SdlWindow : private GLRenderDevice::Surface {
public:
    SdlWindow();
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // Opens the window (or the offscreen context) and the device. False, with
    // the reason on standard error, when there is no display or no GL 3.3.
    bool Create(WindowMode mode);
    bool IsOpen() const { return m_device != nullptr; }
    WindowMode Mode() const { return m_mode; }

    // The device drawing into this window; only after Create succeeded.
    GLRenderDevice& Device() { return *m_device; }

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
    bool UsesVsync() const { return m_vsync; }
    bool HasInputFocus() const;

private:
    void DrawableSize(int* width, int* height) override;
    void SwapBuffers() override;
    bool OpenWindow();
    bool OpenContext();
    void ChooseFramePacing();
    void PaceFrame();
    void SetIcon();
    void Close();

    WindowMode m_mode = WindowMode::Window;
    bool m_videoStarted = false;
    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;   // SDL_GLContext
    std::unique_ptr<GLRenderDevice> m_device;
    bool m_vsync = false;
    bool m_pace = false;
    std::chrono::steady_clock::time_point m_nextFrame{};
};

}  // namespace plat
