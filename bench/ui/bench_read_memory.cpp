// The window's peak memory during a Read against a switch whose VlanPorts column goes on with
// long values (1,500 octets each, 65,537 rows by default: one past the row bound), the other
// columns empty. Prints the peak resident set size before and after the Read; the goal is at
// most 128 MB after. Usage: bench_read_memory [rows] [octets per value]
#include <sys/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/ui/ui_test_support.h"
#include "ui/framework/modal_command.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

constexpr double kGoalMegabytes = 128;

// Rows 1 to `rows` of the VlanPorts column, every octet 0xFF; every other column is empty.
test::ScriptedAgent::Script LongVlanPorts(unsigned rows, std::size_t octets) {
    return [rows, value = std::string(octets, '\xFF')](int, const test::ReceivedRequest& request) {
        const test::SubIds column = test::Oid(kVlanPortsColumn);
        test::ScriptedAnswer answer{false, 0, test::Oid("1.3.6.1.9"), "end"};
        const bool inColumn = request.oid.size() >= column.size() &&
                              std::equal(column.begin(), column.end(), request.oid.begin());
        const unsigned next =
            request.oid.size() == column.size() ? 1 : unsigned(request.oid.back()) + 1;
        if (inColumn && next <= rows) {
            answer.oid = column;
            answer.oid.push_back(next);
            answer.octets = value;
        }
        return answer;
    };
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024 / 1e6;  // ru_maxrss is in KiB
}

void MeasureRead(unsigned rows, std::size_t octets) {
    test::ScriptedAgent agent(LongVlanPorts(rows, octets));
    NetSnmpAgent snmp(ServeWindowWhileWaiting);
    CTarnwickDlg dialog(snmp, test::Skins());
    dialog.Controls().Get<QLineEdit>(kIdIpAddress).setText(QString::fromStdString(agent.Address()));
    dialog.show();
    QApplication::processEvents();
    const double before = PeakMegabytes();
    test::MessageBoxCloser closer;
    dialog.Controls().Get<QPushButton>(kIdOk).click();
    std::printf("%u VlanPorts values of %zu octets, %zu requests; messages shown: %zu\n", rows,
                octets, agent.Requests().size(), closer.Boxes().size());
    for (const QString& text : closer.Texts()) {
        std::printf("  %s\n", qUtf8Printable(text));
    }
    std::printf("peak RSS before the read: %.1f MB; after: %.1f MB (goal: at most %.0f MB)\n",
                before, PeakMegabytes(), kGoalMegabytes);
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    tarnwick::CTarnwickDlg::SetShowPageAddress({});
    tarnwick::InitSnmpLibrary();
    const unsigned rows = argc > 1 ? unsigned(std::strtoul(argv[1], nullptr, 10)) : 65537;
    const std::size_t octets = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1500;
    tarnwick::MeasureRead(rows, octets);
    return 0;
}
