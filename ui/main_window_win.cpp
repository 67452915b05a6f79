// Builds the main window: its size, title and panel, the layout values, the nine tabs in order with their
// pages, the fonts of the later pages, and the tab that a command word opens.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/shared_state.h"
#include "core/version.h"
#include "runtime/date.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/window/window.h"
#include "ui/dark_mode.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"
#include "ui/main_layout_choices.h"
#include "ui/main_window.h"
#include "ui/main_window_pages.h"
#include "ui/settings_page.h"

namespace {

constexpr wchar_t TITLE_SUFFIX[] = L" - System Monitor";

constexpr const wchar_t* TAB_WORDS[] = {L"System", L"Processors", L"Graphics", L"Storage", L"Networks",
                                        L"Ping",   L"Events",     L"Settings", L"About"};

std::wstring main_title() {
    const std::wstring version = version_text();
    std::wstring title = std::wstring(program_name()) + L" " + version + TITLE_SUFFIX;
    if (version.find(L"beta") != std::wstring::npos || version.find(L"alpha") != std::wstring::npos) {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        const Date built = length > 0 && length < MAX_PATH ? file_modified_date(path) : -1;
        if (built >= 0) title += date_format(L" - Compiled  %yyyy-%mm-%dd  %hh:%ii:%ss ", built);
    }
    return title;
}

int tab_add(int tab) { return panel_tab_add(PANEL_MAIN, tab_caption(tab, shown(TAB_WORDS[tab]))); }

void layout_store(const PanelLayout& layout) {
    SharedInts[PANEL_HEIGHT] = layout.panel_height;
    SharedInts[PANEL_WIDTH] = layout.panel_width;
    SharedFloats[SETTINGS_SCALE] = layout.settings_scale;
    SharedFloats[TABS_SCALE] = layout.tabs_scale;
    SharedInts[HISTORY_LENGTH] = layout.history_length;
    SharedInts[SIDE_COLUMN_WIDTH] = layout.side_column_width;
    SharedInts[LEFT_MARGIN] = layout.left_margin;
    SharedInts[GRAPH_COLUMN_WIDTH] = layout.graph_column_width;
    SharedInts[SIDE_COLUMN_X] = layout.side_column_x;
}

std::wstring first_letter(std::wstring_view word) { return word.empty() ? std::wstring() : std::wstring(1, word[0]); }

// Choices that belong to pages built later but that the workers read from the start.
void later_choices_settle(bool settings_given) {
    shared_text_set(DISK_RW_LETTERS, first_letter(shown(L"Reading")) + first_letter(shown(L"Writing")));
    shared_text_set(NET_SR_LETTERS, first_letter(shown(L"Sending")) + first_letter(shown(L"Receiving")));
    const ChoiceItems idle = long_idle_items(shared_text(LONG_IDLE_CHOICES), DEFAULT_LONG_IDLE, time_words());
    SharedInts[LONG_IDLE_CHOICE] = built_choice(SharedInts[LONG_IDLE_CHOICE].load(), settings_given, idle.default_index,
                                                static_cast<int>(idle.items.size()));
}

// The tab whose caption is a word of the command line is selected and the window shown on it.
void command_line_tab_open() {
    std::vector<std::wstring> captions;
    const int count = panel_tab_count(PANEL_MAIN);
    for (int tab = 0; tab < count; ++tab) captions.push_back(panel_tab_caption(PANEL_MAIN, tab));
    const int tab = tab_from_command_line(captions, shared_text(COMMAND_LINE));
    if (tab < 0) return;
    panel_tab_select(PANEL_MAIN, tab);
    window_show(WIN_MAIN, WINDOW_SHOW);
    graphs_refresh(tab, REFRESH_FORCED, REFRESH_EVERY_CALL);
}

}  // namespace

void main_window_build(int x, int y) {
    (void)x;  // the window is centred
    (void)y;
    if (window_exists(WIN_MAIN)) return;

    DesktopFacts desktop;
    desktop.monitor_width = GetSystemMetrics(SM_CXSCREEN);
    desktop.monitor_height = GetSystemMetrics(SM_CYSCREEN);
    desktop.dpi = gui_dpi();
    desktop.caption_height = SharedInts[CAPTION_HEIGHT].load();
    RECT outer{0, 0, 100, 100};
    if (AdjustWindowRectEx(&outer, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, 0)) {
        desktop.frame_width = std::max(static_cast<int>(outer.right - outer.left) - 100, 0);
        desktop.frame_height = std::max(static_cast<int>(outer.bottom - outer.top) - 100 - desktop.caption_height, 0);
    }
    const MainWindowSize size = main_window_size(shared_text(COMMAND_LINE), desktop, SharedInts[MAIN_WIDTH_STEP].load(),
                                                 SharedInts[MAIN_HEIGHT_STEP].load());
    if (!window_open(WIN_MAIN, 0, 0, size.width, size.height, L"",
                     WINDOW_POPUP | WINDOW_CAPTION | WINDOW_SYSTEM_MENU | WINDOW_INVISIBLE | WINDOW_CENTERED)) {
        return;
    }
    if (SharedInts[DARK_MODE].load() == 1) dark_title_bar_apply(WIN_MAIN, 0);
    shared_text_set(MAIN_TITLE, main_title());
    window_title_set(WIN_MAIN, shared_text(MAIN_TITLE));
    window_color_set(WIN_MAIN, 0x000000);  // shows as a one-pixel frame around the panel
    const int panel_width = size.width - 2;
    panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 1, 1, panel_width, size.height - 2);

    graphs_device_scale_set(static_cast<float>(gui_dpi()) / 96.0f);
    font_load(FONT_GRAPH, L"", 9, 0);

    MainBuild build;
    build.window_width = size.width;
    build.panel_main_width = panel_width;
    build.settings_given = SharedInts[SETTINGS_FILE_PRESENT].load() == 1;

    tab_add(TAB_SYSTEM);
    int page_width = 0;
    int page_height = 0;
    if (!panel_page_size(PANEL_MAIN, &page_width, &page_height)) {
        page_width = panel_width - 4;
        page_height = size.height - 26;
    }
    build.layout = panel_layout(page_width, page_height, gui_dpi());
    build.rows = system_rows(build.layout);
    layout_store(build.layout);
    system_page_build(build);

    tab_add(TAB_PROCESSORS);
    processors_page_build(build);
    tab_add(TAB_GRAPHICS);
    graphics_page_build(build);
    tab_add(TAB_STORAGE);
    storage_page_build(build);
    tab_add(TAB_NETWORKS);
    networks_page_build(build);

    const int ping_points = SharedInts[PING_FONT_SIZE].load();
    font_load(FONT_PING_LIST, L"Lucida Console", ping_points >= 9 && ping_points <= 28 ? ping_points : 9,
              FONT_STYLE_HIGH_QUALITY);
    tab_add(TAB_PING);
    ping_page_build(build);
    tab_add(TAB_EVENTS);
    events_page_build(build);

    font_load(FONT_SETTINGS, L"Segoe UI", settings_font_points(build.layout.settings_scale), FONT_STYLE_HIGH_QUALITY);
    font_load(FONT_ABOUT, L"Tahoma", about_font_points(build.layout.settings_scale), FONT_STYLE_HIGH_QUALITY);
    gui_default_font_set(FONT_SETTINGS);
    tab_add(TAB_SETTINGS);
    settings_page_build(build);
    gui_default_font_set(FONT_ABOUT);
    tab_add(TAB_ABOUT);
    about_page_build(build);
    gui_default_font_set(FONT_SETTINGS);

    later_choices_settle(build.settings_given);
    command_line_tab_open();
}
