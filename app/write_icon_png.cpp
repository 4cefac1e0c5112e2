// Writes the program icon as a PNG file for the desktop's icon theme. Usage: write_icon_png <png>
#include <QString>
#include <cstdio>

#include "ui/program_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_icon_png <output.png>\n");
        return 2;
    }
    return tarnwick::ProgramIconImage().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
