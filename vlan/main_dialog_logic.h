// The main window's commands on the switch's VLANs, written against small interfaces.
#pragma once

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
};

struct DialogPorts {
    ReportList& vlanList;
    ReportList& interfaceList;
    MessageBox& messages;
    CursorControl& cursor;
    FieldExchange& fields;
    SnmpAgent& snmp;
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

private:
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
