// The drawing calls of the game: everything a task needs to put its meshes,
// camera-facing pictures, particles and 2-D screens on the back buffer. The
// device behind them is the graphics layer's own business; while there is
// none (before the shell makes it, after it is gone) every call does nothing.
//
// States set through these calls stay set: the draws that follow set what
// they need. A state that a drawing changes only for itself goes through a
// RenderStateGuard, which puts it back.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Math3D.h"
#include "platform/RenderDevice.h"

class CXFile;

namespace plat {
class LineBatch;
class Texture;
}   // namespace plat

namespace gfx {

// What a drawing does to the picture beneath it: Normal covers it by the
// drawing's alpha; Additive adds onto it (the glow of auras, dashes and
// sparks). Only the picture's side of the blend changes; the drawing's side
// stays as set (its alpha, or full strength just after point sprites).
enum class BlendMode : uint8_t { Normal, Additive };
plat::Blend DestBlendOf(BlendMode mode);   // the device's factor for the picture beneath

// ---- Queries ----
bool CanDraw();                // a device is there to draw on
bool DepthTestKeepsNearer();   // depth test and depth write on, the nearer surface kept

// ---- Frame and viewport ----
void BeginScene();                                  // opens the frame's drawing (the head task does it too)
void SetViewport(const plat::Viewport& viewport);   // where the following draws and clears land
void ClearViewport(uint32_t argb);                  // colour and depth of the current viewport only

// ---- States that stay set ----
void SetBlendMode(BlendMode mode);               // the blend of the following draws
void UseAlphaBlending();                         // blending on, Normal, the drawing weighted by its alpha
void SetLighting(bool on);                       // lit by the scene light, or by vertex colour
void SetTexture(const plat::Texture* texture);   // null: untextured (opaque white)
void SetSceneLight(const plat::Light& light);    // the one directional light, with highlights

// ---- 3-D drawing ----
void SetWorld(const plat::Mat4& world);   // the world transform of the following draws
// Sets the world transform and draws the mesh there; a missing mesh draws
// nothing (the world transform is set all the same).
void DrawMesh(const CXFile* mesh, const plat::Mat4& world);
// The same, blended as given for this draw only.
void DrawMesh(const CXFile* mesh, const plat::Mat4& world, BlendMode blend);
// Like DrawMesh, with a black rim around the mesh: an enlarged copy, outlineScale
// times its size, drawn first (see CXFile::DrawOutline).
void DrawOutlinedMesh(const CXFile* mesh, const plat::Mat4& world, float outlineScale);
// A camera-facing picture: the quad (see FillFacingQuad) placed by the world
// transform, coloured and textured, with the states in force.
void DrawFacingQuad(const plat::Vertex quad[4], const plat::Mat4& world);
// Additive point sprites at world positions, sized by distance, in the
// texture; leaves the blend additive and lighting off, and the texture unset.
void DrawPointSprites(const plat::PointVertex* points, int count, const plat::Texture* texture);

// ---- 2-D drawing (back-buffer pixels, through the shared sprite batch) ----
void BeginSprites();   // CSprite draws queue from here on, alpha blended, unlit, no depth test
void FlushSprites();   // draws the queue with the blend of this moment (glowing copies switch between flushes)
void EndSprites();     // flushes and restores the states BeginSprites found
// A line batch of its own for graphs; null when there is nothing to draw on.
std::unique_ptr<plat::LineBatch> MakeLineBatch();

// A white quad in the x-y plane centred on the origin, in triangle-fan order
// (top left, top right, bottom right, bottom left), cut from the texture
// rectangle (left u, top v)-(right u, bottom v): the camera-facing pictures
// of hit texts and markers.
void FillFacingQuad(plat::Vertex quad[4], float halfWidth, float halfHeight, float leftU, float topV, float rightU,
                    float bottomV);

}   // namespace gfx
