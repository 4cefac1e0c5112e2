// Moving ports between VLANs by rewriting the two VLANs' VlanPorts bitmaps.
#include "vlan/port_move.h"

#include "vlan/indexed_lookup.h"
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

// The bitmap text with each port's bit set or cleared; the caller has checked that every port's
// octet lies within the text.
std::string WithPorts(std::string_view bitmapText, std::span<const int> ports, bool member) {
    std::string octets = BitmapOctets(bitmapText);
    for (const int port : ports) {
        const BitPosition position = PortBitPosition(port);
        auto octet = static_cast<unsigned char>(octets[position.octet]);
        octet = member ? octet | position.mask : octet & ~position.mask;
        octets[position.octet] = static_cast<char>(octet);
    }
    // An odd last digit carries no octet and is sent as no octet, as read.
    return BitmapText(octets);
}

// The VLAN's row and bitmap text, or the refusal that names what is missing.
std::variant<std::string, MoveRefusal> CheckedBitmap(const std::string* row,
                                                     std::string_view vlanId,
                                                     std::span<const int> ports) {
    if (row == nullptr) {
        return MoveRefusal{"找不到" + VlanText(vlanId) + "的VlanPorts信息，未做任何修改!"};
    }
    std::string bitmapText = ExtractBitmapText(WalkRowValue(*row));
    const std::size_t octets = bitmapText.size() / 2;
    for (const int port : ports) {
        if (port < 1 || PortBitPosition(port).octet >= octets) {
            return MoveRefusal{VlanText(vlanId) + "的VlanPorts信息不包含端口" +
                               std::to_string(port) + "，未做任何修改!"};
        }
    }
    return bitmapText;
}

}  // namespace

SnmpStatus SendVlanPorts(SnmpAgent& snmp, const DeviceSettings& settings,
                         std::string_view bitmapText, std::string_view row) {
    return snmp.Set(settings, WalkRowOid(row), OctetString{BitmapOctets(bitmapText)});
}

SnmpStatus SetVlanPorts(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings,
                        std::string_view bitmapText, std::string_view row) {
    SnmpStatus status = SendVlanPorts(snmp, settings, bitmapText, row);
    if (!status.ok()) {
        messages.Show(SetFailureText(status));
    }
    return status;
}

const std::string* FindVlanPortsRow(const WalkTable& vlanPortsTable, std::string_view vlanId) {
    for (const std::string& row : vlanPortsTable) {
        if (IsRowOfInstance(row, vlanId, kVlanPortsColumn)) {
            return &row;
        }
    }
    return nullptr;
}

std::variant<PortMovePlan, MoveRefusal> PlanPortMove(const WalkTable& vlanPortsTable,
                                                     std::string_view fromVlan,
                                                     std::string_view toVlan,
                                                     std::span<const int> ports) {
    const std::string* fromRow = FindVlanPortsRow(vlanPortsTable, fromVlan);
    auto from = CheckedBitmap(fromRow, fromVlan, ports);
    if (auto* refusal = std::get_if<MoveRefusal>(&from)) {
        return std::move(*refusal);
    }
    const std::string* toRow = FindVlanPortsRow(vlanPortsTable, toVlan);
    auto to = CheckedBitmap(toRow, toVlan, ports);
    if (auto* refusal = std::get_if<MoveRefusal>(&to)) {
        return std::move(*refusal);
    }
    const std::string& fromText = std::get<std::string>(from);
    const std::string& toText = std::get<std::string>(to);
    // Both come from the bitmaps as read: moving a port into its own VLAN removes it and then
    // sends the bitmap as read with its bit set.
    return PortMovePlan{std::string(fromVlan),
                        std::string(toVlan),
                        {ports.begin(), ports.end()},
                        *fromRow,
                        *toRow,
                        fromText,
                        WithPorts(fromText, ports, false),
                        WithPorts(toText, ports, true)};
}

MoveResult SendPortMove(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings,
                        const PortMovePlan& plan) {
    // Some switches refuse a port in two VLANs: it leaves the old one first.
    if (!SetVlanPorts(snmp, messages, settings, plan.removalText, plan.fromRow).ok()) {
        return MoveResult::RemovalFailed;
    }
    const SnmpStatus addition = SendVlanPorts(snmp, settings, plan.additionText, plan.toRow);
    if (addition.ok()) {
        return MoveResult::Moved;
    }
    const SnmpStatus restore = SendVlanPorts(snmp, settings, plan.restoreText, plan.fromRow);
    const std::string ports = PortListText(plan.ports);
    if (restore.ok()) {
        messages.Show(SetFailureText(addition) + "\r\n端口" + ports + "未能加入" +
                      VlanText(plan.toVlan) + "，已恢复到" + VlanText(plan.fromVlan) + "。");
        return MoveResult::AdditionFailedRestored;
    }
    messages.Show(SetFailureText(addition) + "\r\n恢复" + VlanText(plan.fromVlan) +
                  "也失败了(错误信息: " + restore.text + ")，端口" + ports + "现已既不在" +
                  VlanText(plan.fromVlan) + "也不在" + VlanText(plan.toVlan) + "中!");
    return MoveResult::AdditionFailedNotRestored;
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
