// The CLI's port lists, in process: every port a walked bitmap can hold, strict decimals only.
#include <gtest/gtest.h>

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

TEST(ParseCommandLine, TakesTheMibByNameInAnyCaseAutoByDefault) {
    using cli::MibChoice;
    const struct {
        const char* value;             // of --mib; none: no --mib
        std::optional<MibChoice> mib;  // none: a usage error
    } cases[] = {{nullptr, MibChoice::Auto},
                 {"Q-Bridge", MibChoice::QBridge},
                 {"vendor", MibChoice::Vendor},
                 {"qbridge", std::nullopt}};
    for (const auto& c : cases) {
        QStringList arguments{QStringLiteral("tarnwick-cli"), QStringLiteral("127.0.0.1"),
                              QStringLiteral("vlans")};
        if (c.value) {
            arguments << QStringLiteral("--mib") << QString::fromLatin1(c.value);
        }
        const auto parsed = cli::ParseCommandLine(arguments);
        const auto* invocation = std::get_if<cli::Invocation>(&parsed);
        EXPECT_EQ(invocation ? std::optional(invocation->mib) : std::nullopt, c.mib)
            << (c.value ? c.value : "");
    }
}

}  // namespace
}  // namespace tarnwick
