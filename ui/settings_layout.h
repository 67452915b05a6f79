// The Settings page's layout as arithmetic in 96-DPI units: the 43 rows, the cursor that places them in
// three columns, and the places of each row's controls.
#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "ui/main_layout.h"

enum SettingsRowType : int {
    ROW_COMBO = 0,         // label and combo box
    ROW_CHECK = 1,         // check box
    ROW_CHECK_NARROW = 2,  // check box leaving room at its right
    ROW_CHECK_THREE = 3,   // three-state check box
    ROW_FRAME = 4,         // section frame around the rows above
    ROW_SLIDER = 5,        // slider sharing the next row's line
    ROW_BUTTON_LEFT = 6,   // buttons sharing a line
    ROW_BUTTON_RIGHT = 7,
    ROW_BUTTON_WIDE = 8,
    ROW_CAPTION = 9,
    ROW_SIZE_BOX = 10,  // the window-size preview with its two sliders and text
    ROW_POSITIONS_BOX = 11,
    ROW_LOG_BUFFER_BOX = 12,
    ROW_LOG_FOLDER_TEXT = 13,
    ROW_FOLDER_BUTTON = 14,
};

// One row of the page: the control (-1: a new number), English label and tooltip (a frame's tooltip is its
// width), and the column x (0 keeps the column) and y (-1 starts the column at the page top, 0 keeps it).
struct SettingsRow {
    SettingsRowType type;
    int control;
    std::wstring_view label;
    std::wstring_view tooltip;
    int column = 0;
    int y = 0;
};

// The rows in their order.
std::span<const SettingsRow> settings_rows();

// The row cursor while the page is built.
struct SettingsCursor {
    int column_x = 0;
    int row_y = -1;
    int frame_top = 0;
    int page_top = 0;
};

// What a row is laid out on: the scale and the sizes it centres the page in.
struct SettingsPageFrame {
    float scale = 1.0f;
    int panel_main_width = 800;  // width of PANEL_MAIN
    int panel_height = 520;      // PANEL_HEIGHT
    int preview_width = 0;       // size of the window-size picture once it exists (0: the row makes it)
    int preview_height = 0;
};

// The places of a row's controls; empty rectangles for the parts a row does not have.
struct SettingsRowPlaces {
    UnitRect label;    // type 0 label; type 11 the labels;
    UnitRect control;  // the row's own control (type 10: the picture)
    UnitRect extra;    // type 0: unused; type 10: width slider; type 11: values
    UnitRect extra2;   // type 10: height slider
    UnitRect extra3;   // type 10: info text
};

// Places the rows in their order, as the page is built: row_placed(row, places) for each row, where the row
// moves the cursor for its column and y and then past itself; right after row 35 ("Set") chooser_placed gets the
// log-folder chooser's container at the cursor, under the "Log Folder" caption, and the cursor goes below it and
// its buttons; after row 41 ("Export Settings") the cursor goes down 10 units more, a gap before "Shutdown".
// Returns the cursor after the last row.
SettingsCursor settings_page_place(const SettingsPageFrame& frame,
                                   const std::function<void(const SettingsRow&, const SettingsRowPlaces&)>& row_placed,
                                   const std::function<void(const UnitRect&)>& chooser_placed);
