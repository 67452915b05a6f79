// Start-up contents of the shared tables and the nesting rule of the named locks.
#include <gtest/gtest.h>

#include <mutex>

#include "core/control_numbers.h"
#include "core/lock_order.h"
#include "core/shared_tables.h"

namespace {

TEST(SharedTables, DataFilesStartWithTheirNamesAndFolders) {
    shared_tables_init();
    const Date date = date_from_parts({2026, 12, 10, 8, 0, 0});
    data_files_init(L"D:\\Tools\\Sotrix.exe", L"C:\\Users\\u\\AppData\\Roaming\\", date);
    const std::wstring data = L"C:\\Users\\u\\AppData\\Roaming\\Brindale\\";
    struct Case {
        int entry;
        const wchar_t* file_name;
        std::wstring folder;
    };
    const Case cases[] = {
        {DATA_FILE_PROGRAM, L"Sotrix.exe", L"D:\\Tools\\"},
        {DATA_FILE_SETTINGS, L"Sotrix.ini", data},
        {DATA_FILE_LOG, L"SX202612.log", data},
        {DATA_FILE_PING, L"SX-Ping.json", data},
        {DATA_FILE_SAGA, L"SX-Saga.json", data},
        {DATA_FILE_MAC_VENDORS, L"Mac-Vendors-Export.csv", data},
        {DATA_FILE_TEMP_TOOL, L"Core Temp.exe", L""},
        {DATA_FILE_PANEL, L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DataFiles[c.entry].file_name, c.file_name) << c.entry;
        EXPECT_EQ(DataFiles[c.entry].folder, c.folder) << c.entry;
    }
    EXPECT_EQ(DataFiles[DATA_FILE_PROGRAM].flag, 1);
    EXPECT_EQ(DataFiles[DATA_FILE_MAC_VENDORS].alt_folder, L"D:\\Tools\\");
    EXPECT_EQ(DataFiles[DATA_FILE_LOG].alt_folder, data);
}

// Start-up and every test begin from here: whatever a run left in the tables is gone.
TEST(SharedTables, InitPutsWhatARunChangedBackToTheStartUpState) {
    shared_tables_init();
    CompactCells[CELL_CPU].shown = CELL_SHOWN;
    CompactCells[CELL_CPU].value_text = L"37%";
    CompactCells[CELL_CPU].values[CPU_SLOT_THROTTLE] = 99;
    DriveTable[3].device_number = 0;
    DriveTable[3].volume_name = L"System";
    CpuCoreTable[5].graph = 0;
    CpuCoreTable[0].temperature = 55.0f;
    CpuCoreTable[0].history.push_back(HistoryPoint{0x0000FF, 1, 55});
    LogBuffer.assign(3, L"line");
    PingThreads.assign(2, 7);
    PingHostList.push_back(PSys{});
    PingCursor = 1;
    EventList.push_back(EventRecord{});
    GpuEntryIndex.entry_count = 2;
    MacVendorMap.map[L"00:11:22"] = L"Maker";
    AdapterOperStatus[4] = 1;
    DiskActivityHandle = -1;

    shared_tables_init();
    EXPECT_EQ(CompactCells[CELL_CPU].shown, CELL_HIDDEN);
    EXPECT_TRUE(CompactCells[CELL_CPU].value_text.empty());
    EXPECT_EQ(CompactCells[CELL_CPU].values[CPU_SLOT_THROTTLE].load(), 0);
    // A drive that was never queried matches no physical disk.
    EXPECT_EQ(DriveTable[3].device_number, -1);
    EXPECT_TRUE(DriveTable[3].volume_name.empty());
    for (int i = 0; i < CPU_CORE_ENTRY_COUNT; ++i) ASSERT_EQ(CpuCoreTable[i].graph, GRAPH_CPU_CORE_BASE + i) << i;
    EXPECT_EQ(CpuCoreTable[0].temperature.load(), 0.0f);
    EXPECT_TRUE(CpuCoreTable[0].history.empty());
    EXPECT_EQ(LogBuffer, std::vector<std::wstring>(101));
    EXPECT_EQ(PingThreads, std::vector<int64_t>(32));
    EXPECT_TRUE(PingHostList.empty());
    EXPECT_EQ(PingCursor, 0);
    EXPECT_TRUE(EventList.empty());
    EXPECT_EQ(GpuEntryIndex.entry_count, 0);
    EXPECT_TRUE(MacVendorMap.map.empty());
    EXPECT_EQ(AdapterOperStatus[4].load(), 0);
    EXPECT_EQ(DiskActivityHandle.load(), 0);
}

// Assigning cuts to the room and always ends the text, so a shorter text leaves nothing of a longer one.
TEST(SharedTables, FixedTextsCutToTheirRoom) {
    struct Case {
        const wchar_t* assigned;
        const wchar_t* kept;
    };
    const Case cases[] = {
        {L"", L""}, {L"GP", L"GP"}, {L"GPT", L"GPT"}, {L"GPTX", L"GPTX"}, {L"GPTX-long", L"GPTX"},
    };
    DriveEntry drive;
    for (const Case& c : cases) {
        drive.partition_style = L"WXYZ";
        drive.partition_style = c.assigned;
        EXPECT_EQ(drive.partition_style.view(), c.kept) << c.assigned;
        EXPECT_EQ(drive.partition_style.empty(), c.kept[0] == L'\0') << c.assigned;
    }
    drive.device_partition = L"10:12";
    EXPECT_EQ(drive.device_partition.view(), L"10:12");
    drive.letter = L"CD";
    EXPECT_EQ(drive.letter.view(), L"C");
    // A text with a terminator inside ends there.
    drive.volume_name = std::wstring_view(L"Da\0ta", 5);
    EXPECT_EQ(drive.volume_name.view(), L"Da");
}

TEST(LockOrder, OnlyTheDocumentedNestingsAreAllowed) {
    struct Case {
        int outer;
        int inner;
        bool allowed;
    };
    const Case cases[] = {
        {RANK_CLIPBOARD, RANK_HISTORY, true},
        {RANK_HISTORY, RANK_GPU_INFO, true},
        {RANK_CLIPBOARD, RANK_GPU_INFO, true},
        {RANK_CLIPBOARD, RANK_PING_LIST, true},
        {RANK_HISTORY, RANK_PING_LIST, true},
        {RANK_HISTORY, RANK_GRAPH_DRAW, true},
        {RANK_GRAPH_DRAW, RANK_GRAPH_SAMPLES, true},
        {RANK_HISTORY, RANK_GRAPH_SAMPLES, true},
        {RANK_HISTORY, RANK_CLIPBOARD, false},
        {RANK_GPU_INFO, RANK_HISTORY, false},
        {RANK_PING_LIST, RANK_HISTORY, false},
        {RANK_GRAPH_SAMPLES, RANK_GRAPH_DRAW, false},
        {RANK_GRAPH_DRAW, RANK_HISTORY, false},
        {RANK_CELL_DRAW, RANK_HISTORY, false},
        {RANK_HISTORY, RANK_CELL_DRAW, false},
        {RANK_SAGA_LIST, RANK_CELL_DRAW, false},
        {RANK_CLIPBOARD, RANK_SAGA_LIST, false},
        {RANK_HISTORY, RANK_HISTORY, false},
        {RANK_HISTORY, 0, false},
        {0, RANK_HISTORY, false},
        {RANK_GRAPH_DRAW, 99, false},
        {99, RANK_GRAPH_SAMPLES, false},
        {RANK_HISTORY, LOCK_RANK_LEAF, true},
        {RANK_GRAPH_SAMPLES, LOCK_RANK_LEAF, true},
        {RANK_CELL_DRAW, LOCK_RANK_LEAF, false},
        {RANK_SAGA_LIST, LOCK_RANK_LEAF, false},
        {LOCK_RANK_LEAF, RANK_HISTORY, false},
        {LOCK_RANK_LEAF, RANK_CELL_DRAW, false},
        {LOCK_RANK_LEAF, LOCK_RANK_LEAF, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lock_order_allowed(c.outer, c.inner), c.allowed) << c.outer << " -> " << c.inner;
}

// The program's rule in the lock-order check: a leaf lock under a named lock passes, under the cell drawing's
// lock it stops the program naming both.
TEST(LockOrder, ALeafLockUnderTheCellLockIsReported) {
    ASSERT_TRUE(lock_order_check_enabled()) << "every build with tests has the lock-order check";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    shared_tables_init();  // installs the rule
    {
        std::lock_guard history(HistoryMutex);
        std::lock_guard files(DataFilesLock);
    }
    EXPECT_DEATH_IF_SUPPORTED(
        {
            std::lock_guard cells(CellDrawMutex);
            std::lock_guard drives(DriveTableLock);
        },
        "lock order violated: DriveTableLock taken while CellDrawMutex is held");
    EXPECT_DEATH_IF_SUPPORTED(
        {
            std::lock_guard drives(DriveTableLock);
            std::lock_guard cells(CellDrawMutex);
        },
        "lock order violated: CellDrawMutex taken while DriveTableLock is held");
}

}  // namespace
