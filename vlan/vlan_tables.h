// The window's six tables: the vendor MIB's columns, walked one after the other, each stored in
// its printable rows.
#pragma once

#include <array>

#include "snmp/snmp_agent.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {

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

// One walked column: the table its rows go to, the column, and where its rows' instances go
// when they are kept.
struct ColumnWalk {
    Column table;
    const MibColumn* column;
    Column instances = nullptr;
};

// In read order, the vendor MIB's.
inline constexpr std::array<ColumnWalk, kVendorColumns.size()> kColumnWalks = {{
    {&VlanTables::ifIndexTable, &kVendorColumns[0]},
    {&VlanTables::ifNameTable, &kVendorColumns[1]},
    {&VlanTables::vlanIdTable, &kVendorColumns[2]},
    {&VlanTables::vlanNameTable, &kVendorColumns[3], &VlanTables::vlanNameInstances},
    {&VlanTables::vlanPortsTable, &kVendorColumns[4]},
    {&VlanTables::portIfIndexTable, &kVendorColumns[5]},
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
