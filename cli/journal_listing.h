// What `tarnwick-cli journal` prints: the journal's changes, newest last, as text columns or JSON.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "cli/journal.h"
#include "snmp/device_address.h"

namespace tarnwick::cli {

struct JournalListingOptions {
    bool json = false;
    // Only the changes made on this switch: its address as resolved (the record's `address`), or
    // what was typed naming the same host and port.
    std::optional<DeviceAddress> switchAddress{};
    std::optional<std::size_t> last{};  // only the last N of those
};

// Columns ID TIME SWITCH COMMAND PORTS FROM TO OUTCOME, the switch as typed; or
// {"changes": [...]}, each change its last line as the journal holds it. `changes` as Changes
// gives them.
std::string JournalListing(std::span<const JournalRecord> changes,
                           const JournalListingOptions& options);

}  // namespace tarnwick::cli
