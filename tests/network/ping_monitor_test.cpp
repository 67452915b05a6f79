// Tests of the ping monitor on a made-up network: rounds with their probe pool, naming on the first
// reply, the quit during a round, and the passes of the monitor loop with the store.
#include "network/ping_monitor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/files_test_support.h"
#include "network/mac_vendors.h"
#include "network/ping_hosts.h"
#include "network/ping_store.h"
#include "ping_fake_platform.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "runtime/worker_timer.h"

namespace {

const EchoResult REPLY{true, 1, 128, 0};

std::atomic<int> ping_copies{0};

// The fake's tab with a copy that counts and sets the request back, as the real one does.
const PingUi& copying_ping_ui() {
    static const PingUi ui = [] {
        PingUi copying = fake_ping_ui();
        copying.copy_tab = [] {
            ++ping_copies;
            SharedInts[COPY_TAB_REQUEST] = -1;
        };
        return copying;
    }();
    return ui;
}

std::optional<PSys> host_by_address(uint32_t address) {
    std::lock_guard guard(PingListMutex);
    for (const PSys& host : PingHostList) {
        if (static_cast<uint32_t>(host.Valu) == address) return host;
    }
    return std::nullopt;
}

class PingRound : public ::testing::Test {
protected:
    void SetUp() override {
        ping_state_reset();
        mac_vendor_replace(MacVendorMap, {});
    }
    void TearDown() override {
        Net.echo_gate.open();
        Net.lookup_gate.open();
        quit_flag_clear();
    }
};

TEST_F(PingRound, AnsweringHostsCountUpAndASilentOneIsShownDown) {
    Net.answers[address_of(127, 0, 0, 1)] = REPLY;
    Net.answers[address_of(127, 0, 0, 2)] = {true, 3, 64, 16};
    for (const uint32_t address : {address_of(127, 0, 0, 1), address_of(127, 0, 0, 2), address_of(10, 77, 0, 9)}) {
        ping_host_add(address, L"given", false, 1024);
    }
    ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 1'700'000'000));
    EXPECT_EQ(SharedInts[PING_UP_COUNT].load(), 2);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), 1);
    EXPECT_EQ(SharedInts[PING_FLASH_COUNT].load(), 3);
    const PSys second = *host_by_address(address_of(127, 0, 0, 2));
    EXPECT_EQ(std::make_tuple(second.Time, second.PTTL, second.PTOS, second.Recv, second.Last),
              std::make_tuple(3, 64, 16, 1, 1));
    const PSys silent = *host_by_address(address_of(10, 77, 0, 9));
    EXPECT_EQ(std::make_tuple(silent.Time, silent.Lost, silent.Last, silent.Down),
              std::make_tuple(-1, 1, -1, int64_t{1'700'000'000}));
}

std::vector<int64_t> probe_threads() {
    std::lock_guard guard(PingListMutex);
    return PingThreads;
}

// A full list, half of it silent: every echo of the round is in flight at once, in full batches, then the name
// lookups of the hosts that answered, one on every thread of the pool at once, so the round lasts as long as
// its slowest host. The round ends only when they are released; later rounds start no threads, and a quit ends
// them all.
TEST_F(PingRound, EveryHostOfAFullListIsInFlightAtOnce) {
    constexpr int HOSTS = 1024;
    constexpr int POOL_MOST = HOSTS / static_cast<int>(PING_ECHO_BATCH) + PING_NAMING_THREADS;
    for (int n = 0; n < HOSTS; ++n) {
        const uint32_t address = address_of(10, 0, static_cast<uint32_t>(n / 256), static_cast<uint32_t>(n % 256));
        if (n % 2 == 0) Net.answers[address] = REPLY;
        ping_host_add(address, L"", false, HOSTS);
    }
    Net.echo_gate.close();
    Net.lookup_gate.close();
    std::atomic<bool> done{false};
    std::thread round([&] {
        ping_round_run(fake_ping_platform(), fake_ping_ui(), 1);
        done = true;
    });
    // The thread sanitizer makes everything slow.
    constexpr std::chrono::milliseconds LIMIT{120'000};
    EXPECT_TRUE(wait_until([] { return Net.echoes.now.load() == HOSTS; }, LIMIT))
        << "echoes in flight at once: " << Net.echoes.now.load();
    EXPECT_FALSE(done.load()) << "the round ended before its echoes";
    Net.echo_gate.open();
    EXPECT_TRUE(wait_until([] { return Net.lookups.now.load() == POOL_MOST; }, LIMIT))
        << "name lookups in flight at once: " << Net.lookups.now.load();
    EXPECT_FALSE(done.load()) << "the round ended before its name lookups";
    Net.lookup_gate.open();
    ASSERT_TRUE(wait_until([&] { return done.load(); }, LIMIT));
    round.join();
    EXPECT_EQ(Net.batches, std::vector<size_t>(HOSTS / PING_ECHO_BATCH, PING_ECHO_BATCH));
    std::vector<uint32_t> echoed = Net.echoed;
    std::sort(echoed.begin(), echoed.end());
    EXPECT_EQ(echoed.size(), static_cast<size_t>(HOSTS));
    EXPECT_EQ(std::adjacent_find(echoed.begin(), echoed.end()), echoed.end()) << "a host was pinged twice";
    EXPECT_EQ(Net.queried.size(), static_cast<size_t>(HOSTS / 2)) << "a host was named twice, or not at all";
    EXPECT_EQ(std::make_pair(SharedInts[PING_UP_COUNT].load(), SharedInts[PING_DOWN_COUNT].load()),
              std::make_pair(HOSTS / 2, HOSTS / 2));

    const std::vector<int64_t> first = probe_threads();
    EXPECT_LE(first.size(), static_cast<size_t>(POOL_MOST));
    Net.echo_gate.close();
    std::thread again([] { ping_round_run(fake_ping_platform(), fake_ping_ui(), 2); });
    EXPECT_TRUE(wait_until([] { return Net.echoes.now.load() == HOSTS; })) << "the second round held fewer";
    EXPECT_EQ(probe_threads(), first) << "the second round started threads of its own";
    quit_flag_raise(1);
    Net.echo_gate.open();
    again.join();
    EXPECT_TRUE(thread_wait_all(first, 10000)) << "probe threads outlived the quit";
}

// Every active host gets one echo and no paused one does; a batch holds PING_ECHO_BATCH hosts, all of them but
// the round's last (which may find only paused hosts, and then sends none).
TEST_F(PingRound, BatchesAreFullButTheLastAndLeavePausedHostsOut) {
    struct Case {
        const char* name;
        int hosts;
        bool (*paused)(int n);
    };
    const Case cases[] = {
        {"one host", 1, [](int) { return false; }},
        {"one full batch", 64, [](int) { return false; }},
        {"one more than a batch", 65, [](int) { return false; }},
        {"every third paused", 200, [](int n) { return n % 3 == 0; }},
        {"paused after a full batch", 70, [](int n) { return n >= 64; }},
        {"all paused", 10, [](int) { return true; }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ping_state_reset();
        std::vector<uint32_t> active;
        for (int n = 0; n < test.hosts; ++n) {
            const uint32_t address = address_of(10, 2, static_cast<uint32_t>(n / 256), static_cast<uint32_t>(n % 256));
            ping_host_add(address, L"h", false, 1024);
            if (test.paused(n)) {
                std::lock_guard guard(PingListMutex);
                PingHostList.back().Actv = 0;
            } else {
                active.push_back(address);
            }
        }
        ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 1));
        std::vector<size_t> expected(active.size() / PING_ECHO_BATCH, PING_ECHO_BATCH);
        if (active.size() % PING_ECHO_BATCH != 0) expected.push_back(active.size() % PING_ECHO_BATCH);
        std::vector<size_t> batches = Net.batches;
        std::sort(batches.rbegin(), batches.rend());
        EXPECT_EQ(batches, expected);
        std::vector<uint32_t> echoed = Net.echoed;
        std::sort(echoed.begin(), echoed.end());
        std::sort(active.begin(), active.end());
        EXPECT_EQ(echoed, active);
    }
}

// Short of address space the pool stops growing: the threads it has take every batch in turn.
TEST_F(PingRound, ShortOfAddressSpaceTheThreadsThereAreTakeEveryHost) {
    // A pool of earlier rounds ends, so that this round starts its own: a round of the empty list lists it.
    ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 1));
    quit_flag_raise(1);
    ping_probes_release();
    ASSERT_TRUE(thread_wait_all(probe_threads(), 10000));
    quit_flag_clear();
    constexpr int HOSTS = 5 * static_cast<int>(PING_ECHO_BATCH);
    constexpr int ROOM = 2;
    constexpr int IN_FLIGHT = ROOM * static_cast<int>(PING_ECHO_BATCH);
    for (int n = 0; n < HOSTS; ++n) {
        ping_host_add(address_of(10, 1, static_cast<uint32_t>(n / 256), static_cast<uint32_t>(n % 256)), L"h", false,
                      1024);
    }
    Net.address_space = PING_PROBE_SPACE_KEPT + ROOM * FAKE_THREAD_SPACE - 1;  // a third thread would not fit
    Net.echo_gate.close();
    std::atomic<bool> done{false};
    std::thread round([&] {
        ping_round_run(fake_ping_platform(), fake_ping_ui(), 1);
        done = true;
    });
    EXPECT_TRUE(wait_until([] { return Net.echoes.now.load() == IN_FLIGHT; }));
    EXPECT_FALSE(wait_until([] { return Net.echoes.now.load() > IN_FLIGHT; }, std::chrono::milliseconds(200)))
        << "more threads than the address space allows: " << Net.echoes.now.load();
    Net.echo_gate.open();
    ASSERT_TRUE(wait_until([&] { return done.load(); }));
    round.join();
    EXPECT_EQ(probe_threads().size(), static_cast<size_t>(ROOM));
    std::vector<uint32_t> echoed = Net.echoed;
    std::sort(echoed.begin(), echoed.end());
    EXPECT_EQ(echoed.size(), static_cast<size_t>(HOSTS));
    EXPECT_EQ(std::adjacent_find(echoed.begin(), echoed.end()), echoed.end()) << "a host was pinged twice";
}

// The probe threads wait between rounds: later rounds start none, and a quit ends them.
TEST_F(PingRound, TheProbeThreadsServeRoundAfterRoundAndEndOnAQuit) {
    for (uint32_t n = 1; n <= 4; ++n) {
        Net.answers[address_of(127, 0, 0, n)] = REPLY;
        ping_host_add(address_of(127, 0, 0, n), L"h", false, 1024);
    }
    ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 1));
    const std::vector<int64_t> first = probe_threads();
    ASSERT_GE(first.size(), 4u);
    for (int round = 2; round <= 4; ++round) {
        ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), round));
        EXPECT_EQ(probe_threads(), first) << "round " << round << " started threads of its own";
    }
    EXPECT_EQ(host_by_address(address_of(127, 0, 0, 4))->Recv, 4);
    for (const int64_t thread : first) EXPECT_TRUE(thread_is_running(thread));
    quit_flag_raise(1);
    ping_probes_release();
    EXPECT_TRUE(thread_wait_all(first, 10000)) << "the waiting probes did not end on the quit";
}

TEST_F(PingRound, HostsAreNamedOnTheirFirstReplyByPtrThenByVendorThenByHardwareAddress) {
    const uint32_t by_ptr = address_of(127, 0, 0, 5);
    const uint32_t by_vendor = address_of(10, 0, 0, 5);
    const uint32_t by_mac = address_of(10, 0, 0, 6);
    const uint32_t nameless = address_of(127, 0, 0, 7);
    const uint32_t range_silent = address_of(10, 0, 0, 8);
    for (const uint32_t address : {by_ptr, by_vendor, by_mac, nameless}) {
        Net.answers[address] = REPLY;
        ping_host_add(address, L"", false, 1024);
    }
    ping_range_add(range_silent, range_silent, L"*", 1024);
    Net.records[reverse_query_name(by_ptr)] = {true, DNS_RECORD_PTR, 0, L"Box\u0007.Example.COM.\u202E"};
    Net.macs[by_vendor] = L"00:1A:2B:3C:4D:5E";
    Net.macs[by_mac] = L"00:1A:2C:00:00:01";
    mac_vendor_replace(MacVendorMap, {{L"001a2b", L"Vendor One"}});
    ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 1));
    EXPECT_EQ(host_by_address(by_ptr)->Host, L"box.example.com");
    EXPECT_EQ(host_by_address(by_vendor)->Host, L"vendor one");
    EXPECT_EQ(host_by_address(by_mac)->Host, L"00:1a:2c:00:00:01");
    EXPECT_EQ(host_by_address(nameless)->Host, L"");
    EXPECT_FALSE(host_by_address(range_silent)) << "a silent host of a kept-active range is deleted";
    EXPECT_EQ(SharedInts[PING_CHANGE_COUNT].load(), 1);
    EXPECT_EQ(last_title(), L"1 Inactive pings deleted");
    // Named hosts, and hosts that have counted a reply, are not asked again.
    const size_t queries = Net.queried.size();
    ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 2));
    EXPECT_EQ(Net.queried.size(), queries);
}

TEST_F(PingRound, AQuitEndsTheRoundWithoutWaitingForItsProbes) {
    for (uint32_t n = 1; n <= 3; ++n) ping_host_add(address_of(127, 0, 0, n), L"h", false, 1024);
    Net.echo_gate.close();
    std::atomic<int> result{-1};
    std::thread round([&] { result = ping_round_run(fake_ping_platform(), fake_ping_ui(), 1) ? 1 : 0; });
    ASSERT_TRUE(wait_until([] { return Net.echoes.now.load() == 3; }));
    quit_flag_raise(1);
    EXPECT_TRUE(wait_until([&] { return result.load() != -1; })) << "the round waited for its probes";
    EXPECT_EQ(result.load(), 0);
    Net.echo_gate.open();
    round.join();
    const std::vector<int64_t> probes = probe_threads();
    EXPECT_GE(probes.size(), 3u);  // the pool may have grown in earlier rounds
    EXPECT_TRUE(thread_wait_all(probes, 10000)) << "the probes end after their echo";
}

// The real passes of the monitor loop: the store loads at the start, a due round runs, requests are served,
// and the list saved afterwards holds the counts.
class PingMonitorPasses : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        data_folder_create();
        fake_network_reset();
        fake_tab_reset();
        ping_store_reset();
    }
};

TEST_F(PingMonitorPasses, StartLoadsTheStoreAndADueRoundCountsEveryHost) {
    PSys stored = ping_host_make(address_of(127, 0, 0, 1), L"Loop");
    stored.Best = 0;
    stored.Wors = 0;
    PSys silent = ping_host_make(address_of(10, 77, 0, 9), L"");
    ASSERT_TRUE(file_write_bytes(ping_store_path(), ping_hosts_serialise({stored, silent})));
    Net.answers[address_of(127, 0, 0, 1)] = REPLY;
    SharedInts[PING_INTERVAL_CHOICE] = 9;  // 60 s
    ping_monitor_start(fake_ping_platform(), fake_ping_ui());
    EXPECT_EQ(SharedInts[PING_TIMEOUT_MS].load(), 2500);
    std::optional<PSys> loop = host_by_address(address_of(127, 0, 0, 1));
    ASSERT_TRUE(loop);
    EXPECT_EQ(std::make_tuple(loop->Host, loop->Best, loop->Wors), std::make_tuple(std::wstring(L"loop"), -1, -1));
    ASSERT_EQ(loop->PV.size(), 1u);
    EXPECT_EQ(loop->PV[0].T, SAMPLE_RESUMED);

    PingSortState sort;
    SharedQuads[PING_NEXT_ROUND] = date_now();
    ping_monitor_pass(fake_ping_platform(), fake_ping_ui(), sort);
    EXPECT_EQ(SharedInts[PING_UP_COUNT].load(), 1);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), 1);
    EXPECT_GT(SharedQuads[PING_NEXT_ROUND].load(), date_now());
    {
        std::lock_guard guard(CellDrawMutex);
        EXPECT_EQ(CompactCells[CELL_PING].value_text.view(), L" 1\u25B2 1\u25BC  ");
    }
    // No round while a name waits for the lookup worker.
    shared_text_set(PING_ADD_NAME, L"pending.example");
    SharedQuads[PING_NEXT_ROUND] = date_now();
    const size_t echoes = Net.echoed.size();
    ping_monitor_pass(fake_ping_platform(), fake_ping_ui(), sort);
    EXPECT_EQ(Net.echoed.size(), echoes);

    ASSERT_EQ(ping_list_save(ping_store_path()), 1);
    std::vector<PSys> saved;
    std::wstring error;
    ASSERT_TRUE(ping_hosts_parse(file_bytes(ping_store_path()), saved, error));
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(std::make_tuple(saved[0].Recv, saved[0].Lost, saved[1].Recv, saved[1].Lost), std::make_tuple(1, 0, 0, 1));
}

// The start waits for the turn of the second and then on to its phase in it, loads the store, and draws the
// data-file panel before and after the vendor import, the list and its status line between.
TEST_F(PingMonitorPasses, TheStartTakesItsPhaseInTheSecondThenDrawsAroundTheVendorImport) {
    ASSERT_TRUE(
        file_write_bytes(ping_store_path(), ping_hosts_serialise({ping_host_make(address_of(127, 0, 0, 1), L"")})));
    std::string vendors = "Mac Prefix,Vendor Name\n00:1A:2B,Vendor One\n";
    vendors.resize(2000, ' ');
    {
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_MAC_VENDORS].folder = DataFolder;
        ASSERT_TRUE(file_write_bytes(DataFolder + DataFiles[DATA_FILE_MAC_VENDORS].file_name, vendors));
    }
    ping_monitor_start(fake_ping_platform(), fake_ping_ui());
    EXPECT_EQ(Net.second_waits.load(), 1);
    EXPECT_EQ(ping_host_count(), 1);
    std::lock_guard guard(Tab.lock);
    EXPECT_EQ(Tab.draws,
              (std::vector<std::string>{"panel 1 vendors 0", "status", "list", "canvas", "panel 1 vendors 1"}));
    // The clock's phase was taken at the turn; the work starts PING_SECOND_PHASE_MS into the second (the
    // millisecond clock may count one less across the turn).
    ASSERT_GE(Net.second_turned_ms.load(), 0);
    EXPECT_GE(Tab.first_draw_ms - Net.second_turned_ms.load(), PING_SECOND_PHASE_MS - 1);
}

// A quit before the start, or while it waits for the second, ends the start at once: nothing is loaded or drawn.
TEST_F(PingMonitorPasses, AQuitEndsTheStartsWaitAtOnce) {
    ASSERT_TRUE(
        file_write_bytes(ping_store_path(), ping_hosts_serialise({ping_host_make(address_of(127, 0, 0, 1), L"")})));
    for (const bool during_wait : {false, true}) {
        SCOPED_TRACE(during_wait ? "quit during the wait" : "quit before the start");
        fake_network_reset();
        fake_tab_reset();
        Net.second_wait_ms = 60'000;
        if (!during_wait) quit_flag_raise(1);
        std::atomic<bool> done{false};
        std::thread start([&] {
            ping_monitor_start(fake_ping_platform(), fake_ping_ui());
            done = true;
        });
        if (during_wait) {
            ASSERT_TRUE(wait_until([] { return Net.second_waits.load() == 1; }));
            quit_flag_raise(1);
        }
        EXPECT_TRUE(wait_until([&] { return done.load(); }, std::chrono::milliseconds(2000)));
        start.join();
        EXPECT_EQ(ping_host_count(), 0) << "the store was loaded after the quit";
        std::lock_guard guard(Tab.lock);
        EXPECT_TRUE(Tab.draws.empty());
        quit_flag_clear();
    }
}

// The monitor copies the Ping tab when asked and no other tab; a quit ends it at once: a quit raised before the
// start leaves a pending copy undone.
TEST_F(PingMonitorPasses, TheLoopCopiesThePingTabAndAQuitEndsItAtOnce) {
    // The probe threads an earlier test's round left waiting: a round without hosts lists them, and the runs'
    // ends below release them to end on the quit. They are joined at the end, as far as they ended by then (a
    // thread that ended and was never joined counts as leaked to the thread sanitizer).
    ASSERT_TRUE(ping_round_run(fake_ping_platform(), fake_ping_ui(), 1));
    const std::vector<int64_t> waiting_probes = probe_threads();
    ping_copies = 0;
    SharedInts[COPY_TAB_REQUEST] = TAB_PING;
    quit_flag_raise(1);
    ping_monitor_run(fake_ping_platform(), copying_ping_ui());
    EXPECT_EQ(ping_copies.load(), 0) << "a copy after the quit";
    quit_flag_clear();

    SharedInts[COPY_TAB_REQUEST] = TAB_EVENTS;
    std::thread thread([] { ping_monitor_run(fake_ping_platform(), copying_ping_ui()); });
    // The passes begin once the start has drawn the panel after the vendor import.
    EXPECT_TRUE(wait_until([] {
        std::lock_guard guard(Tab.lock);
        return Tab.draws.size() >= 5;
    }));
    quit_event_wait(4 * PING_PASS_MS);
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), TAB_EVENTS) << "another tab's request is left alone";
    SharedInts[COPY_TAB_REQUEST] = TAB_PING;
    EXPECT_TRUE(wait_until([] { return SharedInts[COPY_TAB_REQUEST].load() == -1; })) << "the copy was not served";
    quit_flag_raise(1);
    thread.join();
    quit_flag_clear();
    EXPECT_EQ(ping_copies.load(), 1);
    thread_wait_all(waiting_probes, 2000);
}

}  // namespace
