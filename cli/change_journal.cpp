// The journal lines of the CLI's changes: records from the run's switch, plans and reports.
#include "cli/change_journal.h"

#include <algorithm>
#include <utility>

#include "vlan/identifiers.h"

namespace tarnwick::cli {
namespace {

std::optional<std::uint32_t> VlanOf(std::string_view vlan) {
    const auto id = ParseVlanId(vlan);
    return id ? std::optional<std::uint32_t>(*id) : std::nullopt;
}

std::string PartText(const MoveObject& object, Part part) {
    return object.role == ObjectRole::Pvid ? std::to_string(part) : part ? "in" : "out";
}

// "port 3 is in VlanPorts.1, change 5 left it out"; "port 5: dot1qPvid.5 is 30, change 5 left
// 20".
std::string Difference(const VlanMib& mib, const MoveObject& object, int port,
                       std::optional<Part> now, std::optional<Part> then, std::int64_t change) {
    const std::string name = ObjectName(mib, object.oid);
    const std::string what = "port " + std::to_string(port);
    const std::string left = ChangeName(change) + " left ";
    if (!then) {
        return "what " + left + "of " + what + " in " + name + " is not known";
    }
    if (!now) {
        return name + " holds nothing of " + what;
    }
    if (object.role == ObjectRole::Pvid) {
        return what + ": " + name + " is " + PartText(object, *now) + ", " + left +
               PartText(object, *then);
    }
    return what + " is " + (*now ? "in " : "not in ") + name + ", " + left + "it " +
           PartText(object, *then);
}

}  // namespace

std::string ChangeName(std::int64_t id) {
    return "change " + std::to_string(id);
}

JournalRecord ChangeRecord(const Context& context, std::string_view command) {
    const auto& pinned = context.settings.pinnedAddress;
    return {.address = pinned ? pinned->peerName : std::string(),
            .typed = context.settings.ipAddress,
            .mib = std::string(context.mib.name),
            .command = std::string(command),
            .outcome = std::string(kBegunOutcome)};
}

JournalRecord MoveRecord(const Context& context, std::string_view command, const MovePlan& plan) {
    JournalRecord record = ChangeRecord(context, command);
    record.ports = plan.ports;
    record.from = VlanOf(plan.fromVlan);
    record.to = VlanOf(plan.toVlan);
    for (std::size_t object = 0; object < plan.objects.size(); ++object) {
        record.objects.push_back(
            {plan.objects[object].oid, JournalValueOf(plan.read[object]), std::nullopt});
    }
    return record;
}

JournalRecord MoveEnded(JournalRecord begun, const MoveReport& report) {
    for (std::size_t object = 0; object < begun.objects.size(); ++object) {
        const auto& held = report.held.at(object);
        begun.objects[object].after = held ? std::optional(JournalValueOf(*held)) : std::nullopt;
    }
    begun.outcome = MoveOutcome(report);
    begun.time.clear();
    begun.user.clear();
    return begun;
}

std::string_view MoveOutcome(const MoveReport& report) {
    const auto all = [&report](PortPlace place) {
        return std::all_of(report.ports.begin(), report.ports.end(),
                           [place](const PortState& port) { return port.place == place; });
    };
    const bool unknown =
        std::any_of(report.ports.begin(), report.ports.end(),
                    [](const PortState& port) { return port.place == PortPlace::Unknown; });
    if (all(PortPlace::NewVlan)) {
        return kMovedOutcome;
    }
    if (unknown) {
        return kUnknownOutcome;
    }
    if (all(PortPlace::OldVlan)) {
        return report.MayHaveChanged() ? kRestoredOutcome : kRefusedOutcome;
    }
    return kPartialOutcome;
}

std::vector<std::string> ChangedSince(const VlanMib& mib, const MovePlan& back,
                                      const JournalRecord& change) {
    std::vector<std::string> differences;
    for (std::size_t index = 0; index < back.objects.size(); ++index) {
        const MoveObject& object = back.objects[index];
        const auto left = std::find_if(change.objects.begin(), change.objects.end(),
                                       [&](const JournalObject& o) { return o.oid == object.oid; });
        const auto after =
            left != change.objects.end() && left->after ? SnmpValueOf(*left->after) : std::nullopt;
        for (const int port : back.ports) {
            if (!HoldsPartOf(object, port)) {
                continue;
            }
            const auto now = PartIn(object, back.read[index], port);
            // An empty OCTET STRING holds no part of a port: what is not known.
            const auto then = PartIn(object, after.value_or(OctetString{}), port);
            if (!then || now != then) {
                differences.push_back(Difference(mib, object, port, now, then, change.id));
            }
        }
    }
    return differences;
}

ChangeLines::ChangeLines(Messages& messages, bool keep) : m_messages(messages), m_keep(keep) {
    if (!keep) {
        return;
    }
    auto path = JournalPath();
    if (auto* error = std::get_if<JournalError>(&path)) {
        m_unplaced = std::move(*error);
    } else {
        m_journal.emplace(std::move(std::get<std::string>(path)));
    }
}

bool ChangeLines::Begin(JournalRecord record) {
    if (!m_keep) {
        return true;
    }
    auto appended = m_journal ? m_journal->Append(std::move(record)) : *m_unplaced;
    if (auto* error = std::get_if<JournalError>(&appended)) {
        m_messages.Show(error->message + "; nothing was sent.");
        return false;
    }
    m_id = std::get<JournalRecord>(appended).id;
    return true;
}

bool ChangeLines::Add(JournalRecord record) {
    if (!m_keep || !m_journal) {
        return !m_keep;
    }
    record.id = m_id;
    const auto appended = m_journal->Append(std::move(record));
    if (const auto* error = std::get_if<JournalError>(&appended)) {
        m_messages.Show("the journal lacks a line of change " + std::to_string(m_id) + ": " +
                        error->message);
        return false;
    }
    return true;
}

}  // namespace tarnwick::cli
