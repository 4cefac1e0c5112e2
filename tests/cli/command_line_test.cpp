// The CLI's command line in process: passphrases out of the environment, port lists, and the
// lines it refuses with their problem.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "tests/cli/in_process.h"
#include "vlan/port_bitmap.h"

namespace tarnwick {
namespace {

TEST(ParsePortList, TakesEveryPortABitmapCanHoldAndNothingElse) {
    const std::string last = std::to_string(kLastPort);
    const struct {
        std::string text;
        std::optional<std::vector<int>> ports;
    } cases[] = {
        {"4089", std::vector{4089}},    {"5000,4090-4091", std::vector{4090, 4091, 5000}},
        {last, std::vector{kLastPort}}, {std::to_string(kLastPort + 1), std::nullopt},
        {"+5", std::nullopt},           {" 5", std::nullopt},
        {"5-", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::ParsePortList(c.text), c.ports) << c.text;
    }
}

// Both values overwritten where they lay and the variables gone, whatever the version; with
// SNMPv3 the settings carry the keys.
TEST(ParseCommandLine, TakesThePassphrasesOutOfTheEnvironment) {
    const struct {
        const char* name;
        const char* version;
        bool keys;
    } cases[] = {{"V3", "3", true}, {"V1", "1", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setenv("TARNWICK_AUTH_PASSPHRASE", "tarnwick-rw-auth", 1);
        setenv("TARNWICK_PRIV_PASSPHRASE", "tarnwick-rw-priv", 1);
        const char* values[] = {getenv("TARNWICK_AUTH_PASSPHRASE"),
                                getenv("TARNWICK_PRIV_PASSPHRASE")};
        QStringList arguments = {QStringLiteral("tarnwick-cli"), QStringLiteral("127.0.0.1"),
                                 QStringLiteral("vlans"), QStringLiteral("--snmp-version"),
                                 QString::fromLatin1(c.version)};
        if (c.keys) {
            arguments << QStringLiteral("--user") << QStringLiteral("tarnwick-rw");
        }
        const auto parsed = cli::ParseCommandLine(arguments);
        ASSERT_TRUE(std::holds_alternative<cli::Invocation>(parsed));
        EXPECT_EQ(std::get<cli::Invocation>(parsed).settings.usm.keys != nullptr, c.keys);
        EXPECT_EQ(getenv("TARNWICK_AUTH_PASSPHRASE"), nullptr);
        EXPECT_EQ(getenv("TARNWICK_PRIV_PASSPHRASE"), nullptr);
        for (const char* value : values) {
            EXPECT_EQ(std::string(value, 16), std::string(16, '\0'));  // glibc keeps its copies
        }
    }
}

// Each refused for its own problem, before anything is sent (main() adds the usage line).
TEST(ParseCommandLine, RefusesEachUnusableLineWithItsProblem) {
    const std::string kPorts = "PORTS must be ports from 1 to 524280 such as 9 or 1-8,12: ";
    const std::string kVlan = "VLAN must be a number from 1 to 4094: ";
    const std::string kTimeout = "--timeout must be 1000 to 10000 milliseconds: ";
    const struct {
        const char* name;
        const char* line;  // after the program's name; "@" stands for 127.0.0.1
        std::string problem;
    } cases[] = {
        {"NoCommand", "@", "no COMMAND"},
        {"UnknownCommand", "@ list", "unknown command: list"},
        {"UnknownOption", "@ vlans --verbose", "Unknown option 'verbose'."},
        {"ExtraArgument", "@ dump 1", "expected ADDRESS dump"},
        {"MissingVlan", "@ members", "expected ADDRESS members VLAN"},
        {"VlanZero", "@ members 0", kVlan + "0"},
        {"VlanPastRange", "@ members 4095", kVlan + "4095"},
        {"VlanNotANumber", "@ members ten", kVlan + "ten"},
        {"PortZero", "@ move 0 1 10", kPorts + "0"},
        {"NegativePort", "@ move -3 1 10", "Unknown option '3'."},
        {"DescendingRange", "@ move 8-1 1 10", kPorts + "8-1"},
        {"EmptyItem", "@ move 1,,2 1 10", kPorts + "1,,2"},
        {"PortJunk", "@ move 9x 1 10", kPorts + "9x"},
        {"ToPastRange", "@ move 9 1 5000",
         "FROM and TO must be VLAN numbers from 1 to 4094: 1 5000"},
        {"TimeoutTooShort", "@ vlans --timeout 999", kTimeout + "999"},
        {"TimeoutTooLong", "@ vlans --timeout 10001", kTimeout + "10001"},
        {"DryRunWithoutMove", "@ save --dry-run", "--dry-run belongs to move"},
        {"UnknownMib", "@ vlans --mib qbridge", "--mib must be auto, vendor or q-bridge: qbridge"},
        {"PassphraseOnTheCommandLine",
         "@ vlans --snmp-version 3 --user u --auth-passphrase secret-passphrase",
         "passphrases are read only from TARNWICK_AUTH_PASSPHRASE and TARNWICK_PRIV_PASSPHRASE: "
         "on the command line every user of the machine sees them"},
        {"UnknownVersion", "@ vlans --snmp-version 2", "--snmp-version must be 1, 2c or 3: 2"},
        {"UserWithoutV3", "@ vlans --user u", "--user belongs to --snmp-version 3"},
        {"V3WithoutUser", "@ vlans --snmp-version 3", "--snmp-version 3 needs --user"},
        {"V3WithoutPassphrase", "@ vlans --snmp-version 3 --user u",
         "this security level needs the passphrase in TARNWICK_AUTH_PASSPHRASE"},
        {"AddressOfThreeNumbers", "1.2.3 vlans", "not a switch address: \"1.2.3\""},
        {"EmptyAddress", " vlans", "not a switch address: \"\""},
        {"UnclosedBracket", "[::1 vlans", "not a switch address: \"[::1\""},
    };
    for (const auto& c : cases) {
        unsetenv("TARNWICK_AUTH_PASSPHRASE");
        QStringList arguments = test::Arguments(c.line);
        arguments.replaceInStrings(QStringLiteral("@"), QStringLiteral("127.0.0.1"));
        arguments.prepend(QStringLiteral("tarnwick-cli"));
        const auto parsed = cli::ParseCommandLine(arguments);
        ASSERT_TRUE(std::holds_alternative<cli::UsageError>(parsed)) << c.name;
        EXPECT_EQ(std::get<cli::UsageError>(parsed).problem, c.problem) << c.name;
    }
}

}  // namespace
}  // namespace tarnwick
