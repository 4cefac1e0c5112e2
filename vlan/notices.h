// What the window's logic has to tell the user, as values: the window words each in its own
// texts (ui/window_texts.h).
#pragma once

#include <string>
#include <variant>

#include "snmp/snmp_agent.h"
#include "vlan/move_engine.h"
#include "vlan/vlan_mib.h"

namespace tarnwick {

// A column's walk ended without reaching the column's end (WalkOutcome says how).
struct ReadFailure {
    ColumnRole column;
    WalkOutcome outcome;
};

// The save was not confirmed.
struct SaveFailure {
    SnmpStatus status;
};

// A move sent nothing, for the reason given.
struct MoveRefused {
    MoveRefusal refusal;
    std::string fromVlan;
    std::string toVlan;
};

// A move was sent and did not end with every port in the new VLAN.
struct MoveEnded {
    MovePlan plan;
    MoveReport report;
};

// A port was chosen before any VLAN's members were listed: nothing is sent.
struct NoVlanListed {};

// The fields now name another switch than the one the lists were read from: nothing is sent.
struct ListsFromAnotherSwitch {
    std::string readFrom;
    std::string now;
};

using Notice = std::variant<ReadFailure, SaveFailure, MoveRefused, MoveEnded, NoVlanListed,
                            ListsFromAnotherSwitch>;

}  // namespace tarnwick
