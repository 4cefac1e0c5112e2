// locate, move --mac and members by instance, in process: against a scripted switch with its
// faults (GETs refused, tooBig, SNMPv1's noSuchName for a whole GET), and against the simulated
// switches' forwarding tables, one or several at once.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <map>

#include "tests/cli/in_process.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/start_switch.h"
#include "tests/support/temporary_journal.h"
#include "tests/vlan/fakes.h"
#include "vlan/forwarding.h"
#include "vlan/vendor_mib.h"

namespace tarnwick {
namespace test {
void PrintTo(const CliRun& run, std::ostream* out) {
    *out << "exit " << run.exitCode << ", out:\n" << run.out << "err:\n" << run.err;
}
}  // namespace test
namespace {

using test::SimulatedSwitch;
using test::VarBind;

constexpr std::uint8_t kGet = 0xA0, kGetBulk = 0xA5, kSet = 0xA3;

// A switch of another maker as a sorted table of objects, answering GET, GETNEXT and GETBULK as
// an agent does (SNMPv1: noSuchName; SNMPv2c: noSuchInstance, endOfMibView). VLAN 10 has FDB 1,
// VLANs 20 and 30 share FDB 2; ports 1-3 are access ports of 10, 20 and 30 with their PVIDs,
// port 4 a trunk tagged in all three; VLAN 40 holds ports 1 and 5, which has no interface.
// Address 02:00:5e:00:00:0a is on port 1; 02:00:5e:00:00:0b on the trunk (FDB 1) and port 3.
struct ScriptedSwitch {
    ScriptedSwitch() {
        const auto add = [this](const std::string& oid, std::uint8_t tag, test::Bytes value) {
            objects[test::Oid(oid)] = {test::Oid(oid), tag, std::move(value)};
        };
        const auto number = [&add](const std::string& oid, std::int64_t n, std::uint8_t tag) {
            add(oid, tag, test::EncodeInteger(n));
        };
        const std::string q = "1.3.6.1.2.1.17.7.1.", mac = ".2.0.94.0.0.";
        for (const auto& [vlan, fdb, egress, untagged] : {std::tuple{10, 1, 0x90, 0x80},
                                                          {20, 2, 0x50, 0x40},
                                                          {30, 2, 0x30, 0x20},
                                                          {40, 3, 0x88, 0x00}}) {
            const std::string v = std::to_string(vlan);
            add(q + "4.3.1.1." + v, test::kBerOctetString, {'v'});
            add(q + "4.3.1.2." + v, test::kBerOctetString, {std::uint8_t(egress)});
            add(q + "4.3.1.4." + v, test::kBerOctetString, {std::uint8_t(untagged)});
            number(q + "4.2.1.3.0." + v, fdb, test::kBerGauge32);
        }
        for (int port = 1; port <= 4; ++port) {
            const std::string p = std::to_string(port), ifIndex = std::to_string(100 + port);
            number(q + "4.5.1.1." + p, port == 4 ? 10 : port * 10, test::kBerGauge32);
            number("1.3.6.1.2.1.17.1.4.1.2." + p, 100 + port, test::kBerInteger);
            add("1.3.6.1.2.1.31.1.1.1.1." + ifIndex, test::kBerOctetString,
                {'p', std::uint8_t('0' + port)});
        }
        for (const auto& [fdb, host, port] : {std::tuple{1, 10, 1}, {1, 11, 4}, {2, 11, 3}}) {
            const std::string entry = std::to_string(fdb) + mac + std::to_string(host);
            number(q + "2.2.1.2." + entry, port, test::kBerInteger);
            number(q + "2.2.1.3." + entry, 3, test::kBerInteger);  // learned
        }
    }

    test::ScriptedAnswer Answer(const test::ReceivedRequest& request) const {
        const auto fail = [](int status, std::size_t binding) {
            return test::ScriptedAnswer{
                false, status, {}, {}, false, {}, static_cast<std::int64_t>(binding)};
        };
        if (request.pduType == kGet && refuseGets) {
            return fail(5, 1);  // genErr
        }
        std::vector<test::SubIds> asked{request.oid};
        for (const VarBind& more : request.moreBindings) {
            asked.push_back(more.oid);
        }
        std::vector<VarBind> answer;
        const std::int64_t rounds = request.pduType == kGetBulk ? request.maxRepetitions : 1;
        for (std::int64_t round = 0; round < rounds; ++round) {
            for (std::size_t i = 0; i < asked.size(); ++i) {
                const auto found = request.pduType == kGet ? objects.find(asked[i])
                                                           : objects.upper_bound(asked[i]);
                if (found != objects.end()) {
                    answer.push_back(found->second);
                    asked[i] = found->first;
                } else if (request.version == 0) {
                    return fail(2, i + 1);  // noSuchName
                } else {
                    answer.push_back(
                        {asked[i], std::uint8_t(request.pduType == kGet ? 0x81 : 0x82), {}});
                }
            }
        }
        if (answer.size() > maxBindings) {
            return fail(1, 0);  // tooBig
        }
        const VarBind& first = answer.front();
        return {false,     0,
                first.oid, {first.value.begin(), first.value.end()},
                false,     {answer.begin() + 1, answer.end()},
                0,         first.valueTag};
    }

    std::map<test::SubIds, VarBind> objects;
    bool refuseGets = false;
    std::size_t maxBindings = 1000;
};

test::CliRun RunLine(const std::vector<std::string>& words) {
    QStringList arguments;
    for (const std::string& word : words) {
        arguments.append(QString::fromStdString(word));
    }
    return test::RunCommandLine(arguments);
}

const std::string kTwoPorts =
    "PORT  IFINDEX  IFNAME  VLAN  UPLINK\n"
    "3     103      p3      30    no\n"
    "4     104      p4      10    yes\n";

TEST(Locate, AsksTheScriptedSwitchForInstances) {
    struct Row {
        const char* name;
        std::vector<std::string> words;  // after the address
        bool refuseGets;
        std::size_t maxBindings;
        test::CliRun run;
        std::size_t requests;
    };
    const std::string walked =
        "the switch answered no request for the entries of 02:00:5e:00:00:0b in dot1qTpFdbPort "
        "((genError) A general failure occured): walked the whole table instead\n";
    const Row rows[] = {
        {"V1FromJustBelow", {"locate", "0200.5e00.000b"}, false, 1000, {0, kTwoPorts, ""}, 10},
        {"V2cGet",
         {"locate", "02:00:5e:00:00:0b", "--snmp-version", "2c"},
         false,
         1000,
         {0, kTwoPorts, ""},
         6},
        {"GetsRefused",
         {"locate", "02-00-5E-00-00-0B", "--snmp-version", "2c"},
         true,
         1000,
         {0, kTwoPorts, walked},
         7},
        {"TooBigHalves",
         {"locate", "02005e00000b", "--snmp-version", "2c"},
         false,
         2,
         {0, kTwoPorts, ""},
         36},
        {"NotFound",
         {"locate", "02:00:5e:00:00:99"},
         false,
         1000,
         {1, "", "02:00:5e:00:00:99 not found: no port has learned it\n"},
         8},
        {"Json",
         {"locate", "02:00:5e:00:00:0a", "--json", "--snmp-version", "2c"},
         false,
         1000,
         {0,
          "{\n    \"mac\": \"02:00:5e:00:00:0a\",\n    \"ports\": [\n        {\n            "
          "\"ifIndex\": 101,\n            \"ifName\": \"p1\",\n            \"port\": 1,\n      "
          "      \"uplink\": false,\n            \"vlan\": 10\n        }\n    ]\n}\n",
          ""},
         6},
        {"MoveRefusedOnTwoPorts",
         {"move", "--mac", "02:00:5e:00:00:0b", "20"},
         false,
         1000,
         {1, "",
          "02:00:5e:00:00:0b was learned on 2 ports: which one is the device's is not known; "
          "nothing was sent.\n"},
         10},
        {"Members",
         {"members", "10"},
         false,
         1000,
         {0,
          "PORT  IFINDEX  IFNAME  TAGGED\n1     101      p1      no\n4     104      p4      yes\n",
          ""},
         5},
        {"MembersGetsRefused",
         {"members", "10"},
         true,
         1000,
         {0,
          "PORT  IFINDEX  IFNAME  TAGGED\n1     101      p1      no\n4     104      p4      yes\n",
          "the switch answered no GET of dot1qVlanStaticEgressPorts.10 ((genError) A general "
          "failure occured): "
          "reading the whole columns instead\n"},
         9},
        // SNMPv1's noSuchName for port 5's ifIndex fails the whole GET: asked again without it.
        {"MembersWithoutInterface",
         {"members", "40"},
         false,
         1000,
         {0,
          "PORT  IFINDEX  IFNAME  TAGGED\n1     101      p1      yes\n5                      yes\n",
          ""},
         6},
        {"MembersOfNoVlan",
         {"members", "50", "--snmp-version", "2c"},
         false,
         1000,
         {0, "PORT  IFINDEX  IFNAME  TAGGED\n", ""},
         3},
    };
    for (const Row& row : rows) {
        ScriptedSwitch model;
        model.refuseGets = row.refuseGets;
        model.maxBindings = row.maxBindings;
        test::ScriptedAgent agent(
            [&model](int, const test::ReceivedRequest& request) { return model.Answer(request); });
        std::vector<std::string> words{agent.Address()};
        words.insert(words.end(), row.words.begin(), row.words.end());
        EXPECT_EQ(RunLine(words), row.run) << row.name;
        const auto requests = agent.Requests();
        EXPECT_EQ(requests.size(), row.requests) << row.name;
        EXPECT_EQ(std::ranges::count(requests, kSet, &test::ReceivedRequest::pduType), 0)
            << row.name;
    }
}

TEST(Locate, FindsTheSimulatedSwitchesAddresses) {
    const QTemporaryDir directory;
    const auto standard = test::StartSwitch(SimulatedSwitch::Variant::Standard);
    const auto qBridge = test::StartSwitch(SimulatedSwitch::Variant::QBridge);
    const auto silent = test::StartSwitch(SimulatedSwitch::Variant::Silent);
    ASSERT_TRUE(standard && qBridge && silent);
    std::ofstream(directory.filePath(QStringLiteral("switches")).toStdString())
        << standard->Address() << "\n# office\n"
        << qBridge->Address() << "\n\n  " << silent->Address() << " \n";
    const std::string several = "@" + directory.filePath(QStringLiteral("switches")).toStdString();
    const std::string header = "PORT  IFINDEX  IFNAME     VLAN  UPLINK\n";
    const std::string pc = "02:00:5e:10:00:06", behindPhone = "02:00:5e:10:00:60";
    const std::tuple<std::string, std::vector<std::string>, test::CliRun> rows[] = {
        {standard->Address(),
         {"locate", pc},
         {0,
          "PORT  IFINDEX  IFNAME                 VLAN  UPLINK\n"
          "12    16       GigabitEthernet0/0/12  10    no\n",
          ""}},
        {standard->Address(),
         {"locate", "02:00:5e:00:00:fe"},
         {1, "",
          "02:00:5e:00:00:fe not found: no port has learned it, only the switch's own "
          "address\n"}},
        {qBridge->Address(),
         {"locate", "02:00:5e:64:00:60", "--snmp-version", "2c"},
         {0, "PORT  IFINDEX  IFNAME    VLAN  UPLINK\n6     1006     ge-0/0/6  100   no\n", ""}},
        {qBridge->Address(),
         {"locate", "02:00:5e:00:00:01"},
         {0, header + "24    1024     ge-0/0/24  10    yes\n24    1024     ge-0/0/24  20    yes\n",
          ""}},
        {qBridge->Address(),
         {"locate", "02:00:5e:00:00:03"},
         {1, "", "02:00:5e:00:00:03 not found: no port has learned it, only a static entry\n"}},
        {qBridge->Address(),
         {"move", "--mac", "02:00:5e:00:00:01", "20"},
         {1, "",
          "02:00:5e:00:00:01 was learned on port 24, an uplink: the device is behind "
          "another switch; nothing was sent.\n"}},
        {qBridge->Address(),
         {"move", "--mac", behindPhone, "20"},
         {0,
          behindPhone +
              " is on port 6 (ge-0/0/6) in VLAN 10\n\n"
              "SET       OBJECT                           VALUE     RESULT\n"
              "together  dot1qVlanStaticEgressPorts.10    FB000300  confirmed, applied: yes\n"
              "          dot1qVlanStaticUntaggedPorts.10  FB000000\n"
              "          dot1qVlanStaticEgressPorts.20    04F00300\n"
              "          dot1qVlanStaticUntaggedPorts.20  04F00000\n"
              "          dot1qPvid.6                      20\n\n"
              "PORT  CONFIRMED IN  READ AFTERWARDS\n"
              "6     20            FROM -, TO untagged, PVID 20\n",
          ""}},
        {several,
         {"locate", pc},
         {0,
          "SWITCH           PORT  IFINDEX  IFNAME                 VLAN  UPLINK\n" +
              standard->Address() + "  12    16       GigabitEthernet0/0/12  10    no\n" +
              qBridge->Address() + "  3     1003     ge-0/0/3               10    no\n",
          silent->Address() + ": could not tell which VLAN MIB the switch publishes: reading "
                              "VLAN ID (1.3.6.1.4.1.2011.2.23.1.2.1.1.1.1) failed: Timeout\n"}},
    };
    for (const auto& [address, words, expected] : rows) {
        std::vector<std::string> line{address};
        line.insert(line.end(), words.begin(), words.end());
        EXPECT_EQ(RunLine(line), expected) << words.front() << " " << words[1];
    }
}

// On the vendor MIB the port is the one whose ifIndex the bridge port's is: numbered as the
// bridge port (1), or found in the port column (3, bridge port 7).
TEST(LocateVendorPorts, ThroughTheBridgePortsInterface) {
    fakes::FakeSnmpAgent snmp(nullptr);
    const std::string portIfIndex(kPortIfIndexColumn);
    snmp.columns = {{std::string(kVlanIdColumn), {{"10"}}},
                    {portIfIndex, {{portIfIndex + ".1-5", portIfIndex + ".3-20"}}}};
    snmp.valueColumns = {{std::string(kVlanPortsColumn),
                          {{{"10", OctetString{"\x05"}}, {"20", OctetString{"\x01"}}}}}};
    const Mac pc{2, 0, 0x5e, 0, 0, 7}, gateway{2, 0, 0x5e, 0, 0, 1};
    snmp.instances = {{BridgeFdbPortOid(pc), "7"},         {BridgeFdbPortOid(gateway), "1"},
                      {"1.3.6.1.2.1.17.1.4.1.2.7", "20"},  {"1.3.6.1.2.1.17.1.4.1.2.1", "5"},
                      {portIfIndex + ".1", "5"},           {"1.3.6.1.2.1.31.1.1.1.1.20", "ge-3"},
                      {"1.3.6.1.2.1.31.1.1.1.1.5", "ge-1"}};
    const std::pair<Mac, std::string> rows[] = {{pc, "3     20       ge-3    10    no\n"},
                                                {gateway, "1     5        ge-1          yes\n"}};
    for (const auto& [mac, row] : rows) {
        cli::Invocation invocation;
        invocation.settings.ipAddress = "127.0.0.1:9";
        invocation.settings.version = SnmpVersion::V2c;
        invocation.command = cli::Command::Locate;
        invocation.mac = mac;
        EXPECT_EQ(test::RunInProcess(invocation, snmp),
                  (test::CliRun{0, "PORT  IFINDEX  IFNAME  VLAN  UPLINK\n" + row, ""}));
    }
}

TEST(LocateCommandLine, BadMacsAndSeveralSwitchesAreUsageErrors) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"127.0.0.1", "locate", "02:00:5e:10:00:6"},
          {"127.0.0.1", "locate", "0200-5e10-0006"},
          {"127.0.0.1", "move", "--mac", "02:00:5e:10:00:06", "1", "2"},
          {"127.0.0.1", "members", "2", "--mac", "02:00:5e:10:00:06"},
          {"127.0.0.1,127.0.0.2", "vlans"},
          {"127.0.0.1,,127.0.0.2", "locate", "02:00:5e:10:00:06"},
          {"@/nonexistent/switches", "locate", "02:00:5e:10:00:06"}}) {
        EXPECT_EQ(RunLine(words).exitCode, cli::kUsageError) << words[0] << " " << words[2];
    }
}

}  // namespace
}  // namespace tarnwick
