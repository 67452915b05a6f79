// The Events tab with records in it: the real tab's controls and handlers, the event page thread and the
// program's hooks, fed through the event-log table by two logs whose records are laid out byte by byte here
// from the published EVENTLOGRECORD layout (Wine's own logs are empty). The log selector, the rows, the type
// filter, the search, the details with the account of a SID and the decoded disk data, Ctrl+C and a change
// of log all run on them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/event_loop.h"
#include "app/program_windows_win.h"
#include "app/shortcuts.h"
#include "app/wiring.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/event_log_api.h"
#include "eventlog/event_page.h"
#include "runtime/date.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/shortcut/shortcut_table.h"
#include "runtime/gui/window/window.h"
#include "runtime/threads.h"
#include "ui/compact_window.h"
#include "ui/main_layout.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int WIDTH = 1000;
constexpr int HEIGHT = 520;

// ---- Records, byte by byte ----

// EVENTLOGRECORD: Length, Reserved ("LfLe"), RecordNumber, TimeGenerated, TimeWritten, EventID (4 bytes
// each), EventType, NumStrings, EventCategory, ReservedFlags (2 bytes each), ClosingRecordNumber,
// StringOffset, UserSidLength, UserSidOffset, DataLength, DataOffset (4 bytes each): 56 bytes. Then SourceName
// and Computername as zero-terminated UTF-16, the SID at UserSidOffset (on a 4-byte boundary), the strings at
// StringOffset, the data at DataOffset, zero bytes to a 4-byte boundary and the Length again.
struct Crafted {
    uint32_t number;
    uint16_t type;  // 1 error, 2 warning, 4 information
    std::wstring source;
    std::vector<std::wstring> strings;
    std::vector<uint8_t> sid;
    std::vector<uint8_t> data;
};

class Bytes {
public:
    void byte(unsigned value) { bytes_.push_back(static_cast<uint8_t>(value & 0xFF)); }
    void word(unsigned value) {
        byte(value);
        byte(value >> 8);
    }
    void dword(uint32_t value) {
        word(value & 0xFFFF);
        word(value >> 16);
    }
    void text(const std::wstring& value) {
        for (const wchar_t c : value) word(static_cast<unsigned>(c));
        word(0);
    }
    void zeros_to(std::size_t size) {
        while (bytes_.size() < size) byte(0);
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

uint32_t text_size(const std::wstring& text) { return 2 * static_cast<uint32_t>(text.size() + 1); }

std::vector<uint8_t> crafted_bytes(const Crafted& r, uint32_t time_utc) {
    const std::wstring computer = L"DESK";
    const uint32_t sid_offset = (56 + text_size(r.source) + text_size(computer) + 3) / 4 * 4;
    const uint32_t string_offset = sid_offset + static_cast<uint32_t>(r.sid.size());
    uint32_t data_offset = string_offset;
    for (const std::wstring& s : r.strings) data_offset += text_size(s);
    const uint32_t length = (data_offset + static_cast<uint32_t>(r.data.size()) + 3) / 4 * 4 + 4;

    Bytes b;
    b.dword(length);
    for (const char c : {'L', 'f', 'L', 'e'}) b.byte(static_cast<unsigned>(c));
    b.dword(r.number);
    b.dword(time_utc);
    b.dword(time_utc + 1);
    b.dword(0x40000000u | (7000 + r.number));  // severity bits above the 16-bit id
    b.word(r.type);
    b.word(static_cast<unsigned>(r.strings.size()));
    b.word(0);
    b.word(0);
    b.dword(0);
    b.dword(string_offset);
    b.dword(static_cast<uint32_t>(r.sid.size()));
    b.dword(sid_offset);
    b.dword(static_cast<uint32_t>(r.data.size()));
    b.dword(data_offset);
    b.text(r.source);
    b.text(computer);
    b.zeros_to(sid_offset);
    for (const uint8_t v : r.sid) b.byte(v);
    for (const std::wstring& s : r.strings) b.text(s);
    for (const uint8_t v : r.data) b.byte(v);
    b.zeros_to(length - 4);
    b.dword(length);
    return b.bytes();
}

// S-1-5-18, the local system account: revision 1, one sub-authority, authority 5, sub-authority 18.
const std::vector<uint8_t> LOCAL_SYSTEM_SID = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};

// The driver's error packet of a read (major function 3) that ends in the paging status 0x80040033.
std::vector<uint8_t> read_error_data() {
    std::vector<uint8_t> data(0x20, 0);
    data[0x00] = 3;
    data[0x0C] = 0x33, data[0x0D] = 0x00, data[0x0E] = 0x04, data[0x0F] = 0x80;
    return data;
}

// ---- Two logs behind the event-log table ----

struct CraftedLog {
    std::wstring name;
    std::vector<std::vector<uint8_t>> records;  // oldest first
    uint32_t oldest;
};
std::vector<CraftedLog> logs;

struct Reading {
    const CraftedLog* log;
    std::size_t left;  // records still to read: indexes left - 1 down to 0
};

EventLogHandle crafted_open(const std::wstring& name) {
    for (const CraftedLog& log : logs)
        if (log.name == name) return new Reading{&log, log.records.size()};
    return nullptr;
}
bool crafted_count(EventLogHandle handle, uint32_t& count) {
    count = static_cast<uint32_t>(static_cast<Reading*>(handle)->log->records.size());
    return true;
}
bool crafted_oldest(EventLogHandle handle, uint32_t& number) {
    number = static_cast<Reading*>(handle)->log->oldest;
    return true;
}
// As ReadEventLogW reads backwards: as many whole records as fit, or the size the next one needs.
EventLogReadResult crafted_read(EventLogHandle handle, uint8_t* buffer, uint32_t size, uint32_t& bytes_read,
                                uint32_t& needed) {
    auto* reading = static_cast<Reading*>(handle);
    bytes_read = 0;
    if (reading->left == 0) return EVENT_LOG_READ_END;
    const auto& records = reading->log->records;
    if (records[reading->left - 1].size() > size) {
        needed = static_cast<uint32_t>(records[reading->left - 1].size());
        return EVENT_LOG_READ_TOO_SMALL;
    }
    while (reading->left > 0 && records[reading->left - 1].size() <= size - bytes_read) {
        const auto& record = records[--reading->left];
        std::copy(record.begin(), record.end(), buffer + bytes_read);
        bytes_read += static_cast<uint32_t>(record.size());
    }
    return EVENT_LOG_READ_OK;
}
void crafted_close(EventLogHandle handle) { delete static_cast<Reading*>(handle); }
std::wstring crafted_account(const uint8_t*, uint32_t) { return {}; }
std::vector<std::wstring> crafted_names() { return {L"Application", L"System"}; }

const EventLogApi crafted_api{.open = crafted_open,
                              .record_count = crafted_count,
                              .oldest_record = crafted_oldest,
                              .read_backwards = crafted_read,
                              .close = crafted_close,
                              .account_name = crafted_account,
                              .log_names = crafted_names};

void logs_build() {
    const uint32_t now = static_cast<uint32_t>(utc_seconds_now());
    CraftedLog system{L"System", {}, 41};
    const Crafted system_records[] = {
        {41,
         4,
         L"Service Control Manager",
         {L"The Print Spooler service entered the running state."},
         LOCAL_SYSTEM_SID,
         {}},
        {42, 1, L"disk", {L"\\Device\\Harddisk1\\DR1"}, {}, read_error_data()},
        {43, 2, L"Microsoft-Windows-Kernel-General", {L"The system time has changed.", L"  "}, {}, {}},
    };
    uint32_t age = 600;
    for (const Crafted& r : system_records) system.records.push_back(crafted_bytes(r, now - age--));
    CraftedLog application{L"Application", {}, 7};
    application.records.push_back(
        crafted_bytes({7, 1, L"Application Error", {L"Faulting application x.exe"}, {}, {}}, now - 30));
    logs = {application, system};
}

// ---- The controls ----

HWND hwnd_of(int control) { return reinterpret_cast<HWND>(control_handle(control)); }

std::vector<std::wstring> rows_of(int list) {
    const HWND hwnd = hwnd_of(list);
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[1024] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 1024;
        SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        rows.emplace_back(text);
    }
    return rows;
}

std::vector<std::wstring> combo_texts(int combo) {
    const HWND hwnd = hwnd_of(combo);
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

void combo_pick(int combo, int item) {
    const HWND hwnd = hwnd_of(combo);
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hwnd));
}

int item_ending_with(int combo, const std::wstring& end) {
    const std::vector<std::wstring> items = combo_texts(combo);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].ends_with(end)) return static_cast<int>(i);
    return -1;
}

bool any_row_has(const std::vector<std::wstring>& rows, const std::wstring& part) {
    return std::any_of(rows.begin(), rows.end(), [&](const std::wstring& row) { return row.find(part) != row.npos; });
}

// The rows of the list, when it shows and holds exactly that many rows, each with its part in that order.
bool list_shows(int list, std::initializer_list<const wchar_t*> parts) {
    if (!IsWindowVisible(hwnd_of(list))) return false;
    const std::vector<std::wstring> rows = rows_of(list);
    if (rows.size() != parts.size()) return false;
    std::size_t i = 0;
    for (const wchar_t* part : parts)
        if (rows[i++].find(part) == std::wstring::npos) return false;
    return true;
}

std::wstring clipboard_text() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::atomic<bool> page_ended{false};

class EventsTabRecords : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(program_windows_with_tabs_open(20, 20, WIDTH, HEIGHT, L"events"));
        ASSERT_TRUE(font_load(FONT_FIXED_SMALL, L"Lucida Console", 8, 0));
        ASSERT_TRUE(font_load(FONT_CUE, L"Tahoma", 8, 0));
        panel_tab_select(PANEL_MAIN, TAB_EVENTS);
        SharedFloats[TABS_SCALE] = 1.0f;
        SharedInts[PANEL_HEIGHT] = HEIGHT - 40;
        MainBuild build;
        build.layout = panel_layout(WIDTH - 10, HEIGHT - 30, 96);
        events_page_build(build);
        startup_ui_hooks_install([] {});
        startup_monitor_hooks_install();
        startup_event_handlers_add();
        shortcuts_register();
        // The program's hooks of the Events tab, with the two crafted logs in place of Windows' and no
        // disk-error watcher.
        logs_build();
        event_log_api_set(crafted_api);
        event_page_disk_watch_starter_set(nullptr);
        shared_text_set(EVENTLOG_NAME, L"System");
        SharedInts[EVENTLOG_AGE_CHOICE] = 0;  // one day
        page_ended = false;
        page_ = thread_create(
            [](int64_t) {
                event_page_thread(0);
                page_ended = true;
            },
            0);
        ASSERT_NE(page_, 0);
    }
    void TearDown() override {
        quit_flag_raise(1);
        // The page thread may wait for this thread's windows: they are served while it ends.
        EXPECT_TRUE(loop_until([] { return page_ended.load(); })) << "the event page thread did not end";
        thread_wait(page_, 5000);
        quit_flag_clear();
        event_log_api_set(event_log_api_windows());
        modifiers_set({});
        program_windows_close();
    }
    int64_t page_ = 0;
};

TEST_F(EventsTabRecords, SelectorRowsFiltersSearchDetailsCopyAndAnotherLog) {
    // The selector holds both logs and the wanted one is chosen; its records fill the list, newest on top.
    ASSERT_TRUE(loop_until([] {
        return list_shows(LIST_EVENTS, {L"Kernel-General", L"disk", L"Service Control Manager"});
    })) << "the rows: "
        << testing::PrintToString(rows_of(LIST_EVENTS));
    EXPECT_EQ(combo_texts(COMBO_EVENT_LOG), (std::vector<std::wstring>{L"Application", L"System"}));
    EXPECT_EQ(SendMessageW(hwnd_of(COMBO_EVENT_LOG), CB_GETCURSEL, 0, 0), 1);
    const std::vector<std::wstring> rows = rows_of(LIST_EVENTS);
    EXPECT_NE(rows[0].find(L"43        7043   Warning  Kernel-General"), std::wstring::npos) << rows[0];
    EXPECT_TRUE(rows[0].ends_with(L" The system time has changed. | ")) << rows[0];
    EXPECT_NE(rows[1].find(L"42        7042   Error    disk"), std::wstring::npos) << rows[1];
    EXPECT_NE(rows[2].find(L"41        7041   Info     Service Control Manager"), std::wstring::npos) << rows[2];

    // The type filter: the error item lists the one error.
    ASSERT_TRUE(loop_until([] { return item_ending_with(COMBO_EVENT_TYPE, L" - Error") > 0; }))
        << testing::PrintToString(combo_texts(COMBO_EVENT_TYPE));
    EXPECT_EQ(combo_texts(COMBO_EVENT_TYPE).front(), L"3 - Events");
    combo_pick(COMBO_EVENT_TYPE, item_ending_with(COMBO_EVENT_TYPE, L" - Error"));
    ASSERT_TRUE(loop_until([] { return list_shows(LIST_EVENT_SEARCH, {L"disk"}); }))
        << testing::PrintToString(rows_of(LIST_EVENT_SEARCH));
    // The page thread lists the hits before it records the search as done; Clear acts on a finished search.
    ASSERT_TRUE(loop_until([] { return SharedInts[EVENTLOG_SEARCH_STATE].load() > 0; }));
    EXPECT_FALSE(IsWindowVisible(hwnd_of(LIST_EVENTS)));

    // Clear: the full list again.
    SendMessageW(hwnd_of(BUTTON_EVENT_CLEAR), BM_CLICK, 0, 0);
    ASSERT_TRUE(loop_until([] { return IsWindowVisible(hwnd_of(LIST_EVENTS)) && rows_of(LIST_EVENTS).size() == 3; }));

    // A text search, then the details of its hit: the account of the local system SID.
    SendMessageW(hwnd_of(INPUT_EVENT_SEARCH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"spooler"));
    SendMessageW(hwnd_of(BUTTON_EVENT_SEARCH), BM_CLICK, 0, 0);
    ASSERT_TRUE(loop_until([] { return list_shows(LIST_EVENT_SEARCH, {L"Service Control Manager"}); }))
        << testing::PrintToString(rows_of(LIST_EVENT_SEARCH));
    list_view_select(LIST_EVENT_SEARCH, 0);
    ASSERT_TRUE(loop_until([] {
        const std::vector<std::wstring> details = rows_of(LIST_EVENT_DETAILS);
        return !details.empty() && details[0].find(L"Record: 41") != std::wstring::npos;
    })) << testing::PrintToString(rows_of(LIST_EVENT_DETAILS));
    std::vector<std::wstring> details = rows_of(LIST_EVENT_DETAILS);
    EXPECT_TRUE(details[0].ends_with(L"Computer: DESK (NT AUTHORITY\\SYSTEM)")) << details[0];
    EXPECT_NE(details[1].find(L"Type: Info  Source: Service Control Manager"), std::wstring::npos) << details[1];
    EXPECT_EQ(details.back(), L" The Print Spooler service entered the running state.");

    // Ctrl+C on the tab copies the details.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SetActiveWindow(reinterpret_cast<HWND>(window_handle(WIN_MAIN)));
    modifiers_set({VK_CONTROL});
    PostMessageW(reinterpret_cast<HWND>(window_handle(WIN_MAIN)), WM_KEYDOWN, 'C', 1);
    EXPECT_TRUE(loop_until([] { return clipboard_text().find(L"(NT AUTHORITY\\SYSTEM)") != std::wstring::npos; }))
        << "the clipboard holds: " << testing::PrintToString(clipboard_text());
    modifiers_set({});

    // The disk event's details end with its decoded data.
    SendMessageW(hwnd_of(BUTTON_EVENT_CLEAR), BM_CLICK, 0, 0);
    ASSERT_TRUE(loop_until([] { return IsWindowVisible(hwnd_of(LIST_EVENTS)) && rows_of(LIST_EVENTS).size() == 3; }));
    list_view_select(LIST_EVENTS, 1);
    ASSERT_TRUE(loop_until([] {
        const std::vector<std::wstring> lines = rows_of(LIST_EVENT_DETAILS);
        return !lines.empty() && lines[0].find(L"Record: 42") != std::wstring::npos;
    })) << testing::PrintToString(rows_of(LIST_EVENT_DETAILS));
    details = rows_of(LIST_EVENT_DETAILS);
    EXPECT_EQ(details[3], L" \\Device\\Harddisk1\\DR1");
    EXPECT_GT(details.size(), 10u) << "no decoded disk data: " << testing::PrintToString(details);
    EXPECT_TRUE(any_row_has(details, L"0x80040033")) << testing::PrintToString(details);

    // Another log: the list is read again from it.
    combo_pick(COMBO_EVENT_LOG, 0);
    ASSERT_TRUE(loop_until([] { return list_shows(LIST_EVENTS, {L"Application Error"}); }))
        << testing::PrintToString(rows_of(LIST_EVENTS));
    EXPECT_EQ(shared_text(EVENTLOG_NAME), L"Application");
}

}  // namespace
