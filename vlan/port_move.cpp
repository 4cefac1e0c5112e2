// Moving ports between VLANs by rewriting the two VLANs' VlanPorts bitmaps.
#include "vlan/port_move.h"

#include <algorithm>

#include "vlan/port_bitmap.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

std::string VlanText(std::string_view vlanId) {
    return "VLAN " + std::string(vlanId);
}

std::string SetFailureText(const SnmpStatus& status) {
    return std::string(kSetVlanPortsFailure) + status.text;
}

bool HasPort(const std::string& octets, int port) {
    return HasPortBit(octets, port, BitOrder::LeastSignificantFirst);
}

void SetPort(std::string& octets, int port, bool member) {
    const int one[] = {port};
    SetPortBits(octets, one, member, BitOrder::LeastSignificantFirst);
}

// The octets with each port's bit set or cleared; the caller has checked that every port's
// octet lies within them.
std::string WithPorts(std::string octets, std::span<const int> ports, bool member) {
    SetPortBits(octets, ports, member, BitOrder::LeastSignificantFirst);
    return octets;
}

// The first port whose octet the bitmap lacks, or 0.
int PortBeyond(const std::string& octets, std::span<const int> ports) {
    for (const int port : ports) {
        if (port < 1 || PortBitPosition(port).octet >= octets.size()) {
            return port;
        }
    }
    return 0;
}

std::optional<MoveRefusal> CheckBitmap(const std::string& octets, std::string_view vlanId,
                                       std::span<const int> ports) {
    if (const int port = PortBeyond(octets, ports); port != 0) {
        return MoveRefusal{VlanText(vlanId) + "的VlanPorts信息不包含端口" + std::to_string(port) +
                           "，未做任何修改!"};
    }
    return std::nullopt;
}

// What the move knows of each VLAN's bitmap: as read, as confirmed sent, as read back, or
// nothing once a VLAN could not be read back. Old = new shares one bitmap.
class MoveState {
public:
    MoveState(SnmpAgent& snmp, const DeviceSettings& settings, const PortMovePlan& plan)
        : m_snmp(snmp), m_settings(settings), m_plan(plan) {
        m_known[0] = plan.fromOctets;
        m_known[1] = plan.toOctets;
    }

    std::optional<std::string>& Old() { return m_known[0]; }
    std::optional<std::string>& New() { return m_known[SameVlan() ? 0 : 1]; }
    bool SameVlan() const { return m_plan.fromVlan == m_plan.toVlan; }

    // Sends one SET and learns from it what the switch holds: whether the switch confirmed the
    // ports' bits as sent, or nothing when it did not tell.
    std::optional<bool> Send(MoveStep step, bool old, std::string octets) {
        const std::string& vlan = old ? m_plan.fromVlan : m_plan.toVlan;
        std::optional<std::string>& known = old ? Old() : New();
        SentSet sent{step, vlan, BitmapText(octets), {}, std::nullopt, std::nullopt};
        sent.result = m_snmp.Set(m_settings, VlanPortsOid(vlan), OctetString{octets});
        switch (sent.result.outcome) {
            case SetOutcome::Confirmed:
                known = octets;
                sent.applied = true;
                break;
            case SetOutcome::Refused:
            case SetOutcome::NotSent:
                sent.applied = false;
                break;
            case SetOutcome::NoResponse:
                known = ReadBack(vlan, sent);
                if (known) {
                    sent.applied = std::all_of(
                        m_plan.ports.begin(), m_plan.ports.end(),
                        [&](int port) { return HasPort(*known, port) == HasPort(octets, port); });
                }
                break;
        }
        m_report.sets.push_back(std::move(sent));
        return m_report.sets.back().applied;
    }
    const SentSet& LastSet() const { return m_report.sets.back(); }

    // The old bitmap as the switch holds it, with each port the switch has not put in the new
    // VLAN back where it was.
    std::string RestoreOctets() {
        std::string restore = *Old();
        for (const int port : m_plan.ports) {
            if (!HasPort(*New(), port)) {
                SetPort(restore, port, HasPort(m_plan.fromOctets, port));
            }
        }
        return restore;
    }

    PortMoveReport Finish();

private:
    // The lost answer may have been the switch's yes: ask what it holds now.
    std::optional<std::string> ReadBack(const std::string& vlan, SentSet& sent) {
        GetResult read = m_snmp.Get(m_settings, {VlanPortsOid(vlan)});
        sent.readBack = read.status;
        // A bitmap that no longer reaches a port tells nothing of it.
        const std::string* octets =
            read.status.ok() && read.values.size() == 1 ? OctetsIn(read.values.front()) : nullptr;
        if (!octets || PortBeyond(*octets, m_plan.ports) != 0) {
            return std::nullopt;
        }
        return *octets;
    }

    PortPlace PlaceOf(int port);
    std::string Message();

    SnmpAgent& m_snmp;
    const DeviceSettings& m_settings;
    const PortMovePlan& m_plan;
    std::optional<std::string> m_known[2];
    PortMoveReport m_report;
};

PortPlace MoveState::PlaceOf(int port) {
    if (!Old() || !New()) {
        return PortPlace::Unknown;
    }
    const bool inNew = HasPort(*New(), port);
    if (SameVlan()) {
        return inNew ? PortPlace::NewVlan : PortPlace::Neither;
    }
    const bool inOld = HasPort(*Old(), port);
    if (inNew != inOld) {
        return inNew ? PortPlace::NewVlan : PortPlace::OldVlan;
    }
    return inNew ? PortPlace::Both : PortPlace::Neither;
}

// The ports in each place, in the order of the places' sentences.
std::string PortsIn(const std::vector<PortOutcome>& ports, PortPlace place) {
    std::vector<int> in;
    for (const PortOutcome& outcome : ports) {
        if (outcome.place == place) {
            in.push_back(outcome.port);
        }
    }
    return in.empty() ? std::string() : "端口" + PortListText(in);
}

std::string MoveState::Message() {
    const std::string from = VlanText(m_plan.fromVlan);
    const std::string to = VlanText(m_plan.toVlan);
    std::vector<std::string> lines;
    const auto& sets = m_report.sets;
    // Some SET may have taken effect.
    const bool changed = std::any_of(sets.begin(), sets.end(),
                                     [](const SentSet& sent) { return sent.applied != false; });
    const bool restored = std::any_of(sets.begin(), sets.end(), [](const SentSet& sent) {
        return sent.step == MoveStep::Restore && sent.applied == true;
    });
    const SentSet* unread = nullptr;
    for (const SentSet& sent : sets) {
        // A restore that went through the second time needs no word on the first.
        if (sent.applied == true || (restored && sent.step == MoveStep::Restore)) {
            continue;
        }
        if (!sent.applied) {
            unread = &sent;
        }
        lines.push_back(sent.step == MoveStep::Restore
                            ? "恢复" + from + "也失败了(错误信息: " + sent.result.status.text + ")"
                            : SetFailureText(sent.result.status));
    }
    const std::vector<PortOutcome>& ports = m_report.ports;
    if (const std::string moved = PortsIn(ports, PortPlace::NewVlan); !moved.empty()) {
        lines.push_back(moved + "已移到" + to + "。");
    }
    if (const std::string stayed = PortsIn(ports, PortPlace::OldVlan); !stayed.empty()) {
        lines.push_back(restored ? stayed + "未能加入" + to + "，已恢复到" + from + "。"
                                 : stayed + "仍在" + from + "中" + (changed ? "。" : "，"));
    }
    if (const std::string neither = PortsIn(ports, PortPlace::Neither); !neither.empty()) {
        lines.push_back(neither + "现已既不在" + from + "也不在" + to + "中!");
    }
    if (const std::string both = PortsIn(ports, PortPlace::Both); !both.empty()) {
        lines.push_back(both + "现已同时在" + from + "和" + to + "中!");
    }
    if (const std::string unknown = PortsIn(ports, PortPlace::Unknown);
        !unknown.empty() && unread) {
        // The other VLAN was read or confirmed: say what it holds.
        const std::optional<std::string>& other = Old() ? Old() : New();
        const bool inOther = other && std::any_of(m_plan.ports.begin(), m_plan.ports.end(),
                                                  [&](int port) { return HasPort(*other, port); });
        const std::string otherVlan = Old() ? from : to;
        std::string line = "未能读回" + VlanText(unread->vlan) + "的VlanPorts信息(错误信息: " +
                           unread->readBack.value_or(SnmpStatus{}).text + ")，无法确认" + unknown +
                           "是否在" + VlanText(unread->vlan) + "中";
        if (!SameVlan() && other && !inOther) {
            line += "(不在" + otherVlan + "中)";
        }
        lines.push_back(line + "，请重新读取!");
    }
    std::string message;
    for (const std::string& line : lines) {
        message += (message.empty() ? "" : "\r\n") + line;
    }
    return changed ? message : message + "未做任何修改!";
}

PortMoveReport MoveState::Finish() {
    for (const int port : m_plan.ports) {
        m_report.ports.push_back({port, PlaceOf(port)});
    }
    if (!m_report.AllMoved()) {
        m_report.message = Message();
    }
    return std::move(m_report);
}

}  // namespace

std::string VlanPortsOid(std::string_view vlanId) {
    return std::string(kVlanPortsColumn) + "." + std::string(vlanId);
}

PlannedMove PlanPortMove(std::string_view fromVlan, std::string_view toVlan,
                         std::span<const int> ports, std::string fromOctets, std::string toOctets) {
    if (auto refusal = CheckBitmap(fromOctets, fromVlan, ports)) {
        return std::move(*refusal);
    }
    if (auto refusal = CheckBitmap(toOctets, toVlan, ports)) {
        return std::move(*refusal);
    }
    // Moving a port into its own VLAN removes it and then sends the bitmap as read with its bit.
    PortMovePlan plan{std::string(fromVlan),
                      std::string(toVlan),
                      {ports.begin(), ports.end()},
                      std::move(fromOctets),
                      std::move(toOctets),
                      {},
                      {}};
    plan.removalText = BitmapText(WithPorts(plan.fromOctets, ports, false));
    plan.additionText = BitmapText(WithPorts(plan.toOctets, ports, true));
    return plan;
}

PlannedMove PlanPortMove(SnmpAgent& snmp, const DeviceSettings& settings, std::string_view fromVlan,
                         std::string_view toVlan, std::span<const int> ports) {
    GetResult read = snmp.Get(settings, {VlanPortsOid(fromVlan), VlanPortsOid(toVlan)});
    // SNMPv1 names the instance it has not (noSuchName) by its binding.
    if (read.status.code == kNoSuchNameStatus &&
        (read.failedBinding == 1 || read.failedBinding == 2)) {
        return MoveRefusal{"找不到" + VlanText(read.failedBinding == 1 ? fromVlan : toVlan) +
                           "的VlanPorts信息，未做任何修改!"};
    }
    const bool bitmaps = read.status.ok() && read.values.size() == 2 && OctetsIn(read.values[0]) &&
                         OctetsIn(read.values[1]);
    if (!bitmaps) {
        return MoveRefusal{"读取" + VlanText(fromVlan) + "和" + VlanText(toVlan) +
                           "的VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: " +
                           read.status.text + "\r\n未做任何修改!"};
    }
    return PlanPortMove(fromVlan, toVlan, ports, *OctetsIn(read.values[0]),
                        *OctetsIn(read.values[1]));
}

bool PortMoveReport::AllMoved() const {
    return std::all_of(ports.begin(), ports.end(),
                       [](const PortOutcome& port) { return port.place == PortPlace::NewVlan; });
}

PortMoveReport SendPortMove(SnmpAgent& snmp, const DeviceSettings& settings,
                            const PortMovePlan& plan) {
    MoveState move(snmp, settings, plan);
    const std::span<const int> ports = plan.ports;
    // Some switches refuse a port in two VLANs: it leaves the old one first.
    if (move.Send(MoveStep::Removal, true, WithPorts(plan.fromOctets, ports, false)) != true) {
        return move.Finish();  // refused: nothing changed; or the switch no longer answers
    }
    const std::optional<bool> added =
        move.Send(MoveStep::Addition, false, WithPorts(*move.New(), ports, true));
    if (added != false) {
        return move.Finish();  // the goal, or the switch no longer answers
    }
    // The fallback. A restore that got lost on the way goes out once more: the switch answers
    // (it was just read back), and without it the ports would be in no VLAN.
    if (move.Send(MoveStep::Restore, true, move.RestoreOctets()) == false &&
        move.LastSet().result.outcome == SetOutcome::NoResponse) {
        move.Send(MoveStep::Restore, true, move.RestoreOctets());
    }
    return move.Finish();
}

std::string PortListText(std::span<const int> ports) {
    std::string text;
    for (const int port : ports) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(port);
    }
    return text;
}

}  // namespace tarnwick
