// The graphics globals of the game: the device that all drawing goes through
// and the one sprite batch shared by all 2-D drawing. Only the graphics layer
// and the shell that makes the device use them; gameplay draws through
// gfx/Render.h.
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
