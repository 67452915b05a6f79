// The clipboard copy of a tab: each tab's text from fixtures, the ping list in both forms, and the copy's
// rules (the tab it is given, requests during a copy, the empty text, no lock held while views are asked).
#include "ui/tab_clipboard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/list_model.h"
#include "runtime/wait_until.h"
#include "ui/status_title.h"

namespace {

const ListTable GPU_TABLE{{L"GPU", L"Vendor", L"Memory"}, {L"0\nNVIDIA\n8 GB", L"1\nAMD\n"}};
const std::wstring GPU_TABLE_TEXT = L"GPU Vendor Memory\r\n0 NVIDIA 8 GB\r\n1 AMD\r\n";

class TabClipboardText : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        text_maps_load(LANGUAGE_ENGLISH);
    }
    void TearDown() override { text_maps_load(LANGUAGE_ENGLISH); }
};

TEST_F(TabClipboardText, EachTabFromItsLists) {
    struct Case {
        int tab;
        std::vector<ListTable> lists;
        std::wstring expected;
    };
    std::vector<std::wstring> speed_titles(23);
    speed_titles[0] = L"Load";
    speed_titles[20] = L"Last";
    speed_titles[21] = L"Beyond";  // only columns 0 to 20 are looked at
    std::wstring speed_row = L"5%";
    for (int column = 1; column < 23; ++column) speed_row += L"\nv" + std::to_wstring(column);
    const Case cases[] = {
        {TAB_PROCESSORS,
         {{{L"Base", L"", L"Cores"}, {L"3.6GHz\nx\n8", L"second row"}}, {speed_titles, {speed_row}}},
         L"Base = 3.6GHz\r\nCores = 8\r\nLoad = 5%\r\nLast = v20\r\n"},
        // The first item of the GPU information is its title; the table follows its last line directly.
        {TAB_GRAPHICS,
         {{{}, {L"GPU info", L"Driver 1", L"Clock 2"}}, GPU_TABLE},
         L"Driver 1\r\nClock 2\r\n" + GPU_TABLE_TEXT},
        {TAB_GRAPHICS, {{{}, {L"GPU info"}}, {GPU_TABLE.titles, {}}}, L""},
        {TAB_STORAGE, {{{}, {L"Storage Monitor", L"C: lost"}}, GPU_TABLE}, L"C: lost\r\n\r\n" + GPU_TABLE_TEXT},
        {TAB_STORAGE, {{{}, {L"Storage Monitor", L"C: lost"}}, {GPU_TABLE.titles, {}}}, L"C: lost\r\n"},
        {TAB_NETWORKS,
         {{{}, {L"Adapters", L"eth0   \n1 Gb", L"wlan0 "}}, {{}, {L"e1", L"e2 "}}, GPU_TABLE},
         L"eth0\r\nwlan0\r\n\r\ne1\r\ne2 \r\n\r\n" + GPU_TABLE_TEXT},
        {TAB_NETWORKS, {{{}, {L"Adapters"}}, {{}, {}}, {{}, {}}}, L"\r\n"},
        {TAB_EVENTS, {{{}, {L"Source: disk   ", L"Id: 7"}}}, L"Source: disk\r\nId: 7\r\n"},
        {TAB_SETTINGS, {{{}, {L"anything"}}}, L""},
        {-1, {}, L""},
    };
    for (const Case& c : cases) {
        TabCopyData data;
        data.lists = c.lists;
        EXPECT_EQ(tab_clipboard_text(c.tab, data), c.expected) << "tab " << c.tab;
    }
}

TEST_F(TabClipboardText, SystemTabStartsWithItsSummaryLines) {
    TabCopyData data;
    SystemCopyFacts& facts = data.system;
    facts.summary = L"L1\r\nL2\r\nL3\r\n";
    facts.battery_drawn = L"  85%";
    facts.battery_status = L" AC";
    facts.battery_remaining_s = 3700;
    facts.graph_column_width = 700;
    facts.uptime_s = 90061;
    facts.idle_drawn = L"  2m 5s  ";
    facts.idle_history = L"H";
    data.lists = {{{}, {L"ev1", L"ev2\nsecond column"}}};
    EXPECT_EQ(tab_clipboard_text(TAB_SYSTEM, data),
              L"L1\r\nL2\r\nL3\r\n\r\nBattery: 85% AC, 1h 1m remaining\r\nUptime: 1d 1h 1m 1s\r\n"
              L"Idle: 2m+5s, H\r\n\r\nev1\r\nev2\r\n");
    // No remaining time known; a narrow page leaves out the word.
    facts.battery_remaining_s = -1;
    EXPECT_NE(tab_clipboard_text(TAB_SYSTEM, data).find(L"Battery: 85% AC\r\n"), std::wstring::npos);
    facts.battery_remaining_s = 3700;
    facts.graph_column_width = 600;
    EXPECT_NE(tab_clipboard_text(TAB_SYSTEM, data).find(L"Battery: 85% AC, 1h 1m\r\n"), std::wstring::npos);
}

// Down, paused, no reply fields, a long host name, and lost echoes with and without any sent.
const std::vector<PingCopyRow> HOSTS = {
    {L"192.168.1.1", L"router", 1, 10, 9, 1, 12, 64, 0},
    {L"10.0.0.2", L"  ", 0, 4, 4, 0, 7, 64, 0},
    {L"8.8.8.8", L"dns.google", 1, 3, 0, 3, -1, 0, 0},
    {L"172.16.0.1", L"a-very-long-host-name-that-is-cut", 1, 0, 0, 0, 0, 0, 0},
    {L"10.0.0.9", L"", 1, 0, 0, 2, 5, 1, 1},
};

TEST_F(TabClipboardText, PingListInFixedColumns) {
    const std::wstring header = L"IP Address (Host Name)               Time(ms)  TTL  TOS   Recv   Lost  Lost%";
    ASSERT_EQ(header.size(), 76u);
    const std::wstring expected = header + L"\r\n" + std::wstring(76, L'-') + L"\r\n" +
                                  L"192.168.1.1 (router)                       12   64    -      9      1  10.0%\r\n"
                                  L"10.0.0.2                                   -- Paused --      4      -      -\r\n"
                                  L"8.8.8.8 (dns.google)                       --  Down  --      -      3 100.0%\r\n"
                                  L"172.16.0.1 (a-very-long-host-name-that-i    -    -    -      -      -      -\r\n"
                                  L"10.0.0.9                                    5    1    1      -      2      -\r\n";
    EXPECT_EQ(clipboard_ping_text(HOSTS, false), expected);
    EXPECT_EQ(clipboard_line_count(expected), 7);
    // An empty list: the header and the dash line.
    EXPECT_EQ(clipboard_line_count(clipboard_ping_text({}, false)), 2);
}

TEST_F(TabClipboardText, PingListTabDelimited) {
    EXPECT_EQ(clipboard_ping_text(HOSTS, true),
              L"IP Address\tHost Name\tTime(ms)\tTTL\tTOS\tRecv\tLost\tLost%\r\n"
              L"----------\t----------\t----------\t----------\t----------\t----------\t----------\t----------\t\r\n"
              L"192.168.1.1\trouter\t12\t64\t0\t9\t1\t10.0\r\n"
              L"10.0.0.2\t  \t7\t64\t0\t4\t0\t0.0\r\n"
              L"8.8.8.8\tdns.google\t-1\t0\t0\t0\t3\t100.0\r\n"
              L"172.16.0.1\ta-very-long-host-name-that-is-cut\t0\t0\t0\t0\t0\t-\r\n"
              L"10.0.0.9\t\t5\t1\t1\t0\t2\t-\r\n");
    // The German header has its columns elsewhere; it splits into the same eight names.
    text_maps_load(LANGUAGE_GERMAN);
    const std::wstring german = clipboard_ping_text({}, true);
    EXPECT_EQ(german.substr(0, german.find(L"\r\n")), L"IP-Adresse\tHostname\tZeit(ms)\tTTL\tTOS\tEmpf\tVerl\tVerl%");
}

// ---- The copy ----

struct FakeClipboard {
    std::mutex lock;
    std::vector<std::wstring> puts;
    std::vector<std::wstring> titles;
    std::vector<std::wstring> held_locks;  // program locks found held while a view was asked or on the put
    std::function<void()> during_copy;     // run once, at the first view asked
};
FakeClipboard fake;

// From another thread, as the main thread would: which program locks can it not take now?
void note_held_locks(const char* where) {
    std::vector<std::wstring> held =
        std::async(std::launch::async, [] {
            std::vector<std::wstring> found;
            for (ProgramLock* lock : {&ClipboardMutex, &HistoryMutex, &GpuInfoMutex, &PingListMutex, &CellDrawMutex}) {
                if (lock->try_lock()) {
                    lock->unlock();
                } else {
                    const std::string name = lock->name();
                    found.emplace_back(name.begin(), name.end());
                }
            }
            return found;
        }).get();
    std::lock_guard guard(fake.lock);
    for (const std::wstring& name : held)
        fake.held_locks.push_back(name + L" at " + std::wstring(where, where + std::strlen(where)));
}

std::vector<std::wstring> fake_column_titles(int list) {
    note_held_locks("a view's columns");
    std::function<void()> once;
    std::swap(once, fake.during_copy);
    if (once) once();
    return list == LIST_GPU_ID ? GPU_TABLE.titles : std::vector<std::wstring>{};
}

void fake_clipboard_put(const std::wstring& text) {
    note_held_locks("the clipboard");
    std::lock_guard guard(fake.lock);
    fake.puts.push_back(text);
}

void fake_title(std::wstring_view title) {
    std::lock_guard guard(fake.lock);
    fake.titles.emplace_back(title);
}

const TabClipboardPlatform FAKE_PLATFORM{.column_titles = fake_column_titles, .clipboard_put = fake_clipboard_put};

class TabClipboardCopy : public TabClipboardText {
protected:
    void SetUp() override {
        TabClipboardText::SetUp();
        shared_tables_init();
        fake.puts.clear();
        fake.titles.clear();
        fake.held_locks.clear();
        fake.during_copy = nullptr;
        status_title_set_writer(fake_title);
        for (int list : {LIST_EVENT_DETAILS, LIST_GPU_INFO, LIST_GPU_ID, LIST_STORAGE_MONITOR, LIST_DRIVE_ID})
            list_rows_clear(list);
        list_rows_assign(LIST_EVENT_DETAILS, {L"Source: disk", L"Id: 7"});
    }
    void TearDown() override {
        status_title_set_writer(nullptr);
        list_rows_clear(LIST_EVENT_DETAILS);
        TabClipboardText::TearDown();
    }
};

TEST_F(TabClipboardCopy, CopiesTheTabItIsGivenAndEndsTheRequest) {
    SharedInts[COPY_TAB_REQUEST] = TAB_NETWORKS;  // a newer request must not change what this copy builds
    tab_clipboard_copy_using(TAB_EVENTS, FAKE_PLATFORM);
    ASSERT_EQ(fake.puts.size(), 1u);
    EXPECT_EQ(fake.puts[0], L"Source: disk\r\nId: 7\r\n");
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), -1);
    EXPECT_EQ(ClipboardLineCount.load(), 2);
    ASSERT_FALSE(fake.titles.empty());
    EXPECT_EQ(fake.titles.front(), L"Saving to Clipboard");
    EXPECT_EQ(fake.titles.back(), L"Saved to Clipboard: 2 Lines");
}

TEST_F(TabClipboardCopy, AnEmptyTextLeavesTheClipboardAlone) {
    for (int tab : {int(TAB_SETTINGS), int(TAB_ABOUT), 42}) {
        SharedInts[COPY_TAB_REQUEST] = tab;
        tab_clipboard_copy_using(tab, FAKE_PLATFORM);
        EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), -1) << tab;
    }
    EXPECT_TRUE(fake.puts.empty());
    for (const std::wstring& title : fake.titles) EXPECT_EQ(title.find(L"Saved"), std::wstring::npos) << title;
}

TEST_F(TabClipboardCopy, ARequestDuringACopyIsIgnored) {
    std::atomic<bool> other_returned{false};
    fake.during_copy = [&other_returned] {
        // The event loop: Ctrl+C on the Storage tab, which also empties the shared text.
        SharedInts[COPY_TAB_REQUEST] = TAB_STORAGE;
        shared_text_set(CLIPBOARD_TEXT, L"");
        // The drive watcher serves it on its own thread; it must return at once, not wait for this copy.
        std::thread([&other_returned] {
            tab_clipboard_copy_using(TAB_STORAGE, FAKE_PLATFORM);
            other_returned = true;
        }).detach();
        if (!wait_until([&other_returned] { return other_returned.load(); }))
            ADD_FAILURE() << "the second copy waited for the first instead of being dropped";
    };
    list_rows_assign(LIST_STORAGE_MONITOR, {L"Storage Monitor", L"C: lost"});
    tab_clipboard_copy_using(TAB_EVENTS, FAKE_PLATFORM);
    ASSERT_TRUE(other_returned.load());
    ASSERT_EQ(fake.puts.size(), 1u);
    EXPECT_EQ(fake.puts[0], L"Source: disk\r\nId: 7\r\n");
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), -1);
    // Once it has ended, the next request is served.
    tab_clipboard_copy_using(TAB_STORAGE, FAKE_PLATFORM);
    ASSERT_EQ(fake.puts.size(), 2u);
    EXPECT_EQ(fake.puts[1], L"C: lost\r\n");
    list_rows_clear(LIST_STORAGE_MONITOR);
}

TEST_F(TabClipboardCopy, NoProgramLockIsHeldWhileViewsAreAskedOrTheClipboardIsWritten) {
    list_rows_assign(LIST_GPU_INFO, {L"GPU info", L"Driver 1"});
    list_rows_assign(LIST_GPU_ID, GPU_TABLE.rows);
    tab_clipboard_copy_using(TAB_GRAPHICS, FAKE_PLATFORM);
    {
        std::lock_guard list(PingListMutex);
        PingHostList.push_back(PSys{});
        PingHostList.back().Addr = L"127.0.0.1";
        PingHostList.back().Actv = 1;
    }
    SharedInts[COPY_TAB_DELIMITED] = 1;
    tab_clipboard_copy_using(TAB_PING, FAKE_PLATFORM);
    EXPECT_TRUE(fake.held_locks.empty()) << testing::PrintToString(fake.held_locks);
    ASSERT_EQ(fake.puts.size(), 2u);
    EXPECT_EQ(fake.puts[0], L"Driver 1\r\n" + GPU_TABLE_TEXT);
    EXPECT_EQ(fake.puts[1].substr(fake.puts[1].rfind(L"----------\t\r\n") + 13), L"127.0.0.1\t\t0\t0\t0\t0\t0\t-\r\n");
    EXPECT_EQ(shared_text(STATUS_MESSAGE), L"Saved to Clipboard (Tab Delimited)");
    EXPECT_EQ(fake.titles.back(), L"Saved to Clipboard: 3 Lines (Tab Delimited)");
    EXPECT_EQ(SharedInts[COPY_TAB_DELIMITED].load(), 0);
    list_rows_clear(LIST_GPU_INFO);
    list_rows_clear(LIST_GPU_ID);
}

}  // namespace
