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

}  // namespace
}  // namespace tarnwick
