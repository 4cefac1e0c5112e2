// Walk speed: a 4,096-row column of the simulated Large switch, walked by NetSnmpAgent (as the
// command line has it, and as the window has it, with a "while waiting" callback served every
// slice) and by Net-SNMP's snmpwalk as an external process; prints the times and their ratios.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/support/simulated_switch.h"
#include "vlan/vlan_tables.h"

extern char** environ;

namespace tarnwick {
namespace {

using test::SimulatedSwitch;

constexpr std::size_t kRows = 4096;
constexpr int kIterations = 3;
constexpr const char* kOurs = "NetSnmpAgentWalk";
constexpr const char* kOursServed = "NetSnmpAgentWalkServed";
constexpr const char* kSnmpwalk = "SnmpwalkProcess";

std::unique_ptr<SimulatedSwitch> g_switch;

void NetSnmpAgentWalk(benchmark::State& state, bool served) {
    DeviceSettings settings;
    settings.ipAddress = g_switch->Address();
    settings.timeout = 2000;
    int calls = 0;
    NetSnmpAgent snmp(served ? WhileWaiting([&calls] { ++calls; }) : WhileWaiting());
    for (auto _ : state) {
        WalkTable table;
        table.reserve(kRows);
        const auto outcome = snmp.Walk(settings, {kPortIfIndexColumn}, table);
        if (outcome.end != WalkOutcome::End::Complete || table.size() != kRows) {
            state.SkipWithError("the walk did not return every row");
            return;
        }
    }
    state.counters["rows"] = kRows;
    if (served) {
        state.counters["served"] = calls;
    }
}

// Runs snmpwalk with its output in a temporary file; the number of rows it printed (lines that
// begin with an OID, not its closing "End of MIB"), or -1.
int RunSnmpwalk(const std::string& target) {
    char outPath[] = "/tmp/tarnwick-bench-snmpwalk-XXXXXX";
    const int out = mkstemp(outPath);
    if (out < 0) {
        return -1;
    }
    const std::string oid(kPortIfIndexColumn);
    const char* argv[] = {"snmpwalk", "-v1", "-c", "public",       "-On",       "-Oq",  "-t",
                          "2",        "-r",  "1",  target.c_str(), oid.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned =
        posix_spawnp(&pid, "snmpwalk", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 1;
    if (spawned == 0) {
        waitpid(pid, &status, 0);
    }
    int rows = 0;
    lseek(out, 0, SEEK_SET);
    if (FILE* text = ::fdopen(out, "r")) {
        bool lineStart = true;
        for (int c; (c = std::fgetc(text)) != EOF;) {
            rows += lineStart && c == '.';
            lineStart = c == '\n';
        }
        std::fclose(text);
    } else {
        ::close(out);
    }
    std::remove(outPath);
    return spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? rows : -1;
}

void SnmpwalkProcess(benchmark::State& state) {
    const std::string target = g_switch->Address();
    for (auto _ : state) {
        if (RunSnmpwalk(target) != static_cast<int>(kRows)) {
            state.SkipWithError("snmpwalk did not print every row");
            return;
        }
    }
}

BENCHMARK_CAPTURE(NetSnmpAgentWalk, plain, false)
    ->Name(kOurs)
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(NetSnmpAgentWalk, served, true)
    ->Name(kOursServed)
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(SnmpwalkProcess)
    ->Name(kSnmpwalk)
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Keeps the mean real time of each run for the ratio printed at the end.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (!run.error_occurred) {
                m_seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double>& Times() const { return m_seconds; }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    using namespace tarnwick;
    benchmark::Initialize(&argc, argv);
    InitSnmpLibrary();
    std::string error;
    g_switch = SimulatedSwitch::Start(SimulatedSwitch::Variant::Large, &error);
    if (!g_switch) {
        std::fprintf(stderr, "the simulated switch did not start: %s\n", error.c_str());
        return 1;
    }
    // snmpsim builds its caches on the first walk; neither contender should pay for that.
    RunSnmpwalk(g_switch->Address());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_switch.reset();

    const auto& times = reporter.Times();
    const auto theirs = times.find(std::string(kSnmpwalk) + "/iterations:3/real_time");
    for (const char* name : {kOurs, kOursServed}) {
        const auto ours = times.find(std::string(name) + "/iterations:3/real_time");
        if (ours == times.end() || theirs == times.end()) {
            continue;
        }
        std::printf("walk of %zu rows: %s %.1f ms, snmpwalk %.1f ms, ratio %.2f\n", kRows, name,
                    ours->second, theirs->second, ours->second / theirs->second);
    }
    return 0;
}
