// The Settings tab: its 43 rows in three columns, the log-folder chooser, the two combo boxes and the
// window-size box, laid out by ui/settings_layout.h.
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>

#include "core/control_numbers.h"
#include "core/log_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/version.h"
#include "runtime/gui/button/button.h"
#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "ui/main_layout_choices.h"
#include "ui/main_window_pages.h"
#include "ui/resize_preview.h"
#include "ui/settings_layout.h"
#include "ui/settings_page.h"

namespace {

constexpr const wchar_t* TITLE_ITEMS[] = {L"Show Drives (Default)",
                                          L"Show Physical Memory",
                                          L"Show Pagefile Memory",
                                          L"Show CPU Status",
                                          L"Show Battery %",
                                          L"Show Uptime",
                                          L"Show Idle",
                                          L"Show Drives Read/Write",
                                          L"Show Network Sending/Receiving"};

GuiParent on_page() { return gui_in_tab(PANEL_MAIN, TAB_SETTINGS); }

std::wstring log_folder() {
    std::lock_guard guard(DataFilesLock);
    return DataFiles[DATA_FILE_LOG].folder;
}

void tooltip_set(int number, std::wstring_view tooltip) {
    if (number > 0 && !tooltip.empty()) control_tooltip_set(number, shown(tooltip));
}

void size_box_create(const SettingsRowPlaces& places) {
    if (!control_exists(PICTURE_RESIZE_PREVIEW)) {
        const GuiParent page = on_page();
        picture_create(PICTURE_RESIZE_PREVIEW, page, places.control.x, places.control.y, places.control.width,
                       places.control.height);
        track_bar_create(TRACK_WINDOW_WIDTH, page, places.extra.x, places.extra.y, places.extra.width,
                         places.extra.height, 0, MAIN_SIZE_STEPS, TRACK_BAR_TICKS);
        track_bar_create(TRACK_WINDOW_HEIGHT, page, places.extra2.x, places.extra2.y, places.extra2.width,
                         places.extra2.height, 0, MAIN_SIZE_STEPS, TRACK_BAR_TICKS | TRACK_BAR_VERTICAL);
        text_label_create(TEXT_RESIZE_INFO, page, places.extra3.x, places.extra3.y, places.extra3.width,
                          places.extra3.height, L"", TEXT_CENTER);
    }
    shared_text_set(RESIZE_INFO_TEXT, resize_info_limits(desktop_facts(), shown(L"Max Size"), shown(L"Min Size")));
    control_text_set(TEXT_RESIZE_INFO, shared_text(RESIZE_INFO_TEXT));
}

void row_make(const SettingsRow& row, const SettingsRowPlaces& places) {
    const GuiParent page = on_page();
    const UnitRect& at = places.control;
    switch (row.type) {
        case ROW_COMBO:
            text_label_create(GUI_ANY, page, places.label.x, places.label.y, places.label.width, places.label.height,
                              shown(row.label) + L":", TEXT_RIGHT);
            combo_box_create(row.control, page, at.x, at.y, at.width, at.height, 0);
            tooltip_set(row.control, row.tooltip);
            break;
        case ROW_CHECK:
        case ROW_CHECK_NARROW:
        case ROW_CHECK_THREE:
            check_box_create(row.control, page, at.x, at.y, at.width, at.height, shown(row.label),
                             row.type == ROW_CHECK_THREE ? CHECK_BOX_THREE_STATE : 0);
            tooltip_set(row.control, row.tooltip);
            break;
        case ROW_FRAME: text_frame_create(GUI_ANY, page, at.x, at.y, at.width, at.height, shown(row.label)); break;
        case ROW_SLIDER:
            track_bar_create(row.control, page, at.x, at.y, at.width, at.height, 1, 9, TRACK_BAR_TICKS);
            break;
        case ROW_BUTTON_LEFT:
        case ROW_BUTTON_RIGHT:
        case ROW_BUTTON_WIDE:
        case ROW_FOLDER_BUTTON: {
            std::wstring caption = shown(row.label);
            if (row.control == BUTTON_SHUTDOWN || row.control == BUTTON_RESTART)
                caption += L" " + std::wstring(program_name());
            button_create(row.control, page, at.x, at.y, at.width, at.height, caption, 0);
            tooltip_set(row.control, row.tooltip);
            break;
        }
        case ROW_CAPTION:
            text_label_create(row.control, page, at.x, at.y, at.width, at.height, shown(row.label), TEXT_CENTER);
            break;
        case ROW_SIZE_BOX: size_box_create(places); break;
        case ROW_POSITIONS_BOX:
            text_label_create(TEXT_POSITIONS_BOX, page, at.x, at.y, at.width, at.height, L"", TEXT_BORDER);
            text_label_create(TEXT_POSITIONS_LABELS, page, places.label.x, places.label.y, places.label.width,
                              places.label.height, L"", TEXT_RIGHT);
            text_label_create(TEXT_POSITIONS_VALUES, page, places.extra.x, places.extra.y, places.extra.width,
                              places.extra.height, L"", 0);
            break;
        case ROW_LOG_BUFFER_BOX:
            text_label_create(TEXT_LOG_BUFFER, page, at.x, at.y, at.width, at.height, log_buffer_status_text(),
                              TEXT_BORDER | TEXT_CENTER);
            break;
        case ROW_LOG_FOLDER_TEXT:
            text_label_create(TEXT_LOG_FOLDER, page, at.x, at.y, at.width, at.height, log_folder(),
                              TEXT_BORDER | TEXT_CENTER_VERTICAL);
            break;
    }
}

void combos_fill() {
    combo_box_clear(COMBO_TITLE_TEXT);
    for (const wchar_t* item : TITLE_ITEMS) combo_box_item_add(COMBO_TITLE_TEXT, -1, shown(item));
    combo_box_select(COMBO_TITLE_TEXT, 0);
    const ChoiceItems idle = long_idle_items(shared_text(LONG_IDLE_CHOICES), DEFAULT_LONG_IDLE, time_words());
    combo_box_clear(COMBO_LONG_IDLE);
    for (const std::wstring& item : idle.items) combo_box_item_add(COMBO_LONG_IDLE, -1, item);
    combo_box_select(COMBO_LONG_IDLE, item_index_checked(idle.default_index, static_cast<int>(idle.items.size()), 0));
}

}  // namespace

DesktopFacts desktop_facts() {
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
    return desktop;
}

void log_folder_chooser_close() {
    if (control_exists(TREE_FOLDER_CHOOSER)) control_free(TREE_FOLDER_CHOOSER);
    if (!control_exists(BUTTON_OPEN_EXPLORER) && control_exists(CONTAINER_FOLDER_CHOOSER)) {
        const float scale = SharedFloats[SETTINGS_SCALE].load();
        button_create(BUTTON_OPEN_EXPLORER, gui_in_container(CONTAINER_FOLDER_CHOOSER), 0, 0, scaled_units(scale, 304),
                      scaled_units(scale, 160), shown(L"Open File Explorer"), 0);
        control_font_set(BUTTON_OPEN_EXPLORER, FONT_SETTINGS);
    }
    for (const int number :
         {TEXT_LOG_FOLDER, BUTTON_SET_LOG_FOLDER, BUTTON_DEFAULT_LOG_FOLDER, BUTTON_PORTABLE_LOG_FOLDER}) {
        control_enable(number, false);
    }
    control_enable(BUTTON_OPEN_EXPLORER, SharedInts[OPT_LOG_FILE].load() != 0);
}

void settings_page_build(const MainBuild& build) {
    SettingsPageFrame frame;
    frame.scale = build.layout.settings_scale;
    frame.panel_main_width = build.panel_main_width;
    frame.panel_height = build.layout.panel_height;
    // The window-size box is made once: a page built again keeps its picture's size.
    if (control_exists(PICTURE_RESIZE_PREVIEW)) {
        int x = 0, y = 0;
        control_geometry(PICTURE_RESIZE_PREVIEW, &x, &y, &frame.preview_width, &frame.preview_height);
    }
    const SettingsCursor cursor = settings_page_place(frame, row_make, [](const UnitRect& chooser) {
        container_create(CONTAINER_FOLDER_CHOOSER, on_page(), chooser.x, chooser.y, chooser.width, chooser.height, 0);
        log_folder_chooser_close();
    });
    SharedInts[SETTINGS_COLUMN_X] = cursor.column_x;
    SharedInts[SETTINGS_ROW_Y] = cursor.row_y;
    SharedInts[SETTINGS_FRAME_TOP] = cursor.frame_top;
    SharedInts[SETTINGS_PAGE_TOP] = cursor.page_top;
    control_text_set(TEXT_POSITIONS_LABELS, shown(L"Main") + L":\r\n" + shown(L"Mini") + L":");
    combos_fill();
}
