// Several columns read together over one session: every request carries each column still going,
// SNMPv1 as GETNEXT, SNMPv2c and SNMPv3 as GETBULK. Internal to the SNMP layer.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "snmp/snmp_agent.h"
#include "snmp/wait_slices.h"

namespace tarnwick::netsnmp {

// Each table gets the rows, and each column the outcome, of the column's one-column walk, but
// for the size bound: all the columns together store at most `maxOctets` of row text. Outcomes
// in the columns' order. The session's wait is served through `waiting`.
std::vector<WalkOutcome> ReadTogether(const DeviceSettings& settings,
                                      std::span<const ColumnToWalk> columns, WaitSlices& waiting,
                                      std::size_t maxOctets);

}  // namespace tarnwick::netsnmp
