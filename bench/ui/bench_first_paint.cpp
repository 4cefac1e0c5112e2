// Not a test: starts as the program does (application object, SNMP library, main window with the
// skin found beside this program file), shows the window and ends after its first paint. Prints
// the steady clock at that moment in nanoseconds and whether a skin was applied; the script
// bench/startup-time takes the process's start time and the median over several runs.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "ui/framework/modal_command.h"
#include "ui/framework/skin_manager.h"
#include "ui/program_icon.h"
#include "ui/tarnwick_dlg.h"

namespace {

class FirstPaint final : public QObject {
public:
    long long paintedAt = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedAt == 0) {
            // Runs once the paint pass, controls included, has ended.
            QTimer::singleShot(0, this, [this] {
                paintedAt = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count();
                QApplication::quit();
            });
            paintedAt = -1;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    QApplication application(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    InitSnmpLibrary();
    // The panel's request goes to a closed port on this machine, never to the maker's site.
    CTarnwickDlg::SetShowPageAddress(QStringLiteral("http://127.0.0.1:9/show.html"));
    NetSnmpAgent snmp(ServeWindowWhileWaiting);
    CXTPSkinManager skins;
    CTarnwickDlg dialog(snmp, skins);
    FirstPaint firstPaint;
    dialog.installEventFilter(&firstPaint);
    dialog.show();
    QApplication::exec();
    std::printf("%lld %d\n", firstPaint.paintedAt, application.styleSheet().isEmpty() ? 0 : 1);
    return firstPaint.paintedAt > 0 ? 0 : 1;
}
