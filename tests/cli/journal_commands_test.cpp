// The journal's commands in process, against the simulated switch and a scripted one: what moves,
// saves and undo write down, undo and its checks, and --revert-after's wait for a confirmation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <thread>

#include "cli/journal.h"
#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/cli/in_process.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/raw_snmp.h"
#include "tests/support/start_switch.h"
#include "vlan/vendor_mib.h"

namespace tarnwick::cli {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Variant = test::SimulatedSwitch::Variant;
using ::testing::HasSubstr;

const std::string kVlanPorts = "1.3.6.1.4.1.2011.2.23.1.2.1.1.1.3.";
const std::string kEgress = "1.3.6.1.2.1.17.7.1.4.3.1.2.",
                  kUntagged = "1.3.6.1.2.1.17.7.1.4.3.1.4.";

class JournalCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_directory.isValid());
        setenv("TARNWICK_JOURNAL", Path().c_str(), 1);
        InitSnmpLibrary();
    }
    std::string Path() const {
        return m_directory.filePath(QStringLiteral("j.jsonl")).toStdString();
    }
    // The words after the program's name, blank-separated, as a shell gives them.
    test::CliRun Run(const std::string& line, int input = -1) {
        auto parsed = ParseCommandLine(
            (QStringLiteral("tarnwick-cli ") + QString::fromStdString(line)).split(u' '));
        auto* invocation = std::get_if<Invocation>(&parsed);
        if (!invocation) {
            return {kUsageError, "", "usage"};
        }
        invocation->confirmationInput = input;
        return test::RunInProcess(*invocation, m_snmp);
    }
    std::vector<JournalRecord> Lines() const {
        return std::get<JournalLines>(Journal(Path()).Lines()).records;
    }
    // The record without its time and user, once they are checked.
    static JournalRecord Unstamped(JournalRecord record) {
        EXPECT_TRUE(ParseUtcTime(record.time)) << record.time;
        EXPECT_EQ(record.user, LocalUser());
        record.time.clear();
        record.user.clear();
        return record;
    }
    static std::string Held(const test::SimulatedSwitch& agent, const std::string& oid) {
        return test::Exchange(agent.Port(), {test::PduType::Get, "public", oid, {}}, 2000ms)
            .response.value.AsHex();
    }

    QTemporaryDir m_directory;
    NetSnmpAgent m_snmp;
};

TEST_F(JournalCommands, MovesLeaveWhatTheSwitchHeldBeforeAndConfirmedAfter) {
    const auto standard = test::StartSwitch(Variant::Standard);
    const auto qBridge = test::StartSwitch(Variant::QBridge);
    const auto refusing = test::StartSwitch(Variant::RefusingSets);
    ASSERT_TRUE(standard && qBridge && refusing);
    // Answers which MIB it publishes and the move's GET, then nothing: a switch gone mid-move.
    std::atomic<int> gets = 0;
    test::ScriptedAgent gone([&gets](int, const test::ReceivedRequest& request) {
        test::SubIds first = request.oid;
        first.push_back(1);
        return request.oid == test::Oid(kVlanIdColumn) ? test::ScriptedAnswer{false, 0, first, "1"}
               : request.pduType != 0xA0 || gets++ > 0
                   ? test::ScriptedAnswer{true}
                   : test::ScriptedAnswer{
                         false,     0,     request.oid,
                         "\xFF\0"s, false, {{request.moreBindings.at(0).oid, 4, {0x00, 0x01}}}};
    });
    const struct {
        const char* name;
        std::string address;
        const char *mib, *move;
        std::vector<int> ports;
        std::uint32_t from, to;
        std::vector<JournalObject> objects;
        const char* outcome;
        int exitStatus;
    } rows[] = {
        {"Vendor",
         standard->Address(),
         "vendor",
         "move 3-4 1 2",
         {3, 4},
         1,
         2,
         {{kVlanPorts + "1", "FF0000000000", "F30000000000"},
          {kVlanPorts + "2", "000100000000", "0C0100000000"}},
         "moved",
         0},
        {"QBridge",
         qBridge->Address(),
         "q-bridge",
         "move 5 10 20",
         {5},
         10,
         20,
         {{kEgress + "10", "FF000300", "F7000300"},
          {kUntagged + "10", "FF000000", "F7000000"},
          {kEgress + "20", "00F00300", "08F00300"},
          {kUntagged + "20", "00F00000", "08F00000"},
          {"1.3.6.1.2.1.17.7.1.4.5.1.1.5", 10, 20}},
         "moved",
         0},
        {"Refused",
         refusing->Address(),
         "vendor",
         "move 12 10 1",
         {12},
         10,
         1,
         {{kVlanPorts + "10", "00FE000000FF", "00FE000000FF"},
          {kVlanPorts + "1", "FF0000000000", "FF0000000000"}},
         "refused",
         1},
        {"Unknown",
         gone.Address(),
         "vendor",
         "move 3 1 2",
         {3},
         1,
         2,
         {{kVlanPorts + "1", "FF00", std::nullopt}, {kVlanPorts + "2", "0001", "0001"}},
         "unknown",
         1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::size_t before = Lines().size();
        const test::CliRun run = Run(row.address + " " + row.move);
        EXPECT_EQ(run.exitCode, row.exitStatus) << run.err;
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), before + 2);
        JournalRecord begun{.id = lines.back().id,
                            .address = "udp:" + row.address,
                            .typed = row.address,
                            .mib = row.mib,
                            .command = "move",
                            .ports = row.ports,
                            .from = row.from,
                            .to = row.to,
                            .objects = row.objects,
                            .outcome = "begun"};
        for (JournalObject& object : begun.objects) {
            object.after.reset();
        }
        JournalRecord ended = begun;
        ended.objects = row.objects;
        ended.outcome = row.outcome;
        ended.exitStatus = row.exitStatus;
        EXPECT_EQ(Unstamped(lines[before]), begun);
        EXPECT_EQ(Unstamped(lines.back()), ended);
        // Only a change that moved every port is undone, and the undo is a change of its own.
        const test::CliRun undo = Run("undo " + std::to_string(ended.id));
        EXPECT_EQ(undo.exitCode, row.exitStatus) << undo.err;
        const JournalRecord last = Lines().back();
        EXPECT_EQ(std::tuple(last.command, last.of, last.from, last.outcome),
                  row.exitStatus ? std::tuple("move"s, std::optional<std::int64_t>(), row.from,
                                              std::string(row.outcome))
                                 : std::tuple("undo"s, std::optional(ended.id), row.to, "moved"s));
    }
}

TEST_F(JournalCommands, AJournalThatCannotBeWrittenStopsTheWriteBeforeAnythingIsSent) {
    const auto agent = test::StartSwitch(Variant::Standard);
    ASSERT_NE(agent, nullptr);
    setenv("TARNWICK_JOURNAL", m_directory.path().toUtf8().constData(), 1);  // a directory
    for (const auto& [words, says] :
         {std::pair{" move 3 1 2", "Is a directory; nothing was sent.\n"},
          {" save", "Is a directory; nothing was sent.\nnot saved\n"}}) {
        const test::CliRun run = Run(agent->Address() + words);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(run.err, HasSubstr(says));
    }
    EXPECT_EQ(Held(*agent, kVlanPorts + "1"), "FF0000000000");
    EXPECT_EQ(Held(*agent, "1.3.6.1.4.1.2011.2.23.1.9.1.11.0"), "00");
    EXPECT_EQ(Run(agent->Address() + " move 3 1 2 --no-journal").exitCode, 0);
}

TEST_F(JournalCommands, UndoOnlyWhileTheSwitchHoldsWhatTheChangeLeftForItsPorts) {
    const auto agent = test::StartSwitch(Variant::Standard);
    ASSERT_NE(agent, nullptr);
    for (const char* words : {" move 3 1 2", " move 4 1 2", " save"}) {
        ASSERT_EQ(Run(agent->Address() + words).exitCode, 0);
    }
    // Someone puts port 3 into VLAN 1 again, where it is in VLAN 2 as well.
    const DeviceSettings settings{.ipAddress = agent->Address()};
    ASSERT_TRUE(m_snmp.Set(settings, kVlanPorts + "1", OctetString{"\xF7\0\0\0\0\0"s}).ok());
    const struct {
        std::string words, err;
        int exitCode;
        const char* vlan1;
    } steps[] = {
        {"undo 1",
         "the switch no longer holds what change 1 left: port 3 is in VlanPorts.1, change 1 left "
         "it out; nothing was sent.\n",
         1, "F70000000000"},
        {"undo 3", "change 3 is not undone: a save cannot be undone; nothing was sent.\n", 1,
         "F70000000000"},
        {"undo 9", "no change 9 in the journal " + Path() + "\n", 1, "F70000000000"},
        {"undo 2", "", 0, "FF0000000000"},
        {"undo 2", "port 4 is not a member of VLAN 2; nothing was sent.\n", 1, "FF0000000000"},
    };
    for (const auto& step : steps) {
        const test::CliRun run = Run(step.words);
        EXPECT_EQ(std::tuple(run.exitCode, run.err), std::tuple(step.exitCode, step.err));
        EXPECT_EQ(Held(*agent, kVlanPorts + "1"), step.vlan1) << step.words;
    }
    const test::CliRun listed = Run("journal --json --last 2 --switch " + agent->Address());
    const QJsonArray changes =
        QJsonDocument::fromJson(QByteArray::fromStdString(listed.out))[u"changes"].toArray();
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0][u"outcome"], QStringLiteral("saved"));
    EXPECT_EQ(changes[1][u"of"], 2);
}

TEST_F(JournalCommands, RevertAfterKeepsAConfirmedMoveAndTakesBackAnyOther) {
    const auto agent = test::StartSwitch(Variant::Standard);
    ASSERT_NE(agent, nullptr);
    const struct {
        const char* name;
        int port;
        std::function<void(int& input, std::int64_t change)> meanwhile;  // -1: input closed
        int exitCode;
        const char *outcome, *vlan1;
    } rows[] = {
        {"EndOfInput", 3, [](int& input, auto) { close(std::exchange(input, -1)); }, 1, "reverted",
         "FF0000000000"},
        {"YesTyped", 4, [](int& input, auto) { (void)!write(input, "no\nyes\n", 7); }, 0,
         "confirmed", "F70000000000"},
        {"ConfirmedElsewhere", 5,
         [this](int&, auto change) {
             EXPECT_EQ(Run("confirm " + std::to_string(change)).exitCode, 0);
         },
         0, "confirmed", "E70000000000"},
        {"HangUp", 6,
         [](int& input, auto) {
             kill(getpid(), SIGHUP);
             close(std::exchange(input, -1));
         },
         1, "reverted", "E70000000000"},
        {"Interrupt", 7, [](int&, auto) { kill(getpid(), SIGINT); }, 130, "reverted",
         "E70000000000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int input[2];
        ASSERT_EQ(pipe(input), 0);
        // Once the move waits (its last line has a deadline), or after 5 s.
        std::thread other([&] {
            auto lines = Lines();
            for (int look = 0; look < 200 && (lines.empty() || !lines.back().revertBy); ++look) {
                std::this_thread::sleep_for(25ms);
                lines = Lines();
            }
            row.meanwhile(input[1], lines.empty() ? 0 : lines.back().id);
        });
        const test::CliRun run =
            Run(agent->Address() + " move " + std::to_string(row.port) + " 1 2 --revert-after 1",
                input[0]);
        other.join();
        close(input[0]);
        if (input[1] >= 0) {
            close(input[1]);
        }
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        EXPECT_EQ(Lines().back().outcome, row.outcome);
        EXPECT_EQ(Held(*agent, kVlanPorts + "1"), row.vlan1);
    }
}

TEST(JournalCommandLine, JournalUndoAndConfirmNameNoSwitch) {
    for (const char* line : {"journal --json --switch sw1 --last 2", "--timeout 2000 undo 7",
                             "confirm 7 --json", "sw1 move 3 1 2 --revert-after 3600"}) {
        EXPECT_TRUE(std::holds_alternative<Invocation>(ParseCommandLine(
            (QStringLiteral("tarnwick-cli ") + QString::fromLatin1(line)).split(u' '))))
            << line;
    }
    for (const char* line :
         {"sw1 journal", "journal 1", "undo", "undo 0", "sw1 move 3 1 2 --revert-after 0",
          "sw1 move 3 1 2 --revert-after 3601", "sw1 move 3 1 2 --revert-after 9 --dry-run",
          "sw1 move 3 1 2 --revert-after 9 --no-journal", "sw1 vlans --no-journal",
          "sw1 save --switch sw1", "journal --last 0", "confirm 7 --no-journal"}) {
        EXPECT_TRUE(std::holds_alternative<UsageError>(ParseCommandLine(
            (QStringLiteral("tarnwick-cli ") + QString::fromLatin1(line)).split(u' '))))
            << line;
    }
}

}  // namespace
}  // namespace tarnwick::cli
