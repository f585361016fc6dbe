// Draw submission through the OpenGL device on an offscreen context: a frame
// of interface sprites in several flushes and a frame of particle bursts
// streamed through the shared buffer. Software rendering dominates on
// machines without a GPU, so read these as a guard against submission
// overhead growing, not as the game's frame rate.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/SpriteBatch.h"
#include "platform/Texture.h"
#include "platform/gl/GLRenderDevice.h"
#include "platform/sdl/SdlWindow.h"

namespace {

constexpr int kSpritesPerFrame = 300;
constexpr int kSpritesPerFlush = 20;
constexpr int kParticlesPerFrame = 1800;   // two 900-particle bursts

plat::SdlWindow* Window()
{
    static std::unique_ptr<plat::SdlWindow> window = [] {
        auto w = std::make_unique<plat::SdlWindow>();
        if (!w->Create(plat::WindowMode::Offscreen)) w.reset();
        return w;
    }();
    return window.get();
}

std::unique_ptr<plat::Texture> SheetTexture()
{
    std::vector<uint8_t> rgba(64 * 64 * 4, 200);
    auto t = std::make_unique<plat::Texture>();
    t->LoadFromPixels(rgba.data(), 64, 64, 0);
    return t;
}

// The offscreen device with its default states, or null (and the benchmark
// skipped) where no OpenGL context can be had.
plat::GLRenderDevice* FreshDevice(benchmark::State& state)
{
    plat::SdlWindow* window = Window();
    if (!window) {
        state.SkipWithError("no offscreen OpenGL context");
        return nullptr;
    }
    window->Device().RestoreState(plat::DeviceState{});
    return &window->Device();
}

void BM_SpriteFrame(benchmark::State& state)
{
    plat::GLRenderDevice* fresh = FreshDevice(state);
    if (!fresh) return;
    plat::GLRenderDevice& device = *fresh;
    auto sheet = SheetTexture();
    plat::SpriteBatch sprite(device);
    for (auto _ : state) {
        device.BeginScene();
        device.Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, 0xff000000, 1.0f);
        sprite.Begin();
        for (int i = 0; i < kSpritesPerFrame; ++i) {
            float x = static_cast<float>(i * 7 % 600), y = static_cast<float>(i * 13 % 440);
            sprite.SetTransform(plat::Translation(x, y, 0));
            sprite.Draw(sheet.get(), {0, 0, 16, 16}, 0xffffffff);
            if (i % kSpritesPerFlush == kSpritesPerFlush - 1) sprite.Flush();
        }
        sprite.End();
        device.EndScene();
        benchmark::DoNotOptimize(device.ReadBackBuffer().data());   // waits for the GPU to finish
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerFrame);
}
BENCHMARK(BM_SpriteFrame)->Unit(benchmark::kMillisecond);

void BM_ParticleFrame(benchmark::State& state)
{
    plat::GLRenderDevice* fresh = FreshDevice(state);
    if (!fresh) return;
    plat::GLRenderDevice& device = *fresh;
    device.SetTransform(plat::TransformKind::View, plat::LookAtLH({0, 20, -40}, {0, 0, 0}, {0, 1, 0}));
    device.SetTransform(plat::TransformKind::Projection,
                        plat::PerspectiveFovLH(plat::PI / 4, 640.0f / 480.0f, 1.0f, 5000.0f));
    plat::RenderStates& rs = device.States();
    rs.pointSprite = rs.pointScale = true;
    rs.lighting = false;
    rs.alphaBlend = true;
    rs.srcBlend = plat::Blend::SrcAlpha;
    rs.destBlend = plat::Blend::One;
    rs.zWrite = false;
    auto spark = SheetTexture();
    device.SetTexture(spark.get());
    std::vector<plat::PointVertex> points(kParticlesPerFrame);
    for (int i = 0; i < kParticlesPerFrame; ++i) {
        float a = i * 0.37f;
        points[i].position = {std::cos(a) * (i % 30), 2.0f + (i % 7), std::sin(a) * (i % 30)};
        points[i].size = 0.3f;
    }
    for (auto _ : state) {
        device.BeginScene();
        device.Clear(plat::CLEAR_TARGET | plat::CLEAR_ZBUFFER, 0xff000000, 1.0f);
        device.DrawPoints(points.data(), kParticlesPerFrame / 2);
        device.DrawPoints(points.data() + kParticlesPerFrame / 2, kParticlesPerFrame / 2);
        device.EndScene();
        benchmark::DoNotOptimize(device.ReadBackBuffer().data());
    }
    device.SetTexture(nullptr);
    state.SetItemsProcessed(state.iterations() * kParticlesPerFrame);
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMillisecond);

}   // namespace
