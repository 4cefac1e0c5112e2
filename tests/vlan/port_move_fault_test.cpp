// The port move against a scripted switch whose removal, addition or restore SET is lost on the
// way, loses its reply after being applied, is refused, or meets a switch fallen silent: what the
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

using test::ReceivedRequest;
using test::ScriptedAnswer;
using namespace std::string_literals;

enum class Fault { LostRequest, LostReply, Refusal, Silence };
enum Step { kRemoval, kAddition, kRestore };  // the SETs in the order a move sends them

// VLANs 1 (ports 1-8) and 10 (ports 10-16) as bitmaps that applied SETs change; port 12 moves
// from 10 to 1. The faulty SET is the step's; for the restore, the addition is refused first.
class SwitchModel {
public:
    SwitchModel(Step step, Fault fault) : m_step(step), m_fault(fault) {}

    ScriptedAnswer Answer(const ReceivedRequest& request) {
        std::lock_guard lock(m_mutex);
        const test::SubIds column = test::Oid(kVlanPortsColumn);
        auto vlan = [&](const test::SubIds& oid) { return oid.empty() ? 0 : oid.back(); };
        if (m_silent) {
            return {true};
        }
        if (request.pduType == 0xA1) {  // the column read again: instances 1 and 10
            const std::uint32_t next = request.oid == column ? 1 : vlan(request.oid) == 1 ? 10 : 0;
            return next == 0 ? ScriptedAnswer{false, 2} : Binding(next);
        }
        if (request.pduType == 0xA0) {
            ScriptedAnswer answer = Binding(vlan(request.oid));
            for (const test::VarBind& more : request.moreBindings) {
                const std::string& octets = bitmaps[vlan(more.oid)];
                answer.moreBindings.push_back(
                    {more.oid, test::kBerOctetString, {octets.begin(), octets.end()}});
            }
            return answer;
        }
        m_setIds.insert(request.requestId);  // a resend repeats its request id
        const auto step = static_cast<int>(m_setIds.size()) - 1;
        const bool faulty = step == m_step;
        if ((m_step == kRestore && step == kAddition) || (faulty && m_fault == Fault::Refusal)) {
            return {false, 3};  // badValue
        }
        if (faulty && m_fault != Fault::LostReply) {
            m_silent = m_fault == Fault::Silence;
            return {true};
        }
        bitmaps[vlan(request.oid)] = request.value;
        return faulty ? ScriptedAnswer{true} : ScriptedAnswer{false, 0, request.oid, request.value};
    }

    // Port 12's VLANs of the two.
    std::pair<bool, bool> InOldAndNew() {
        std::lock_guard lock(m_mutex);
        return {(bitmaps[10][1] & 0x08) != 0, (bitmaps[1][1] & 0x08) != 0};
    }
    void Reset() {
        std::lock_guard lock(m_mutex);
        bitmaps = {{1, "\xFF\0"s}, {10, "\0\xFE"s}};
        m_setIds.clear();
        m_silent = false;
    }

private:
    ScriptedAnswer Binding(std::uint32_t vlan) {
        test::SubIds oid = test::Oid(kVlanPortsColumn);
        oid.push_back(vlan);
        return {false, 0, oid, bitmaps[vlan]};
    }

    std::map<std::uint32_t, std::string> bitmaps{{1, "\xFF\0"s}, {10, "\0\xFE"s}};
    const Step m_step;
    const Fault m_fault;
    std::mutex m_mutex;
    std::set<std::int64_t> m_setIds;
    bool m_silent = false;
};

// What a message says of port 12; a message must say nothing the switch does not hold.
std::string Claim(const std::string& message) {
    for (const auto& [words, claim] :
         std::map<std::string, std::string>{{"无法确认端口12", "unknown"},
                                            {"仍在VLAN 10", "old"},
                                            {"已恢复到VLAN 10", "old"},
                                            {"既不在", "neither"}}) {
        if (message.find(words) != std::string::npos) {
            return claim;
        }
    }
    return message.empty() ? "new" : "?";
}

std::string Held(std::pair<bool, bool> inOldAndNew) {
    const auto [inOld, inNew] = inOldAndNew;
    return inOld == inNew ? (inOld ? "both" : "neither") : inNew ? "new" : "old";
}

class PortMoveFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(PortMoveFaults, EndInOneVlanWhileTheSwitchAnswersAndSayOnlyWhatItHolds) {
    InitSnmpLibrary();
    for (const Step step : {kRemoval, kAddition, kRestore}) {
        SCOPED_TRACE(step);
        SwitchModel model(step, GetParam());
        test::ScriptedAgent agent(
            [&model](int, const ReceivedRequest& r) { return model.Answer(r); });
        NetSnmpAgent snmp;
        fakes::FakeDialog window(nullptr, &snmp);
        window.state.settings.ipAddress = agent.Address();
        window.state.tablesFrom = ParseDeviceAddress(agent.Address());
        window.state.shownVlan = "10";

        window.logic.ChangePortVlan("12", "1");

        const std::string held = Held(model.InOldAndNew());
        const bool silent = GetParam() == Fault::Silence;
        // Refused twice, addition and restore, the switch leaves the port in no VLAN.
        const bool refusedTwice = step == kRestore && GetParam() == Fault::Refusal;
        EXPECT_EQ(held, silent         ? (step == kRemoval ? "old" : "neither")
                        : refusedTwice ? "neither"
                        : GetParam() == Fault::LostReply && step != kRestore ? "new"
                                                                             : "old");
        const std::string message = window.messages.shown.empty() ? "" : window.messages.shown[0];
        EXPECT_EQ(Claim(message), silent ? "unknown" : held) << message;
        EXPECT_EQ(message.ends_with("未做任何修改!"), held == "old" && step == kRemoval && !silent)
            << message;

        model.Reset();
        QProcess cli;
        cli.start(QStringLiteral(TARNWICK_CLI),
                  {QString::fromStdString(agent.Address()), "move", "12", "10", "1", "--json"});
        cli.waitForFinished(60'000);
        EXPECT_EQ(cli.exitCode(), held == "new" ? 0 : 1);
        const QJsonValue vlans = QJsonDocument::fromJson(cli.readAllStandardOutput())
                                     .object()[u"confirmed"][0][u"vlans"];
        const std::map<std::string, QJsonValue> json = {
            {"new", QJsonArray{1}}, {"old", QJsonArray{10}}, {"neither", QJsonArray{}}};
        EXPECT_EQ(vlans, silent ? QJsonValue(QStringLiteral("unknown")) : json.at(held));
        EXPECT_EQ(Held(model.InOldAndNew()), held);
    }
}

INSTANTIATE_TEST_SUITE_P(EachFault, PortMoveFaults,
                         ::testing::Values(Fault::LostRequest, Fault::LostReply, Fault::Refusal,
                                           Fault::Silence));

}  // namespace
}  // namespace tarnwick
