// The exit's wait count.
#include "app/exit_sequence.h"

#include <gtest/gtest.h>

namespace {

TEST(ExitSequence, TheWaitCountsFortyMillisecondStepsUpToFifty) {
    EXPECT_EQ(exit_wait_count(0), 1);
    EXPECT_EQ(exit_wait_count(39), 1);
    EXPECT_EQ(exit_wait_count(40), 2);
    EXPECT_EQ(exit_wait_count(1960), 50);
    EXPECT_EQ(exit_wait_count(100000), 50);
    EXPECT_EQ(exit_wait_count(-5), 1);
}

}  // namespace
