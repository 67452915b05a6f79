// The real Sotrix.exe's main window under Wine: each tab opened by its word on the command line, its
// controls found by their numbers, nothing covering anything else, the window on the screen, the ping
// interval that the settings file chose kept, and one screenshot per tab at 96 and at 144 DPI, kept in
// the build tree's "screenshots" folder (tab_<word>_96.bmp, tab_<word>_144.bmp).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/settings_code.h"
#include "runtime/text.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int SAVED_PING_INTERVAL_CHOICE = 3;  // "4 Seconds", not the default minute
constexpr DWORD TEST_DPI = 144;
constexpr const wchar_t* TAB_WORDS[] = {L"system", L"processors", L"graphics", L"storage", L"networks",
                                        L"ping",   L"events",     L"settings", L"about"};

std::wstring class_of(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

int processor_count() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return std::clamp(static_cast<int>(info.dwNumberOfProcessors), 1, 144);
}

// The controls each tab's page holds, by number.
std::vector<int> tab_controls(int tab) {
    switch (tab) {
        case TAB_SYSTEM:
            return {CANVAS_SYSTEM_HEADER, LIST_PHYSICAL_MEMORY,  LIST_PAGEFILE_MEMORY, LIST_PROCESSORS,
                    LIST_SYSTEM_EVENTS,   GRAPH_PHYSICAL_MEMORY, GRAPH_PAGEFILE,       GRAPH_CPU_SPEED,
                    GRAPH_CPU_AVERAGE,    LIST_BATTERY};
        case TAB_PROCESSORS: {
            std::vector<int> controls = {LIST_CPU_BASE_SPEED, LIST_CPU_SPEED, CANVAS_CPU_TEMPERATURE};
            for (int core = 0; core < processor_count(); ++core) controls.push_back(GRAPH_CPU_CORE_BASE + core);
            return controls;
        }
        case TAB_GRAPHICS: {
            std::vector<int> controls = {COMBO_GPU, LIST_GPU_ID, LIST_GPU_INFO, CANVAS_GPU_TEMPERATURE};
            for (int slot = 0; slot < 8; ++slot) {
                for (int j = 0; j < 6; ++j) controls.push_back(GRAPH_GPU_BASE + 10 * slot + j);
            }
            return controls;
        }
        case TAB_STORAGE:
            return {COMBO_BYTE_UNIT,      COMBO_DRIVE_FILTER, LIST_DRIVE_ID,
                    LIST_STORAGE_MONITOR, GRAPH_DISK_READ,    GRAPH_DISK_WRITE};
        case TAB_NETWORKS:
            return {COMBO_NETWORK_UNIT,  COMBO_NETWORK_FILTER, LIST_NETWORK_ID,  LIST_NETWORK_ADAPTERS,
                    LIST_NETWORK_EVENTS, GRAPH_NET_SEND,       GRAPH_NET_RECEIVE};
        case TAB_PING:
            return {COMBO_PING_MODE,      INPUT_PING_HOST,    BUTTON_PING_ADD,     BUTTON_PING_DELETE,
                    BUTTON_PING_RESET,    BUTTON_PING_NOW,    COMBO_PING_INTERVAL, COMBO_PING_SLOW,
                    COMBO_PING_FONT_SIZE, CANVAS_PING_STATUS, SCROLL_PING_LIST,    CANVAS_PING_LIST};
        case TAB_EVENTS:
            return {COMBO_EVENT_LOG,       COMBO_EVENT_DAYS,     INPUT_EVENT_SEARCH,      COMBO_EVENT_SEARCH_MODE,
                    BUTTON_EVENT_SEARCH,   BUTTON_EVENT_CLEAR,   COMBO_EVENT_SEARCH_TYPE, COMBO_EVENT_TYPE,
                    COMBO_EVENT_FONT_SIZE, CANVAS_EVENTS_STATUS, LIST_EVENT_SEARCH,       LIST_EVENTS,
                    LIST_EVENT_DETAILS};
        case TAB_ABOUT:
            return {TEXT_ABOUT, LINK_WEBSITE, TEXT_ABOUT_SUPPORT, LINK_DONATION, CANVAS_DATA_FILES};
        default:
            return {};  // the Settings page is laid out by its own build
    }
}

// Controls that start hidden: the search results and their type filter, and every GPU slot but the first.
bool starts_hidden(int number) {
    return number == COMBO_EVENT_SEARCH_TYPE || number == LIST_EVENT_SEARCH ||
           (number >= GRAPH_GPU_BASE + 10 && number < GRAPH_GPU_BASE + 80);
}

// The window class each kind of control has.
std::wstring expected_class(int number) {
    if (number >= 301 && number <= 308) return L"SotrixCanvas";
    if (number >= GRAPH_CPU_CORE_BASE && number < GRAPH_GPU_BASE + 80) return L"SotrixCanvas";
    if ((number >= 150 && number <= 156) || number == CANVAS_EVENTS_STATUS) return L"SotrixCanvas";
    if (number >= 182 && number <= 198) return L"ComboBox";
    if (number >= 217 && number <= 230) return L"SysListView32";
    if (number == LIST_SYSTEM_EVENTS || number == LIST_NETWORK_EVENTS || number == LIST_STORAGE_MONITOR)
        return L"SysListView32";
    if (number >= 144 && number <= 149) return L"Button";
    if (number == INPUT_PING_HOST || number == INPUT_EVENT_SEARCH) return L"Edit";
    if (number == SCROLL_PING_LIST) return L"SotrixScrollArea";
    return {};
}

struct Descendants {
    std::map<int, HWND> by_number;
};

BOOL CALLBACK collect_descendant(HWND hwnd, LPARAM parameter) {
    auto* found = reinterpret_cast<Descendants*>(parameter);
    const int id = GetDlgCtrlID(hwnd);
    // The parts inside common controls (a list's header, a combo box's field) carry small ids of their own.
    if (id >= 100 && !found->by_number.count(id)) found->by_number[id] = hwnd;
    return TRUE;
}

Descendants descendants_of(HWND window) {
    Descendants found;
    EnumChildWindows(window, collect_descendant, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct MainSearch {
    DWORD process_id;
    HWND found;
};

BOOL CALLBACK find_main(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<MainSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->process_id || class_of(hwnd) != L"SotrixWindow" || !IsWindowVisible(hwnd)) return TRUE;
    const Descendants inside = descendants_of(hwnd);
    const auto panel = inside.by_number.find(PANEL_MAIN);
    if (panel == inside.by_number.end() || class_of(panel->second) != WC_TABCONTROLW) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The page of the panel that shows.
HWND visible_page(HWND panel) {
    for (HWND child = GetWindow(panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (class_of(child) == L"SotrixPage" && IsWindowVisible(child)) return child;
    }
    return nullptr;
}

// The desktop's DPI for the programs started next (Wine reads it when a program starts). The value that
// was there is put back as soon as the program has started, and at the latest when the object ends, so
// that other programs of this Wine prefix see the DPI changed only for moments.
class LogPixels {
public:
    LogPixels() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return;
        DWORD value = 0;
        DWORD size = sizeof(value);
        DWORD type = 0;
        if (RegQueryValueExW(key, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD) {
            had_value_ = true;
            // 144 is what this test sets: a run that was killed before it put the value back left it.
            old_value_ = value == TEST_DPI ? 96 : value;
        }
        RegCloseKey(key);
    }
    ~LogPixels() { restore(); }
    LogPixels(const LogPixels&) = delete;
    LogPixels& operator=(const LogPixels&) = delete;

    bool set(DWORD dpi) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const bool done = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                         sizeof(dpi)) == ERROR_SUCCESS;
        RegCloseKey(key);
        changed_ = changed_ || done;
        return done;
    }

    void restore() {
        if (!changed_) return;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        if (had_value_) {
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_value_),
                           sizeof(old_value_));
        } else {
            RegDeleteValueW(key, L"LogPixels");
        }
        RegCloseKey(key);
        changed_ = false;
    }

private:
    bool had_value_ = false;
    DWORD old_value_ = 96;
    bool changed_ = false;
};

class MainWindowTabs : public ::testing::Test {
protected:
    void SetUp() override {
        if (!display_available()) GTEST_SKIP() << "no display for windows (start Xvfb and set DISPLAY)";
        // A program left by an earlier, interrupted run would take our starts for second instances.
        ASSERT_TRUE(no_instance_runs()) << "another Sotrix instance runs in this Wine prefix";

        ASSERT_TRUE(program_folder_make(L"sotrix-tabs-", folder_, exe_)) << GetLastError();
        // A settings file beside the program: the run is portable (a fresh data folder) and its settings code
        // chooses a ping interval that the build must keep.
        SettingsCodeValues values = settings_code_defaults();
        values.ping_interval_choice = SAVED_PING_INTERVAL_CHOICE;
        std::ofstream(folder_ / L"Sotrix.ini", std::ios::binary)
            << "[Sotrix]\r\nConfig=" << utf8_from_wide(settings_code_encode(values)) << "\r\n";
        shots_ = windows_path(SOTRIX_BINARY_DIR) + L"\\screenshots";
        CreateDirectoryW(shots_.c_str(), nullptr);
    }

    void TearDown() override {
        stop();
        dpi_.restore();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Starts the program with a tab word and returns its main window once it shows.
    HWND open_on(const std::wstring& word) {
        std::wstring command = L"\"" + exe_.wstring() + L"\" norepair " + word;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                                  &startup, &process_) != FALSE;
        if (!started_) return nullptr;
        const auto end = Clock::now() + std::chrono::seconds(60);
        while (Clock::now() < end && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            MainSearch search{process_.dwProcessId, nullptr};
            EnumWindows(find_main, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            Sleep(100);
        }
        return nullptr;
    }

    void stop() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        started_ = false;
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (instance_mutex_exists() && Clock::now() < end) Sleep(20);
    }

    // What every tab must show: its page selected, its controls there and visible, nothing covering another
    // control, the window on the screen. Then the picture, once the page has been drawn.
    void check_and_shoot(HWND main, int tab, int dpi, int settle_ms = 1200) {
        const std::wstring word = TAB_WORDS[tab];
        const Descendants inside = descendants_of(main);
        const HWND panel = inside.by_number.at(PANEL_MAIN);
        EXPECT_EQ(SendMessageW(panel, TCM_GETCURSEL, 0, 0), tab) << word;
        EXPECT_EQ(SendMessageW(panel, TCM_GETITEMCOUNT, 0, 0), 9) << word;
        const HWND page = visible_page(panel);
        ASSERT_NE(page, nullptr) << word;

        for (int other = 0; other < 9; ++other) {
            for (const int number : tab_controls(other)) {
                const auto found = inside.by_number.find(number);
                ASSERT_NE(found, inside.by_number.end()) << "control " << number << " of tab " << other;
                const std::wstring kind = expected_class(number);
                if (!kind.empty()) {
                    EXPECT_EQ(class_of(found->second), kind) << "control " << number;
                }
                const bool on_page = IsChild(page, found->second) != FALSE;
                EXPECT_EQ(on_page, other == tab) << "control " << number << " on the page of tab " << tab;
                if (other == tab) {
                    EXPECT_EQ(IsWindowVisible(found->second) != FALSE, !starts_hidden(number)) << number;
                }
            }
        }
        // One graph per processor, and none beyond.
        EXPECT_EQ(inside.by_number.count(GRAPH_CPU_CORE_BASE + processor_count()), 0u);

        // Neighbours may share a border; nothing may cover more of another control.
        const int tolerance = MulDiv(2, dpi, 96) + 1;
        std::vector<std::pair<int, RECT>> shown;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT place{};
            if (IsWindowVisible(child) && GetWindowRect(child, &place)) shown.push_back({GetDlgCtrlID(child), place});
        }
        for (size_t i = 0; i < shown.size(); ++i) {
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const RECT& a = shown[i].second;
                const RECT& b = shown[j].second;
                const LONG across = std::min(a.right, b.right) - std::max(a.left, b.left);
                const LONG down = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
                EXPECT_FALSE(across > tolerance && down > tolerance)
                    << word << " at " << dpi << " DPI: " << shown[i].first << " covers " << shown[j].first;
            }
        }
        RECT page_area{};
        GetWindowRect(page, &page_area);
        for (const auto& [number, place] : shown) {
            EXPECT_LE(place.right, page_area.right + 1) << word << ": " << number << " leaves the page";
            EXPECT_LE(place.bottom, page_area.bottom + 1) << word << ": " << number << " leaves the page";
        }
        RECT window{};
        GetWindowRect(main, &window);
        EXPECT_GE(window.left, 0) << word;
        EXPECT_GE(window.top, 0) << word;
        EXPECT_LE(window.right, GetSystemMetrics(SM_CXSCREEN)) << word;
        EXPECT_LE(window.bottom, GetSystemMetrics(SM_CYSCREEN)) << word;

        // Start-up has ended once the window answers; the samplers fill the lists within a second.
        Sleep(static_cast<DWORD>(settle_ms));
        SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(300);
        EXPECT_TRUE(screenshot_save(main, shots_ + L"\\tab_" + word + L"_" + std::to_wstring(dpi) + L".bmp")) << word;
    }

    std::filesystem::path folder_;
    std::filesystem::path exe_;
    std::wstring shots_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    LogPixels dpi_;
};

TEST_F(MainWindowTabs, EachTabOpensFromItsWordAt96Dpi) {
    ASSERT_TRUE(dpi_.set(96));
    for (int tab = 0; tab < 9; ++tab) {
        const HWND main = open_on(TAB_WORDS[tab]);
        ASSERT_NE(main, nullptr) << "no main window for \"" << TAB_WORDS[tab] << "\"";
        RECT client{};
        GetClientRect(main, &client);
        EXPECT_GE(client.right, 800) << "the smallest window is 800 units wide";
        if (tab == TAB_PING) {
            const Descendants inside = descendants_of(main);
            EXPECT_EQ(SendMessageW(inside.by_number.at(COMBO_PING_INTERVAL), CB_GETCURSEL, 0, 0),
                      SAVED_PING_INTERVAL_CHOICE)
                << "the ping interval of the settings file was replaced";
            EXPECT_EQ(SendMessageW(inside.by_number.at(COMBO_PING_INTERVAL), CB_GETCOUNT, 0, 0), 16);
            EXPECT_EQ(SendMessageW(inside.by_number.at(COMBO_PING_FONT_SIZE), CB_GETCOUNT, 0, 0), 20);
        }
        check_and_shoot(main, tab, 96);
        stop();
        if (HasFatalFailure()) return;
    }
}

TEST_F(MainWindowTabs, EachTabFitsTheScreenAt144Dpi) {
    // Under Wine no sampler redraws the Processors and Storage graphs (no performance counters) or the
    // Networks graphs (no adapter thread yet): those tabs are pictured as opened by their word, which draws
    // them. The other tabs are chosen with the arrow keys in the last run, as a user would.
    for (const int opened : {TAB_NETWORKS, TAB_STORAGE, TAB_PROCESSORS}) {
        ASSERT_TRUE(dpi_.set(TEST_DPI));
        const HWND main = open_on(TAB_WORDS[opened]);
        dpi_.restore();  // the running program keeps the DPI it started with
        ASSERT_NE(main, nullptr) << "no main window";
        RECT client{};
        GetClientRect(main, &client);
        EXPECT_GE(client.right, 1180) << "800 units at 144 DPI";
        const HWND panel = descendants_of(main).by_number.at(PANEL_MAIN);
        const std::vector<int> tabs = opened != TAB_PROCESSORS
                                          ? std::vector<int>{opened}
                                          : std::vector<int>{TAB_PROCESSORS, TAB_SYSTEM,   TAB_GRAPHICS, TAB_PING,
                                                             TAB_EVENTS,     TAB_SETTINGS, TAB_ABOUT};
        for (const int tab : tabs) {
            // Sent, not posted: when the call returns the tab control has changed the page.
            for (int presses = 0; presses < 9; ++presses) {
                const LRESULT shown = SendMessageW(panel, TCM_GETCURSEL, 0, 0);
                if (shown == tab) break;
                const WPARAM key = shown < tab ? VK_RIGHT : VK_LEFT;
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(panel, WM_KEYDOWN, key, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
                SendMessageTimeoutW(panel, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), SMTO_ABORTIFHUNG, 5000,
                                    &ignored);
            }
            // The System tab is redrawn every 2.5 s.
            check_and_shoot(main, tab, 144, tab == TAB_SYSTEM ? 2700 : 1200);
            if (HasFatalFailure()) return;
        }
        stop();
    }
}

}  // namespace
