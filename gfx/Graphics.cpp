#include "gfx/Graphics.h"

plat::RenderDevice* g_Device = nullptr;
plat::SpriteBatch* g_Sprite = nullptr;

bool InitGraphics(plat::RenderDevice* device)
{
    if (!device) return false;
    g_Device = device;

    // States that stay in force for the whole run unless a drawing task
    // changes and restores them. Lighting stays at its default (on).
    plat::RenderStates& rs = device->States();
    rs.zEnable = true;
    rs.zWrite = true;
    rs.srcBlend = plat::Blend::SrcAlpha;
    rs.destBlend = plat::Blend::InvSrcAlpha;
    rs.alphaBlend = true;
    rs.stage0.alphaOp = plat::TexOp::Modulate;
    rs.stage0.alphaArg1 = plat::TexArg::Texture;
    rs.stage0.alphaArg2 = plat::TexArg::Diffuse;
    rs.stage0.colorOp = plat::TexOp::Modulate;
    rs.cull = plat::Cull::CCW;

    delete g_Sprite;
    g_Sprite = new plat::SpriteBatch(*device);
    return true;
}

void ReleaseGraphics()
{
    delete g_Sprite;
    g_Sprite = nullptr;
    g_Device = nullptr;
}
