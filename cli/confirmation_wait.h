// The wait of `move --revert-after` for its confirmation: a line `yes` typed on the terminal, or
// `tarnwick-cli confirm ID` in any shell, which the waiting run sees in the journal.
#pragma once

#include <cstdint>

#include "cli/journal.h"
#include "cli/messages.h"
#include "cli/signal_hold.h"

namespace tarnwick::cli {

enum class Confirmation {
    Confirmed,  // the journal holds the change's `confirmed` line
    None,       // the deadline came first: the change is to be taken back
    Signalled,  // SIGINT or SIGTERM arrived at the hold: the change is to be taken back at once
};

// Waits until one of the three. A line `yes` on `input` confirms through the journal, as the
// confirm command does (a journal that cannot take the line is shown, and the change stays);
// the end of the input is no confirmation, and the wait goes on. The deadline is the journal's
// (its revertBy), or `deadline` while the journal cannot be read.
Confirmation AwaitConfirmation(const Journal& journal, std::int64_t change, int input,
                               const SignalHold& hold, JournalClock::time_point deadline,
                               Messages& messages);

}  // namespace tarnwick::cli
