// The Windows event-log calls under Wine, whose logs all open and hold no records, and the watcher on them.
#include "eventlog/event_log_api.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "eventlog/disk_error_watch.h"
#include "eventlog/event_log_read.h"
#include "runtime/threads.h"

namespace {

// What Wine's event-log service is: the logs the registry names, every one of which opens, as any other name
// does (Windows opens the Application log for an unknown name), and holds no records. The selector therefore
// lists a log only by its count, never because it opened.
TEST(EventLogWindows, EveryLogOpensAndHoldsNoRecordsUnderWine) {
    const EventLogApi& api = event_log_api_windows();
    std::vector<std::wstring> names = api.log_names();
    for (const wchar_t* expected : {L"Application", L"System"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), expected), 1)
            << "the service's logs lack " << testing::PrintToString(std::wstring(expected)) << " in "
            << testing::PrintToString(names);
    }
    names.insert(names.end(), {L"Security", L"No Such Log Of Sotrix"});
    for (const std::wstring& name : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        EXPECT_FALSE(name.empty());
        const EventLogHandle log = api.open(name);
        ASSERT_NE(log, nullptr) << "did not open";
        uint32_t count = 1234;
        EXPECT_TRUE(api.record_count(log, count));
        EXPECT_EQ(count, 0u);
        uint32_t oldest = 1234;
        EXPECT_TRUE(api.oldest_record(log, oldest));
        EXPECT_EQ(oldest, 0u);
        uint8_t buffer[64] = {};
        uint32_t bytes_read = 1234, needed = 1234;
        const EventLogReadResult read = api.read_backwards(log, buffer, sizeof buffer, bytes_read, needed);
        const DWORD error = GetLastError();
        EXPECT_EQ(read, EVENT_LOG_READ_END);
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_HANDLE_EOF)) << "the end of the log, not a failure";
        EXPECT_EQ(needed, 1234u) << "a size asked for without a record to fit";
        int visited = 0, blocks = 0;
        const EventLogReadEnd end = event_log_read_backwards(
            api, log,
            [&](const EventRecordView&) {
                ++visited;
                return true;
            },
            [&](int64_t) { ++blocks; });
        EXPECT_EQ(end, EVENT_LOG_WALK_END);
        EXPECT_EQ(visited, 0);
        EXPECT_EQ(blocks, 0);
        api.close(log);
    }
}

// Account names of SIDs as they stand in a record: well-known ones by name, anything that is no whole SID or
// that nobody knows as the empty text.
TEST(EventLogWindows, AccountNamesOfSids) {
    const EventLogApi& api = event_log_api_windows();
    const std::vector<uint8_t> local_system = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};                   // S-1-5-18
    const std::vector<uint8_t> administrators = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};  // S-1-5-32-544
    const std::vector<uint8_t> nobody = {1, 2, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0, 0x92, 0x10, 0, 0};       // S-1-5-21-4242
    const std::vector<uint8_t> no_sid = {9, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};                         // revision 9
    EXPECT_EQ(api.account_name(local_system.data(), 12), L"NT AUTHORITY\\SYSTEM");
    EXPECT_EQ(api.account_name(administrators.data(), 16), L"BUILTIN\\Administrators");
    EXPECT_EQ(api.account_name(administrators.data(), 12), L"") << "a SID longer than its record's length";
    EXPECT_EQ(api.account_name(nobody.data(), 16), L"");
    EXPECT_EQ(api.account_name(no_sid.data(), 12), L"");
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
