// WindowPresenter is responsible for putting the game's picture into a
// window's pixel surface and sending it to the display server. That takes a
// few milliseconds a frame (scaling to the window, then the server's copy),
// which a frame on time sleeps through anyway but a frame running late would
// add to the next one: so it is done on a thread of its own while the game
// goes on with its next frame. The window's surface stays valid meanwhile
// because everything that may make it anew (the next picture, a change of
// size or of full screen, closing) waits for the picture before.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/PictureScaler.h"

struct SDL_Window;
struct SDL_Surface;

namespace plat {

class WindowPresenter {
public:
    WindowPresenter() = default;
    ~WindowPresenter();
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    // Starts showing a copy of the picture in the window through its surface,
    // and returns once the picture before is out and the copy is made.
    void Show(SDL_Window* window, SDL_Surface* surface, const std::vector<uint8_t>& rgbaBottomUp, int width,
              int height, const PixelLayout& layout);
    // The same on the calling thread; true when the picture got to the window.
    bool ShowNow(SDL_Window* window, SDL_Surface* surface, const std::vector<uint8_t>& rgbaBottomUp, int width,
                 int height, const PixelLayout& layout);
    // Waits until the last picture is in the window; false when it could not
    // be sent there.
    bool Wait();

private:
    struct Job {
        SDL_Window* window = nullptr;
        SDL_Surface* surface = nullptr;
        int width = 0, height = 0;
        PixelLayout layout;
    };
    void Run();
    bool Put(const Job& job, const std::vector<uint8_t>& picture);

    PictureScaler m_Scaler;
    std::vector<uint8_t> m_Picture;   // the copy the thread shows
    Job m_Job;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Pending = false;   // a picture is on its way
    bool m_LastShown = true;
    bool m_Stopping = false;
    std::thread m_Thread;   // started with the first picture
};

}   // namespace plat
