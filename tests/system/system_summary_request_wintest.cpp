// A System summary asked for on the main thread (F5, a click on the header) is built by the sampler thread,
// never on the thread that asks.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/startup_facts.h"
#include "runtime/list_model.h"
#include "runtime/threads.h"
#include "system/system_monitor.h"

namespace {

// Polls until the summary was built and its request taken; false after the deadline.
bool summary_served_within(DWORD deadline_ms) {
    const ULONGLONG end = GetTickCount64() + deadline_ms;
    for (;;) {
        if (SharedInts[SYSTEM_SUMMARY_REQUEST].load() == 0 && !shared_text(WINDOWS_NAME).empty()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

// The rows a sampler run leaves, so that the next test's sampler starts from empty lists.
void sampler_lists_clear() {
    for (const int list : {LIST_SYSTEM_EVENTS, LIST_BATTERY, LIST_PROCESSORS, LIST_CPU_BASE_SPEED, LIST_CPU_SPEED,
                           LIST_PHYSICAL_MEMORY, LIST_PAGEFILE_MEMORY}) {
        list_rows_clear(list);
    }
}

TEST(SystemSummaryRequest, TheSamplerBuildsWhatTheMainThreadAsksFor) {
    shared_tables_init();
    shared_state_init(startup_facts_gather());
    text_maps_load(LANGUAGE_ENGLISH);
    shared_text_set(COMMAND_LINE, L"norepair ");  // Wine has no counter names: never repair here
    system_libraries_load();
    wmi_processor_query();
    shared_text_set(WINDOWS_NAME, L"");
    SharedInts[DESKTOP_WIDTH] = 0;

    // No sampler runs yet: the request waits for it and builds nothing on this thread.
    system_summary_request();
    EXPECT_EQ(SharedInts[SYSTEM_SUMMARY_REQUEST].load(), 1);
    EXPECT_TRUE(shared_text(WINDOWS_NAME).empty()) << "the summary was built on the asking thread";
    EXPECT_EQ(SharedInts[DESKTOP_WIDTH].load(), 0);

    const int64_t thread = thread_create(system_sampler_thread, 0);
    ASSERT_GT(thread, 0);
    EXPECT_TRUE(summary_served_within(30000)) << "the sampler did not take the waiting request";
    EXPECT_GT(SharedInts[DESKTOP_WIDTH].load(), 0);

    // While the sampler runs, a new request is served within a few of its rounds.
    shared_text_set(WINDOWS_NAME, L"");
    system_summary_request();
    EXPECT_TRUE(summary_served_within(30000)) << "the sampler did not serve a request made while it ran";
    EXPECT_FALSE(shared_text(WINDOWS_NAME).empty());

    quit_flag_raise(1);
    EXPECT_TRUE(thread_wait(thread, 5000)) << "the sampler did not end";
    quit_flag_clear();
    system_libraries_free();
    sampler_lists_clear();
}

}  // namespace
