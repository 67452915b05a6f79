// File modification dates for the data-file panel, and its drawing, in the native build (no canvas there).
#include "core/data_file_panel.h"

#include <sys/stat.h>
#include <time.h>

#include "runtime/file_io.h"

Date file_modified_date(const std::wstring& path) {
    struct stat info {};
    if (::stat(file_path(path).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
    struct tm local {};
    const time_t seconds = info.st_mtime;
    if (!localtime_r(&seconds, &local)) return -1;
    DateParts parts;
    parts.year = local.tm_year + 1900;
    parts.month = local.tm_mon + 1;
    parts.day = local.tm_mday;
    parts.hour = local.tm_hour;
    parts.minute = local.tm_min;
    parts.second = local.tm_sec;
    return date_from_parts(parts);
}

bool data_file_panel_canvas_draw(const std::vector<DataFilePanelLine>&) { return false; }
