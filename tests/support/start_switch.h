// Every test's start of the simulated switch: when it does not start, the test fails with the
// reason, and the caller, given nothing, stops with an ASSERT.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/simulated_switch.h"

namespace tarnwick::test {

inline std::unique_ptr<SimulatedSwitch> StartSwitch(SimulatedSwitch::Variant variant,
                                                    bool withUsmFront = false) {
    std::string error;
    auto sim = SimulatedSwitch::Start(variant, &error, withUsmFront);
    EXPECT_NE(sim, nullptr) << "the simulated switch did not start: " << error;
    return sim;
}

}  // namespace tarnwick::test
