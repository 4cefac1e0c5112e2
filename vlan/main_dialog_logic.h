// The main window's commands on the switch's VLANs, written against small interfaces.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dialog_ports.h"
#include "indexed_lookup.h"
#include "snmp_agent.h"
#include "vlan_tables.h"

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

inline constexpr std::string_view kSaveFailure =
    "保存信息失败，请检查IP地址或共同体名! \r\n错误信息: ";

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
    // The two tables a member row is looked up in, each indexed once per view.
    struct MemberLookups {
        IndexedRows portIfIndex;
        IndexedRows ifName;
    };
    MemberLookups IndexMemberTables() const;
    void FillMemberView(std::string_view rowValue, const MemberLookups& lookups);
    void AddMemberPortRow(int port, const MemberLookups& lookups);

    DialogState& m_state;
    DialogPorts m_ports;
};

}  // namespace tarnwick
