#include "game/CStage.h"

#include "core/Globals.h"
#include "core/ResourceRegistry.h"
#include "game/StageMeshReader.h"
#include "gfx/CXFile.h"
#include "gfx/Render.h"
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

}   // namespace

std::string CStage::StageMeshPath(int stageIndex) { return "X/stage_" + std::to_string(stageIndex + 1) + ".x"; }

std::string CStage::StageMeshKey(int stageIndex) { return "XStage" + std::to_string(stageIndex + 1); }

void CStage::Init()
{
    // The meshes to draw and the physics task.
    m_StageMesh = FindResource<CXFile>(StageMeshKey(g_StageIndex).c_str());
    m_Background = FindResource<CXFile>(BACKGROUND_KEY);
    m_Code = FindTask(CODE_TASK_NAME);
    m_ArenaOpaque = m_StageMesh && m_StageMesh->IsOpaque();

    // The arena's collision triangles, static at the origin.
    m_Arena.Build(ReadStageMesh(StageMeshPath(g_StageIndex).c_str(), STAGE_MESH_SCALE));

    // The stage light.
    SetUpLight();
}

void CStage::SetUpLight() { gfx::SetSceneLight(StageLight()); }

bool CStage::DrawsArenaFirst() const
{
    if (!m_OpaqueArenaFirst || !m_ArenaOpaque) return false;
    // Only a depth test that keeps the nearer surface makes the order of two
    // opaque meshes invisible.
    return gfx::DepthTestKeepsNearer();
}

void CStage::Draw()
{
    if (!gfx::CanDraw()) return;
    // Alpha blending for both.
    gfx::UseAlphaBlending();
    if (DrawsArenaFirst()) {
        DrawArena();
        DrawBackground();
        // Leave the states as the usual order does: lit, at the origin.
        gfx::SetLighting(true);
        gfx::SetWorld(plat::Mat4::Identity());
    } else {
        DrawBackground();
        DrawArena();
    }
}

void CStage::DrawBackground()
{
    // The background around everything, unlit.
    gfx::SetLighting(false);
    gfx::DrawMesh(m_Background, plat::Scaling(BACKGROUND_SCALE, BACKGROUND_SCALE, BACKGROUND_SCALE));
}

void CStage::DrawArena()
{
    // The arena, lit.
    gfx::SetLighting(true);
    gfx::DrawMesh(m_StageMesh, plat::Mat4::Identity());
}
