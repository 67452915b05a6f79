// The system sampler thread: memory and page file, processors, counters, temperatures, battery, uptime,
// user idle time, disk rates and desktop changes, on the clocks of sampler_schedule.
#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/format_bytes.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/startup_facts.h"
#include "runtime/date.h"
#include "runtime/list_model.h"
#include "runtime/text.h"
#include "runtime/worker_loop.h"
#include "system/battery_texts.h"
#include "system/cpu_readout.h"
#include "system/memory_texts.h"
#include "system/perf_counter_paths.h"
#include "system/perf_counters_win.h"
#include "system/processor_power_win.h"
#include "system/sampler_schedule.h"
#include "system/system_monitor.h"
#include "system/system_summary_win.h"
#include "system/temp_tool_win.h"
#include "system/uptime_idle_texts.h"
#include "ui/compact_window.h"
#include "ui/graph_control.h"
#include "ui/status_title.h"

namespace {

// The records list of a memory cell is the cell's number plus this.
constexpr int CELL_MEMORY_LIST_OFFSET = int{LIST_PHYSICAL_MEMORY} - int{CELL_PHYSICAL};
static_assert(int{LIST_PAGEFILE_MEMORY} - int{CELL_PAGEFILE} == CELL_MEMORY_LIST_OFFSET);

// Everything the thread keeps between rounds that no other thread reads.
struct Sampler {
    SamplerClock clock;
    PerfCounters counters;
    std::vector<PowerRecord> power_records;
    IdleHistory idle_history;
    std::wstring idle_separator;
    int64_t load_sample = -1;               // rounded average of the last load sample; -1 none yet
    int64_t load_shown = 0;                 // load_sample when the CPU texts were last built
    int64_t throttle_shown = 0;             // the throttle as last put into the texts
    std::wstring temperature_shown;         // the CPU cell's temperature when the texts were last built
    std::array<int32_t, 4> counts{};        // processes, threads, handles, throttle
    std::array<int32_t, 4> counts_shown{};  // the same when the speed row last changed
    std::wstring speed_row_base;            // clock and load columns, kept between rebuilds
    std::wstring speed_row_shown;
    std::wstring idle_states;
    int64_t uptime_s = 0;
    bool uptime_from_counter = false;
    int64_t last_input_tick = 0;
    int64_t last_input_ms = 0;
    int64_t full_life_logged = -1;
    std::wstring battery_status_logged;
};

int64_t value(int cell, int slot) { return CompactCells[cell].values[slot].load(std::memory_order_relaxed); }
void value_set(int cell, int slot, int64_t v) { CompactCells[cell].values[slot].store(v, std::memory_order_relaxed); }

// The text last drawn of a cell; cell_draw writes it under the same lock.
std::wstring drawn_text(int cell) {
    std::lock_guard guard(CellDrawMutex);
    return CompactCells[cell].drawn_text.str();
}

// The cell's current value text.
std::wstring cell_text(int cell) {
    std::lock_guard guard(CellDrawMutex);
    return CompactCells[cell].value_text.str();
}

// Records a text as drawn without drawing it.
void drawn_text_set(int cell, std::wstring_view text) {
    std::lock_guard guard(CellDrawMutex);
    CompactCells[cell].drawn_text = text;
}

void title_set(std::wstring text) {
    shared_text_set(TITLE_TEXT, std::move(text));
    SharedInts[TITLE_COUNTDOWN] = 0;
}

bool title_mode(TitleMode mode) { return SharedInts[TITLE_MODE].load() == mode; }

std::wstring label_key(int cell) {
    std::wstring key;
    {
        std::lock_guard guard(CellDrawMutex);
        key = CompactCells[cell].label_key.str();
    }
    return key.empty() ? compact_label_field(shared_text(COMPACT_LABELS), cell - CELL_FIXED_FIRST) : key;
}

void list_row_put(int list, int position, std::wstring row) {
    if (!list_rows_set(list, position, row)) list_rows_insert(list, position, std::move(row));
}

Date file_creation_date(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&data.ftCreationTime, &local)) return 0;
    const int64_t ticks = (static_cast<int64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return (ticks - 116'444'736'000'000'000LL) / 10'000'000;
}

// ---- Start ----

void processor_facts_settle(Sampler& sampler) {
    if (shared_text(CPU_MAX_CLOCK_TEXT).empty()) {
        const int64_t estimate = cpu_clock_estimate();
        value_set(CELL_CPU, CPU_SLOT_HIGHEST_MHZ, estimate);
        shared_text_set(CPU_MAX_CLOCK_TEXT, std::to_wstring(estimate));
    } else {
        value_set(CELL_CPU, CPU_SLOT_HIGHEST_MHZ, leading_integer(shared_text(CPU_MAX_CLOCK_TEXT)));
    }
    if (shared_text(CPU_NAME_TEXT).empty()) {
        shared_text_set(CPU_NAME_TEXT, processor_name_fallback(shared_text(CPU_BRAND_TEXT)));
    }
    const int64_t logical = logical_count_choose(shared_text(CPU_LOGICAL_COUNT_TEXT), SharedInts[CPU_COUNT].load());
    value_set(CELL_CPU, CPU_SLOT_LOGICAL_COUNT, logical);
    sampler.idle_separator = idle_state_separator(logical);

    ProcessorFacts facts;
    facts.max_clock = shared_text(CPU_MAX_CLOCK_TEXT);
    facts.manufacturer = shared_text(CPU_MANUFACTURER_TEXT);
    facts.name = shared_text(CPU_NAME_TEXT);
    facts.description = shared_text(CPU_DESCRIPTION_TEXT);
    facts.processor_id = shared_text(CPU_PROCESSOR_ID_TEXT);
    facts.l2_cache = shared_text(CPU_L2_CACHE_TEXT);
    facts.l3_cache = shared_text(CPU_L3_CACHE_TEXT);
    facts.cores = shared_text(CPU_CORES_TEXT);
    facts.logical_count = logical;
    list_rows_insert(LIST_CPU_BASE_SPEED, 0, cpu_base_speed_row(facts));
}

void sampler_start(Sampler& sampler) {
    const Date now = date_now();
    const Date built = file_creation_date(program_path());
    if (built > 0 && now < built - 86'400) {
        event_line_add(LIST_SYSTEM_EVENTS, tr(L"Date Incorrect") + L": " + date_format(L"%mm-%dd-%yyyy", now));
    }
    for (int cell : {CELL_PHYSICAL, CELL_PAGEFILE}) {
        value_set(cell, MEMORY_SLOT_HIGHEST_MB, -1);
        value_set(cell, MEMORY_SLOT_LOWEST_MB, -1);
    }
    list_rows_insert(LIST_BATTERY, 0, L"");
    processor_facts_settle(sampler);
    list_rows_insert(LIST_CPU_SPEED, 0, L"");

    perf_counters_open(sampler.counters);
    const std::wstring missing =
        libraries_missing_line(SharedQuads[POWRPROF_LIBRARY].load() == 0, SharedQuads[PDH_LIBRARY].load() == 0);
    if (!missing.empty()) event_line_add(LIST_SYSTEM_EVENTS, missing);
    perf_counters_add(sampler.counters, SharedInts[CPU_COUNT].load());
    sampler.uptime_from_counter = sampler.counters.uptime_ok;

    value_set(CELL_CPU, CPU_SLOT_LOWEST_MHZ, -1);
    value_set(CELL_BATTERY, BATTERY_SLOT_PERCENT_SHOWN, -2);
    value_set(CELL_BATTERY, BATTERY_SLOT_CHARGING_SHOWN, -1);

    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    GetLastInputInfo(&input);
    sampler.last_input_tick = static_cast<int32_t>(input.dwTime);
    sampler.last_input_ms = millisecond_clock();
}

// ---- Memory, each new second ----

void memory_cell_sample(int cell, const Date now) {
    const int list = cell + CELL_MEMORY_LIST_OFFSET;
    if (value(cell, MEMORY_SLOT_AVAILABLE_MB_SHOWN) != value(cell, MEMORY_SLOT_AVAILABLE_MB)) {
        const int64_t percent =
            memory_available_percent(value(cell, MEMORY_SLOT_AVAILABLE_BYTES), value(cell, MEMORY_SLOT_TOTAL_BYTES));
        value_set(cell, MEMORY_SLOT_AVAILABLE_PERCENT, percent);
        const std::wstring text = memory_value_text(value(cell, MEMORY_SLOT_AVAILABLE_MB), percent);
        cell_value_set(cell, text);
        if (text != drawn_text(cell)) {
            cell_draw(cell, CELL_DRAW_ALWAYS);
            if (title_mode(cell == CELL_PHYSICAL ? TITLE_MODE_PHYSICAL : TITLE_MODE_PAGEFILE)) {
                title_set(text + L" " + compact_label_field(shared_text(COMPACT_LABELS), cell - CELL_FIXED_FIRST));
            }
        }
        const std::wstring used =
            memory_used_text(value(cell, MEMORY_SLOT_AVAILABLE_BYTES), value(cell, MEMORY_SLOT_TOTAL_BYTES), percent);
        if (value(cell, MEMORY_SLOT_HIGHEST_MB) < value(cell, MEMORY_SLOT_AVAILABLE_MB) ||
            value(cell, MEMORY_SLOT_HIGHEST_MB) < 0) {
            value_set(cell, MEMORY_SLOT_HIGHEST_MB, value(cell, MEMORY_SLOT_AVAILABLE_MB));
            list_row_put(list, 0, memory_record_row(now, tr_padded(L"Hi"), text, used));
        }
        if (value(cell, MEMORY_SLOT_AVAILABLE_MB) < value(cell, MEMORY_SLOT_LOWEST_MB) ||
            value(cell, MEMORY_SLOT_LOWEST_MB) < 0) {
            value_set(cell, MEMORY_SLOT_LOWEST_MB, value(cell, MEMORY_SLOT_AVAILABLE_MB));
            list_row_put(list, 1, memory_record_row(now, tr_padded(L"Lo"), text, used));
        }
        event_line_add_plain(list, 2, text + L"\n" + used);
        value_set(cell, MEMORY_SLOT_AVAILABLE_MB_SHOWN, value(cell, MEMORY_SLOT_AVAILABLE_MB));
    }
    if (value(cell, MEMORY_SLOT_TOTAL_REPORTED) != value(cell, MEMORY_SLOT_TOTAL_BYTES)) {
        const bool together =
            value(CELL_PHYSICAL, MEMORY_SLOT_TOTAL_REPORTED) == value(CELL_PAGEFILE, MEMORY_SLOT_TOTAL_REPORTED) &&
            value(CELL_PHYSICAL, MEMORY_SLOT_TOTAL_BYTES) == value(CELL_PAGEFILE, MEMORY_SLOT_TOTAL_BYTES);
        const std::wstring prefix =
            together ? label_key(CELL_PHYSICAL) + L"/" + label_key(CELL_PAGEFILE) : label_key(cell);
        event_line_add(LIST_SYSTEM_EVENTS, memory_total_line(prefix, value(cell, MEMORY_SLOT_TOTAL_REPORTED),
                                                             value(cell, MEMORY_SLOT_TOTAL_BYTES)));
        if (together) {
            value_set(CELL_PHYSICAL, MEMORY_SLOT_TOTAL_REPORTED, value(CELL_PHYSICAL, MEMORY_SLOT_TOTAL_BYTES));
            value_set(CELL_PAGEFILE, MEMORY_SLOT_TOTAL_REPORTED, value(CELL_PAGEFILE, MEMORY_SLOT_TOTAL_BYTES));
        } else {
            value_set(cell, MEMORY_SLOT_TOTAL_REPORTED, value(cell, MEMORY_SLOT_TOTAL_BYTES));
        }
        SharedInts[SYSTEM_SUMMARY_REQUEST] = 1;
    }
}

void memory_step() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return;  // the previous values stay
    const auto clamp = [](DWORDLONG bytes) { return static_cast<int64_t>(bytes > INT64_MAX ? INT64_MAX : bytes); };
    value_set(CELL_PHYSICAL, MEMORY_SLOT_AVAILABLE_BYTES, clamp(status.ullAvailPhys));
    value_set(CELL_PHYSICAL, MEMORY_SLOT_TOTAL_BYTES, clamp(status.ullTotalPhys));
    value_set(CELL_PAGEFILE, MEMORY_SLOT_AVAILABLE_BYTES, clamp(status.ullAvailPageFile));
    value_set(CELL_PAGEFILE, MEMORY_SLOT_TOTAL_BYTES, clamp(status.ullTotalPageFile));
    for (int cell : {CELL_PHYSICAL, CELL_PAGEFILE})
        value_set(cell, MEMORY_SLOT_AVAILABLE_MB, value(cell, MEMORY_SLOT_AVAILABLE_BYTES) / BYTES_PER_MB);
    const Date now = date_now();
    memory_cell_sample(CELL_PHYSICAL, now);
    memory_cell_sample(CELL_PAGEFILE, now);
}

// ---- Processor step, every SAMPLER_CPU_STEP_MS ----

void clock_step(Sampler& sampler) {
    const int64_t logical = value(CELL_CPU, CPU_SLOT_LOGICAL_COUNT);
    if (processor_power_read(sampler.power_records, logical)) {
        const ClockAverages averages = processor_clock_averages(sampler.power_records, logical, sampler.idle_separator);
        value_set(CELL_CPU, CPU_SLOT_IDLE_AVERAGE, averages.average_idle);
        value_set(CELL_CPU, CPU_SLOT_CLOCK_MHZ, averages.average_mhz);
        sampler.idle_states = averages.idle_states;
        const std::size_t cores =
            std::min({static_cast<std::size_t>(logical), sampler.power_records.size(), CpuCoreTable.size()});
        for (std::size_t i = 0; i < cores; ++i)
            CpuCoreTable[i].mhz.store(static_cast<int32_t>(sampler.power_records[i].current_mhz));
        int64_t throttle = value(CELL_CPU, CPU_SLOT_THROTTLE);
        if (processor_throttle_read(throttle)) value_set(CELL_CPU, CPU_SLOT_THROTTLE, throttle);
    } else {
        value_set(CELL_CPU, CPU_SLOT_CLOCK_MHZ, cpu_clock_estimate());
    }
    const int64_t mhz = value(CELL_CPU, CPU_SLOT_CLOCK_MHZ);
    if (value(CELL_CPU, CPU_SLOT_HIGHEST_MHZ) < mhz || value(CELL_CPU, CPU_SLOT_HIGHEST_MHZ) < 0)
        value_set(CELL_CPU, CPU_SLOT_HIGHEST_MHZ, mhz);
    if (mhz < value(CELL_CPU, CPU_SLOT_LOWEST_MHZ) || value(CELL_CPU, CPU_SLOT_LOWEST_MHZ) < 0)
        value_set(CELL_CPU, CPU_SLOT_LOWEST_MHZ, mhz);
}

void loads_step(Sampler& sampler) {
    const PerfLoadSample sample = perf_loads_sample(sampler.counters, value(CELL_CPU, CPU_SLOT_LOGICAL_COUNT));
    if (!sample.taken) {
        // A load sample redraws the Processors tab; without counters this does, so that its temperature strip
        // still shows the point each step adds.
        graphs_refresh(TAB_PROCESSORS, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
        return;
    }
    sampler.load_sample = sample.average;
    sampler.counts[0] = sample.processes;
    sampler.counts[1] = sample.threads;
    sampler.counts[2] = sample.handles;
}

void cpu_readouts_step(Sampler& sampler) {
    std::wstring speed_row;
    const float temperature = CpuCoreTable[0].temperature.load();
    std::wstring temperature_text = cpu_temperature_tail(temperature);
    if (value(CELL_CPU, CPU_SLOT_CLOCK_MHZ_SHOWN) != value(CELL_CPU, CPU_SLOT_CLOCK_MHZ) ||
        sampler.load_shown != sampler.load_sample || sampler.temperature_shown != temperature_text) {
        sampler.load_shown = sampler.load_sample;
        sampler.temperature_shown = std::move(temperature_text);
        CpuReadoutInput input;
        input.mhz = value(CELL_CPU, CPU_SLOT_CLOCK_MHZ);
        input.load_sample = sampler.load_sample;
        input.logical_count = value(CELL_CPU, CPU_SLOT_LOGICAL_COUNT);
        input.temperature = temperature;
        input.idle_average = value(CELL_CPU, CPU_SLOT_IDLE_AVERAGE);
        input.throttle = value(CELL_CPU, CPU_SLOT_THROTTLE);
        const CpuReadoutTexts texts = cpu_readout_build(input);
        shared_text_set(CPU_SPEED_CAPTION, texts.caption);
        SharedInts[CPU_LOAD_AVG] = texts.load_average;
        if (texts.throttle_shown) sampler.counts[3] = static_cast<int32_t>(input.throttle);
        cell_value_set(CELL_CPU, texts.value_text);
        cell_draw(CELL_CPU, CELL_DRAW_IF_CHANGED);
        value_set(CELL_CPU, CPU_SLOT_CLOCK_MHZ_SHOWN, input.mhz);
        event_line_add_plain(LIST_PROCESSORS, 0, texts.load_row);
        if (title_mode(TITLE_MODE_CPU)) title_set(text_trim(texts.value_text));
        sampler.speed_row_base = texts.speed_row;
    }
    speed_row = sampler.speed_row_base + cpu_speed_row_tail(sampler.counts, sampler.counts_shown,
                                                            sampler.counts_shown[0] > 0, sampler.idle_states);
    if (speed_row != sampler.speed_row_shown) {
        sampler.counts_shown = sampler.counts;
        sampler.speed_row_shown = speed_row;
        list_row_put(LIST_CPU_SPEED, 0, std::move(speed_row));
    }
}

void graph_step() {
    graph_add_sample(GRAPH_PHYSICAL_MEMORY, static_cast<float>(value(CELL_PHYSICAL, MEMORY_SLOT_AVAILABLE_PERCENT)), 1);
    graph_add_sample(GRAPH_PAGEFILE, static_cast<float>(value(CELL_PAGEFILE, MEMORY_SLOT_AVAILABLE_PERCENT)), 1);
    value_set(CELL_CPU, CPU_SLOT_CLOCK_PERCENT,
              clock_percent(value(CELL_CPU, CPU_SLOT_CLOCK_MHZ), value(CELL_CPU, CPU_SLOT_HIGHEST_MHZ)));
    graph_add_sample(GRAPH_CPU_SPEED, static_cast<float>(value(CELL_CPU, CPU_SLOT_CLOCK_PERCENT)), 1);
    graph_add_sample(GRAPH_CPU_AVERAGE, static_cast<float>(SharedInts[CPU_LOAD_AVG].load()), 1);
    graphs_refresh(TAB_SYSTEM, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
}

void battery_step(Sampler& sampler) {
    SYSTEM_POWER_STATUS raw{};
    if (!GetSystemPowerStatus(&raw)) return;  // the previous reading stays
    // The fourth byte is SystemStatusFlag (the battery saver); older headers call it Reserved1.
    const PowerStatusReading status =
        power_status_from_raw(raw.ACLineStatus, raw.BatteryFlag, raw.BatteryLifePercent, raw.Reserved1,
                              raw.BatteryLifeTime, raw.BatteryFullLifeTime);
    value_set(CELL_BATTERY, BATTERY_SLOT_AC_LINE, status.ac_line);
    value_set(CELL_BATTERY, BATTERY_SLOT_CHARGING, status.flags & BATTERY_FLAG_CHARGING);
    value_set(CELL_BATTERY, BATTERY_SLOT_PERCENT, status.percent);
    value_set(CELL_BATTERY, BATTERY_SLOT_SAVER, status.saver);
    SharedQuads[BATTERY_REMAINING_S] = status.life_time;
    if (status.full_life_time != sampler.full_life_logged) {
        sampler.full_life_logged = status.full_life_time;
        event_line_add(LIST_SYSTEM_EVENTS, battery_full_life_line(status.full_life_time));
    }
    std::wstring value_text = cell_text(CELL_BATTERY);
    if (value(CELL_BATTERY, BATTERY_SLOT_PERCENT_SHOWN) != value(CELL_BATTERY, BATTERY_SLOT_PERCENT) ||
        value(CELL_BATTERY, BATTERY_SLOT_CHARGING_SHOWN) != value(CELL_BATTERY, BATTERY_SLOT_CHARGING) ||
        value(CELL_BATTERY, BATTERY_SLOT_AC_LINE_SHOWN) != value(CELL_BATTERY, BATTERY_SLOT_AC_LINE)) {
        const BatteryTexts texts =
            battery_texts_build(value(CELL_BATTERY, BATTERY_SLOT_PERCENT), value(CELL_BATTERY, BATTERY_SLOT_CHARGING),
                                value(CELL_BATTERY, BATTERY_SLOT_AC_LINE));
        value_text = texts.value_text;
        shared_text_set(BATTERY_STATUS_TEXT, texts.status_text);
        cell_value_set(CELL_BATTERY, value_text);
        value_set(CELL_BATTERY, BATTERY_SLOT_AC_LINE_SHOWN, value(CELL_BATTERY, BATTERY_SLOT_AC_LINE));
        value_set(CELL_BATTERY, BATTERY_SLOT_CHARGING_SHOWN, value(CELL_BATTERY, BATTERY_SLOT_CHARGING));
        value_set(CELL_BATTERY, BATTERY_SLOT_PERCENT_SHOWN, value(CELL_BATTERY, BATTERY_SLOT_PERCENT));
    }
    const std::wstring status_text = shared_text(BATTERY_STATUS_TEXT);
    if (value_text != drawn_text(CELL_BATTERY) || status_text != sampler.battery_status_logged) {
        const bool status_changed = status_text != sampler.battery_status_logged;
        event_line_add(LIST_SYSTEM_EVENTS, battery_change_line(value_text, status_text, status_changed,
                                                               SharedQuads[BATTERY_REMAINING_S].load()));
        sampler.battery_status_logged = status_text;
        if (title_mode(TITLE_MODE_BATTERY))
            title_set(battery_title_text(value_text, value(CELL_BATTERY, BATTERY_SLOT_PERCENT)));
    }
    int32_t back_color = 0;
    {
        std::lock_guard guard(CellDrawMutex);
        back_color = CompactCells[CELL_BATTERY].back_color;
    }
    const BatteryCellColors colors = battery_cell_colors(back_color, value(CELL_BATTERY, BATTERY_SLOT_PERCENT),
                                                         value(CELL_BATTERY, BATTERY_SLOT_CHARGING));
    if (colors.change) {
        {
            std::lock_guard guard(CellDrawMutex);
            CompactCells[CELL_BATTERY].back_color = colors.back_color;
            CompactCells[CELL_BATTERY].text_color = colors.text_color;
        }
        cell_draw(CELL_BATTERY, CELL_DRAW_ALWAYS);
    } else {
        cell_draw(CELL_BATTERY, CELL_DRAW_IF_CHANGED);
    }
}

void processor_step(Sampler& sampler) {
    temp_tool_step();
    clock_step(sampler);
    loads_step(sampler);
    cpu_readouts_step(sampler);
    graph_step();
    battery_step(sampler);
}

// ---- Each new second ----

void battery_saver_check() {
    if (value(CELL_BATTERY, BATTERY_SLOT_SAVER_LOGGED) == value(CELL_BATTERY, BATTERY_SLOT_SAVER)) return;
    const bool saver_on = value(CELL_BATTERY, BATTERY_SLOT_SAVER) == 1;
    if (const auto set = system_monitor_hooks().battery_column_set) {
        set(battery_column_title(saver_on),
            static_cast<int>(round_half_away(SharedInts[GRAPH_COLUMN_WIDTH].load() * 0.38)));
    }
    event_line_add(LIST_SYSTEM_EVENTS, battery_saver_line(drawn_text(CELL_BATTERY), saver_on));
    value_set(CELL_BATTERY, BATTERY_SLOT_SAVER_LOGGED, value(CELL_BATTERY, BATTERY_SLOT_SAVER));
}

void uptime_step(Sampler& sampler) {
    int64_t uptime = sampler.uptime_s;
    if (sampler.uptime_from_counter) {
        perf_uptime_read(sampler.counters, uptime);
    } else {
        LARGE_INTEGER count{}, frequency{};
        if (QueryPerformanceCounter(&count)) {
            value_set(CELL_UPTIME, UPTIME_SLOT_COUNTER, count.QuadPart);
            if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
                value_set(CELL_UPTIME, UPTIME_SLOT_FREQUENCY, frequency.QuadPart);
                uptime = count.QuadPart / frequency.QuadPart;
            }
        }
    }
    sampler.uptime_s = uptime;
    SharedQuads[UPTIME_S] = uptime;
    if (uptime < 2) {
        if (sampler.uptime_from_counter) {
            cell_value_set(CELL_UPTIME, L" " + tr_padded(L"Calculating   "));
            sampler.uptime_from_counter = false;
        } else {
            cell_value_set(CELL_UPTIME, L" -  -  -  - ");
        }
        return;
    }
    battery_saver_check();
    const std::wstring text = uptime_text(uptime);
    BatteryRowFacts row;
    row.battery_drawn_text = drawn_text(CELL_BATTERY);
    row.battery_status_text = shared_text(BATTERY_STATUS_TEXT);
    row.remaining_s = SharedQuads[BATTERY_REMAINING_S].load();
    row.column_width = SharedInts[GRAPH_COLUMN_WIDTH].load();
    row.uptime_s = uptime;
    row.idle_drawn_text = drawn_text(CELL_IDLE);
    row.idle_history_text = shared_text(IDLE_HISTORY_TEXT);
    list_row_put(LIST_BATTERY, 0, battery_list_row(row));
    value_set(CELL_UPTIME, UPTIME_SLOT_TEXT_LENGTH, static_cast<int64_t>(text.size()));
    const std::wstring cell_text = uptime_cell_text(text);
    cell_value_set(CELL_UPTIME, cell_text);
    if (cell_text != drawn_text(CELL_UPTIME)) {
        cell_draw(CELL_UPTIME, CELL_DRAW_ALWAYS);
        if (title_mode(TITLE_MODE_UPTIME)) title_set(text_trim(cell_text) + L" " + tr_padded(L"Uptime"));
    }
}

// Seconds since the last user input, measured on our own clock from the moment a new input tick is seen.
int64_t idle_seconds(Sampler& sampler) {
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    GetLastInputInfo(&input);
    const int64_t tick = static_cast<int32_t>(input.dwTime);
    if (tick != sampler.last_input_tick) {
        sampler.last_input_tick = tick;
        sampler.last_input_ms = millisecond_clock();
        return 0;
    }
    return (millisecond_clock() - sampler.last_input_ms) / 1000;
}

std::wstring without_leading_spaces(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

void idle_step(Sampler& sampler) {
    value_set(CELL_IDLE, IDLE_SLOT_SECONDS, idle_seconds(sampler));
    const std::wstring text = idle_cell_text(value(CELL_IDLE, IDLE_SLOT_SECONDS));
    const std::wstring drawn = drawn_text(CELL_IDLE);
    if (text == drawn) return;
    if (value(CELL_IDLE, IDLE_SLOT_SECONDS_SHOWN) <= value(CELL_IDLE, IDLE_SLOT_SECONDS)) {
        cell_value_set(CELL_IDLE, text);
        // Beyond a minute the cell is redrawn only when its first four characters change.
        if (idle_text_needs_draw(drawn, text)) {
            cell_draw(CELL_IDLE, CELL_DRAW_ALWAYS);
        } else {
            drawn_text_set(CELL_IDLE, text);
        }
        value_set(CELL_IDLE, IDLE_SLOT_SECONDS_SHOWN, value(CELL_IDLE, IDLE_SLOT_SECONDS));
        if (title_mode(TITLE_MODE_IDLE)) title_set(without_leading_spaces(text) + tr_padded(L"Idle"));
        return;
    }
    // The user is back: the idle period that just ended goes into the history.
    const std::wstring ended = L"=" + without_leading_spaces(drawn);
    sampler.idle_history.push(idle_period_entry(drawn));
    shared_text_set(IDLE_HISTORY_TEXT, sampler.idle_history.joined());
    if (idle_period_is_long(value(CELL_IDLE, IDLE_SLOT_SECONDS_SHOWN), SharedInts[LONG_IDLE_SECONDS].load())) {
        event_line_add(LIST_SYSTEM_EVENTS, L"Long Idle:" + drawn);
    }
    cell_value_set(CELL_IDLE, ended);
    cell_draw(CELL_IDLE, CELL_DRAW_ALWAYS);
    if (title_mode(TITLE_MODE_IDLE)) title_set(without_leading_spaces(ended) + tr_padded(L"Idle"));
    value_set(CELL_IDLE, IDLE_SLOT_SECONDS_SHOWN, 0);
    // The cell keeps showing the period that ended; the next second compares with a new period's start.
    drawn_text_set(CELL_IDLE, L" 0s ");
}

void disk_step(Sampler& sampler) {
    int64_t write_bytes = 0;
    int64_t read_bytes = 0;
    if (!perf_disk_read(sampler.counters, write_bytes, read_bytes)) return;
    cell_show(CELL_DISK_WRITE, format_bytes(write_bytes, FORMAT_BYTES_RATE));
    cell_show(CELL_DISK_READ, format_bytes(read_bytes, FORMAT_BYTES_RATE));
    rate_graph_autoscale(GRAPH_DISK_WRITE, write_bytes);
    SharedQuads[DISK_WRITE_KB] = write_bytes / 1024;
    graph_add_sample(GRAPH_DISK_WRITE, static_cast<float>(write_bytes / 1024), 1);
    rate_graph_autoscale(GRAPH_DISK_READ, read_bytes);
    SharedQuads[DISK_READ_KB] = read_bytes / 1024;
    graph_add_sample(GRAPH_DISK_READ, static_cast<float>(read_bytes / 1024), 1);
    graphs_refresh(TAB_STORAGE, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
    if (title_mode(TITLE_MODE_DISK)) {
        title_set(shared_text(DISK_RW_LETTERS) + L": " + std::to_wstring(read_bytes / 1024) + L"K/" +
                  std::to_wstring(write_bytes / 1024) + L"K");
    }
}

void status_title_step() {
    if (SharedInts[QUIT_FLAG].load() == 0) status_title_tick(date_now());
}

void per_second_step(Sampler& sampler) {
    uptime_step(sampler);
    idle_step(sampler);
    disk_step(sampler);
    status_title_step();
}

// ---- Every SAMPLER_DESKTOP_ROUNDS rounds ----

void desktop_check() {
    const std::vector<std::wstring> lines = desktop_change_lines(desktop_metrics_stored(), desktop_reading().metrics);
    for (const auto& line : lines) event_line_add(LIST_SYSTEM_EVENTS, line);
    // The summary stores the new values in this same round, so each change is reported once.
    if (!lines.empty()) SharedInts[SYSTEM_SUMMARY_REQUEST] = 1;
}

void sampler_end(Sampler& sampler) {
    temp_tool_close();
    perf_counters_close(sampler.counters);
}

}  // namespace

void system_sampler_thread(int64_t) {
    Sampler sampler;
    sampler_start(sampler);
    // The round in which the quit flag is seen still serves the requests (and the copy), then the loop ends.
    const WorkerLoop loop{.period_ms = SAMPLER_ROUND_MS,
                          .quit_order = WORKER_QUIT_AFTER_LAST_ROUND,
                          .quit_flag = &SharedInts[QUIT_FLAG],
                          .copy_request = &SharedInts[COPY_TAB_REQUEST],
                          .copy_tab = TAB_SYSTEM,
                          .second_copy_tab = TAB_PROCESSORS};
    const auto round = [&sampler](bool quitting) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        const SamplerPlan plan = sampler_plan_round(sampler.clock, now.wSecond, millisecond_clock(),
                                                    SharedInts[OPT_REALTIME_MEMORY].load() == 1, quitting);
        if (plan.memory) memory_step();
        if (plan.processor) processor_step(sampler);
        if (plan.per_second) per_second_step(sampler);
        if (plan.desktop) desktop_check();
        if (SharedInts[SYSTEM_SUMMARY_REQUEST].exchange(0) != 0) system_summary_text();
        if (SharedInts[MEMORY_RECORDS_RESET_REQUEST].exchange(0) != 0) {
            for (int cell : {CELL_PHYSICAL, CELL_PAGEFILE}) {
                value_set(cell, MEMORY_SLOT_HIGHEST_MB, -1);
                value_set(cell, MEMORY_SLOT_LOWEST_MB, -1);
            }
        }
        return true;
    };
    worker_loop_run(loop, round, [](int tab) {
        if (const auto copy_tab = system_monitor_hooks().copy_tab) copy_tab(tab);
    });
    sampler_end(sampler);
}
