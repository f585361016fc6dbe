// RenderStateGuard is responsible for the states a drawing changes only for
// itself: each setter changes one state of the device for as long as the guard
// lives, and the destructor puts back the value each changed state had before
// the guard first changed it. States the guard did not change are left as they
// are, whoever set them meanwhile. Guards nest: an inner guard restores to
// what the outer one set.
#pragma once

#include <optional>

#include "gfx/Render.h"

class RenderStateGuard {
public:
    RenderStateGuard();
    ~RenderStateGuard();
    RenderStateGuard(const RenderStateGuard&) = delete;
    RenderStateGuard& operator=(const RenderStateGuard&) = delete;

    RenderStateGuard& SetBlend(gfx::BlendMode mode);
    RenderStateGuard& SetDepthWrite(bool on);
    RenderStateGuard& SetLighting(bool on);
    RenderStateGuard& SetTexture(const plat::Texture* texture);

private:
    plat::RenderDevice* m_Device;   // null: nothing to change or restore
    std::optional<plat::Blend> m_SavedDestBlend;
    std::optional<bool> m_SavedDepthWrite;
    std::optional<bool> m_SavedLighting;
    std::optional<const plat::Texture*> m_SavedTexture;
};
