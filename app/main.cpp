// Spindrel: the program's entry point. It takes no command line and no
// configuration; it runs from the folder that holds its data.
#include <cstdio>

#include "app/GameApp.h"

int main()
{
    GameApp app;
    GameOptions options;   // a full-screen window, sound, the real clock and keyboard
    if (!app.Start(options)) {
        std::fprintf(stderr, "spindrel: cannot open a window with OpenGL 3.3; is a display available?\n");
        return 1;
    }
    app.RunLoop();
    app.Shutdown();
    return 0;
}
