// CStage is responsible for the arena of the running stage: it builds the
// arena's collision triangles from the stage's X file into the physics space,
// sets up the stage light, and draws the background and the arena each frame.
#pragma once

#include <cstdint>
#include <string>

#include "core/Task.h"
#include "game/ArenaCollision.h"

class CXFile;

constexpr int32_t PRIORITY_STAGE = 3000;
constexpr const char* STAGE_TASK_NAME = "CStage";

class CStage : public CGameObject {
public:
    static constexpr float BACKGROUND_SCALE = 100.0f;   // the star dome is drawn from inside
    static constexpr float STAGE_MESH_SCALE = 1.0f;

    CStage() = default;
    ~CStage() override = default;

    void Init() override;
    void Draw() override;

    // The arena's geometry (no body, at the origin); tops and enemies test
    // their touches against it. A stand-in that touches nothing when the
    // stage's file could not be read; null before Init or without a world.
    Geom ArenaGeom() const { return m_Arena.GetGeom(); }
    // The height of the arena's top surface at (x, z); false off the arena.
    bool SurfaceHeight(float x, float z, float* height) const { return m_Arena.SurfaceHeight(x, z, height); }

    // True (the default): when the arena hides everything behind it, it is
    // drawn before the background, which then fails the depth test wherever
    // the arena covers it instead of being shaded and painted over; the
    // picture is the same. False: the background always goes first (tests
    // compare the two).
    void SetOpaqueArenaFirst(bool on) { m_OpaqueArenaFirst = on; }
    // Whether the next Draw puts the arena before the background.
    bool DrawsArenaFirst() const;

    // "X/stage_N.x" for stage index N - 1.
    static std::string StageMeshPath(int stageIndex);
    // "XStageN" for stage index N - 1.
    static std::string StageMeshKey(int stageIndex);

    CXFile* m_StageMesh = nullptr;    // "XStage1" to "XStage5"
    CXFile* m_Background = nullptr;   // "XSpace"
    CGameObject* m_Code = nullptr;    // the "CODE" task

private:
    void SetUpLight();
    void DrawBackground();
    void DrawArena();

    bool m_OpaqueArenaFirst = true;
    bool m_ArenaOpaque = false;   // the stage mesh hides what lies behind it

    ArenaCollision m_Arena;   // the triangle-mesh data, the geometry and the mesh record
};
