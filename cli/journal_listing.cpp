// The journal's changes as text columns or JSON.
#include "cli/journal_listing.h"

#include <QJsonArray>

#include "cli/output.h"
#include "cli/terminal_text.h"
#include "vlan/move_engine.h"

namespace tarnwick::cli {
namespace {

bool OnSwitch(const JournalRecord& change, const DeviceAddress& address) {
    return change.address == address.peerName || ParseDeviceAddress(change.typed) == address;
}

std::string VlanText(const std::optional<std::uint32_t>& vlan) {
    return vlan ? std::to_string(*vlan) : std::string();
}

}  // namespace

std::string JournalListing(std::span<const JournalRecord> changes,
                           const JournalListingOptions& options) {
    std::vector<const JournalRecord*> shown;
    for (const JournalRecord& change : changes) {
        if (!options.switchAddress || OnSwitch(change, *options.switchAddress)) {
            shown.push_back(&change);
        }
    }
    if (options.last && *options.last < shown.size()) {
        shown.erase(shown.begin(), shown.end() - static_cast<std::ptrdiff_t>(*options.last));
    }
    if (options.json) {
        QJsonArray list;
        for (const JournalRecord* change : shown) {
            list.append(RecordJson(*change));
        }
        return JsonText({{QStringLiteral("changes"), list}});
    }
    // The journal is a file anyone with the user's rights may edit: its texts are escaped.
    TextRows rows{{"ID", "TIME", "SWITCH", "COMMAND", "PORTS", "FROM", "TO", "OUTCOME"}};
    for (const JournalRecord* change : shown) {
        rows.push_back({std::to_string(change->id), TerminalText(change->time),
                        TerminalText(change->typed.empty() ? change->address : change->typed),
                        TerminalText(change->command), PortListText(change->ports),
                        VlanText(change->from), VlanText(change->to),
                        TerminalText(change->outcome)});
    }
    return AlignedColumns(rows);
}

}  // namespace tarnwick::cli
