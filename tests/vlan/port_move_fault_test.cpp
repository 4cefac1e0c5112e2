// The port move against a scripted switch whose removal, addition or restore SET (after a refused
// addition) is lost on the way, applied with its reply lost, refused, or met by silence: what the
// switch ends with, and what the window and tarnwick-cli say of it.
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
#include "tests/vlan/fakes.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;
using test::ScriptedAnswer;
enum Fault { kLostRequest, kLostReply, kRefusal, kSilence };

// VLANs 1 (ports 1-8) and 10 (ports 10-16) as bitmaps that applied SETs change.
struct SwitchModel {
    ScriptedAnswer Answer(const test::ReceivedRequest& request) {
        std::lock_guard lock(mutex);
        auto binding = [this](std::uint32_t vlan) {
            test::SubIds oid = test::Oid(kVlanPortsColumn);
            oid.push_back(vlan);
            return ScriptedAnswer{false, 0, oid, bitmaps[vlan]};
        };
        if (!silent && request.oid == test::Oid(kVlanIdColumn)) {  // which VLAN MIB: the vendor's
            test::SubIds first = request.oid;
            first.push_back(1);
            return {false, 0, first, "1"};
        }
        const std::uint32_t vlan = request.oid.back();
        if (silent || request.pduType == 0xA1) {  // GETNEXT: the column read again
            return silent                                       ? ScriptedAnswer{true}
                   : request.oid == test::Oid(kVlanPortsColumn) ? binding(1)
                   : vlan == 1                                  ? binding(10)
                                                                : ScriptedAnswer{false, 2};
        }
        if (request.pduType == 0xA0) {
            ScriptedAnswer answer = binding(vlan);
            for (const test::VarBind& more : request.moreBindings) {
                const std::string& octets = bitmaps[more.oid.back()];
                answer.moreBindings.push_back({more.oid, 4, {octets.begin(), octets.end()}});
            }
            return answer;
        }
        sets.insert(request.requestId);  // a resend repeats its request id
        const bool faulty = static_cast<int>(sets.size()) - 1 == step;
        if ((step == 2 && sets.size() == 2) || (faulty && fault == kRefusal)) {
            return {false, 3};  // badValue
        }
        silent = faulty && fault == kSilence;
        if (!faulty || fault == kLostReply) {
            bitmaps[vlan] = request.value;
        }
        return faulty ? ScriptedAnswer{true} : ScriptedAnswer{false, 0, request.oid, request.value};
    }
    // Port 12 in VLAN 10 (where it was), in VLAN 1 (the goal), in both or in neither.
    std::string Held() {
        std::lock_guard lock(mutex);
        const bool inOld = (bitmaps[10][1] & 0x08) != 0, inNew = (bitmaps[1][1] & 0x08) != 0;
        return inOld == inNew ? (inOld ? "both" : "neither") : inNew ? "new" : "old";
    }

    int step;  // 0 removal, 1 addition, 2 restore
    Fault fault;
    std::mutex mutex{};
    std::map<std::uint32_t, std::string> bitmaps{{1, "\xFF\0"s}, {10, "\0\xFE"s}};
    std::set<std::int64_t> sets{};
    bool silent = false;
};

TEST(PortMoveFaults, EndInOneVlanWhileTheSwitchAnswersAndSayOnlyWhatItHolds) {
    struct Row {
        int step;
        Fault fault;
        std::string held;     // on the switch
        std::string says;     // in the window's message (empty: no message)
        QJsonValue cliVlans;  // where tarnwick-cli says the switch confirmed the port
    };
    const QJsonValue kOld = QJsonArray{10}, kNew = QJsonArray{1}, kNeither = QJsonArray{};
    const QJsonValue kUnknown = QStringLiteral("unknown");
    const std::string kLost = "错误信息: Timeout\r\n";
    for (const Row& row : std::vector<Row>{
             {0, kLostRequest, "old", kLost + "端口12仍在VLAN 10中，未做任何修改!", kOld},
             {0, kLostReply, "new", "", kNew},
             {0, kRefusal, "old", "端口12仍在VLAN 10中，未做任何修改!", kOld},
             {0, kSilence, "old", "是否在VLAN 10中(不在VLAN 1中)，请重新读取!", kUnknown},
             {1, kLostRequest, "old", kLost + "端口12未能加入VLAN 1，已恢复到VLAN 10。", kOld},
             {1, kLostReply, "new", "", kNew},
             {1, kRefusal, "old", "端口12未能加入VLAN 1，已恢复到VLAN 10。", kOld},
             {1, kSilence, "neither", "是否在VLAN 1中(不在VLAN 10中)，请重新读取!", kUnknown},
             {2, kLostRequest, "old", "端口12未能加入VLAN 1，已恢复到VLAN 10。", kOld},
             {2, kLostReply, "old", "端口12未能加入VLAN 1，已恢复到VLAN 10。", kOld},
             // Refused twice: the switch itself keeps the port in no VLAN, and it is told so.
             {2, kRefusal, "neither", "端口12现已既不在VLAN 10也不在VLAN 1中!", kNeither},
             {2, kSilence, "neither", "是否在VLAN 10中(不在VLAN 1中)，请重新读取!", kUnknown}}) {
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
        EXPECT_EQ(shown.size(), row.says.empty() ? 0U : 1U);
        EXPECT_TRUE(shown.empty() || shown[0].ends_with(row.says)) << shown[0];

        {
            std::lock_guard lock(model.mutex);
            model.bitmaps = {{1, "\xFF\0"s}, {10, "\0\xFE"s}};
            model.sets.clear();
            model.silent = false;
        }
        QProcess cli;
        cli.start(QStringLiteral(TARNWICK_CLI),
                  {QString::fromStdString(agent.Address()), "move", "12", "10", "1", "--json"});
        cli.waitForFinished(60'000);
        EXPECT_EQ(cli.exitCode(), row.held == "new" ? 0 : 1);
        const QJsonObject json = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        EXPECT_EQ(json[u"confirmed"][0][u"vlans"], row.cliVlans);
        EXPECT_EQ(model.Held(), row.held);
    }
}

}  // namespace
}  // namespace tarnwick
