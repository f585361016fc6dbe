#include "effect/EdgeMarker.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float HALF_WIDTH = EdgeMarker::SCREEN_WIDTH / 2;
constexpr float HALF_HEIGHT = EdgeMarker::SCREEN_HEIGHT / 2;
// Closer to the eye than this, a point's direction on the screen is meaningless.
constexpr float MIN_DEPTH = 1e-4f;

}   // namespace

std::optional<EdgeMarker> EdgeMarker::For(plat::Vec3 point, const plat::Mat4& view, const plat::Mat4& projection)
{
    const plat::Vec4 clip = plat::Transform(plat::Transform({point.x, point.y, point.z, 1}, view), projection);
    if (!std::isfinite(clip.x) || !std::isfinite(clip.y) || !std::isfinite(clip.w)) return std::nullopt;
    const bool ahead = clip.w > MIN_DEPTH;
    if (ahead && std::fabs(clip.x) <= clip.w && std::fabs(clip.y) <= clip.w) return std::nullopt;

    // The direction on the screen, in pixels from the centre (y down), taken
    // before the division by depth: for a point behind the eye that division
    // would mirror it to the wrong side.
    float dx = clip.x * HALF_WIDTH;
    float dy = -clip.y * HALF_HEIGHT;
    if (dx == 0 && dy == 0) dy = HALF_HEIGHT;   // straight behind: point down, towards the camera's back
    const float reachX = HALF_WIDTH - MARGIN, reachY = HALF_HEIGHT - MARGIN;
    const float scaleX = dx != 0 ? reachX / std::fabs(dx) : INFINITY;
    const float scaleY = dy != 0 ? reachY / std::fabs(dy) : INFINITY;
    const float scale = std::min(scaleX, scaleY);
    EdgeMarker marker;
    marker.x = HALF_WIDTH + dx * scale;
    marker.y = HALF_HEIGHT + dy * scale;
    marker.angle = std::atan2(dy, dx);
    return marker;
}
