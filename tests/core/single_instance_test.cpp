// The single-instance decisions: command words, the restart hand-over's rounds and the notice's texts.
#include "core/single_instance.h"

#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, CommandWordsCountAnywhereAndShutdownWins) {
    EXPECT_EQ(command_line_join({L"restart", L"norepair"}), L"restart norepair ");
    EXPECT_EQ(command_line_join({}), L"");
    struct Case {
        const wchar_t* line;
        bool shutdown;
        bool restart;
    };
    const Case cases[] = {
        {L"", false, false},
        {L"norepair ", false, false},
        {L"shutdown ", true, false},
        {L"/shutdownnow ", true, false},  // a parameter that contains the word counts
        {L"restart norepair ", false, true},
        {L"restart shutdown ", true, false},
        {L"shut down ", false, false},
    };
    for (const Case& c : cases) {
        const CommandWords words = command_words(c.line);
        EXPECT_EQ(words.shutdown, c.shutdown) << c.line;
        EXPECT_EQ(words.restart, c.restart) << c.line;
    }
}

// A restart waits up to 15 s for the running instance to let its mutex go: 15 waits of one second each.
TEST(SingleInstance, TheHandOverWaitsFifteenOneSecondRoundsAtMost) {
    EXPECT_EQ(takeover_step(TAKEOVER_OWNED, 0), TAKEOVER_DONE);
    EXPECT_EQ(takeover_step(TAKEOVER_OWNED, 14), TAKEOVER_DONE);
    EXPECT_EQ(takeover_step(TAKEOVER_FAILED, 0), TAKEOVER_GIVE_UP);
    int waits = 1;  // the round that times out is a wait too
    while (takeover_step(TAKEOVER_TIMED_OUT, waits - 1) == TAKEOVER_WAIT_AGAIN) {
        ++waits;
        ASSERT_LE(waits, 100) << "the hand-over never gives up";
    }
    EXPECT_EQ(waits, 15);
    EXPECT_EQ(waits * TAKEOVER_ROUND_MS, 15000) << "the longest hand-over, in milliseconds";
}

}  // namespace
