// The six walked columns of a switch, the tables they fill and their failure messages.
#pragma once

#include <array>
#include <string_view>

#include "snmp/snmp_agent.h"

namespace tarnwick {

inline constexpr std::string_view kIfIndexColumn = "1.3.6.1.2.1.2.2.1.1";
inline constexpr std::string_view kIfNameColumn = "1.3.6.1.2.1.31.1.1.1.1";
inline constexpr std::string_view kVlanIdColumn = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.1";
inline constexpr std::string_view kVlanNameColumn = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.2";
inline constexpr std::string_view kVlanPortsColumn = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.3";
inline constexpr std::string_view kPortIfIndexColumn = "1.3.6.1.4.1.2011.2.23.1.18.4.5.1.3";
inline constexpr std::string_view kSaveConfigurationOid = "1.3.6.1.4.1.2011.2.23.1.9.1.11.0";

struct VlanTables {
    WalkTable ifIndexTable;
    WalkTable ifNameTable;
    WalkTable vlanIdTable;
    WalkTable vlanNameTable;
    WalkTable vlanNameInstances;  // each name row's instance: the VLAN it names
    WalkTable vlanPortsTable;
    WalkTable portIfIndexTable;
};

// One of the tables, named by its member.
using Column = WalkTable VlanTables::*;

// One walked column: where its rows go, in which form, what a failed walk says, and what a
// progress report calls it.
struct ColumnWalk {
    Column table;
    WalkRequest request;
    std::string_view failureMessage;
    std::string_view name;
    Column instances = nullptr;  // where the rows' instances go, when kept
};

// In read order.
inline constexpr std::array<ColumnWalk, 6> kColumnWalks = {{
    {&VlanTables::ifIndexTable,
     {kIfIndexColumn, RowForm::Value, OctetForm::Auto},
     "读取if信息失败，请检查IP地址或共同体名!",
     "ifIndex"},
    {&VlanTables::ifNameTable,
     {kIfNameColumn, RowForm::WalkRow, OctetForm::Auto},
     "读取ifName信息失败，请检查IP地址或共同体名!",
     "ifName"},
    {&VlanTables::vlanIdTable,
     {kVlanIdColumn, RowForm::Value, OctetForm::Auto},
     "读取Vlan信息失败，请检查IP地址或共同体名!",
     "VLAN IDs"},
    {&VlanTables::vlanNameTable,
     {kVlanNameColumn, RowForm::Value, OctetForm::Auto},
     "读取VlanName信息失败，请检查IP地址或共同体名!",
     "VLAN names",
     &VlanTables::vlanNameInstances},
    {&VlanTables::vlanPortsTable,
     {kVlanPortsColumn, RowForm::WalkRow, OctetForm::HexDump},
     "读取VlanPorts信息失败，请检查IP地址或共同体名!",
     "VlanPorts"},
    {&VlanTables::portIfIndexTable,
     {kPortIfIndexColumn, RowForm::WalkRow, OctetForm::Auto},
     "读PortIfIndex取信息失败，请检查IP地址或共同体名!",
     "port ifIndex"},
}};

// Every column, in read order: what the window's Read walks.
inline constexpr std::array<Column, kColumnWalks.size()> kEveryColumn = [] {
    std::array<Column, kColumnWalks.size()> columns{};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i] = kColumnWalks[i].table;
    }
    return columns;
}();

}  // namespace tarnwick
