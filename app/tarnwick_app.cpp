// CTarnwickApp: the application object; its start-up runs the whole program.
#include "app/tarnwick_app.h"

#include <memory>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "ui/framework/modal_command.h"
#include "ui/framework/qt_translations.h"
#include "ui/program_icon.h"
#include "ui/tarnwick_dlg.h"

namespace tarnwick {

CTarnwickApp::CTarnwickApp(int& argc, char** argv) : m_application(argc, argv) {
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
    // Ties the windows to the installed desktop entry, whose icon and name the desktop shows.
    QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    QApplication::setWindowIcon(ProgramIcon());
    InstallQtChineseTexts(m_qtChineseTexts);
}

bool CTarnwickApp::InitInstance() {
    InitSnmpLibrary();
    // While a request waits, the window paints and stays readable, but takes no input.
    NetSnmpAgent snmp(ServeWindowWhileWaiting);
    auto dialog = std::make_unique<CTarnwickDlg>(snmp, m_skins);
    dialog->exec();
    dialog.reset();
    return false;
}

}  // namespace tarnwick
