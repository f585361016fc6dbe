// ViewerRenderer draws one mesh or picture into the device's 640 x 480 back
// buffer and reads it back: a mesh on a turntable (camera around its bounding
// sphere, one directional light that turns with the camera, drawn with the
// game's black outline), a picture fitted on a checkerboard so that its
// transparent parts show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/RenderDevice.h"
#include "tools/viewer/ViewerOptions.h"

class ViewerRenderer {
public:
    ViewerRenderer(plat::RenderDevice& device, const ViewerOptions& options) : m_Device(device), m_Options(options) {}

    // RGBA rows from the top, 640 x 480. False (and a message in *error) when
    // the input could not be loaded; the pixels then show an empty frame.
    bool Render(const std::string& input, std::vector<uint8_t>* pixels, std::string* error);

private:
    bool DrawMesh(const std::string& path, std::string* error);
    bool DrawPicture(const std::string& path, std::string* error);
    void DrawCheckerboard();

    plat::RenderDevice& m_Device;
    const ViewerOptions& m_Options;
};
