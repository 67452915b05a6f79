// Tests of the session history: its JSON, restoring the lists, the backup, and damaged or truncated files.
#include "core/saga_store.h"

#include <gtest/gtest.h>

#include <climits>

#include <nlohmann/json.hpp>

#include "core/event_lists.h"
#include "files_test_support.h"

namespace {

TEST(SagaRecords, AreWrittenCompactlyInTheirMemberOrder) {
    std::vector<SSys> records(1);
    records[0].Name = L"System Events";
    records[0].Last = 2;
    records[0].SV = {{L"a\"b\\c\td\u0001\u00e4"}, {L""}};
    EXPECT_EQ(
        saga_records_serialise(records),
        "[{\"Name\":\"System Events\",\"Last\":2,\"SV\":[{\"L\":\"a\\\"b\\\\c\\td\\u0001\xC3\xA4\"},{\"L\":\"\"}]}]");
    std::vector<SSys> back;
    std::wstring error;
    ASSERT_TRUE(saga_records_parse(saga_records_serialise(records), back, error));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].SV[0].L, records[0].SV[0].L);
    EXPECT_EQ(back[0].Last, 2);
}

// The history is written byte for byte as the library writes the whole document.
TEST(SagaRecords, AreWrittenAsTheWholeDocumentWasWritten) {
    std::vector<SSys> records(3);
    records[0] = {L"System Events", INT64_MIN, {{L"q\"b\\s/\b\f\n\r\t\u0001\u001f\u007f"}, {L""}}};
    records[1] = {L"\u4e2d\U0001F600", INT64_MAX, {{std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"x"}}};
    records[2] = {L"", 0, {}};
    nlohmann::ordered_json root = nlohmann::ordered_json::array();
    for (const SSys& record : records) {
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        for (const SValues& value : record.SV) lines.push_back({{"L", utf8_from_wide(value.L)}});
        root.push_back({{"Name", utf8_from_wide(record.Name)}, {"Last", record.Last}, {"SV", std::move(lines)}});
    }
    EXPECT_EQ(saga_records_serialise(records),
              root.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

TEST(SagaRecords, MissingMembersReadAsEmptyAndNonHistoriesAreRefused) {
    std::vector<SSys> records;
    std::wstring error;
    ASSERT_TRUE(
        saga_records_parse(R"([{"SV":[{"X":1},{"L":"ok"}]},7,{"Name":"N","Last":"x","SV":5}])", records, error));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Name, L"");
    ASSERT_EQ(records[0].SV.size(), 2u);
    EXPECT_EQ(records[0].SV[1].L, L"ok");
    EXPECT_EQ(records[2].Last, 0);
    EXPECT_TRUE(records[2].SV.empty());
    for (const std::string& bad : std::vector<std::string>{"", "{}", "[1,", "\xFF\xFE", std::string(100000, '[')}) {
        EXPECT_FALSE(saga_records_parse(bad, records, error)) << bad.substr(0, 10);
    }
}

TEST(SagaRecords, BackupPathReplacesJson) {
    EXPECT_EQ(saga_backup_path(L"C:\\D\\SX-Saga.json"), L"C:\\D\\SX-Saga.bak");
    EXPECT_EQ(saga_backup_path(L"C:\\D\\SX-Saga"), L"C:\\D\\SX-Saga.bak");
}

class SagaStore : public FilesTest {
protected:
    std::wstring Path;
    std::wstring Backup;

    void SetUp() override {
        FilesTest::SetUp();
        data_folder_create();
        Path = DataFolder + L"SX-Saga.json";
        Backup = DataFolder + L"SX-Saga.bak";
        SharedInts[OPT_RESTORE_SESSION] = 1;
        shared_text_set(SAGA_LIST_NAMES, std::to_wstring(LIST_STORAGE_MONITOR) + L"~Storage Monitor~");
    }

    static void lists_fill() {
        list_rows_assign(LIST_SYSTEM_EVENTS, {L"05-01  10:00:00 - stopped", L"   ", L"05-01  09:00:00 - started"});
        list_rows_assign(LIST_NETWORK_EVENTS, {L"05-01  09:30:00 - Adapter up\nextra column"});
        list_rows_assign(LIST_STORAGE_MONITOR, {L"", L"-- #0007 2024-05-01 09:40:00", L"D: lost"});
        SharedQuads[SAGA_SEPARATOR_COUNT] = 7;
    }

    static void lists_clear() {
        for (const int list : {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR}) list_rows_clear(list);
        SharedQuads[SAGA_SEPARATOR_COUNT] = 0;
    }

    void expect_restored() {
        EXPECT_EQ(list_rows_copy(LIST_SYSTEM_EVENTS),
                  (std::vector<std::wstring>{L"05-01  10:00:00 - stopped", L"05-01  09:00:00 - started"}));
        EXPECT_EQ(list_rows_copy(LIST_NETWORK_EVENTS), std::vector<std::wstring>{L"05-01  09:30:00 - Adapter up"});
        EXPECT_EQ(list_rows_copy(LIST_STORAGE_MONITOR),
                  (std::vector<std::wstring>{L"", L"-- #0007 2024-05-01 09:40:00", L"D: lost"}));
        EXPECT_EQ(SharedQuads[SAGA_SEPARATOR_COUNT].load(), 7);
    }

    // A saved history with a good backup of the same content.
    void saved_twice() {
        EXPECT_EQ(saga_lists_load(Path), 0);
        lists_fill();
        EXPECT_EQ(saga_lists_save(Path), 1);
        EXPECT_EQ(saga_lists_save(Path), 1);
        lists_clear();
    }
};

TEST_F(SagaStore, SavedListsComeBackAtTheNextStart) {
    saved_twice();
    ASSERT_EQ(file_bytes(Backup), file_bytes(Path));
    saga_store_reset();
    EXPECT_EQ(saga_lists_load(Path), 1);
    expect_restored();
    // New rows go above the restored ones; the counter goes on.
    saga_line_add(L"--", 0);
    EXPECT_TRUE(list_row(LIST_STORAGE_MONITOR, 1).starts_with(L"-- #0008 "));
}

TEST_F(SagaStore, OptionOffRestoresNothingAndTheNextSaveDeletesBothFiles) {
    saved_twice();
    SharedInts[OPT_RESTORE_SESSION] = 0;
    EXPECT_EQ(saga_lists_load(Path), 0);
    EXPECT_TRUE(list_rows_copy(LIST_SYSTEM_EVENTS).empty());
    lists_fill();
    EXPECT_EQ(saga_lists_save(Path), 0);
    EXPECT_FALSE(file_exists(file_path(Path)));
    EXPECT_FALSE(file_exists(file_path(Backup)));
}

TEST_F(SagaStore, HistoryOfTheOtherLanguageIsNotRestored) {
    ASSERT_TRUE(file_write_bytes(Path, R"([{"Name":"Systemereignisse","Last":1,"SV":[{"L":"gestartet"}]}])"));
    EXPECT_EQ(saga_lists_load(Path), 1);
    EXPECT_TRUE(list_rows_copy(LIST_SYSTEM_EVENTS).empty());
}

TEST_F(SagaStore, MissingOrEmptyFileIsReplacedByItsBackup) {
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty" : "missing");
        saga_store_reset();
        std::filesystem::remove(file_path(Path));
        std::filesystem::remove(file_path(Backup));
        saved_twice();
        const std::string good = file_bytes(Backup);
        if (empty) {
            ASSERT_TRUE(file_write_bytes(Path, ""));
        } else {
            std::filesystem::remove(file_path(Path));
        }
        EXPECT_EQ(saga_lists_load(Path), 1);
        expect_restored();
        EXPECT_EQ(file_bytes(Path), good);
        EXPECT_EQ(file_bytes(Backup), good);
        lists_clear();
    }
}

// Damaged files: never a crash, the file kept aside, the backup restored and never overwritten by the damage.
TEST_F(SagaStore, DamagedFileIsSetAsideAndTheGoodBackupSurvives) {
    saved_twice();
    const std::string good = file_bytes(Backup);
    std::vector<std::string> damaged = {"garbage \x01\x02", "{\"Name\":\"System Events\"}", std::string(5000, '[')};
    for (size_t cut : {size_t(1), good.size() / 3, good.size() - 1}) damaged.push_back(good.substr(0, cut));
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(bytes.substr(0, 20));
        saga_store_reset();
        lists_clear();
        list_rows_clear(LIST_SYSTEM_EVENTS);
        std::filesystem::remove(file_path(Path + L".bad"));
        ASSERT_TRUE(file_write_bytes(Path, bytes));
        EXPECT_EQ(saga_lists_load(Path), 1);
        EXPECT_EQ(file_bytes(Path + L".bad"), bytes);
        EXPECT_TRUE(system_event_contains(L"could not be read"));
        // The restored rows and the event line.
        EXPECT_EQ(list_rows_count(LIST_STORAGE_MONITOR), 3);
        event_line_add(LIST_SYSTEM_EVENTS, L"stopped");
        EXPECT_EQ(saga_lists_save(Path), 1);
        EXPECT_EQ(file_bytes(Backup), good);
        std::vector<SSys> records;
        std::wstring error;
        EXPECT_TRUE(saga_records_parse(file_bytes(Path), records, error));
        ASSERT_TRUE(file_write_bytes(Backup, good));
    }
}

TEST_F(SagaStore, DamagedFileLeftInPlaceNeverBecomesTheBackup) {
    saved_twice();
    const std::string good = file_bytes(Backup);
    ASSERT_TRUE(file_write_bytes(Path, "[{\"Name\":"));
    SharedInts[OPT_RESTORE_SESSION] = 0;  // the load leaves the file alone when the option is off
    EXPECT_EQ(saga_lists_load(Path), 0);
    SharedInts[OPT_RESTORE_SESSION] = 1;
    lists_fill();
    EXPECT_EQ(saga_lists_save(Path), 1);
    EXPECT_EQ(file_bytes(Backup), good);
}

TEST_F(SagaStore, NothingIsSavedBeforeTheLoadHasRun) {
    saved_twice();
    const std::string stored = file_bytes(Path);
    saga_store_reset();
    list_rows_assign(LIST_SYSTEM_EVENTS, {L"new run only"});
    EXPECT_EQ(saga_lists_save(Path), 0);
    EXPECT_EQ(file_bytes(Path), stored);
}

TEST_F(SagaStore, FailedWriteIsReportedOnceAndLeavesTheHistory) {
    saved_twice();
    const std::string stored = file_bytes(Path);
    lists_fill();
    // A folder in place of the file makes the write fail.
    std::filesystem::remove(file_path(Path));
    std::filesystem::create_directories(file_path(Path));
    EXPECT_EQ(saga_lists_save(Path), 0);
    EXPECT_EQ(saga_lists_save(Path), 0);
    int reports = 0;
    for (const std::wstring& row : list_rows_copy(LIST_SYSTEM_EVENTS)) {
        if (row.find(L"could not be saved") != std::wstring::npos) ++reports;
    }
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(file_bytes(Backup), stored);
    std::filesystem::remove(file_path(Path));
    EXPECT_EQ(saga_lists_save(Path), 1);
}

TEST_F(SagaStore, MissingFolderSavesNothing) {
    EXPECT_EQ(saga_lists_load(Path), 0);
    lists_fill();
    EXPECT_EQ(saga_lists_save(folder_text(Temp.Path / "none") + L"SX-Saga.json"), 0);
}

}  // namespace
