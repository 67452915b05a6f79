// The About tab's data-file panel: its lines from the data-file table, and the serialised redraw.
#include "core/data_file_panel.h"

#include <atomic>
#include <mutex>

#include "core/data_folder.h"
#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/event/gui_event.h"
#include "runtime/text.h"

namespace {

constexpr int PANEL_FILE_ENTRIES = 7;  // entries 0..6 are files; 7 holds the refresh stamp

// Serialises whole redraws: two threads must not draw on the canvas, or write the entries' date texts, at once.
// A leaf lock: only DataFilesLock is taken inside it, and the drawer never waits for the main thread.
std::mutex panel_lock;
std::atomic<DataFilePanelDrawer> panel_drawer{nullptr};

std::wstring extension_field(const std::wstring& file_name) {
    const std::vector<std::wstring> fields = text_split(file_name, L'.');
    return text_upper_ascii(right_justify(fields.size() > 1 ? fields[1] : std::wstring(), 4));
}

int32_t ping_host_count() {
    std::lock_guard guard(PingListMutex);
    return static_cast<int32_t>(PingHostList.size());
}

// Whether an unforced redraw is due at `now`: the event loop asks at every turn, so this takes only the leaf lock.
bool panel_due(int64_t force, Date now) {
    if (force == 1) return true;
    std::lock_guard guard(DataFilesLock);
    return DataFiles[DATA_FILE_PANEL].stamp < now;
}

}  // namespace

std::vector<DataFilePanelLine> data_file_panel_lines(const std::vector<DataFilePanelEntry>& entries, bool portable,
                                                     int32_t mac_vendor_count) {
    std::vector<DataFilePanelLine> lines;
    int flagged = 0;
    for (const DataFilePanelEntry& entry : entries) {
        if (entry.flag != 0) ++flagged;
    }
    std::wstring keys = L"[F5]=" + tr(L"Refresh");
    // With only the program itself flagged there is no data folder worth opening.
    if (flagged != 1) keys += L"  [F6]=" + tr(L"Open Data Folder");
    lines.push_back({0, keys});
    for (size_t j = 0; j < entries.size(); ++j) {
        const DataFilePanelEntry& entry = entries[j];
        std::wstring date_text;
        if (entry.flag != 0) {
            date_text = entry.modified >= 0 ? date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss ", entry.modified)
                                            : std::wstring(L"========== ======== ");
        }
        if (entry.flag == 0 || date_text == L"1970-01-01 00:00:00 ") date_text = L"---------- -------- ";
        std::wstring suffix;
        if (j == DATA_FILE_SETTINGS && portable) suffix = L" [" + tr(L"Portable Mode") + L"]";
        if (j == DATA_FILE_MAC_VENDORS) suffix = L" (" + std::to_wstring(mac_vendor_count) + L")";
        std::wstring line = extension_field(entry.file_name) + tr(L" File") + L": " + date_text;
        line += entry.flag != 0 ? entry.folder + entry.file_name + suffix : entry.status_text;
        lines.push_back({static_cast<int>(j) + 2, line});
    }
    return lines;
}

void data_file_panel_set_drawer(DataFilePanelDrawer drawer) { panel_drawer = drawer; }

void data_folder_panel_refresh_request() {
    bool open_already = false;
    {
        std::lock_guard guard(DataFilesLock);
        open_already = DataFiles[DATA_FILE_PANEL].stamp == 0;
        DataFiles[DATA_FILE_PANEL].stamp = 0;
    }
    // An empty event wakes the event loop, whose turn serves the request: one per request still open.
    if (!open_already) gui_event_post(GuiEvent{});
}

void data_folder_panel_draw(int64_t force) { data_folder_panel_draw_at(force, date_now()); }

void data_folder_panel_draw_at(int64_t force, Date now) {
    if (!panel_due(force, now)) return;
    // Read before the panel's lock: the ping monitor calls in while it holds the ping list's lock.
    const int32_t ping_hosts = ping_host_count();
    std::lock_guard panel_guard(panel_lock);
    std::vector<DataFilePanelEntry> entries(PANEL_FILE_ENTRIES);
    {
        std::lock_guard guard(DataFilesLock);
        DataFile& refresh = DataFiles[DATA_FILE_PANEL];
        if (force != 1 && refresh.stamp >= now) return;
        refresh.stamp = now + 5;
        if (SharedInts[QUIT_FLAG].load() != 0) return;
        DataFiles[DATA_FILE_PROGRAM].flag = 1;
        DataFiles[DATA_FILE_SETTINGS].flag = SharedInts[SETTINGS_FILE_PRESENT].load();
        DataFiles[DATA_FILE_LOG].flag = SharedInts[OPT_LOG_FILE].load();
        DataFiles[DATA_FILE_PING].flag = ping_hosts;
        DataFiles[DATA_FILE_SAGA].flag = SharedInts[OPT_RESTORE_SESSION].load();
        DataFiles[DATA_FILE_MAC_VENDORS].flag = SharedInts[MAC_VENDOR_COUNT].load();
        for (int j = 0; j < PANEL_FILE_ENTRIES; ++j) {
            entries[j].flag = DataFiles[j].flag;
            entries[j].file_name = DataFiles[j].file_name;
            entries[j].folder = DataFiles[j].folder;
            entries[j].status_text = DataFiles[j].status_text;
        }
    }
    for (DataFilePanelEntry& entry : entries) {
        if (entry.flag != 0) entry.modified = file_modified_date(entry.folder + entry.file_name);
    }
    const std::vector<DataFilePanelLine> lines =
        data_file_panel_lines(entries, shared_text(DATA_SUBFOLDER).empty(), SharedInts[MAC_VENDOR_COUNT].load());
    {
        std::lock_guard guard(DataFilesLock);
        for (int j = 0; j < PANEL_FILE_ENTRIES; ++j) {
            const std::wstring& text = lines[j + 1].text;
            const size_t colon = text.find(L": ");
            DataFiles[j].date_text = colon == std::wstring::npos ? std::wstring() : text.substr(colon + 2, 20);
        }
    }
    const DataFilePanelDrawer drawer = panel_drawer.load();
    (drawer ? drawer : data_file_panel_canvas_draw)(lines);
}
