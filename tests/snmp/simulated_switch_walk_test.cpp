// Walks and SETs against the simulated switch over UDP loopback.
#include <gtest/gtest.h>

#include <algorithm>

#include "snmp/net_snmp_agent.h"
#include "snmp/net_snmp_values.h"
#include "snmp/snmp_library.h"
#include "snmp/usm_keys.h"
#include "tests/support/start_switch.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

using test::SimulatedSwitch;
using End = WalkOutcome::End;
using namespace std::string_literals;

using test::StartSwitch;

DeviceSettings SettingsFor(const SimulatedSwitch& sim) {
    DeviceSettings settings;
    settings.ipAddress = sim.Address();
    settings.timeout = kMinTimeout;
    return settings;
}

// The rows holding the key, as the member view and the port move search them.
WalkTable RowsWith(const WalkTable& table, std::string_view key) {
    WalkTable found;
    std::copy_if(table.begin(), table.end(), std::back_inserter(found),
                 [key](const std::string& row) { return row.find(key) != std::string::npos; });
    return found;
}

std::string ValueOf(const std::string& row) {
    return row.substr(row.find('-') + 1);
}

std::string DumpOf(std::string_view hex, std::string_view characters) {
    return "  " + std::string(hex) + std::string(48 - hex.size(), ' ') + "   " +
           std::string(characters) + "\n";
}

class StandardSwitch : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitSnmpLibrary();
        s_sim = StartSwitch(SimulatedSwitch::Variant::Standard);
    }
    static void TearDownTestSuite() { s_sim.reset(); }

    void SetUp() override {
        if (!s_sim) {
            GTEST_SKIP() << "the simulated switch did not start";
        }
        m_settings = SettingsFor(*s_sim);
    }

    WalkTable WalkAll(std::string_view column, RowForm rowForm,
                      OctetForm octetForm = OctetForm::Auto) {
        WalkTable table;
        const auto outcome = m_snmp.Walk(m_settings, {column, rowForm, octetForm}, table);
        EXPECT_EQ(outcome.end, End::Complete) << outcome.status.text;
        return table;
    }

    static inline std::unique_ptr<SimulatedSwitch> s_sim;
    DeviceSettings m_settings;
    NetSnmpAgent m_snmp;
};

TEST_F(StandardSwitch, RowsInBothForms) {
    const auto indexes = WalkAll(kIfIndexColumn, RowForm::Value);
    ASSERT_EQ(indexes.size(), 52u);
    EXPECT_EQ(indexes.front(), "1");
    EXPECT_EQ(indexes.back(), "52");

    const auto names = WalkAll(kIfNameColumn, RowForm::WalkRow);
    ASSERT_EQ(names.size(), 52u);
    EXPECT_EQ(names[4], std::string(kIfNameColumn) + ".5-GigabitEthernet0/0/1");
    EXPECT_EQ(names.back(), std::string(kIfNameColumn) + ".52-GigabitEthernet0/0/48");
}

TEST_F(StandardSwitch, InstanceKeysAndValuesWithDashes) {
    const auto names = WalkAll(kVlanNameColumn, RowForm::WalkRow);
    ASSERT_EQ(names.size(), 9u);
    struct Case {
        int vlan;
        std::string_view name;
    };
    for (const auto& c : {Case{1, "default"}, Case{10, "office"}, Case{20, "lab-net"}}) {
        const auto key = "." + std::to_string(c.vlan) + "-";
        const auto rows = RowsWith(names, key);
        ASSERT_EQ(rows.size(), 1u) << key;
        EXPECT_EQ(rows[0], std::string(kVlanNameColumn) + key + std::string(c.name));
        EXPECT_EQ(ValueOf(rows[0]), c.name);
    }
}

TEST_F(StandardSwitch, VlanPortsAsHexDumpsWhateverTheirBytes) {
    const auto key = std::string(kVlanPortsColumn) + ".30-";
    const auto dumped =
        RowsWith(WalkAll(kVlanPortsColumn, RowForm::WalkRow, OctetForm::HexDump), key);
    ASSERT_EQ(dumped.size(), 1u);
    EXPECT_EQ(ValueOf(dumped[0]), DumpOf("40 20 20 20 20 20 ", "@     "));

    const auto automatic = RowsWith(WalkAll(kVlanPortsColumn, RowForm::WalkRow), key);
    ASSERT_EQ(automatic.size(), 1u);
    EXPECT_EQ(ValueOf(automatic[0]), "@     ");
}

TEST_F(StandardSwitch, TwoWalksWithoutEmptyingAppendTwice) {
    WalkTable table;
    for (int walk = 0; walk < 2; ++walk) {
        EXPECT_EQ(m_snmp.Walk(m_settings, {kVlanIdColumn}, table).end, End::Complete);
    }
    EXPECT_EQ(table, (WalkTable{"1", "2", "10", "20", "30", "40", "50", "60", "100", "1", "2", "10",
                                "20", "30", "40", "50", "60", "100"}));
}

TEST_F(StandardSwitch, LastColumnEndsAtTheEndOfTheMibView) {
    WalkTable table;
    const auto outcome = m_snmp.Walk(m_settings, {kPortIfIndexColumn, RowForm::WalkRow}, table);
    EXPECT_EQ(outcome.end, End::Complete);
    EXPECT_TRUE(outcome.status.ok());
    ASSERT_EQ(table.size(), 48u);
    EXPECT_EQ(table.back(), std::string(kPortIfIndexColumn) + ".48-52");
}

TEST_F(StandardSwitch, WrongCommunityFailsTheFirstRequest) {
    m_settings.readCommunity = "not-the-community";
    m_settings.timeout = kMinTimeout;
    WalkTable table{"kept"};
    const auto outcome = m_snmp.Walk(m_settings, {kIfIndexColumn}, table);
    EXPECT_EQ(outcome.end, End::FirstRequestFailed);
    EXPECT_EQ(outcome.status.code, SNMPERR_TIMEOUT);
    EXPECT_EQ(table, WalkTable{"kept"});
}

TEST_F(StandardSwitch, SetIsReadBack) {
    const auto vlan2 = std::string(kVlanPortsColumn) + ".2";
    const auto before =
        RowsWith(WalkAll(kVlanPortsColumn, RowForm::WalkRow, OctetForm::HexDump), vlan2 + "-");
    ASSERT_EQ(before.size(), 1u);

    const std::string bitmap = "\x00\x01\x00\x00\x80\x00"s;  // ports 9 and 40
    const auto set = m_snmp.Set(m_settings, vlan2, OctetString{bitmap});
    EXPECT_TRUE(set.ok()) << set.status.text;
    const auto after =
        RowsWith(WalkAll(kVlanPortsColumn, RowForm::WalkRow, OctetForm::HexDump), vlan2 + "-");
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(ValueOf(after[0]), DumpOf("00 01 00 00 80 00 ", "......"));

    EXPECT_TRUE(m_snmp.Set(m_settings, kSaveConfigurationOid, std::int32_t{1}).ok());
    // Put back the data the other tests read: port 9 alone.
    EXPECT_TRUE(m_snmp.Set(m_settings, vlan2, OctetString{"\x00\x01\x00\x00\x00\x00"s}).ok());
}

TEST(SimulatedSwitchFailures, RefusedSetCarriesTheLibraryText) {
    InitSnmpLibrary();
    const auto sim = StartSwitch(SimulatedSwitch::Variant::RefusingSets);
    ASSERT_TRUE(sim);
    NetSnmpAgent snmp;
    const auto set = snmp.Set(SettingsFor(*sim), std::string(kVlanPortsColumn) + ".10",
                              OctetString{"\xFF\x00\x00\x00\x00\x00"s});
    // SNMPv1 has no notWritable: the agent's refusal arrives as noSuchName.
    EXPECT_EQ(set.outcome, SetOutcome::Refused);
    EXPECT_EQ(set.status.code, SNMP_ERR_NOSUCHNAME);
    EXPECT_EQ(set.status.text, "(noSuchName) There is no such variable name in this MIB.");
    EXPECT_EQ(snmp.Set(SettingsFor(*sim), kSaveConfigurationOid, std::int32_t{1}).status.code,
              SNMP_ERR_NOSUCHNAME);
}

TEST(SimulatedSwitchFailures, SilentAgentFailsTheFirstRequest) {
    InitSnmpLibrary();
    const auto sim = StartSwitch(SimulatedSwitch::Variant::Silent);
    ASSERT_TRUE(sim);
    auto settings = SettingsFor(*sim);
    settings.timeout = kMinTimeout;
    NetSnmpAgent snmp;
    WalkTable table;
    const auto outcome = snmp.Walk(settings, {kIfIndexColumn}, table);
    EXPECT_EQ(outcome.end, End::FirstRequestFailed);
    EXPECT_EQ(outcome.status.code, SNMPERR_TIMEOUT);
    EXPECT_EQ(outcome.status.text, "Timeout");
    EXPECT_TRUE(table.empty());
    const auto set = snmp.Set(settings, kSaveConfigurationOid, std::int32_t{1});
    EXPECT_EQ(set.outcome, SetOutcome::NoResponse);
    EXPECT_EQ(set.status.code, SNMPERR_TIMEOUT);
}

TEST(SimulatedSwitchFailures, StallInMidWalkKeepsTheRowsSoFar) {
    InitSnmpLibrary();
    const auto sim = StartSwitch(SimulatedSwitch::Variant::StallMidWalk);
    ASSERT_TRUE(sim);
    auto settings = SettingsFor(*sim);
    settings.timeout = kMinTimeout;
    NetSnmpAgent snmp;
    WalkTable table;
    const auto outcome = snmp.Walk(settings, {kIfNameColumn}, table);
    EXPECT_EQ(outcome.end, End::GaveUpMidWalk);
    EXPECT_EQ(outcome.status.code, SNMPERR_TIMEOUT);
    EXPECT_EQ(table, (WalkTable{"InLoopBack0", "NULL0", "Vlanif1", "MEth0/0/1"}));
}

TEST(SimulatedSwitchFailures, Snmpv3ReportRefusesGetAndSet) {
    InitSnmpLibrary();
    const auto sim = StartSwitch(SimulatedSwitch::Variant::Standard, true);
    ASSERT_TRUE(sim);
    const std::string vlan10 = std::string(kVlanPortsColumn) + ".10";
    struct Case {
        const char* name;
        std::string user, auth, priv;
        int code;
    };
    const Case cases[] = {
        {"wrong passphrase", "tarnwick-rw", "not-the-passphrase", "tarnwick-rw-priv",
         SNMPERR_AUTHENTICATION_FAILURE},
        {"unknown user", "tarnwick-nobody", "tarnwick-nobody-auth", "tarnwick-nobody-priv",
         SNMPERR_UNKNOWN_USER_NAME},
    };
    NetSnmpAgent snmp;
    for (const Case& c : cases) {
        DeviceSettings v3 = SettingsFor(*sim);
        v3.ipAddress = sim->UsmAddress();
        v3.version = SnmpVersion::V3;
        v3.usm.user = c.user;
        const std::string text = std::string(c.auth) + c.priv;
        UsmPassphrases passphrases{SecretBuffer(text.size()), std::string_view(c.auth).size()};
        std::copy(text.begin(), text.end(), passphrases.buffer.Bytes().begin());
        v3.usm.keys = DeriveUsmKeys(v3.usm, passphrases);
        const GetResult get = snmp.Get(v3, {vlan10});
        EXPECT_EQ(get.status.code, c.code) << c.name << ": " << get.status.text;
        const SetResult set = snmp.Set(v3, vlan10, OctetString{"\xFF\xFF\xFF\xFF\xFF\xFF"s});
        EXPECT_EQ(set.outcome, SetOutcome::Refused) << c.name;
        EXPECT_EQ(set.status.code, c.code) << c.name << ": " << set.status.text;
    }
    const GetResult after = snmp.Get(SettingsFor(*sim), {vlan10});
    ASSERT_EQ(after.values.size(), 1u) << after.status.text;
    ASSERT_NE(OctetsIn(after.values[0]), nullptr);
    EXPECT_EQ(*OctetsIn(after.values[0]), "\x00\xFE\x00\x00\x00\xFF"s);
}

}  // namespace
}  // namespace tarnwick
