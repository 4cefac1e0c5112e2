// The move engine against a scripted switch while another administrator works on it: at one SET
// of a move (the vendor's removal, addition or restore; Q-BRIDGE's one request, a step of the way
// on, or a restore) the request is lost, the reply is lost, the switch refuses, or the request
// arrives late; and meanwhile someone else moves another port through the same objects, or the
// moved port itself. Whatever happens, the moved port ends in the new VLAN or where it was, the
// other administrator's change stays, and the report claims only what the switch holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <optional>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "vlan/port_move.h"
#include "vlan/q_bridge_mib.h"
#include "vlan/q_bridge_move.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using test::ScriptedAnswer;
using test::VarBind;

enum class Fault {
    None,
    LostRequest,
    LostReply,
    Refusal,
    Late,  // held in the network: it lands while the move waits for its read-back's verdict
    // What no move can help: someone's change lands between the move's GET and its SET, or
    // before its late SET.
    OtherFirst,
    LateAfterOther,
};
enum class Writer { OtherPort, MovedPort };

constexpr std::int64_t kGenErr = 5;

std::string Instance(std::string_view column, int index) {
    return std::string(column) + "." + std::to_string(index);
}

// A switch holding its objects by OID. SETs are counted from 0 by request id; the faulty one
// meets its fault, and at that moment (for a late SET: when it lands) the other administrator
// makes their change. A SET of several bindings is applied binding by binding, as some agents
// do.
struct Switch {
    bool vendor = true;
    int faultySet = -1;
    Fault fault = Fault::None;
    Writer writer = Writer::OtherPort;
    std::vector<int> refusedSets{};  // answered genErr, nothing applied
    bool refuseTogether = false;     // a SET of more than two bindings: tooBig
    bool strictPvid = false;         // a PVID only for a VLAN the port is untagged in
    bool halfPair = false;           // of two untagged lists, only the first applied

    std::mutex mutex{};
    std::map<std::string, VarBind> objects{};
    std::vector<std::int64_t> setIds{};
    std::optional<test::ReceivedRequest> late{};
    int getsSinceLate = 0;
    bool otherActed = false;

    void Put(const std::string& oid, std::uint8_t tag, test::Bytes value) {
        objects[oid] = {test::Oid(oid), tag, std::move(value)};
    }
    std::uint8_t& Octet(const std::string& oid, int port, int& mask) {
        mask = 1 << (vendor ? (port - 1) % 8 : 7 - (port - 1) % 8);
        return objects.at(oid).value.at(static_cast<std::size_t>((port - 1) / 8));
    }
    bool Bit(const std::string& oid, int port) {
        int mask = 0;
        return (Octet(oid, port, mask) & mask) != 0;
    }
    void SetBit(const std::string& oid, int port, bool on) {
        int mask = 0;
        std::uint8_t& octet = Octet(oid, port, mask);
        octet = static_cast<std::uint8_t>(on ? octet | mask : octet & ~mask);
    }
    std::int64_t Pvid(int port) {
        return test::DecodeInteger(objects.at(Instance(kDot1qPvidColumn, port)).value);
    }
    std::string Egress(int vlan) { return Instance(kDot1qVlanStaticEgressPortsColumn, vlan); }
    std::string Untagged(int vlan) { return Instance(kDot1qVlanStaticUntaggedPortsColumn, vlan); }

    // Vendor: VLAN 10 (ports 10-16) and VLAN 1 (ports 1-8); port 12 moves from 10 to 1.
    // Q-BRIDGE: VLAN 10 (untagged 1-4, tagged 8), VLAN 20 (5, 6) and VLAN 30 (7); port 3 moves
    // from 10 to 20.
    void Load() {
        if (vendor) {
            Put(VlanPortsOid("10"), test::kBerOctetString, {0x00, 0xFE});
            Put(VlanPortsOid("1"), test::kBerOctetString, {0xFF, 0x00});
            return;
        }
        for (const auto& [vlan, egress, untagged] :
             {std::tuple{10, 0xF1, 0xF0}, {20, 0x0C, 0x0C}, {30, 0x02, 0x02}}) {
            Put(Egress(vlan), test::kBerOctetString, {std::uint8_t(egress)});
            Put(Untagged(vlan), test::kBerOctetString, {std::uint8_t(untagged)});
        }
        Put(Instance(kDot1qVlanForbiddenEgressPortsColumn, 20), test::kBerOctetString, {0});
        for (const int port : {1, 3}) {
            Put(Instance(kDot1qPvidColumn, port), test::kBerGauge32, {10});
        }
    }

    // The other administrator: moves another port through the move's own objects (vendor: port
    // 16 out of VLAN 10, port 9 into VLAN 1; Q-BRIDGE: port 1 from VLAN 10 to 20), or moves the
    // moved port itself (vendor: into VLAN 1, as the move would; Q-BRIDGE: into VLAN 30).
    // Q-BRIDGE: the port the other administrator moves, and where to.
    std::pair<int, int> OtherMove() const {
        return writer == Writer::OtherPort ? std::pair{1, 20} : std::pair{3, 30};
    }
    void OtherAdministrator() {
        otherActed = true;
        if (vendor) {
            const bool other = writer == Writer::OtherPort;
            SetBit(VlanPortsOid("10"), other ? 16 : 12, false);
            SetBit(VlanPortsOid("1"), other ? 9 : 12, true);
            return;
        }
        const auto [port, to] = OtherMove();
        for (const int vlan : {10, 20, 30}) {
            SetBit(Egress(vlan), port, vlan == to);
            SetBit(Untagged(vlan), port, vlan == to);
        }
        objects[Instance(kDot1qPvidColumn, port)].value = {std::uint8_t(to)};
    }
    // Whether the other administrator's change is still there.
    bool OtherChangeKept() {
        if (!otherActed) {
            return true;
        }
        if (vendor) {
            return writer == Writer::MovedPort ||
                   (!Bit(VlanPortsOid("10"), 16) && Bit(VlanPortsOid("1"), 9));
        }
        const auto [port, to] = OtherMove();
        for (const int vlan : {10, 20, 30}) {
            if (Bit(Egress(vlan), port) != (vlan == to) ||
                Bit(Untagged(vlan), port) != (vlan == to)) {
                return false;
            }
        }
        return Pvid(port) == to;
    }

    // Where the moved port is: "old", "new", "elsewhere" (VLAN 30 alone), "none" or "two".
    std::string Place() {
        std::lock_guard lock(mutex);
        if (vendor) {
            const bool old = Bit(VlanPortsOid("10"), 12), now = Bit(VlanPortsOid("1"), 12);
            return old && now ? "two" : old ? "old" : now ? "new" : "none";
        }
        std::vector<int> in;
        for (const int vlan : {10, 20, 30}) {
            const bool untagged = Bit(Untagged(vlan), 3);
            if (untagged != Bit(Egress(vlan), 3)) {
                return "two";  // half a membership counts as a wrong one
            }
            if (untagged) {
                in.push_back(vlan);
            }
        }
        if (in.size() != 1) {
            return in.empty() ? "none" : "two";
        }
        if (Pvid(3) != in.front()) {
            return "two";
        }
        return in.front() == 10 ? "old" : in.front() == 20 ? "new" : "elsewhere";
    }

    static std::vector<VarBind> Bindings(const test::ReceivedRequest& request) {
        std::vector<VarBind> bindings{{request.oid, request.valueTag,
                                       test::Bytes(request.value.begin(), request.value.end())}};
        bindings.insert(bindings.end(), request.moreBindings.begin(), request.moreBindings.end());
        return bindings;
    }

    ScriptedAnswer Answer(const test::ReceivedRequest& request) {
        std::lock_guard lock(mutex);
        std::vector<VarBind> bindings = Bindings(request);
        if (request.pduType == 0xA0) {
            if (late && ++getsSinceLate == 2) {
                Apply(*late);
                late.reset();
                if (fault == Fault::Late) {
                    OtherAdministrator();
                }
            }
            for (VarBind& binding : bindings) {
                const auto found = objects.find(test::Dotted(binding.oid));
                if (found == objects.end()) {
                    return {false, 2};
                }
                binding = found->second;
            }
            return Response(bindings);
        }
        const int set = SetNumber(request.requestId);
        const bool faulty = set == faultySet;
        if (std::find(refusedSets.begin(), refusedSets.end(), set) != refusedSets.end()) {
            return {false, kGenErr};
        }
        if (refuseTogether && bindings.size() > 2) {
            return {false, 1};  // tooBig
        }
        if (faulty && fault != Fault::LostReply && fault != Fault::Late) {
            OtherAdministrator();
        }
        if (faulty && (fault == Fault::Late || fault == Fault::LateAfterOther)) {
            late = request;
            getsSinceLate = 0;
            return {true};
        }
        if (faulty && (fault == Fault::LostRequest || fault == Fault::Refusal)) {
            return fault == Fault::Refusal ? ScriptedAnswer{false, kGenErr} : ScriptedAnswer{true};
        }
        const std::int64_t refused = Apply(request);
        if (faulty && fault == Fault::LostReply) {
            OtherAdministrator();
            return {true};
        }
        if (refused != 0) {
            return {false, 3, {}, {}, false, {}, refused};  // badValue
        }
        return Response(bindings);
    }
    int SetNumber(std::int64_t requestId) {
        const auto at = std::find(setIds.begin(), setIds.end(), requestId);
        if (at == setIds.end()) {
            setIds.push_back(requestId);
            return static_cast<int>(setIds.size()) - 1;
        }
        return static_cast<int>(at - setIds.begin());
    }
    // Applies the SET's bindings in order; the binding (from 1) a strict switch refused, or 0.
    std::int64_t Apply(const test::ReceivedRequest& request) {
        const std::vector<VarBind> bindings = Bindings(request);
        for (std::size_t i = 0; i < bindings.size(); ++i) {
            const std::string oid = test::Dotted(bindings[i].oid);
            if (strictPvid && oid.starts_with(kDot1qPvidColumn)) {
                const int vlan = static_cast<int>(test::DecodeInteger(bindings[i].value));
                if (!Bit(Untagged(vlan), static_cast<int>(bindings[i].oid.back()))) {
                    return static_cast<std::int64_t>(i + 1);
                }
            }
            if (halfPair && bindings.size() == 2 && i == 1) {
                return 2;
            }
            objects[oid] = bindings[i];
        }
        return 0;
    }
    static ScriptedAnswer Response(const std::vector<VarBind>& bindings) {
        const VarBind& first = bindings.front();
        return {false,     0,
                first.oid, {first.value.begin(), first.value.end()},
                false,     {bindings.begin() + 1, bindings.end()},
                0,         first.valueTag};
    }
};

struct Row {
    const char* name;
    bool vendor;
    int set;  // the faulty SET, from 0
    Fault fault;
    Writer writer;
    std::string ends;              // where the moved port ends
    bool otherChangeLost = false;  // what no move can help
    std::vector<int> refusedSets{};
    bool refuseTogether = false;
    bool strictPvid = false;
    bool halfPair = false;
    friend void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }
};

// Tallies over every row, printed once the rows have run: what the goals count.
struct Tally {
    int rows = 0, otherChangesLost = 0, cannotBeHelped = 0, inNoVlan = 0, inTwoVlans = 0,
        claimsUnconfirmed = 0, switchRefusedTheWayBack = 0;
} g_tally;

class MoveEngineFaults : public ::testing::TestWithParam<Row> {};

// The switch's place of the port for each place the report may claim.
bool Claims(PortPlace place, const std::string& held) {
    switch (place) {
        case PortPlace::NewVlan:
            return held == "new";
        case PortPlace::OldVlan:
            return held == "old";
        case PortPlace::Neither:
            return held == "none";
        case PortPlace::Changed:
            return held == "elsewhere";
        case PortPlace::Both:
            return held == "two";
        case PortPlace::Unknown:
            break;
    }
    return true;
}

TEST_P(MoveEngineFaults, EndInOneVlanKeepTheOtherChangeAndClaimOnlyWhatTheSwitchHolds) {
    const Row& row = GetParam();
    InitSnmpLibrary();
    Switch model;
    model.vendor = row.vendor;
    model.faultySet = row.set;
    model.fault = row.fault;
    model.writer = row.writer;
    model.refusedSets = row.refusedSets;
    model.refuseTogether = row.refuseTogether;
    model.strictPvid = row.strictPvid;
    model.halfPair = row.halfPair;
    model.Load();
    test::ScriptedAgent agent([&model](int, const auto& request) { return model.Answer(request); });
    NetSnmpAgent snmp;
    const DeviceSettings settings{.ipAddress = agent.Address()};
    const int vendorPort[] = {12};
    const int qBridgePort[] = {3};
    const PlannedMove planned = row.vendor ? PlanPortMove(snmp, settings, "10", "1", vendorPort)
                                           : PlanQBridgeMove(snmp, settings, 10, 20, qBridgePort);
    const MovePlan& plan = std::get<MovePlan>(planned);

    const MoveReport report = SendMove(snmp, settings, plan);

    const std::string held = model.Place();
    EXPECT_EQ(held, row.ends);
    std::lock_guard lock(model.mutex);
    EXPECT_EQ(model.OtherChangeKept(), !row.otherChangeLost);
    EXPECT_TRUE(Claims(report.ports.at(0).place, held));
    EXPECT_EQ(report.AllMoved(), held == "new");
    // The values the report says the switch holds at the end, it holds; unknown ones only when a
    // port's place is.
    ASSERT_EQ(report.held.size(), plan.objects.size());
    EXPECT_EQ(std::count(report.held.begin(), report.held.end(), std::nullopt) != 0,
              report.ports.at(0).place == PortPlace::Unknown);
    for (std::size_t object = 0; object < plan.objects.size(); ++object) {
        const auto& value = report.held[object];
        const test::Bytes& onSwitch = model.objects.at(plan.objects[object].oid).value;
        if (value && OctetsIn(*value)) {
            EXPECT_EQ(*OctetsIn(*value), std::string(onSwitch.begin(), onSwitch.end())) << object;
        } else if (value) {
            EXPECT_EQ(VlanIndexIn(*value), std::uint32_t(test::DecodeInteger(onSwitch))) << object;
        }
    }
    ++g_tally.rows;
    const bool lost = !model.OtherChangeKept();
    (row.otherChangeLost ? g_tally.cannotBeHelped : g_tally.otherChangesLost) += lost;
    const bool refusedBack = row.refusedSets.size() > 1;
    (refusedBack ? g_tally.switchRefusedTheWayBack : g_tally.inNoVlan) += held == "none";
    g_tally.inTwoVlans += held == "two";
    g_tally.claimsUnconfirmed += !Claims(report.ports.at(0).place, held);
}

constexpr bool kVendor = true, kQ = false;
constexpr Writer kOther = Writer::OtherPort, kMoved = Writer::MovedPort;

INSTANTIATE_TEST_SUITE_P(
    Vendor, MoveEngineFaults,
    ::testing::Values(
        Row{"RemovalLostRequest", kVendor, 0, Fault::LostRequest, kOther, "old"},
        Row{"RemovalLostReply", kVendor, 0, Fault::LostReply, kOther, "new"},
        Row{"RemovalRefused", kVendor, 0, Fault::Refusal, kOther, "old"},
        Row{"RemovalLate", kVendor, 0, Fault::Late, kOther, "old"},
        Row{"AdditionLostRequest", kVendor, 1, Fault::LostRequest, kOther, "old"},
        Row{"AdditionLostReply", kVendor, 1, Fault::LostReply, kOther, "new"},
        Row{"AdditionRefused", kVendor, 1, Fault::Refusal, kOther, "old"},
        Row{"AdditionLate", kVendor, 1, Fault::Late, kOther, "old"},
        // The addition refused, then the restore meets the fault.
        Row{"RestoreLostRequest", kVendor, 2, Fault::LostRequest, kOther, "old", false, {1}},
        Row{"RestoreLostReply", kVendor, 2, Fault::LostReply, kOther, "old", false, {1}},
        Row{"RestoreRefusedOnce", kVendor, 2, Fault::Refusal, kOther, "old", false, {1}},
        Row{"RestoreLate", kVendor, 2, Fault::Late, kOther, "old", false, {1}},
        Row{"RestoreRefusedTwice", kVendor, -1, Fault::None, kOther, "none", false, {1, 2, 3}},
        Row{"MovedBySomeoneElseDuringTheRemoval", kVendor, 0, Fault::LostRequest, kMoved, "new"},
        Row{"OtherChangeBetweenTheGetAndTheSet", kVendor, 0, Fault::OtherFirst, kOther, "new",
            true}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    QBridge, MoveEngineFaults,
    ::testing::Values(
        Row{"TogetherLostRequest", kQ, 0, Fault::LostRequest, kOther, "new"},
        Row{"TogetherLostReply", kQ, 0, Fault::LostReply, kOther, "new"},
        Row{"TogetherRefused", kQ, 0, Fault::Refusal, kOther, "new"},
        Row{"TogetherLate", kQ, 0, Fault::Late, kOther, "new"},
        // The one request too big: TO's egress list (1), the untagged pair (2), the PVID (3),
        // FROM's egress list (4).
        Row{"PairLostRequest", kQ, 2, Fault::LostRequest, kOther, "old", false, {}, true},
        Row{"PairLostReply", kQ, 2, Fault::LostReply, kOther, "new", false, {}, true},
        Row{"PairRefused", kQ, 2, Fault::Refusal, kOther, "old", false, {}, true},
        Row{"PairLate", kQ, 2, Fault::Late, kOther, "old", false, {}, true},
        Row{"PvidLostRequest", kQ, 3, Fault::LostRequest, kOther, "old", false, {}, true},
        Row{"PvidLostReply", kQ, 3, Fault::LostReply, kOther, "new", false, {}, true},
        Row{"PvidRefused", kQ, 3, Fault::Refusal, kOther, "old", false, {}, true},
        Row{"PvidLate", kQ, 3, Fault::Late, kOther, "old", false, {}, true},
        // The PVID refused, then the first restore (the untagged pair) meets the fault.
        Row{"RestoreLostRequest", kQ, 4, Fault::LostRequest, kOther, "old", false, {3}, true},
        Row{"RestoreLostReply", kQ, 4, Fault::LostReply, kOther, "old", false, {3}, true},
        Row{"RestoreRefusedOnce", kQ, 4, Fault::Refusal, kOther, "old", false, {3}, true},
        Row{"RestoreLate", kQ, 4, Fault::Late, kOther, "old", false, {3}, true},
        Row{"StrictPvidAfterTheUntaggedLists",
            kQ,
            -1,
            Fault::None,
            kOther,
            "new",
            false,
            {},
            true,
            true},
        Row{"HalfThePairApplied", kQ, -1, Fault::None, kOther, "new", false, {}, true, false, true},
        Row{"MovedElsewhereDuringTheOneRequest", kQ, 0, Fault::LostRequest, kMoved, "elsewhere"},
        Row{"MovedElsewhereAfterThePvid",
            kQ,
            3,
            Fault::LostReply,
            kMoved,
            "elsewhere",
            false,
            {},
            true},
        Row{"OtherChangeBeforeTheLateRequestLands", kQ, 0, Fault::LateAfterOther, kOther, "new",
            true}),
    [](const auto& row) { return std::string(row.param.name); });

struct PrintTally : ::testing::Environment {
    void TearDown() override {
        std::printf(
            "%d rows: other administrator's changes lost %d (and %d that no move can "
            "help); ports in no VLAN %d (and %d where the switch refused the way back); in "
            "two VLANs %d; reports claiming the unconfirmed %d\n",
            g_tally.rows, g_tally.otherChangesLost, g_tally.cannotBeHelped, g_tally.inNoVlan,
            g_tally.switchRefusedTheWayBack, g_tally.inTwoVlans, g_tally.claimsUnconfirmed);
    }
};
const auto* const g_printTally = ::testing::AddGlobalTestEnvironment(new PrintTally);

}  // namespace
}  // namespace tarnwick
