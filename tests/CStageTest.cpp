#include <gtest/gtest.h>

#include "core/Globals.h"
#include "game/CStage.h"
#include "gfx/CXFile.h"
#include "physics/CODE.h"
#include "physics/ProbeShape.h"
#include "tests/StageTestSupport.h"

using namespace stagetest;

namespace {

// A dome stand-in for the background: one triangle with its own material.
std::string BackgroundX()
{
    return "xof 0302txt 0032\n"
           "Mesh {\n3;\n0.0;0.0;40.0;,\n40.0;0.0;0.0;,\n0.0;40.0;0.0;;\n\n1;\n3;0,1,2;;\n"
           "MeshMaterialList {\n1;\n1;\n0;;\n"
           "Material {\n0.1;0.1;0.3;1.0;;\n1.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n}\n}\n";
}

class CStageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_StageIndex = 0;
        dir.Write("X/stage_1.x", SquareArenaX());
        dir.Write("X/stage_3.x", SquareArenaX());
        dir.Write("X/space.x", BackgroundX());
        cd = std::make_unique<ScopedCurrentDir>(dir.Path());
    }
    void TearDown() override
    {
        env.reset();
        cd.reset();
        g_StageIndex = 0;
    }

    // The resources and tasks the loader would have handed over.
    CStage* StartStage(int stageIndex)
    {
        g_StageIndex = stageIndex;
        stageMesh = new CXFile(CStage::StageMeshPath(stageIndex));
        background = new CXFile("X/space.x");
        AddTask(PRIORITY_RESOURCE, stageMesh, CStage::StageMeshKey(stageIndex).c_str());
        AddTask(PRIORITY_RESOURCE, background, "XSpace");
        RegisterResource(CStage::StageMeshKey(stageIndex).c_str(), stageMesh);
        RegisterResource("XSpace", background);
        AddTask(PRIORITY_CODE, new CODE, CODE_TASK_NAME);
        auto* stage = new CStage;
        AddTask(PRIORITY_STAGE, stage, STAGE_TASK_NAME);
        return stage;
    }

    // Whether a ball of radius 1 centred at (x, y, z) touches the arena.
    static bool BallTouches(Geom arena, float x, float y, float z)
    {
        ProbeShape ball = ProbeShape::Sphere(1.0);
        ball.MoveTo(x, y, z);
        return ball.Shape().Touches(arena);
    }

    ScratchDir dir;
    std::unique_ptr<ScopedCurrentDir> cd;
    std::unique_ptr<StageEnvironment> env = std::make_unique<StageEnvironment>();
    CXFile* stageMesh = nullptr;
    CXFile* background = nullptr;
};

TEST_F(CStageTest, ArenaIsAStaticTriangleMeshOfTheStageFile)
{
    CStage* stage = StartStage(0);
    Geom arena = stage->ArenaGeom();
    ASSERT_TRUE(arena);
    EXPECT_TRUE(arena.IsTriangleMesh());
    EXPECT_FALSE(arena.AttachedBody());
    EXPECT_TRUE(arena.IsInCurrentSpace());
    const double* pos = arena.Position();
    EXPECT_EQ(pos[0], 0);
    EXPECT_EQ(pos[1], 0);
    EXPECT_EQ(pos[2], 0);
    // The square lies at height 1 between -10 and 10.
    EXPECT_TRUE(BallTouches(arena, 0, 1.5f, 0));
    EXPECT_TRUE(BallTouches(arena, 9, 1.6f, -9));
    EXPECT_FALSE(BallTouches(arena, 0, 3, 0));
    EXPECT_FALSE(BallTouches(arena, 15, 1, 0));
    EXPECT_EQ(stage->m_StageMesh, stageMesh);
    EXPECT_EQ(stage->m_Background, background);
    EXPECT_EQ(stage->m_Code, FindTask("CODE"));
}

TEST_F(CStageTest, TheStageIndexPicksFileAndKey)
{
    EXPECT_EQ(CStage::StageMeshPath(2), "X/stage_3.x");
    EXPECT_EQ(CStage::StageMeshKey(4), "XStage5");
    CStage* stage = StartStage(2);
    EXPECT_EQ(stage->m_StageMesh, stageMesh);
    EXPECT_TRUE(BallTouches(stage->ArenaGeom(), 0, 1.5f, 0));
}

TEST_F(CStageTest, MissingStageFileLeavesTheArenaAbsentNotBroken)
{
    CStage* stage = StartStage(1);   // there is no X/stage_2.x
    ASSERT_TRUE(stage->ArenaGeom());
    EXPECT_FALSE(BallTouches(stage->ArenaGeom(), 0, 0, 0));
    env->Frame();   // the world steps and the stage draws without it
    env->Frame();
}

TEST_F(CStageTest, LightPointsStraightDownWithSpecularHighlights)
{
    StartStage(0);
    const plat::DeviceState& s = env->device.State();
    EXPECT_TRUE(s.light.enabled);
    EXPECT_EQ(s.light.direction.x, 0);
    EXPECT_EQ(s.light.direction.y, -1);
    EXPECT_EQ(s.light.direction.z, 0);
    EXPECT_EQ(s.light.diffuse.r, 1);
    EXPECT_EQ(s.light.diffuse.a, 0);
    EXPECT_EQ(s.light.specular.g, 1);
    EXPECT_EQ(s.light.specular.a, 0);
    EXPECT_EQ(s.light.ambient.r, 0);
    EXPECT_TRUE(s.rs.specular);
}

// The usual order, which an arena that lets the background show through keeps.
TEST_F(CStageTest, BackgroundUnlitAtScale100ThenArenaLitInPlace)
{
    CStage* stage = StartStage(0);
    stage->SetOpaqueArenaFirst(false);
    env->device.ClearCalls();
    stage->Draw();
    std::vector<const plat::RecordingDevice::Call*> draws;
    for (const auto& call : env->device.Calls())
        if (call.kind == plat::RecordingDevice::CallKind::DrawSubset) draws.push_back(&call);
    ASSERT_EQ(draws.size(), 2u);

    const auto& sky = *draws[0];
    EXPECT_EQ(sky.mesh, background->GetMesh());
    EXPECT_FALSE(sky.state.rs.lighting);
    EXPECT_TRUE(sky.state.rs.alphaBlend);
    EXPECT_EQ(sky.state.rs.srcBlend, plat::Blend::SrcAlpha);
    EXPECT_EQ(sky.state.rs.destBlend, plat::Blend::InvSrcAlpha);
    EXPECT_EQ(sky.state.world.m[0][0], 100);
    EXPECT_EQ(sky.state.world.m[1][1], 100);
    EXPECT_EQ(sky.state.world.m[2][2], 100);
    EXPECT_EQ(sky.state.material.diffuse.b, 0.3f);

    const auto& arena = *draws[1];
    EXPECT_EQ(arena.mesh, stageMesh->GetMesh());
    EXPECT_TRUE(arena.state.rs.lighting);
    EXPECT_EQ(arena.state.world.m[0][0], 1);
    EXPECT_EQ(arena.state.world.m[3][1], 0);
    EXPECT_EQ(arena.state.material.diffuse.g, 0.5f);
}

// The stage meshes drawn by one Draw, in order.
std::vector<const plat::Mesh*> DrawnMeshes(const plat::RecordingDevice& device)
{
    std::vector<const plat::Mesh*> meshes;
    for (const auto& call : device.Calls())
        if (call.kind == plat::RecordingDevice::CallKind::DrawSubset) meshes.push_back(call.mesh);
    return meshes;
}

TEST_F(CStageTest, OpaqueArenaGoesFirstWithItsOwnStatesAndLeavesTheUsualOnes)
{
    CStage* stage = StartStage(0);
    env->device.ClearCalls();
    stage->Draw();
    ASSERT_EQ(DrawnMeshes(env->device), (std::vector<const plat::Mesh*>{stageMesh->GetMesh(), background->GetMesh()}));
    const auto& calls = env->device.Calls();
    const auto& arena = calls[calls.size() - 2].state;
    const auto& sky = calls.back().state;
    EXPECT_TRUE(arena.rs.lighting);
    EXPECT_EQ(arena.world.m[0][0], 1);
    EXPECT_FALSE(sky.rs.lighting);
    EXPECT_EQ(sky.world.m[1][1], 100);
    EXPECT_EQ(sky.rs.srcBlend, plat::Blend::SrcAlpha);
    // What follows sees what the usual order leaves: lit, at the origin.
    EXPECT_TRUE(g_Device->States().lighting);
    EXPECT_EQ(g_Device->GetTransform(plat::TransformKind::World).m[0][0], 1);
}

TEST_F(CStageTest, BackgroundStaysFirstBehindASeeThroughArena)
{
    // An arena the background shows through.
    dir.Write("X/stage_2.x", SquareArenaX(10.0f, "1.0;0.5;0.25;0.5;;"));
    CStage* stage = StartStage(1);
    EXPECT_FALSE(stage->DrawsArenaFirst());
    env->device.ClearCalls();
    stage->Draw();
    EXPECT_EQ(DrawnMeshes(env->device), (std::vector<const plat::Mesh*>{background->GetMesh(), stageMesh->GetMesh()}));
}

TEST_F(CStageTest, BackgroundStaysFirstUnlessTheDepthTestKeepsTheNearerSurface)
{
    CStage* opaque = StartStage(0);
    ASSERT_TRUE(opaque->DrawsArenaFirst());
    g_Device->States().zFunc = plat::CompareFunc::Greater;
    EXPECT_FALSE(opaque->DrawsArenaFirst());
    g_Device->States().zFunc = plat::CompareFunc::LessEqual;
    g_Device->States().zWrite = false;
    EXPECT_FALSE(opaque->DrawsArenaFirst());
    g_Device->States().zWrite = true;
    g_Device->States().zEnable = false;
    EXPECT_FALSE(opaque->DrawsArenaFirst());
}

TEST_F(CStageTest, ArenaGoesBeforeItsWorldWithoutHarm)
{
    StartStage(0);
    // The stage is cleared before the world (lower priority first), and a
    // world destroyed first must not leave the stage a dangling geometry.
    ClearTasks();
    EXPECT_EQ(g_World, nullptr);
    StartStage(0);
    RemoveTask(FindTask("CODE"));
    RemoveTask(FindTask("CStage"));
}

}   // namespace
