// Start-up contents of the shared tables and the nesting rule of the named locks.
#include <gtest/gtest.h>

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

TEST(SharedTables, TablesHaveTheirSizesAndStartValues) {
    shared_tables_init();
    EXPECT_EQ(CompactCells.size(), 100u);
    EXPECT_EQ(DriveTable.size(), 27u);
    EXPECT_EQ(CpuCoreTable.size(), 145u);
    EXPECT_EQ(LogBuffer.size(), 101u);
    EXPECT_EQ(PingThreads.size(), 32u);
    for (int i = 0; i < CPU_CORE_ENTRY_COUNT; ++i) EXPECT_EQ(CpuCoreTable[i].graph, 400 + i);
    // A drive that was never queried matches no physical disk.
    EXPECT_EQ(DriveTable[3].device_number, -1);
    EXPECT_EQ(GpuEntryIndex.entry_count, 0);
    EXPECT_EQ(Palette[0], 0x000000u);
    EXPECT_EQ(Palette[18], 0x5757FFu);
    EXPECT_EQ(Palette[31], 0x408040u);
}

TEST(SharedTables, FixedTextsCutToTheirRoom) {
    DriveEntry drive;
    drive.device_partition = L"10:12";
    EXPECT_EQ(drive.device_partition.view(), L"10:12");
    drive.partition_style = L"GPTX-long";
    EXPECT_EQ(drive.partition_style.view(), L"GPTX");
    drive.letter = L"";
    EXPECT_TRUE(drive.letter.empty());
}

TEST(LockOrder, OnlyTheDocumentedNestingsAreAllowed) {
    struct Case {
        int outer;
        int inner;
        bool allowed;
    };
    const Case cases[] = {
        {RANK_CLIPBOARD, RANK_HISTORY, true},        {RANK_HISTORY, RANK_GPU_INFO, true},
        {RANK_CLIPBOARD, RANK_GPU_INFO, true},       {RANK_CLIPBOARD, RANK_PING_LIST, true},
        {RANK_HISTORY, RANK_PING_LIST, true},        {RANK_HISTORY, RANK_GRAPH_DRAW, true},
        {RANK_GRAPH_DRAW, RANK_GRAPH_SAMPLES, true}, {RANK_HISTORY, RANK_GRAPH_SAMPLES, true},
        {RANK_HISTORY, RANK_CLIPBOARD, false},       {RANK_GPU_INFO, RANK_HISTORY, false},
        {RANK_PING_LIST, RANK_HISTORY, false},       {RANK_GRAPH_SAMPLES, RANK_GRAPH_DRAW, false},
        {RANK_GRAPH_DRAW, RANK_HISTORY, false},      {RANK_CELL_DRAW, RANK_HISTORY, false},
        {RANK_HISTORY, RANK_CELL_DRAW, false},       {RANK_SAGA_LIST, RANK_CELL_DRAW, false},
        {RANK_CLIPBOARD, RANK_SAGA_LIST, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lock_order_allowed(c.outer, c.inner), c.allowed) << c.outer << " -> " << c.inner;
}

}  // namespace
