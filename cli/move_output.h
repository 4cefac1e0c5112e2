// The parts of a move's report that read the same for either VLAN MIB.
#pragma once

#include <QJsonArray>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/port_move.h"

namespace tarnwick::cli {

// "confirmed", "refused", "notSent", "noResponse".
std::string_view OutcomeName(SetOutcome outcome);
// "yes", "no", or "unknown" when the switch did not tell.
std::string_view AppliedName(std::optional<bool> applied);

// The VLANs of the two that the switch confirmed the port in; nothing when it did not tell.
std::optional<std::vector<std::string>> ConfirmedVlans(const std::string& fromVlan,
                                                       const std::string& toVlan, PortPlace place);

QJsonArray VlanArray(const std::vector<std::string>& vlans);
// "10,20".
std::string VlanList(const std::vector<std::string>& vlans);

}  // namespace tarnwick::cli
