// Icon 128, the program icon: a switch front with its ports, 32 x 32.
#pragma once

#include <QIcon>
#include <QImage>

namespace tarnwick {

inline constexpr int kProgramIconSize = 32;

// The image alone: it needs no application object, so the build can write it out as a file.
QImage ProgramIconImage();
// The window's big and small icon, and the one a minimised window and a drag show.
QIcon ProgramIcon();

}  // namespace tarnwick
