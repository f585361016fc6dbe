// The graphics globals of the game: the device that all drawing goes through
// and the one sprite batch shared by all 2-D drawing.
#pragma once

#include "platform/RenderDevice.h"
#include "platform/SpriteBatch.h"

extern plat::RenderDevice* g_Device;
extern plat::SpriteBatch* g_Sprite;

// Takes the device made by the shell, sets the states every drawing relies on
// and creates the shared sprite. False when there is no device.
bool InitGraphics(plat::RenderDevice* device);
// Releases the shared sprite and forgets the device.
void ReleaseGraphics();

// A white quad in the x-y plane centred on the origin, in triangle-fan order
// (top left, top right, bottom right, bottom left), cut from the texture
// rectangle (left u, top v)-(right u, bottom v): the camera-facing pictures
// of hit texts and markers.
void FillFacingQuad(plat::Vertex quad[4], float halfWidth, float halfHeight, float leftU, float topV, float rightU,
                    float bottomV);
