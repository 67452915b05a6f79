// The real Sotrix.exe's main window under Wine: each tab opened by its word on the command line, its
// controls found by their numbers, nothing covering anything else, the window on the screen, the ping
// interval that the settings file chose kept, and one screenshot per tab at 96 and at 144 DPI, kept in
// the build tree's "screenshots" folder (tab_<word>_96.bmp, tab_<word>_144.bmp), that must show the page
// drawn: the graphs with their grid, the lists with their texts.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

constexpr int SAVED_PING_INTERVAL_CHOICE = 3;  // "4 Seconds", not the default minute
constexpr DWORD TEST_DPI = 144;
constexpr const wchar_t* TAB_WORDS[] = {L"system", L"processors", L"graphics", L"storage", L"networks",
                                        L"ping",   L"events",     L"settings", L"about"};

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
            for (int slot = 0; slot < GRAPH_GPU_SLOTS; ++slot) {
                for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j)
                    controls.push_back(GRAPH_GPU_BASE + GPU_SLOT_STEP * slot + j);
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
        case TAB_SETTINGS: {
            std::vector<int> controls = {COMBO_LONG_IDLE,
                                         COMBO_TITLE_TEXT,
                                         TRACK_TRANSPARENCY,
                                         TEXT_POSITIONS_BOX,
                                         TEXT_POSITIONS_LABELS,
                                         TEXT_POSITIONS_VALUES,
                                         BUTTON_SET_LOG_FOLDER,
                                         BUTTON_DEFAULT_LOG_FOLDER,
                                         BUTTON_PORTABLE_LOG_FOLDER,
                                         TEXT_LOG_FOLDER,
                                         CONTAINER_FOLDER_CHOOSER,
                                         TEXT_LOG_BUFFER,
                                         PICTURE_RESIZE_PREVIEW,
                                         TRACK_WINDOW_WIDTH,
                                         TRACK_WINDOW_HEIGHT,
                                         TEXT_RESIZE_INFO,
                                         BUTTON_IMPORT_SETTINGS,
                                         BUTTON_EXPORT_SETTINGS,
                                         BUTTON_SHUTDOWN,
                                         BUTTON_RESTART};
            for (int box = CHECK_ALWAYS_ON_TOP; box <= CHECK_BORDERLESS; ++box) controls.push_back(box);
            return controls;
        }
        case TAB_ABOUT: return {TEXT_ABOUT, LINK_WEBSITE, TEXT_ABOUT_SUPPORT, LINK_DONATION, CANVAS_DATA_FILES};
        default: return {};
    }
}

// Controls that start hidden: the search results and their type filter, and every GPU slot but the first.
bool starts_hidden(int number) {
    return number == COMBO_EVENT_SEARCH_TYPE || number == LIST_EVENT_SEARCH ||
           (number >= GRAPH_GPU_BASE + GPU_SLOT_STEP && number < GRAPH_GPU_BASE + GPU_GRAPH_SPAN);
}

// Controls drawn over each other on purpose: the positions box holds its labels and values, and the size
// box's two sliders meet at a corner.
bool meant_to_overlap(int a, int b) {
    const auto pair = [a, b](int x, int y) { return (a == x && b == y) || (a == y && b == x); };
    return pair(TEXT_POSITIONS_BOX, TEXT_POSITIONS_LABELS) || pair(TEXT_POSITIONS_BOX, TEXT_POSITIONS_VALUES) ||
           pair(TRACK_WINDOW_WIDTH, TRACK_WINDOW_HEIGHT) ||
           pair(INPUT_EVENT_SEARCH, CANVAS_EVENT_SEARCH_CUE);  // the cue stands in the empty search field
}

// The window class each kind of control has, by name; empty for the kinds not checked here.
std::wstring expected_class(int number) {
    static const std::map<int, const wchar_t*> classes = [] {
        std::map<int, const wchar_t*> table;
        for (const int graph : {GRAPH_PHYSICAL_MEMORY, GRAPH_PAGEFILE, GRAPH_CPU_SPEED, GRAPH_DISK_READ, GRAPH_NET_SEND,
                                GRAPH_NET_RECEIVE, GRAPH_CPU_AVERAGE, GRAPH_DISK_WRITE}) {
            table[graph] = L"SotrixCanvas";
        }
        for (const int canvas : {CANVAS_DATA_FILES, CANVAS_PING_LIST, CANVAS_PING_STATUS, CANVAS_EVENTS_STATUS,
                                 CANVAS_GPU_TEMPERATURE, CANVAS_CPU_TEMPERATURE, CANVAS_SYSTEM_HEADER}) {
            table[canvas] = L"SotrixCanvas";
        }
        for (const int combo :
             {COMBO_DRIVE_FILTER, COMBO_BYTE_UNIT, COMBO_GPU, COMBO_NETWORK_FILTER, COMBO_NETWORK_UNIT, COMBO_PING_MODE,
              COMBO_PING_INTERVAL, COMBO_PING_SLOW, COMBO_PING_FONT_SIZE, COMBO_EVENT_LOG, COMBO_EVENT_DAYS,
              COMBO_EVENT_SEARCH_MODE, COMBO_EVENT_FONT_SIZE, COMBO_EVENT_TYPE, COMBO_EVENT_SEARCH_TYPE}) {
            table[combo] = L"ComboBox";
        }
        for (const int list : {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR, LIST_BATTERY,
                               LIST_PROCESSORS, LIST_CPU_BASE_SPEED, LIST_CPU_SPEED, LIST_GPU_ID, LIST_NETWORK_ID,
                               LIST_PHYSICAL_MEMORY, LIST_PAGEFILE_MEMORY, LIST_DRIVE_ID, LIST_NETWORK_ADAPTERS,
                               LIST_GPU_INFO, LIST_EVENTS, LIST_EVENT_SEARCH, LIST_EVENT_DETAILS}) {
            table[list] = WC_LISTVIEWW;
        }
        for (const int button : {BUTTON_PING_ADD, BUTTON_PING_DELETE, BUTTON_PING_NOW, BUTTON_PING_RESET,
                                 BUTTON_EVENT_SEARCH, BUTTON_EVENT_CLEAR}) {
            table[button] = L"Button";
        }
        for (int box = CHECK_ALWAYS_ON_TOP; box <= CHECK_BORDERLESS; ++box) table[box] = L"Button";
        for (const int combo : {COMBO_LONG_IDLE, COMBO_TITLE_TEXT}) table[combo] = L"ComboBox";
        for (const int track : {TRACK_TRANSPARENCY, TRACK_WINDOW_WIDTH, TRACK_WINDOW_HEIGHT})
            table[track] = TRACKBAR_CLASSW;
        for (const int button : {BUTTON_SET_LOG_FOLDER, BUTTON_DEFAULT_LOG_FOLDER, BUTTON_PORTABLE_LOG_FOLDER,
                                 BUTTON_IMPORT_SETTINGS, BUTTON_EXPORT_SETTINGS, BUTTON_SHUTDOWN, BUTTON_RESTART}) {
            table[button] = L"Button";
        }
        table[PICTURE_RESIZE_PREVIEW] = L"Static";
        table[INPUT_PING_HOST] = L"Edit";
        table[INPUT_EVENT_SEARCH] = L"Edit";
        table[SCROLL_PING_LIST] = L"SotrixScrollArea";
        return table;
    }();
    const auto found = classes.find(number);
    if (found != classes.end()) return found->second;
    // One graph per processor and six per graphics slot.
    if (number >= GRAPH_CPU_CORE_BASE && number < GRAPH_CPU_CORE_BASE + CORE_GRAPH_SPAN) return L"SotrixCanvas";
    if (number >= GRAPH_GPU_BASE && number < GRAPH_GPU_BASE + GPU_GRAPH_SPAN &&
        (number - GRAPH_GPU_BASE) % GPU_SLOT_STEP < GPU_GRAPHS_PER_SLOT)
        return L"SotrixCanvas";
    return {};
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

// What a picture of the main window shows wrong on a page, or nothing: the window is not of one colour,
// every visible graph has its grid (lines of the grid colours across it), and every visible list with rows
// has their text (pixels darker than its background below its header).
std::string page_drawing_faults(const Picture& picture, HWND page) {
    std::string faults;
    const ColourCount window = most_common_colour(picture, picture.area);
    if (window.total == 0 || window.count > window.total * 95 / 100) faults += " the window is all one colour;";
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const int number = GetDlgCtrlID(child);
        const std::wstring kind = class_of(child);
        const bool graph =
            kind == L"SotrixCanvas" && ((number >= GRAPH_PHYSICAL_MEMORY && number <= GRAPH_DISK_WRITE) ||
                                        (number >= GRAPH_CPU_CORE_BASE && number < GRAPH_GPU_BASE + GPU_GRAPH_SPAN));
        if (graph) {
            const RECT inside = client_on_screen(child);
            if (inside.right - inside.left < 8 || inside.bottom - inside.top < 8) continue;
            // The graph's outer and inner grid colours; labels and samples may cover half of a line.
            const GridLines lines = grid_lines(picture, inside, {0x808080, 0xE6E6E6}, 0.5);
            if (lines.columns < 1 || lines.rows < 2) {
                faults += " graph " + std::to_string(number) + " has no grid (" + std::to_string(lines.columns) +
                          " columns, " + std::to_string(lines.rows) + " rows);";
            }
        } else if (number == PICTURE_RESIZE_PREVIEW) {
            // The size preview: a desktop of 16:9 in its blue, and the white window on it.
            const RECT inside = client_on_screen(child);
            const LONG width = inside.right - inside.left;
            const LONG height = inside.bottom - inside.top;
            if (std::abs(width * 108 - height * 192) > 2 * 192) {
                faults += " the size preview is " + std::to_string(width) + " x " + std::to_string(height) + ";";
            }
            size_t blue = 0;
            size_t white = 0;
            for (LONG y = inside.top; y < inside.bottom; ++y) {
                for (LONG x = inside.left; x < inside.right; ++x) {
                    const uint32_t pixel = picture.at(x - picture.area.left, y - picture.area.top);
                    blue += pixel == 0x1B8BE0 ? 1 : 0;
                    white += pixel == 0xFFFFFF ? 1 : 0;
                }
            }
            const auto area = static_cast<size_t>(std::max(width * height, 1L));
            if (blue < area / 100 || white < area / 10) {
                faults += " the size preview shows " + std::to_string(blue) + " desktop and " + std::to_string(white) +
                          " window pixels of " + std::to_string(area) + ";";
            }
        } else if (kind == WC_LISTVIEWW) {
            if (SendMessageW(child, LVM_GETITEMCOUNT, 0, 0) <= 0) continue;
            RECT rows = client_on_screen(child, 2);
            const HWND header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0));
            RECT header_place{};
            if (header && IsWindowVisible(header) && GetWindowRect(header, &header_place))
                rows.top = std::max(rows.top, header_place.bottom);
            if (rows.bottom - rows.top < 4) continue;
            const ColourCount background = most_common_colour(picture, rows);
            if (contrast_pixels(picture, rows, background.colour) < 20)
                faults += " list " + std::to_string(number) + " shows no text;";
        }
    }
    return faults;
}

class MainWindowTabs : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-tabs-"));
        // A settings file beside the program: the run is portable (a fresh data folder) and its settings code
        // chooses a ping interval that the build must keep.
        SettingsCodeValues values = settings_code_defaults();
        values.ping_interval_choice = SAVED_PING_INTERVAL_CHOICE;
        file_write(folder_ / L"Sotrix.ini", settings_file_text(values));
        shots_ = screenshots_folder();
    }

    void TearDown() override {
        ProgramTest::TearDown();
        dpi_.restore();
    }

    // Starts the program with a tab word and returns its main window once it shows.
    HWND open_on(const std::wstring& word) { return wait_for_window(start(L"norepair " + word), WindowKind::MAIN); }

    void stop() {
        stop_all();
        programs_.clear();
    }

    // What every tab must show: its page selected, its controls there and visible, nothing covering another
    // control, the window on the screen. Then the picture, once the page has been drawn.
    void check_and_shoot(HWND main, int tab, int dpi) {
        const std::wstring word = TAB_WORDS[tab];
        const std::map<int, HWND> inside = descendants_of(main);
        const HWND panel = inside.at(PANEL_MAIN);
        EXPECT_EQ(SendMessageW(panel, TCM_GETCURSEL, 0, 0), tab) << word;
        EXPECT_EQ(SendMessageW(panel, TCM_GETITEMCOUNT, 0, 0), 9) << word;
        const HWND page = visible_page(panel);
        ASSERT_NE(page, nullptr) << word;

        for (int other = 0; other < 9; ++other) {
            for (const int number : tab_controls(other)) {
                const auto found = inside.find(number);
                ASSERT_NE(found, inside.end()) << "control " << number << " of tab " << other;
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
        EXPECT_EQ(inside.count(GRAPH_CPU_CORE_BASE + processor_count()), 0u);

        // Neighbours may share a border; nothing may cover more of another control.
        const int tolerance = MulDiv(2, dpi, 96) + 1;
        std::vector<std::pair<int, RECT>> shown;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT place{};
            // A frame encloses the rows of its section; the log folder's caption stands centred between its two
            // buttons.
            const bool frame = class_of(child) == L"Button" && (GetWindowLongW(child, GWL_STYLE) & 0xF) == BS_GROUPBOX;
            wchar_t text[32] = {};
            GetWindowTextW(child, text, 32);
            const bool caption = class_of(child) == L"Static" && std::wstring(text) == L"Log Folder";
            if (!frame && !caption && IsWindowVisible(child) && GetWindowRect(child, &place))
                shown.push_back({GetDlgCtrlID(child), place});
        }
        for (size_t i = 0; i < shown.size(); ++i) {
            for (size_t j = i + 1; j < shown.size(); ++j) {
                if (meant_to_overlap(shown[i].first, shown[j].first)) continue;
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

        // The picture once the page has been drawn: start-up has ended once the window answers, and the samplers
        // fill the lists within a second or two.
        SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Picture picture;
        std::string faults;
        const bool drawn = wait_until(15000, [&] {
            picture = window_picture(main);
            faults = page_drawing_faults(picture, page);
            return faults.empty();
        });
        EXPECT_TRUE(picture_save(picture, shots_ + L"\\tab_" + word + L"_" + std::to_wstring(dpi) + L".bmp")) << word;
        EXPECT_TRUE(drawn) << word << " at " << dpi << " DPI:" << faults;
    }

    std::wstring shots_;
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
            const std::map<int, HWND> inside = descendants_of(main);
            EXPECT_EQ(SendMessageW(inside.at(COMBO_PING_INTERVAL), CB_GETCURSEL, 0, 0), SAVED_PING_INTERVAL_CHOICE)
                << "the ping interval of the settings file was replaced";
            EXPECT_EQ(SendMessageW(inside.at(COMBO_PING_INTERVAL), CB_GETCOUNT, 0, 0), 16);
            EXPECT_EQ(SendMessageW(inside.at(COMBO_PING_FONT_SIZE), CB_GETCOUNT, 0, 0), 20);
        }
        check_and_shoot(main, tab, 96);
        stop();
        if (HasFatalFailure()) return;
    }
}

TEST_F(MainWindowTabs, ASelectedTabIsDrawnWhateverTheSamplersDo) {
    // Under Wine the performance counters do not work ("norepair" on top), so no sampler draws the Processors
    // and Storage graphs: only the redraw of the selected tab gives them their grid.
    ASSERT_TRUE(dpi_.set(96));
    const HWND main = open_on(TAB_WORDS[TAB_SYSTEM]);
    dpi_.restore();
    ASSERT_NE(main, nullptr) << "no main window";
    const HWND panel = descendants_of(main).at(PANEL_MAIN);
    for (const int tab : {TAB_PROCESSORS, TAB_STORAGE}) {
        tab_choose(panel, tab);
        check_and_shoot(main, tab, 96);
        if (HasFatalFailure()) return;
    }
}

TEST_F(MainWindowTabs, EachTabFitsTheScreenAt144Dpi) {
    // Under Wine no sampler redraws the Processors and Storage graphs (no performance counters), and the
    // Networks graphs only come with the adapter thread's reads: those tabs are pictured as opened by their word,
    // which draws them at once. The other tabs are chosen with the arrow keys in the last run, as a user would.
    for (const int opened : {TAB_NETWORKS, TAB_STORAGE, TAB_PROCESSORS}) {
        ASSERT_TRUE(dpi_.set(TEST_DPI));
        const HWND main = open_on(TAB_WORDS[opened]);
        dpi_.restore();  // the running program keeps the DPI it started with
        ASSERT_NE(main, nullptr) << "no main window";
        RECT client{};
        GetClientRect(main, &client);
        EXPECT_GE(client.right, 1180) << "800 units at 144 DPI";
        const HWND panel = descendants_of(main).at(PANEL_MAIN);
        const std::vector<int> tabs = opened != TAB_PROCESSORS
                                          ? std::vector<int>{opened}
                                          : std::vector<int>{TAB_PROCESSORS, TAB_SYSTEM,   TAB_GRAPHICS, TAB_PING,
                                                             TAB_EVENTS,     TAB_SETTINGS, TAB_ABOUT};
        for (const int tab : tabs) {
            tab_choose(panel, tab);
            check_and_shoot(main, tab, 144);
            if (HasFatalFailure()) return;
        }
        stop();
    }
}

}  // namespace
