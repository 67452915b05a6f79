// The clipboard copy of a tab on Windows: real list views answered by the main thread, the real clipboard,
// a request during a copy, and a hover on the GPU strip while the Graphics copy asks a view.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/window/window.h"
#include "runtime/list_model.h"
#include "runtime/text.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "ui/history_strip.h"
#include "ui/tab_clipboard.h"

namespace {

constexpr int WINDOW = 527;
constexpr int COPY_LIMIT_MS = 20000;

// Runs the copy on a worker, as the tab's owner would, while this (main) thread answers the views.
::testing::AssertionResult copy_on_worker(int tab) {
    const std::array<int64_t, 1> worker{thread_create([](int64_t given) { clipboard_copy_tab(int(given)); }, tab)};
    if (worker[0] == 0) return ::testing::AssertionFailure() << "no worker thread";
    if (!thread_wait_all(worker, COPY_LIMIT_MS))
        return ::testing::AssertionFailure() << "the copy of tab " << tab << " did not end within " << COPY_LIMIT_MS
                                             << " ms (a lock held while the main thread was asked?)";
    return ::testing::AssertionSuccess();
}

bool clipboard_set(const std::wstring& text) {
    const std::u16string units = utf16_from_wide(text);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (units.size() + 1) * sizeof(char16_t));
    if (!memory) return false;
    std::memcpy(GlobalLock(memory), units.c_str(), (units.size() + 1) * sizeof(char16_t));
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return set;
}

std::wstring clipboard_text() {
    if (!OpenClipboard(nullptr)) return L"<clipboard not opened>";
    std::wstring text = L"<no Unicode text>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
            text = wide_from_utf16(units);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The list view's own procedure, and what the test does when the copy first asks the view for a column.
WNDPROC view_procedure = nullptr;
std::function<void()> on_column_asked;

LRESULT CALLBACK asked_view_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == LVM_GETCOLUMNW && on_column_asked) {
        std::function<void()> once;
        std::swap(once, on_column_asked);
        once();
    }
    return CallWindowProcW(view_procedure, hwnd, message, wparam, lparam);
}

void watch_view(int list) {
    HWND hwnd = reinterpret_cast<HWND>(control_handle(list));
    view_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(asked_view_procedure)));
}

void unwatch_view(int list) {
    if (!view_procedure) return;
    SetWindowLongPtrW(reinterpret_cast<HWND>(control_handle(list)), GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(view_procedure));
    view_procedure = nullptr;
}

class TabClipboardWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        ASSERT_TRUE(window_open(WINDOW, 40, 40, 600, 400, L"clipboard test", WINDOW_CAPTION | WINDOW_INVISIBLE));
        int y = 0;
        for (int list : {LIST_EVENT_DETAILS, LIST_STORAGE_MONITOR, LIST_GPU_INFO}) {
            ASSERT_EQ(list_view_create(list, gui_in_window(WINDOW), 0, y, 280, 60, L"", 280, LIST_VIEW_PLAIN), list);
            y += 64;
        }
        y = 0;
        for (int list : {LIST_DRIVE_ID, LIST_GPU_ID}) {
            ASSERT_EQ(list_view_create(list, gui_in_window(WINDOW), 300, y, 280, 60, L"Name", 80, 0), list);
            ASSERT_TRUE(list_view_column_add(list, -1, L"Size", 80));
            ASSERT_TRUE(list_view_column_add(list, -1, L"Note", 80));
            y += 64;
        }
        list_rows_assign(LIST_EVENT_DETAILS, {L"Source: disk  ", L"Id: 7"});
        list_rows_assign(LIST_STORAGE_MONITOR, {L"Storage Monitor", L"C: lost"});
        list_rows_assign(LIST_DRIVE_ID, {L"C:\n100 GB\n", L"D:\n2 TB\nbackup"});
        list_rows_assign(LIST_GPU_INFO, {L"GPU info", L"Driver 1"});
        list_rows_assign(LIST_GPU_ID, {L"G1\n8 GB\n"});
        ASSERT_TRUE(clipboard_set(L"before"));
    }
    void TearDown() override {
        unwatch_view(LIST_DRIVE_ID);
        unwatch_view(LIST_GPU_ID);
        on_column_asked = nullptr;
        for (int list : {LIST_EVENT_DETAILS, LIST_STORAGE_MONITOR, LIST_GPU_INFO, LIST_DRIVE_ID, LIST_GPU_ID})
            list_rows_clear(list);
        window_close(WINDOW);
        wait_window_event(10);
    }
};

TEST_F(TabClipboardWindows, TheCopyPutsTheTabOnTheClipboard) {
    {
        std::lock_guard list(PingListMutex);
        PSys host;
        host.Addr = L"127.0.0.1";
        host.Host = L"loopback";
        host.Actv = 1;
        host.Sent = host.Recv = 4;
        host.Time = 1;
        host.PTTL = 128;
        PingHostList.push_back(host);
    }
    const std::wstring header = L"IP Address (Host Name)               Time(ms)  TTL  TOS   Recv   Lost  Lost%";
    struct Case {
        int tab;
        std::wstring expected;
    };
    const Case cases[] = {
        {TAB_EVENTS, L"Source: disk\r\nId: 7\r\n"},
        {TAB_STORAGE, L"C: lost\r\n\r\nName Size Note\r\nC: 100 GB\r\nD: 2 TB backup\r\n"},
        {TAB_PING, header + L"\r\n" + std::wstring(header.size(), L'-') + L"\r\n" +
                       L"127.0.0.1 (loopback)                        1  128    -      4      -      -\r\n"},
        {TAB_GRAPHICS, L"Driver 1\r\nName Size Note\r\nG1 8 GB\r\n"},
    };
    for (const Case& c : cases) {
        SharedInts[COPY_TAB_REQUEST] = c.tab;
        ASSERT_TRUE(copy_on_worker(c.tab));
        EXPECT_EQ(clipboard_text(), c.expected) << "tab " << c.tab;
        EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), -1) << "tab " << c.tab;
    }
    // A tab that is not copied gives the empty text, which leaves the clipboard as it was.
    ASSERT_TRUE(clipboard_set(L"before"));
    ASSERT_TRUE(copy_on_worker(TAB_SETTINGS));
    EXPECT_EQ(clipboard_text(), L"before");
}

TEST_F(TabClipboardWindows, ARequestDuringACopyIsIgnored) {
    watch_view(LIST_DRIVE_ID);
    bool second_ended = false;
    std::wstring meanwhile;
    on_column_asked = [&second_ended, &meanwhile] {
        // Ctrl+C on the Events tab while the Storage copy waits for this thread; the event page thread serves it.
        SharedInts[COPY_TAB_REQUEST] = TAB_EVENTS;
        const std::array<int64_t, 1> second{thread_create([](int64_t) { clipboard_copy_tab(TAB_EVENTS); }, 0)};
        second_ended = thread_wait_all(second, COPY_LIMIT_MS);
        meanwhile = clipboard_text();
    };
    SharedInts[COPY_TAB_REQUEST] = TAB_STORAGE;
    ASSERT_TRUE(copy_on_worker(TAB_STORAGE));
    EXPECT_TRUE(second_ended) << "the request during the copy waited for it instead of being dropped";
    EXPECT_EQ(meanwhile, L"before") << "the request during the copy was served";
    EXPECT_EQ(clipboard_text(), L"C: lost\r\n\r\nName Size Note\r\nC: 100 GB\r\nD: 2 TB backup\r\n");
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), -1);
}

TEST_F(TabClipboardWindows, TheGraphicsCopyLetsAHoverOnTheGpuStripThrough) {
    HistoryList gpu_history;
    SharedInts[HISTORY_LENGTH] = 10;
    for (int t : {50, 52, 55}) history_point_add(gpu_history, {0, 1700000000, t});
    watch_view(LIST_GPU_ID);
    std::wstring readout;
    on_column_asked = [&gpu_history, &readout] {
        // The pointer moves over the GPU strip while the copy waits for this thread to answer its view. The
        // read-out takes HistoryMutex; were the copy holding it, the read-out could never finish.
        const bool free = wait_until([] {
            if (!HistoryMutex.try_lock()) return false;
            HistoryMutex.unlock();
            return true;
        });
        if (!free) {
            ADD_FAILURE() << "the Graphics copy held HistoryMutex while the main thread answered its view: a hover "
                             "on the GPU strip would hang the program";
            return;
        }
        readout = temperature_position_text(gpu_history, 1, L"G1");
    };
    ASSERT_TRUE(copy_on_worker(TAB_GRAPHICS));
    EXPECT_NE(readout.find(L"G1 55C"), std::wstring::npos) << "the hover's read-out: " << readout;
    EXPECT_EQ(clipboard_text(), L"Driver 1\r\nName Size Note\r\nG1 8 GB\r\n");
}

}  // namespace
