#include "app/CTestCard.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/Graphics.h"

namespace {

constexpr int BAR_WIDTH = 640, BAR_HEIGHT = 480;
constexpr int DISC_SIZE = 128;
constexpr uint32_t BAR_COLORS[8] = {0xffc0c0c0, 0xffc0c000, 0xff00c0c0, 0xff00c000,
                                    0xffc000c0, 0xffc00000, 0xff0000c0, 0xff101010};

void Put(std::vector<uint8_t>& px, int width, int x, int y, uint32_t argb)
{
    uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * 4];
    p[0] = (argb >> 16) & 0xff;
    p[1] = (argb >> 8) & 0xff;
    p[2] = argb & 0xff;
    p[3] = (argb >> 24) & 0xff;
}

std::vector<uint8_t> MakeBars()
{
    std::vector<uint8_t> px(static_cast<size_t>(BAR_WIDTH) * BAR_HEIGHT * 4);
    for (int y = 0; y < BAR_HEIGHT; ++y)
        for (int x = 0; x < BAR_WIDTH; ++x) {
            uint32_t c;
            if (y < BAR_HEIGHT * 2 / 3) {
                c = BAR_COLORS[x * 8 / BAR_WIDTH];
            } else {
                uint32_t g = static_cast<uint32_t>(x * 255 / (BAR_WIDTH - 1));
                c = 0xff000000 | (g << 16) | (g << 8) | g;
            }
            Put(px, BAR_WIDTH, x, y, c);
        }
    return px;
}

// A top seen from above: striped rings with a bright hub, transparent outside.
std::vector<uint8_t> MakeDisc()
{
    std::vector<uint8_t> px(static_cast<size_t>(DISC_SIZE) * DISC_SIZE * 4, 0);
    float r0 = DISC_SIZE / 2.0f;
    for (int y = 0; y < DISC_SIZE; ++y)
        for (int x = 0; x < DISC_SIZE; ++x) {
            float dx = x + 0.5f - r0, dy = y + 0.5f - r0;
            float r = std::sqrt(dx * dx + dy * dy);
            if (r > r0 - 1) continue;
            float a = std::atan2(dy, dx);
            bool stripe = static_cast<int>((a + plat::PI) / (plat::PI / 4)) % 2 == 0;
            uint32_t c = r < 10 ? 0xfff0f0f0 : (stripe ? 0xffe03020 : 0xfff0c030);
            if (r > r0 - 8) c = 0xff606870;
            Put(px, DISC_SIZE, x, y, c);
        }
    return px;
}

}  // namespace

void CTestCard::Init()
{
    auto bars = MakeBars();
    m_bars.LoadPixels(bars.data(), BAR_WIDTH, BAR_HEIGHT, 0);
    auto disc = MakeDisc();
    m_disc.LoadPixels(disc.data(), DISC_SIZE, DISC_SIZE, 0);

    m_barSprite.m_Anchor = 0x09;
    m_barSprite.AttachTexture(&m_bars);
    // The bars picture was stretched to 1024 x 512; draw all of it over the screen.
    m_discSprite.AttachTexture(&m_disc);
}

void CTestCard::Update() { ++m_frame; }

void CTestCard::Draw()
{
    if (!g_Sprite) return;
    g_Sprite->Begin();
    float sx = static_cast<float>(BAR_WIDTH) / m_bars.m_Width;
    float sy = static_cast<float>(BAR_HEIGHT) / m_bars.m_Height;
    m_barSprite.Draw(0, 0, sx, sy, 255);
    m_discSprite.Draw(320, 200, 1.0f, 1.0f, m_frame * 0.1f, 255);
    g_Sprite->End();
}
