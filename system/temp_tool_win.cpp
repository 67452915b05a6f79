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

// The connection. Only temp_tool_step and temp_tool_close touch it, under ConnectionLock (a leaf lock:
// the panel redraw and the history lock are taken after it is released).
struct Connection {
    HANDLE mapping = nullptr;
    const std::uint8_t* view = nullptr;
    std::size_t view_size = 0;  // the mapped region as Windows reports it: nothing beyond it is read
    std::string cpu_name;       // the name the tool published when we connected
};
std::mutex ConnectionLock;
Connection Tool;

std::atomic<int> RecheckRequest{0};
std::atomic<int> NotFoundSteps{24};
std::atomic<int> ReconnectSteps{4};

enum class Status { UNCHANGED, INITIALIZING, RUNNING, NOT_RUNNING };

std::span<const std::uint8_t> view_bytes() { return {Tool.view, Tool.view ? Tool.view_size : 0}; }

// Caller holds ConnectionLock.
void disconnect() {
    if (Tool.view) UnmapViewOfFile(Tool.view);
    if (Tool.mapping) CloseHandle(Tool.mapping);
    Tool = Connection{};
    SharedInts[TEMP_TOOL_STATE] = -ReconnectSteps.load();
    // Every entry, not only those of our processors: the tool may have filled more.
    temp_tool_temperatures_clear(CpuCoreTable);
}

bool tool_running() { return is_process_running(TEMP_TOOL_PROCESS_NAME) != 0; }

// Caller holds ConnectionLock.
Status connect() {
    if (!tool_running()) {
        SharedInts[TEMP_TOOL_STATE] = -NotFoundSteps.load();
        return Status::NOT_RUNNING;
    }
    if (Tool.mapping || Tool.view) disconnect();  // never two mappings at once
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_OPENING;
    Tool.mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, TEMP_TOOL_MAPPING_NAME);
    if (!Tool.mapping) {
        // The tool runs but has not published its memory yet: look again later, not only after F5.
        SharedInts[TEMP_TOOL_STATE] = -NotFoundSteps.load();
        return Status::UNCHANGED;
    }
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_MAPPING;
    Tool.view = static_cast<const std::uint8_t*>(MapViewOfFile(Tool.mapping, FILE_MAP_READ, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region{};
    if (!Tool.view || VirtualQuery(Tool.view, &region, sizeof region) == 0) {
        if (Tool.view) UnmapViewOfFile(Tool.view);
        CloseHandle(Tool.mapping);
        Tool = Connection{};
        SharedInts[TEMP_TOOL_STATE] = -NotFoundSteps.load();
        return Status::UNCHANGED;
    }
    Tool.view_size = region.RegionSize;
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_CONNECTED;
    const TempToolReading reading = temp_tool_reading_parse(view_bytes());
    Tool.cpu_name = reading.cpu_name;
    SharedInts[CPU_TEMP_LIMIT] = reading.limit;
    return Status::RUNNING;
}

// Caller holds ConnectionLock. Leaves the connection open while the tool's values keep coming.
Status read() {
    const TempToolReading reading = temp_tool_reading_parse(view_bytes());
    if (!Tool.view || reading.cpu_name != Tool.cpu_name) {
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

void temp_tool_recheck_request() { RecheckRequest.store(1, std::memory_order_release); }

void temp_tool_set_intervals(int not_found_steps, int reconnect_steps) {
    NotFoundSteps = not_found_steps < 1 ? 1 : not_found_steps;
    ReconnectSteps = reconnect_steps < 1 ? 1 : reconnect_steps;
}

void temp_tool_step() {
    Status status = Status::UNCHANGED;
    bool disconnected = false;
    bool was_connected = false;
    {
        std::lock_guard guard(ConnectionLock);
        int state = SharedInts[TEMP_TOOL_STATE].load();
        if (RecheckRequest.exchange(0, std::memory_order_acquire) != 0 && state != TEMP_TOOL_CONNECTED) {
            state = TEMP_TOOL_LOOK;
            SharedInts[TEMP_TOOL_STATE] = state;
        }
        if (state < 0) {
            SharedInts[TEMP_TOOL_STATE] = state + 1;
        } else if (state == TEMP_TOOL_CONNECTED) {
            was_connected = true;
            status = read();
            disconnected = SharedInts[TEMP_TOOL_STATE].load() != TEMP_TOOL_CONNECTED;
        } else {
            // 0, and 1 or 2 should a step have been cut short: look (again).
            status = connect();
        }
    }
    status_show(status, disconnected);
    // A point in every step that began connected, also when this read disconnected (it then reads 0).
    if (was_connected) history_point_add();
}

void temp_tool_close() {
    std::lock_guard guard(ConnectionLock);
    if (Tool.mapping || Tool.view) disconnect();
    SharedInts[TEMP_TOOL_STATE] = TEMP_TOOL_LOOK;
}
