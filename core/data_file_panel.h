// The About tab's data-file panel: which files the program keeps, their dates and folders.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/date.h"

constexpr int32_t PANEL_TEXT_COLOR = 0x606060;
constexpr int32_t PANEL_BACK_COLOR = 0xFFFFFF;

// One text line of the panel: drawn at x = 1 and y = line height x row + 10 (row 0 the key line, row 2 onwards
// one file each).
struct DataFilePanelLine {
    int row = 0;
    std::wstring text;
    int32_t color = PANEL_TEXT_COLOR;
};

// What the panel shows of one entry of DataFiles (0 to 6).
struct DataFilePanelEntry {
    int32_t flag = 0;
    std::wstring file_name;
    std::wstring folder;
    std::wstring status_text;
    Date modified = -1;  // local modification date; -1 when the file is missing or is a folder
};

// The panel's lines from the entries: the key line, then one line per entry. Pure.
std::vector<DataFilePanelLine> data_file_panel_lines(const std::vector<DataFilePanelEntry>& entries, bool portable,
                                                     int32_t mac_vendor_count);

// The local modification date of a file; -1 when it is missing or is a folder.
Date file_modified_date(const std::wstring& path);

// Draws the lines on CANVAS_DATA_FILES; false when the canvas does not exist or cannot be drawn on. Installed by the
// windowing layer; it must not wait for the main thread (it is called by workers under the panel's lock).
using DataFilePanelDrawer = bool (*)(const std::vector<DataFilePanelLine>& lines);
void data_file_panel_set_drawer(DataFilePanelDrawer drawer);
// The drawer used while none is set: on Windows it draws on CANVAS_DATA_FILES in FONT_FIXED_SMALL, grey on white;
// natively there is nothing to draw on and it returns false.
bool data_file_panel_canvas_draw(const std::vector<DataFilePanelLine>& lines);

// Redraws the panel: force 1 at once, otherwise only when the refresh stamp (entry DATA_FILE_PANEL) has passed. Updates
// the entries' flags and date texts. Any thread; two redraws never run at once.
void data_folder_panel_draw(int64_t force);
// Asks for a redraw at the next unforced data_folder_panel_draw (the event loop's), without drawing now: for
// threads that may hold other locks (a log flush, a store saved by a worker). Wakes the event loop with an
// empty event.
void data_folder_panel_refresh_request();

// The same at a given moment (tests).
void data_folder_panel_draw_at(int64_t force, Date now);
