// The record tables, lists and maps that several threads share, the colour palette and the eight named locks.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/fixed_text.h"
#include "runtime/date.h"
#include "runtime/leaf_lock.h"
#include "runtime/program_lock.h"

// ---- Colours (0x00BBGGRR) ----

constexpr std::array<uint32_t, 32> Palette = {
    0x000000, 0x800000, 0x007000, 0x808000, 0x000080, 0xEE82EE, 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x80FF80,
    0xFFFF00, 0x0000FF, 0xFFC0C0, 0x00FFFF, 0xFFFFFF, 0xFF00FF, 0x96BACD, 0x5757FF, 0x64B2FF, 0xDDBBC7, 0xAEE4E4,
    0xC0E0FF, 0xC0FFC0, 0xFFCBFF, 0xFFCC99, 0xA08040, 0xDC8080, 0xC080FF, 0x0080FF, 0x60A8C0, 0x408040,
};

// The Palette entries the code picks by name. Entries 8 to 15 are the bright twins of 0 to 7: a drive
// highlight fades from a bright entry to the dark one PALETTE_FADE_STEP below it.
enum PaletteEntry : int {
    PALETTE_BLACK = 0,
    PALETTE_DARK_GREEN = 2,
    PALETTE_TEAL = 3,
    PALETTE_MAROON = 4,
    PALETTE_SILVER = 7,
    PALETTE_LIGHT_GREEN = 10,
    PALETTE_CYAN = 11,
    PALETTE_RED = 12,
    PALETTE_YELLOW = 14,
    PALETTE_WHITE = 15,
    PALETTE_MAGENTA = 16,
    PALETTE_GPU_FIRST = 26,  // the six default GPU graph colours, 26..31
};
constexpr int PALETTE_FADE_STEP = 8;
static_assert(Palette[PALETTE_WHITE] == 0xFFFFFF && Palette[PALETTE_RED] == 0x0000FF &&
              Palette[PALETTE_CYAN] == 0xFFFF00 && Palette[PALETTE_SILVER] == 0xC0C0C0);
static_assert(PALETTE_WHITE - PALETTE_FADE_STEP == PALETTE_SILVER && PALETTE_CYAN - PALETTE_FADE_STEP == PALETTE_TEAL &&
              PALETTE_RED - PALETTE_FADE_STEP == PALETTE_MAROON &&
              PALETTE_LIGHT_GREEN - PALETTE_FADE_STEP == PALETTE_DARK_GREEN);

// ---- Data files ----

enum DataFileEntry : int {
    DATA_FILE_PROGRAM = 0,
    DATA_FILE_SETTINGS = 1,
    DATA_FILE_LOG = 2,
    DATA_FILE_PING = 3,
    DATA_FILE_SAGA = 4,
    DATA_FILE_MAC_VENDORS = 5,
    DATA_FILE_TEMP_TOOL = 6,
    DATA_FILE_PANEL = 7,
    DATA_FILE_COUNT = 8
};

// One file the program keeps or looks for, as the About tab's data-file panel shows it.
struct DataFile {
    int32_t flag = 0;          // per-entry state copied by the panel; the status text shows while it is 0
    Date stamp = 0;            // entry DATA_FILE_PANEL: before this date an unforced panel redraw is skipped
    std::wstring date_text;    // modification date as the panel shows it
    std::wstring file_name;    // without folder
    std::wstring folder;       // with a trailing "\"
    std::wstring alt_folder;   // second folder tried
    std::wstring status_text;  // translated status while the file is missing or switched off
};

// Guarded by DataFilesLock (a leaf lock): the panel, the stores and the samplers touch it on their threads.
extern std::array<DataFile, DATA_FILE_COUNT> DataFiles;
extern LeafLock DataFilesLock;

// Start-up contents: file names and folders. The data folder is appdata_folder + "Brindale\".
void data_files_init(const std::wstring& program_path, const std::wstring& appdata_folder, Date now);

// Looks up the status texts of entries 1 to 6 once the text table is loaded.
void data_files_translate();

// ---- Compact window cells ----

constexpr int COMPACT_CELL_COUNT = 100;
enum CompactCellNumber : int {
    CELL_DRIVE_SUMMARY = 0,
    CELL_DRIVE_FIRST = 1,  // drive A; cell n is drive n, the same index as in DriveTable
    CELL_DRIVE_LAST = 26,  // drive Z
    CELL_PHYSICAL = 28,
    CELL_PAGEFILE = 29,
    CELL_CPU = 30,
    CELL_BATTERY = 31,
    CELL_UPTIME = 32,
    CELL_IDLE = 33,
    CELL_DISK_READ = 34,
    CELL_DISK_WRITE = 35,
    CELL_PING = 36,
    CELL_MINIMIZE = 37,
    CELL_MAXIMIZE = 38,
    CELL_CLOSE = 39,
    CELL_FIXED_FIRST = CELL_PHYSICAL,  // the cells at fixed places, 28..39
    CELL_FIXED_LAST = CELL_CLOSE,
    CELL_GPU_FIRST = 41,
    CELL_GPU_LAST = 48,
    CELL_NETWORK_FIRST = 49,
    CELL_NETWORK_LAST = 80
};
static_assert(CELL_DRIVE_LAST - CELL_DRIVE_FIRST + 1 == 26 && CELL_DRIVE_LAST < CELL_FIXED_FIRST,
              "the drive cells A to Z come before the others");
static_assert(CELL_FIXED_LAST < CELL_GPU_FIRST && CELL_GPU_LAST < CELL_NETWORK_FIRST &&
              CELL_NETWORK_LAST < COMPACT_CELL_COUNT);

// The groups cell_group_redraw knows, by the number that names each. The fixed group is named by the cell
// before its first one: a fixed cell's number less CELL_GROUP_FIXED is its field in COMPACT_LABELS, counted
// from 1 (and, for cells CELL_PHYSICAL to CELL_DISK_READ, the title mode that shows it).
enum CompactCellGroup : int {
    CELL_GROUP_DRIVES = CELL_DRIVE_FIRST,
    CELL_GROUP_FIXED = CELL_FIXED_FIRST - 1,
    CELL_GROUP_GPUS = CELL_GPU_FIRST,
    CELL_GROUP_NETWORK = CELL_NETWORK_FIRST
};
static_assert(CELL_GROUP_FIXED == 27);

// CompactCell.shown. Only drive cells are ever lost; only present drive cells are laid out.
enum CompactCellShown : int32_t {
    CELL_HIDDEN = 0,
    CELL_SHOWN = 1,
    CELL_LOST = 2,  // a drive that was present and is gone; its cell keeps its texts
};

// One cell of the compact window: a label and a value on one text line. The texts and places are
// written and drawn under CellDrawMutex; the value slots are the owner's numbers, named below.
struct CompactCell {
    int32_t shown = CELL_HIDDEN;  // CompactCellShown
    int32_t x = 0;                // device pixels
    int32_t y = 0;
    int32_t column = 0;  // characters
    int32_t line = 0;    // counted from 1
    int32_t width = 0;   // characters
    int32_t drive_row = 0;
    int32_t text_color = 0;
    int32_t back_color = 0;
    FixedText<10> label;
    FixedText<10> label_key;   // untranslated label
    FixedText<60> value_text;  // current value, written by the cell's owner
    FixedText<60> drawn_text;  // value last drawn
    std::array<std::atomic<int64_t>, 8> values{};
};

// The value slots of the cells the system sampler owns. "Shown" slots hold a value as the cell text last
// showed it, so a change is seen at the next sample. The graph captions read MEMORY_SLOT_AVAILABLE_PERCENT
// and CPU_SLOT_CLOCK_PERCENT.
enum MemoryCellSlot : int {  // CELL_PHYSICAL and CELL_PAGEFILE
    MEMORY_SLOT_AVAILABLE_BYTES = 0,
    MEMORY_SLOT_AVAILABLE_MB = 1,
    MEMORY_SLOT_TOTAL_BYTES = 2,
    MEMORY_SLOT_TOTAL_REPORTED = 3,  // total at the last total check; 0 at start
    MEMORY_SLOT_AVAILABLE_MB_SHOWN = 4,
    MEMORY_SLOT_HIGHEST_MB = 5,  // highest available MB; -1 none yet
    MEMORY_SLOT_LOWEST_MB = 6,   // lowest available MB; -1 none yet
    MEMORY_SLOT_AVAILABLE_PERCENT = 7,
};
enum CpuCellSlot : int {        // CELL_CPU
    CPU_SLOT_IDLE_AVERAGE = 0,  // average idle state
    CPU_SLOT_CLOCK_MHZ = 1,     // current clock, average over the processors
    CPU_SLOT_LOGICAL_COUNT = 2,
    CPU_SLOT_CLOCK_PERCENT = 3,  // of the highest clock
    CPU_SLOT_CLOCK_MHZ_SHOWN = 4,
    CPU_SLOT_HIGHEST_MHZ = 5,  // starts at the base speed
    CPU_SLOT_LOWEST_MHZ = 6,   // -1 none yet
    CPU_SLOT_THROTTLE = 7,     // the power scheme's throttle value
};
enum BatteryCellSlot : int {    // CELL_BATTERY
    BATTERY_SLOT_CHARGING = 0,  // the charging flag (8) or 0
    BATTERY_SLOT_PERCENT = 1,   // -1 no reading
    BATTERY_SLOT_CHARGING_SHOWN = 2,
    BATTERY_SLOT_SAVER = 3,  // the battery saver is on (1)
    BATTERY_SLOT_PERCENT_SHOWN = 4,
    BATTERY_SLOT_AC_LINE = 5,  // 1 on, 0 off, -1 no reading
    BATTERY_SLOT_AC_LINE_SHOWN = 6,
    BATTERY_SLOT_SAVER_LOGGED = 7,
};
enum UptimeCellSlot : int {       // CELL_UPTIME
    UPTIME_SLOT_COUNTER = 0,      // performance-counter count
    UPTIME_SLOT_FREQUENCY = 1,    // performance-counter frequency
    UPTIME_SLOT_TEXT_LENGTH = 7,  // length of the uptime text before centring
};
enum IdleCellSlot : int {  // CELL_IDLE
    IDLE_SLOT_SECONDS = 0,
    IDLE_SLOT_SECONDS_SHOWN = 2,  // when the shown text last changed; 0 after an idle period ends
};

extern std::array<CompactCell, COMPACT_CELL_COUNT> CompactCells;

// ---- Drives ----

constexpr int DRIVE_ENTRY_COUNT = 27;  // 0 the fixed-drive summary, 1..26 the drives A to Z

// The Windows drive types (GetDriveTypeW) that DriveEntry.drive_type holds.
enum DriveType : int {
    TYPE_UNKNOWN = 0,
    TYPE_NO_ROOT = 1,
    TYPE_REMOVABLE = 2,
    TYPE_FIXED = 3,
    TYPE_REMOTE = 4,
    TYPE_CDROM = 5,
    TYPE_RAMDISK = 6
};

struct DriveEntry {
    int32_t highlight_rounds = 0;
    int32_t cd_tracks = 0;
    int32_t cd_seconds = 0;
    Date found_date = 0;
    FixedText<4> partition_style;  // "MBR", "GPT" or "RAW"
    int32_t fade_index = 0;        // Palette index of the fading highlight
    FixedText<2> tag;
    int32_t error_count = 0;  // disk errors from the System event log, at most 5
    Date error_until = 0;
    FixedText<1> separator;   // ":" local, "$" network, "r" RAM disk
    FixedText<2> drive_name;  // e.g. "C:"
    FixedText<1> letter;
    FixedText<21> device_partition;  // "disk:partition", room for any two 32-bit numbers
    int32_t device_number = -1;      // physical disk number; -1 when no disk was queried
    int32_t partition_number = -1;   // -1 unknown
    int32_t drive_type = 0;          // a DriveType
    int32_t alias_of = 0;
    FixedText<26> alias_letters;
    int32_t alias_count = 0;
    int64_t free_bytes = 0;
    int64_t total_bytes = 0;
    int32_t free_percent = 0;
    int64_t last_change = 0;
    int64_t total_change = 0;
    FixedText<33> volume_name;
    FixedText<33> old_volume_name;
    FixedText<16> serial;  // "0000-0000" for none
    FixedText<16> lost_serial;
    int32_t name_length = 0;
    FixedText<16> file_system;
    FixedText<260> device_text;  // vendor and product of the disk, or the network path
};

// Written by the drive watcher; other threads copy an entry under DriveTableLock (a leaf lock).
extern std::array<DriveEntry, DRIVE_ENTRY_COUNT> DriveTable;
extern LeafLock DriveTableLock;

// Translated names of the Windows drive types 0..6, filled at start-up and only read afterwards.
extern std::array<std::wstring, 7> DriveTypeNames;
void drive_type_names_fill();

// ---- Processors and temperature histories ----

struct HistoryPoint {
    int32_t color = 0;  // strip colour computed from the temperature when the point was added
    Date date = 0;
    int32_t temperature = 0;  // degrees Celsius
};
using HistoryList = std::deque<HistoryPoint>;  // oldest first; guarded by HistoryMutex

constexpr int CPU_CORE_ENTRY_COUNT = 145;

struct CpuCoreEntry {
    int32_t graph = 0;  // control number of the processor's graph
    FixedText<10> label;
    std::atomic<int32_t> mhz{0};
    std::atomic<int32_t> load{0};
    std::atomic<float> temperature{0.0f};  // 0 = none
    HistoryList history;                   // only entry 0 gets points
};

extern std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT> CpuCoreTable;

// ---- Rate graphs ----

// The drive watcher sets the start values while the system sampler may already rescale, so each field is an
// atomic of its own (relaxed): no reader ever sees half of a 64-bit store on i386.
struct RateGraphScale {
    std::atomic<int64_t> current_kb{0};
    std::atomic<int64_t> scale_top{0};  // a multiple of 128 KB
    std::atomic<int64_t> peak{0};
    std::atomic<int64_t> quiet_count{0};
};
static_assert(std::atomic<int64_t>::is_always_lock_free, "the rate-graph scales are read without a lock");

// 0 GRAPH_DISK_WRITE, 1 GRAPH_DISK_READ, 2 GRAPH_NET_SEND, 3 GRAPH_NET_RECEIVE.
extern std::array<RateGraphScale, 4> RateGraphScales;

// ---- Event log records ----

// Event types 0 none, 1 error, 2 warning, 3 information, 4 audit success, 5 audit failure.
constexpr int EVENT_TYPE_COUNT = 6;

// Entry t describes type t; entry n also maps item n of the two type combos to its type. The combos hold a
// total item and up to one item per type, so the items run to EVENT_TYPE_COUNT and need one entry more.
// The event page thread writes the integers while the main thread reads the item types when the user picks a
// type, so each is an atomic of its own (relaxed); the labels are set once by the page thread at its start and
// read only by it.
struct EventTypeInfo {
    std::atomic<int32_t> count{0};
    std::atomic<int32_t> list_item_type{0};
    std::atomic<int32_t> search_count{0};
    std::atomic<int32_t> search_item_type{0};
    std::atomic<int32_t> digits{0};
    std::wstring padded_label;
    std::wstring label;
};
inline constexpr std::size_t EVENT_TYPE_ITEMS = EVENT_TYPE_COUNT + 1;
extern std::array<EventTypeInfo, EVENT_TYPE_ITEMS> EventTypeTable;

// Every entry as at start-up: counts, item types and widths 0, no labels.
void event_type_table_clear();

struct EventRecord {
    int64_t record_number = 0;
    Date time_generated = 0;
    Date time_written = 0;
    int32_t event_id = 0;
    int32_t type = 0;
    int32_t disk_number = 0;
    std::wstring source;
    std::wstring computer;
    int32_t sid_length = 0;
    std::array<uint8_t, 68> sid{};  // the whole SID (68 bytes is the largest a SID can be)
    int32_t string_count = 0;
    std::wstring message;
    int32_t data_length = 0;
    std::wstring data_hex;
};

extern std::vector<EventRecord> EventList;
extern std::vector<int64_t> EventSearchList;  // indexes into EventList
extern LeafLock EventListLock;                // leaf lock of both event lists

// ---- Session history and ping hosts ----

struct SValues {
    std::wstring L;  // one line of an event list
};

struct SSys {
    std::wstring Name;
    int64_t Last = 0;  // Storage Monitor: number of its last separator; other lists: the line count
    std::vector<SValues> SV;
};
extern std::vector<SSys> SagaList;

struct PValues {
    Date S = 0;     // date of the sample
    int64_t T = 0;  // round-trip time in ms; -1 timed out, -2 resumed, -4 inactive
};

struct PSys {
    std::wstring Init;
    int32_t Actv = 0;
    int32_t Sent = 0;
    int32_t Recv = 0;
    int32_t Lost = 0;
    int32_t Time = 0;
    int32_t Best = -1;
    int32_t Wors = -1;
    Date Down = 0;
    int32_t PTTL = 0;
    int32_t PTOS = 0;
    int32_t Last = 0;  // 1 up, -1 down, 0 new
    int64_t Valu = 0;  // IPv4 address as a number
    int64_t Sort = 0;
    int32_t HiLi = 0;
    int32_t CFor = 0;
    int32_t CBak = 0;
    std::wstring Host;
    std::wstring Addr;
    std::deque<PValues> PV;  // oldest first
};

// Guarded by PingListMutex, together with PingCursor.
extern std::list<PSys> PingHostList;
extern int32_t PingCursor;
extern std::vector<int64_t> PingThreads;

// ---- GPU lists ----

extern std::deque<std::wstring> GpuInfoHistory;      // at most GPU_HISTORY_ROWS rows
extern std::vector<std::wstring> NvidiaReportLines;  // guarded by GpuInfoMutex
extern std::vector<std::wstring> AmdReportLines;     // guarded by GpuInfoMutex

constexpr int GPU_ENTRY_MAX = 8;  // one compact cell each, CELL_GPU_FIRST..CELL_GPU_LAST

// GPU entry n is shown in cell CELL_GPU_FIRST + n, graph slot n and item n of the GPU selector; the record
// says which GPU of which vendor it is. The one table every reader of an entry goes through.
struct GpuEntryIndexRecord {
    int32_t entry_count = 0;
    std::array<wchar_t, 16> letters{};       // "N" NVIDIA entries first, then "A" AMD
    std::array<int32_t, 16> vendor_index{};  // the entry's index in its vendor's own table
};
extern GpuEntryIndexRecord GpuEntryIndex;

// ---- Network ----

constexpr int NET_ADAPTER_COUNT = 32;  // position 0 stays empty
extern std::array<std::atomic<int32_t>, NET_ADAPTER_COUNT> AdapterOperStatus;

// ---- Maps ----

// MAC address prefix to vendor name, filled by the MAC vendor import and read by the ping probes.
struct MacVendorTable {
    LeafLock lock{"MacVendorLock"};
    std::unordered_map<std::wstring, std::wstring> map;
};
extern MacVendorTable MacVendorMap;

// ---- Log buffer ----

extern std::vector<std::wstring> LogBuffer;  // 101 entries at start-up; owned by the log writer

// ---- Single values ----

extern std::atomic<int64_t> SecondPhaseMs;        // millisecond phase at a whole-second boundary
extern std::atomic<intptr_t> DiskActivityHandle;  // 0 not opened; -1 the open failed

// ---- The eight named locks, re-entrant, nested only in the orders LockRank allows ----

extern ProgramLock HistoryMutex;
extern ProgramLock GpuInfoMutex;
extern ProgramLock GraphSamplesMutex;
extern ProgramLock GraphDrawMutex;
extern ProgramLock PingListMutex;
extern ProgramLock CellDrawMutex;
extern ProgramLock ClipboardMutex;
extern ProgramLock SagaListMutex;  // unused: the storage list counts its separators under the rows' lock

// Puts every table, list and map back to its start-up state (tests and start-up).
void shared_tables_init();
