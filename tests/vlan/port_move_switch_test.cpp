// Port moves on the simulated switch over loopback, checked on the switch itself with raw GETs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "tests/snmp/scripted_agent.h"
#include "tests/support/raw_snmp.h"
#include "tests/support/start_switch.h"
#include "tests/vlan/fakes.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using test::SimulatedSwitch;
using Variant = SimulatedSwitch::Variant;
using Octets = std::vector<std::uint8_t>;

// The VLAN's bitmap on the switch, in hex.
std::string PortsOf(const SimulatedSwitch& sim, const std::string& vlan) {
    const auto got = test::Exchange(
        sim.Port(), {test::PduType::Get, "public", std::string(kVlanPortsColumn) + "." + vlan, {}},
        std::chrono::milliseconds(2000));
    return got.response.value.AsHex();
}

std::string Repeat(std::string_view text, int times) {
    std::string out;
    while (times-- > 0) {
        out += text;
    }
    return out;
}

void SetPortsOf(const SimulatedSwitch& sim, const std::string& vlan, const Octets& octets) {
    test::Exchange(sim.Port(),
                   {test::PduType::Set, "private", std::string(kVlanPortsColumn) + "." + vlan,
                    test::RawValue::Octets(octets)},
                   std::chrono::milliseconds(2000));
}

// The window's logic with real SNMP to the switch; Read has run and `shown` is drawn.
struct Window {
    Window(const SimulatedSwitch& sim, const std::string& shown) : dialog(nullptr, &snmp) {
        InitSnmpLibrary();
        dialog.fields.address = sim.Address();
        dialog.logic.ReadDevice();
        const WalkTable& ids = dialog.state.tables.vlanIdTable;
        const auto row = std::find(ids.begin(), ids.end(), shown) - ids.begin();
        dialog.vlanList.Select({static_cast<int>(row)});
        dialog.logic.OnDblclkVlanList();
    }
    NetSnmpAgent snmp;
    fakes::FakeDialog dialog;
};

TEST(PortMoveOnSwitch, ClearsThePortInTheShownVlanAndSetsItInTheChosenOneOnly) {
    struct Case {
        const char* name;
        int port;
        std::string from, to;
        std::string fromAfter, toAfter;  // the bitmaps the switch then holds
        std::string message;             // empty: none
    };
    auto sim = test::StartSwitch(Variant::Standard);
    ASSERT_NE(sim, nullptr);
    const std::string vlan50 = Repeat("00", 16) + "FD" + Repeat("00", 6) + "20";
    const std::string vlan60 = Repeat("00", 16) + "020020" + Repeat("00", 5);
    for (const Case& c :
         {Case{"port 8", 8, "1", "20", "7F0000000000", "8000FF000000", ""},
          Case{"port 9", 9, "2", "10", "000000000000", "00FF000000FF", ""},
          Case{"port 16", 16, "10", "20", "007F000000FF", "8080FF000000", ""},
          Case{"port 130", 130, "50", "60", vlan50, vlan60, ""},
          Case{"old = new: nothing sent", 9, "10", "10", "007F000000FF", "007F000000FF", ""},
          Case{"not in the old VLAN: nothing sent", 20, "1", "2", "7F0000000000", "000000000000",
               "端口20已不在VLAN 1中，请先重新读取，未做任何修改!"}}) {
        SCOPED_TRACE(c.name);
        Window window(*sim, c.from);
        window.dialog.vlanList.Select({0});  // a later single click must not matter

        window.dialog.logic.ChangePortVlan(std::to_string(c.port), c.to);

        EXPECT_EQ(window.dialog.messages.shown, c.message.empty()
                                                    ? std::vector<std::string>{}
                                                    : std::vector<std::string>{c.message});
        EXPECT_EQ(PortsOf(*sim, c.from), c.fromAfter);
        EXPECT_EQ(PortsOf(*sim, c.to), c.toAfter);
    }
}

TEST(PortMoveOnSwitch, RefusedSetsLeaveThePortWhereItWas) {
    auto sim = test::StartSwitch(Variant::RefusingSets);
    ASSERT_NE(sim, nullptr);
    struct Case {
        const char* name;
        std::string from, to;
        std::string messageEnd;  // after the failed SET's text
    };
    for (const Case& c :
         {Case{"addition refused", "1", "10", "端口1未能加入VLAN 10，已恢复到VLAN 1。"},
          Case{"removal refused", "10", "1", "端口10仍在VLAN 10中，未做任何修改!"}}) {
        SCOPED_TRACE(c.name);
        const std::string vlan1 = PortsOf(*sim, "1");
        const std::string vlan10 = PortsOf(*sim, "10");
        Window window(*sim, c.from);

        window.dialog.logic.ChangePortVlan(c.from == "1" ? "1" : "10", c.to);

        ASSERT_EQ(window.dialog.messages.shown.size(), 1U);
        EXPECT_EQ(
            window.dialog.messages.shown[0],
            "设定VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: (noSuchName) There is "
            "no such variable name in this MIB.\r\n" +
                c.messageEnd);
        EXPECT_EQ(PortsOf(*sim, "1"), vlan1);
        EXPECT_EQ(PortsOf(*sim, "10"), vlan10);
    }
}

TEST(PortMoveOnSwitch, KeepsChangesMadeSinceTheReadAndActsOnlyOnTheSwitchReadFrom) {
    auto sim = test::StartSwitch(Variant::Standard);
    ASSERT_NE(sim, nullptr);
    Window window(*sim, "2");
    // Since the read, someone else moved port 9 from VLAN 2 to 1: the list is stale.
    SetPortsOf(*sim, "2", {0, 0, 0, 0, 0, 0});
    SetPortsOf(*sim, "1", {0xFF, 0x01, 0, 0, 0, 0});
    window.dialog.logic.ChangePortVlan("9", "10");
    EXPECT_EQ(window.dialog.messages.shown,
              std::vector<std::string>{"端口9已不在VLAN 2中，请先重新读取，未做任何修改!"});
    EXPECT_EQ(PortsOf(*sim, "1"), "FF0100000000");
    EXPECT_EQ(PortsOf(*sim, "10"), "00FE000000FF");

    // Then put 9 back and added port 20: the move keeps port 20.
    SetPortsOf(*sim, "1", {0xFF, 0, 0, 0, 0, 0});
    SetPortsOf(*sim, "2", {0, 0x01, 0x08, 0, 0, 0});
    window.dialog.messages.shown.clear();
    window.dialog.logic.ChangePortVlan("9", "10");
    EXPECT_TRUE(window.dialog.messages.shown.empty());
    EXPECT_EQ(PortsOf(*sim, "2"), "000008000000");

    // "写入FLASH" takes another switch's address: the tables are not that switch's.
    test::ScriptedAgent other([](int, const test::ReceivedRequest& request) {
        return test::ScriptedAnswer{false, 0, request.oid, request.value};
    });
    window.dialog.fields.address = other.Address();
    window.dialog.logic.OnWriteFlash();
    window.dialog.logic.ChangePortVlan("9", "2");
    ASSERT_EQ(window.dialog.messages.shown.size(), 1U);
    EXPECT_TRUE(window.dialog.messages.shown[0].ends_with("未做任何修改!"));
    ASSERT_EQ(other.Requests().size(), 1U);
    EXPECT_EQ(test::Dotted(other.Requests()[0].oid), kSaveConfigurationOid);
    EXPECT_EQ(PortsOf(*sim, "2"), "000008000000");  // port 9 did not go back
}

// A switch that stops answering after the read: the move sends no SET without the bitmaps, and
// the view shows what was read back (nothing).
TEST(PortMoveOnSwitch, SilentAgentGivesOneMessagePerFailedRequest) {
    auto sim = test::StartSwitch(Variant::Silent);
    ASSERT_NE(sim, nullptr);
    NetSnmpAgent snmp;
    fakes::FakeDialog dialog(nullptr, &snmp);
    dialog.state.settings.ipAddress = sim->Address();
    dialog.state.tablesFrom = ParseDeviceAddress(sim->Address());
    dialog.state.tables.vlanIdTable = {"1", "2"};
    dialog.state.tables.vlanNameTable = {"default", "mgmt"};
    dialog.state.tables.vlanNameInstances = {"1", "2"};
    dialog.state.tables.vlanPortsTable = {std::string(kVlanPortsColumn) + ".1-  FF   .\n",
                                          std::string(kVlanPortsColumn) + ".2-  00   .\n"};
    dialog.logic.FillVlanList();
    dialog.vlanList.Select({0});
    dialog.logic.OnDblclkVlanList();
    dialog.interfaceList.Select({0});
    dialog.vlanSelection.choice = "2/mgmt";

    dialog.logic.OnDblclkInterfaceList();

    ASSERT_EQ(dialog.messages.shown.size(), 2U);
    EXPECT_EQ(dialog.messages.shown[0],
              "读取VLAN 1和VLAN 2的VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: "
              "Timeout\r\n未做任何修改!");
    EXPECT_EQ(dialog.messages.shown[1], "读取VlanPorts信息失败，请检查IP地址或共同体名!");
    EXPECT_EQ(dialog.interfaceList.RowCount(), 0);
}

// Every SET of a move carries the write community as last taken, which is all this agent takes.
TEST(PortMoveOnSwitch, SetsTravelWithTheWriteCommunity) {
    test::ScriptedAgent agent([](int, const test::ReceivedRequest& request) {
        test::ScriptedAnswer answer;
        answer.oid = request.pduType == 0xA1 ? test::SubIds{1, 3, 6, 1, 9} : request.oid;
        answer.octets = request.pduType == 0xA0 ? "\xFF" : request.value;
        if (request.pduType == 0xA0) {  // the move's GET of both bitmaps
            answer.moreBindings = {{request.moreBindings.at(0).oid, test::kBerOctetString, {0}}};
        }
        answer.errorStatus = request.pduType == 0xA3 && request.community != "w-secret" ? 2 : 0;
        return answer;
    });
    NetSnmpAgent snmp;
    fakes::FakeDialog dialog(nullptr, &snmp);
    dialog.fields.address = agent.Address();
    dialog.fields.writeCommunity = "w-secret";
    dialog.logic.ReadDevice();
    dialog.state.tables.vlanPortsTable = {std::string(kVlanPortsColumn) + ".1-  FF   .\n",
                                          std::string(kVlanPortsColumn) + ".2-  00   .\n"};
    dialog.state.shownVlan = "1";

    dialog.logic.ChangePortVlan("3", "2");

    EXPECT_TRUE(dialog.messages.shown.empty());
    int sets = 0;
    for (const auto& request : agent.Requests()) {
        if (request.pduType == 0xA3) {
            ++sets;
            EXPECT_EQ(request.community, "w-secret");
        } else {
            EXPECT_EQ(request.community, "public");
        }
    }
    EXPECT_EQ(sets, 2);
}

}  // namespace
}  // namespace tarnwick
