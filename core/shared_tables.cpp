// The shared record tables, lists, maps and locks, with their start-up contents.
#include "core/shared_tables.h"

#include "core/language.h"
#include "core/lock_order.h"

std::array<DataFile, DATA_FILE_COUNT> DataFiles;
LeafLock DataFilesLock("DataFilesLock");
std::array<CompactCell, COMPACT_CELL_COUNT> CompactCells;
std::array<DriveEntry, DRIVE_ENTRY_COUNT> DriveTable;
LeafLock DriveTableLock("DriveTableLock");
std::array<std::wstring, 7> DriveTypeNames;
std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT> CpuCoreTable;
std::array<RateGraphScale, 4> RateGraphScales;
std::array<EventTypeInfo, EVENT_TYPE_ITEMS> EventTypeTable;
std::vector<EventRecord> EventList;
std::vector<int64_t> EventSearchList;
LeafLock EventListLock("EventListLock");
std::vector<SSys> SagaList;
std::list<PSys> PingHostList;
int32_t PingCursor = 0;
std::vector<int64_t> PingThreads(32);
std::deque<std::wstring> GpuInfoHistory;
std::vector<std::wstring> NvidiaReportLines;
std::vector<std::wstring> AmdReportLines;
GpuEntryIndexRecord GpuEntryIndex;
std::array<std::atomic<int32_t>, NET_ADAPTER_COUNT> AdapterOperStatus{};
MacVendorTable MacVendorMap;
std::vector<std::wstring> LogBuffer(101);
std::atomic<int64_t> SecondPhaseMs{0};
std::atomic<intptr_t> DiskActivityHandle{0};

ProgramLock HistoryMutex("HistoryMutex", RANK_HISTORY);
ProgramLock GpuInfoMutex("GpuInfoMutex", RANK_GPU_INFO);
ProgramLock GraphSamplesMutex("GraphSamplesMutex", RANK_GRAPH_SAMPLES);
ProgramLock GraphDrawMutex("GraphDrawMutex", RANK_GRAPH_DRAW);
ProgramLock PingListMutex("PingListMutex", RANK_PING_LIST);
ProgramLock CellDrawMutex("CellDrawMutex", RANK_CELL_DRAW);
ProgramLock ClipboardMutex("ClipboardMutex", RANK_CLIPBOARD);
ProgramLock SagaListMutex("SagaListMutex", RANK_SAGA_LIST);

namespace {

struct RankPair {
    int outer;
    int inner;
};

constexpr RankPair DIRECT_NESTINGS[] = {
    {RANK_CLIPBOARD, RANK_HISTORY},  {RANK_HISTORY, RANK_GPU_INFO},  {RANK_CLIPBOARD, RANK_PING_LIST},
    {RANK_HISTORY, RANK_GRAPH_DRAW}, {RANK_HISTORY, RANK_PING_LIST}, {RANK_GRAPH_DRAW, RANK_GRAPH_SAMPLES},
};

bool reachable(int from, int to, int depth) {
    if (depth > 8) return false;
    for (const auto& pair : DIRECT_NESTINGS) {
        if (pair.outer != from) continue;
        if (pair.inner == to || reachable(pair.inner, to, depth + 1)) return true;
    }
    return false;
}

std::wstring folder_of(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring file_name_of(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool lock_order_allowed(int outer, int inner) {
    if (outer == LOCK_RANK_LEAF) return false;
    if (inner == LOCK_RANK_LEAF) return outer != RANK_CELL_DRAW && outer != RANK_SAGA_LIST;
    return reachable(outer, inner, 0);
}

void data_files_init(const std::wstring& program_path, const std::wstring& appdata_folder, Date now) {
    const std::wstring data_folder = appdata_folder + L"Brindale\\";
    const std::wstring program_folder = folder_of(program_path);
    std::lock_guard guard(DataFilesLock);
    for (auto& entry : DataFiles) entry = DataFile{};
    DataFiles[DATA_FILE_PROGRAM].file_name = file_name_of(program_path);
    DataFiles[DATA_FILE_PROGRAM].folder = program_folder;
    DataFiles[DATA_FILE_PROGRAM].flag = 1;
    DataFiles[DATA_FILE_SETTINGS].file_name = L"Sotrix.ini";
    DataFiles[DATA_FILE_SETTINGS].folder = data_folder;
    DataFiles[DATA_FILE_LOG].file_name = L"SX" + date_format(L"%yyyy%mm", now) + L".log";
    DataFiles[DATA_FILE_LOG].folder = data_folder;
    DataFiles[DATA_FILE_LOG].alt_folder = data_folder;
    DataFiles[DATA_FILE_PING].file_name = L"SX-Ping.json";
    DataFiles[DATA_FILE_PING].folder = data_folder;
    DataFiles[DATA_FILE_SAGA].file_name = L"SX-Saga.json";
    DataFiles[DATA_FILE_SAGA].folder = data_folder;
    DataFiles[DATA_FILE_MAC_VENDORS].file_name = L"Mac-Vendors-Export.csv";
    DataFiles[DATA_FILE_MAC_VENDORS].folder = data_folder;
    DataFiles[DATA_FILE_MAC_VENDORS].alt_folder = program_folder;
    DataFiles[DATA_FILE_TEMP_TOOL].file_name = L"Core Temp.exe";
}

void data_files_translate() {
    static constexpr const wchar_t* STATUS_KEYS[DATA_FILE_COUNT] = {
        nullptr,
        L"Using default settings",
        L"Log file setting disabled",
        L"No active ping data",
        L"Previous sessions events disabled",
        L"MAC Vendor CSV database not loaded",
        L"Initializing",
        nullptr,
    };
    std::lock_guard guard(DataFilesLock);
    for (int i = 0; i < DATA_FILE_COUNT; ++i) {
        if (STATUS_KEYS[i]) DataFiles[i].status_text = tr(STATUS_KEYS[i]);
    }
}

void drive_type_names_fill() {
    static constexpr const wchar_t* NAMES[7] = {L"Unknown", L"No Root",   L"Removable", L"Local",
                                                L"Remote",  L"CD/DVD/BR", L"Ramdisk"};
    for (int i = 0; i < 7; ++i) DriveTypeNames[i] = tr(NAMES[i]);
}

void event_type_table_clear() {
    for (EventTypeInfo& type : EventTypeTable) {
        type.count = 0;
        type.list_item_type = 0;
        type.search_count = 0;
        type.search_item_type = 0;
        type.digits = 0;
        type.padded_label.clear();
        type.label.clear();
    }
}

void shared_tables_init() {
    lock_order_set_rule(lock_order_allowed);
    event_type_table_clear();
    for (auto& name : DriveTypeNames) name.clear();
    {
        std::lock_guard guard(DataFilesLock);
        for (auto& entry : DataFiles) entry = DataFile{};
    }
    for (auto& cell : CompactCells) {
        cell.shown = cell.x = cell.y = cell.column = cell.line = cell.width = cell.drive_row = 0;
        cell.text_color = cell.back_color = 0;
        cell.label = L"";
        cell.label_key = L"";
        cell.value_text = L"";
        cell.drawn_text = L"";
        for (auto& value : cell.values) value = 0;
    }
    {
        std::lock_guard guard(DriveTableLock);
        for (auto& drive : DriveTable) drive = DriveEntry{};
    }
    PingThreads.assign(32, 0);
    for (auto& status : AdapterOperStatus) status = 0;
    LogBuffer.assign(101, std::wstring());
    for (auto& scale : RateGraphScales) {
        scale.current_kb = 0;
        scale.scale_top = 0;
        scale.peak = 0;
        scale.quiet_count = 0;
    }
    {
        std::lock_guard guard(HistoryMutex);
        for (int i = 0; i < CPU_CORE_ENTRY_COUNT; ++i) {
            CpuCoreEntry& core = CpuCoreTable[i];
            core.graph = 400 + i;
            core.label = L"";
            core.mhz = 0;
            core.load = 0;
            core.temperature = 0.0f;
            core.history.clear();
        }
    }
    {
        std::lock_guard guard(EventListLock);
        EventList.clear();
        EventSearchList.clear();
    }
    SagaList.clear();
    {
        std::lock_guard guard(PingListMutex);
        PingHostList.clear();
        PingCursor = 0;
    }
    {
        std::lock_guard guard(GpuInfoMutex);
        GpuInfoHistory.clear();
        NvidiaReportLines.clear();
        AmdReportLines.clear();
    }
    {
        std::lock_guard guard(MacVendorMap.lock);
        MacVendorMap.map.clear();
    }
    GpuEntryIndex = GpuEntryIndexRecord{};
    SecondPhaseMs = 0;
    DiskActivityHandle = 0;
}
