// CTarnwickApp: the application object; its start-up runs the whole program.
#pragma once

#include <QApplication>
#include <QTranslator>

#include "ui/framework/skin_manager.h"

namespace tarnwick {

class CTarnwickApp {
public:
    // argc must outlive the application object.
    CTarnwickApp(int& argc, char** argv);

    // Starts the SNMP library, makes the agent the main window talks to the switch through, runs
    // the main window modally and destroys it. Returns false: no event loop of the application's
    // own follows, so the process ends.
    bool InitInstance();

private:
    QApplication m_application;
    QTranslator m_qtChineseTexts;  // Qt's own texts: dialog buttons, context menus
    CXTPSkinManager m_skins;
};

}  // namespace tarnwick
