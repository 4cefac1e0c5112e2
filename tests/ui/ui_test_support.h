// Helpers of the UI tests: a closer for the real message boxes, and a counting SNMP agent.
#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "snmp/snmp_agent.h"
#include "ui/framework/skin_manager.h"

class QMessageBox;

namespace tarnwick::test {

// While it lives, presses OK on every message box that opens, after recording it and letting the
// test look at the application while the box is up.
class MessageBoxCloser {
public:
    struct Shown {
        QString caption;
        QString text;
    };
    using WhileShown = std::function<void(QMessageBox&)>;

    explicit MessageBoxCloser(WhileShown whileShown = {});
    const std::vector<Shown>& Boxes() const { return m_shown; }
    std::vector<QString> Texts() const;

private:
    void CloseActiveBox();

    WhileShown m_whileShown;
    std::vector<Shown> m_shown;
    QTimer m_timer;
};

// The tests' skin manager, as the application object holds the program's.
CXTPSkinManager& Skins();

// Counts the requests it is sent; walks end as the test says (by default complete and empty), a
// GET finds the instance's octets in `instances`, or 64 zero octets.
class CountingAgent final : public SnmpAgent {
public:
    WalkOutcome Walk(const DeviceSettings& settings, const WalkRequest& request,
                     WalkTable& table) override;
    GetResult Get(const DeviceSettings& settings, const std::vector<std::string>& oids) override;
    SetResult Set(const DeviceSettings& settings, std::string_view oid,
                  const SnmpValue& value) override;

    int walks = 0;
    int sets = 0;
    SetResult setStatus;  // what every SET answers
    DeviceSettings lastSettings;
    std::function<WalkOutcome(const WalkRequest&, WalkTable&)> onWalk;
    std::map<std::string, std::string> instances;
};

}  // namespace tarnwick::test
