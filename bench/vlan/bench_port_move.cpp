// One port move as the window makes it (one GET of both bitmaps, two SETs, the VlanPorts column
// read again, the member view redrawn) against the simulated 48-port switch over loopback, and one
// as tarnwick-cli makes it on the simulated Q-BRIDGE switch (one GET, one SET of every binding,
// one GET afterwards), with the requests each sends.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/support/simulated_switch.h"
#include "tests/vlan/fakes.h"
#include "vlan/q_bridge_move.h"

namespace tarnwick {
namespace {

// Counts what goes out: a walk sends one GETNEXT per row and one that leaves the column.
class CountingNetSnmp final : public SnmpAgent {
public:
    WalkOutcome Walk(const DeviceSettings& settings, const WalkRequest& request,
                     WalkTable& table) override {
        const std::size_t before = table.size();
        WalkOutcome outcome = m_snmp.Walk(settings, request, table);
        getNexts += table.size() - before + 1;
        return outcome;
    }
    GetResult Get(const DeviceSettings& settings, const std::vector<std::string>& oids) override {
        ++gets;
        return m_snmp.Get(settings, oids);
    }
    SetResult Set(const DeviceSettings& settings, std::string_view oid,
                  const SnmpValue& value) override {
        ++sets;
        return m_snmp.Set(settings, oid, value);
    }
    SetResult SetTogether(const DeviceSettings& settings,
                          std::span<const VarBinding> bindings) override {
        ++sets;
        return m_snmp.SetTogether(settings, bindings);
    }
    void WaitOneTimeout(const DeviceSettings& settings) override {
        m_snmp.WaitOneTimeout(settings);
    }
    std::size_t getNexts = 0;
    std::size_t gets = 0;
    std::size_t sets = 0;

private:
    NetSnmpAgent m_snmp;
};

std::unique_ptr<test::SimulatedSwitch> g_switch;
std::unique_ptr<test::SimulatedSwitch> g_qBridgeSwitch;

// Port 9 moves from VLAN 2 to VLAN 10 and back, so every move is a real one.
void BM_MovePort(benchmark::State& state) {
    CountingNetSnmp snmp;
    fakes::FakeDialog dialog(nullptr, &snmp);
    dialog.fields.address = g_switch->Address();
    dialog.logic.ReadDevice();
    snmp.getNexts = 0;
    std::size_t moves = 0;
    for (auto _ : state) {
        const bool there = moves % 2 == 0;
        dialog.state.shownVlan = there ? "2" : "10";
        dialog.interfaceList.DeleteAllItems();
        dialog.interfaceList.InsertItem(0, "9");
        dialog.interfaceList.Select({0});
        dialog.vlanSelection.choice = there ? "10/office" : "2/mgmt";
        dialog.logic.OnDblclkInterfaceList();
        ++moves;
    }
    if (!dialog.messages.shown.empty()) {
        state.SkipWithError(dialog.messages.shown.front().c_str());
    }
    state.counters["sets/move"] = static_cast<double>(snmp.sets) / static_cast<double>(moves);
    state.counters["gets/move"] = static_cast<double>(snmp.gets) / static_cast<double>(moves);
    state.counters["getnexts/move"] =
        static_cast<double>(snmp.getNexts) / static_cast<double>(moves);
}
BENCHMARK(BM_MovePort)->Unit(benchmark::kMillisecond)->Iterations(50);

// The hybrid port 5 moves from VLAN 10 to VLAN 20 and back, its tagged VLAN 100 kept.
void BM_MoveQBridgePort(benchmark::State& state) {
    CountingNetSnmp snmp;
    const DeviceSettings settings{.ipAddress = g_qBridgeSwitch->Address()};
    const int ports[] = {5};
    std::size_t moves = 0;
    for (auto _ : state) {
        const bool there = moves % 2 == 0;
        const auto planned =
            PlanQBridgeMove(snmp, settings, there ? 10 : 20, there ? 20 : 10, ports);
        const auto* plan = std::get_if<MovePlan>(&planned);
        if (!plan) {
            return state.SkipWithError("refused");
        }
        const MoveReport report = SendMove(snmp, settings, *plan);
        if (!report.AllMoved() || !ReadPortStates(snmp, settings, *plan)) {
            return state.SkipWithError("not moved");
        }
        ++moves;
    }
    state.counters["sets/move"] = static_cast<double>(snmp.sets) / static_cast<double>(moves);
    state.counters["gets/move"] = static_cast<double>(snmp.gets) / static_cast<double>(moves);
}
BENCHMARK(BM_MoveQBridgePort)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    tarnwick::InitSnmpLibrary();
    std::string error;
    using Variant = tarnwick::test::SimulatedSwitch::Variant;
    tarnwick::g_switch = tarnwick::test::SimulatedSwitch::Start(Variant::Standard, &error);
    if (tarnwick::g_switch) {
        tarnwick::g_qBridgeSwitch =
            tarnwick::test::SimulatedSwitch::Start(Variant::QBridge, &error);
    }
    if (!tarnwick::g_switch || !tarnwick::g_qBridgeSwitch) {
        std::fprintf(stderr, "the simulated switch did not start: %s\n", error.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tarnwick::g_switch.reset();
    tarnwick::g_qBridgeSwitch.reset();
    return 0;
}
