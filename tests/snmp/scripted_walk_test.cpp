// Walk and SET behaviours against a scripted loopback agent that counts what it receives.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "snmp/net_snmp_agent.h"
#include "snmp/net_snmp_values.h"
#include "snmp/snmp_library.h"
#include "snmp/walk_bounds.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/simulated_switch.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using test::Oid;
using test::ReceivedRequest;
using test::ScriptedAgent;
using test::ScriptedAnswer;
using test::SubIds;
using End = WalkOutcome::End;

constexpr int kGenErr = 5;
constexpr int kNoSuchName = 2;

class ScriptedWalk : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitSnmpLibrary(); }

    DeviceSettings SettingsFor(const ScriptedAgent& agent) const {
        DeviceSettings settings;
        settings.ipAddress = agent.Address();
        settings.timeout = kMinTimeout;
        return settings;
    }

    // Distinct requests (not counting the library's one retry) that asked for this OID.
    static int RequestsFor(const ScriptedAgent& agent, const SubIds& oid) {
        std::set<std::int64_t> ids;
        for (const auto& request : agent.Requests()) {
            if (request.oid == oid) {
                ids.insert(request.requestId);
            }
        }
        return static_cast<int>(ids.size());
    }

    int m_served = 0;  // calls of the "while waiting" callback
    NetSnmpAgent m_snmp{[this] { ++m_served; }};
    WalkTable m_table;
};

std::string IfIndexOf(int instance) {
    return std::string(kIfIndexColumn) + "." + std::to_string(instance);
}

ScriptedAnswer Row(std::string_view oid, std::string value) {
    return {false, 0, Oid(oid), std::move(value)};
}

ScriptedAnswer Error(int errorStatus) {
    return {false, errorStatus, {}, {}};
}

ScriptedAnswer Silence() {
    return {true, 0, {}, {}};
}

// Answers GETNEXT from a fixed successor map; anything else is past the agent's MIB view.
ScriptedAgent::Script Successors(std::map<SubIds, ScriptedAnswer> next) {
    return [next = std::move(next)](int, const ReceivedRequest& request) {
        const auto found = next.find(request.oid);
        return found != next.end() ? found->second : Error(kNoSuchName);
    };
}

TEST_F(ScriptedWalk, ColumnTenAfterColumnOneCountsAsInside) {
    ScriptedAgent agent(Successors({
        {Oid(kIfIndexColumn), Row(IfIndexOf(1), "one")},
        {Oid(IfIndexOf(1)), Row("1.3.6.1.2.1.2.2.1.10.1", "ten")},
        {Oid("1.3.6.1.2.1.2.2.1.10.1"), Row(std::string(kIfNameColumn) + ".1", "next table")},
    }));
    const auto outcome =
        m_snmp.Walk(SettingsFor(agent), {kIfIndexColumn, RowForm::WalkRow}, m_table);
    EXPECT_EQ(outcome.end, End::Complete);
    EXPECT_EQ(m_table, (WalkTable{IfIndexOf(1) + "-one", "1.3.6.1.2.1.2.2.1.10.1-ten"}));
}

TEST_F(ScriptedWalk, BrokenAnswersEndTheWalkAsAFailure) {
    const ScriptedAnswer five = Row(IfIndexOf(5), "5");
    const ScriptedAnswer noBinding{false, 0, {}, {}, true};
    struct Case {
        const char* name;
        ScriptedAnswer first, second;
        int code;
        WalkTable rows;
    };
    const Case cases[] = {
        {"repeats the OID", five, five, SNMPERR_OID_NONINCREASING, {"5"}},
        {"goes back", five, Row(IfIndexOf(3), "3"), SNMPERR_OID_NONINCREASING, {"5"}},
        {"no binding", five, noBinding, SNMPERR_NO_VARS, {"5"}},
        {"no binding at first", noBinding, five, SNMPERR_NO_VARS, {}},
    };
    for (const auto& c : cases) {
        ScriptedAgent agent(
            [&c](int number, const ReceivedRequest&) { return number == 0 ? c.first : c.second; });
        WalkTable table;
        const auto outcome = m_snmp.Walk(SettingsFor(agent), {kIfIndexColumn}, table);
        EXPECT_EQ(outcome.end, End::BadAnswer) << c.name;
        EXPECT_EQ(outcome.status.code, c.code) << c.name;
        EXPECT_EQ(table, c.rows) << c.name;
    }
}

TEST_F(ScriptedWalk, RowBoundEndsOnlyAColumnThatGoesOnPastIt) {
    const std::size_t bound = kMaxWalkRows;
    // Twice the bound stands for an endless column, yet stops should the bound ever fail.
    for (const std::size_t last : {bound, 2 * bound}) {
        // Instance n answers n + 1, up to the last instance, then the next column's first.
        ScriptedAgent agent([last](int, const ReceivedRequest& request) {
            const std::size_t next =
                request.oid == Oid(kIfIndexColumn) ? 1 : request.oid.back() + 1u;
            return next > last ? Row(std::string(test::kIfDescrColumn) + ".1", "next column")
                               : Row(std::string(kIfIndexColumn) + "." + std::to_string(next), "x");
        });
        WalkTable table;
        const auto outcome =
            m_snmp.Walk(SettingsFor(agent), {kIfIndexColumn, RowForm::WalkRow}, table);
        EXPECT_EQ(outcome.end, last == bound ? End::Complete : End::TooManyRows) << last;
        ASSERT_EQ(table.size(), bound);
        EXPECT_EQ(table.back(), std::string(kIfIndexColumn) + ".65536-x");
        // A resend on a loaded machine repeats its request id: count requests, not datagrams.
        std::set<std::int64_t> requestIds;
        for (const ReceivedRequest& request : agent.Requests()) {
            requestIds.insert(request.requestId);
        }
        EXPECT_EQ(requestIds.size(), bound + 1);
    }
}

// Answers each binding asked with its successor in ifIndex or ifDescr, three rows of ten octets
// each; past the third row, an object outside both.
ScriptedAnswer ThreeRowsOfTenOctets(int, const ReceivedRequest& request) {
    const auto next = [](SubIds oid) {
        if (oid.size() == Oid(kIfIndexColumn).size()) {
            oid.push_back(1);
        } else if (oid.back() < 3) {
            ++oid.back();
        } else {
            oid = Oid("1.3.6.1.9");
        }
        return oid;
    };
    ScriptedAnswer answer{false, 0, next(request.oid), std::string(10, '0')};
    for (const test::VarBind& asked : request.moreBindings) {
        answer.moreBindings.push_back(
            {next(asked.oid), test::kBerOctetString, test::Bytes(10, '0')});
    }
    return answer;
}

TEST_F(ScriptedWalk, SizeBoundEndsTheColumnWhoseRowGoesPastIt) {
    struct Case {
        const char* name;
        std::size_t bound;
        std::size_t columns;  // one: Walk; two: WalkColumns
        std::vector<End> ends;
        std::vector<std::size_t> rows;
    };
    const Case cases[] = {
        {"a column of exactly the bound", 30, 1, {End::Complete}, {3}},
        {"a row past the bound", 29, 1, {End::TooLarge}, {2}},
        {"two columns inside it", 60, 2, {End::Complete, End::Complete}, {3, 3}},
        {"two columns share it", 50, 2, {End::Complete, End::TooLarge}, {3, 2}},
    };
    for (const Case& c : cases) {
        ScriptedAgent agent(ThreeRowsOfTenOctets);
        NetSnmpAgent snmp({}, c.bound);
        WalkTable tables[2];
        const ColumnToWalk columns[] = {{{kIfIndexColumn}, &tables[0]},
                                        {{test::kIfDescrColumn}, &tables[1]}};
        const auto outcomes =
            c.columns == 1 ? std::vector{snmp.Walk(SettingsFor(agent), {kIfIndexColumn}, tables[0])}
                           : snmp.WalkColumns(SettingsFor(agent), columns);
        ASSERT_EQ(outcomes.size(), c.columns) << c.name;
        for (std::size_t i = 0; i < c.columns; ++i) {
            EXPECT_EQ(outcomes[i].end, c.ends[i]) << c.name << ", column " << i;
            EXPECT_EQ(outcomes[i].status.code, c.ends[i] == End::Complete ? 0 : SNMPERR_TOO_LONG)
                << c.name;
            EXPECT_EQ(tables[i], WalkTable(c.rows[i], "0000000000")) << c.name << ", column " << i;
        }
    }
}

TEST_F(ScriptedWalk, StopsResendingAfterTheBound) {
    // Two rows, then no answer for the third request.
    ScriptedAgent agent([](int, const ReceivedRequest& request) {
        if (request.oid == Oid(kIfIndexColumn)) {
            return Row(IfIndexOf(1), "1");
        }
        if (request.oid == Oid(IfIndexOf(1))) {
            return Row(IfIndexOf(2), "2");
        }
        return Silence();
    });
    const auto outcome = m_snmp.Walk(SettingsFor(agent), {kIfIndexColumn}, m_table);
    EXPECT_EQ(outcome.end, End::GaveUpMidWalk);
    EXPECT_EQ(outcome.status.code, SNMPERR_TIMEOUT);
    EXPECT_EQ(outcome.status.text, "Timeout");
    EXPECT_EQ(m_table, (WalkTable{"1", "2"}));
    EXPECT_EQ(RequestsFor(agent, Oid(IfIndexOf(2))), 1 + kMidWalkResends);
    // Each request goes out twice: the session's one retry.
    EXPECT_EQ(agent.Requests().size(), 2u + 2u * (1 + kMidWalkResends));
    EXPECT_GE(m_served, 8);  // the caller was served in each of the eight 100 ms attempts
}

TEST_F(ScriptedWalk, ErrorStatusesInMidWalk) {
    struct Case {
        const char* name;
        int failuresBeforeSecondRow;  // genErr answers before the second row arrives
        int failuresAfterSecondRow;   // then genErr answers, or noSuchName when negative
        End end;
        int code;
        WalkTable rows;
    };
    const int bound = kMidWalkResends;
    const Case cases[] = {
        {"success resets the count", bound, bound, End::Complete, 0, {"a", "b"}},
        {"bound after a reset", bound, bound + 1, End::GaveUpMidWalk, kGenErr, {"a", "b"}},
        {"bound reached at once", bound + 1, 0, End::GaveUpMidWalk, kGenErr, {"a"}},
        {"noSuchName ends quietly", 0, -1, End::Complete, 0, {"a", "b"}},
    };
    for (const auto& c : cases) {
        ScriptedAgent agent([&c, seen = std::map<SubIds, int>{}](
                                int, const ReceivedRequest& request) mutable {
            const int count = seen[request.oid]++;
            if (request.oid == Oid(kIfIndexColumn)) {
                return Row(IfIndexOf(1), "a");
            }
            if (request.oid == Oid(IfIndexOf(1))) {
                return count < c.failuresBeforeSecondRow ? Error(kGenErr) : Row(IfIndexOf(2), "b");
            }
            const bool pastTheEnd =
                c.failuresAfterSecondRow < 0 || count >= c.failuresAfterSecondRow;
            return Error(pastTheEnd ? kNoSuchName : kGenErr);
        });
        WalkTable table;
        const auto outcome = m_snmp.Walk(SettingsFor(agent), {kIfIndexColumn}, table);
        EXPECT_EQ(outcome.end, c.end) << c.name;
        EXPECT_EQ(outcome.status.code, c.code) << c.name;
        EXPECT_EQ(table, c.rows) << c.name;
    }
}

TEST_F(ScriptedWalk, FirstRequestErrorStoresNothing) {
    ScriptedAgent agent([](int, const ReceivedRequest&) { return Error(kGenErr); });
    m_table = {"kept"};
    const auto outcome = m_snmp.Walk(SettingsFor(agent), {kIfIndexColumn}, m_table);
    EXPECT_EQ(outcome.end, End::FirstRequestFailed);
    EXPECT_EQ(outcome.status.code, kGenErr);
    EXPECT_EQ(outcome.status.text, "(genError) A general failure occured");
    EXPECT_EQ(m_table, WalkTable{"kept"});
    EXPECT_EQ(agent.Requests().size(), 1u);
}

TEST_F(ScriptedWalk, MalformedAddressSendsNothing) {
    ScriptedAgent agent([](int, const ReceivedRequest&) { return Row(IfIndexOf(1), "x"); });
    DeviceSettings settings = SettingsFor(agent);
    // inet_aton() reads "127.1" as 127.0.0.1, so without our own parsing this would reach the
    // agent.
    settings.ipAddress = "127.1" + agent.Address().substr(agent.Address().find(':'));

    const auto walk = m_snmp.Walk(settings, {kIfIndexColumn}, m_table);
    EXPECT_EQ(walk.end, End::FirstRequestFailed);
    EXPECT_EQ(walk.status.code, SNMPERR_BAD_ADDRESS);
    EXPECT_EQ(walk.status.text, "Unknown host");
    const auto set = m_snmp.Set(settings, kSaveConfigurationOid, std::int32_t{1});
    EXPECT_EQ(set.outcome, SetOutcome::NotSent);
    EXPECT_EQ(set.status.code, SNMPERR_BAD_ADDRESS);
    EXPECT_TRUE(m_table.empty());
    EXPECT_TRUE(agent.Requests().empty());
}

TEST_F(ScriptedWalk, TimeoutOutsideTheBoundsSendsNothing) {
    ScriptedAgent agent([](int, const ReceivedRequest&) { return Row(kIfIndexColumn, "x"); });
    for (const std::int32_t timeout : {0, kMinTimeout - 1, kMaxTimeout + 1, INT32_MAX}) {
        DeviceSettings settings = SettingsFor(agent);
        settings.timeout = timeout;
        EXPECT_EQ(m_snmp.Walk(settings, {kIfIndexColumn}, m_table).end, End::FirstRequestFailed);
        EXPECT_EQ(m_snmp.Set(settings, kIfIndexColumn, std::int32_t{1}).outcome,
                  SetOutcome::NotSent);
        EXPECT_EQ(m_snmp.Get(settings, {std::string(kIfIndexColumn)}).status.code, SNMPERR_RANGE);
    }
    EXPECT_TRUE(agent.Requests().empty());
}

TEST_F(ScriptedWalk, SetSendsOneExactBindingWithTheWriteCommunity) {
    using namespace std::string_literals;
    ScriptedAgent agent([](int, const ReceivedRequest& request) {
        return ScriptedAnswer{false, 0, request.oid, request.value};
    });
    DeviceSettings settings = SettingsFor(agent);
    settings.readCommunity = "reader";
    settings.writeCommunity = "writer";
    const std::string bitmap = "\x00\x01\x00\x00\x80\x00"s;
    const std::string ports = std::string(kVlanPortsColumn) + ".10";

    EXPECT_TRUE(m_snmp.Set(settings, ports, OctetString{bitmap}).ok());
    EXPECT_TRUE(m_snmp.Set(settings, ports, OctetString{""}).ok());
    EXPECT_TRUE(m_snmp.Set(settings, kSaveConfigurationOid, std::int32_t{1}).ok());
    const VarBinding together[] = {{ports, OctetString{bitmap}}, {IfIndexOf(3), Unsigned32{200}}};
    EXPECT_TRUE(m_snmp.SetTogether(settings, together).ok());
    // The echo repeats the OID asked for, which ends the walk after its first request.
    EXPECT_EQ(m_snmp.Walk(settings, {kIfIndexColumn}, m_table).end, End::BadAnswer);

    const auto requests = agent.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].pduType, 0xA3);
    EXPECT_EQ(requests[0].community, "writer");
    EXPECT_EQ(requests[0].oid, Oid(ports));
    EXPECT_EQ(requests[0].valueTag, 0x04);
    EXPECT_EQ(requests[0].value, bitmap);
    EXPECT_EQ(requests[1].valueTag, 0x04);
    EXPECT_EQ(requests[1].value, "");
    EXPECT_EQ(requests[2].valueTag, 0x02);
    EXPECT_EQ(requests[2].value, "\x01");
    ASSERT_EQ(requests[3].moreBindings.size(), 1u);
    EXPECT_EQ(requests[3].value, bitmap);
    EXPECT_EQ(requests[3].moreBindings[0].valueTag, 0x42);  // Gauge32, unsigned: 00 C8
    EXPECT_EQ(requests[3].moreBindings[0].value, (test::Bytes{0x00, 0xC8}));
    EXPECT_EQ(requests[4].pduType, 0xA1);
    EXPECT_EQ(requests[4].community, "reader");
}

TEST_F(ScriptedWalk, FirstRowIsOneRequest) {
    const struct {
        ScriptedAgent::Script script;
        WalkTable rows;
        End end;
    } cases[] = {
        {Successors({{Oid(kIfIndexColumn), Row(IfIndexOf(1), "a")},
                     {Oid(IfIndexOf(1)), Row(IfIndexOf(2), "b")}}),
         {"a"},
         End::Complete},
        {Successors({}), {}, End::Complete},  // the agent's view ends before the column
        {[](int, const ReceivedRequest&) { return Error(kGenErr); }, {}, End::FirstRequestFailed},
    };
    for (const auto& c : cases) {
        ScriptedAgent agent(c.script);
        WalkTable table;
        EXPECT_EQ(m_snmp.FirstRow(SettingsFor(agent), {kIfIndexColumn}, table).end, c.end);
        EXPECT_EQ(table, c.rows);
        EXPECT_EQ(agent.Requests().size(), 1u);
    }
}

}  // namespace
}  // namespace tarnwick
