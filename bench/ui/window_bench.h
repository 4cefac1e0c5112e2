// What the window's benchmarks against a scripted switch share: the application's start, a
// switch that answers one column, and the main window on it.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "ui/framework/modal_command.h"
#include "ui/framework/skin_manager.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick::bench {

// Offscreen unless a platform is named, no page in the browser panel, the SNMP library started.
inline std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto application = std::make_unique<QApplication>(argc, argv);
    CTarnwickDlg::SetShowPageAddress({});
    InitSnmpLibrary();
    return application;
}

// Rows 1 to `rows` of the column, row n holding value(n), each answer after the milliseconds;
// every other column is empty.
inline test::ScriptedAgent::Script OneColumn(std::string_view column, unsigned rows,
                                             std::function<std::string(unsigned)> value,
                                             int answerMilliseconds = 0) {
    return [=, column = test::Oid(column)](int, const test::ReceivedRequest& request) {
        std::this_thread::sleep_for(std::chrono::milliseconds(answerMilliseconds));
        test::ScriptedAnswer answer{false, 0, test::Oid("1.3.6.1.9"), "end"};
        const bool inColumn = request.oid.size() >= column.size() &&
                              std::equal(column.begin(), column.end(), request.oid.begin());
        const unsigned next =
            request.oid.size() == column.size() ? 1 : unsigned(request.oid.back()) + 1;
        if (inColumn && next <= rows) {
            answer.oid = column;
            answer.oid.push_back(next);
            answer.octets = value(next);
        }
        return answer;
    };
}

// The main window, shown, with the scripted switch's address typed in.
class WindowOnSwitch {
public:
    explicit WindowOnSwitch(test::ScriptedAgent::Script script)
        : m_agent(std::move(script)), m_dialog(m_snmp, m_skins) {
        m_dialog.Controls()
            .Get<QLineEdit>(kIdIpAddress)
            .setText(QString::fromStdString(m_agent.Address()));
        m_dialog.show();
        QApplication::processEvents();
    }

    // Presses "读取"; returns once the read has ended.
    void Read() { m_dialog.Controls().Get<QPushButton>(kIdOk).click(); }
    const test::ScriptedAgent& Agent() const { return m_agent; }
    CTarnwickDlg& Dialog() { return m_dialog; }

private:
    test::ScriptedAgent m_agent;
    NetSnmpAgent m_snmp{ServeWindowWhileWaiting};
    CXTPSkinManager m_skins;
    CTarnwickDlg m_dialog;
};

}  // namespace tarnwick::bench
