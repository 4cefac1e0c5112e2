// A move's faults through tarnwick-cli on the scripted switch: what it says the switch confirmed
// and holds afterwards (in process), and a signal as the switch receives a request (the program,
// since a signal needs a process of its own).
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <atomic>
#include <vector>

#include "tests/cli/in_process.h"
#include "tests/support/temporary_journal.h"
#include "tests/vlan/switch_model.h"

namespace tarnwick {
namespace {

using test::kBlindReadBack;
using test::kLostRequest;
using test::kRefusal;

const QJsonValue kOld = QJsonArray{10}, kNew = QJsonArray{1};

TEST(PortMoveFaults, TheCliSaysWhatTheEngineFound) {
    struct Row {
        const char* name;
        int step;
        test::Fault fault;
        std::string held;      // on the switch
        QJsonValue confirmed;  // where the CLI says the switch confirmed the port
        QJsonValue readAfterwards;
    };
    for (const Row& row : std::vector<Row>{
             {"removal lost", 0, kLostRequest, "old", kOld, kOld},
             {"addition refused", 1, kRefusal, "old", kOld, kOld},
             // Unknown to the engine: the CLI fails, whatever the read afterwards shows.
             {"addition applied unseen", 1, kBlindReadBack, "new", QStringLiteral("unknown"),
              kNew}}) {
        SCOPED_TRACE(row.name);
        test::SwitchModel model{row.step, row.fault};
        test::ScriptedAgent agent(
            [&model](int, const auto& request) { return model.Answer(request); });

        const test::CliRun run =
            test::RunCommandLine(test::Arguments(agent.Address() + " move 12 10 1 --json"));

        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.Json()[u"confirmed"][0][u"vlans"], row.confirmed);
        EXPECT_EQ(run.Json()[u"portVlans"][0][u"vlans"], row.readAfterwards);
        EXPECT_EQ(model.Held(), row.held);
    }
}

// SIGINT, then SIGTERM, as the agent receives a request: held while the move writes (exit 130
// after the report, the port in exactly one VLAN), not while the CLI reads before or after.
TEST(PortMoveFaults, ASignalDuringTheWritesWaitsForTheMoveToEnd) {
    struct Row {
        const char* name;
        int lostStep;           // the SET whose answer is lost
        std::uint8_t signalAt;  // at the first request of this type after `afterSets` SETs
        int afterSets;
        int status;  // -1: killed by the signal
        QJsonValue confirmed;
    };
    const QJsonValue kNone{QJsonValue::Undefined};
    for (const Row& row : std::vector<Row>{{"removal's answer", 0, 0xA3, 0, 130, kOld},
                                           {"addition's answer", 1, 0xA3, 1, 130, kOld},
                                           {"read before", 0, 0xA0, 0, -1, kNone},
                                           {"read afterwards", 0, 0xA1, 1, -1, kNone}}) {
        SCOPED_TRACE(row.name);
        test::SwitchModel model{row.lostStep, kLostRequest};
        std::atomic<qint64> pid{0};
        int sets = 0;
        test::ScriptedAgent agent([&](int, const test::ReceivedRequest& request) {
            if (request.pduType == row.signalAt && sets == row.afterSets) {
                pid.wait(0);
                kill(static_cast<pid_t>(pid.load()), SIGINT);
                kill(static_cast<pid_t>(pid.load()), SIGTERM);
            }
            sets += request.pduType == 0xA3 ? 1 : 0;
            return model.Answer(request);
        });
        QProcess cli;
        cli.start(QStringLiteral(TARNWICK_CLI),
                  test::Arguments(agent.Address() + " move 12 10 1 --json"));
        pid = cli.processId();
        pid.notify_all();
        cli.waitForFinished(60'000);
        EXPECT_EQ(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, row.status);
        EXPECT_EQ(cli.readAllStandardError().count("finishing the move\n"), row.status > 0 ? 1 : 0);
        const QJsonDocument json = QJsonDocument::fromJson(cli.readAllStandardOutput());
        EXPECT_EQ(json[u"confirmed"][0][u"vlans"], row.confirmed);
        EXPECT_EQ(model.Held(), "old");
    }
}

}  // namespace
}  // namespace tarnwick
