// Moving ports between VLANs by rewriting the two VLANs' VlanPorts bitmaps, so that a port is
// never left in no VLAN: everything is checked before the first SET, the removal goes first, no
// addition follows a failed removal, and a failed addition puts the old bitmap back.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"

namespace tarnwick {

inline constexpr std::string_view kSetVlanPortsFailure =
    "设定VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: ";

// One SET of the row's VlanPorts instance (the OID before the row's first "-") with the bitmap
// text's octets, zero octets included.
SnmpStatus SendVlanPorts(SnmpAgent& snmp, const DeviceSettings& settings,
                         std::string_view bitmapText, std::string_view row);
// The same, showing the failure message with the library's text when the SET fails.
SnmpStatus SetVlanPorts(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings,
                        std::string_view bitmapText, std::string_view row);

// The first vlanPortsTable row whose OID is the VLAN's VlanPorts instance, or nullptr.
const std::string* FindVlanPortsRow(const WalkTable& vlanPortsTable, std::string_view vlanId);

// Everything a move sends, computed from the bitmaps as read before anything is sent. Bitmap
// texts keep the length they were read with; only the moved ports' bits differ from it.
struct PortMovePlan {
    std::string fromVlan;
    std::string toVlan;
    std::vector<int> ports;
    std::string fromRow;       // the old VLAN's row as read
    std::string toRow;         // the new VLAN's row as read
    std::string restoreText;   // the old VLAN's bitmap text as read
    std::string removalText;   // the old bitmap without the ports
    std::string additionText;  // the new VLAN's bitmap as read, with the ports
};

// Why nothing was sent: the message that says so.
struct MoveRefusal {
    std::string message;
};

// Checks that both VLANs have a row and that both bitmaps reach every port's octet.
std::variant<PortMovePlan, MoveRefusal> PlanPortMove(const WalkTable& vlanPortsTable,
                                                     std::string_view fromVlan,
                                                     std::string_view toVlan,
                                                     std::span<const int> ports);

enum class MoveResult {
    Moved,
    RemovalFailed,             // nothing else sent: the ports are where they were
    AdditionFailedRestored,    // the old bitmap is back: the ports are where they were
    AdditionFailedNotRestored  // the ports are in neither VLAN
};

// Sends the removal, then the addition, then after a failed addition the old bitmap. The restore
// goes out before any message waits for the user; each failure is shown in one message.
MoveResult SendPortMove(SnmpAgent& snmp, MessageBox& messages, const DeviceSettings& settings,
                        const PortMovePlan& plan);

// "9" or "1,2,12": the ports as the messages name them.
std::string PortListText(std::span<const int> ports);

}  // namespace tarnwick
