// The life cycle both JSON stores share, tested once over each through a small adapter: unusable files kept aside
// before a save, and saves that fail in any file or allocation call leaving the old files as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <set>

#include "core/event_lists.h"
#include "core/files_test_support.h"
#include "core/json_file_store.h"
#include "core/saga_store.h"
#include "network/ping_hosts.h"
#include "network/ping_store.h"

namespace {

bool list_contains(int list, std::wstring_view part, int* count = nullptr) {
    int found = 0;
    for (const std::wstring& row : list_rows_copy(list)) {
        if (row.find(part) != std::wstring::npos) ++found;
    }
    if (count) *count = found;
    return found > 0;
}

// The ping host list: its items are the hosts' addresses.
struct PingAdapter {
    static constexpr const wchar_t* FILE_NAME = L"SX-Ping.json";
    static constexpr const wchar_t* BACKUP_NAME = L"SX-Ping.bak";
    static constexpr int EVENTS = LIST_NETWORK_EVENTS;

    static void reset() { ping_store_reset(); }
    static void calls_set(const JsonStoreCalls& calls) { ping_store_calls_set(calls); }
    static int load(const std::wstring& path) { return ping_list_load(path); }
    static int save(const std::wstring& path) { return ping_list_save(path); }

    static std::vector<PSys> hosts(int first, int count) {
        std::vector<PSys> made;
        for (int i = first; i < first + count; ++i) {
            made.push_back(ping_host_make(0x0000000A | (static_cast<uint32_t>(i) << 24), L"h"));
        }
        return made;
    }
    static void memory_set(int first, int count) {
        const std::vector<PSys> made = hosts(first, count);
        std::lock_guard guard(PingListMutex);
        PingHostList.assign(made.begin(), made.end());
    }
    static std::vector<std::wstring> memory() {
        std::vector<std::wstring> items;
        std::lock_guard guard(PingListMutex);
        for (const PSys& host : PingHostList) items.push_back(host.Addr);
        return items;
    }
    static std::string stored(int first, int count) { return ping_hosts_serialise(hosts(first, count)); }
    static std::vector<std::wstring> items_in(const std::string& bytes) {
        std::vector<PSys> read;
        std::wstring error;
        if (!ping_hosts_parse(bytes, read, error)) return {L"(not a store)"};
        std::vector<std::wstring> items;
        for (const PSys& host : read) items.push_back(host.Addr);
        return items;
    }
    static std::vector<std::wstring> items(int first, int count) {
        std::vector<std::wstring> texts;
        for (int i = first; i < first + count; ++i) texts.push_back(L"10.0.0." + std::to_wstring(i));
        return texts;
    }
};

// The session history: its items are rows of the System Events list.
struct SagaAdapter {
    static constexpr const wchar_t* FILE_NAME = L"SX-Saga.json";
    static constexpr const wchar_t* BACKUP_NAME = L"SX-Saga.bak";
    static constexpr int EVENTS = LIST_SYSTEM_EVENTS;

    static void reset() { saga_store_reset(); }
    static void calls_set(const JsonStoreCalls& calls) { saga_store_calls_set(calls); }
    static int load(const std::wstring& path) { return saga_lists_load(path); }
    static int save(const std::wstring& path) { return saga_lists_save(path); }

    static std::vector<std::wstring> items(int first, int count) {
        std::vector<std::wstring> rows;
        for (int i = first; i < first + count; ++i) rows.push_back(L"row " + std::to_wstring(i));
        return rows;
    }
    static void memory_set(int first, int count) {
        list_rows_clear(LIST_NETWORK_EVENTS);
        list_rows_clear(LIST_STORAGE_MONITOR);
        list_rows_assign(LIST_SYSTEM_EVENTS, items(first, count));
    }
    // The rows the test put there; the store's own event lines land in the same list.
    static std::vector<std::wstring> memory() {
        std::vector<std::wstring> rows;
        for (const std::wstring& row : list_rows_copy(LIST_SYSTEM_EVENTS)) {
            if (row.starts_with(L"row ")) rows.push_back(row);
        }
        return rows;
    }
    static std::string stored(int first, int count) {
        SSys record;
        record.Name = L"System Events";
        record.Last = count;
        for (std::wstring& row : items(first, count)) record.SV.push_back({std::move(row)});
        return saga_records_serialise({record});
    }
    static std::vector<std::wstring> items_in(const std::string& bytes) {
        std::vector<SSys> records;
        std::wstring error;
        if (!saga_records_parse(bytes, records, error)) return {L"(not a store)"};
        std::vector<std::wstring> rows;
        for (const SSys& record : records) {
            for (const SValues& value : record.SV) {
                if (value.L.starts_with(L"row ")) rows.push_back(value.L);
            }
        }
        return rows;
    }
};

template <typename Store>
class JsonFileStores : public FilesTest {
protected:
    std::wstring Path;
    std::wstring Backup;

    void SetUp() override {
        FilesTest::SetUp();
        data_folder_create();
        Store::reset();
        SharedInts[OPT_RESTORE_SESSION] = 1;
        Path = DataFolder + Store::FILE_NAME;
        Backup = DataFolder + Store::BACKUP_NAME;
        Store::memory_set(0, 0);
        list_rows_clear(LIST_NETWORK_EVENTS);
    }

    void TearDown() override {
        Store::reset();
        FilesTest::TearDown();
    }

    void folder_clear() {
        std::filesystem::remove_all(file_path(DataFolder));
        data_folder_create();
        Store::reset();
        Store::memory_set(0, 0);
        list_rows_clear(Store::EVENTS);
    }

    // Every name in the data folder, to see that no temporary file is left and nothing else appeared.
    std::vector<std::wstring> folder_names() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(file_path(DataFolder))) {
            const std::u8string name = entry.path().filename().u8string();
            names.push_back(wide_from_utf8(std::string(name.begin(), name.end())));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    int reports(std::wstring_view part) const {
        int count = 0;
        list_contains(Store::EVENTS, part, &count);
        return count;
    }
};

using Stores = ::testing::Types<PingAdapter, SagaAdapter>;
class StoreNames {
public:
    template <typename T>
    static std::string GetName(int) {
        return std::is_same_v<T, PingAdapter> ? "PingHostList" : "SessionHistory";
    }
};
TYPED_TEST_SUITE(JsonFileStores, Stores, StoreNames);

// A missing or empty store whose backup cannot be used: the backup is kept aside as it was, the load says so, and
// the list of this run is saved.
TYPED_TEST(JsonFileStores, AnUnusableBackupOfAMissingStoreIsKeptAsideAndTheNewListSaved) {
    using Store = TypeParam;
    struct Case {
        const char* name;
        bool store_empty;
        std::string backup;
    };
    for (const Case& c : {Case{"missing store, damaged backup", false, "[{\"Init\":"},
                          Case{"missing store, backup not a store", false, "{\"a\":1}"},
                          Case{"empty store, damaged backup", true, "\xFF\xFE"}}) {
        SCOPED_TRACE(c.name);
        this->folder_clear();
        if (c.store_empty) {
            ASSERT_TRUE(file_write_bytes(this->Path, ""));
        }
        ASSERT_TRUE(file_write_bytes(this->Backup, c.backup));
        Store::load(this->Path);
        EXPECT_TRUE(Store::memory().empty());
        EXPECT_EQ(file_bytes(this->Backup + L".bad"), c.backup) << "the backup is kept aside byte for byte";
        EXPECT_EQ(this->reports(L"could not be read"), 1);
        EXPECT_EQ(this->reports(L"kept as " + this->Backup + L".bad"), 1);

        Store::memory_set(1, 2);
        EXPECT_EQ(Store::save(this->Path), 1) << "the hosts or rows added in this run are saved";
        EXPECT_EQ(Store::items_in(file_bytes(this->Path)), Store::items(1, 2));
        EXPECT_FALSE(file_exists(file_path(this->Backup))) << "no store was there to become the backup";
        EXPECT_EQ(file_bytes(this->Backup + L".bad"), c.backup);
    }
}

// A store damaged while the program runs is kept aside by the next save instead of being overwritten.
TYPED_TEST(JsonFileStores, AStoreDamagedMeanwhileIsKeptAsideByTheSave) {
    using Store = TypeParam;
    const std::string backup = Store::stored(2, 1);
    ASSERT_TRUE(file_write_bytes(this->Path, Store::stored(1, 1)));
    ASSERT_TRUE(file_write_bytes(this->Backup, backup));
    Store::load(this->Path);
    ASSERT_TRUE(file_write_bytes(this->Path, "[{\"L\":"));
    Store::memory_set(3, 2);
    EXPECT_EQ(Store::save(this->Path), 1);
    EXPECT_EQ(file_bytes(this->Path + L".bad"), "[{\"L\":");
    EXPECT_EQ(Store::items_in(file_bytes(this->Path)), Store::items(3, 2));
    EXPECT_EQ(file_bytes(this->Backup), backup) << "the damaged file never becomes the backup";

    // With nothing to keep the files are deleted, but a damaged one is kept aside first.
    ASSERT_TRUE(file_write_bytes(this->Backup, "[2,"));
    Store::memory_set(0, 0);
    SharedInts[OPT_RESTORE_SESSION] = 0;  // the history keeps nothing while the option is off
    EXPECT_EQ(Store::save(this->Path), 0);
    EXPECT_FALSE(file_exists(file_path(this->Path)));
    EXPECT_FALSE(file_exists(file_path(this->Backup)));
    EXPECT_EQ(file_bytes(this->Backup + L".bad"), "[2,");
}

// The calls a save makes, counted in a save that succeeds; each one is then made to fail in turn.
struct CallCounts {
    int create = 0, write = 0, flush = 0, close = 0, rename = 0, read = 0, allocate = 0;
};

// The real calls, with the n-th call of one kind (1-based; 0: none) failing, and every call counted.
JsonStoreCalls failing_calls(CallCounts& counts, const std::string& kind, int n) {
    JsonStoreCalls calls = json_store_real_calls();
    const JsonStoreCalls real = json_store_real_calls();
    auto fails = [&counts, kind, n](const char* name, int& count) { return ++count == n && kind == name; };
    // Only the close of a written file can report a write error; closing a file that was read cannot fail a save.
    auto written = std::make_shared<std::set<OpenedFile*>>();
    calls.create = [=, &counts](const std::filesystem::path& target, std::filesystem::path* temp) -> OpenedFile* {
        if (fails("create", counts.create)) return nullptr;
        OpenedFile* file = real.create(target, temp);
        written->insert(file);
        return file;
    };
    calls.write = [=, &counts](OpenedFile* file, const char* data, size_t size) {
        return !fails("write", counts.write) && real.write(file, data, size);
    };
    calls.flush = [=, &counts](OpenedFile* file) { return !fails("flush", counts.flush) && real.flush(file); };
    calls.close = [=, &counts](OpenedFile* file) {
        const bool was_written = written->erase(file) > 0;
        const bool closed = real.close(file);  // the handle is always given back
        return !(was_written && fails("close", counts.close)) && closed;
    };
    calls.rename = [=, &counts](const std::filesystem::path& from, const std::filesystem::path& to) {
        return !fails("rename", counts.rename) && real.rename(from, to);
    };
    calls.read = [=, &counts](OpenedFile* file, char* data, size_t size) -> int64_t {
        if (fails("read", counts.read)) return -1;
        return real.read(file, data, size);
    };
    calls.allocate = [=, &counts](size_t) {
        if (fails("allocate", counts.allocate)) throw std::bad_alloc();
    };
    return calls;
}

// Every call of the save made to fail once: the store and its backup stay as they were, no temporary file is left,
// the failure is reported once, and the next save with working calls succeeds. Only a failed move of the backup
// copy, after the store was replaced, leaves the save done with the previous backup.
TYPED_TEST(JsonFileStores, ASaveFailingInAnyCallLeavesTheOldFilesIntact) {
    using Store = TypeParam;
    const std::string old_store = Store::stored(1, 2);
    const std::string old_backup = Store::stored(5, 1);
    auto prepare = [&] {
        this->folder_clear();
        ASSERT_TRUE(file_write_bytes(this->Path, old_store));
        ASSERT_TRUE(file_write_bytes(this->Backup, old_backup));
        ASSERT_EQ(Store::items_in(file_bytes(this->Path)), Store::items(1, 2));
        Store::load(this->Path);
        Store::memory_set(1, 3);
    };
    prepare();
    const std::vector<std::wstring> names = this->folder_names();
    CallCounts all;
    Store::calls_set(failing_calls(all, "", 0));
    ASSERT_EQ(Store::save(this->Path), 1);
    ASSERT_GE(all.allocate, 3);
    ASSERT_EQ(all.rename, 2);

    const std::pair<std::string, int> kinds[] = {
        {"create", all.create}, {"write", all.write},       {"flush", all.flush}, {"close", all.close},
        {"read", all.read},     {"allocate", all.allocate}, {"rename", 1}};
    for (const auto& [kind, count] : kinds) {
        for (int n = 1; n <= count; ++n) {
            SCOPED_TRACE(kind + " " + std::to_string(n) + " of " + std::to_string(count));
            prepare();
            CallCounts counts[2];
            for (CallCounts& attempt : counts) {
                Store::calls_set(failing_calls(attempt, kind, n));
                EXPECT_EQ(Store::save(this->Path), 0);
            }
            EXPECT_EQ(file_bytes(this->Path), old_store);
            EXPECT_EQ(file_bytes(this->Backup), old_backup);
            EXPECT_EQ(this->folder_names(), names) << "a temporary file is left or a file was set aside";
            EXPECT_EQ(this->reports(L"could not be saved"), 1);
            Store::calls_set(json_store_real_calls());
            EXPECT_EQ(Store::save(this->Path), 1);
            EXPECT_EQ(file_bytes(this->Backup), old_store);
        }
    }

    // The backup copy's move fails after the store was replaced: the save is done, the backup is the previous one.
    prepare();
    CallCounts counts;
    Store::calls_set(failing_calls(counts, "rename", 2));
    EXPECT_EQ(Store::save(this->Path), 1);
    EXPECT_EQ(Store::items_in(file_bytes(this->Path)), Store::items(1, 3));
    EXPECT_EQ(file_bytes(this->Backup), old_backup);
    EXPECT_EQ(this->folder_names(), names);
}

}  // namespace
