// A ping round: a pool of probe threads sends the active hosts' echoes in batches and names the first replies;
// then the round is counted.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/host_naming.h"
#include "network/mac_vendors.h"
#include "network/ping_hosts.h"
#include "network/ping_monitor.h"
#include "runtime/text.h"
#include "runtime/threads.h"

namespace {

// The hosts of the running round in list order, guarded by PingListMutex with PingCursor. The list's
// membership does not change while probes run: only the monitor changes it, after the round.
std::vector<PSys*> round_hosts;
std::atomic<const PingPlatform*> round_platform{nullptr};

bool quitting() { return SharedInts[QUIT_FLAG].load() > 0; }

// A host that answered and is still to be named.
struct NameWanted {
    PSys* host = nullptr;
    uint32_t address = 0;
};

// The probe threads live from the first round on and wait between rounds: a thread per probe and round would
// cost its start each time. Each round wakes every live thread; they take its hosts in batches through
// PingCursor, and a thread with no batch left names the hosts that the batches queued. A batch that ends
// queues its names before it stops counting as running, so a thread leaves the round only when no name can
// come any more; the round ends when the last of them has left. They end on a quit.
struct ProbePool {
    std::mutex lock;
    std::condition_variable wake;      // a new round, or a quit
    std::condition_variable work;      // a name queued, the round's batches all done, or a quit
    std::condition_variable finished;  // the last probe of the round is done
    uint64_t round = 0;
    int working = 0;
    // The running round's work: its hosts all taken, the batches being taken or echoed, the names to look up.
    bool hosts_taken = false;
    int batches = 0;
    std::deque<NameWanted> names;
    std::vector<int64_t> threads;
};
ProbePool& pool = *new ProbePool;  // never destroyed: probe threads may still wait on it when the process ends

int echo_timeout_ms() { return std::max(SharedInts[PING_TIMEOUT_MS].load(), 1); }

// One batch of the round: up to PING_ECHO_BATCH active hosts from PingCursor (paused ones are passed over),
// echoed at once; each reply recorded, and the hosts to be named queued. The caller counts it in pool.batches.
void batch_run(const PingPlatform& platform, uint64_t round) {
    std::array<PSys*, PING_ECHO_BATCH> hosts{};
    std::array<uint32_t, PING_ECHO_BATCH> addresses{};
    std::array<bool, PING_ECHO_BATCH> to_name{};
    size_t count = 0;
    bool last = false;
    {
        std::lock_guard guard(PingListMutex);
        const int32_t end = static_cast<int32_t>(round_hosts.size());
        while (count < PING_ECHO_BATCH && PingCursor >= 0 && PingCursor < end) {
            PSys* host = round_hosts[static_cast<size_t>(PingCursor)];
            ++PingCursor;
            if (host->Actv != 1) continue;  // a paused host gets no echo
            hosts[count] = host;
            addresses[count] = static_cast<uint32_t>(host->Valu & 0xFFFFFFFF);
            to_name[count] = host->Host == L"*" || host->Host == L"+";
            ++count;
        }
        last = PingCursor < 0 || PingCursor >= end;
    }
    if (last) {
        // The threads still coming for a batch go on to the names at once.
        std::lock_guard guard(pool.lock);
        if (pool.round == round) pool.hosts_taken = true;
    }
    std::array<EchoResult, PING_ECHO_BATCH> results{};
    if (count > 0) platform.echo_batch(addresses.data(), count, echo_timeout_ms(), results.data());
    std::vector<NameWanted> names;
    {
        std::lock_guard guard(PingListMutex);
        for (size_t n = 0; n < count; ++n) {
            PSys& host = *hosts[n];
            const EchoResult& reply = results[n];
            host.Time = reply.answered ? reply.time_ms : -1;
            host.PTTL = reply.ttl;
            host.PTOS = reply.tos;
            if (!reply.answered) continue;
            if (to_name[n] || (host.Recv == 0 && host.Host.empty())) names.push_back({&host, addresses[n]});
        }
    }
    std::lock_guard guard(pool.lock);
    if (pool.round != round) return;  // a quit ended the round, and a later one began: its counts are its own
    pool.names.insert(pool.names.end(), names.begin(), names.end());
    --pool.batches;
    pool.work.notify_all();
}

void name_run(const PingPlatform& platform, const NameWanted& wanted) {
    const std::wstring name = ping_host_name(platform, wanted.address);
    std::lock_guard guard(PingListMutex);
    wanted.host->Host = name;
}

// The work of a probe in the given round (see ping_probe_work).
void probe_work(const PingPlatform& platform, uint64_t round) {
    while (!quitting()) {
        bool batch = false;
        {
            std::lock_guard guard(pool.lock);
            if (pool.round != round) return;
            if (!pool.hosts_taken) {
                ++pool.batches;
                batch = true;
            }
        }
        if (batch) {
            batch_run(platform, round);
            continue;
        }
        NameWanted wanted;
        {
            std::unique_lock guard(pool.lock);
            pool.work.wait(guard, [round] {
                return pool.round != round || !pool.names.empty() || pool.batches == 0 || quitting();
            });
            if (pool.round != round || pool.names.empty() || quitting()) return;
            wanted = pool.names.front();
            pool.names.pop_front();
        }
        name_run(platform, wanted);
    }
}

// A thread's argument is the round it starts in.
void ping_probe_thread(int64_t first_round) {
    uint64_t next = static_cast<uint64_t>(first_round);
    for (;;) {
        uint64_t round = 0;
        {
            std::unique_lock guard(pool.lock);
            pool.wake.wait(guard, [next] { return pool.round >= next || quitting(); });
            if (quitting()) return;
            round = pool.round;
            next = round + 1;
        }
        if (const PingPlatform* platform = round_platform.load()) probe_work(*platform, round);
        std::lock_guard guard(pool.lock);
        if (--pool.working == 0) pool.finished.notify_all();
        if (quitting()) return;
    }
}

}  // namespace

void ping_probes_release() {
    { std::lock_guard guard(pool.lock); }  // a probe between its check and its wait sees the quit after this
    pool.wake.notify_all();
    pool.work.notify_all();
}

std::wstring ping_host_name(const PingPlatform& platform, uint32_t address) {
    std::wstring name = dns_reverse_with(platform.dns_query, address);
    if (name.empty() && is_private_ipv4(address) && platform.arp_mac_address) {
        const std::wstring mac = platform.arp_mac_address(address);
        if (!mac.empty()) {
            name = mac_vendor_lookup(mac, MacVendorMap);
            if (name.empty()) name = mac;
        }
    }
    name = text_lower_ascii(host_text_clean(name));
    name.resize(text_cut(name, PING_HOST_TEXT_MAX).size());
    return name;
}

void ping_probe_work(const PingPlatform& platform) {
    uint64_t round = 0;
    {
        std::lock_guard guard(pool.lock);
        round = pool.round;
    }
    probe_work(platform, round);
}

bool ping_round_run(const PingPlatform& platform, const PingUi& ui, Date now) {
    SharedQuads[PING_NEXT_ROUND] = now + SharedInts[PING_INTERVAL_S].load();
    ui.now_button_set(L"--");
    size_t host_count = 0;
    size_t active_count = 0;
    {
        std::lock_guard guard(PingListMutex);
        round_hosts.clear();
        for (PSys& host : PingHostList) {
            round_hosts.push_back(&host);
            if (host.Actv == 1) ++active_count;
        }
        PingCursor = 0;
        host_count = round_hosts.size();
        // PingThreads keeps listing the pool while the round grows it; it is replaced whole below.
    }
    round_platform = &platform;
    // A thread per batch, and naming threads for the names; no more than there are hosts to echo or name.
    const size_t batches = (active_count + PING_ECHO_BATCH - 1) / PING_ECHO_BATCH;
    const size_t wanted = std::min({active_count, batches + static_cast<size_t>(PING_NAMING_THREADS),
                                    static_cast<size_t>(PING_PROBE_THREADS_MAX)});
    uint64_t round = 0;
    {
        std::lock_guard guard(pool.lock);
        round = ++pool.round;
        pool.hosts_taken = false;
        pool.batches = 0;
        pool.names.clear();
        // Threads that ended on an earlier quit are replaced.
        std::erase_if(pool.threads,
                      [](int64_t thread) { return !thread_is_running(thread) && thread_wait(thread, 0); });
        pool.working = static_cast<int>(pool.threads.size());
    }
    pool.wake.notify_all();
    // The pool grows while the threads it has are already pinging. A thread counts as working from its start;
    // when no more can be started, or the address space runs short, those there are take the remaining batches
    // and names in turn.
    for (size_t size = pool.threads.size(); size < wanted && !quitting(); ++size) {
        if (platform.address_space_left && platform.address_space_left() < PING_PROBE_SPACE_KEPT) break;
        std::lock_guard guard(pool.lock);
        const int64_t thread =
            thread_create_small(ping_probe_thread, static_cast<int64_t>(round), PING_PROBE_STACK_BYTES);
        if (thread == 0) break;
        pool.threads.push_back(thread);
        ++pool.working;
    }
    std::vector<int64_t> threads;
    {
        std::lock_guard guard(pool.lock);
        threads = pool.threads;
    }
    if (threads.empty() && host_count > 0) ping_probe_work(platform);  // no thread: the monitor pings itself
    {
        std::lock_guard guard(PingListMutex);
        PingThreads = threads;
    }
    // Each probe ends within its batches' echo time-outs and its name lookups; a quit ends the monitor without them.
    for (;;) {
        std::unique_lock guard(pool.lock);
        if (pool.finished.wait_for(guard, std::chrono::milliseconds(100), [] { return pool.working == 0; })) break;
        guard.unlock();
        if (quitting()) {
            ping_probes_release();
            return false;
        }
    }
    {
        std::lock_guard guard(PingListMutex);
        round_hosts.clear();
    }
    if (quitting()) return false;

    SharedInts[PING_UP_COUNT] = 0;
    SharedInts[PING_DOWN_COUNT] = 0;
    const int deleted = ping_range_clean_up();
    SharedInts[PING_CHANGE_COUNT] = deleted;
    if (deleted != 0) {
        ui.list_draw();
        ui.canvas_grow(0);
        ping_message(ui, std::to_wstring(deleted) + L" " + tr(L"Inactive pings deleted"));
    }
    const PingRoundCounts counts = ping_round_count(now, SharedInts[PING_SAMPLES_MAX].load());
    SharedInts[PING_UP_COUNT] = counts.up;
    SharedInts[PING_DOWN_COUNT] = counts.down;
    ui.status_line_draw(L"");
    ui.list_draw();
    if (counts.down > 0) {
        const int interval = SharedInts[PING_INTERVAL_S].load();
        SharedInts[PING_FLASH_COUNT] = interval > 2 ? 3 : interval;
    }
    return true;
}
