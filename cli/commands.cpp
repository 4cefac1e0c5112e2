// The commands of tarnwick-cli: the columns each reads, what it sends, what it prints.
#include "cli/commands.h"

#include <QJsonObject>
#include <algorithm>
#include <vector>

#include "cli/change_journal.h"
#include "cli/journal_commands.h"
#include "cli/locate_command.h"
#include "cli/move_command.h"
#include "cli/output.h"
#include "vlan/instance_read.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/save_configuration.h"
#include "vlan/vendor_mib.h"

namespace tarnwick::cli {
namespace {

std::string ColumnText(const MibColumn& column) {
    return std::string(column.name) + " (" + std::string(column.oid) + ")";
}

// Whether the MIB tells a port's tagging: the TAGGED column of the text output.
bool TellsTagging(const VlanMib& mib) {
    return mib.Find(ColumnRole::Untagged) != nullptr;
}

// Prints the output, the warnings found before it first.
bool PrintAfter(Context& context, std::vector<std::string> warnings, Output output) {
    output.warnings.insert(output.warnings.begin(), warnings.begin(), warnings.end());
    return PrintOutput(context, output);
}

class VlansCommand final : public CliCommand {
public:
    int Execute(Context& context) const override {
        MibTables tables;
        const bool read = ReadColumns(context, tables, {ColumnRole::VlanId, ColumnRole::VlanName});
        std::vector<std::string> warnings;
        const auto vlans = DistinctVlans(VlansOf(context.mib, tables), warnings);
        const bool shown = PrintAfter(context, warnings, VlansOutput(vlans, context.json));
        return Status(read && shown);
    }
};

constexpr std::initializer_list<ColumnRole> kMemberColumns = {
    ColumnRole::Members, ColumnRole::Untagged, ColumnRole::PortIfIndex, ColumnRole::IfName};

// The VLAN's row and its ports' interfaces by GETs; the whole columns only where the switch
// answers no GET of them.
bool ReadMembers(Context& context, const std::string& vlan, MibTables& tables) {
    context.messages.Reading("reading VLAN " + vlan + "'s member ports");
    const InstanceReadEnd end =
        ReadVlanMembers(context.snmp, context.settings, context.mib, vlan, tables);
    context.messages.ReadDone();
    if (end.ok()) {
        return true;
    }
    context.messages.Show("the switch answered no GET of " + end.object + " (" + end.status.text +
                          "): reading the whole columns instead");
    return ReadColumns(context, tables, kMemberColumns);
}

class MembersCommand final : public CliCommand {
public:
    explicit MembersCommand(std::string vlan) : m_vlan(std::move(vlan)) {}
    int Execute(Context& context) const override {
        MibTables tables;
        const bool read = ReadMembers(context, m_vlan, tables);
        const auto members =
            MemberPortsOfVlans(context.mib, tables, std::span<const std::string>(&m_vlan, 1));
        const bool shown = PrintOutput(context, MembersOutput(m_vlan, members.front(), context.json,
                                                              TellsTagging(context.mib)));
        return Status(read && shown);
    }

private:
    std::string m_vlan;
};

class DumpCommand final : public CliCommand {
public:
    int Execute(Context& context) const override {
        MibTables tables;
        const bool read =
            ReadColumns(context, tables,
                        {ColumnRole::VlanId, ColumnRole::VlanName, ColumnRole::Members,
                         ColumnRole::Untagged, ColumnRole::PortIfIndex, ColumnRole::IfName});
        // Each VLAN's members are decoded once, however many rows claim its ID.
        std::vector<std::string> warnings;
        const auto vlans = DistinctVlans(VlansOf(context.mib, tables), warnings);
        std::vector<std::string> ids;
        for (const Vlan& vlan : vlans) {
            ids.push_back(vlan.id);
        }
        const bool shown =
            PrintAfter(context, warnings,
                       DumpOutput(vlans, MemberPortsOfVlans(context.mib, tables, ids), context.json,
                                  TellsTagging(context.mib)));
        return Status(read && shown);
    }
};

class SaveCommand final : public CliCommand {
public:
    explicit SaveCommand(bool keepJournal) : m_keepJournal(keepJournal) {}
    int Execute(Context& context) const override {
        const VlanMib& mib = context.mib;
        bool saved = false;
        ChangeLines lines(context.messages, m_keepJournal);
        JournalRecord record = ChangeRecord(context, kSaveCommand);
        if (mib.saveObject.empty()) {
            context.messages.Show("not saved, nothing sent: " + std::string(mib.title) +
                                  " has no object that saves the configuration; save it with "
                                  "the switch's own means (its command line or web interface)");
        } else if (!lines.Begin(record)) {
            context.messages.Show("not saved");
        } else {
            const SnmpStatus status = SaveConfiguration(context.snmp, context.settings, mib);
            saved = status.ok();
            if (!saved) {
                context.messages.Show("not saved: the SET of the save object (" +
                                      std::string(mib.saveObject) + ") failed: " + status.text);
            }
            // An answer with an error-status: the switch refused; none: it may have saved.
            record.outcome = saved             ? kSavedOutcome
                             : status.code > 0 ? kRefusedOutcome
                                               : kUnknownOutcome;
            record.exitStatus = Status(saved);
            saved = lines.Add(record) && saved;
        }
        if (context.json) {
            context.out << JsonText({{QStringLiteral("saved"), saved}});
        } else if (saved) {
            context.out << "saved\n";
        }
        return Status(saved);
    }

private:
    bool m_keepJournal;
};

class MoveCommand final : public CliCommand {
public:
    explicit MoveCommand(const Invocation& invocation) : m_invocation(invocation) {}
    int Execute(Context& context) const override {
        return m_invocation.mac ? MoveByMac(context, m_invocation)
                                : MovePorts(context, m_invocation);
    }

private:
    const Invocation& m_invocation;
};

class LocateCommand final : public CliCommand {
public:
    explicit LocateCommand(const Mac& mac) : m_mac(mac) {}
    int Execute(Context& context) const override { return LocateMacAddress(context, m_mac); }

private:
    Mac m_mac;
};

constexpr const VlanMib* kMibs[] = {&kVendorMib, &kQBridgeMib};

}  // namespace

const VlanMib* ChooseVlanMib(SnmpAgent& snmp, Messages& messages, const DeviceSettings& settings,
                             MibChoice choice) {
    messages.Reading("asking which VLAN MIB the switch publishes");
    const VlanMib* forced = choice == MibChoice::Vendor    ? &kVendorMib
                            : choice == MibChoice::QBridge ? &kQBridgeMib
                                                           : nullptr;
    const VlanMibDetection found =
        forced ? ProbeVlanMib(snmp, settings, *forced) : DetectVlanMib(snmp, settings);
    messages.ReadDone();
    if (found.mib) {
        return found.mib;
    }
    const auto probe = [](const VlanMib& mib) { return ColumnText(*mib.Find(mib.probe)); };
    if (found.Failed()) {
        messages.Show((forced ? "could not read the VLAN table --mib names: reading "
                              : "could not tell which VLAN MIB the switch publishes: reading ") +
                      ColumnText(*found.failedColumn) + " failed: " + found.status.text);
    } else if (!forced) {
        messages.Show("the switch publishes neither " + std::string(kMibs[0]->table) + " nor " +
                      std::string(kMibs[1]->table) + ": " + probe(*kMibs[0]) + " and " +
                      probe(*kMibs[1]) + " have no rows");
    } else {
        messages.Show("the switch has no rows in " + std::string(forced->table) +
                      ", which --mib names: " + probe(*forced) + " has none");
    }
    return nullptr;
}

std::unique_ptr<CliCommand> MakeCommand(const Invocation& invocation) {
    switch (invocation.command) {
        case Command::Vlans:
            return std::make_unique<VlansCommand>();
        case Command::Members:
            return std::make_unique<MembersCommand>(invocation.vlan);
        case Command::Dump:
            return std::make_unique<DumpCommand>();
        case Command::Move:
            return std::make_unique<MoveCommand>(invocation);
        case Command::Locate:
            return std::make_unique<LocateCommand>(invocation.mac.value_or(Mac{}));
        case Command::Save:
            return std::make_unique<SaveCommand>(!invocation.noJournal);
        case Command::Journal:
        case Command::Undo:
        case Command::Confirm:
            break;
    }
    // RunCommand runs these itself: they start from the journal.
    return nullptr;
}

bool ReadColumns(Context& context, MibTables& tables, std::initializer_list<ColumnRole> roles) {
    std::vector<ColumnRole> wanted;
    std::string names;
    for (const MibColumn& column : context.mib.columns) {
        if (std::find(roles.begin(), roles.end(), column.role) != roles.end()) {
            wanted.push_back(column.role);
            names += (names.empty() ? "" : ", ") + std::string(column.name);
        }
    }
    context.messages.Reading("reading " + names);
    const auto reads = ReadMibColumns(context.snmp, context.settings, context.mib, wanted, tables);
    context.messages.ReadDone();
    bool complete = true;
    for (const ColumnRead& read : reads) {
        if (read.Failed()) {
            complete = false;
            context.messages.Show("reading " + ColumnText(*read.column) +
                                  " failed: " + read.outcome.status.text);
        }
    }
    return complete;
}

int RunCommand(Invocation invocation, SnmpAgent& snmp, Messages& messages, std::ostream& out) {
    if (invocation.command == Command::Journal || invocation.command == Command::Confirm) {
        return RunJournalCommand(invocation, messages, out);
    }
    if (invocation.addresses.size() > 1) {
        return LocateOnSwitches(invocation, snmp, messages, out);
    }
    std::optional<JournalRecord> undoing;
    if (invocation.command == Command::Undo) {
        // On the switch the change was made on, at its address then.
        undoing = AimAtChange(invocation, messages);
        if (!undoing) {
            return kFailed;
        }
    } else {
        // Every request of the run goes to the one address the name resolves to now.
        invocation.settings.pinnedAddress = ResolveDeviceAddress(invocation.settings.ipAddress);
    }
    const VlanMib* mib = ChooseVlanMib(snmp, messages, invocation.settings, invocation.mib);
    if (!mib) {
        return kFailed;
    }
    Context context{snmp, messages, invocation.settings, *mib, invocation.json, out};
    if (undoing) {
        return UndoChange(context, invocation, *undoing);
    }
    return MakeCommand(invocation)->Execute(context);
}

}  // namespace tarnwick::cli
