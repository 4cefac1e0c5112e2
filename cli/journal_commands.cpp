// journal, confirm and the journal's side of undo.
#include "cli/journal_commands.h"

#include <algorithm>

#include "cli/change_journal.h"
#include "cli/command_context.h"
#include "cli/journal_listing.h"
#include "cli/output.h"
#include "cli/terminal_text.h"
#include "snmp/device_address.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/vendor_mib.h"

namespace tarnwick::cli {
namespace {

// The journal's lines, or nothing with the reason shown.
std::optional<std::pair<Journal, JournalLines>> ReadJournal(Messages& messages) {
    auto path = JournalPath();
    if (const auto* error = std::get_if<JournalError>(&path)) {
        messages.Show(error->message);
        return std::nullopt;
    }
    Journal journal(std::get<std::string>(std::move(path)));
    auto lines = journal.Lines();
    if (const auto* error = std::get_if<JournalError>(&lines)) {
        messages.Show(error->message);
        return std::nullopt;
    }
    return std::pair(std::move(journal), std::get<JournalLines>(std::move(lines)));
}

int ListChanges(const Invocation& invocation, Messages& messages, std::ostream& out) {
    const auto read = ReadJournal(messages);
    if (!read) {
        return kFailed;
    }
    const auto& [journal, lines] = *read;
    if (lines.unreadable != 0) {
        messages.Show(std::to_string(lines.unreadable) + " line(s) of the journal " +
                      journal.Path() + " are no records: left out");
    }
    JournalListingOptions options{.json = invocation.json, .last = invocation.last};
    if (!invocation.onSwitch.empty()) {
        // The changes made at the address the name has now, and those typed the same way.
        options.switchAddress = ResolveDeviceAddress(invocation.onSwitch);
        if (!options.switchAddress) {
            options.switchAddress = ParseDeviceAddress(invocation.onSwitch);
        }
    }
    out << JournalListing(Changes(lines.records), options);
    return Status(lines.unreadable == 0);
}

std::string WhyNotConfirmed(WaitState state) {
    switch (state) {
        case WaitState::NoSuchChange:
            return "there is no such change in the journal";
        case WaitState::NotWaiting:
            return "it waits for no confirmation";
        case WaitState::Expired:
            return "its time has run out: the move is taken back";
        case WaitState::Confirmed:
            return "it is confirmed already";
        case WaitState::Reverted:
        case WaitState::Waiting:
            break;
    }
    return "it has been taken back already";
}

int ConfirmChange(const Invocation& invocation, Messages& messages, std::ostream& out) {
    auto path = JournalPath();
    if (const auto* error = std::get_if<JournalError>(&path)) {
        messages.Show(error->message);
        return kFailed;
    }
    const std::string name = ChangeName(invocation.change);
    const auto outcome = Journal(std::get<std::string>(path)).Confirm(invocation.change);
    if (const auto* error = std::get_if<JournalError>(&outcome)) {
        messages.Show(name + " is not confirmed: " + error->message);
        return kFailed;
    }
    const bool confirmed = std::get<ConfirmOutcome>(outcome).confirmed.has_value();
    if (!confirmed) {
        messages.Show(name + " is not confirmed: " +
                      WhyNotConfirmed(std::get<ConfirmOutcome>(outcome).found));
    }
    if (invocation.json) {
        out << JsonText({{QStringLiteral("id"), static_cast<qint64>(invocation.change)},
                         {QStringLiteral("confirmed"), confirmed}});
    } else if (confirmed) {
        out << name << " confirmed: the move stays\n";
    }
    return Status(confirmed);
}

// Why the change cannot be undone; nothing when it can. The journal is a file the user may edit:
// its texts are escaped.
std::optional<std::string> WhyNotUndone(std::span<const JournalRecord> lines,
                                        const JournalRecord& change) {
    if (change.command == kSaveCommand) {
        return "a save cannot be undone";
    }
    if (change.outcome == kRevertedOutcome) {
        return "it has been taken back already";
    }
    if (change.outcome != kMovedOutcome && change.outcome != kConfirmedOutcome) {
        return "it ended " + TerminalText(change.outcome) +
               ": only a change that moved every port is undone";
    }
    if (StateOfWait(lines, change.id, JournalClock::now()) == WaitState::Waiting) {
        return "it waits for its confirmation until " + TerminalText(change.revertBy.value_or("")) +
               ": confirm it, or let it be taken back";
    }
    if (!change.from || !change.to || change.ports.empty()) {
        return "the journal holds no ports or VLANs for it";
    }
    return std::nullopt;
}

}  // namespace

int RunJournalCommand(const Invocation& invocation, Messages& messages, std::ostream& out) {
    return invocation.command == Command::Confirm ? ConfirmChange(invocation, messages, out)
                                                  : ListChanges(invocation, messages, out);
}

std::optional<JournalRecord> AimAtChange(Invocation& invocation, Messages& messages) {
    const auto read = ReadJournal(messages);
    if (!read) {
        return std::nullopt;
    }
    const auto& [journal, lines] = *read;
    const std::string name = ChangeName(invocation.change);
    const auto changes = Changes(lines.records);
    const auto change = std::find_if(changes.begin(), changes.end(), [&](const JournalRecord& c) {
        return c.id == invocation.change;
    });
    if (change == changes.end()) {
        messages.Show("no " + name + " in the journal " + journal.Path());
        return std::nullopt;
    }
    auto why = WhyNotUndone(lines.records, *change);
    const auto address = ParseResolvedPeerName(change->address);
    const bool vendor = change->mib == kVendorMib.name;
    if (!why && (!address || (!vendor && change->mib != kQBridgeMib.name))) {
        why = "the journal holds no address or VLAN MIB of its switch";
    }
    if (why) {
        messages.Show(name + " is not undone: " + *why + "; nothing was sent.");
        return std::nullopt;
    }
    invocation.settings.ipAddress = change->typed;
    invocation.settings.pinnedAddress = address;
    invocation.mib = vendor ? MibChoice::Vendor : MibChoice::QBridge;
    invocation.ports = change->ports;
    invocation.fromVlan = *change->to;
    invocation.toVlan = *change->from;
    return *change;
}

}  // namespace tarnwick::cli
