// The main window's commands on the switch's VLANs, written against small interfaces.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "snmp/device_address.h"
#include "snmp/snmp_agent.h"
#include "vlan/dialog_ports.h"
#include "vlan/member_ports.h"
#include "vlan/save_configuration.h"
#include "vlan/vlan_tables.h"
#include "vlan/walk_column.h"

namespace tarnwick {

// Everything the main window holds for the whole run.
struct DialogState {
    DeviceSettings settings;
    VlanTables tables;
    int memberRowCounter = 0;
    bool busy = false;
    // The VLAN whose members the interface list shows, the one a moved port leaves. A read
    // forgets it: the rows in view may belong to another switch.
    std::optional<std::string> shownVlan;
    // The switch the tables were read from, as parsed and as typed: a move acts on it alone.
    std::optional<DeviceAddress> tablesFrom;
    std::string tablesFromText;
    // Its address as the read resolved it, once: the read's walks and every move go there.
    std::optional<DeviceAddress> tablesAt;
};

struct DialogPorts {
    ReportList& vlanList;
    ReportList& interfaceList;
    MessageBox& messages;
    CursorControl& cursor;
    FieldExchange& fields;
    SnmpAgent& snmp;
    VlanSelection& vlanSelection;
};

class MainDialogLogic {
public:
    MainDialogLogic(DialogState& state, DialogPorts ports);

    // Read: take the fields, walk the six columns, list the VLANs.
    void ReadDevice();
    void FillVlanList();

    // Double-click on the VLAN list: list the selected VLAN's member ports.
    void OnDblclkVlanList();
    void ShowVlanMembers();

    // Double-click on the interface list: move the selected port into a chosen VLAN, then read
    // the VlanPorts column again and redraw the shown VLAN.
    void OnDblclkInterfaceList();
    void ChangePortVlan(const std::string& portText, const std::string& newVlanId);

    // "写入FLASH": tell the switch to save its configuration.
    void OnWriteFlash();

private:
    void DrawVlanMembers(const std::string& vlanId);
    void RereadVlanPorts();
    void AddMemberPortRow(const MemberPort& member);
    bool SettingsNameTheTablesSwitch();
    // The settings with the address the read resolved.
    DeviceSettings AtTheTablesSwitch() const;

    DialogState& m_state;
    DialogPorts m_ports;
};

}  // namespace tarnwick
