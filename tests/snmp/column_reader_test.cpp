// Reads of several columns at once give exactly the tables and outcomes of one-column walks, over
// SNMPv1 and SNMPv2c (the CLI's tests read over SNMPv3 too), on the simulated switch and against
// a scripted agent that finds every answer of more than one binding too big.
#include <gtest/gtest.h>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/start_switch.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using Read = std::pair<std::vector<WalkTable>, std::vector<WalkOutcome::End>>;

// The columns read together, or (the base class's way) walked one after the other.
Read ReadColumns(NetSnmpAgent& snmp, const DeviceSettings& settings,
                 const std::vector<WalkRequest>& requests, bool together) {
    Read read{std::vector<WalkTable>(requests.size()), {}};
    std::vector<ColumnToWalk> columns;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        columns.push_back({requests[i], &read.first[i]});
    }
    for (const WalkOutcome& outcome : together ? snmp.WalkColumns(settings, columns)
                                               : snmp.SnmpAgent::WalkColumns(settings, columns)) {
        read.second.push_back(outcome.end);
    }
    return read;
}

std::vector<WalkRequest> Requests(std::initializer_list<Column> tables) {
    std::vector<WalkRequest> requests;
    for (const ColumnWalk& walk : kColumnWalks) {
        if (std::find(tables.begin(), tables.end(), walk.table) != tables.end()) {
            requests.push_back(RequestOf(*walk.column));
        }
    }
    return requests;
}

TEST(ColumnReader, SameTablesAsOneColumnWalksOverV1AndV2c) {
    InitSnmpLibrary();
    const auto sim = test::StartSwitch(test::SimulatedSwitch::Variant::Standard);
    ASSERT_TRUE(sim);
    DeviceSettings v1;
    v1.ipAddress = sim->Address();
    DeviceSettings v2c = v1;
    v2c.version = SnmpVersion::V2c;
    using T = VlanTables;
    // The columns of vlans, members, dump and move; the VLAN columns end long before the
    // interface columns, and column 9 of the VLAN table is empty.
    auto withEmpty = Requests({&T::vlanIdTable, &T::ifIndexTable});
    withEmpty.insert(withEmpty.begin() + 1, WalkRequest{"1.3.6.1.4.1.2011.2.23.1.2.1.1.1.9"});
    for (const auto& requests :
         {Requests({&T::vlanIdTable, &T::vlanNameTable}),
          Requests({&T::ifNameTable, &T::vlanPortsTable, &T::portIfIndexTable}),
          Requests({&T::ifIndexTable, &T::ifNameTable, &T::vlanIdTable, &T::vlanNameTable,
                    &T::vlanPortsTable, &T::portIfIndexTable}),
          Requests({&T::vlanPortsTable}), withEmpty}) {
        NetSnmpAgent snmp;
        const Read expected = ReadColumns(snmp, v1, requests, false);
        ASSERT_FALSE(expected.first.front().empty());
        for (const DeviceSettings* settings : {&v1, &v2c}) {
            EXPECT_EQ(ReadColumns(snmp, *settings, requests, true), expected)
                << requests.front().columnOid << ", version " << int(settings->version);
        }
    }
}

TEST(ColumnReader, TooBigShrinksToOneRowOfOneColumn) {
    InitSnmpLibrary();
    // Columns 1 (three rows) and 2 (one row) of ifTable; past them, ifName.
    const std::map<test::SubIds, std::string> next = {
        {test::Oid("1.3.6.1.2.1.2.2.1.1"), "1.3.6.1.2.1.2.2.1.1.1"},
        {test::Oid("1.3.6.1.2.1.2.2.1.1.1"), "1.3.6.1.2.1.2.2.1.1.2"},
        {test::Oid("1.3.6.1.2.1.2.2.1.1.2"), "1.3.6.1.2.1.2.2.1.1.3"},
        {test::Oid("1.3.6.1.2.1.2.2.1.1.3"), "1.3.6.1.2.1.2.2.1.2.1"},
        {test::Oid("1.3.6.1.2.1.2.2.1.2"), "1.3.6.1.2.1.2.2.1.2.1"},
        {test::Oid("1.3.6.1.2.1.2.2.1.2.1"), "1.3.6.1.2.1.31.1.1.1.1.1"}};
    test::ScriptedAgent agent([&next](int, const test::ReceivedRequest& request) {
        const bool tooBig = !request.moreBindings.empty() || request.maxRepetitions > 1;
        const auto found = next.find(request.oid);
        if (tooBig || found == next.end()) {
            return test::ScriptedAnswer{false, tooBig ? 1 : 2, {}, {}};  // tooBig, noSuchName
        }
        return test::ScriptedAnswer{false, 0, test::Oid(found->second), "row"};
    });
    DeviceSettings settings;
    settings.ipAddress = agent.Address();
    const std::vector<WalkRequest> requests{{"1.3.6.1.2.1.2.2.1.1", RowForm::WalkRow},
                                            {"1.3.6.1.2.1.2.2.1.2", RowForm::WalkRow}};
    NetSnmpAgent snmp;
    const Read expected = ReadColumns(snmp, settings, requests, false);
    ASSERT_EQ(expected.first[0].size() + expected.first[1].size(), 4u);
    for (const SnmpVersion version : {SnmpVersion::V1, SnmpVersion::V2c}) {
        settings.version = version;
        EXPECT_EQ(ReadColumns(snmp, settings, requests, true), expected) << int(version);
    }
}

}  // namespace
}  // namespace tarnwick
