// A few of the move engine's faults end to end, through the window's logic and through
// tarnwick-cli: what the switch ends with, and what each front end says of it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <map>
#include <mutex>
#include <set>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/temporary_journal.h"
#include "tests/vlan/fakes.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;
using test::ScriptedAnswer;
enum Fault {
    kLostRequest,
    kRefusal,
    kBlindReadBack,  // applied, its reply lost, and the GET that would read it back too
};

// VLANs 1 (ports 1-8) and 10 (ports 10-16) as bitmaps that applied SETs change.
struct SwitchModel {
    ScriptedAnswer Answer(const test::ReceivedRequest& request) {
        std::lock_guard lock(mutex);
        auto binding = [this](std::uint32_t vlan) {
            test::SubIds oid = test::Oid(kVlanPortsColumn);
            oid.push_back(vlan);
            return ScriptedAnswer{false, 0, oid, bitmaps[vlan]};
        };
        if (request.oid == test::Oid(kVlanIdColumn)) {  // which VLAN MIB: the vendor's
            test::SubIds first = request.oid;
            first.push_back(1);
            return {false, 0, first, "1"};
        }
        const std::uint32_t vlan = request.oid.back();
        if (request.pduType == 0xA1) {  // GETNEXT: the column read again
            return request.oid == test::Oid(kVlanPortsColumn) ? binding(1)
                   : vlan == 1                                ? binding(10)
                                                              : ScriptedAnswer{false, 2};
        }
        if (request.pduType == 0xA0) {
            if (blindGet == 0 || blindGet == request.requestId) {
                blindGet = request.requestId;  // its resend too
                return {true};
            }
            ScriptedAnswer answer = binding(vlan);
            for (const test::VarBind& more : request.moreBindings) {
                const std::string& octets = bitmaps[more.oid.back()];
                answer.moreBindings.push_back({more.oid, 4, {octets.begin(), octets.end()}});
            }
            return answer;
        }
        sets.insert(request.requestId);
        if (static_cast<int>(sets.size()) - 1 != step) {
            bitmaps[vlan] = request.value;
            return {false, 0, request.oid, request.value};
        }
        if (fault == kRefusal) {
            return {false, 3};  // badValue
        }
        if (fault == kBlindReadBack) {
            bitmaps[vlan] = request.value;
            blindGet = 0;
        }
        return {true};
    }
    // Port 12 in VLAN 10 (where it was), in VLAN 1 (the goal), in both or in neither.
    std::string Held() {
        std::lock_guard lock(mutex);
        const bool inOld = (bitmaps[10][1] & 0x08) != 0, inNew = (bitmaps[1][1] & 0x08) != 0;
        return inOld == inNew ? (inOld ? "both" : "neither") : inNew ? "new" : "old";
    }
    void Reset() {
        std::lock_guard lock(mutex);
        bitmaps = {{1, "\xFF\0"s}, {10, "\0\xFE"s}};
        sets.clear();
        blindGet = -1;
    }

    int step;  // 0 removal, 1 addition
    Fault fault;
    std::mutex mutex{};
    std::map<std::uint32_t, std::string> bitmaps{{1, "\xFF\0"s}, {10, "\0\xFE"s}};
    std::set<std::int64_t> sets{};
    std::int64_t blindGet = -1;  // 0: the next GET goes unanswered
};

TEST(PortMoveFaults, TheWindowAndTheCliSayWhatTheEngineFound) {
    struct Row {
        int step;
        Fault fault;
        std::string held;     // on the switch
        std::string says;     // the end of the window's message
        QJsonValue cliVlans;  // where tarnwick-cli says the switch confirmed the port
        QJsonValue readAfterwards;
    };
    const QJsonValue kOld = QJsonArray{10}, kNew = QJsonArray{1};
    for (const Row& row : std::vector<Row>{
             {0, kLostRequest, "old", "错误信息: Timeout\r\n端口12仍在VLAN 10中，未做任何修改!",
              kOld, kOld},
             {1, kRefusal, "old", "端口12未能加入VLAN 1，已恢复到VLAN 10。", kOld, kOld},
             // Unknown to the engine: the CLI fails, whatever the read afterwards shows.
             {1, kBlindReadBack, "new",
              "未能读回VLAN 1的VlanPorts信息(错误信息: Timeout)，无法确认端口12是否在VLAN 1中"
              "(不在VLAN 10中)，请重新读取!",
              QStringLiteral("unknown"), kNew}}) {
        SCOPED_TRACE(std::to_string(row.step) + " " + std::to_string(row.fault));
        InitSnmpLibrary();
        SwitchModel model{row.step, row.fault};
        test::ScriptedAgent agent(
            [&model](int, const auto& request) { return model.Answer(request); });
        NetSnmpAgent snmp;
        fakes::FakeDialog window(nullptr, &snmp);
        window.state.settings.ipAddress = agent.Address();
        window.state.tablesFrom = ParseDeviceAddress(agent.Address());
        window.state.shownVlan = "10";

        window.logic.ChangePortVlan("12", "1");

        EXPECT_EQ(model.Held(), row.held);
        const auto& shown = window.messages.shown;
        ASSERT_EQ(shown.size(), 1U);
        EXPECT_TRUE(shown[0].ends_with(row.says)) << shown[0];

        model.Reset();
        QProcess cli;
        cli.start(QStringLiteral(TARNWICK_CLI),
                  {QString::fromStdString(agent.Address()), "move", "12", "10", "1", "--json"});
        cli.waitForFinished(60'000);
        EXPECT_EQ(cli.exitCode(), 1);
        const QJsonObject json = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        EXPECT_EQ(json[u"confirmed"][0][u"vlans"], row.cliVlans);
        EXPECT_EQ(json[u"portVlans"][0][u"vlans"], row.readAfterwards);
        EXPECT_EQ(model.Held(), row.held);
    }
}

}  // namespace
}  // namespace tarnwick
