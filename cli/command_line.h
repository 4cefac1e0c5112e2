// The command line of tarnwick-cli: what to do on which switch, or why the line is not usable.
#pragma once

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "snmp/device_settings.h"
#include "vlan/mac_address.h"

namespace tarnwick::cli {

// Journal, Undo and Confirm name no switch: they start from the journal.
enum class Command { Vlans, Members, Dump, Move, Save, Journal, Undo, Confirm, Locate };

// --mib: which VLAN table the commands use; Auto asks the switch which one it publishes.
enum class MibChoice { Auto, Vendor, QBridge };

struct Invocation {
    DeviceSettings settings;
    Command command = Command::Vlans;
    MibChoice mib = MibChoice::Auto;
    bool json = false;
    bool dryRun = false;
    std::string vlan;            // members: the VLAN ID in decimal
    std::vector<int> ports;      // move: ascending, each once
    std::uint32_t fromVlan = 0;  // move: VLAN IDs 1 to 4094
    std::uint32_t toVlan = 0;
    bool noJournal = false;             // move, save, undo: this run appends nothing
    std::optional<int> revertAfter{};   // move: seconds, 1 to 3600
    std::int64_t change = 0;            // undo, confirm: the change's ID
    std::string onSwitch;               // journal: only this switch's changes, as typed
    std::optional<std::size_t> last{};  // journal: only the last N changes
    // move --revert-after: where `yes` is typed (a file descriptor, the standard input).
    int confirmationInput = 0;
    // Every switch the command asks, the first in settings.ipAddress: locate may ask several.
    std::vector<std::string> addresses;
    std::optional<Mac> mac;  // locate; move --mac, whose port and FROM are where it was learned
};

// An unknown command or option, a missing or extra argument, or a number out of range.
struct UsageError {
    std::string problem;
};

// --help or --version: the text to print, and nothing to do.
struct InfoRequest {
    std::string text;
};

using ParsedCommandLine = std::variant<Invocation, UsageError, InfoRequest>;

// The arguments include the program's name first.
ParsedCommandLine ParseCommandLine(const QStringList& arguments);

// The line printed after a usage error.
std::string UsageHint();

// "9" or "1-8,12": ascending, each port once; nothing for junk, 0, ports past the bitmap's
// reach, empty items and descending ranges.
std::optional<std::vector<int>> ParsePortList(std::string_view text);

}  // namespace tarnwick::cli
