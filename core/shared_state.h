// The four process-wide arrays every thread shares: integers, 64-bit values, texts and floats.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "runtime/leaf_lock.h"

// Indexes of SharedInts. Unnamed indexes are reserved or private to one subsystem.
enum SharedIntIndex : int {
    SCRATCH_1 = 1,
    SCRATCH_2 = 2,
    SCRATCH_3 = 3,
    COMPACT_FIXED_LINES = 11,
    COMPACT_FONT_SIZE = 12,
    COMPACT_LINE_HEIGHT = 13,
    QUIT_FLAG = 14,
    COMPACT_FONT_APPLIED = 15,
    BEEP_SKIP_COUNT = 16,
    DARK_MODE = 21,
    RESIZE_INFO_STATE = 23,  // 1 while the size box shows the active size, 0 while it asks for a restart
    COPY_TAB_REQUEST = 26,
    COMPACT_RELAYOUT_REQUEST = 27,
    COPY_TAB_DELIMITED = 28,
    SETTINGS_COLUMN_X = 31,  // the Settings page's row cursor while it is built (units)
    DRIVE_COUNT = 32,
    FIXED_DRIVE_COUNT = 33,
    DRIVE_SET_COUNTDOWN = 34,
    DRIVE_ALIAS_COUNT = 35,
    DRIVE_TEXT_WIDTH = 36,
    DRIVE_ROW_COUNT = 37,
    DRIVE_CHANGE_PENDING = 38,
    SPACE_CHECK_COUNTDOWN = 39,
    DRIVE_SUMMARY_REFRESH = 40,
    TITLE_COUNTDOWN = 41,
    TRAY_ICON_PRESENT = 43,
    LOG_LINE_COUNT = 44,
    LOG_CAPACITY = 45,
    SETTINGS_FRAME_TOP = 46,
    DRIVE_RESCAN_REQUEST = 47,
    DRIVE_CHANGES_RESET_REQUEST = 48,
    DRIVES_ARRIVED = 49,
    OPACITY_STEP = 50,
    OPACITY_PERCENT = 51,
    EXIT_LOOP_FLAG = 52,
    COMPACT_MODE_APPLIED = 53,
    MAX_EVENT_LINES = 55,
    TITLE_MODE = 56,
    CPU_LOAD_AVG = 57,
    LONG_IDLE_CHOICE = 58,
    LONG_IDLE_SECONDS = 59,
    SETTINGS_ROW_Y = 61,
    WINDOWS_DRIVE = 62,
    PORTABLE_MODE = 63,
    SETTINGS_FILE_PRESENT = 64,

    // The 26 option characters of the settings code: character n is element 64 + n.
    SETTINGS_FLAGS = 65,
    OPT_ALWAYS_ON_TOP = 65,
    OPT_LOG_BUFFERING = 66,
    OPT_TRAY_SINGLE_CLICK = 67,
    OPT_DISK_ACTIVITY_ICON = 68,
    OPT_EXTENDED_HISTORY = 69,
    OPT_LOG_STORAGE_EVENTS = 70,
    OPT_LOG_NETWORK_EVENTS = 71,
    OPT_LOG_DRIVE_SPACE = 72,
    OPT_LOG_SYSTEM_EVENTS = 73,
    OPT_RESTORE_SESSION = 74,
    MAC_VENDORS_OFF = 75,
    OPT_LOG_FILE = 76,
    OPT_START_MINIMIZED = 77,
    NET_SHOW_PACKETS = 78,
    OPT_TRANSPARENT = 79,
    OPT_POPUP_ON_DRIVES = 80,
    OPT_REALTIME_MEMORY = 81,
    OPT_REALTIME_NETWORK = 82,
    OPT_SOUND = 83,
    OPT_TRAY_ICON = 84,
    OPT_MINIMIZE_TO_TRAY = 85,
    OPT_PING_TIMELINE_FULL = 86,
    OPT_BORDERLESS = 87,
    OPT_CLOSE_TO_TRAY = 88,
    OPT_REMEMBER_POSITIONS = 89,
    SETTINGS_FLAGS_LAST = 90,  // carried in the settings code, no option of its own

    WORKAREA_HEIGHT = 91,
    WORKAREA_WIDTH = 92,
    COMPACT_HEIGHT = 93,
    COMPACT_WIDTH = 94,
    COMPACT_X = 95,
    COMPACT_Y = 96,
    MAIN_X = 97,
    MAIN_Y = 98,
    MONITOR_COUNT = 100,
    PROXY_ENABLED = 101,
    ADAPTER_COUNT = 102,
    ACTIVE_CONNECTIONS = 103,
    ADAPTERS_MATCHED = 104,
    INTERFACE_COUNT = 105,
    NET_LINES = 106,
    NET_READ_COUNTDOWN = 107,
    MAIN_WIDTH_STEP = 108,
    NET_RESCAN_COUNTDOWN = 109,
    MAIN_HEIGHT_STEP = 110,
    NET_RESCAN_REQUEST = 111,
    IP_LOOKUP_REQUEST = 112,
    DRIVE_FILTER_ITEM_COUNT = 121,
    DRIVE_FILTER_ITEM = 122,
    DRIVE_FILTER_INDEX = 123,
    DISK_RATE_TOP = 124,
    BYTE_UNIT = 125,
    NET_FILTER_ITEM = 132,
    NET_FILTER_ADAPTER = 133,
    NET_RATE_TOP = 134,
    TRAY_IMAGE = 141,
    INTERNET_FLAGS_SEEN = 142,
    INTERNET_FLAGS = 143,
    SYSTEM_SUMMARY_REQUEST = 144,
    MEMORY_RECORDS_RESET_REQUEST = 145,
    SETTINGS_PAGE_TOP = 146,
    REFRESH_LAST_TAB = 147,  // tab of the last throttled visible-tab redraw
    DESKTOP_WIDTH = 151,
    DESKTOP_HEIGHT = 152,
    DESKTOP_SCALE = 153,
    DESKTOP_DEPTH = 154,
    DESKTOP_REFRESH = 155,
    CAPTION_HEIGHT = 159,
    WINDOWS_BUILD = 160,
    VOLUME_NAME_WIDTH = 161,
    DRIVE_TYPE_NAME_WIDTH = 162,
    EVENTLOG_REFILL_REQUEST = 163,
    EVENTLOG_RELOAD_STATE = 164,
    EVENTLOG_DETAILS_INDEX = 165,
    EVENTLOG_SEARCH_STATE = 166,
    EVENTLOG_SEARCH_FIELD_MODE = 167,
    EVENTLOG_AGE_CHOICE = 168,
    EVENTLOG_DETAILS_SHOWN = 169,
    EVENTLOG_CHAR_WIDTH = 170,
    EVENTLOG_LINE_HEIGHT = 171,
    EVENTLOG_FONT_SIZE = 172,
    EVENTLOG_FONT_APPLIED = 173,
    EVENTLOG_TYPE_FILTER = 174,
    EVENTLOG_SEARCH_FILTER_USED = 175,
    SYSTEM_LOG_PRESENT = 176,
    EVENTLOG_DETAILS_HEIGHT = 177,
    EVENTLOG_CLOSE_REQUEST = 178,  // 1: the event page thread empties the event lists (the log was closed)
    ADL_CREATE_RESULT = 181,
    AMD_GPU_COUNT = 182,
    AMD_ENTRY_BASE = 183,
    GPU_GRAPH_START = 190,
    GPU_GRAPH_CURSOR = 191,
    GPU_HISTORY_ROWS = 194,
    GPU_VIEW_REFRESH_REQUEST = 195,
    GPU_VIEW_ALL_ROWS = 196,
    GPU_ENTRY_COUNT = 197,
    GPU_SELECTED = 198,
    NVIDIA_GPU_COUNT = 199,
    LANGUAGE = 200,
    HEADER_TEXT_HEIGHT = 201,  // pixels: three lines of the default font; below it the core graphs drop captions
    CPU_COUNT = 202,
    CORE_GRID_COLUMNS = 203,
    CORE_GRID_ROWS = 204,
    LEFT_MARGIN = 205,
    CORE_GRID_TOP = 206,
    CORE_GRID_WIDTH = 207,
    CORE_GRID_HEIGHT = 208,
    CORE_GRAPH_WIDTH = 209,
    CORE_GRAPH_HEIGHT = 210,
    CORE_GRAPH_GAP = 211,
    CORE_GRAPH_LAST = 212,
    CORE_GRAPH_START = 214,
    PANEL_HEIGHT = 216,
    PANEL_WIDTH = 217,
    HISTORY_LENGTH = 218,
    SIDE_COLUMN_WIDTH = 219,
    GRAPH_COLUMN_WIDTH = 220,
    SIDE_COLUMN_X = 221,
    TEMP_TOOL_STATE = 222,
    CPU_TEMP_LIMIT = 223,
    PING_REQ_REMOTE_DESKTOP = 253,
    MAC_VENDOR_COUNT = 254,
    PING_REQ_OPEN_NAME = 256,
    PING_REQ_OPEN_BROWSER = 257,
    PING_STATUS_SPAN_WIDTH = 258,  // pixels of the status line right of PING_TIMELINE_X
    PING_DATE_TEXT_WIDTH = 259,    // pixels of one "mm-dd hh:ii:ss" date
    PING_HEADER_LENGTH = 260,      // characters of PING_HEADER_TEXT
    PING_FONT_SIZE = 261,
    PING_FONT_APPLIED = 262,
    PING_MOST_SAMPLES = 263,
    PING_HOVER_LAST_ROW = 264,  // ping row whose hover text was last shown
    PING_HOVER_LAST_X = 265,    // timeline x at which that hover text was shown
    PING_HOVER_ROW = 266,
    PING_MOST_SAMPLES_ROW = 267,  // 0-based row of the host with the most samples at the last list draw
    PING_FLASH_COUNT = 269,
    PING_SAMPLES_MAX = 270,
    PING_HOSTS_MAX = 271,
    PING_INTERVAL_S = 272,
    PING_REQ_ADD_RANGE = 273,
    PING_CHANGE_COUNT = 274,
    PING_INTERVAL_CHOICE = 275,
    PING_TIMEOUT_MS = 276,
    PING_REQ_ADD_HOST = 278,
    PING_ROW_HEIGHT = 279,
    PING_CANVAS_ROWS = 280,  // rows the list canvas is sized for; -1 not sized yet
    PING_REQ_SELECT_ROW = 281,
    PING_TIMELINE_X = 282,
    PING_TIMELINE_WIDTH = 283,
    PING_REQ_ROW_ACTION = 284,
    PING_REQ_DELETE = 285,
    PING_REQ_RESET = 286,
    LIST_BACKGROUND_COLOR = 287,
    PING_SLOW_MS = 288,
    PING_SLOW_CHOICE = 289,
    PING_HOVER_X = 290,
    PING_MODE = 291,
    PING_REQ_SELECT_TIMED_OUT = 292,
    PING_CHAR_WIDTH = 293,
    PING_HEADER_COLUMN = 294,
    PING_REQ_SORT = 295,
    PING_UP_COUNT = 296,  // active hosts that answered, counted by every list draw
    PING_DOWN_COUNT = 297,
    PING_UP_SHOWN = 298,
    PING_DOWN_SHOWN = 299,
    PICKED_COLOR = 300,

    // SharedInts[graph control number] is the plot colour of that graph.
    GRAPH_DEFAULT_COLORS = 301,
    GRAPH_CORE_COLORS = 400,  // 400 + core index, 400..544
    GRAPH_GPU_COLORS = 800,   // 800 + 10 x GPU slot + 0..5

    SHARED_INTS_COUNT = 881
};

// What the compact window's title shows (SharedInts[TITLE_MODE]); kept in the settings code as one digit.
enum TitleMode : int32_t {
    TITLE_MODE_DRIVES = 0,  // the default: the drive watcher builds the title
    TITLE_MODE_PHYSICAL = 1,
    TITLE_MODE_PAGEFILE = 2,
    TITLE_MODE_CPU = 3,
    TITLE_MODE_BATTERY = 4,
    TITLE_MODE_UPTIME = 5,
    TITLE_MODE_IDLE = 6,
    TITLE_MODE_DISK = 7,
    TITLE_MODE_NETWORK = 8,
    TITLE_MODE_LAST = TITLE_MODE_NETWORK
};
static_assert(TITLE_MODE_LAST <= 9, "the settings code keeps the title mode as one decimal digit");

// Values of SharedInts[TEMP_TOOL_STATE], the system sampler's link to the outside temperature tool: below 0
// counts the processor steps until the next look.
enum TempToolState : int32_t {
    TEMP_TOOL_LOOK = 0,       // look for the tool at the next step
    TEMP_TOOL_OPENING = 1,    // the tool runs, its mapping is being opened
    TEMP_TOOL_MAPPING = 2,    // the mapping is open, its view is being mapped
    TEMP_TOOL_CONNECTED = 3,  // the view is mapped and read every step
};

// Indexes of SharedQuads.
enum SharedQuadIndex : int {
    DRIVE_RESCAN_COUNT = 15,
    SAGA_SEPARATOR_COUNT = 19,
    UPTIME_S = 30,
    BATTERY_REMAINING_S = 36,
    EVENTLOG_RECORD_COUNT = 40,
    EVENTLOG_LAST_RECORD = 41,
    EVENTLOG_NEWEST_RECORD = 42,
    EVENTLOG_RECORDS_READ = 43,
    AGE_STAMP = 60,
    NET_SEND_KB = 71,
    NET_RECV_KB = 72,
    DISK_WRITE_KB = 73,
    DISK_READ_KB = 74,
    PING_RANGE_FROM = 90,
    PING_RANGE_TO = 91,
    NVIDIA_SAMPLER_THREAD = 101,
    SYSTEM_SAMPLER_THREAD = 102,
    DRIVE_WATCHER_THREAD = 103,
    PING_MONITOR_THREAD = 104,
    NETWORK_THREAD = 105,
    CLIPBOARD_THREAD = 106,
    EVENTLOG_PAGE_THREAD = 107,
    DISK_ERROR_THREAD = 108,
    AMD_SAMPLER_THREAD = 109,
    ADL_LIBRARY = 110,
    POWRPROF_LIBRARY = 111,
    MPR_LIBRARY = 112,
    IPHLPAPI_LIBRARY = 113,
    NVML_LIBRARY = 114,
    PDH_LIBRARY = 115,
    DNSAPI_LIBRARY = 116,
    PING_IPHLPAPI_LIBRARY = 117,
    EVENTLOG_STATUS_UNTIL = 118,
    PING_LAST_SECOND = 119,
    PING_SAVE_HOUR = 120,
    START_SECOND = 121,
    LOG_HOUR = 123,
    EVENTLOG_UTC_OFFSET = 125,
    REFRESH_STAMP = 126,  // date of the last throttled visible-tab redraw
    TITLE_HOLD_UNTIL = 127,
    PING_MESSAGE_UNTIL = 129,  // date until which the Ping tab's status line keeps its message; 0 none held
    PING_NEXT_ROUND = 130,
    PING_LOOKUP_THREAD = 131,  // the host-name lookup worker, while one runs

    SHARED_QUADS_COUNT = 151
};

// Indexes of SharedTexts.
enum SharedTextIndex : int {
    TEXT_SCRATCH_1 = 1,
    TEXT_SCRATCH_2 = 2,
    TEXT_SCRATCH_3 = 3,
    DRIVE_LETTERS = 11,
    DRIVE_LETTERS_NEW = 12,
    TITLE_DRIVE_QUEUE = 13,
    TITLE_TEXT = 14,
    TITLE_TEXT_SHOWN = 15,
    NET_CELL_SEPARATOR = 17,
    CLIPBOARD_TEXT = 20,
    MAIN_TITLE = 21,
    STATUS_TITLE = 22,
    DISK_ACTIVITY_DEVICE = 23,
    UNSET_FOLDER_TEXT = 24,
    COMMAND_LINE = 25,
    RESIZE_INFO_TEXT = 26,  // the size box's fixed lines: the sizes at the top and bottom of the sliders
    DEFAULT_GATEWAY_TEXT = 27,
    PROXY_SERVER = 28,
    CORE_SPAN_TEXT = 29,  // time span of a core graph, "745 seconds (12.4 minutes)"
    SETTINGS_CODE_TEXT = 31,
    APPDATA_FOLDER = 34,
    EVENTLOG_NAME = 35,
    CONFIG_SAVED = 36,
    CONFIG_CURRENT = 37,
    LOGPATH_SAVED = 38,
    DRIVE_FILTER_LETTERS = 39,
    NET_FILTER_ADAPTERS = 40,
    COLOR_BAR_SAVED = 41,
    COLOR_CPU_SAVED = 42,
    COLOR_BAR_CURRENT = 43,
    COLOR_CPU_CURRENT = 44,
    DATA_SUBFOLDER = 46,
    DIGITS_SAVED = 47,
    DIGITS_CURRENT = 48,
    WORKING_FOLDER = 49,
    WINDOWS_NAME = 50,
    CPU_CURRENT_CLOCK_TEXT = 51,  // 51..61: the WMI processor properties, names until queried
    CPU_DESCRIPTION_TEXT = 52,
    CPU_L2_CACHE_TEXT = 53,
    CPU_L3_CACHE_TEXT = 54,
    CPU_MANUFACTURER_TEXT = 55,
    CPU_MAX_CLOCK_TEXT = 56,
    CPU_NAME_TEXT = 57,
    CPU_CORES_TEXT = 58,
    CPU_ENABLED_CORES_TEXT = 59,
    CPU_LOGICAL_COUNT_TEXT = 60,
    CPU_PROCESSOR_ID_TEXT = 61,
    CPU_SPEED_CAPTION = 62,
    CPU_LOAD_ROW = 63,
    EVENTLOG_HEADER_TEXT = 66,
    PING_HEADER_TEXT = 67,
    CPU_BRAND_TEXT = 70,
    IDLE_HISTORY_TEXT = 71,
    BATTERY_STATUS_TEXT = 72,
    LONG_IDLE_CHOICES = 74,
    INTERNET_STATE_TEXT = 76,
    DISK_RW_LETTERS = 77,
    NET_SR_LETTERS = 78,
    FILTER_DRV_SAVED = 79,
    FILTER_NIC_SAVED = 80,
    DRIVE_FILTER_SERIAL = 81,
    NET_FILTER_MAC = 82,
    PING_INTERVAL_CHOICES = 83,
    PING_ADD_QUEUE = 84,
    PING_ADD_NAME = 85,
    STATUS_MESSAGE = 87,
    COMPACT_LABELS = 88,
    SAGA_LIST_NAMES = 89,
    NVIDIA_BRAND_NAMES = 91,
    COLOR_GRAPH_SAVED = 94,
    COLOR_GRAPH_CURRENT = 95,
    IP_LOOKUP_TIME_TEXT = 96,
    EVENTLOG_AGE_CHOICES = 97,
    EVENTLOG_SEARCH_TEXT = 98,
    EVENTLOG_NAME_SAVED = 99,
    EXTERNAL_IP_TEXT = 100,   // position 0 of the adapter table holds no adapter
    ADAPTER_IPV4_TEXT = 100,  // 100 + adapter position, positions 0..19; see adapter_ipv4_text()
    DISK_ERROR_MARKER = 120,

    SHARED_TEXTS_COUNT = 121
};

// Indexes of SharedFloats (index 0 holds nothing).
enum SharedFloatIndex : int {
    COMPACT_CHAR_WIDTH = 1,
    SETTINGS_SCALE = 2,
    TABS_SCALE = 3,

    SHARED_FLOATS_COUNT = 4
};

constexpr int MAX_CPU_COUNT = 144;
// Minutes: the long-idle item marked "(Default)", and LONG_IDLE_SECONDS until settings are read.
constexpr int DEFAULT_LONG_IDLE = 10;
constexpr int ADAPTER_TEXT_SLOTS = 20;  // adapter positions with an address text in SharedTexts

extern std::array<std::atomic<int32_t>, SHARED_INTS_COUNT> SharedInts;
extern std::array<std::atomic<int64_t>, SHARED_QUADS_COUNT> SharedQuads;
extern std::array<std::atomic<float>, SHARED_FLOATS_COUNT> SharedFloats;

// Texts are read as a copy and replaced whole; a reader never sees a text being replaced.
// Guards the shared texts: held only while a text is copied in or out, never across another call.
extern LeafLock SharedTextsLock;
std::wstring shared_text(SharedTextIndex index);
void shared_text_set(SharedTextIndex index, std::wstring text);

// The last IPv4 address text of the network adapter at a table position (0..31). Positions below ADAPTER_TEXT_SLOTS
// live in SharedTexts ADAPTER_IPV4_TEXT + n; the others are kept apart, so no adapter ever overwrites the disk-error
// marker.
std::wstring adapter_ipv4_text(int position);
void adapter_ipv4_text_set(int position, std::wstring text);

// Facts of the machine and the moment that some defaults depend on; start-up gathers them.
struct SharedStateFacts {
    int cpu_count = 1;            // logical processors usable by the process
    int current_hour = 0;         // 0..23, local time
    int current_second = 0;       // 0..59, local time
    std::wstring appdata_folder;  // roaming application data folder, with a trailing "\"
    std::wstring log_folder;      // the default data folder (data-file entry 2)
    std::wstring cpu_brand;       // processor brand text as the processor reports it
};

// Gives all four arrays their defaults, in the documented order. Start-up calls it once, after the
// colour palette is filled and before any window or worker thread exists; tests call it to start afresh.
void shared_state_init(const SharedStateFacts& facts);

// The quit: QUIT_FLAG raised to at least count (1 asks every worker to end; the exit's wait counts it further
// up while it waits) and the process-wide quit event set, which wakes every worker waiting for its next round.
// Never lowers the flag. Any thread; every place that sets QUIT_FLAG goes through here.
void quit_flag_raise(int count);

// QUIT_FLAG back to 0 and the quit event cleared, for a fresh start in the same process (shared_state_init
// does it; tests that raised the quit call it).
void quit_flag_clear();
