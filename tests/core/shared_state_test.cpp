// Defaults of the shared arrays that other subsystems rely on, the text elements' safety and the quit.
#include <gtest/gtest.h>

#include <thread>

#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/worker_timer.h"

namespace {

SharedStateFacts sample_facts() {
    SharedStateFacts facts;
    facts.cpu_count = 8;
    facts.current_hour = 17;
    facts.current_second = 42;
    facts.appdata_folder = L"C:\\Users\\u\\AppData\\Roaming\\";
    facts.log_folder = facts.appdata_folder + L"Brindale\\";
    facts.cpu_brand = L"  Example CPU @ 3.00GHz   ";
    return facts;
}

class SharedStateTest : public ::testing::Test {
protected:
    void SetUp() override { shared_state_init(sample_facts()); }
};

TEST_F(SharedStateTest, IntegerDefaultsThatOtherSubsystemsRelyOn) {
    struct Case {
        int index;
        int32_t value;
    };
    const Case cases[] = {
        {QUIT_FLAG, 0},
        {COPY_TAB_REQUEST, -1},
        {TITLE_COUNTDOWN, 100},
        {MAX_EVENT_LINES, 499},
        {CPU_LOAD_AVG, -1},
        {LONG_IDLE_SECONDS, 600},
        {WINDOWS_DRIVE, 3},
        {EVENTLOG_DETAILS_INDEX, -2},
        {EVENTLOG_TYPE_FILTER, -1},
        {GPU_GRAPH_START, 800},
        {GPU_GRAPH_CURSOR, 800},
        {192, 800},
        {CORE_GRAPH_START, 400},
        {CORE_GRAPH_LAST, -1},
        {LANGUAGE, 1},
        {PING_REQ_REMOTE_DESKTOP, -1},
        {PING_REQ_OPEN_NAME, -1},
        {PING_REQ_OPEN_BROWSER, -1},
        {PING_INTERVAL_S, 60},
        {PING_TIMEOUT_MS, 5000},
        {PING_SLOW_CHOICE, 1},
        {PING_SAMPLES_MAX, 3200},
        {PING_HOSTS_MAX, 1024},
        {LIST_BACKGROUND_COLOR, 0xF0F0F0},
        {OPACITY_STEP, 8},
        {OPACITY_PERCENT, 80},
        {EVENTLOG_FONT_SIZE, 9},
        {PING_FONT_SIZE, 9},
        {COMPACT_FONT_SIZE, 10},
        {GRAPH_DEFAULT_COLORS, 0x3C14DC},
        {308, 0x408000},
        // Options: log file off, restore off, tray icon on, always on top on, close-to-tray off,
        // minimise to tray on.
        {OPT_LOG_FILE, 0},
        {OPT_RESTORE_SESSION, 0},
        {OPT_TRAY_ICON, 1},
        {OPT_ALWAYS_ON_TOP, 1},
        {OPT_CLOSE_TO_TRAY, 0},
        {OPT_MINIMIZE_TO_TRAY, 1},
        {SETTINGS_FLAGS_LAST, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SharedInts[c.index].load(), c.value) << "SharedInts " << c.index;
    for (int j = 0; j < 6; ++j)
        EXPECT_EQ(SharedInts[GRAPH_GPU_COLORS + j].load(), static_cast<int32_t>(Palette[PALETTE_GPU_FIRST + j]));
}

TEST_F(SharedStateTest, FactsShapeTheirDefaults) {
    EXPECT_EQ(SharedInts[CPU_COUNT].load(), 8);
    EXPECT_EQ(SharedQuads[LOG_HOUR].load(), 17);
    EXPECT_EQ(SharedQuads[PING_SAVE_HOUR].load(), 17);
    EXPECT_EQ(SharedQuads[START_SECOND].load(), 42);
    EXPECT_EQ(SharedQuads[BATTERY_REMAINING_S].load(), -1);
    EXPECT_EQ(shared_text(CPU_BRAND_TEXT), L"Example CPU @ 3.00GHz");
    EXPECT_EQ(shared_text(APPDATA_FOLDER), L"C:\\Users\\u\\AppData\\Roaming\\");
    EXPECT_EQ(shared_text(LOGPATH_SAVED), L"C:\\Users\\u\\AppData\\Roaming\\Brindale\\");

    struct Case {
        int cpus;
        int expected;
    };
    for (const Case c : {Case{0, 1}, Case{1, 1}, Case{144, 144}, Case{145, 144}, Case{256, 144}}) {
        SharedStateFacts facts = sample_facts();
        facts.cpu_count = c.cpus;
        facts.cpu_brand = L"   ";
        shared_state_init(facts);
        EXPECT_EQ(SharedInts[CPU_COUNT].load(), c.expected) << c.cpus;
        EXPECT_EQ(shared_text(CPU_BRAND_TEXT), L"Unknown CPU");
    }
}

TEST_F(SharedStateTest, TextDefaults) {
    EXPECT_EQ(shared_text(DISK_ACTIVITY_DEVICE), L"\\\\.\\PhysicalDrive0");
    EXPECT_EQ(shared_text(DATA_SUBFOLDER), L"Brindale");
    EXPECT_EQ(shared_text(NET_CELL_SEPARATOR), L" \u25B2\u25BC");
    EXPECT_EQ(shared_text(DISK_ERROR_MARKER), L"\u203C ");
    EXPECT_EQ(shared_text(COMPACT_LABELS), L"Phys,Page,CPU,Batt,Uptime,Idle,R,W,Ping,[-],[+],[X]");
    EXPECT_EQ(shared_text(PING_INTERVAL_CHOICES), L"1,2,3,4,5,10,15,20,30,60,120,180,240,300,600,900");
    EXPECT_EQ(shared_text(LONG_IDLE_CHOICES), L"1,2,3,5,10,15,20,25,30,45,60,120,180,240,300,0");
    EXPECT_EQ(shared_text(EVENTLOG_AGE_CHOICES), L"1,2,3,7,10,14,20,30,45,60,90,120,180,365");
    EXPECT_EQ(shared_text(CPU_CURRENT_CLOCK_TEXT), L"CurrentClockSpeed");
    EXPECT_EQ(shared_text(CPU_PROCESSOR_ID_TEXT), L"ProcessorId");
    EXPECT_EQ(shared_text(CPU_LOAD_ROW), L"% Avg");
    EXPECT_TRUE(shared_text(UNSET_FOLDER_TEXT).empty());
    EXPECT_TRUE(shared_text(static_cast<SharedTextIndex>(-1)).empty());
    EXPECT_TRUE(shared_text(static_cast<SharedTextIndex>(SHARED_TEXTS_COUNT)).empty());
}

TEST_F(SharedStateTest, AdapterAddressTextsNeverReachTheDiskErrorMarker) {
    for (int position = 0; position < 32; ++position)
        adapter_ipv4_text_set(position, L"10.0.0." + std::to_wstring(position));
    adapter_ipv4_text_set(32, L"out of range");
    adapter_ipv4_text_set(-1, L"out of range");
    EXPECT_EQ(shared_text(DISK_ERROR_MARKER), L"\u203C ");
    for (int position = 0; position < 32; ++position)
        EXPECT_EQ(adapter_ipv4_text(position), L"10.0.0." + std::to_wstring(position));
    EXPECT_EQ(shared_text(static_cast<SharedTextIndex>(ADAPTER_IPV4_TEXT + 19)), L"10.0.0.19");
    EXPECT_TRUE(adapter_ipv4_text(32).empty());
    shared_state_init(sample_facts());
    EXPECT_TRUE(adapter_ipv4_text(25).empty());
}

TEST_F(SharedStateTest, TheQuitRaisesTheFlagAndTheEventTogetherAndAFreshStartClearsBoth) {
    EXPECT_FALSE(quit_event_is_set());
    quit_flag_raise(1);
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 1);
    EXPECT_TRUE(quit_event_is_set()) << "a worker waiting for its round would sleep through the quit";
    // The exit's wait counts the flag up; a late raise from elsewhere never lowers it.
    quit_flag_raise(7);
    quit_flag_raise(1);
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 7);

    quit_flag_clear();
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 0);
    EXPECT_FALSE(quit_event_is_set());

    quit_flag_raise(2);
    shared_state_init(sample_facts());
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 0);
    EXPECT_FALSE(quit_event_is_set()) << "a fresh start left the quit event set";
}

TEST_F(SharedStateTest, TextsReadWhileAnotherThreadReplacesThemAreWhole) {
    const std::wstring a(200, L'a');
    const std::wstring b(3000, L'b');
    // Each side goes on until the other has done its share, so the two overlap however the threads are
    // scheduled on a loaded machine.
    constexpr int READS = 5000;
    constexpr int WRITES = 500;
    std::atomic<int> reads{0};
    std::atomic<int> writes{0};
    std::thread writer([&] {
        for (int i = 0; reads.load() < READS || i < WRITES; ++i) {
            shared_text_set(TITLE_TEXT, i % 2 ? a : b);
            writes.store(i + 1);
        }
    });
    int torn = 0;
    while (reads.load() < READS || writes.load() < WRITES) {
        const std::wstring seen = shared_text(TITLE_TEXT);
        if (!(seen.empty() || seen == a || seen == b)) ++torn;
        reads.fetch_add(1);
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
