// The Windows event-log calls under Wine, whose logs open and hold no records, and the watcher on them.
#include "eventlog/event_log_api.h"

#include <gtest/gtest.h>

#include <atomic>

#include "core/shared_state.h"
#include "eventlog/disk_error_watch.h"
#include "eventlog/event_log_read.h"
#include "runtime/threads.h"

namespace {

TEST(EventLogWindows, AnEmptyLogReadsNoRecords) {
    const EventLogApi& api = event_log_api_windows();
    for (const wchar_t* name : {L"System", L"Application", L"Security"}) {
        const EventLogHandle log = api.open(name);
        if (log == nullptr) continue;  // a log that does not open is left out, as the selector does
        uint32_t count = 1234;
        if (api.record_count(log, count)) {
            EXPECT_LT(count, 0x7FFFFFFFu) << "count of " << testing::PrintToString(name);
        }
        int visited = 0;
        const EventLogReadEnd end = event_log_read_backwards(api, log, [&](const EventRecordView&) {
            ++visited;
            return true;
        });
        EXPECT_EQ(end, EVENT_LOG_WALK_END);
        EXPECT_GE(visited, 0);
        api.close(log);
    }
    EXPECT_EQ(api.account_name(nullptr, 0), L"");
}

TEST(EventLogWindows, TheWatcherEndsOnQuitWithTheRealCalls) {
    shared_state_init(SharedStateFacts{});
    SharedQuads[UPTIME_S] = 3600;
    event_log_api_set(event_log_api_windows());
    const int64_t thread = thread_create(disk_error_watch_thread, 0);
    ASSERT_NE(thread, 0);
    EXPECT_TRUE(thread_is_running(thread)) << "the watcher ended before the quit";
    quit_flag_raise(1);
    ASSERT_TRUE(thread_wait(thread, 10000)) << "the watcher did not end on quit";
    quit_flag_clear();
}

}  // namespace
