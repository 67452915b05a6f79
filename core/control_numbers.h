// Numbers of the program's windows, controls, fonts, images and tray icons: every part refers to a
// control by its number.
#pragma once

enum WindowNumber : int {
    WIN_COMPACT = 100,  // the compact window, also the splash while loading
    WIN_MAIN = 101,
};

enum ControlNumber : int {
    TEXT_SPLASH = 0,  // the already-running notice's text, then the splash lines, in WIN_COMPACT
    PANEL_MAIN = 102,
    CANVAS_COMPACT = 112,

    LIST_SYSTEM_EVENTS = 133,
    LIST_NETWORK_EVENTS = 134,
    LIST_STORAGE_MONITOR = 135,

    BUTTON_EXPORT_SETTINGS = 137,
    BUTTON_IMPORT_SETTINGS = 138,
    BUTTON_SHUTDOWN = 139,
    BUTTON_RESTART = 140,
    BUTTON_SET_LOG_FOLDER = 141,
    BUTTON_DEFAULT_LOG_FOLDER = 142,
    BUTTON_PORTABLE_LOG_FOLDER = 143,

    BUTTON_PING_ADD = 144,
    BUTTON_PING_DELETE = 145,
    BUTTON_PING_NOW = 146,
    BUTTON_PING_RESET = 147,
    BUTTON_EVENT_SEARCH = 148,
    BUTTON_EVENT_CLEAR = 149,

    CANVAS_DATA_FILES = 150,
    CANVAS_PING_LIST = 151,
    CANVAS_PING_STATUS = 152,
    CANVAS_EVENTS_STATUS = 153,
    CANVAS_GPU_TEMPERATURE = 154,
    CANVAS_CPU_TEMPERATURE = 155,
    CANVAS_SYSTEM_HEADER = 156,
    LABEL_PING_HINT = 157,  // the Ping tab's description cue, or the dash between the range fields
    CANVAS_EVENT_SEARCH_CUE = 158,

    // The option check boxes of the Settings tab (core/settings_controls.h maps each to its option).
    CHECK_ALWAYS_ON_TOP = 159,
    CHECK_LOG_FILE = 160,
    CHECK_LOG_BUFFERING = 161,
    CHECK_LOG_STORAGE_EVENTS = 162,
    CHECK_LOG_NETWORK_EVENTS = 163,
    CHECK_LOG_DRIVE_SPACE = 164,
    CHECK_LOG_SYSTEM_EVENTS = 165,
    CHECK_RESTORE_SESSION = 166,
    CHECK_REMEMBER_POSITIONS = 167,
    CHECK_START_MINIMIZED = 168,
    CHECK_POPUP_ON_DRIVES = 169,
    CHECK_PING_TIMELINE_FULL = 170,
    CHECK_REALTIME_MEMORY = 171,
    CHECK_REALTIME_NETWORK = 172,
    CHECK_EXTENDED_HISTORY = 173,
    CHECK_SOUND = 174,
    CHECK_TRAY_ICON = 175,
    CHECK_DISK_ACTIVITY_ICON = 176,
    CHECK_TRAY_SINGLE_CLICK = 177,
    CHECK_CLOSE_TO_TRAY = 178,
    CHECK_MINIMIZE_TO_TRAY = 179,
    CHECK_TRANSPARENT = 180,
    CHECK_BORDERLESS = 181,

    COMBO_DRIVE_FILTER = 182,
    COMBO_BYTE_UNIT = 183,
    COMBO_GPU = 184,
    COMBO_LONG_IDLE = 185,
    COMBO_NETWORK_FILTER = 186,
    COMBO_NETWORK_UNIT = 187,
    COMBO_PING_MODE = 188,
    COMBO_PING_INTERVAL = 189,
    COMBO_PING_SLOW = 190,
    COMBO_PING_FONT_SIZE = 191,
    COMBO_TITLE_TEXT = 192,
    COMBO_EVENT_LOG = 193,
    COMBO_EVENT_DAYS = 194,
    COMBO_EVENT_SEARCH_MODE = 195,
    COMBO_EVENT_FONT_SIZE = 196,
    COMBO_EVENT_TYPE = 197,
    COMBO_EVENT_SEARCH_TYPE = 198,

    CONTAINER_FOLDER_CHOOSER = 200,
    TREE_FOLDER_CHOOSER = 201,
    BUTTON_OPEN_EXPLORER = 202,
    PICTURE_RESIZE_PREVIEW = 216,

    LIST_BATTERY = 217,
    LIST_PROCESSORS = 218,
    LIST_CPU_BASE_SPEED = 219,
    LIST_CPU_SPEED = 220,
    LIST_GPU_ID = 221,
    LIST_NETWORK_ID = 222,
    LIST_PHYSICAL_MEMORY = 223,
    LIST_PAGEFILE_MEMORY = 224,
    LIST_DRIVE_ID = 225,
    LIST_NETWORK_ADAPTERS = 226,
    LIST_GPU_INFO = 227,
    LIST_EVENTS = 228,
    LIST_EVENT_SEARCH = 229,
    LIST_EVENT_DETAILS = 230,
    SCROLL_PING_LIST = 231,
    TEXT_LOG_FOLDER = 232,
    INPUT_PING_HOST = 233,
    INPUT_PING_IP_FROM = 234,
    INPUT_PING_IP_TO = 235,
    INPUT_PING_DESCRIPTION = 236,
    INPUT_EVENT_SEARCH = 237,
    TEXT_ABOUT = 238,
    TEXT_ABOUT_SUPPORT = 239,
    TEXT_POSITIONS_BOX = 241,
    TEXT_POSITIONS_LABELS = 242,
    TEXT_POSITIONS_VALUES = 243,
    LINK_WEBSITE = 244,
    LINK_DONATION = 245,
    TEXT_MAC_VENDOR_FILE = 246,
    TEXT_LOG_BUFFER = 248,
    TEXT_RESIZE_INFO = 250,
    TRACK_TRANSPARENCY = 251,
    TRACK_WINDOW_WIDTH = 252,
    TRACK_WINDOW_HEIGHT = 253,

    GRAPH_PHYSICAL_MEMORY = 301,
    GRAPH_PAGEFILE = 302,
    GRAPH_CPU_SPEED = 303,
    GRAPH_DISK_READ = 304,
    GRAPH_NET_SEND = 305,
    GRAPH_NET_RECEIVE = 306,
    GRAPH_CPU_AVERAGE = 307,
    GRAPH_DISK_WRITE = 308,
    GRAPH_CPU_CORE_BASE = 400,  // + core index, below + CORE_GRAPH_SPAN
    GRAPH_GPU_BASE = 800,       // + GPU_SLOT_STEP x GPU slot + GRAPH_GPU_UTILISATION..GRAPH_GPU_POWER
};

// The graph-number layout. The fixed graphs take GRAPH_PHYSICAL_MEMORY..FIXED_GRAPH_LAST; the per-core and GPU
// graphs start at SharedInts[CORE_GRAPH_START] and SharedInts[GPU_GRAPH_START] (GRAPH_CPU_CORE_BASE and
// GRAPH_GPU_BASE). The settings file keeps colours by these numbers, so the layout is part of what users saved.
inline constexpr int FIXED_GRAPH_LAST = 399;
inline constexpr int CORE_GRAPH_SPAN = 144;  // the per-core range, start to start + span inclusive
inline constexpr int GPU_SLOT_STEP = 10;     // graph numbers from one GPU slot to the next
inline constexpr int GRAPH_GPU_SLOTS = 8;    // GPU slots with graphs
inline constexpr int GPU_GRAPH_SPAN = GPU_SLOT_STEP * GRAPH_GPU_SLOTS;  // the GPU range, start to start + span

// Graph j of a GPU slot: its number is the slot's first graph + j. Plain numbers rather than an enum, as they
// are added to control numbers.
inline constexpr int GRAPH_GPU_UTILISATION = 0;  // percent
inline constexpr int GRAPH_GPU_MEMORY_UTILISATION = 1;
inline constexpr int GRAPH_GPU_FAN = 2;
inline constexpr int GRAPH_GPU_CLOCK = 3;         // percent of the highest clock
inline constexpr int GRAPH_GPU_MEMORY_CLOCK = 4;  // percent of the highest memory clock
inline constexpr int GRAPH_GPU_POWER = 5;         // watts; the only graph of a slot that is not in percent
inline constexpr int GPU_GRAPHS_PER_SLOT = 6;

static_assert(FIXED_GRAPH_LAST < GRAPH_CPU_CORE_BASE, "the fixed graphs would reach the per-core ones");
static_assert(GRAPH_GPU_POWER == GPU_GRAPHS_PER_SLOT - 1, "a GPU slot's graphs, one after the other");
static_assert(GPU_GRAPHS_PER_SLOT <= GPU_SLOT_STEP, "a GPU slot's graphs would run into the next slot's");
static_assert(GRAPH_CPU_CORE_BASE + CORE_GRAPH_SPAN < GRAPH_GPU_BASE, "the per-core graphs would reach the GPU's");

enum FontNumber : int {
    FONT_COMPACT = 203,
    FONT_DEFAULT = 204,
    FONT_NOTICE = 205,
    FONT_FIXED_SMALL = 206,
    FONT_ABOUT = 207,
    FONT_PING_LIST = 208,
    FONT_EVENT_LIST = 209,  // the Events tab's lists and status line; the event page thread owns it
    FONT_SETTINGS = 210,
    FONT_CUE = 211,
    FONT_STRIP = 212,
    FONT_HEADER = 213,
    FONT_GRAPH = 215,  // the texts of every graph control (their attribute 9)
};

enum ImageNumber : int {
    IMAGE_TRAY_ICON = 103,
    IMAGE_DISK_IDLE = 104,
    IMAGE_DISK_READ = 105,
    IMAGE_DISK_WRITE = 106,
    IMAGE_DISK_READ_WRITE = 107,
    IMAGE_PROGRAM_LARGE = 111,
    IMAGE_LOGO = IMAGE_PROGRAM_LARGE,  // the System tab's header shows the large program icon
    IMAGE_RESIZE_PREVIEW = 215,        // the window-size preview, drawn anew on each update
};

enum TrayNumber : int {
    TRAY_MAIN = 108,
};

enum TabNumber : int {
    TAB_SYSTEM = 0,
    TAB_PROCESSORS = 1,
    TAB_GRAPHICS = 2,
    TAB_STORAGE = 3,
    TAB_NETWORKS = 4,
    TAB_PING = 5,
    TAB_EVENTS = 6,
    TAB_SETTINGS = 7,
    TAB_ABOUT = 8,
};

// Numbers of the optional libraries loaded through library_load (runtime/program_libraries.h). The
// SharedQuads element of a library holds its number while it is loaded, 0 otherwise.
enum LibraryNumber : int {
    LIBRARY_PING_IPHLPAPI = 114,  // IP Helper loaded again by the ping monitor, for SendARP
    LIBRARY_POWRPROF = 115,
    LIBRARY_MPR = 116,
    LIBRARY_IPHLPAPI = 117,
    LIBRARY_PDH = 118,
    LIBRARY_DNSAPI = 119,
    LIBRARY_VERSION = 120,  // loaded and freed inside one call
    LIBRARY_NTDLL = 121,    // loaded and freed inside the Windows identification
    LIBRARY_ADL = 122,      // the AMD display library
    LIBRARY_NVML = 123,     // the NVIDIA management library
};

enum TimerNumber : int {
    TIMER_NOTICE = 0,  // of WIN_COMPACT while it is the already-running notice
};

// Event numbers of the keyboard shortcuts.
enum ShortcutNumber : int {
    SHORTCUT_F5 = 305,
    SHORTCUT_F6 = 306,
    SHORTCUT_COPY = 307,
    SHORTCUT_SMOOTH_GRAPHS = 308,
    SHORTCUT_NEXT_TAB = 309,
    SHORTCUT_PREVIOUS_TAB = 310,
    SHORTCUT_INVERT_COLORS = 311,
    SHORTCUT_NUDGE_UP = 312,
    SHORTCUT_NUDGE_DOWN = 313,
    SHORTCUT_NUDGE_LEFT = 314,
    SHORTCUT_NUDGE_RIGHT = 315,
    SHORTCUT_JUMP_UP = 316,
    SHORTCUT_JUMP_DOWN = 317,
    SHORTCUT_JUMP_LEFT = 318,
    SHORTCUT_JUMP_RIGHT = 319,
    SHORTCUT_ENTER = 320,
    SHORTCUT_COPY_TABBED = 321,
    SHORTCUT_FONT_LARGER = 322,
    SHORTCUT_FONT_SMALLER = 323,
    SHORTCUT_FONT_RESET = 324,
    SHORTCUT_FIND = 325,
    SHORTCUT_LIST_FONT_LARGER = 326,
    SHORTCUT_LIST_FONT_SMALLER = 327,
    SHORTCUT_LIST_FONT_RESET = 328,
    SHORTCUT_F7 = 329,
};
