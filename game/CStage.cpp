#include "game/CStage.h"

#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "game/StageMeshReader.h"
#include "gfx/CXFile.h"
#include "gfx/Graphics.h"
#include "physics/CODE.h"

namespace {

constexpr const char* BACKGROUND_KEY = "XSpace";

// Straight down, white diffuse and specular, nothing else.
plat::Light StageLight()
{
    plat::Light light;
    light.enabled = true;
    light.direction = {0, -1, 0};
    light.diffuse = {1, 1, 1, 0};
    light.specular = {1, 1, 1, 0};
    light.ambient = {0, 0, 0, 0};
    return light;
}

}  // namespace

std::string CStage::StageMeshPath(int stageIndex)
{
    return "X/stage_" + std::to_string(stageIndex + 1) + ".x";
}

std::string CStage::StageMeshKey(int stageIndex)
{
    return "XStage" + std::to_string(stageIndex + 1);
}

void CStage::Init()
{
    // The meshes to draw and the physics task.
    m_StageMesh = FindResource<CXFile>(StageMeshKey(g_StageIndex).c_str());
    m_Background = FindResource<CXFile>(BACKGROUND_KEY);
    m_Code = FindTask(CODE_TASK_NAME);

    // The arena's collision triangles, static at the origin.
    m_arena.Build(ReadStageMesh(StageMeshPath(g_StageIndex).c_str(), STAGE_MESH_SCALE));

    // The stage light.
    SetUpLight();
}

void CStage::SetUpLight()
{
    if (!g_Device) return;
    g_Device->SetSpecular(true);
    g_Device->SetLight(StageLight());
}

void CStage::Draw()
{
    if (!g_Device) return;
    // Alpha blending, unlit.
    g_Device->SetBlend(plat::Blend::SrcAlpha, plat::Blend::InvSrcAlpha);
    g_Device->SetAlphaBlend(true);
    g_Device->SetLighting(false);

    // The background around everything.
    g_Device->SetTransform(plat::TransformKind::World,
                           plat::Scaling(BACKGROUND_SCALE, BACKGROUND_SCALE, BACKGROUND_SCALE));
    if (m_Background) m_Background->Draw();

    // The arena, lit.
    g_Device->SetLighting(true);
    g_Device->SetTransform(plat::TransformKind::World, plat::Mat4::Identity());
    if (m_StageMesh) m_StageMesh->Draw();
}
