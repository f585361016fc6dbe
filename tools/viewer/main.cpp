// spindrel-view: renders X-file meshes and pictures to a PNG through the
// offscreen OpenGL device, to look at the game's data without the game.
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/Graphics.h"
#include "platform/image/PngWriter.h"
#include "platform/sdl/SdlWindow.h"
#include "tools/viewer/ContactSheet.h"
#include "tools/viewer/ViewerOptions.h"
#include "tools/viewer/ViewerRenderer.h"

namespace {
constexpr int CELL_WIDTH = 320, CELL_HEIGHT = 240;   // default contact-sheet cell
}

int main(int argc, char** argv)
{
    ViewerOptions options;
    std::string error;
    if (!ParseViewerOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "spindrel-view: %s\n%s", error.c_str(), ViewerUsage());
        return 2;
    }
    int count = static_cast<int>(options.inputs.size());
    if (options.width == 0) {
        int columns = 1, rows = 1;
        ContactSheet::GridFor(count, &columns, &rows);
        options.width = count == 1 ? plat::BACK_BUFFER_WIDTH : columns * CELL_WIDTH;
        options.height = count == 1 ? plat::BACK_BUFFER_HEIGHT : rows * CELL_HEIGHT;
    }

    plat::SdlWindow window;
    if (!window.Create(plat::WindowMode::Offscreen)) return 1;
    InitGraphics(&window.Device());

    ContactSheet sheet(options.width, options.height, count);
    ViewerRenderer renderer(window.Device(), options);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> frame;
        std::string reason;
        bool ok = renderer.Render(options.inputs[i], &frame, &reason);
        std::printf("%d: %s%s%s\n", i + 1, options.inputs[i].c_str(), ok ? "" : ": ", reason.c_str());
        if (!ok) ++failures;
        sheet.Place(i, frame, plat::BACK_BUFFER_WIDTH, plat::BACK_BUFFER_HEIGHT);
    }
    ReleaseGraphics();

    if (!plat::PngWriter::Write(options.out, sheet.Pixels(), sheet.Width(), sheet.Height())) {
        std::fprintf(stderr, "spindrel-view: cannot write %s\n", options.out.c_str());
        return 1;
    }
    return failures ? 1 : 0;
}
