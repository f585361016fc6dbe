#include "platform/sdl/WindowPresenter.h"

#include <SDL.h>

namespace plat {

WindowPresenter::~WindowPresenter()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Stopping = true;
    }
    m_Changed.notify_all();
    if (m_Thread.joinable()) m_Thread.join();
}

void WindowPresenter::Show(SDL_Window* window, SDL_Surface* surface, const std::vector<uint8_t>& rgbaBottomUp,
                           int width, int height, const PixelLayout& layout)
{
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Changed.wait(lock, [this] { return !m_Pending; });
        m_Picture.assign(rgbaBottomUp.begin(), rgbaBottomUp.end());
        m_Job = {window, surface, width, height, layout};
        m_Pending = true;
    }
    if (!m_Thread.joinable()) m_Thread = std::thread(&WindowPresenter::Run, this);
    m_Changed.notify_all();
}

bool WindowPresenter::ShowNow(SDL_Window* window, SDL_Surface* surface, const std::vector<uint8_t>& rgbaBottomUp,
                              int width, int height, const PixelLayout& layout)
{
    Wait();
    return Put({window, surface, width, height, layout}, rgbaBottomUp);
}

bool WindowPresenter::Wait()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Changed.wait(lock, [this] { return !m_Pending; });
    return m_LastShown;
}

void WindowPresenter::Run()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Changed.wait(lock, [this] { return m_Pending || m_Stopping; });
        if (m_Stopping) return;
        // The picture and the job are not touched by anyone else until the
        // picture is marked shown.
        const Job job = m_Job;
        lock.unlock();
        const bool shown = Put(job, m_Picture);
        lock.lock();
        m_LastShown = shown;
        m_Pending = false;
        m_Changed.notify_all();
    }
}

bool WindowPresenter::Put(const Job& job, const std::vector<uint8_t>& picture)
{
    SDL_Surface* surface = job.surface;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    m_Scaler.Put(picture, job.width, job.height, static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                 static_cast<size_t>(surface->pitch), job.layout);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return SDL_UpdateWindowSurface(job.window) == 0;
}

}   // namespace plat
