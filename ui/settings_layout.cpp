// The Settings page's rows and the arithmetic that places them.
#include "ui/settings_layout.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "core/control_numbers.h"

namespace {

// Rows whose control is made new, under no number of its own: the section frames and the log folder's caption.
constexpr int FRAME_SETTINGS_SECTION = -1;
constexpr int LABEL_LOG_FOLDER = -1;
constexpr int PAGE_WIDTH = 800;
constexpr int PAGE_HEIGHT = 520;
// The rows, counted from 1, after which the log-folder chooser goes in and after which the page leaves a gap.
constexpr int CHOOSER_AFTER_ROW = 35;
constexpr int GAP_AFTER_ROW = 41;
constexpr int GAP = 10;  // unscaled

constexpr std::array<SettingsRow, 43> ROWS = {{
    {ROW_CHECK_NARROW, CHECK_ALWAYS_ON_TOP, L"Enable Always on Top", L"Keeps mini-monitor on top of other windows", 4,
     -1},
    {ROW_CHECK_NARROW, CHECK_START_MINIMIZED, L"Start Minimized", L"Automatically minimize or hide on startup"},
    {ROW_CHECK, CHECK_POPUP_ON_DRIVES, L"Pop-Up if minimized on drive detection events",
     L"Opens window if drive is found or lost"},
    {ROW_CHECK, CHECK_SOUND, L"Enable Sound", L"Beep Beep"},
    {ROW_SLIDER, TRACK_TRANSPARENCY, L"", L""},
    {ROW_CHECK_NARROW, CHECK_TRANSPARENT, L"Transparent Window", L"Makes windows see through"},
    {ROW_CHECK, CHECK_BORDERLESS, L"Borderless Window", L"Hides titlebar and switches to a compact mode"},
    {ROW_CHECK, CHECK_REMEMBER_POSITIONS, L"Remember Window Positions", L"Restores x,y screen locations between runs"},
    {ROW_CHECK, CHECK_RESTORE_SESSION, L"Restore previous session events on startup",
     L"Restores history of events from the last run"},
    {ROW_COMBO, COMBO_LONG_IDLE, L"Long Idle", L"Amount of idle time to wait before recording to System Events"},
    {ROW_COMBO, COMBO_TITLE_TEXT, L"Title Bar Text", L"Mini Window's Titlebar Display"},
    {ROW_FRAME, FRAME_SETTINGS_SECTION, L"Program Settings", L"310"},
    {ROW_POSITIONS_BOX, TEXT_POSITIONS_BOX, L"", L""},
    {ROW_CHECK, CHECK_TRAY_ICON, L"Always show tray icon", L"If no icon, restart program to reopen window"},
    {ROW_CHECK_THREE, CHECK_DISK_ACTIVITY_ICON, L"Enable drive LED SysTray (Uses extra CPU)",
     L"Animated Icon. Black=Idle Red=Write Blue=Read"},
    {ROW_CHECK, CHECK_TRAY_SINGLE_CLICK, L"Single click on tray icon to open", L"Allow single click to open Sotrix"},
    {ROW_CHECK, CHECK_CLOSE_TO_TRAY, L"Close button closes program to tray", L"Prevents normal closing of mini-Window"},
    {ROW_CHECK, CHECK_MINIMIZE_TO_TRAY, L"Minimize button minimizes program to tray",
     L"Hide window to systray when minimized"},
    {ROW_FRAME, FRAME_SETTINGS_SECTION, L"System Tray", L"310"},
    {ROW_CHECK, CHECK_EXTENDED_HISTORY, L"Enable Extended History",
     L"Increases system and drive history data screen, uses more cpu and memory"},
    {ROW_CHECK, CHECK_REALTIME_MEMORY, L"Real-Time Memory Monitor", L"Faster memory updates, uses more cpu"},
    {ROW_CHECK, CHECK_REALTIME_NETWORK, L"Real-Time Network Monitor", L"Fast network updates, uses more cpu"},
    {ROW_CHECK, CHECK_PING_TIMELINE_FULL, L"Comprehensive Ping Timeline", L"Plot all Ping time results into timeline"},
    {ROW_FRAME, FRAME_SETTINGS_SECTION, L"Optimization", L"310"},
    {ROW_CHECK_NARROW, CHECK_LOG_FILE, L"Enable Log File", L"Keep records of drive history in a monthly log file", 320,
     -1},
    {ROW_CHECK, CHECK_LOG_BUFFERING, L"Enable Extended Log File Buffering",
     L"Only enable if system is stable, increases buffer from 100 to 9999"},
    {ROW_CHECK, CHECK_LOG_SYSTEM_EVENTS, L"Save System Events to Log",
     L"Save system events such as battery activity and long idle"},
    {ROW_CHECK, CHECK_LOG_DRIVE_SPACE, L"Save Drive Space Changes to Log", L"Save drive activity changes"},
    {ROW_CHECK, CHECK_LOG_STORAGE_EVENTS, L"Save Storage Monitor Events to Log",
     L"Save storage events such as found and lost drives"},
    {ROW_CHECK, CHECK_LOG_NETWORK_EVENTS, L"Save Network Events to Log",
     L"Save networking events such as connections, speed, errors"},
    {ROW_BUTTON_LEFT, BUTTON_PORTABLE_LOG_FOLDER, L"Portable",
     L"Changes log folder to same location as running program"},
    {ROW_BUTTON_RIGHT, BUTTON_DEFAULT_LOG_FOLDER, L"Default", L"Reverts log folder back to factory settings"},
    {ROW_CAPTION, LABEL_LOG_FOLDER, L"Log Folder", L""},
    {ROW_LOG_FOLDER_TEXT, TEXT_LOG_FOLDER, L"", L""},
    {ROW_FOLDER_BUTTON, BUTTON_SET_LOG_FOLDER, L"Set", L"Set new log folder location"},
    {ROW_FRAME, FRAME_SETTINGS_SECTION, L"Data Log", L"310"},
    {ROW_LOG_BUFFER_BOX, TEXT_LOG_BUFFER, L"", L""},
    {ROW_SIZE_BOX, PICTURE_RESIZE_PREVIEW, L"", L""},
    {ROW_FRAME, FRAME_SETTINGS_SECTION, L"Resize Window", L"310"},
    {ROW_BUTTON_WIDE, BUTTON_IMPORT_SETTINGS, L"Import Settings", L"", 640, -1},
    {ROW_BUTTON_WIDE, BUTTON_EXPORT_SETTINGS, L"Export Settings", L""},
    {ROW_BUTTON_WIDE, BUTTON_SHUTDOWN, L"Shutdown", L""},
    {ROW_BUTTON_WIDE, BUTTON_RESTART, L"Restart", L""},
}};

int number_of(std::wstring_view text) {
    std::string narrow;
    for (const wchar_t c : text) narrow.push_back(c >= L'0' && c <= L'9' ? static_cast<char>(c) : 'x');
    int value = 0;
    std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    return value;
}

// Moves the cursor for the row's column and y, places its controls and moves the cursor past it.
SettingsRowPlaces row_place(const SettingsRow& row, const SettingsPageFrame& frame, SettingsCursor& cursor) {
    const float s = frame.scale;
    auto u = [s](double n) { return scaled_units(s, n); };
    if (row.column != 0) {
        cursor.column_x = static_cast<int>(
            std::lround(row.column * static_cast<double>(s) + (frame.panel_main_width - s * PAGE_WIDTH) / 2.0));
    }
    if (row.y != 0) cursor.row_y = row.y;
    if (cursor.row_y == -1) {
        cursor.page_top = static_cast<int>(std::lround((frame.panel_height - s * PAGE_HEIGHT) / 2.0));
        cursor.row_y = cursor.page_top + 2;
        cursor.frame_top = cursor.row_y;
        cursor.row_y += u(18);
    }
    const int x = cursor.column_x;
    int y = cursor.row_y;
    SettingsRowPlaces places;
    int advance = 0;
    switch (row.type) {
        case ROW_COMBO:
            y += u(8);
            cursor.row_y = y;
            places.label = {x + 5, y, u(100), u(20)};
            places.control = {x + u(105), y - 5, u(190), u(22)};
            advance = u(22);
            break;
        case ROW_CHECK:
        case ROW_CHECK_THREE:
            places.control = {x + u(10), y, u(295), u(20)};
            advance = u(21);
            break;
        case ROW_CHECK_NARROW:
            places.control = {x + u(10), y, u(150), u(20)};
            advance = u(21);
            break;
        case ROW_FRAME:
            places.control = {x, cursor.frame_top, u(number_of(row.tooltip)), y - cursor.frame_top + 8};
            cursor.frame_top = y + 10;
            advance = u(30);
            break;
        case ROW_SLIDER: places.control = {x + u(160), y, u(146), 20}; break;
        case ROW_BUTTON_LEFT: places.control = {x + u(2), y, u(100), u(20)}; break;
        case ROW_BUTTON_RIGHT: places.control = {x + u(208), y, u(100), u(20)}; break;
        case ROW_BUTTON_WIDE:
            places.control = {x, y, u(140), u(20)};
            advance = u(22);
            break;
        case ROW_CAPTION:
            places.control = {x, y + u(3), u(310), u(16)};
            advance = u(21);
            break;
        case ROW_SIZE_BOX: {
            const int width = frame.preview_width > 0 ? frame.preview_width : u(192);
            const int height = frame.preview_height > 0 ? frame.preview_height : u(108);
            places.control = {x + u(10), y - u(4), width, height};
            places.extra = {x + u(10), y + height - 4, width + 5, 20};
            places.extra2 = {x + u(10) + width, y - u(10), 20, height + 10};
            places.extra3 = {places.extra2.right() + 1, y - u(6), u(88), u(128)};
            advance = height + places.extra.height;
            break;
        }
        case ROW_POSITIONS_BOX:
            places.control = {x + u(180), cursor.page_top + 4, u(125), u(34)};
            places.label = {x + u(184), cursor.page_top + 6, u(40), u(31)};
            places.extra = {x + u(227), cursor.page_top + 6, u(74), u(31)};
            break;
        case ROW_LOG_BUFFER_BOX: places.control = {x + u(180), cursor.page_top + 4, u(125), u(20)}; break;
        case ROW_LOG_FOLDER_TEXT: places.control = {x + u(3), y + u(162), u(262), u(20)}; break;
        case ROW_FOLDER_BUTTON: places.control = {x + u(5) + u(262), y + u(162), u(41), u(20)}; break;
    }
    cursor.row_y += advance;
    return places;
}

// The log-folder chooser's container after its row: at the cursor, and the cursor below it and its buttons.
UnitRect chooser_place(const SettingsPageFrame& frame, SettingsCursor& cursor) {
    const UnitRect place{cursor.column_x + scaled_units(frame.scale, 3), cursor.row_y, scaled_units(frame.scale, 304),
                         scaled_units(frame.scale, 160)};
    cursor.row_y += place.height + scaled_units(frame.scale, 20);
    return place;
}

}  // namespace

std::span<const SettingsRow> settings_rows() { return ROWS; }

SettingsCursor settings_page_place(const SettingsPageFrame& frame,
                                   const std::function<void(const SettingsRow&, const SettingsRowPlaces&)>& row_placed,
                                   const std::function<void(const UnitRect&)>& chooser_placed) {
    SettingsCursor cursor;
    int number = 0;
    for (const SettingsRow& row : ROWS) {
        ++number;
        row_placed(row, row_place(row, frame, cursor));
        if (number == CHOOSER_AFTER_ROW) chooser_placed(chooser_place(frame, cursor));
        if (number == GAP_AFTER_ROW) cursor.row_y += GAP;
    }
    return cursor;
}
