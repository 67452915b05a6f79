// The sampler thread runs its rounds, fills the memory and processor read-outs, and ends within a round
// of the quit flag. Windows facts: the name, the WMI texts, the system queries.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/startup_facts.h"
#include "runtime/list_model.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "system/system_monitor.h"
#include "system/wmi_processor_texts.h"

namespace {

std::wstring cell_value(int cell) {
    std::lock_guard guard(CellDrawMutex);
    return CompactCells[cell].value_text.str();
}

void fresh_state() {
    shared_tables_init();
    shared_state_init(startup_facts_gather());
    text_maps_load(LANGUAGE_ENGLISH);
    // Wine has no counter names: never repair (and restart the test) here.
    shared_text_set(COMMAND_LINE, L"norepair ");
}

}  // namespace

TEST(SystemSampler, RunsItsRoundsAndEndsWithinOneRoundOfQuit) {
    fresh_state();
    system_libraries_load();
    wmi_processor_query();
    const int64_t thread = thread_create(system_sampler_thread, 0);
    ASSERT_GT(thread, 0);
    // Its rounds fill everything looked at below; the memory list needs a few of them.
    const bool filled = wait_until(
        [] {
            return cell_value(CELL_PHYSICAL).find(L'%') != std::wstring::npos &&
                   cell_value(CELL_PAGEFILE).find(L'%') != std::wstring::npos && !cell_value(CELL_CPU).empty() &&
                   !cell_value(CELL_BATTERY).empty() && list_rows_count(LIST_CPU_BASE_SPEED) == 1 &&
                   list_rows_count(LIST_PHYSICAL_MEMORY) >= 3 && SharedQuads[UPTIME_S].load() > 0 &&
                   SharedInts[DESKTOP_WIDTH].load() > 0;
        },
        std::chrono::seconds(20));
    EXPECT_TRUE(filled) << "the sampler's rounds did not fill the read-outs";
    quit_flag_raise(1);
    // A round lasts 125 ms; the limit leaves room for a loaded machine.
    ASSERT_TRUE(thread_wait(thread, 3000)) << "the sampler went on after the quit flag";

    for (int cell : {CELL_PHYSICAL, CELL_PAGEFILE}) {
        EXPECT_NE(cell_value(cell).find(L'%'), std::wstring::npos) << cell << ": " << cell_value(cell);
        EXPECT_GT(CompactCells[cell].values[MEMORY_SLOT_TOTAL_BYTES].load(), 0) << "total";
        EXPECT_GE(CompactCells[cell].values[MEMORY_SLOT_AVAILABLE_PERCENT].load(), 0);
        EXPECT_LE(CompactCells[cell].values[MEMORY_SLOT_AVAILABLE_PERCENT].load(), 100);
    }
    EXPECT_FALSE(cell_value(CELL_CPU).empty());
    EXPECT_FALSE(cell_value(CELL_BATTERY).empty());
    EXPECT_GE(CompactCells[CELL_CPU].values[CPU_SLOT_LOGICAL_COUNT].load(), 1) << "logical processors";
    EXPECT_EQ(list_rows_count(LIST_CPU_BASE_SPEED), 1);
    EXPECT_GE(list_rows_count(LIST_PHYSICAL_MEMORY), 3) << "high, low and one sample row";
    EXPECT_GT(SharedQuads[UPTIME_S].load(), 0);
    // The first memory sample asks for the summary, which stores the desktop.
    EXPECT_GT(SharedInts[DESKTOP_WIDTH].load(), 0);
    EXPECT_FALSE(shared_text(WINDOWS_NAME).empty());

    quit_flag_clear();
    system_libraries_free();
}

namespace {

std::atomic<int> copied_tab{-1};
std::atomic<int> copies{0};
void copy_counted(int tab) {
    copied_tab = tab;
    ++copies;
    SharedInts[COPY_TAB_REQUEST] = -1;
}

}  // namespace

// The round in which the sampler sees the quit still serves the requests made before it, the copy included,
// whether the quit came before the start or while it ran; then it ends.
TEST(SystemSampler, TheRoundThatSeesTheQuitStillServesTheRequests) {
    const SystemMonitorHooks before = system_monitor_hooks();
    system_monitor_hooks_set({.battery_column_set = before.battery_column_set, .copy_tab = copy_counted});
    for (const bool running : {false, true}) {
        SCOPED_TRACE(running ? "quit while it runs" : "quit before the start");
        fresh_state();
        system_libraries_load();
        wmi_processor_query();
        copies = 0;
        copied_tab = -1;
        int64_t thread = 0;
        if (running) {
            thread = thread_create(system_sampler_thread, 0);
            ASSERT_GT(thread, 0);
            ASSERT_TRUE(wait_until([] { return SharedQuads[UPTIME_S].load() > 0; }, std::chrono::seconds(20)));
        }
        shared_text_set(WINDOWS_NAME, L"");
        SharedInts[DESKTOP_WIDTH] = 0;
        SharedInts[COPY_TAB_REQUEST] = TAB_PROCESSORS;
        SharedInts[SYSTEM_SUMMARY_REQUEST] = 1;
        quit_flag_raise(1);
        if (!running) thread = thread_create(system_sampler_thread, 0);
        ASSERT_GT(thread, 0);
        ASSERT_TRUE(thread_wait(thread, 5000)) << "the sampler did not end";
        EXPECT_EQ(SharedInts[SYSTEM_SUMMARY_REQUEST].load(), 0) << "the summary was not built";
        EXPECT_FALSE(shared_text(WINDOWS_NAME).empty());
        EXPECT_EQ(copies.load(), 1);
        EXPECT_EQ(copied_tab.load(), TAB_PROCESSORS);
        quit_flag_clear();
        system_libraries_free();
    }
    system_monitor_hooks_set(before);
}

TEST(SystemFacts, WindowsNameAndBuild) {
    fresh_state();
    const std::wstring name = windows_version_text(EDITION_NAMES_SHORT);
    EXPECT_EQ(name.rfind(L"Windows", 0), 0u) << name;
    EXPECT_GT(SharedInts[WINDOWS_BUILD].load(), 0);
}

TEST(SystemFacts, WmiLeavesValuesOrEmptyTextsNeverPropertyNames) {
    fresh_state();
    wmi_processor_query();
    for (int i = 0; i < WMI_PROCESSOR_PROPERTY_COUNT; ++i) {
        EXPECT_NE(shared_text(static_cast<SharedTextIndex>(WMI_PROCESSOR_TEXT_FIRST + i)), WMI_PROCESSOR_PROPERTIES[i]);
    }
}
