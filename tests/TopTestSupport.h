// What the tests of the player's top and its effects share: a real physics
// world over a large flat arena, the camera, input, the registry entries the
// top and its effects look up, a virtual clock that stamps the frame time the
// way the frame loop does, and helpers to place and read the top's bodies.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "audio/CSound.h"
#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "core/Task.h"
#include "core/TaskList.h"
#include "game/CKoma.h"
#include "game/CStage.h"
#include "gfx/CCamera.h"
#include "gfx/CTexture.h"
#include "gfx/CXFile.h"
#include "input/CInput.h"
#include "physics/CODE.h"
#include "platform/Clock.h"
#include "tests/StageTestSupport.h"

namespace toptest {

using stagetest::ScopedCurrentDir;
using stagetest::ScratchDir;
using stagetest::StageEnvironment;

using stagetest::ClickWav;

// A flat square arena, 120 units across at height 1, in grey.
inline std::string FlatArenaX() { return stagetest::SquareArenaX(60.0f, "0.5;0.5;0.5;1.0;;"); }

class TopWorld {
public:
    static constexpr uint32_t START_MS = 100000;

    TopWorld() : cd(MakeFiles(dir)), clock(START_MS)
    {
        plat::SetClock(&clock);
        g_FrameTime = START_MS;
        g_StageIndex = 0;
        for (const char* key : {"XTop", "XTopAlpha", "XEffectAura", "XEffectAirWall", "XRale", "XRaleRoll", "XSt1Enemy"})
            AddResource(key, new CXFile("X/Mesh.x"));
        for (const char* key : {"spark1BMP", "spark2BMP", "Tarbo1BMP", "Item1BMP", "InterfaceBMP"}) {
            auto* t = new CTexture;
            std::vector<uint8_t> pixels(64 * 64 * 4, 255);
            t->LoadPixels(pixels.data(), 64, 64, 0);
            AddResource(key, t);
        }
        for (const char* key : {"KomaAxisSE", "KomaSpinSE", "KomaAtackSE", "KomaHitSE", "TubazeriSE"})
            AddResource(key, new CSound("sound/Click.wav"));

        AddTask(PRIORITY_CODE, new CODE, CODE_TASK_NAME);
        AddTask(PRIORITY_INPUT, new CInput, INPUT_TASK_NAME);
        camera = new CCamera;
        AddTask(PRIORITY_CAMERA, camera, CAMERA_TASK_NAME);
        camera->m_Eye = {0, 22, -36};
        camera->m_Target = {0, 4, 1};
        stage = new CStage;
        AddTask(PRIORITY_STAGE, stage, STAGE_TASK_NAME);
    }

    ~TopWorld()
    {
        env.reset();
        plat::SetClock(nullptr);
    }

    TopWorld(const TopWorld&) = delete;
    TopWorld& operator=(const TopWorld&) = delete;

    CKoma* AddTop(plat::Vec3 force = {0, 0, 0}, int spin = 130)
    {
        auto* top = new CKoma(force, spin);
        AddTask(PRIORITY_KOMA, top, KOMA_TASK_NAME);
        return top;
    }

    // One frame as the loop runs it: update pass, draw pass, then the frame
    // time stamped after the present.
    void Frame()
    {
        UpdatePass();
        DrawPass();
        clock.AdvanceFrame();
        g_FrameTime = plat::NowMs();
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }

    void Key(int code, bool down) { env->keys.SetKey(code, down); }
    void FreezePhysics(bool frozen) { SetUpdateStop(CODE_TASK_NAME, frozen); }

    // Puts both bodies of the top upright with the disc's centre at p, at rest.
    static void Place(CKomaBase* top, plat::Vec3 p, float spin)
    {
        dMatrix3 upright;
        dRFromAxisAndAngle(upright, 1, 0, 0, plat::PI / 2);
        for (dBodyID b : {top->m_Disc.body, top->m_Shaft.body}) {
            dBodySetRotation(b, upright);
            dBodySetLinearVel(b, 0, 0, 0);
            dBodySetAngularVel(b, 0, 0, 0);
        }
        dBodySetPosition(top->m_Disc.body, p.x, p.y, p.z);
        dBodySetPosition(top->m_Shaft.body, p.x, p.y - 0.6, p.z);
        dBodySetAngularVel(top->m_Disc.body, 0, spin, 0);
    }

    static plat::Vec3 Force(const CKomaBase* top)
    {
        const dReal* f = dBodyGetForce(top->m_Disc.body);
        return {static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2])};
    }

    ScratchDir dir;
    std::unique_ptr<ScopedCurrentDir> cd;
    std::unique_ptr<StageEnvironment> env = std::make_unique<StageEnvironment>();
    plat::VirtualClock clock;
    CCamera* camera = nullptr;
    CStage* stage = nullptr;

private:
    static std::unique_ptr<ScopedCurrentDir> MakeFiles(const ScratchDir& d)
    {
        d.Write("X/stage_1.x", FlatArenaX());
        d.Write("X/Mesh.x", FlatArenaX());
        d.Write("sound/Click.wav", ClickWav());
        return std::make_unique<ScopedCurrentDir>(d.Path());
    }

    // Resources live in the list at -1 like the loader's, without drawing themselves.
    static void AddResource(const char* key, CGameObject* object)
    {
        AddTask(PRIORITY_RESOURCE, object, key);
        RegisterResource(key, object);
        SetDrawStop(key);
    }
};

}  // namespace toptest
