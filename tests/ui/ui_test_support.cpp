// Helpers of the UI tests: a closer for the real message boxes, and a counting SNMP agent.
#include "tests/ui/ui_test_support.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tarnwick::test {

MessageBoxCloser::MessageBoxCloser(WhileShown whileShown) : m_whileShown(std::move(whileShown)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { CloseActiveBox(); });
    m_timer.start(5);
}

std::vector<QString> MessageBoxCloser::Texts() const {
    std::vector<QString> texts;
    for (const Shown& box : m_shown) {
        texts.push_back(box.text);
    }
    return texts;
}

void MessageBoxCloser::CloseActiveBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        return;
    }
    m_shown.push_back({box->windowTitle(), box->text()});
    if (m_whileShown) {
        m_whileShown(*box);
    }
    box->button(QMessageBox::Ok)->click();
}

CXTPSkinManager& Skins() {
    static CXTPSkinManager skins;
    return skins;
}

WalkOutcome CountingAgent::Walk(const DeviceSettings& settings, const WalkRequest& request,
                                WalkTable& table) {
    ++walks;
    lastSettings = settings;
    return onWalk ? onWalk(request, table) : WalkOutcome{};
}

GetResult CountingAgent::Get(const DeviceSettings& settings, const std::vector<std::string>& oids) {
    lastSettings = settings;
    GetResult result;
    for (const std::string& oid : oids) {
        const auto found = instances.find(oid);
        result.values.emplace_back(
            OctetString{found != instances.end() ? found->second : std::string(64, '\0')});
    }
    return result;
}

SetResult CountingAgent::Set(const DeviceSettings& settings, std::string_view, const SnmpValue&) {
    ++sets;
    lastSettings = settings;
    return setStatus;
}

}  // namespace tarnwick::test
