// The Q-BRIDGE move: on the simulated Q-BRIDGE switch, checked object by object with the raw
// client; and against a scripted switch that is not atomic, refuses, loses requests and replies
// or falls silent, at the one request of every binding, at a separate SET or at a restore.
#include "vlan/q_bridge_move.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <set>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/raw_snmp.h"
#include "tests/support/start_switch.h"
#include "vlan/q_bridge.h"

namespace tarnwick {
namespace {

using test::kBerGauge32;
using test::ScriptedAnswer;

std::string Instance(std::string_view column, int index) {
    return std::string(column) + "." + std::to_string(index);
}

// What the switch holds, as the raw client reads it: PortLists in hex, PVIDs in decimal.
std::string RawValue(std::uint16_t port, const std::string& oid) {
    const auto read =
        test::Exchange(port, {test::PduType::Get, "public", oid, {}}, std::chrono::seconds(2));
    const auto& value = read.response.value;
    if (value.tag != test::kBerOctetString) {
        return std::to_string(value.AsInteger());
    }
    std::string hex;
    for (const std::uint8_t octet : value.bytes) {
        hex += "0123456789ABCDEF"[octet >> 4];
        hex += "0123456789ABCDEF"[octet & 15];
    }
    return hex;
}

TEST(QBridgeMove, MovesAccessAndHybridPortsOnTheSwitchAndRefusesSendingNothing) {
    InitSnmpLibrary();
    auto sim = test::StartSwitch(test::SimulatedSwitch::Variant::QBridge);
    ASSERT_NE(sim, nullptr);
    const auto egress = [](int vlan) { return Instance(kDot1qVlanStaticEgressPortsColumn, vlan); };
    const auto untagged = [](int vlan) {
        return Instance(kDot1qVlanStaticUntaggedPortsColumn, vlan);
    };
    const auto pvid = [](int port) { return Instance(kDot1qPvidColumn, port); };
    const struct {
        std::vector<int> ports;
        std::uint32_t from, to;
        std::string refusal;  // the end of the refusal; empty: the move is confirmed
        std::map<std::string, std::string> holds{};
    } rows[] = {
        {{23}, 10, 20, "port 23 is only a tagged member of VLAN 10; nothing was sent."},
        {{8}, 10, 20, "VLAN 20 forbids port 8 (dot1qVlanForbiddenEgressPorts); nothing was sent."},
        {{1}, 10, 99, "VLAN 99 has no row in dot1qVlanStaticTable; nothing was sent."},
        {{13}, 10, 20, "port 13 is not a member of VLAN 10; nothing was sent."},
        // The refusals left everything as the data has it.
        {{5},
         10,
         20,
         "",
         {{egress(10), "F7000300"},
          {untagged(10), "F7000000"},
          {egress(20), "08F00300"},
          {untagged(20), "08F00000"},
          {pvid(5), "20"},
          {egress(100), "0C000300"}}},
        {{1, 2},
         10,
         30,
         "",
         {{egress(10), "37000300"},
          {untagged(10), "37000000"},
          {egress(30), "C000FD00"},
          {untagged(30), "C000FC00"},
          {pvid(1), "30"},
          {pvid(2), "30"},
          {egress(20), "08F00300"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.refusal);
        NetSnmpAgent snmp;
        const DeviceSettings settings{.ipAddress = sim->Address()};
        const auto planned = PlanQBridgeMove(snmp, settings, row.from, row.to, row.ports);
        if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
            EXPECT_TRUE(refusal->message.ends_with(row.refusal)) << refusal->message;
            continue;
        }
        ASSERT_TRUE(row.refusal.empty());
        const QBridgeMoveReport report =
            SendQBridgeMove(snmp, settings, std::get<QBridgeMovePlan>(planned));
        EXPECT_TRUE(report.AllMoved()) << report.message;
        for (const auto& [oid, value] : row.holds) {
            EXPECT_EQ(RawValue(sim->Port(), oid), value) << oid;
        }
    }
}

enum Fault { kNone, kLostRequest, kLostReply, kRefusal, kSilence, kRefusalTwice };

// VLAN 10 (egress 1-4 and tagged 8, untagged 1-4) and VLAN 20 (ports 5 and 6), one octet each,
// ports' PVIDs as Gauge32. Port 3 moves from 10 to 20. SETs are counted from 0, the one request;
// a SET of several bindings is applied binding by binding, as some agents do.
struct QSwitchModel {
    ScriptedAnswer Answer(const test::ReceivedRequest& request) {
        std::lock_guard lock(mutex);
        std::vector<test::VarBind> bindings{
            {request.oid, request.valueTag,
             test::Bytes(request.value.begin(), request.value.end())}};
        bindings.insert(bindings.end(), request.moreBindings.begin(), request.moreBindings.end());
        const int set = request.pduType == 0xA3 ? SetNumber(request.requestId) : -1;
        silent = silent || (set == faultySet && fault == kSilence);
        if (silent || (set == faultySet && fault == kLostRequest)) {
            return {true};
        }
        if (request.pduType == 0xA0) {
            for (test::VarBind& binding : bindings) {
                binding = objects.at(test::Dotted(binding.oid));
            }
        } else if (set == faultySet && (fault == kRefusal || fault == kRefusalTwice)) {
            return {false, 5};  // genErr
        } else if (set == faultySet + 1 && fault == kRefusalTwice) {
            return {false, 5};
        } else if (set == 0 && faultySet > 0 && refusePvid == 0) {
            return {false, 1};  // tooBig: the separate SETs follow
        } else {
            for (std::size_t i = 0; i < bindings.size(); ++i) {
                const bool pvid = test::Dotted(bindings[i].oid).starts_with(kDot1qPvidColumn);
                if (pvid && (refusePvid > 1 || (refusePvid == 1 && set == 0))) {
                    refused = static_cast<std::int64_t>(i + 1);
                } else {
                    objects[test::Dotted(bindings[i].oid)] = bindings[i];
                }
            }
        }
        if (refused != 0) {
            return {false, 2, {}, {}, false, {}, std::exchange(refused, 0)};  // noSuchName
        }
        if (set == faultySet && fault == kLostReply) {
            return {true};
        }
        const test::VarBind first = bindings.front();
        return {false,     0,
                first.oid, {first.value.begin(), first.value.end()},
                false,     {bindings.begin() + 1, bindings.end()},
                0,         first.valueTag};
    }
    int SetNumber(std::int64_t requestId) {
        const auto at = std::find(setIds.begin(), setIds.end(), requestId);
        if (at == setIds.end()) {
            setIds.push_back(requestId);  // a resend repeats its request id
            return static_cast<int>(setIds.size()) - 1;
        }
        return static_cast<int>(at - setIds.begin());
    }
    std::string Held() {
        std::lock_guard lock(mutex);
        const auto in = [this](std::string_view column, int vlan) {
            return (objects.at(Instance(column, vlan)).value.at(0) & 0x20) != 0;
        };
        const bool fromEgress = in(kDot1qVlanStaticEgressPortsColumn, 10);
        const bool fromUntagged = in(kDot1qVlanStaticUntaggedPortsColumn, 10);
        const bool toEgress = in(kDot1qVlanStaticEgressPortsColumn, 20);
        const bool toUntagged = in(kDot1qVlanStaticUntaggedPortsColumn, 20);
        const auto pvid = test::DecodeInteger(objects.at(Instance(kDot1qPvidColumn, 3)).value);
        if (!fromEgress && !fromUntagged && toEgress && toUntagged && pvid == 20) {
            return "new";
        }
        if (fromEgress && fromUntagged && !toEgress && !toUntagged && pvid == 10) {
            return "old";
        }
        return fromEgress || toEgress ? "both" : "neither";
    }

    int faultySet;
    Fault fault;
    int refusePvid = 0;  // 1: in the one request; 2: in every SET
    std::mutex mutex{};
    std::map<std::string, test::VarBind> objects{};
    std::vector<std::int64_t> setIds{};
    std::int64_t refused = 0;
    bool silent = false;
};

void Put(QSwitchModel& model, std::string_view column, int index, std::uint8_t tag,
         std::uint8_t value) {
    const std::string oid = Instance(column, index);
    model.objects[oid] = {test::Oid(oid), tag, {value}};
}

TEST(QBridgeMoveFaults, EndInOneVlanAndSayOnlyWhatTheSwitchConfirmed) {
    // Separate SETs after a refused one request: 1 TO's egress, 2 FROM's untagged, 3 TO's
    // untagged, 4 the PVID, 5 FROM's egress; then the restores.
    const struct {
        int set;
        Fault fault;
        int refusePvid;
        std::string held;  // on the switch
        PortPlace place;   // in the report
        std::string says;  // the message's end; empty: no message
    } rows[] = {
        {0, kNone, 0, "new", PortPlace::NewVlan, ""},
        {0, kRefusal, 0, "new", PortPlace::NewVlan, ""},
        {0, kLostRequest, 0, "new", PortPlace::NewVlan, ""},
        {0, kLostReply, 0, "new", PortPlace::NewVlan, ""},
        {0, kSilence, 0, "old", PortPlace::Unknown,
         "port 3 is now is not known: read the switch again!"},
        {-1, kNone, 1, "new", PortPlace::NewVlan, ""},
        {-1, kNone, 2, "old", PortPlace::OldVlan, "port 3 in VLAN 10 as before."},
        {3, kRefusal, 0, "old", PortPlace::OldVlan, "port 3 in VLAN 10 as before."},
        {3, kLostRequest, 0, "old", PortPlace::OldVlan, "port 3 in VLAN 10 as before."},
        {3, kLostReply, 0, "new", PortPlace::NewVlan, ""},
        {3, kSilence, 0, "both", PortPlace::Unknown, "read the switch again!"},
        {5, kRefusal, 0, "old", PortPlace::OldVlan, "port 3 in VLAN 10 as before."},
        // The one request half applied, and neither the PVID nor the first restore taken.
        {2, kRefusal, 2, "both", PortPlace::Both,
         "VLAN 10: not a member, VLAN 20: untagged, PVID 10!"},
        // The restore refused too: the switch keeps the port tagged in both; it is told so.
        {3, kRefusalTwice, 0, "both", PortPlace::Both,
         "port 3 is neither where it was nor moved: VLAN 10: tagged, VLAN 20: tagged, PVID 10!"},
    };
    InitSnmpLibrary();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.set) + " " + std::to_string(row.fault) + " " +
                     std::to_string(row.refusePvid));
        QSwitchModel model{row.set, row.fault, row.refusePvid};
        Put(model, kDot1qVlanStaticEgressPortsColumn, 10, test::kBerOctetString, 0xF1);
        Put(model, kDot1qVlanStaticUntaggedPortsColumn, 10, test::kBerOctetString, 0xF0);
        Put(model, kDot1qVlanStaticEgressPortsColumn, 20, test::kBerOctetString, 0x0C);
        Put(model, kDot1qVlanStaticUntaggedPortsColumn, 20, test::kBerOctetString, 0x0C);
        Put(model, kDot1qVlanForbiddenEgressPortsColumn, 20, test::kBerOctetString, 0x00);
        Put(model, kDot1qPvidColumn, 3, kBerGauge32, 10);
        test::ScriptedAgent agent(
            [&model](int, const auto& request) { return model.Answer(request); });
        NetSnmpAgent snmp;
        const DeviceSettings settings{.ipAddress = agent.Address()};
        const int ports[] = {3};
        const auto plan = std::get<QBridgeMovePlan>(PlanQBridgeMove(snmp, settings, 10, 20, ports));

        const QBridgeMoveReport report = SendQBridgeMove(snmp, settings, plan);

        EXPECT_EQ(model.Held(), row.held);
        EXPECT_EQ(report.ports.at(0).place, row.place);
        EXPECT_TRUE(report.message.ends_with(row.says)) << report.message;
        EXPECT_EQ(report.message.empty(), row.says.empty()) << report.message;
    }
}

}  // namespace
}  // namespace tarnwick
