// An SNMPv3 user's secrets against snmpd in front of the simulated switch: passphrases wiped once
// the keys are derived, keys gone from the library with the settings, none stale for the next.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <algorithm>

#include "snmp/net_snmp_agent.h"
#include "snmp/net_snmp_values.h"
#include "snmp/snmp_library.h"
#include "snmp/usm_keys.h"
#include "tests/support/start_switch.h"
#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

bool LibraryHoldsUser(std::string_view name) {
    for (const usmUser* user = usm_get_userList(); user != nullptr; user = user->next) {
        if (user->secName != nullptr && name == user->secName) {
            return true;
        }
    }
    return false;
}

TEST(UsmKeys, PassphrasesWipedAndKeysForgottenWithTheSettings) {
    const auto sim = test::StartSwitch(test::SimulatedSwitch::Variant::Standard, true);
    ASSERT_TRUE(sim);
    InitSnmpLibrary();
    const int dumpableBefore = prctl(PR_GET_DUMPABLE);
    // In this order: the wrong passphrase's keys must not linger for the right one.
    const struct {
        const char* name;
        std::string_view auth;
        bool answered;
    } cases[] = {{"WrongAuthPassphrase", "tarnwick-rw-wrong", false},
                 {"RightPassphrases", "tarnwick-rw-auth", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = std::string(c.auth) + "tarnwick-rw-priv";
        UsmPassphrases passphrases{SecretBuffer(text.size()), c.auth.size()};
        std::copy(text.begin(), text.end(), passphrases.buffer.Bytes().begin());
        DeviceSettings settings;
        settings.ipAddress = sim->UsmAddress();
        settings.version = SnmpVersion::V3;
        settings.usm.user = "tarnwick-rw";
        settings.usm.keys = DeriveUsmKeys(settings.usm, passphrases);
        const auto bytes = passphrases.buffer.Bytes();
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(text.size(), '\0'));
        EXPECT_EQ(prctl(PR_GET_DUMPABLE), 0);

        NetSnmpAgent snmp;
        const auto got = snmp.Get(settings, {std::string(kVlanNameColumn) + ".10"});
        EXPECT_EQ(got.status.ok(), c.answered) << got.status.text;
        if (c.answered) {
            ASSERT_EQ(got.values.size(), 1U);
            EXPECT_EQ(*OctetsIn(got.values[0]), "office");
        }
        EXPECT_TRUE(LibraryHoldsUser("tarnwick-rw"));
        settings.usm.keys.reset();
        EXPECT_FALSE(LibraryHoldsUser("tarnwick-rw"));
    }
    EXPECT_EQ(prctl(PR_GET_DUMPABLE), dumpableBefore);  // with the last secret buffer
}

}  // namespace
}  // namespace tarnwick
