// EdgeMarker places an arrow at the edge of the picture that points towards a
// point the camera does not show: on the line from the picture's centre to
// where the point lies on (or behind) the view, pulled in to a margin inside
// the edge. Points in view get no marker.
#pragma once

#include <optional>

#include "platform/Math3D.h"

struct EdgeMarker {
    float x = 0, y = 0;   // screen pixels of the arrow's centre
    float angle = 0;      // radians; 0 points right, clockwise on the screen (y grows downwards)

    static constexpr float SCREEN_WIDTH = 640, SCREEN_HEIGHT = 480;
    static constexpr float MARGIN = 20;   // from the picture's edge to the arrow's centre

    // The marker for a world point seen with the view and projection
    // matrices, or none when the point is on screen.
    static std::optional<EdgeMarker> For(plat::Vec3 point, const plat::Mat4& view, const plat::Mat4& projection);
};
