// The window's pictures go into its pixel surface on a thread of their own.
// Once waited for, the surface holds the last picture given, scaled into it,
// whatever the caller did with its own buffer meanwhile. Uses SDL's offscreen
// video driver, whose windows have plain pixel surfaces and no display.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/RenderDevice.h"
#include "platform/sdl/WindowPresenter.h"

namespace {

class WindowPresenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        // As the game's window: the surface is the window's own memory, never
        // a texture drawn by SDL's renderer (whose GL context is the main thread's).
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        m_Started = true;
        window = SDL_CreateWindow("presenter", 0, 0, 2 * plat::BACK_BUFFER_WIDTH, 2 * plat::BACK_BUFFER_HEIGHT, 0);
        surface = window ? SDL_GetWindowSurface(window) : nullptr;
        if (!surface || surface->format->BytesPerPixel != 4) return;
        layout.redShift = surface->format->Rshift;
        layout.greenShift = surface->format->Gshift;
        layout.blueShift = surface->format->Bshift;
        layout.alphaMask = surface->format->Amask;
    }

    void TearDown() override
    {
        if (window) SDL_DestroyWindow(window);
        if (m_Started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    }

    // The colour of the surface's pixel (x, y) as red, green and blue in one word.
    uint32_t SurfaceRgb(int x, int y) const
    {
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
        auto channel = [pixel](int shift) { return (pixel >> shift) & 0xffu; };
        return (channel(layout.redShift) << 16) | (channel(layout.greenShift) << 8) | channel(layout.blueShift);
    }

    static std::vector<uint8_t> Picture(uint32_t rgb)
    {
        std::vector<uint8_t> picture(size_t{plat::BACK_BUFFER_WIDTH} * plat::BACK_BUFFER_HEIGHT * 4);
        for (size_t i = 0; i < picture.size(); i += 4) {
            picture[i] = static_cast<uint8_t>(rgb >> 16);
            picture[i + 1] = static_cast<uint8_t>(rgb >> 8);
            picture[i + 2] = static_cast<uint8_t>(rgb);
            picture[i + 3] = 255;
        }
        return picture;
    }

    SDL_Window* window = nullptr;
    SDL_Surface* surface = nullptr;
    plat::PixelLayout layout;

private:
    bool m_Started = false;
};

TEST_F(WindowPresenterTest, TheSurfaceHoldsTheLastPictureWhateverTheCallerDidWithItsBuffer)
{
    if (!surface || surface->format->BytesPerPixel != 4) GTEST_SKIP() << "no offscreen window surface";
    plat::WindowPresenter presenter;
    std::vector<uint8_t> picture;
    uint32_t last = 0;
    for (uint32_t round = 1; round <= 12; ++round) {
        last = 0x102030u * round;
        picture = Picture(last);
        presenter.Show(window, surface, picture, plat::BACK_BUFFER_WIDTH, plat::BACK_BUFFER_HEIGHT, layout);
        // The caller's buffer is its own again at once: the next frame is read into it.
        std::fill(picture.begin(), picture.end(), uint8_t{0});
    }
    ASSERT_TRUE(presenter.Wait());
    for (auto [x, y] : {std::pair{0, 0}, std::pair{surface->w / 2, surface->h / 2}, std::pair{surface->w - 1, surface->h - 1}})
        EXPECT_EQ(SurfaceRgb(x, y), last) << "at " << x << ", " << y;
    // Shown on the calling thread, after a picture still on its way, the same holds.
    presenter.Show(window, surface, Picture(0x0a0b0c), plat::BACK_BUFFER_WIDTH, plat::BACK_BUFFER_HEIGHT, layout);
    ASSERT_TRUE(presenter.ShowNow(window, surface, Picture(0xc0ffee), plat::BACK_BUFFER_WIDTH,
                                  plat::BACK_BUFFER_HEIGHT, layout));
    EXPECT_EQ(SurfaceRgb(surface->w / 2, surface->h / 2), 0xc0ffeeu);
}

}   // namespace
