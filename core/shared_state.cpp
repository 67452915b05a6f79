// The shared arrays and their start-up defaults.
#include "core/shared_state.h"

#include <mutex>

#include "core/control_numbers.h"
#include "core/shared_tables.h"
#include "runtime/worker_timer.h"

std::array<std::atomic<int32_t>, SHARED_INTS_COUNT> SharedInts{};
std::array<std::atomic<int64_t>, SHARED_QUADS_COUNT> SharedQuads{};
std::array<std::atomic<float>, SHARED_FLOATS_COUNT> SharedFloats{};

LeafLock SharedTextsLock("SharedTextsLock");

// SharedInts[graph number] is that graph's plot colour, up to the last number of each graph range.
static_assert(int{GRAPH_CORE_COLORS} == int{GRAPH_CPU_CORE_BASE} && int{GRAPH_GPU_COLORS} == int{GRAPH_GPU_BASE});
static_assert(GRAPH_GPU_BASE + GPU_GRAPH_SPAN < SHARED_INTS_COUNT, "a GPU graph would have no colour element");
// Every processor has a graph, and every CpuCoreTable entry a number within the per-core range.
static_assert(MAX_CPU_COUNT <= CORE_GRAPH_SPAN && CPU_CORE_ENTRY_COUNT == CORE_GRAPH_SPAN + 1);
static_assert(PALETTE_GPU_FIRST + GPU_GRAPHS_PER_SLOT <= static_cast<int>(Palette.size()));
// The samplers draw GPU entry n into graph slot n.
static_assert(GPU_ENTRY_MAX <= GRAPH_GPU_SLOTS, "a GPU entry would have no graphs");

namespace {

constexpr int ADAPTER_POSITIONS = 32;
std::array<std::wstring, SHARED_TEXTS_COUNT> shared_texts;
std::array<std::wstring, ADAPTER_POSITIONS - ADAPTER_TEXT_SLOTS> extra_adapter_texts;

struct IntDefault {
    int index;
    int32_t value;
};

// Every SharedInts element whose default is not 0, in index order.
constexpr IntDefault INT_DEFAULTS[] = {
    {COMPACT_FIXED_LINES, 4},
    {COMPACT_FONT_SIZE, 10},
    {COMPACT_LINE_HEIGHT, 12},
    {COMPACT_FONT_APPLIED, 10},
    {COPY_TAB_REQUEST, -1},
    {TITLE_COUNTDOWN, 100},
    {LOG_CAPACITY, 1},
    {OPACITY_STEP, 8},
    {OPACITY_PERCENT, 80},
    {MAX_EVENT_LINES, 499},
    {CPU_LOAD_AVG, -1},
    {LONG_IDLE_SECONDS, 60 * DEFAULT_LONG_IDLE},
    {60, 10},
    {WINDOWS_DRIVE, 3},
    {OPT_ALWAYS_ON_TOP, 1},
    {OPT_LOG_BUFFERING, 1},
    {OPT_TRAY_SINGLE_CLICK, 1},
    {OPT_LOG_STORAGE_EVENTS, 1},
    {OPT_LOG_NETWORK_EVENTS, 1},
    {OPT_LOG_DRIVE_SPACE, 1},
    {OPT_LOG_SYSTEM_EVENTS, 1},
    {OPT_TRAY_ICON, 1},
    {OPT_MINIMIZE_TO_TRAY, 1},
    {DISK_RATE_TOP, 128},
    {NET_RATE_TOP, 128},
    {INTERNET_FLAGS_SEEN, -1},
    {EVENTLOG_DETAILS_INDEX, -2},
    {EVENTLOG_LINE_HEIGHT, 9},
    {EVENTLOG_FONT_SIZE, 9},
    {EVENTLOG_FONT_APPLIED, 9},
    {EVENTLOG_TYPE_FILTER, -1},
    {EVENTLOG_SEARCH_FILTER_USED, -1},
    {EVENTLOG_DETAILS_HEIGHT, 150},
    {ADL_CREATE_RESULT, -1},
    {189, -1},
    {GPU_GRAPH_START, GRAPH_GPU_BASE},
    {GPU_GRAPH_CURSOR, GRAPH_GPU_BASE},
    {192, GRAPH_GPU_BASE},
    {GPU_HISTORY_ROWS, 10},
    {LANGUAGE, 1},
    {201, 16},
    {203, 1},
    {204, 1},
    {205, 2},
    {206, 112},
    {207, 878},
    {208, 420},
    {211, -1},
    {CORE_GRAPH_LAST, -1},
    {CORE_GRAPH_START, GRAPH_CPU_CORE_BASE},
    {PING_REQ_REMOTE_DESKTOP, -1},
    {PING_REQ_OPEN_NAME, -1},
    {PING_REQ_OPEN_BROWSER, -1},
    {PING_FONT_SIZE, 9},
    {PING_FONT_APPLIED, 9},
    {PING_SAMPLES_MAX, 3200},
    {PING_HOSTS_MAX, 1024},
    {PING_INTERVAL_S, 60},
    {PING_TIMEOUT_MS, 5000},
    {PING_ROW_HEIGHT, 10},
    {PING_CANVAS_ROWS, -1},
    {LIST_BACKGROUND_COLOR, 0xF0F0F0},
    {PING_SLOW_MS, 100},
    {PING_SLOW_CHOICE, 1},
    {PING_CHAR_WIDTH, 7},
    {PING_UP_SHOWN, -1},
    {PING_DOWN_SHOWN, -1},
    {301, 0x3C14DC},
    {302, 0xCC3399},
    {303, 0xCC6600},
    {304, 0x9966},
    {305, 0x80FF},
    {306, 0x6699},
    {307, 0x808040},
    {308, 0x408000},
};

struct QuadDefault {
    int index;
    int64_t value;
};

constexpr QuadDefault QUAD_DEFAULTS[] = {
    {BATTERY_REMAINING_S, -1},
    {37, -1},
    {122, -1},
    {133, -1},
};

struct TextDefault {
    int index;
    const wchar_t* value;
};

constexpr TextDefault TEXT_DEFAULTS[] = {
    {NET_CELL_SEPARATOR, L" \u25B2\u25BC"},
    {DISK_ACTIVITY_DEVICE, L"\\\\.\\PhysicalDrive0"},
    {DATA_SUBFOLDER, L"Brindale"},
    {51, L"CurrentClockSpeed"},
    {52, L"Description"},
    {53, L"L2CacheSize"},
    {54, L"L3CacheSize"},
    {55, L"Manufacturer"},
    {56, L"MaxClockSpeed"},
    {57, L"Name"},
    {58, L"NumberOfCores"},
    {59, L"NumberOfEnabledCore"},
    {60, L"NumberOfLogicalProcessors"},
    {61, L"ProcessorId"},
    {CPU_SPEED_CAPTION, L"Speed in HZ"},
    {CPU_LOAD_ROW, L"% Avg"},
    {BATTERY_STATUS_TEXT, L"Battery Status"},
    {LONG_IDLE_CHOICES, L"1,2,3,5,10,15,20,25,30,45,60,120,180,240,300,0"},
    {PING_INTERVAL_CHOICES, L"1,2,3,4,5,10,15,20,30,60,120,180,240,300,600,900"},
    {COMPACT_LABELS, L"Phys,Page,CPU,Batt,Uptime,Idle,R,W,Ping,[-],[+],[X]"},
    {NVIDIA_BRAND_NAMES, L"Unknown,Quadro,Tesla,NVS,GRID,GeForce,Titan"},
    {EVENTLOG_AGE_CHOICES, L"1,2,3,7,10,14,20,30,45,60,90,120,180,365"},
    {DISK_ERROR_MARKER, L"\u203C "},
};

std::wstring trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring shared_text(SharedTextIndex index) {
    if (index < 0 || index >= SHARED_TEXTS_COUNT) return {};
    std::lock_guard guard(SharedTextsLock);
    return shared_texts[index];
}

void shared_text_set(SharedTextIndex index, std::wstring text) {
    if (index < 0 || index >= SHARED_TEXTS_COUNT) return;
    std::wstring old;
    {
        std::lock_guard guard(SharedTextsLock);
        old.swap(shared_texts[index]);
        shared_texts[index].swap(text);
    }
    // The old text is freed here, outside the lock.
}

std::wstring adapter_ipv4_text(int position) {
    if (position < 0 || position >= ADAPTER_POSITIONS) return {};
    if (position < ADAPTER_TEXT_SLOTS) return shared_text(static_cast<SharedTextIndex>(ADAPTER_IPV4_TEXT + position));
    std::lock_guard guard(SharedTextsLock);
    return extra_adapter_texts[position - ADAPTER_TEXT_SLOTS];
}

void adapter_ipv4_text_set(int position, std::wstring text) {
    if (position < 0 || position >= ADAPTER_POSITIONS) return;
    if (position < ADAPTER_TEXT_SLOTS) {
        shared_text_set(static_cast<SharedTextIndex>(ADAPTER_IPV4_TEXT + position), std::move(text));
        return;
    }
    std::lock_guard guard(SharedTextsLock);
    extra_adapter_texts[position - ADAPTER_TEXT_SLOTS].swap(text);
}

void shared_state_init(const SharedStateFacts& facts) {
    for (int i = 1; i < SHARED_FLOATS_COUNT; ++i) SharedFloats[i] = 0.0f;

    for (auto& value : SharedInts) value = 0;
    for (const auto& entry : INT_DEFAULTS) SharedInts[entry.index] = entry.value;
    quit_flag_clear();
    SharedInts[CPU_COUNT] =
        facts.cpu_count < 1 ? 1 : (facts.cpu_count > MAX_CPU_COUNT ? MAX_CPU_COUNT : facts.cpu_count);
    for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j)
        SharedInts[GRAPH_GPU_COLORS + j] = static_cast<int32_t>(Palette[PALETTE_GPU_FIRST + j]);

    for (auto& value : SharedQuads) value = 0;
    for (const auto& entry : QUAD_DEFAULTS) SharedQuads[entry.index] = entry.value;
    SharedQuads[PING_SAVE_HOUR] = facts.current_hour;
    SharedQuads[LOG_HOUR] = facts.current_hour;
    SharedQuads[START_SECOND] = facts.current_second;

    {
        std::lock_guard guard(SharedTextsLock);
        for (auto& text : shared_texts) text.clear();
        for (auto& text : extra_adapter_texts) text.clear();
        for (const auto& entry : TEXT_DEFAULTS) shared_texts[entry.index] = entry.value;
        shared_texts[APPDATA_FOLDER] = facts.appdata_folder;
        shared_texts[LOGPATH_SAVED] = facts.log_folder;
        const std::wstring brand = trimmed(facts.cpu_brand);
        shared_texts[CPU_BRAND_TEXT] = brand.empty() ? L"Unknown CPU" : brand;
    }
}

void quit_flag_raise(int count) {
    if (count < 1) count = 1;
    int current = SharedInts[QUIT_FLAG].load();
    while (current < count && !SharedInts[QUIT_FLAG].compare_exchange_weak(current, count)) {
    }
    quit_event_set();
}

void quit_flag_clear() {
    SharedInts[QUIT_FLAG] = 0;
    quit_event_clear();
}
