// The window's peak memory during a Read against a switch whose VlanPorts column goes on with
// long values (1,500 octets each, 65,537 rows by default: one past the row bound), the other
// columns empty. Prints the peak resident set size before and after the Read; the goal is at
// most 128 MB after. Usage: bench_read_memory [rows] [octets per value]
#include <sys/resource.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/ui/window_bench.h"
#include "tests/ui/ui_test_support.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

constexpr double kGoalMegabytes = 128;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024 / 1e6;  // ru_maxrss is in KiB
}

void MeasureRead(unsigned rows, std::size_t octets) {
    // Every octet 0xFF: the hex dump, as VlanPorts values always are.
    bench::WindowOnSwitch window(bench::OneColumn(
        kVlanPortsColumn, rows, [value = std::string(octets, '\xFF')](unsigned) { return value; }));
    const double before = PeakMegabytes();
    test::MessageBoxCloser closer;
    window.Read();
    std::printf("%u VlanPorts values of %zu octets, %zu requests; messages shown: %zu\n", rows,
                octets, window.Agent().Requests().size(), closer.Boxes().size());
    for (const QString& text : closer.Texts()) {
        std::printf("  %s\n", qUtf8Printable(text));
    }
    std::printf("peak RSS before the read: %.1f MB; after: %.1f MB (goal: at most %.0f MB)\n",
                before, PeakMegabytes(), kGoalMegabytes);
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    const auto application = tarnwick::bench::StartApplication(argc, argv);
    const unsigned rows = argc > 1 ? unsigned(std::strtoul(argv[1], nullptr, 10)) : 65537;
    const std::size_t octets = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1500;
    tarnwick::MeasureRead(rows, octets);
    return 0;
}
