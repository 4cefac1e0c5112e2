// The signal hold in process: the first signal raised inside it is held, told and said once on
// stderr; afterwards the dispositions are as before.
#include "cli/signal_hold.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick::cli {
namespace {

void Before(int) {}

TEST(SignalHold, HoldsTheFirstSignalAndPutsTheDispositionsBack) {
    struct Row {
        const char* name;
        std::vector<int> raised;
        void (*before)(int);  // the three signals' disposition before the hold
        std::optional<int> told;
        const char* says;
    };
    const char* kSays = "finishing the move\n";
    for (const Row& row : std::vector<Row>{{"INT, TERM", {SIGINT, SIGTERM}, SIG_DFL, SIGINT, kSays},
                                           {"TERM, HUP", {SIGTERM, SIGHUP}, Before, SIGTERM, kSays},
                                           {"HUP ignored", {SIGHUP}, SIG_IGN, std::nullopt, ""},
                                           {"none", {}, SIG_DFL, std::nullopt, ""}}) {
        SCOPED_TRACE(row.name);
        for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
            signal(number, row.before);
        }
        testing::internal::CaptureStderr();
        SignalHold hold;
        for (const int number : row.raised) {
            raise(number);
        }
        EXPECT_EQ(hold.Release(), row.told);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.says);
        for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
            EXPECT_EQ(signal(number, SIG_DFL), row.before) << number;
        }
    }
}

}  // namespace
}  // namespace tarnwick::cli
