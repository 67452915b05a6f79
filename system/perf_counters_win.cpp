// The sampler's performance counters: paths from localized names, the three queries, the name repair.
#include "system/perf_counters_win.h"

#include <objbase.h>
#include <shellapi.h>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/self_start_line.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/shell_folders.h"
#include "core/startup_facts.h"
#include "runtime/date.h"
#include "runtime/worker_timer.h"
#include "system/cpu_readout.h"
#include "system/perf_counter_paths.h"
#include "system/system_libraries_win.h"
#include "ui/compact_window.h"
#include "ui/graph_control.h"
#include "ui/status_title.h"

namespace {

constexpr DWORD FORMAT_RATE = PDH_FMT_DOUBLE | PDH_FMT_NOCAP100;
constexpr int REPAIR_POLLS = 240;  // of 250 ms: a minute at most
constexpr int REPAIR_POLL_MS = 250;

bool pdh_on() { return SharedQuads[PDH_LIBRARY].load() != 0; }

void pdh_off() { SharedQuads[PDH_LIBRARY] = 0; }

double counter_value(PDH_HCOUNTER counter, DWORD format) {
    if (!counter) return 0.0;
    PDH_FMT_COUNTERVALUE value{};
    if (pdh_functions().formatted_value(counter, format, nullptr, &value) != ERROR_SUCCESS) return 0.0;
    return value.doubleValue;
}

bool add_counter(PDH_HQUERY query, const std::wstring& path, PDH_HCOUNTER& counter) {
    counter = nullptr;
    return pdh_functions().add_counter(query, path.c_str(), 0, &counter) == ERROR_SUCCESS;
}

std::wstring current_folder() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return {};
    std::wstring folder(length, L'\0');
    const DWORD written = GetCurrentDirectoryW(length, folder.data());
    folder.resize(written < length ? written : 0);
    return folder;
}

// Missing counter names are rebuilt by Windows' own tool, elevated; then the program starts again with
// "norepair" and this instance ends. Returns when the program is quitting meanwhile, or when the new
// instance could not be started (the status title says so).
void perf_names_repair() {
    shared_text_set(WORKING_FOLDER, current_folder());
    const std::wstring system_folder = shell_folder_path(CSIDL_SYSTEM_FOLDER);
    if (!system_folder.empty()) SetCurrentDirectoryW(system_folder.c_str());
    // The shell's verbs (elevation among them) want COM on the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, L"RunAS", L"Lodctr", L"/R", L"", SW_HIDE);
    cell_value_set(CELL_CPU, L" " + tr_padded(L"Repairing     "));
    cell_draw(CELL_CPU, CELL_DRAW_IF_CHANGED);
    const WorkerTimerOwner polls = worker_timer_make(REPAIR_POLL_MS);
    for (int poll = 0; poll < REPAIR_POLLS && perf_counter_name(PERF_PROCESSOR).empty(); ++poll) {
        if (SharedInts[QUIT_FLAG].load() > 0 || worker_timer_wait(polls.get()) == WORKER_QUIT) break;
    }
    const std::wstring working_folder = shared_text(WORKING_FOLDER);
    if (!working_folder.empty()) SetCurrentDirectoryW(working_folder.c_str());
    // The user is leaving anyway: no restart, the normal exit runs.
    if (SharedInts[QUIT_FLAG].load() > 0) {
        if (SUCCEEDED(com)) CoUninitialize();
        return;
    }
    const bool started = program_start_again(program_path(), false, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) CoUninitialize();
    if (!started) {
        // Without a new instance this one goes on, with the counters it has.
        status_title_set(restart_failed_text(), STATUS_SECONDS);
        event_line_add(LIST_SYSTEM_EVENTS, restart_failed_text());
        return;
    }
    // No exit sequence and no saving, but the log's waiting lines are written like at every exit.
    log_buffer_flush(LOG_FLUSH_FINAL);
    ExitProcess(0);
}

}  // namespace

std::wstring perf_counter_name(unsigned index) {
    const auto lookup = pdh_functions().name_by_index;
    if (!lookup) return {};
    wchar_t buffer[256] = {};
    DWORD size = 256;
    if (lookup(nullptr, index, buffer, &size) != ERROR_SUCCESS) return {};
    // The size counts characters and may include the terminator; the name ends at the first zero anyway.
    const DWORD length = size < 256 ? size : 255;
    std::wstring name(buffer, length);
    const std::size_t end = name.find(L'\0');
    if (end != std::wstring::npos) name.resize(end);
    return name;
}

void perf_counters_open(PerfCounters& counters) {
    if (!pdh_on()) return;
    if (pdh_functions().open_query(nullptr, 1, &counters.cpu_query) != ERROR_SUCCESS) {
        counters.cpu_query = nullptr;
        event_line_add(LIST_SYSTEM_EVENTS, L"PdhOpenQuery Test Failed");
        pdh_off();
        return;
    }
    if (perf_repair_wanted(perf_counter_name(PERF_PROCESSOR), shared_text(COMMAND_LINE))) perf_names_repair();
}

void perf_counters_add(PerfCounters& counters, int core_count) {
    const PdhFunctions& pdh = pdh_functions();
    if (pdh_on()) {
        const std::wstring processor = perf_counter_name(PERF_PROCESSOR);
        const std::wstring processor_time = perf_counter_name(PERF_PROCESSOR_TIME);
        counters.core_counters.reserve(static_cast<std::size_t>(core_count));
        for (int i = 0; i < core_count; ++i) {
            const std::wstring path = perf_counter_path(processor, std::to_wstring(i), processor_time);
            PDH_HCOUNTER counter = nullptr;
            if (!add_counter(counters.cpu_query, path, counter)) {
                event_line_add(LIST_SYSTEM_EVENTS, L"PdhAddCounter Failed: " + path);
                pdh_off();
                counters.core_counters.clear();
                break;
            }
            counters.core_counters.push_back(counter);
        }
    }
    if (pdh_on()) {
        const std::wstring system = perf_counter_name(PERF_SYSTEM);
        add_counter(counters.cpu_query, perf_counter_path(system, L"", perf_counter_name(PERF_PROCESSES)),
                    counters.processes);
        add_counter(counters.cpu_query, perf_counter_path(system, L"", perf_counter_name(PERF_THREADS)),
                    counters.threads);
        add_counter(counters.cpu_query,
                    perf_counter_path(perf_counter_name(PERF_PROCESS), L"_Total", perf_counter_name(PERF_HANDLE_COUNT)),
                    counters.handles);
        if (pdh.collect(counters.cpu_query) != ERROR_SUCCESS) {
            event_line_add(LIST_SYSTEM_EVENTS, L"PdhOpenQuery Failed on Process/Threads/Handles");
            pdh_off();
        }
    }
    if (pdh_on()) {
        if (pdh.open_query(nullptr, 1, &counters.uptime_query) == ERROR_SUCCESS) {
            if (add_counter(counters.uptime_query, PERF_UPTIME_PATH, counters.uptime) &&
                pdh.collect(counters.uptime_query) == ERROR_SUCCESS) {
                counters.uptime_ok = true;
            }
        } else {
            counters.uptime_query = nullptr;
        }
    }
    if (pdh_on()) {
        if (pdh.open_query(nullptr, 1, &counters.disk_query) == ERROR_SUCCESS) {
            const std::wstring disk = perf_counter_name(PERF_PHYSICAL_DISK);
            // Both counters must exist: a query without them would collect fine and show 0 for ever.
            const bool added = add_counter(counters.disk_query,
                                           perf_counter_path(disk, L"_Total", perf_counter_name(PERF_DISK_WRITE_BYTES)),
                                           counters.disk_write) &&
                               add_counter(counters.disk_query,
                                           perf_counter_path(disk, L"_Total", perf_counter_name(PERF_DISK_READ_BYTES)),
                                           counters.disk_read);
            counters.disk_ok = added && pdh.collect(counters.disk_query) == ERROR_SUCCESS;
        } else {
            counters.disk_query = nullptr;
        }
    }
}

PerfLoadSample perf_loads_sample(PerfCounters& counters, int64_t logical_count) {
    PerfLoadSample sample;
    if (!pdh_on() || !counters.cpu_query) return sample;
    if (pdh_functions().collect(counters.cpu_query) != ERROR_SUCCESS) {
        event_line_add(LIST_SYSTEM_EVENTS, L"PdhCollectQueryData " + tr(L"Failed") + L" " +
                                               date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss", date_now()));
        return sample;
    }
    sample.taken = true;
    // Loads above 100 are possible (no cap) and kept; anything else a counter could say is limited.
    const auto whole = [](double value) { return value >= 0 && value < 2e9 ? static_cast<int32_t>(value) : 0; };
    double sum = 0.0;
    const int core_graph_start = SharedInts[CORE_GRAPH_START].load();
    for (std::size_t i = 0; i < counters.core_counters.size(); ++i) {
        const double load = counter_value(counters.core_counters[i], FORMAT_RATE);
        if (i < CpuCoreTable.size()) CpuCoreTable[i].load.store(whole(load));
        graph_add_sample(core_graph_start + static_cast<int>(i), static_cast<float>(whole(load)), 1);
        sum += load;
    }
    sample.average = load_average_percent(sum, logical_count);
    if (sample.average >= 0) SharedInts[CPU_LOAD_AVG] = static_cast<int32_t>(sample.average);
    graphs_refresh(TAB_PROCESSORS, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
    sample.processes = whole(counter_value(counters.processes, PDH_FMT_DOUBLE));
    sample.threads = whole(counter_value(counters.threads, PDH_FMT_DOUBLE));
    sample.handles = whole(counter_value(counters.handles, PDH_FMT_DOUBLE));
    return sample;
}

bool perf_uptime_read(PerfCounters& counters, int64_t& seconds) {
    if (!counters.uptime_ok || !pdh_functions().collect) return false;
    if (pdh_functions().collect(counters.uptime_query) != ERROR_SUCCESS) return false;
    seconds = round_half_away(counter_value(counters.uptime, FORMAT_RATE));
    return true;
}

bool perf_disk_read(PerfCounters& counters, int64_t& write_bytes, int64_t& read_bytes) {
    if (!counters.disk_ok || !pdh_functions().collect) return false;
    pdh_functions().collect(counters.disk_query);
    write_bytes = round_half_away(counter_value(counters.disk_write, FORMAT_RATE));
    read_bytes = round_half_away(counter_value(counters.disk_read, FORMAT_RATE));
    return true;
}

void perf_counters_close(PerfCounters& counters) {
    const auto close = pdh_functions().close_query;
    for (PDH_HQUERY* query : {&counters.cpu_query, &counters.uptime_query, &counters.disk_query}) {
        if (*query && close) close(*query);
        *query = nullptr;
    }
    counters = PerfCounters{};
}
