// The VLAN selection dialog, and the interface-list double-click that opens it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "snmp/printable.h"
#include "tests/ui/ui_test_support.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"
#include "ui/vlan_select_dlg.h"
#include "vlan/port_move.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using namespace Qt::StringLiterals;

// While it lives, acts once on every selection dialog that opens.
class SelectionActor {
public:
    explicit SelectionActor(std::function<void(CVlanSelectDlg&)> act) : m_act(std::move(act)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<CVlanSelectDlg*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && dialog != m_last) {
                m_last = dialog;
                ++opened;
                m_act(*dialog);
            }
        });
        m_timer.start(5);
    }
    int opened = 0;

private:
    std::function<void(CVlanSelectDlg&)> m_act;
    CVlanSelectDlg* m_last = nullptr;
    QTimer m_timer;
};

QComboBox& Combo(CVlanSelectDlg& dialog) {
    return dialog.Controls().Get<QComboBox>(kIdVlanChoice);
}

TEST(CVlanSelectDlgTest, SortsByTextStartsWithNothingChosenAndGivesTheChoiceOnlyOnOk) {
    struct Case {
        const char* name;
        std::function<void(CVlanSelectDlg&)> act;
        int result;
        std::string chosen;
    };
    const auto press = [](Qt::Key key) {
        return [key](CVlanSelectDlg& d) { QTest::keyClick(&d, key); };
    };
    const std::vector<Case> cases = {
        {"Enter at once", press(Qt::Key_Return), IDOK, ""},
        {"a choice, then OK",
         [](CVlanSelectDlg& d) {
             Combo(d).setCurrentIndex(2);
             d.Controls().Get<QPushButton>(IDOK).click();
         },
         IDOK, "100/voice"},
        {"a choice, then Esc",
         [](CVlanSelectDlg& d) {
             Combo(d).setCurrentIndex(2);
             QTest::keyClick(&d, Qt::Key_Escape);
         },
         IDCANCEL, ""},
        {"close box", [](CVlanSelectDlg& d) { d.close(); }, IDCANCEL, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVlanSelectDlg dialog(nullptr);
        dialog.entries = {"2/mgmt", "10/office", "100/voice", "10/office"};
        QStringList shown;
        bool focusOnOk = false;
        int selectedAtStart = 0;
        SelectionActor actor([&](CVlanSelectDlg& d) {
            for (int i = 0; i < Combo(d).count(); ++i) {
                shown << Combo(d).itemText(i);
            }
            selectedAtStart = Combo(d).currentIndex();
            focusOnOk = d.focusWidget() == &d.Controls().Get<QPushButton>(IDOK);
            c.act(d);
        });

        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.chosenText, c.chosen);
        EXPECT_EQ(shown,
                  QStringList({u"10/office"_s, u"10/office"_s, u"100/voice"_s, u"2/mgmt"_s}));
        EXPECT_EQ(selectedAtStart, -1);
        EXPECT_TRUE(focusOnOk);
    }
}

// VLANs 1 and 10; VLAN 10 holds ports 2 and 3.
WalkOutcome TwoVlanSwitch(const WalkRequest& request, WalkTable& table) {
    const std::string ports = std::string(kVlanPortsColumn) + ".";
    if (request.columnOid == kVlanIdColumn) {
        table = {"1", "10"};
    } else if (request.columnOid == kVlanNameColumn) {
        table = {"default", "office"};
        if (request.instances) {
            *request.instances = {"1", "10"};
        }
    } else if (request.columnOid == kVlanPortsColumn) {
        table = {ports + "1-" + HexDump("\x01"), ports + "10-" + HexDump("\x06")};
    }
    return {};
}

TEST(InterfaceListDoubleClickTest, OpensTheSelectionOnlyWithExactlyOneSelectedRow) {
    test::CountingAgent agent;
    agent.onWalk = TwoVlanSwitch;
    agent.instances = {{VlanPortsOid("10"), "\x06"}, {VlanPortsOid("1"), "\x01"}};
    CTarnwickDlg window(agent, test::Skins());
    window.Controls().Get<QLineEdit>(kIdIpAddress).setText(QStringLiteral("127.0.0.1:9"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.Controls().Get<QPushButton>(kIdOk).click();
    auto& vlans = window.Controls().Get<ReportListView>(kIdVlanList);
    auto& interfaces = window.Controls().Get<ReportListView>(kIdInterfaceList);
    vlans.selectRow(1);
    window.OnDblclkVlanList();
    ASSERT_EQ(interfaces.model()->rowCount(), 2);

    for (const int selected : {0, 1, 2}) {
        SCOPED_TRACE(selected);
        interfaces.clearSelection();
        for (int row = 0; row < selected; ++row) {
            interfaces.selectionModel()->select(
                interfaces.model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        const int walksBefore = agent.walks;
        SelectionActor actor([](CVlanSelectDlg& d) {
            Combo(d).setCurrentIndex(0);  // "1/default"
            QTest::keyClick(&d, Qt::Key_Return);
        });
        // A double-click on the list, wherever it falls (a click would change the selection).
        emit interfaces.listDoubleClicked();

        EXPECT_EQ(actor.opened, selected == 1 ? 1 : 0);
        EXPECT_EQ(agent.sets, selected == 1 ? 2 : 0);
        EXPECT_EQ(agent.walks - walksBefore, selected == 1 ? 1 : 0);
        agent.sets = 0;
    }
}

}  // namespace
}  // namespace tarnwick
