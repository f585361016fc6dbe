// ContactPoint is where two geometries were last found touching: the point,
// the normal pointing from the second into the first, and how deep they overlap.
#pragma once

struct ContactPoint {
    double pos[3] = {};
    double normal[3] = {};
    double depth = 0;
};
