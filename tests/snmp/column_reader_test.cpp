// Reads of several columns at once give exactly the tables and outcomes of one-column walks:
// over SNMPv1 GETNEXT and SNMPv2c GETBULK on the simulated switch, over SNMPv3 through its snmpd
// front, and against a scripted agent that finds every request of several columns too big.
#include <gtest/gtest.h>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/simulated_switch.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using test::SimulatedSwitch;
using End = WalkOutcome::End;

// A column of the vendor's VLAN table that the switch does not implement.
const WalkRequest kEmptyColumn{"1.3.6.1.4.1.2011.2.23.1.2.1.1.1.9"};

struct Read {
    std::vector<WalkTable> tables;
    std::vector<End> ends;
    bool operator==(const Read&) const = default;
    friend void PrintTo(const Read& read, std::ostream* os) {
        for (std::size_t i = 0; i < read.tables.size(); ++i) {
            *os << "\n  " << read.tables[i].size() << " rows, end "
                << static_cast<int>(read.ends[i])
                << (read.tables[i].empty() ? "" : ", last " + read.tables[i].back());
        }
    }
};

Read Together(SnmpAgent& snmp, const DeviceSettings& settings,
              const std::vector<WalkRequest>& requests) {
    Read read{std::vector<WalkTable>(requests.size()), {}};
    std::vector<ColumnToWalk> columns;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        columns.push_back({requests[i], &read.tables[i]});
    }
    for (const WalkOutcome& outcome : snmp.WalkColumns(settings, columns)) {
        read.ends.push_back(outcome.end);
    }
    return read;
}

Read OneByOne(NetSnmpAgent& snmp, const DeviceSettings& settings,
              const std::vector<WalkRequest>& requests) {
    Read read;
    for (const WalkRequest& request : requests) {
        read.tables.emplace_back();
        read.ends.push_back(snmp.Walk(settings, request, read.tables.back()).end);
    }
    return read;
}

std::vector<WalkRequest> Requests(std::initializer_list<WalkTable VlanTables::*> tables) {
    std::vector<WalkRequest> requests;
    for (const auto table : tables) {
        requests.push_back(ColumnWalkOf(table).request);
    }
    return requests;
}

// The columns each command reads; the VLAN columns end long before the interface columns,
// and one column is empty.
const std::vector<std::vector<WalkRequest>> kColumnSets = {
    Requests({&VlanTables::vlanIdTable, &VlanTables::vlanNameTable}),
    Requests(
        {&VlanTables::ifNameTable, &VlanTables::vlanPortsTable, &VlanTables::portIfIndexTable}),
    Requests({&VlanTables::ifIndexTable, &VlanTables::ifNameTable, &VlanTables::vlanIdTable,
              &VlanTables::vlanNameTable, &VlanTables::vlanPortsTable,
              &VlanTables::portIfIndexTable}),
    Requests({&VlanTables::vlanPortsTable}),
    {ColumnWalkOf(&VlanTables::vlanIdTable).request, kEmptyColumn,
     ColumnWalkOf(&VlanTables::ifIndexTable).request},
};

TEST(ColumnReader, SameTablesAsOneColumnWalksInEveryVersion) {
    InitSnmpLibrary();
    std::string error;
    const auto sim = SimulatedSwitch::StartWithUsmFront(SimulatedSwitch::Variant::Standard, &error);
    ASSERT_TRUE(sim) << error;
    DeviceSettings v1;
    v1.ipAddress = sim->Address();
    v1.timeout = 2000;
    DeviceSettings v2c = v1;
    v2c.version = SnmpVersion::V2c;
    DeviceSettings v3 = v1;
    v3.ipAddress = sim->UsmAddress();
    v3.version = SnmpVersion::V3;
    v3.usm = {"tarnwick-rw",      SecurityLevel::AuthPriv, AuthProtocol::Sha, PrivProtocol::Aes, "",
              "tarnwick-rw-auth", "tarnwick-rw-priv"};
    NetSnmpAgent snmp;
    for (const auto& requests : kColumnSets) {
        const Read expected = OneByOne(snmp, v1, requests);
        ASSERT_FALSE(expected.tables.front().empty());
        for (const DeviceSettings* settings : {&v1, &v2c, &v3}) {
            EXPECT_EQ(Together(snmp, *settings, requests), expected)
                << requests.front().columnOid << " over version "
                << static_cast<int>(settings->version);
        }
    }
}

TEST(ColumnReader, TooBigShrinksToOneRowOfOneColumn) {
    InitSnmpLibrary();
    // Two columns of three and one rows; an answer of more than one binding is too big.
    const std::map<test::SubIds, test::SubIds> next = {
        {test::Oid("1.3.6.1.2.1.2.2.1.1"), test::Oid("1.3.6.1.2.1.2.2.1.1.1")},
        {test::Oid("1.3.6.1.2.1.2.2.1.1.1"), test::Oid("1.3.6.1.2.1.2.2.1.1.2")},
        {test::Oid("1.3.6.1.2.1.2.2.1.1.2"), test::Oid("1.3.6.1.2.1.2.2.1.1.3")},
        {test::Oid("1.3.6.1.2.1.2.2.1.1.3"), test::Oid("1.3.6.1.2.1.2.2.1.2.1")},
        {test::Oid("1.3.6.1.2.1.2.2.1.2"), test::Oid("1.3.6.1.2.1.2.2.1.2.1")},
        {test::Oid("1.3.6.1.2.1.2.2.1.2.1"), test::Oid("1.3.6.1.2.1.31.1.1.1.1.1")},
    };
    constexpr int kTooBig = 1;
    constexpr int kNoSuchName = 2;
    test::ScriptedAgent agent([&next](int, const test::ReceivedRequest& request) {
        const auto found = next.find(request.oid);
        const bool tooBig = request.bindings > 1 || request.maxRepetitions > 1;
        if (tooBig || found == next.end()) {
            return test::ScriptedAnswer{false, tooBig ? kTooBig : kNoSuchName, {}, {}};
        }
        return test::ScriptedAnswer{false, 0, found->second, "row"};
    });
    DeviceSettings settings;
    settings.ipAddress = agent.Address();
    settings.timeout = 200;
    const std::vector<WalkRequest> requests{{"1.3.6.1.2.1.2.2.1.1", RowForm::WalkRow},
                                            {"1.3.6.1.2.1.2.2.1.2", RowForm::WalkRow}};
    NetSnmpAgent snmp;
    const Read expected = OneByOne(snmp, settings, requests);
    ASSERT_EQ(expected.tables[0].size(), 3u);
    ASSERT_EQ(expected.ends, (std::vector<End>{End::Complete, End::Complete}));
    for (const SnmpVersion version : {SnmpVersion::V1, SnmpVersion::V2c}) {
        settings.version = version;
        EXPECT_EQ(Together(snmp, settings, requests), expected) << static_cast<int>(version);
    }
}

}  // namespace
}  // namespace tarnwick
