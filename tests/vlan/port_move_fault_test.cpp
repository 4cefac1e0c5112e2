// A few of the move engine's faults end to end through the window's logic: what the switch ends
// with, and what the window says of it.
#include <gtest/gtest.h>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/vlan/fakes.h"
#include "tests/vlan/switch_model.h"

namespace tarnwick {
namespace {

using test::Fault;

TEST(PortMoveFaults, TheWindowSaysWhatTheEngineFound) {
    struct Row {
        int step;
        Fault fault;
        std::string held;  // on the switch
        std::string says;  // the end of the window's message
    };
    for (const Row& row : std::vector<Row>{
             {0, test::kLostRequest, "old",
              "错误信息: Timeout\r\n端口12仍在VLAN 10中，未做任何修改!"},
             {1, test::kRefusal, "old", "端口12未能加入VLAN 1，已恢复到VLAN 10。"},
             {1, test::kBlindReadBack, "new",
              "未能读回VLAN 1的VlanPorts信息(错误信息: Timeout)，无法确认端口12是否在VLAN 1中"
              "(不在VLAN 10中)，请重新读取!"}}) {
        SCOPED_TRACE(std::to_string(row.step) + " " + std::to_string(row.fault));
        InitSnmpLibrary();
        test::SwitchModel model{row.step, row.fault};
        test::ScriptedAgent agent(
            [&model](int, const auto& request) { return model.Answer(request); });
        NetSnmpAgent snmp;
        fakes::FakeDialog window(nullptr, &snmp);
        window.state.settings.ipAddress = agent.Address();
        window.state.tablesFrom = ParseDeviceAddress(agent.Address());
        window.state.shownVlan = "10";

        window.logic.ChangePortVlan("12", "1");

        EXPECT_EQ(model.Held(), row.held);
        const auto& shown = window.messages.shown;
        ASSERT_EQ(shown.size(), 1U);
        EXPECT_TRUE(shown[0].ends_with(row.says)) << shown[0];
    }
}

}  // namespace
}  // namespace tarnwick
