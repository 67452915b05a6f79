// File modification dates for the data-file panel, and its drawing on the About tab's canvas.
#include "core/data_file_panel.h"

#include <windows.h>

#include "core/control_numbers.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/font/font.h"

Date file_modified_date(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return -1;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time)) return -1;
    DateParts parts;
    parts.year = time.wYear;
    parts.month = time.wMonth;
    parts.day = time.wDay;
    parts.hour = time.wHour;
    parts.minute = time.wMinute;
    parts.second = time.wSecond;
    return date_from_parts(parts);
}

bool data_file_panel_canvas_draw(const std::vector<DataFilePanelLine>& lines) {
    CanvasDraw draw(CANVAS_DATA_FILES);
    if (!draw) return false;
    const HDC dc = draw.dc();
    const HBRUSH white = CreateSolidBrush(PANEL_BACK_COLOR);
    const RECT all{0, 0, draw.width(), draw.height()};
    FillRect(dc, &all, white);
    DeleteObject(white);
    const HGDIOBJ old_font = font_exists(FONT_FIXED_SMALL)
                                 ? SelectObject(dc, reinterpret_cast<HGDIOBJ>(font_handle(FONT_FIXED_SMALL)))
                                 : nullptr;
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, PANEL_BACK_COLOR);
    for (const DataFilePanelLine& line : lines) {
        SIZE size{};
        GetTextExtentPoint32W(dc, line.text.c_str(), static_cast<int>(line.text.size()), &size);
        if (size.cy <= 0) {
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            size.cy = metrics.tmHeight;
        }
        SetTextColor(dc, static_cast<COLORREF>(line.color));
        TextOutW(dc, 1, size.cy * line.row + 10, line.text.c_str(), static_cast<int>(line.text.size()));
    }
    if (old_font) SelectObject(dc, old_font);
    return true;
}
