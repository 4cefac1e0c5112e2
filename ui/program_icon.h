// Icon 128, the program icon: a switch front with its ports, 32 x 32.
#pragma once

#include <QIcon>

namespace tarnwick {

QIcon ProgramIcon();

}  // namespace tarnwick
