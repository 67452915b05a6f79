// Tests of the ping host store: its JSON, the ".bak", damaged and truncated files, and when a save may write.
#include "network/ping_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <iostream>

#include <nlohmann/json.hpp>
#include <thread>

#include "core/files_test_support.h"
#include "network/ping_hosts.h"
#include "runtime/text.h"
#include "runtime/wait_until.h"

namespace {

PSys host_of(uint32_t address, const std::wstring& name) {
    PSys host = ping_host_make(address, name);
    host.Sent = 3;
    host.Recv = 2;
    host.Lost = 1;
    host.Time = 12;
    host.Best = 4;
    host.Wors = 30;
    host.Down = 1'700'000'000;
    host.PTTL = 64;
    host.PTOS = 0;
    host.Last = 1;
    host.PV = {{1'700'000'000, 12}, {1'700'000'060, -1}};
    return host;
}

std::vector<PSys> list_copy() {
    std::lock_guard guard(PingListMutex);
    return {PingHostList.begin(), PingHostList.end()};
}

void list_set(std::vector<PSys> hosts) {
    std::lock_guard guard(PingListMutex);
    PingHostList.assign(hosts.begin(), hosts.end());
}

std::vector<std::wstring> addresses(const std::vector<PSys>& hosts) {
    std::vector<std::wstring> texts;
    for (const PSys& host : hosts) texts.push_back(host.Addr);
    return texts;
}

bool list_contains_text(int list, std::wstring_view part) {
    for (const std::wstring& row : list_rows_copy(list)) {
        if (row.find(part) != std::wstring::npos) return true;
    }
    return false;
}

std::vector<std::wstring> addresses_in(const std::string& bytes) {
    std::vector<PSys> hosts;
    std::wstring error;
    if (!ping_hosts_parse(bytes, hosts, error)) return {L"(not a host list)"};
    return addresses(hosts);
}

TEST(PingRecords, RoundTripKeepsEveryFieldInTheStoresMemberOrder) {
    const std::vector<PSys> hosts = {host_of(0x0100007F, L"loop\u00e4"), host_of(0x0200007F, L"")};
    const std::string bytes = ping_hosts_serialise(hosts);
    EXPECT_EQ(bytes.find("{\"Init\":"), 1u);
    EXPECT_LT(bytes.find("\"Addr\""), bytes.find("\"PV\":[{\"S\":1700000000,\"T\":12}"));
    std::vector<PSys> back;
    std::wstring error;
    ASSERT_TRUE(ping_hosts_parse(bytes, back, error)) << error;
    ASSERT_EQ(back.size(), 2u);
    const PSys& a = back[0];
    EXPECT_EQ(a.Init, hosts[0].Init);
    EXPECT_EQ(std::tie(a.Actv, a.Sent, a.Recv, a.Lost, a.Time, a.Best, a.Wors, a.PTTL, a.Last),
              std::tie(hosts[0].Actv, hosts[0].Sent, hosts[0].Recv, hosts[0].Lost, hosts[0].Time, hosts[0].Best,
                       hosts[0].Wors, hosts[0].PTTL, hosts[0].Last));
    EXPECT_EQ(a.Down, hosts[0].Down);
    EXPECT_EQ(a.Valu, 0x0100007F);
    EXPECT_EQ(a.Sort, 127000000001);
    EXPECT_EQ(a.Host, L"loop\u00e4");
    EXPECT_EQ(a.Addr, L"127.0.0.1");
    ASSERT_EQ(a.PV.size(), 2u);
    EXPECT_EQ(a.PV[1].T, -1);
}

TEST(PingRecords, MissingOrWrongMembersReadAsZeroAndTextsFromTheFileAreCleaned) {
    std::vector<PSys> hosts;
    std::wstring error;
    ASSERT_TRUE(ping_hosts_parse(R"([{"Addr":"10.0.0.1","Host":"a\u0007b\u202Ec)" + std::string(60, 'x') +
                                     R"(","Sent":"x","PV":[{"S":5},7]},3])",
                                 hosts, error));
    ASSERT_EQ(hosts.size(), 2u);
    EXPECT_EQ(hosts[0].Best, 0);
    EXPECT_EQ(hosts[0].Sent, 0);
    EXPECT_EQ(hosts[0].Host, L"abc" + std::wstring(37, L'x'));
    ASSERT_EQ(hosts[0].PV.size(), 2u);
    EXPECT_EQ(hosts[0].PV[0].S, 5);
    for (const std::string& bad : std::vector<std::string>{"", "{}", "[{\"Addr\":", "\xFF", std::string(1000, '[')}) {
        EXPECT_FALSE(ping_hosts_parse(bad, hosts, error)) << bad.substr(0, 10);
    }
}

// The store's text as the library writes it from a whole document, member by member in the store's order.
std::string document_serialise(const std::vector<PSys>& hosts) {
    nlohmann::ordered_json root = nlohmann::ordered_json::array();
    for (const PSys& host : hosts) {
        nlohmann::ordered_json samples = nlohmann::ordered_json::array();
        for (const PValues& sample : host.PV) samples.push_back({{"S", sample.S}, {"T", sample.T}});
        root.push_back({{"Init", utf8_from_wide(host.Init)},
                        {"Actv", host.Actv},
                        {"Sent", host.Sent},
                        {"Recv", host.Recv},
                        {"Lost", host.Lost},
                        {"Time", host.Time},
                        {"Best", host.Best},
                        {"Wors", host.Wors},
                        {"Down", host.Down},
                        {"PTTL", host.PTTL},
                        {"PTOS", host.PTOS},
                        {"Last", host.Last},
                        {"Valu", host.Valu},
                        {"Sort", host.Sort},
                        {"HiLi", host.HiLi},
                        {"CFor", host.CFor},
                        {"CBak", host.CBak},
                        {"Host", utf8_from_wide(host.Host)},
                        {"Addr", utf8_from_wide(host.Addr)},
                        {"PV", std::move(samples)}});
    }
    return root.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

TEST(PingRecords, AreWrittenByteForByteAsTheWholeDocumentWasWritten) {
    std::vector<PSys> hosts = {host_of(0x0100007F, L"loop\u00e4"), host_of(0x0200007F, L"")};
    const std::wstring texts[] = {L"q\"b\\s/\b\f\n\r\t\u0001\u001f\u007f", L"\u4e2d\u6587 \U0001F600 \u00e9",
                                  std::wstring(1, static_cast<wchar_t>(0xD800)) + L"lone", L""};
    for (const std::wstring& text : texts) {
        PSys host = host_of(0x0300007F, text);
        host.Init = text;
        host.Down = INT64_MIN;
        host.Valu = INT64_MAX;
        host.Sent = INT32_MIN;
        host.PV = {{INT64_MIN, INT64_MAX}, {0, -4}};
        hosts.push_back(host);
    }
    EXPECT_EQ(ping_hosts_serialise(hosts), document_serialise(hosts));
    EXPECT_EQ(ping_hosts_serialise({}), "[]");
}

class PingStore : public FilesTest {
protected:
    std::wstring Path;
    std::wstring Backup;

    void SetUp() override {
        FilesTest::SetUp();
        data_folder_create();
        ping_store_reset();
        Path = DataFolder + L"SX-Ping.json";
        Backup = DataFolder + L"SX-Ping.bak";
    }

    static std::string stored(std::vector<PSys> hosts) { return ping_hosts_serialise(hosts); }
};

TEST_F(PingStore, SaveThenLoadGivesTheListBackAndTheBackupHoldsThePreviousSave) {
    ASSERT_EQ(ping_list_load(Path), 1);  // a first run: nothing stored
    list_set({host_of(0x0100007F, L"one")});
    ASSERT_EQ(ping_list_save(Path), 1);
    list_set({host_of(0x0100007F, L"one"), host_of(0x0200007F, L"two")});
    ASSERT_EQ(ping_list_save(Path), 1);
    EXPECT_EQ(addresses_in(file_bytes(Path)), (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2"}));
    EXPECT_EQ(addresses_in(file_bytes(Backup)), std::vector<std::wstring>{L"127.0.0.1"});
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file_path(DataFolder))) ++files;
    EXPECT_EQ(files, 2u) << "no temporary file is left";
    list_set({});
    ping_store_reset();
    ASSERT_EQ(ping_list_load(Path), 1);
    EXPECT_EQ(addresses(list_copy()), (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2"}));
}

// A store that is damaged, cut short or empty: the backup is loaded, and the damaged file is kept aside.
TEST_F(PingStore, ADamagedTruncatedOrEmptyStoreFallsBackToTheBackup) {
    const std::string good = stored({host_of(0x0100007F, L"one"), host_of(0x0200007F, L"two")});
    const std::string backup = stored({host_of(0x0300007F, L"three")});
    struct Case {
        const char* name;
        std::string bytes;
        bool set_aside;
    };
    for (const Case& c :
         {Case{"damaged", "[{\"Init\":", true}, Case{"truncated", good.substr(0, good.size() / 2), true},
          Case{"not a list", "{\"Addr\":1}", true}, Case{"empty", "", false}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(file_path(DataFolder));
        data_folder_create();
        ping_store_reset();
        list_set({});
        ASSERT_TRUE(file_write_bytes(Path, c.bytes));
        ASSERT_TRUE(file_write_bytes(Backup, backup));
        ASSERT_EQ(ping_list_load(Path), 1);
        EXPECT_EQ(addresses(list_copy()), std::vector<std::wstring>{L"127.0.0.3"});
        EXPECT_EQ(file_bytes(Backup), backup) << "the backup stays";
        if (c.set_aside) {
            EXPECT_EQ(file_bytes(Path + L".bad"), c.bytes) << "the damaged store is kept";
        }
    }
}

// A store damaged while the program runs (another program wrote it) never replaces a good backup.
TEST_F(PingStore, ADamagedStoreNeverBecomesTheBackup) {
    ASSERT_EQ(ping_list_load(Path), 1);
    list_set({host_of(0x0100007F, L"one")});
    ASSERT_EQ(ping_list_save(Path), 1);
    ASSERT_EQ(ping_list_save(Path), 1);
    const std::string good = file_bytes(Backup);
    ASSERT_TRUE(file_write_bytes(Path, "[{\"Init\":"));
    ASSERT_EQ(ping_list_save(Path), 1);
    EXPECT_EQ(file_bytes(Backup), good);
    EXPECT_EQ(addresses_in(file_bytes(Path)), std::vector<std::wstring>{L"127.0.0.1"});
}

// The user's hosts survive an exit before the load, and files a load could not use are kept aside before this
// run's hosts are saved.
TEST_F(PingStore, NoSaveBeforeTheLoadAndUnreadableFilesAreKeptAsideBeforeASave) {
    const std::string store = stored({host_of(0x0100007F, L"one")});
    const std::string backup = stored({host_of(0x0200007F, L"two")});
    ASSERT_TRUE(file_write_bytes(Path, store));
    ASSERT_TRUE(file_write_bytes(Backup, backup));

    list_set({});
    EXPECT_EQ(ping_list_save(Path), 0) << "saved before the load";
    list_set({host_of(0x0900007F, L"new")});
    EXPECT_EQ(ping_list_save(Path), 0) << "saved before the load";
    EXPECT_EQ(file_bytes(Path), store);
    EXPECT_EQ(file_bytes(Backup), backup);

    // Damaged store and damaged backup: nothing is loaded, both are kept aside as they were, and the hosts of
    // this run are saved.
    ASSERT_TRUE(file_write_bytes(Path, "[1,"));
    ASSERT_TRUE(file_write_bytes(Backup, "[2,"));
    list_set({});
    EXPECT_EQ(ping_list_load(Path), 0);
    EXPECT_EQ(file_bytes(Path + L".bad"), "[1,");
    EXPECT_EQ(file_bytes(Backup + L".bad"), "[2,");
    list_set({host_of(0x0900007F, L"new")});
    EXPECT_EQ(ping_list_save(Path), 1);
    EXPECT_EQ(addresses_in(file_bytes(Path)), std::vector<std::wstring>{L"127.0.0.9"});
    EXPECT_EQ(file_bytes(Path + L".bad"), "[1,");
    EXPECT_EQ(file_bytes(Backup + L".bad"), "[2,");
}

TEST_F(PingStore, AnEmptyListAfterASuccessfulLoadDeletesStoreAndBackup) {
    ASSERT_TRUE(file_write_bytes(Path, stored({host_of(0x0100007F, L"one")})));
    ASSERT_TRUE(file_write_bytes(Backup, stored({host_of(0x0200007F, L"two")})));
    ASSERT_EQ(ping_list_load(Path), 1);
    list_set({});
    EXPECT_EQ(ping_list_save(Path), 0);
    EXPECT_FALSE(file_exists(file_path(Path)));
    EXPECT_FALSE(file_exists(file_path(Backup)));
}

TEST_F(PingStore, TheSaveWaitsForTheListsLockAndGivesUpAtItsBound) {
    ASSERT_EQ(ping_list_load(Path), 1);
    list_set({host_of(0x0100007F, L"one")});
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        std::lock_guard guard(PingListMutex);
        held = true;
        while (!release.load()) std::this_thread::yield();
        PingHostList.push_back(host_of(0x0200007F, L"two"));  // a change made before the lock is let go
    });
    ASSERT_TRUE(wait_until([&] { return held.load(); }));
    EXPECT_EQ(ping_list_save(Path, 50), 0) << "a save must not read the list while another thread holds it";
    EXPECT_FALSE(file_exists(file_path(Path)));

    // Without a bound the save waits: it is seen waiting for the lock, has written nothing meanwhile, and
    // once the lock is free it saves the list as the holder left it.
    std::atomic<int> result{-1};
    std::thread saver([&] { result = ping_list_save(Path, -1); });
    const bool waited = wait_until([&] { return PingListMutex.waiting() == 1; });
    EXPECT_TRUE(waited) << "the save did not wait for the list's lock (it returned " << result.load() << ")";
    EXPECT_EQ(result.load(), -1) << "the save ended while the list was held";
    EXPECT_FALSE(file_exists(file_path(Path)));
    release = true;
    holder.join();
    saver.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(addresses_in(file_bytes(Path)), (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2"}));
}

// A host of the largest list: the longest texts the list keeps (three UTF-8 bytes a character) and the longest numbers.
PSys full_host(int i, int samples) {
    PSys host;
    host.Init = std::wstring(31, L'\u4e2d') + std::to_wstring(i % 10);
    host.Host = std::wstring(PING_HOST_TEXT_MAX - 4, L'\u6587') + std::to_wstring(1000 + i);
    host.Addr = L"255.255.255." + std::to_wstring(i % 256);
    host.Addr.resize(15, L'5');
    for (int32_t* field : {&host.Actv, &host.Sent, &host.Recv, &host.Lost, &host.Time, &host.Best, &host.Wors,
                           &host.PTTL, &host.PTOS, &host.Last, &host.HiLi, &host.CFor, &host.CBak}) {
        *field = INT32_MIN + i;
    }
    host.Down = INT64_MIN + i;
    host.Valu = INT64_MIN + i;
    host.Sort = INT64_MIN + i;
    for (int j = 0; j < samples; ++j) host.PV.push_back({INT64_MIN + j, INT64_MIN + i});
    return host;
}

// The largest list the program holds saves and loads again whole.
TEST_F(PingStore, AFullListWithTheLongestTextsAndNumbersSavesAndLoadsAgain) {
    const int hosts_max = SharedInts[PING_HOSTS_MAX].load();
    const int samples_max = SharedInts[PING_SAMPLES_MAX].load();
    ASSERT_EQ(hosts_max, 1024);
    ASSERT_EQ(samples_max, 3200);
    ASSERT_EQ(ping_list_load(Path), 1);  // a first run
    {
        std::lock_guard guard(PingListMutex);
        for (int i = 0; i < hosts_max; ++i) PingHostList.push_back(full_host(i, samples_max));
    }
    auto started = std::chrono::steady_clock::now();
    auto elapsed = [&started] {
        const auto now = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - started).count();
        started = now;
        return ms;
    };
    ASSERT_EQ(ping_list_save(Path), 1);
    const uintmax_t size = std::filesystem::file_size(file_path(Path));
    std::cout << "full store: " << size << " bytes, saved in " << elapsed() << " ms\n";
    EXPECT_GT(size, 170'000'000u);

    list_set({});
    ping_store_reset();
    ASSERT_EQ(ping_list_load(Path), 1);
    std::cout << "loaded in " << elapsed() << " ms\n";
    std::lock_guard guard(PingListMutex);
    ASSERT_EQ(PingHostList.size(), static_cast<size_t>(hosts_max));
    int i = 0;
    for (const PSys& a : PingHostList) {
        const PSys b = full_host(i, 0);
        ASSERT_EQ(std::tie(a.Init, a.Actv, a.Sent, a.Recv, a.Lost, a.Time, a.Best, a.Wors, a.Down, a.PTTL, a.PTOS,
                           a.Last, a.Valu, a.Sort, a.HiLi, a.CFor, a.CBak, a.Host, a.Addr),
                  std::tie(b.Init, b.Actv, b.Sent, b.Recv, b.Lost, b.Time, b.Best, b.Wors, b.Down, b.PTTL, b.PTOS,
                           b.Last, b.Valu, b.Sort, b.HiLi, b.CFor, b.CBak, b.Host, b.Addr))
            << "host " << i;
        ASSERT_EQ(a.PV.size(), static_cast<size_t>(samples_max)) << "host " << i;
        for (int j = 0; j < samples_max; ++j) {
            ASSERT_TRUE(a.PV[j].S == INT64_MIN + j && a.PV[j].T == INT64_MIN + i) << "host " << i << " sample " << j;
        }
        ++i;
    }
    EXPECT_FALSE(list_contains_text(LIST_NETWORK_EVENTS, L"Ping host list")) << "the full list is within the limits";
}

// A store naming more hosts, or more samples for a host, than the list holds: the first hosts are loaded with their
// newest samples, the whole file is kept aside byte for byte, and the Network Events say so.
TEST_F(PingStore, AStoreOverTheLimitsLoadsTheFirstHostsWithTheirNewestSamplesAndKeepsTheFile) {
    const int hosts_max = SharedInts[PING_HOSTS_MAX].load();
    const int samples_max = SharedInts[PING_SAMPLES_MAX].load();
    std::vector<PSys> hosts;
    for (int i = 0; i < hosts_max + 6; ++i) {
        PSys host = ping_host_make(0x0000000A | (static_cast<uint32_t>(i % 256) << 24) | (i / 256) << 16, L"");
        host.PV = {{i, 1}};
        hosts.push_back(host);
    }
    for (int j = 0; j < samples_max + 100; ++j) hosts[0].PV.push_back({1'000'000 + j, j});
    for (int j = 0; j < samples_max - 1; ++j) hosts[1].PV.push_back({2'000'000 + j, j});
    const std::string bytes = ping_hosts_serialise(hosts);
    const std::string backup = stored({host_of(0x0300007F, L"three")});
    ASSERT_TRUE(file_write_bytes(Path, bytes));
    ASSERT_TRUE(file_write_bytes(Backup, backup));

    ASSERT_EQ(ping_list_load(Path), 1);
    const std::vector<PSys> loaded = list_copy();
    ASSERT_EQ(loaded.size(), static_cast<size_t>(hosts_max));
    EXPECT_EQ(loaded.back().Addr, hosts[hosts_max - 1].Addr) << "the first hosts are loaded";
    ASSERT_EQ(loaded[0].PV.size(), static_cast<size_t>(samples_max));
    EXPECT_EQ(loaded[0].PV.front().S, 1'000'000 + 100) << "the newest samples are loaded";
    EXPECT_EQ(loaded[0].PV.back().S, 1'000'000 + samples_max + 100 - 1);
    EXPECT_EQ(loaded[1].PV.size(), static_cast<size_t>(samples_max)) << "a host within the limit keeps every sample";
    EXPECT_EQ(file_bytes(Path + L".bad"), bytes) << "the whole file is kept aside byte for byte";
    EXPECT_TRUE(list_contains_text(LIST_NETWORK_EVENTS, L"kept as " + Path + L".bad"));
    EXPECT_TRUE(list_contains_text(LIST_NETWORK_EVENTS, std::to_wstring(hosts_max + 6) + L" hosts"));

    // The next save writes the list as loaded; the file kept aside and the backup stay.
    ASSERT_EQ(ping_list_save(Path), 1);
    EXPECT_EQ(addresses_in(file_bytes(Path)).size(), static_cast<size_t>(hosts_max));
    EXPECT_EQ(file_bytes(Path + L".bad"), bytes);
    EXPECT_EQ(file_bytes(Backup), backup);
}

// The range add stops where the list holds as many hosts as the store loads: a list filled by ranges is saved and
// loaded again whole, with nothing reported as over the limits.
TEST_F(PingStore, AListFilledByRangesIsLoadedWhole) {
    ASSERT_EQ(ping_list_load(Path), 1);
    const int hosts_max = SharedInts[PING_HOSTS_MAX].load();
    int added = 0;
    for (uint32_t network = 0; network < 5; ++network) {
        added += ping_range_add(0x0000000A | network << 16, 0xFF00000A | network << 16, L"+", hosts_max);
    }
    EXPECT_EQ(added, hosts_max);
    ASSERT_EQ(ping_list_save(Path), 1);
    list_set({});
    ping_store_reset();
    ASSERT_EQ(ping_list_load(Path), 1);
    EXPECT_EQ(list_copy().size(), static_cast<size_t>(hosts_max));
    EXPECT_FALSE(list_contains_text(LIST_NETWORK_EVENTS, L"more than the program keeps"));
}

}  // namespace
