// The simulated switch starts, serves the agreed data in each variant, and leaves nothing behind.
#include "tests/support/simulated_switch.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/raw_snmp.h"
#include "tests/support/start_switch.h"
#include "vlan/vlan_tables.h"

namespace tarnwick::test {
namespace {

using namespace std::chrono_literals;
using Variant = SimulatedSwitch::Variant;

constexpr auto kWait = 1000ms;
constexpr std::int64_t kNoSuchName = 2;
// The product's OIDs as texts to append an instance to.
const std::string kIfIndex(kIfIndexColumn);
const std::string kIfDescr(kIfDescrColumn);
const std::string kIfName(kIfNameColumn);
const std::string kVlanId(kVlanIdColumn);
const std::string kVlanName(kVlanNameColumn);
const std::string kVlanPorts(kVlanPortsColumn);
const std::string kPortIfIndex(kPortIfIndexColumn);
const std::string kSave(kSaveConfigurationOid);

RawExchange Ask(const SimulatedSwitch& agent, PduType type, const std::string& oid,
                const std::string& community = "public", RawValue value = {}) {
    return Exchange(agent.Port(), {type, community, oid, std::move(value)}, kWait);
}

// Processes whose command line names the endpoint: run-switch and snmpsimd both do.
int ProcessesServing(std::uint16_t port) {
    const std::string needle = "127.0.0.1:" + std::to_string(port) + std::string(1, '\0');
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream cmdline(entry.path() / "cmdline");
        const std::string text{std::istreambuf_iterator<char>(cmdline),
                               std::istreambuf_iterator<char>()};
        if (text.find(needle) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

bool PortIsFree(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

}  // namespace

// Names the variant in test names and failure messages.
void PrintTo(SimulatedSwitch::Variant variant, std::ostream* out) {
    *out << [variant] {
        switch (variant) {
            case Variant::Standard:
                return "Standard";
            case Variant::Large:
                return "Large";
            case Variant::Silent:
                return "Silent";
            case Variant::StallMidWalk:
                return "StallMidWalk";
            case Variant::RefusingSets:
                return "RefusingSets";
            case Variant::QBridge:
                return "QBridge";
        }
        return "Unknown";
    }();
}

namespace {

class LifecycleTest : public ::testing::TestWithParam<Variant> {};

TEST_P(LifecycleTest, StartsAnswersAndStopsWithoutLeftovers) {
    auto agent = StartSwitch(GetParam());
    ASSERT_NE(agent, nullptr);
    const std::uint16_t port = agent->Port();
    EXPECT_EQ(agent->Address(), "127.0.0.1:" + std::to_string(port));
    EXPECT_GE(ProcessesServing(port), 1);

    const RawExchange sysDescr = Ask(*agent, PduType::Get, std::string(kSysDescr));
    if (GetParam() == Variant::Silent) {
        EXPECT_EQ(sysDescr.outcome, Outcome::NoAnswer);  // not PortClosed: someone listens
    } else {
        ASSERT_EQ(sysDescr.outcome, Outcome::Answered);
        EXPECT_EQ(sysDescr.response.errorStatus, 0);
        EXPECT_NE(sysDescr.response.value.AsText().find("Tarnwick simulated"), std::string::npos);
    }

    agent.reset();
    EXPECT_EQ(ProcessesServing(port), 0);
    EXPECT_TRUE(PortIsFree(port));
}

std::string VariantTestName(const ::testing::TestParamInfo<Variant>& info) {
    std::ostringstream name;
    PrintTo(info.param, &name);
    return name.str();
}

INSTANTIATE_TEST_SUITE_P(Variants, LifecycleTest,
                         ::testing::Values(Variant::Standard, Variant::Large, Variant::Silent,
                                           Variant::StallMidWalk, Variant::RefusingSets,
                                           Variant::QBridge),
                         VariantTestName);

struct Expected {
    const char* name;
    PduType type;
    std::string oid;
    std::int64_t errorStatus;
    std::string answerOid;  // empty: not checked
    std::uint8_t tag;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> Text(std::string_view text) {
    return {text.begin(), text.end()};
}

void ExpectAll(const SimulatedSwitch& agent, const std::vector<Expected>& cases) {
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.name);
        const RawExchange got = Ask(agent, c.type, c.oid);
        ASSERT_EQ(got.outcome, Outcome::Answered);
        EXPECT_EQ(got.response.errorStatus, c.errorStatus);
        if (c.errorStatus != 0) {
            continue;
        }
        if (!c.answerOid.empty()) {
            EXPECT_EQ(got.response.oid, c.answerOid);
        }
        EXPECT_EQ(got.response.value.tag, c.tag);
        EXPECT_EQ(got.response.value.bytes, c.bytes);
    }
}

TEST(StandardDataTest, ServesTheAgreedObjectsAndColumnEnds) {
    auto agent = StartSwitch(Variant::Standard);
    ASSERT_NE(agent, nullptr);
    const auto G = PduType::Get;
    const auto N = PduType::GetNext;
    ExpectAll(*agent,
              {
                  {"first ifIndex", N, kIfIndex, 0, kIfIndex + ".1", kBerInteger, {1}},
                  {"ifIndex walk leaves the column", N, kIfIndex + ".52", 0, kIfDescr + ".1", 4,
                   Text("InLoopBack0")},
                  {"ifName 4", G, kIfName + ".4", 0, "", kBerOctetString, Text("MEth0/0/1")},
                  {"ifName of port 48", G, kIfName + ".52", 0, "", kBerOctetString,
                   Text("GigabitEthernet0/0/48")},
                  {"ifName walk leaves the column",
                   N,
                   kIfName + ".52",
                   0,
                   "1.3.6.1.2.1.31.1.1.1.2.1",
                   kBerCounter32,
                   {0}},
                  {"VLAN 100 ID", G, kVlanId + ".100", 0, "", kBerInteger, {100}},
                  {"VLAN 20 name", G, kVlanName + ".20", 0, "", 4, Text("lab-net")},
                  {"office bitmap", G, kVlanPorts + ".10", 0, "", 4, {0, 0xFE, 0, 0, 0, 0xFF}},
                  {"printable bitmap", G, kVlanPorts + ".30", 0, "", 4, Text("@     ")},
                  {"UTF-8 name", G, kVlanName + ".40", 0, "", 4,
                   Text("\xE5\x8A\x9E\xE5\x85\xAC\xE7\xBD\x91")},
                  {"GBK name", G, kVlanName + ".60", 0, "", 4, Text("\xD3\xEF\xD2\xF4")},
                  {"stacked bitmap: ports 129-136, 190",
                   G,
                   kVlanPorts + ".50",
                   0,
                   "",
                   4,
                   {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0x20}},
                  {"VlanPorts walk leaves the column",
                   N,
                   kVlanPorts + ".100",
                   0,
                   "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.4.1",
                   kBerInteger,
                   {1}},
                  {"port 48 ifIndex", G, kPortIfIndex + ".48", 0, "", kBerInteger, {52}},
                  {"end of the MIB view", N, kPortIfIndex + ".48", kNoSuchName, "", 0, {}},
                  {"no such instance", G, kVlanPorts + ".3", kNoSuchName, "", 0, {}},
              });
}

// The forwarding entries sim/README.md lists, by the MAC address (02:00:5e:...), after the FDB id
// in the Q-BRIDGE table. Column 2 holds the bridge port, 3 the status.
TEST(ForwardingTablesTest, ServeTheDocumentedEntries) {
    const std::string dPort = "1.3.6.1.2.1.17.4.3.1.2.2.0.94.";
    const std::string dStatus = "1.3.6.1.2.1.17.4.3.1.3.2.0.94.";
    const std::string fdbId = "1.3.6.1.2.1.17.7.1.4.2.1.3.0.";  // + VLAN ID
    const std::string qPort = "1.3.6.1.2.1.17.7.1.2.2.1.2.";
    const std::string qStatus = "1.3.6.1.2.1.17.7.1.2.2.1.3.";
    const auto G = PduType::Get;
    const auto N = PduType::GetNext;
    const auto I = kBerInteger;
    const std::vector<std::pair<Variant, std::vector<Expected>>> switches = {
        {Variant::Standard,
         {
             {"PC in VLAN 10: port", G, dPort + "16.0.6", 0, "", I, {12}},
             {"PC in VLAN 10: learned", G, dStatus + "16.0.6", 0, "", I, {3}},
             {"gateway behind uplink 48", G, dPort + "0.0.1", 0, "", I, {48}},
             {"printer: static", G, dStatus + "0.0.3", 0, "", I, {5}},
             {"the switch: port 0", G, dPort + "0.0.254", 0, "", I, {0}},
             {"the switch: self", G, dStatus + "0.0.254", 0, "", I, {4}},
             {"bridge port 12", G, "1.3.6.1.2.1.17.1.4.1.2.12", 0, "", I, {16}},
             {"below the PC", N, dPort + "16.0.5.255", 0, dPort + "16.0.6", I, {12}},
             {"not learned", G, dPort + "16.0.7", kNoSuchName, "", 0, {}},
         }},
        {Variant::QBridge,
         {
             {"VLAN 10 learns in FDB 2", G, fdbId + "10", 0, "", kBerGauge32, {2}},
             {"VLAN 100 in FDB 5", G, fdbId + "100", 0, "", kBerGauge32, {5}},
             {"PC in VLAN 10", G, qPort + "2.2.0.94.16.0.6", 0, "", I, {3}},
             {"PC behind the phone", G, qPort + "2.2.0.94.16.0.96", 0, "", I, {6}},
             {"the phone, voice VLAN", G, qPort + "5.2.0.94.100.0.96", 0, "", I, {6}},
             {"gateway behind trunk 24", G, qPort + "3.2.0.94.0.0.1", 0, "", I, {24}},
             {"router in VLAN 20", G, qPort + "3.2.0.94.0.0.2", 0, "", I, {12}},
             {"router in VLAN 30", G, qPort + "4.2.0.94.0.0.2", 0, "", I, {17}},
             {"router not in VLAN 10", G, qPort + "2.2.0.94.0.0.2", kNoSuchName, "", 0, {}},
             {"lab server: static", G, qStatus + "3.2.0.94.0.0.3", 0, "", I, {5}},
             {"the switch: port 0", G, qPort + "1.2.0.94.0.0.254", 0, "", I, {0}},
             {"the switch: self", G, qStatus + "1.2.0.94.0.0.254", 0, "", I, {4}},
             {"below the PC", N, qPort + "2.2.0.94.16.0.5", 0, qPort + "2.2.0.94.16.0.6", I, {3}},
         }},
    };
    for (const auto& [variant, cases] : switches) {
        auto agent = StartSwitch(variant);
        ASSERT_NE(agent, nullptr);
        ExpectAll(*agent, cases);
    }
}

TEST(StandardDataTest, UnknownCommunityGetsNoAnswer) {
    auto agent = StartSwitch(Variant::Standard);
    ASSERT_NE(agent, nullptr);
    EXPECT_EQ(Ask(*agent, PduType::Get, std::string(kSysDescr), "secret").outcome,
              Outcome::NoAnswer);
}

TEST(StandardDataTest, SetThroughPrivateIsReadBackThroughPublic) {
    auto agent = StartSwitch(Variant::Standard);
    ASSERT_NE(agent, nullptr);
    const std::vector<std::uint8_t> bitmap{0xFE, 0, 0, 0, 0x01, 0};
    const RawExchange set =
        Ask(*agent, PduType::Set, kVlanPorts + ".1", "private", RawValue::Octets(bitmap));
    ASSERT_EQ(set.outcome, Outcome::Answered);
    EXPECT_EQ(set.response.errorStatus, 0);
    EXPECT_EQ(Ask(*agent, PduType::Get, kVlanPorts + ".1").response.value.bytes, bitmap);

    const RawExchange save = Ask(*agent, PduType::Set, kSave, "private", RawValue::Integer(1));
    EXPECT_EQ(save.response.errorStatus, 0);
    EXPECT_EQ(Ask(*agent, PduType::Get, kSave).response.value.AsInteger(), 1);
}

TEST(RefusingSetsTest, VlanPortsButVlan1sAndSaveAreRefusedWithNoSuchNameAndKeepTheirValues) {
    auto agent = StartSwitch(Variant::RefusingSets);
    ASSERT_NE(agent, nullptr);
    const RawExchange ports = Ask(*agent, PduType::Set, kVlanPorts + ".10", "private",
                                  RawValue::Octets({0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(ports.outcome, Outcome::Answered);
    EXPECT_EQ(ports.response.errorStatus, kNoSuchName);
    EXPECT_EQ(ports.response.errorIndex, 1);
    const RawExchange save = Ask(*agent, PduType::Set, kSave, "private", RawValue::Integer(1));
    EXPECT_EQ(save.response.errorStatus, kNoSuchName);
    const RawExchange vlan1 = Ask(*agent, PduType::Set, kVlanPorts + ".1", "private",
                                  RawValue::Octets({0x7F, 0, 0, 0, 0, 0}));
    EXPECT_EQ(vlan1.response.errorStatus, 0);

    ExpectAll(*agent, {
                          {"office bitmap kept",
                           PduType::Get,
                           kVlanPorts + ".10",
                           0,
                           "",
                           4,
                           {0, 0xFE, 0, 0, 0, 0xFF}},
                          {"save object kept", PduType::Get, kSave, 0, "", kBerInteger, {0}},
                      });
}

TEST(StallMidWalkTest, IfNameWalkStallsAtTheFifthRowWhileTheAgentLivesOn) {
    auto agent = StartSwitch(Variant::StallMidWalk);
    ASSERT_NE(agent, nullptr);
    const RawExchange fourth = Ask(*agent, PduType::GetNext, kIfName + ".3");
    ASSERT_EQ(fourth.outcome, Outcome::Answered);
    EXPECT_EQ(fourth.response.oid, kIfName + ".4");

    const RawExchange fifth =
        Exchange(agent->Port(), {PduType::GetNext, "public", kIfName + ".4", {}}, 300ms);
    EXPECT_EQ(fifth.outcome, Outcome::NoAnswer);
    EXPECT_EQ(Ask(*agent, PduType::Get, kVlanName + ".1").outcome, Outcome::Answered);
}

TEST(LargeDataTest, ServesFourThousandRowColumns) {
    auto agent = StartSwitch(Variant::Large);
    ASSERT_NE(agent, nullptr);
    const auto G = PduType::Get;
    const auto N = PduType::GetNext;
    ExpectAll(*agent,
              {
                  {"last ifName", G, kIfName + ".4096", 0, "", 4, Text("GigabitEthernet0/0/4096")},
                  {"last VLAN name", G, kVlanName + ".4094", 0, "", 4, Text("vlan-4094")},
                  {"VLAN ID walk leaves the column", N, kVlanId + ".4094", 0, kVlanName + ".1", 4,
                   Text("vlan-1")},
                  {"last port row", G, kPortIfIndex + ".4096", 0, "", kBerInteger, {0x10, 0x00}},
                  {"end of the MIB view", N, kPortIfIndex + ".4096", kNoSuchName, "", 0, {}},
              });
}

}  // namespace
}  // namespace tarnwick::test
