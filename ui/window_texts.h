// Every text the main window shows, in Simplified Chinese, for what its logic tells: failed reads
// and saves, and moves (the window moves ports on the vendor VLAN MIB, one VlanPorts bitmap per
// VLAN). Plain C++, so that the logic's tests word their notices as the window does.
#pragma once

#include <string>

#include "vlan/notices.h"

namespace tarnwick {

// The notice's text; empty when there is nothing to say (a move into the port's own VLAN, or a
// move that ended with every port in the new VLAN).
std::string WindowText(const Notice& notice);

}  // namespace tarnwick
