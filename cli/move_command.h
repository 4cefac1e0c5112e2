// tarnwick-cli's move, on either VLAN MIB: what it sends, what the switch confirmed of each port,
// and what the switch holds when read once more afterwards.
#pragma once

#include <string>
#include <string_view>

#include "cli/command_context.h"
#include "cli/command_line.h"
#include "cli/journal.h"
#include "vlan/move_engine.h"
#include "vlan/vlan_mib.h"

namespace tarnwick::cli {

// The move on the context's VLAN MIB, written down in the journal (unless --no-journal): a
// `begun` line before the first SET, the outcome after. Exit 0 only when the engine confirmed
// every port in the new VLAN, the read afterwards worked and the journal took both lines; with
// --revert-after, only when the move was then confirmed in time (else it is taken back).
int MovePorts(Context& context, const Invocation& invocation);
// undo: the invocation's move (as AimAtChange aimed it) of the change's ports back, sent only
// while the switch holds what the change left for them; itself a change in the journal.
int UndoChange(Context& context, const Invocation& invocation, const JournalRecord& change);

// Why nothing was sent, in English.
std::string RefusalText(const MoveRefusal& refusal, const VlanMib& mib, std::string_view fromVlan,
                        std::string_view toVlan);
// What went wrong and where each port is, in English; empty when every port moved.
std::string MoveText(const MovePlan& plan, const MoveReport& report, const VlanMib& mib);

}  // namespace tarnwick::cli
