// The program: one application object whose start-up runs the main window to its end.
#include "tarnwick_app.h"

int main(int argc, char** argv) {
    tarnwick::CTarnwickApp app(argc, argv);
    app.InitInstance();
    return 0;
}
