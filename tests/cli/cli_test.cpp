// tarnwick-cli's commands against the simulated switch, in process over Net-SNMP as the program
// runs them: what each prints, what a move leaves on the switch (checked with a raw GET), and the
// exit statuses; and the program itself, for what its main() adds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <functional>
#include <memory>
#include <string>

#include "tests/cli/in_process.h"
#include "tests/support/raw_snmp.h"
#include "tests/support/start_switch.h"
#include "tests/support/temporary_journal.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::CliRun;
using test::SimulatedSwitch;
using test::StartSwitch;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// How a command reaches the switch: its SNMP version's options, through the SNMPv3 front or not,
// with which passphrases in the environment.
struct Way {
    std::string options;
    bool usmFront = false;
    std::string auth, priv;
    std::string Address(const SimulatedSwitch& agent) const {
        return usmFront ? agent.UsmAddress() : agent.Address();
    }
    QStringList Arguments(const std::string& address, const std::string& command) const {
        return test::Arguments(address + " " + command + (options.empty() ? "" : " " + options));
    }
};

Way V3(const std::string& user, std::string auth = {}) {
    auth = auth.empty() ? user + "-auth" : auth;
    return {"--snmp-version 3 --user " + user, true, auth, user + "-priv"};
}

CliRun RunCli(const std::string& address, const std::string& command, const Way& way = {}) {
    return test::RunCommandLine(way.Arguments(address, command), way.auth, way.priv);
}

CliRun RunProgram(const std::string& address, const std::string& command, const Way& way = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_AUTH_PASSPHRASE"),
                       QString::fromStdString(way.auth));
    environment.insert(QStringLiteral("TARNWICK_PRIV_PASSPHRASE"),
                       QString::fromStdString(way.priv));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARNWICK_CLI), way.Arguments(address, command));
    process.waitForFinished(60'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// The VLAN's bitmap as the switch holds it, two upper-case hex digits per octet.
std::string BitmapOnSwitch(const SimulatedSwitch& agent, int vlan) {
    const auto answer = test::Exchange(agent.Port(),
                                       {test::PduType::Get,
                                        "public",
                                        std::string(kVlanPortsColumn) + "." + std::to_string(vlan),
                                        {}},
                                       2000ms);
    return answer.response.value.AsHex();
}

std::vector<int> Ints(const QJsonValue& array, const char* key = nullptr) {
    std::vector<int> values;
    for (const QJsonValue& value : array.toArray()) {
        values.push_back(key ? value[QLatin1StringView(key)].toInt() : value.toInt());
    }
    return values;
}

std::vector<int> Range(int first, int last, std::vector<int> more = {}) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v) {
        values.push_back(v);
    }
    values.insert(values.end(), more.begin(), more.end());
    return values;
}

// Ports 10-16 and 41-48 are interfaces 14-20 and 45-52, GigabitEthernet0/0/<port>.
void ExpectOfficePorts(const QJsonValue& ports) {
    ASSERT_EQ(Ints(ports, "port"), Range(10, 16, Range(41, 48)));
    for (const QJsonValue& port : ports.toArray()) {
        EXPECT_EQ(port[u"ifIndex"].toInt(), port[u"port"].toInt() + 4);
        EXPECT_EQ(port[u"ifName"].toString(),
                  QStringLiteral("GigabitEthernet0/0/%1").arg(port[u"port"].toInt()));
    }
}

const Way kWays[] = {{}, {"--snmp-version 2c", false, {}, {}}, V3("tarnwick-rw")};

struct ReadCase {
    const char* name;
    const char* command;
    std::function<void(const QJsonObject&)> checkJson;
    std::vector<std::string> textLines;  // among the text output's lines
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ReadCommands : public ::testing::TestWithParam<ReadCase> {
protected:
    static void SetUpTestSuite() {
        s_switch = StartSwitch(SimulatedSwitch::Variant::Standard, true);
    }
    static void TearDownTestSuite() { s_switch.reset(); }
    static inline std::unique_ptr<SimulatedSwitch> s_switch;
};

void ExpectReadCase(const SimulatedSwitch* agent, const ReadCase& c) {
    ASSERT_NE(agent, nullptr);
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.options);
        const std::string address = way.Address(*agent);
        const CliRun json = RunCli(address, c.command + " --json"s, way);
        EXPECT_EQ(json.exitCode, 0) << json.err;
        c.checkJson(json.Json());

        const CliRun text = RunCli(address, c.command, way);
        EXPECT_EQ(text.exitCode, 0) << text.err;
        for (const std::string& line : c.textLines) {
            EXPECT_THAT(text.out, HasSubstr("\n" + line + "\n"));
        }
    }
}

TEST_P(ReadCommands, PrintTextAndJsonAndSucceed) {
    ExpectReadCase(s_switch.get(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    StandardSwitch, ReadCommands,
    ::testing::Values(
        ReadCase{
            "Vlans",
            "vlans",
            [](const QJsonObject& doc) {
                const QJsonArray vlans = doc[u"vlans"].toArray();
                EXPECT_EQ(Ints(vlans, "id"), (std::vector<int>{1, 2, 10, 20, 30, 40, 50, 60, 100}));
                EXPECT_EQ(vlans[0][u"name"], QStringLiteral("default"));
                // One named in UTF-8, one in GBK: both printed as UTF-8 text.
                EXPECT_EQ(vlans[5][u"name"], QStringLiteral("办公网"));
                EXPECT_EQ(vlans[7][u"name"], QStringLiteral("语音"));
            },
            {"2    mgmt", "100  voice"}},
        ReadCase{"MembersWithIndexAndName",
                 "members 10",
                 [](const QJsonObject& doc) {
                     EXPECT_EQ(doc[u"vlan"].toInt(), 10);
                     ExpectOfficePorts(doc[u"ports"]);
                 },
                 {"10    14       GigabitEthernet0/0/10", "48    52       GigabitEthernet0/0/48"}},
        ReadCase{"MembersWithoutIndexRows",
                 "members 50",
                 [](const QJsonObject& doc) {
                     const QJsonArray ports = doc[u"ports"].toArray();
                     EXPECT_EQ(Ints(ports, "port"), Range(129, 136, {190}));
                     EXPECT_EQ(ports[8].toObject().keys(), QStringList{QStringLiteral("port")});
                 },
                 {"136", "190"}},
        ReadCase{"Dump",
                 "dump",
                 [](const QJsonObject& doc) {
                     const QJsonArray vlans = doc[u"vlans"].toArray();
                     ASSERT_EQ(vlans.size(), 9);
                     EXPECT_EQ(vlans[1][u"name"], QStringLiteral("mgmt"));
                     EXPECT_EQ(Ints(vlans[1][u"ports"], "ifIndex"), std::vector<int>{13});
                     ExpectOfficePorts(vlans[2][u"ports"]);
                     EXPECT_TRUE(vlans[5][u"ports"].toArray().isEmpty());
                     EXPECT_EQ(Ints(vlans[7][u"ports"], "port"), std::vector<int>{150});
                 },
                 {"VLAN 2  mgmt", "  9     13       GigabitEthernet0/0/9", "VLAN 100  voice"}}),
    [](const auto& c) { return std::string(c.param.name); });

// The Q-BRIDGE switch, found without --mib: bridge port p is ifIndex 1000 + p, "ge-0/0/p".
class QBridgeReadCommands : public ReadCommands {
protected:
    static void SetUpTestSuite() {
        s_switch = StartSwitch(SimulatedSwitch::Variant::QBridge, true);
    }
};

TEST_P(QBridgeReadCommands, PrintTextAndJsonAndSucceed) {
    ExpectReadCase(s_switch.get(), GetParam());
}

// The ports as "p" (untagged) or "pt" (tagged), each with its interface checked.
std::string BridgePorts(const QJsonValue& ports) {
    std::string text;
    for (const QJsonValue& port : ports.toArray()) {
        const int p = port[u"port"].toInt();
        EXPECT_EQ(port[u"ifIndex"].toInt(), 1000 + p);
        EXPECT_EQ(port[u"ifName"].toString(), QStringLiteral("ge-0/0/%1").arg(p));
        EXPECT_TRUE(port[u"tagged"].isBool()) << p;
        text +=
            (text.empty() ? "" : " ") + std::to_string(p) + (port[u"tagged"].toBool() ? "t" : "");
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    QBridgeSwitch, QBridgeReadCommands,
    ::testing::Values(
        ReadCase{"Vlans",
                 "vlans",
                 [](const QJsonObject& doc) {
                     const QJsonArray vlans = doc[u"vlans"].toArray();
                     EXPECT_EQ(Ints(vlans, "id"), (std::vector<int>{1, 10, 20, 30, 100}));
                     EXPECT_EQ(vlans[2][u"name"], QStringLiteral("lab"));
                     EXPECT_EQ(vlans[3][u"name"], QStringLiteral("访客网络"));
                 },
                 {"30   访客网络", "100  voice"}},
        ReadCase{"MembersAllTagged",
                 "members 100",
                 [](const QJsonObject& doc) {
                     EXPECT_EQ(doc[u"vlan"].toInt(), 100);
                     EXPECT_EQ(BridgePorts(doc[u"ports"]), "5t 6t 23t 24t");
                 },
                 {"5     1005     ge-0/0/5   yes", "24    1024     ge-0/0/24  yes"}},
        ReadCase{"MembersAccessAndTrunks",
                 "members 10",
                 [](const QJsonObject& doc) {
                     EXPECT_EQ(BridgePorts(doc[u"ports"]), "1 2 3 4 5 6 7 8 23t 24t");
                 },
                 {"8     1008     ge-0/0/8   no", "23    1023     ge-0/0/23  yes"}},
        ReadCase{"Dump",
                 "dump",
                 [](const QJsonObject& doc) {
                     const QJsonArray vlans = doc[u"vlans"].toArray();
                     ASSERT_EQ(vlans.size(), 5);
                     EXPECT_EQ(BridgePorts(vlans[0][u"ports"]), "13 14 15 16 23 24");
                     EXPECT_EQ(BridgePorts(vlans[2][u"ports"]), "9 10 11 12 23t 24t");
                     EXPECT_EQ(vlans[3][u"name"], QStringLiteral("访客网络"));
                     EXPECT_EQ(BridgePorts(vlans[3][u"ports"]), "17 18 19 20 21 22 24t");
                     EXPECT_EQ(BridgePorts(vlans[4][u"ports"]), "5t 6t 23t 24t");
                 },
                 {"VLAN 30  访客网络", "  PORT  IFINDEX  IFNAME     TAGGED",
                  "  24    1024     ge-0/0/24  yes", "  16    1016     ge-0/0/16  no"}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(MibChoice, ForcedMibsAndTheQBridgeSwitchsSaveAndMove) {
    const auto standard = StartSwitch(SimulatedSwitch::Variant::Standard);
    const auto qBridge = StartSwitch(SimulatedSwitch::Variant::QBridge);
    ASSERT_TRUE(standard && qBridge);
    const std::string vlans = "ID   NAME\n1    default\n10   office\n20   lab\n30   访客网络\n";
    const std::string kTogether =
        "SET       OBJECT                           VALUE     RESULT\n"
        "together  dot1qVlanStaticEgressPorts.10    7F000300  ";
    const std::string kRest =
        "          dot1qVlanStaticUntaggedPorts.10  7F000000\n"
        "          dot1qVlanStaticEgressPorts.30    8000FD00\n"
        "          dot1qVlanStaticUntaggedPorts.30  8000FC00\n"
        "          dot1qPvid.1                      30\n";
    const struct {
        const SimulatedSwitch* agent;
        const char* command;
        int exitCode;
        std::string out;  // the whole of stdout
        const char* err;  // within stderr
    } cases[] = {
        {standard.get(), "vlans --mib q-bridge", 1, "",
         "no rows in Q-BRIDGE-MIB's dot1qVlanStatic"},
        {qBridge.get(), "vlans --mib vendor", 1, "", "no rows in the vendor VLAN table"},
        {qBridge.get(), "vlans --mib q-bridge", 0, vlans + "100  voice\n", ""},
        {qBridge.get(), "save --json", 1, "{\n    \"saved\": false\n}\n",
         "has no object that saves"},
        {qBridge.get(), "move 23 10 20", 1, "", "port 23 is only a tagged member of VLAN 10;"},
        {qBridge.get(), "move 1 10 30 --dry-run", 0, kTogether + "not sent (dry run)\n" + kRest,
         ""},
        {qBridge.get(), "move 1 10 30", 0,
         kTogether + "confirmed, applied: yes\n" + kRest +
             "\nPORT  CONFIRMED IN  READ AFTERWARDS\n1     30            FROM -, TO untagged, PVID "
             "30\n",
         ""},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.agent->Address(), c.command);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.command << run.err;
        EXPECT_EQ(run.out, c.out) << c.command;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << c.command;
    }
    const CliRun back = RunCli(qBridge->Address(), "move 1 30 10 --json");
    const QJsonObject json = back.Json();
    EXPECT_EQ(json[u"moved"], true) << back.err;
    EXPECT_EQ(json[u"confirmed"][0][u"vlans"], QJsonArray{10});
    EXPECT_EQ(json[u"afterwards"][0][u"pvid"], 10);
}

TEST(Move, DryRunSendsNothingThenSeveralPortsMoveWithOneSetEach) {
    const auto agent = StartSwitch(SimulatedSwitch::Variant::Standard);
    ASSERT_NE(agent, nullptr);
    const std::string move = "move 3-4,7 1 10";

    const CliRun dryRun = RunCli(agent->Address(), move + " --dry-run");
    EXPECT_EQ(dryRun.exitCode, 0) << dryRun.err;
    EXPECT_THAT(dryRun.out, HasSubstr("removal   1     B30000000000  not sent (dry run)\n"));
    EXPECT_THAT(dryRun.out, HasSubstr("addition  10    4CFE000000FF  not sent (dry run)\n"));
    EXPECT_EQ(BitmapOnSwitch(*agent, 1), "FF0000000000");
    EXPECT_EQ(BitmapOnSwitch(*agent, 10), "00FE000000FF");

    const CliRun moved = RunCli(agent->Address(), move + " --json");
    EXPECT_EQ(moved.exitCode, 0) << moved.err;
    const QJsonObject doc = moved.Json();
    EXPECT_EQ(doc[u"moved"], true);
    EXPECT_EQ(Ints(doc[u"confirmed"][2][u"vlans"]), std::vector<int>{10});
    EXPECT_EQ(Ints(doc[u"sets"], "vlan"), (std::vector<int>{1, 10}));
    const QJsonArray after = doc[u"portVlans"].toArray();
    ASSERT_EQ(Ints(after, "port"), (std::vector<int>{3, 4, 7}));
    EXPECT_EQ(Ints(after[0][u"vlans"]), std::vector<int>{10});
    EXPECT_EQ(Ints(after[2][u"vlans"]), (std::vector<int>{10, 30}));
    EXPECT_EQ(BitmapOnSwitch(*agent, 1), "B30000000000");
    EXPECT_EQ(BitmapOnSwitch(*agent, 10), "4CFE000000FF");

    // Checked before anything is sent: a VLAN without a row, a port past a bitmap's octets, one
    // VLAN twice, a port that is no longer where the command says (the list it came from is old).
    for (const auto& [refused, why] : std::vector<std::pair<std::string, std::string>>{
             {"move 2 1 99", "VLAN 99 has no row in the vendor VLAN table; nothing was sent.\n"},
             {"move 49 1 10", "the port lists of VLAN 1 do not reach port 49; nothing was sent.\n"},
             {"move 5 1 1", "FROM and TO are the same VLAN; nothing was sent.\n"},
             {"move 3 1 2", "port 3 is not a member of VLAN 1; nothing was sent.\n"}}) {
        const CliRun run = RunCli(agent->Address(), refused);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, why);
    }
    EXPECT_EQ(BitmapOnSwitch(*agent, 1), "B30000000000");
    EXPECT_EQ(BitmapOnSwitch(*agent, 2), "000100000000");

    const CliRun saved = RunCli(agent->Address(), "save --json");
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_TRUE(saved.Json()[u"saved"].toBool());
}

TEST(Move, OverSnmpV2cAndV3AndRefusedSnmpV3Users) {
    const auto agent = StartSwitch(SimulatedSwitch::Variant::Standard, true);
    ASSERT_NE(agent, nullptr);
    struct Case {
        Way way;
        const char* command;
        int exitCode;
        const char* err;  // within stderr
        const char *bitmap1, *bitmap10;
    };
    const char* toTen = "move 3 1 10";
    Way strong = V3("tarnwick-strong");
    strong.options += " --auth-protocol SHA-512 --priv-protocol AES-256";
    const char *kOne = "FF0000000000", *kTen = "00FE000000FF";  // VLANs 1 and 10 as they start
    const Case cases[] = {
        {kWays[1], toTen, 0, "", "FB0000000000", "04FE000000FF"},  // then back, and save
        {kWays[2], "move 3 10 1", 0, "", kOne, kTen},
        {kWays[2], "save", 0, "", kOne, kTen},
        {strong, "save", 0, "", kOne, kTen},
        {V3("tarnwick-rw", "not-the-passphrase"), toTen, 1, "Authentication failure", kOne, kTen},
        {V3("tarnwick-nobody"), toTen, 1, "Unknown user name", kOne, kTen},
        {V3("tarnwick-ro"), toTen, 1, "noAccess", kOne, kTen},
        {V3("tarnwick-ro"), "save", 1, "noAccess", kOne, kTen},
        {V3("tarnwick-rw", "7chars!"), toTen, 2, "at least 8", kOne, kTen},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.way.Address(*agent), c.command, c.way);
        const std::string what = c.way.options + " " + c.command + c.err;
        EXPECT_EQ(run.exitCode, c.exitCode) << what << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << what;
        EXPECT_EQ(BitmapOnSwitch(*agent, 1), c.bitmap1) << what;
        EXPECT_EQ(BitmapOnSwitch(*agent, 10), c.bitmap10) << what;
    }
}

TEST(Move, ARefusedAdditionPutsThePortsBackAndFails) {
    const auto agent = StartSwitch(SimulatedSwitch::Variant::RefusingSets);
    ASSERT_NE(agent, nullptr);

    const CliRun run = RunCli(agent->Address(), "move 3-4 1 10 --json");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("ports 3,4 in VLAN 1 as before."));
    const QJsonObject doc = run.Json();
    EXPECT_EQ(doc[u"moved"], false);
    EXPECT_EQ(Ints(doc[u"confirmed"][1][u"vlans"]), std::vector<int>{1});
    EXPECT_EQ(Ints(doc[u"portVlans"].toArray()[1][u"vlans"]), std::vector<int>{1});
    EXPECT_EQ(BitmapOnSwitch(*agent, 1), "FF0000000000");
    EXPECT_EQ(BitmapOnSwitch(*agent, 10), "00FE000000FF");

    const CliRun save = RunCli(agent->Address(), "save");
    EXPECT_EQ(save.exitCode, 1);
    EXPECT_THAT(save.err, StartsWith("not saved: the SET of the save object ("));
}

TEST(ReadCommands, FailWhenTheSwitchDoesNotAnswer) {
    const auto agent = StartSwitch(SimulatedSwitch::Variant::Silent);
    ASSERT_NE(agent, nullptr);

    const CliRun run = RunCli(agent->Address(), "vlans");

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "could not tell which VLAN MIB the switch publishes: reading VLAN ID "
              "(1.3.6.1.4.1.2011.2.23.1.2.1.1.1.1) failed: Timeout\n");
}

// The program itself: the passphrases from its environment, what it prints where, the usage
// line after a usage error, and its exit statuses as a shell sees them.
TEST(Program, ReadsOverSnmpV3MovesAndExitsWithTwoOnAUsageError) {
    const auto agent = StartSwitch(SimulatedSwitch::Variant::Standard, true);
    ASSERT_NE(agent, nullptr);

    const CliRun read = RunProgram(agent->UsmAddress(), "members 10", V3("tarnwick-rw"));
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_THAT(read.out, HasSubstr("\n48    52       GigabitEthernet0/0/48\n"));

    const CliRun moved = RunProgram(agent->Address(), "move 3 1 10");
    EXPECT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_THAT(moved.out, HasSubstr("removal   1     FB0000000000  confirmed, applied: yes\n"));
    EXPECT_EQ(BitmapOnSwitch(*agent, 1), "FB0000000000");
    EXPECT_EQ(BitmapOnSwitch(*agent, 10), "04FE000000FF");

    const CliRun usage = RunProgram(agent->Address(), "members 0");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_THAT(usage.err, StartsWith("tarnwick-cli: VLAN must be a number from 1 to 4094: 0\n"
                                      "Usage: tarnwick-cli ADDRESS "));
}

}  // namespace
}  // namespace tarnwick
