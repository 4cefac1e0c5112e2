// Moving a port between VLANs and saving the configuration, against the fakes: what is sent, in
// which order, and what is refused before anything is sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snmp/printable.h"
#include "tests/vlan/fakes.h"
#include "ui/window_texts.h"
#include "vlan/port_move.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using fakes::FakeDialog;
using fakes::Journal;
using namespace std::string_literals;

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

std::string Oid(const std::string& vlan) {
    return std::string(kVlanPortsColumn) + "." + vlan;
}

std::string Sent(const fakes::FakeSnmpAgent::SetCall& call) {
    return std::get<OctetString>(call.value).octets;
}

// VLANs 1 (ports 1-8), 10 (ports 10-16) and 50 (24 octets, port 130); VLAN 10 is shown.
void LoadShownSwitch(FakeDialog& dialog) {
    dialog.state.tables.vlanIdTable = {"1", "10", "50"};
    dialog.state.tables.vlanNameTable = {"default", "office", "stack"};
    dialog.state.tables.vlanNameInstances = {"1", "10", "50"};
    dialog.snmp.instances = {{Oid("1"), "\xFF\0\0"s},
                             {Oid("10"), "\0\xFE\0"s},
                             {Oid("50"), std::string(16, '\0') + "\x02" + std::string(7, '\0')}};
    WalkTable ports;
    for (const auto& [oid, octets] : dialog.snmp.instances) {
        ports.push_back(oid + "-" + HexDump(octets));
    }
    dialog.state.tables.vlanPortsTable = ports;
    dialog.state.tablesFrom = ParseDeviceAddress(dialog.state.settings.ipAddress);
    dialog.snmp.columns[std::string(kVlanPortsColumn)] = {ports};
    dialog.logic.FillVlanList();
    dialog.vlanList.Select({1});
    dialog.logic.OnDblclkVlanList();
}

struct PlanCase {
    const char* name;
    std::string from, to;
    int port;
    std::string removal, addition;  // bitmap texts sent; empty: refused for the reason
    MoveRefusal::Reason reason = MoveRefusal::Reason::ReadFailed;
};

std::string BitmapSent(const MovePlan& plan, std::size_t step) {
    return BitmapText(*OctetsIn(GoalValues(plan, plan.steps[step]).front().value));
}

TEST(PlanPortMove, ChangesOnlyThePortsBitInTheBitmapsReadJustBefore) {
    fakes::FakeSnmpAgent snmp(nullptr);
    snmp.instances = {{Oid("1"), "\xFF\x01\0"s},
                      {Oid("10"), "\0\xFE\0"s},
                      {Oid("100"), "\x01"s},
                      {Oid("50"), std::string(16, '\0') + "\x02"},
                      {Oid("60"), std::string(24, '\x80')}};
    const std::vector<PlanCase> cases = {
        {"port 8 is mask 80 of octet 0", "1", "10", 8, "7F0100", "80FE00"},
        {"port 9 is mask 01 of octet 1", "1", "10", 9, "FF0000", "00FF00"},
        {"port 16 is mask 80 of octet 1", "10", "1", 16, "007E00", "FF8100"},
        {"port 130 past one dump row", "50", "60", 130, Repeat("00", 17),
         Repeat("80", 16) + "82" + Repeat("80", 7)},
        {"port already in the new VLAN too", "1", "60", 8, "7F0100", Repeat("80", 24)},
        {"old = new", "10", "10", 12, "", "", MoveRefusal::Reason::SameVlan},
        {"port no longer in the old VLAN", "1", "10", 20, "", "", MoveRefusal::Reason::NotInFrom},
        {"new VLAN without a row", "1", "3", 1, "", "", MoveRefusal::Reason::NoRow},
        {"shown VLAN without a row", "3", "1", 1, "", "", MoveRefusal::Reason::NoRow},
        {"port beyond the new bitmap", "1", "100", 9, "", "", MoveRefusal::Reason::PortBeyond},
        {"port beyond the old bitmap", "100", "1", 9, "", "", MoveRefusal::Reason::PortBeyond},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int ports[] = {c.port};
        const auto plan = PlanPortMove(snmp, {}, c.from, c.to, ports);
        if (c.removal.empty()) {
            ASSERT_TRUE(std::holds_alternative<MoveRefusal>(plan));
            EXPECT_EQ(std::get<MoveRefusal>(plan).reason, c.reason);
            continue;
        }
        const auto& move = std::get<MovePlan>(plan);
        EXPECT_EQ(BitmapSent(move, 0), c.removal);
        EXPECT_EQ(BitmapSent(move, 1), c.addition);
    }
}

struct SendCase {
    const char* name;
    std::vector<int> failing;  // which SETs fail, 0 first
    std::vector<std::string> sentTo;
    PortPlace place;
    std::string messageEnd;  // empty: no message
};

TEST(SendMove, VendorRemovalFirstNoAdditionAfterItsFailureAndRestoreAfterAFailedAddition) {
    const std::vector<SendCase> cases = {
        {"both succeed", {}, {Oid("10"), Oid("1")}, PortPlace::NewVlan, ""},
        {"removal refused",
         {0},
         {Oid("10")},
         PortPlace::OldVlan,
         "错误信息: refused\r\n端口12仍在VLAN 10中，未做任何修改!"},
        {"addition refused",
         {1},
         {Oid("10"), Oid("1"), Oid("10")},
         PortPlace::OldVlan,
         "错误信息: refused\r\n端口12未能加入VLAN 1，已恢复到VLAN 10。"},
        {"restore refused, and again",
         {1, 2, 3},
         {Oid("10"), Oid("1"), Oid("10"), Oid("10")},
         PortPlace::Neither,
         "恢复VLAN 10也失败了(错误信息: refused)\r\n端口12现已既不在VLAN 10也不在VLAN 1中!"},
    };
    for (const SendCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDialog dialog;
        LoadShownSwitch(dialog);
        for (int i = 0; i < 4; ++i) {
            const bool fails = std::find(c.failing.begin(), c.failing.end(), i) != c.failing.end();
            dialog.snmp.setStatuses.push_back(
                {fails ? SetOutcome::Refused : SetOutcome::Confirmed, {fails ? 2 : 0, "refused"}});
        }
        const int ports[] = {12};
        const auto plan = std::get<MovePlan>(PlanPortMove(dialog.snmp, {}, "10", "1", ports));

        const MoveReport report = SendMove(dialog.snmp, {}, plan);
        const std::string message = WindowText(MoveEnded{plan, report});
        EXPECT_EQ(report.ports[0].place, c.place);
        std::vector<std::string> sentTo;
        for (const auto& call : dialog.snmp.sets) {
            sentTo.push_back(call.oid);
        }
        EXPECT_EQ(sentTo, c.sentTo);
        if (sentTo.size() == 3) {
            EXPECT_EQ(Sent(dialog.snmp.sets[2]), "\0\xFE\0"s);  // the old bitmap as read
        }
        EXPECT_TRUE(message.ends_with(c.messageEnd)) << message;
        EXPECT_EQ(message.empty(), c.messageEnd.empty());
    }
}

TEST(OnDblclkInterfaceList, MovesOutOfTheShownVlanThenRereadsAndRedrawsIt) {
    Journal journal;
    FakeDialog dialog(&journal);
    LoadShownSwitch(dialog);
    dialog.vlanList.Select({0});  // a single click elsewhere changes nothing
    dialog.interfaceList.Select({2});
    dialog.vlanSelection.choice = "1/default";
    dialog.fields.writeCommunity = "w-secret";
    journal.clear();

    dialog.logic.OnDblclkInterfaceList();

    EXPECT_EQ(dialog.vlanSelection.offered,
              (std::vector<std::string>{"1/default", "10/office", "50/stack"}));
    const Journal expected = {"choose 1/default",
                              "get",
                              "set " + Oid("10"),
                              "set " + Oid("1"),
                              "walk " + std::string(kVlanPortsColumn),
                              "interfaceList cleared"};
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(Sent(dialog.snmp.sets[0]), "\0\xF6\0"s);  // port 12 of VLAN 10 cleared
    EXPECT_EQ(Sent(dialog.snmp.sets[1]), "\xFF\x08\0"s);
    EXPECT_EQ(dialog.interfaceList.ItemText(0, 0), "10");  // VLAN 10 drawn again
    // The edited field was not taken since the last read or save.
    EXPECT_EQ(dialog.snmp.sets[0].writeCommunity, "private");
}

TEST(OnDblclkInterfaceList, SendsNothingWithoutOneRowAChoiceOrAShownVlan) {
    struct Case {
        const char* name;
        std::vector<int> selectedRows;
        std::string choice;
        bool readBefore;  // a read forgets the shown VLAN
        bool rereads;
        std::size_t messages;
    };
    for (const Case& c : {Case{"no row", {}, "1/default", false, false, 0},
                          Case{"two rows", {0, 1}, "1/default", false, false, 0},
                          Case{"cancel or OK without a choice", {0}, "", false, true, 0},
                          Case{"new read since", {0}, "1/default", true, true, 1}}) {
        SCOPED_TRACE(c.name);
        FakeDialog dialog;
        LoadShownSwitch(dialog);
        if (c.readBefore) {
            dialog.logic.ReadDevice();
        }
        dialog.snmp.walks.clear();
        dialog.interfaceList.Select(c.selectedRows);
        dialog.vlanSelection.choice = c.choice;

        dialog.logic.OnDblclkInterfaceList();

        EXPECT_TRUE(dialog.snmp.sets.empty());
        EXPECT_EQ(dialog.snmp.walks.size(), c.rereads ? 1U : 0U);
        EXPECT_EQ(dialog.messages.shown.size(), c.messages);
    }
}

TEST(OnWriteFlash, TakesTheFieldsThenSendsOneSaveWhileBusy) {
    Journal journal;
    FakeDialog dialog(&journal);
    LoadShownSwitch(dialog);
    dialog.fields.accept = false;
    dialog.logic.OnWriteFlash();
    EXPECT_TRUE(dialog.snmp.sets.empty());

    dialog.fields.accept = true;
    dialog.fields.writeCommunity = "edited";
    dialog.snmp.setStatuses = {{SetOutcome::NoResponse, {-24, "Timeout"}}};
    journal.clear();
    dialog.logic.OnWriteFlash();

    const Journal expected = {
        "fields taken", "cursor wait", "set " + std::string(kSaveConfigurationOid),
        "message 保存信息失败，请检查IP地址或共同体名! \r\n错误信息: Timeout", "cursor arrow"};
    EXPECT_EQ(journal, expected);
    ASSERT_EQ(dialog.snmp.sets.size(), 1U);
    EXPECT_EQ(std::get<std::int32_t>(dialog.snmp.sets[0].value), 1);
    EXPECT_EQ(dialog.snmp.sets[0].writeCommunity, "edited");
    EXPECT_TRUE(dialog.snmp.sets[0].busy);
    EXPECT_FALSE(dialog.state.busy);
}

}  // namespace
}  // namespace tarnwick
