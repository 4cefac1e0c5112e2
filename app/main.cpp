// The program: one application object whose start-up runs the main window to its end.
#include <algorithm>

#include "app/tarnwick_app.h"

int main(int argc, char** argv) {
    // The program takes no command line: Qt sees only the program's name, so its own options
    // (-reverse, -style, -stylesheet) cannot change the window. The environment still reaches it.
    int programNameOnly = std::min(argc, 1);
    tarnwick::CTarnwickApp app(programNameOnly, argv);
    app.InitInstance();
    return 0;
}
