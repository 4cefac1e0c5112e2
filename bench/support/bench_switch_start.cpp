// Start-up of the simulated switch through SimulatedSwitch::Start, as the tests start it: from the
// launch of run-switch to the first answer. The stop that follows is not counted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "tests/support/simulated_switch.h"

namespace tarnwick::test {
namespace {

using Variant = SimulatedSwitch::Variant;

constexpr int kStarts = 10;

void TimeStart(benchmark::State& state, Variant variant) {
    for (auto _ : state) {
        std::string error;
        const auto started = std::chrono::steady_clock::now();
        auto agent = SimulatedSwitch::Start(variant, &error);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (!agent) {
            state.SkipWithError(("the simulated switch did not start: " + error).c_str());
            return;
        }
    }
}

void Register(const char* name, Variant variant) {
    benchmark::RegisterBenchmark(name, TimeStart, variant)
        ->Iterations(kStarts)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

}  // namespace
}  // namespace tarnwick::test

int main(int argc, char** argv) {
    using tarnwick::test::Register;
    using Variant = tarnwick::test::SimulatedSwitch::Variant;
    benchmark::Initialize(&argc, argv);
    Register("StartStandard", Variant::Standard);
    Register("StartQBridge", Variant::QBridge);
    Register("StartRefusingSets", Variant::RefusingSets);
    Register("StartLarge", Variant::Large);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
