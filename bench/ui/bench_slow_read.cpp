// The longest time the window's event loop goes unserved during a Read, measured by a 5 ms
// timer's largest gap between two ticks: against a slow switch (answers after the given
// milliseconds, 800 by default, as behind a slow branch-office link) and against a fast one
// with a 65,536-row column. Usage: bench_slow_read [answer milliseconds]
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <thread>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "ui/framework/modal_command.h"
#include "ui/framework/skin_manager.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

// Rows of the VLAN ID column, then the end of every column.
test::ScriptedAgent::Script Switch(unsigned rows, int answerMilliseconds) {
    return [=](int, const test::ReceivedRequest& request) {
        std::this_thread::sleep_for(std::chrono::milliseconds(answerMilliseconds));
        const test::SubIds column = test::Oid(kVlanIdColumn);
        test::ScriptedAnswer answer{false, 0, test::Oid("1.3.6.1.9"), "end"};
        const bool inColumn = request.oid.size() >= column.size() &&
                              std::equal(column.begin(), column.end(), request.oid.begin());
        const unsigned next =
            request.oid.size() == column.size() ? 1 : unsigned(request.oid.back()) + 1;
        if (inColumn && next <= rows) {
            answer.oid = column;
            answer.oid.push_back(next);
            answer.octets = std::to_string(next);
        }
        return answer;
    };
}

void MeasureRead(const char* what, unsigned rows, int answerMilliseconds) {
    test::ScriptedAgent agent(Switch(rows, answerMilliseconds));
    NetSnmpAgent snmp(ServeWindowWhileWaiting);
    CXTPSkinManager skins;
    CTarnwickDlg dialog(snmp, skins);
    dialog.Controls().Get<QLineEdit>(kIdIpAddress).setText(QString::fromStdString(agent.Address()));
    dialog.show();
    QApplication::processEvents();
    QElapsedTimer read;
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        ++ticks;
        dialog.update();
    });
    read.start();
    sinceTick.start();
    timer.start(5);
    dialog.Controls().Get<QPushButton>(kIdOk).click();
    longestGap = std::max(longestGap, sinceTick.elapsed());
    std::printf(
        "%s: read of %zu requests took %lld ms; %d ticks; the event loop went %lld ms "
        "unserved at most\n",
        what, agent.Requests().size(), read.elapsed(), ticks, longestGap);
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
    const int answerMilliseconds = argc > 1 ? std::atoi(argv[1]) : 800;
    tarnwick::MeasureRead("slow switch, 5 VLANs", 5, answerMilliseconds);
    tarnwick::MeasureRead("fast switch, 65,536 VLANs", 65536, 0);
    return 0;
}
