// The commands that start from the journal and name no switch: `journal` lists the changes,
// `confirm` keeps a move that waits for its confirmation, and `undo` finds the change it takes
// back and the switch it was made on.
#pragma once

#include <optional>
#include <ostream>

#include "cli/command_line.h"
#include "cli/journal.h"
#include "cli/messages.h"

namespace tarnwick::cli {

// journal and confirm, which never reach a switch: the exit status.
int RunJournalCommand(const Invocation& invocation, Messages& messages, std::ostream& out);

// undo: the change, found in the journal, and the invocation aimed at it: the switch at the
// address the change was made at (never resolved again), its MIB, its ports from TO back to FROM.
// Nothing, with the reason shown, when it cannot be undone: no such change, a save, a change that
// did not move every port or has been taken back, one that waits for its confirmation.
std::optional<JournalRecord> AimAtChange(Invocation& invocation, Messages& messages);

}  // namespace tarnwick::cli
