// How long the VLAN list and the member view take on the largest switch the tool meets.
#include <benchmark/benchmark.h>

#include <string>

#include "snmp/printable.h"
#include "tests/vlan/fakes.h"
#include "vlan/port_bitmap.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

constexpr int kVlans = 4094;
constexpr int kPorts = 4096;
constexpr int kMemberPorts = 4088;

void BM_FillVlanList(benchmark::State& state) {
    fakes::FakeDialog dialog;
    for (int vlan = 1; vlan <= kVlans; ++vlan) {
        dialog.state.tables.vlanIdTable.push_back(std::to_string(vlan));
        dialog.state.tables.vlanNameTable.push_back("VLAN " + std::to_string(vlan));
        dialog.state.tables.vlanNameInstances.push_back(std::to_string(vlan));
    }
    for (auto _ : state) {
        dialog.vlanList.DeleteAllItems();
        dialog.logic.FillVlanList();
        benchmark::DoNotOptimize(dialog.vlanList.RowCount());
    }
    state.counters["items"] = dialog.vlanList.RowCount();
}
BENCHMARK(BM_FillVlanList)->Unit(benchmark::kMillisecond);

// VLAN 2 holds ports 1 to 4088; the port and name tables list 4,096 ports and interfaces in
// descending order, so a scan from the top would meet each row late.
void LoadLargeSwitch(fakes::FakeDialog& dialog) {
    VlanTables& tables = dialog.state.tables;
    std::string members(kMemberPorts / 8, '\0');
    for (int port = 1; port <= kMemberPorts; ++port) {
        const BitPosition position = PortBitPosition(port, kVlanPortsBitOrder);
        members[position.octet] = static_cast<char>(members[position.octet] | position.mask);
    }
    const std::string column(kVlanPortsColumn);
    tables.vlanIdTable = {"1", "2", "3"};
    tables.vlanPortsTable = {column + ".1-" + HexDump(std::string(kMemberPorts / 8, '\0')),
                             column + ".2-" + HexDump(members),
                             column + ".3-" + HexDump(std::string(kMemberPorts / 8, '\0'))};
    for (int port = kPorts; port >= 1; --port) {
        const std::string ifIndex = std::to_string(4096 + port);
        tables.portIfIndexTable.push_back(std::string(kPortIfIndexColumn) + "." +
                                          std::to_string(port) + "-" + ifIndex);
        tables.ifNameTable.push_back(std::string(kIfNameColumn) + "." + ifIndex +
                                     "-GigabitEthernet0/0/" + std::to_string(port));
    }
    dialog.logic.FillVlanList();
    dialog.vlanList.Select({1});
}

void BM_MemberView(benchmark::State& state) {
    fakes::FakeDialog dialog;
    LoadLargeSwitch(dialog);
    for (auto _ : state) {
        dialog.logic.OnDblclkVlanList();
        benchmark::DoNotOptimize(dialog.interfaceList.RowCount());
    }
    state.counters["rows"] = dialog.interfaceList.RowCount();
}
BENCHMARK(BM_MemberView)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
