// The outside temperature tool: found by its process, read through its named read-only shared memory.
#include "system/temp_tool_win.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <span>
#include <string>

#include "core/data_file_panel.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/system_query.h"
#include "runtime/date.h"
#include "system/system_monitor.h"
#include "system/temp_tool_record.h"
#include "ui/graph_control.h"

namespace {

// The connection. Only temp_tool_step and temp_tool_close touch it, under connection_lock (a leaf lock:
// the panel redraw and the history lock are taken after it is released).
struct Connection {
    HANDLE mapping = nullptr;
    const std::uint8_t* view = nullptr;
    std::size_t view_size = 0;  // the mapped region as Windows reports it: nothing beyond it is read
    std::string cpu_name;       // the name the tool published when we connected
};
std::mutex connection_lock;
Connection connection;

std::atomic<int> recheck_request{0};
std::atomic<int> not_found_interval_steps{24};
std::atomic<int> reconnect_interval_steps{4};

enum class Status { UNCHANGED, INITIALIZING, RUNNING, NOT_RUNNING };

std::span<const std::uint8_t> view_bytes() { return {connection.view, connection.view ? connection.view_size : 0}; }

// Caller holds connection_lock.
void disconnect() {
    if (connection.view) UnmapViewOfFile(connection.view);
    if (connection.mapping) CloseHandle(connection.mapping);
    connection = Connection{};
    SharedInts[TEMP_TOOL_STATE] = -reconnect_interval_steps.load();
    // Every entry, not only those of our processors: the tool may have filled more.
    temp_tool_temperatures_clear(CpuCoreTable);
}

bool tool_running() { return is_process_running(TEMP_TOOL_PROCESS_NAME) != 0; }

// Caller holds connection_lock.
Status cpu_temp_tool_connect() {
    if (!tool_running()) {
        SharedInts[TEMP_TOOL_STATE] = -not_found_interval_steps.load();
        return Status::NOT_RUNNING;
    }
    if (connection.mapping || connection.view) disconnect();  // never two mappings at once
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_OPENING;
    connection.mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, TEMP_TOOL_MAPPING_NAME);
    if (!connection.mapping) {
        // The tool runs but has not published its memory yet: look again later, not only after F5.
        SharedInts[TEMP_TOOL_STATE] = -not_found_interval_steps.load();
        return Status::UNCHANGED;
    }
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_MAPPING;
    connection.view = static_cast<const std::uint8_t*>(MapViewOfFile(connection.mapping, FILE_MAP_READ, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region{};
    if (!connection.view || VirtualQuery(connection.view, &region, sizeof region) == 0) {
        if (connection.view) UnmapViewOfFile(connection.view);
        CloseHandle(connection.mapping);
        connection = Connection{};
        SharedInts[TEMP_TOOL_STATE] = -not_found_interval_steps.load();
        return Status::UNCHANGED;
    }
    connection.view_size = region.RegionSize;
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_CONNECTED;
    const TempToolReading reading = temp_tool_reading_parse(view_bytes());
    connection.cpu_name = reading.cpu_name;
    SharedInts[CPU_TEMP_LIMIT] = reading.limit;
    return Status::RUNNING;
}

// Caller holds connection_lock. Leaves the connection open while the tool's values keep coming.
Status cpu_temp_tool_read() {
    const TempToolReading reading = temp_tool_reading_parse(view_bytes());
    if (!connection.view || reading.cpu_name != connection.cpu_name) {
        const Status status = tool_running() ? Status::INITIALIZING : Status::NOT_RUNNING;
        disconnect();
        return status;
    }
    const int changed = temp_tool_temperatures_apply(reading, CpuCoreTable);
    if (changed < 0) {
        disconnect();
        return Status::INITIALIZING;
    }
    if (changed == 0 && !tool_running()) {
        disconnect();
        return Status::NOT_RUNNING;
    }
    return Status::UNCHANGED;
}

void status_show(Status status, bool disconnected) {
    if (status != Status::UNCHANGED) {
        std::wstring text;
        if (status == Status::INITIALIZING) text = tr(L"Initializing");
        if (status == Status::RUNNING) text = tr(L"Core Temp.exe is running");
        if (status == Status::NOT_RUNNING) {
            text = tr(L"Core Temp.exe not running [F5]=Recheck [F7]=Open https://www.alcpu.com/CoreTemp/");
        }
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_TEMP_TOOL].status_text = text;
    }
    if (status != Status::UNCHANGED || disconnected) data_folder_panel_draw(1);
}

void history_point_add() {
    const float degrees = CpuCoreTable[0].temperature.load();
    const HistoryPoint point{temperature_color(temperature_floor(degrees)), date_now(), temperature_rounded(degrees)};
    std::lock_guard guard(HistoryMutex);
    temperature_history_append(CpuCoreTable[0].history, point, SharedInts[HISTORY_LENGTH].load());
}

}  // namespace

void temp_tool_recheck_request() { recheck_request.store(1, std::memory_order_release); }

void temp_tool_set_intervals(int not_found_steps, int reconnect_steps) {
    not_found_interval_steps = not_found_steps < 1 ? 1 : not_found_steps;
    reconnect_interval_steps = reconnect_steps < 1 ? 1 : reconnect_steps;
}

void temp_tool_step() {
    Status status = Status::UNCHANGED;
    bool disconnected = false;
    bool was_connected = false;
    {
        std::lock_guard guard(connection_lock);
        int state = SharedInts[TEMP_TOOL_STATE].load();
        if (recheck_request.exchange(0, std::memory_order_acquire) != 0 && state != TEMP_TOOL_CONNECTED) {
            state = TEMP_TOOL_LOOK;
            SharedInts[TEMP_TOOL_STATE] = state;
        }
        if (state < 0) {
            SharedInts[TEMP_TOOL_STATE] = state + 1;
        } else if (state == TEMP_TOOL_CONNECTED) {
            was_connected = true;
            status = cpu_temp_tool_read();
            disconnected = SharedInts[TEMP_TOOL_STATE].load() != TEMP_TOOL_CONNECTED;
        } else {
            // 0, and 1 or 2 should a step have been cut short: look (again).
            status = cpu_temp_tool_connect();
        }
    }
    status_show(status, disconnected);
    // A point in every step that began connected, also when this read disconnected (it then reads 0).
    if (was_connected) history_point_add();
}

void temp_tool_close() {
    std::lock_guard guard(connection_lock);
    if (connection.mapping || connection.view) disconnect();
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_LOOK;
}
