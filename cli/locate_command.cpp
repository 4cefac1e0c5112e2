// tarnwick-cli's locate and move --mac: the lookup on each switch, its messages and its output.
#include "cli/locate_command.h"

#include <QJsonArray>
#include <QJsonObject>
#include <atomic>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "cli/move_command.h"
#include "cli/output.h"
#include "cli/terminal_text.h"
#include "snmp/display_text.h"
#include "vlan/locate.h"

namespace tarnwick::cli {
namespace {

struct SwitchPort {
    std::string address;  // the switch's, when several are asked
    FoundPort port;
};

// One switch's messages among several, from its own thread: each line names the switch; the
// progress line is the whole run's.
class SwitchMessages final : public Messages {
public:
    SwitchMessages(Messages& messages, std::mutex& mutex, std::string address)
        : m_messages(messages), m_mutex(mutex), m_address(std::move(address)) {}
    void Show(const std::string& text) override {
        const std::lock_guard lock(m_mutex);
        m_messages.Show(m_address + ": " + text);
    }
    void Reading(std::string /*step*/) override {}
    void ReadDone() override {}

private:
    Messages& m_messages;
    std::mutex& m_mutex;
    std::string m_address;
};

std::string KindText(FdbEntryKind kind) {
    switch (kind) {
        case FdbEntryKind::Self:
            return "the switch's own address";
        case FdbEntryKind::Mgmt:
            return "a static entry";
        case FdbEntryKind::NoPort:
            return "an entry without a port";
        case FdbEntryKind::Learned:
            break;
    }
    return "a learned entry";
}

// The lookup on the context's switch, with its messages: why the table was walked, a failure,
// an address on no port. Nothing when it failed.
std::optional<std::vector<FoundPort>> Locate(Context& context, const Mac& mac) {
    const std::string address = MacText(mac);
    context.messages.Reading("looking for " + address);
    Located located = LocateMac(context.snmp, context.settings, context.mib, mac);
    context.messages.ReadDone();
    if (located.walkedBecause) {
        context.messages.Show("the switch answered no request for the entries of " + address +
                              " in " + located.table + " (" + located.walkedBecause->text +
                              "): walked the whole table instead");
    }
    if (located.Failed()) {
        context.messages.Show("looking for " + address + " failed: reading " +
                              located.failedObject + " failed: " + located.status.text);
        return std::nullopt;
    }
    if (located.ports.empty()) {
        std::string entries;
        for (const FdbEntryKind kind : located.unlearned) {
            entries += (entries.empty() ? ", only " : " and ") + KindText(kind);
        }
        context.messages.Show(address + " not found: no port has learned it" + entries);
    }
    return std::move(located.ports);
}

template <typename Value>
QJsonValue OrNull(const std::optional<Value>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

// The ports, with a SWITCH column (JSON: "switch") when several switches were asked; no text
// for no port.
std::string LocateOutput(const Mac& mac, const std::vector<SwitchPort>& ports, bool json,
                         bool several) {
    TextRows rows{{"PORT", "IFINDEX", "IFNAME", "VLAN", "UPLINK"}};
    QJsonArray list;
    for (const auto& [address, found] : ports) {
        const std::optional<int> port = found.port != 0 ? std::optional(found.port) : std::nullopt;
        if (json) {
            QJsonObject item{{QStringLiteral("port"), OrNull(port)},
                             {QStringLiteral("ifIndex"), OrNull(found.ifIndex)},
                             {QStringLiteral("ifName"),
                              found.ifName ? QJsonValue(DisplayText(*found.ifName)) : QJsonValue()},
                             {QStringLiteral("vlan"), OrNull(found.vlan)},
                             {QStringLiteral("uplink"), found.uplink}};
            if (several) {
                item.insert(QStringLiteral("switch"), Json(address));
            }
            list.append(item);
            continue;
        }
        const auto text = [](const auto& number) {
            return number ? std::to_string(*number) : std::string();
        };
        rows.push_back({text(port), text(found.ifIndex),
                        found.ifName ? TerminalText(*found.ifName) : "", text(found.vlan),
                        found.uplink ? "yes" : "no"});
        if (several) {
            rows.back().insert(rows.back().begin(), address);
        }
    }
    if (json) {
        return JsonText(
            {{QStringLiteral("mac"), Json(MacText(mac))}, {QStringLiteral("ports"), list}});
    }
    if (several) {
        rows.front().insert(rows.front().begin(), "SWITCH");
    }
    return ports.empty() ? std::string() : AlignedColumns(rows);
}

// Why move --mac sends nothing, or nothing when it may go on.
std::optional<std::string> RefusalOfPorts(const Mac& mac, const std::vector<FoundPort>& ports,
                                          const VlanMib& mib) {
    const std::string address = MacText(mac);
    std::set<int> bridgePorts;
    for (const FoundPort& found : ports) {
        bridgePorts.insert(found.bridgePort);
    }
    const FoundPort& found = ports.front();
    const std::string port = "port " + std::to_string(found.port);
    if (bridgePorts.size() > 1) {
        return address + " was learned on " + std::to_string(bridgePorts.size()) +
               " ports: which one is the device's is not known";
    }
    if (found.uplink) {
        return address + " was learned on " + port +
               ", an uplink: the device is behind another switch";
    }
    if (found.port == 0) {
        return address + " was learned on bridge port " + std::to_string(found.bridgePort) +
               ", whose interface no port of " + std::string(mib.title) + " has";
    }
    if (ports.size() > 1) {
        return address + " was learned on " + port + " in " + std::to_string(ports.size()) +
               " VLANs: which one it leaves is not known";
    }
    if (!found.vlan) {
        return "which VLAN " + address + " was learned in on " + port + " is not known";
    }
    return std::nullopt;
}

}  // namespace

int LocateMacAddress(Context& context, const Mac& mac) {
    const auto ports = Locate(context, mac);
    std::vector<SwitchPort> found;
    for (const FoundPort& port : ports.value_or(std::vector<FoundPort>{})) {
        found.push_back({{}, port});
    }
    context.out << LocateOutput(mac, found, context.json, false);
    return Status(!found.empty());
}

int LocateOnSwitches(const Invocation& invocation, SnmpAgent& snmp, Messages& messages,
                     std::ostream& out) {
    const std::vector<std::string>& addresses = invocation.addresses;
    const Mac mac = invocation.mac.value_or(Mac{});
    std::vector<std::vector<FoundPort>> found(addresses.size());
    std::mutex shown;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < addresses.size(); i = next++) {
            SwitchMessages switchMessages(messages, shown, addresses[i]);
            DeviceSettings settings = invocation.settings;
            settings.ipAddress = addresses[i];
            settings.pinnedAddress = ResolveDeviceAddress(addresses[i]);
            const VlanMib* mib = ChooseVlanMib(snmp, switchMessages, settings, invocation.mib);
            if (!mib) {
                continue;
            }
            std::ostringstream unused;
            Context context{snmp, switchMessages, settings, *mib, invocation.json, unused};
            found[i] = Locate(context, mac).value_or(std::vector<FoundPort>{});
        }
    };
    const std::size_t workers = invocation.settings.version == SnmpVersion::V3
                                    ? 1
                                    : std::min(kSwitchesAtOnce, addresses.size());
    messages.Reading("looking for " + MacText(mac) + " on " + std::to_string(addresses.size()) +
                     " switches");
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < workers; ++i) {
            threads.emplace_back(work);
        }
    }
    messages.ReadDone();
    std::vector<SwitchPort> ports;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        for (const FoundPort& port : found[i]) {
            ports.push_back({addresses[i], port});
        }
    }
    OrderByPreference(ports, &SwitchPort::port);
    out << LocateOutput(mac, ports, invocation.json, true);
    return Status(!ports.empty());
}

int MoveByMac(Context& context, const Invocation& invocation) {
    const Mac mac = invocation.mac.value_or(Mac{});
    const auto ports = Locate(context, mac);
    if (!ports || ports->empty()) {
        return kFailed;
    }
    if (const auto refusal = RefusalOfPorts(mac, *ports, context.mib)) {
        context.messages.Show(*refusal + "; nothing was sent.");
        return kFailed;
    }
    const FoundPort& found = ports->front();
    Invocation move = invocation;
    move.mac.reset();
    move.ports = {found.port};
    move.fromVlan = static_cast<std::uint32_t>(*found.vlan);
    if (!context.json) {
        context.out << MacText(mac) << " is on port " << found.port
                    << (found.ifName ? " (" + TerminalText(*found.ifName) + ")" : "") << " in VLAN "
                    << *found.vlan << "\n\n";
    }
    return MovePorts(context, move);
}

}  // namespace tarnwick::cli
