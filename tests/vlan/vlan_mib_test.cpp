// Which VLAN table a switch publishes: the simulated switches over loopback, the rest with fakes.
#include "vlan/vlan_mib.h"

#include <gtest/gtest.h>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/support/start_switch.h"
#include "tests/vlan/fakes.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

TEST(VlanMib, VendorOnTheVendorSwitchQBridgeOnTheQBridgeOne) {
    InitSnmpLibrary();
    using Variant = test::SimulatedSwitch::Variant;
    for (const auto& [variant, mib] :
         {std::pair{Variant::Standard, &kVendorMib}, {Variant::QBridge, &kQBridgeMib}}) {
        auto sim = test::StartSwitch(variant);
        ASSERT_NE(sim, nullptr);
        NetSnmpAgent snmp;
        const VlanMibDetection found = DetectVlanMib(snmp, {.ipAddress = sim->Address()});
        EXPECT_EQ(found.mib, mib) << found.status.text;
    }
}

TEST(VlanMib, PrefersTheVendorsAndNamesTheRequestThatFailed) {
    const std::string vendor(kVlanIdColumn), standard(kDot1qVlanStaticNameColumn);
    using Column = fakes::FakeSnmpAgent::Column;
    const Column rows{{"1"}}, down{{}, WalkOutcome::End::FirstRequestFailed};
    const struct {
        std::map<std::string, Column> columns;
        const VlanMib* mib;
        std::string_view failedColumn;
        std::size_t requests;
    } cases[] = {{{}, nullptr, {}, 2},
                 {{{vendor, rows}, {standard, rows}}, &kVendorMib, {}, 1},
                 {{{vendor, down}, {standard, rows}}, nullptr, vendor, 1},
                 {{{standard, down}}, nullptr, standard, 2}};
    for (const auto& c : cases) {
        fakes::FakeSnmpAgent snmp(nullptr);
        snmp.columns = c.columns;
        const VlanMibDetection found = DetectVlanMib(snmp, {.ipAddress = "127.0.0.1"});
        EXPECT_EQ(found.mib, c.mib) << "row " << &c - cases;
        EXPECT_EQ(found.Failed() ? found.failedColumn->oid : "", c.failedColumn);
        EXPECT_EQ(snmp.walks.size(), c.requests);
    }
}

}  // namespace
}  // namespace tarnwick
