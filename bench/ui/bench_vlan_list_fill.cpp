// Filling the real VLAN list (model and view, shown offscreen) with 4,094 VLANs through the
// adapter the logic uses; the goal is under 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>
#include <vector>

#include "ui/dialog_ports_adapters.h"
#include "ui/framework/report_list.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

constexpr int kVlans = 4094;

struct Vlan {
    std::string id;
    std::string name;
};

const std::vector<Vlan>& Vlans() {
    static const std::vector<Vlan> vlans = [] {
        std::vector<Vlan> all;
        for (int id = 1; id <= kVlans; ++id) {
            all.push_back({std::to_string(id), "vlan-" + std::to_string(id)});
        }
        return all;
    }();
    return vlans;
}

// As the VLAN list is filled after a read: emptied, then row i = ID, name.
void Fill(ReportList& list) {
    list.DeleteAllItems();
    int row = 0;
    for (const Vlan& vlan : Vlans()) {
        list.InsertItem(row, vlan.id);
        list.SetItemText(row, 1, vlan.name);
        ++row;
    }
}

void BM_FillVlanList(benchmark::State& state) {
    ReportListView view(QAbstractItemView::SingleSelection, nullptr);
    view.SetColumns(kVlanListColumns);
    view.resize(273, 240);
    view.show();
    ReportListAdapter list(view);
    const bool paint = state.range(0) != 0;
    for (auto _ : state) {
        Fill(list);
        if (paint) {
            QApplication::processEvents();
        }
    }
    state.counters["rows"] = static_cast<double>(view.model()->rowCount());
}
BENCHMARK(BM_FillVlanList)->ArgName("andPaint")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
