// The longest time the window's event loop goes unserved during a Read, measured by a 5 ms
// timer's largest gap between two ticks: against a slow switch (answers after the given
// milliseconds, 800 by default, as behind a slow branch-office link) and against a fast one
// with a 65,536-row column. Usage: bench_slow_read [answer milliseconds]
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/ui/window_bench.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

void MeasureRead(const char* what, unsigned rows, int answerMilliseconds) {
    // Rows of the VLAN ID column.
    bench::WindowOnSwitch window(bench::OneColumn(
        kVlanIdColumn, rows, [](unsigned row) { return std::to_string(row); }, answerMilliseconds));
    QElapsedTimer read;
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        ++ticks;
        window.Dialog().update();
    });
    read.start();
    sinceTick.start();
    timer.start(5);
    window.Read();
    longestGap = std::max(longestGap, sinceTick.elapsed());
    std::printf(
        "%s: read of %zu requests took %lld ms; %d ticks; the event loop went %lld ms "
        "unserved at most\n",
        what, window.Agent().Requests().size(), read.elapsed(), ticks, longestGap);
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    const auto application = tarnwick::bench::StartApplication(argc, argv);
    const int answerMilliseconds = argc > 1 ? std::atoi(argv[1]) : 800;
    tarnwick::MeasureRead("slow switch, 5 VLANs", 5, answerMilliseconds);
    tarnwick::MeasureRead("fast switch, 65,536 VLANs", 65536, 0);
    return 0;
}
