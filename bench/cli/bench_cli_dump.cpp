// `dump --json` in process over switches whose tables are hostile in size, not in text: 2,000 VLAN
// rows all claiming VLAN 1 with a 1,000-octet bitmap (vendor MIB), and 65,536 Q-BRIDGE VLAN rows
// with two-part instances. What the switch sends is served by the fake agent, so the figures are
// the CLI's own work; the peak resident memory of the whole process is a counter.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "tests/cli/in_process.h"
#include "tests/vlan/fakes.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {
namespace {

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Dump(benchmark::State& state, fakes::FakeSnmpAgent& snmp) {
    cli::Invocation invocation;
    invocation.settings.ipAddress = "127.0.0.1:9";
    invocation.command = cli::Command::Dump;
    invocation.json = true;
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = test::RunInProcess(invocation, snmp).out.size();
    }
    state.counters["outputMB"] = static_cast<double>(bytes) / 1e6;
    state.counters["peakRssMB"] = PeakMegabytes();
}

void BM_DumpOfRowsRepeatingOneVlan(benchmark::State& state) {
    fakes::FakeSnmpAgent snmp(nullptr);
    snmp.columns[std::string(kVlanIdColumn)] = {{"1"}};
    auto& ids = snmp.valueColumns[std::string(kVlanIdColumn)].rows;
    for (int row = 1; row <= 2000; ++row) {
        ids.push_back({std::to_string(row), std::int32_t{1}});
    }
    snmp.valueColumns[std::string(kVlanPortsColumn)].rows = {
        {"1", OctetString{std::string(1000, '\xFF')}}};
    Dump(state, snmp);
}
BENCHMARK(BM_DumpOfRowsRepeatingOneVlan)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QBridgeDumpOfTwoPartInstances(benchmark::State& state) {
    fakes::FakeSnmpAgent snmp(nullptr);
    snmp.columns[std::string(kDot1qVlanStaticNameColumn)] = {{"v"}};
    auto& names = snmp.valueColumns[std::string(kDot1qVlanStaticNameColumn)].rows;
    auto& egress = snmp.valueColumns[std::string(kDot1qVlanStaticEgressPortsColumn)].rows;
    auto& untagged = snmp.valueColumns[std::string(kDot1qVlanStaticUntaggedPortsColumn)].rows;
    for (int row = 0; row < 65536; ++row) {
        const std::string instance = std::to_string(row / 256) + "." + std::to_string(row % 256);
        names.push_back({instance, OctetString{"vlan " + instance}});
        egress.push_back({instance, OctetString{std::string("\x81\0\0\0\0\0\0\0", 8)}});
        untagged.push_back({instance, OctetString{std::string("\x80\0\0\0\0\0\0\0", 8)}});
    }
    Dump(state, snmp);
}
BENCHMARK(BM_QBridgeDumpOfTwoPartInstances)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
