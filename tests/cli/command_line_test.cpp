// The CLI's command line in process: passphrases out of the environment, port lists.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
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

}  // namespace
}  // namespace tarnwick
