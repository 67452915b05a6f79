// A made-up network in place of ICMP, DNS and ARP, and a recorder in place of the Ping tab's windows, for the
// ping monitor's tests: the real rounds, probes and requests run against them natively and under Wine.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/ping_monitor.h"
#include "runtime/date.h"
#include "runtime/worker_timer.h"

// Holds the calls that pass it while closed, without spinning (a round may hold a thousand of them).
struct FakeGate {
    std::mutex lock;
    std::condition_variable opened;
    bool closed = false;

    void close() {
        std::lock_guard guard(lock);
        closed = true;
    }
    void open() {
        {
            std::lock_guard guard(lock);
            closed = false;
        }
        opened.notify_all();
    }
    void pass() {
        std::unique_lock guard(lock);
        opened.wait(guard, [this] { return !closed; });
    }
};

// A count of calls in flight and the most seen at once.
struct FakeInFlight {
    std::atomic<int> now{0};
    std::atomic<int> most{0};

    void enter(int calls = 1) {
        const int count = now += calls;
        int seen = most.load();
        while (count > seen && !most.compare_exchange_weak(seen, count)) {
        }
    }
    void leave(int calls = 1) { now -= calls; }
    void reset() {
        now = 0;
        most = 0;
    }
};

struct FakeNetwork {
    std::mutex lock;
    std::map<uint32_t, EchoResult> answers;           // addresses that answer; every other one times out
    std::map<std::wstring, DnsFirstRecord> records;   // query name -> first record
    std::map<uint32_t, std::wstring> macs;            // ARP answers
    std::vector<uint32_t> echoed;                     // every echo, in order
    std::vector<size_t> batches;                      // the echoes of each batch, in order
    std::vector<std::wstring> queried;                // every DNS query name
    FakeInFlight echoes;                              // echoes in flight, of every batch
    FakeInFlight lookups;                             // DNS queries in flight
    FakeGate echo_gate;                               // echoes wait while it is closed (a round caught mid-way)
    FakeGate lookup_gate;                             // DNS queries wait while it is closed
    std::atomic<int> second_waits{0};                 // waits for the next second
    std::atomic<int> second_wait_ms{0};               // how long each of them waits for a quit
    std::atomic<int64_t> second_turned_ms{-1};        // the millisecond clock when the last one ended
    std::atomic<uint64_t> address_space{UINT64_MAX};  // what address_space_left tells next
};
inline FakeNetwork Net;

// A batch's echoes are in flight together until the gate lets them through.
inline void fake_echo_batch(const uint32_t* addresses, size_t count, int, EchoResult* results) {
    Net.echoes.enter(static_cast<int>(count));
    Net.echo_gate.pass();
    {
        std::lock_guard guard(Net.lock);
        Net.batches.push_back(count);
        for (size_t n = 0; n < count; ++n) {
            Net.echoed.push_back(addresses[n]);
            const auto found = Net.answers.find(addresses[n]);
            results[n] = found == Net.answers.end() ? EchoResult{} : found->second;
        }
    }
    Net.echoes.leave(static_cast<int>(count));
}

inline DnsFirstRecord fake_dns(const std::wstring& name, uint16_t type) {
    Net.lookups.enter();
    Net.lookup_gate.pass();
    Net.lookups.leave();
    std::lock_guard guard(Net.lock);
    Net.queried.push_back(name);
    const auto found = Net.records.find(name);
    if (found == Net.records.end() || (type == DNS_RECORD_PTR && found->second.type != DNS_RECORD_PTR)) return {};
    return found->second;
}

inline std::wstring fake_arp(uint32_t address) {
    std::lock_guard guard(Net.lock);
    const auto found = Net.macs.find(address);
    return found == Net.macs.end() ? std::wstring() : found->second;
}

inline void fake_bind() {}

// The second turns after second_wait_ms, or at once on a quit (which then leaves the phase as it was).
inline void fake_second_wait() {
    ++Net.second_waits;
    if (quit_event_wait(Net.second_wait_ms.load())) return;
    const int64_t now = millisecond_clock();
    SecondPhaseMs = now % 1000;
    Net.second_turned_ms = now;
}

// Asked before each probe thread's start: what is left, then the two megabytes that thread takes under Wine.
inline constexpr uint64_t FAKE_THREAD_SPACE = 2 << 20;
inline uint64_t fake_address_space_left() { return Net.address_space.fetch_sub(FAKE_THREAD_SPACE); }

inline const PingPlatform& fake_ping_platform() {
    static const PingPlatform platform{fake_echo_batch, fake_dns,         fake_arp,
                                       fake_bind,       fake_second_wait, fake_address_space_left};
    return platform;
}

inline void fake_network_reset() {
    Net.echo_gate.open();
    Net.lookup_gate.open();
    std::lock_guard guard(Net.lock);
    Net.answers.clear();
    Net.records.clear();
    Net.macs.clear();
    Net.echoed.clear();
    Net.batches.clear();
    Net.queried.clear();
    Net.echoes.reset();
    Net.lookups.reset();
    Net.second_waits = 0;
    Net.second_wait_ms = 0;
    Net.second_turned_ms = -1;
    Net.address_space = UINT64_MAX;
}

// What the monitor did to the windows.
struct FakeTab {
    std::mutex lock;
    std::vector<std::wstring> titles;
    std::vector<std::wstring> opened;  // url_open and remote_desktop_start ("MSTSC " + parameters)
    std::map<int, std::wstring> controls;
    std::wstring clipboard;
    std::wstring now_button;
    int slow_item = -1;
    int list_draws = 0;
    std::vector<std::wstring> status_lines;  // the message of each status line draw ("" for the header)
    // Every drawing in order: "panel 0|1", "status", "list", "canvas"; and the millisecond clock at the first.
    std::vector<std::string> draws;
    int64_t first_draw_ms = -1;
};
inline FakeTab Tab;

inline void fake_tab_reset() {
    std::lock_guard guard(Tab.lock);
    Tab.titles.clear();
    Tab.opened.clear();
    Tab.controls.clear();
    Tab.clipboard.clear();
    Tab.now_button.clear();
    Tab.slow_item = -1;
    Tab.list_draws = 0;
    Tab.status_lines.clear();
    Tab.draws.clear();
    Tab.first_draw_ms = -1;
}

// Under Tab.lock.
inline void fake_draw_note(std::string what) {
    if (Tab.draws.empty()) Tab.first_draw_ms = millisecond_clock();
    Tab.draws.push_back(std::move(what));
}

inline const PingUi& fake_ping_ui() {
    static const PingUi ui{
        .status_line_draw =
            [](std::wstring_view message) {
                std::lock_guard guard(Tab.lock);
                Tab.status_lines.emplace_back(message);
                fake_draw_note("status");
            },
        .list_draw =
            [] {
                std::lock_guard guard(Tab.lock);
                ++Tab.list_draws;
                fake_draw_note("list");
            },
        .canvas_grow =
            [](int) {
                std::lock_guard guard(Tab.lock);
                fake_draw_note("canvas");
            },
        .scroll_to_end = [] {},
        .now_button_set =
            [](const std::wstring& text) {
                std::lock_guard guard(Tab.lock);
                Tab.now_button = text;
            },
        .title_set =
            [](const std::wstring& text, int) {
                std::lock_guard guard(Tab.lock);
                Tab.titles.push_back(text);
            },
        .control_exists =
            [](int control) {
                std::lock_guard guard(Tab.lock);
                return Tab.controls.count(control) > 0;
            },
        .control_text =
            [](int control) {
                std::lock_guard guard(Tab.lock);
                const auto found = Tab.controls.find(control);
                return found == Tab.controls.end() ? std::wstring() : found->second;
            },
        .control_text_set =
            [](int control, const std::wstring& text) {
                std::lock_guard guard(Tab.lock);
                if (Tab.controls.count(control) > 0) Tab.controls[control] = text;
            },
        .slow_item =
            [] {
                std::lock_guard guard(Tab.lock);
                return Tab.slow_item;
            },
        .font_apply = [](int) {},
        .clipboard_set =
            [](const std::wstring& text) {
                std::lock_guard guard(Tab.lock);
                Tab.clipboard = text;
            },
        .remote_desktop_start =
            [](const std::wstring& parameters) {
                std::lock_guard guard(Tab.lock);
                Tab.opened.push_back(L"MSTSC " + parameters);
            },
        .url_open =
            [](const std::wstring& url) {
                std::lock_guard guard(Tab.lock);
                Tab.opened.push_back(url);
            },
        .cell_draw = [] {},
        .copy_tab = [] {},
        .layout_measure = [] {},
        .data_panel_draw =
            [](int force) {
                std::lock_guard guard(Tab.lock);
                // With the vendor count the panel would show: the draw after the vendor import shows it taken.
                fake_draw_note("panel " + std::to_string(force) + " vendors " +
                               std::to_string(SharedInts[MAC_VENDOR_COUNT].load()));
            },
    };
    return ui;
}

inline std::wstring last_title() {
    std::lock_guard guard(Tab.lock);
    return Tab.titles.empty() ? std::wstring() : Tab.titles.back();
}

// 127.0.0.n and 10.77.0.n as the probes send them (first octet in the lowest byte).
constexpr uint32_t address_of(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return a | b << 8 | c << 16 | d << 24; }

// A fresh program state: shared state and tables, English texts, an empty list, a clean network and tab.
inline void ping_state_reset() {
    shared_state_init(SharedStateFacts{});
    shared_tables_init();
    text_maps_load(LANGUAGE_ENGLISH);
    fake_network_reset();
    fake_tab_reset();
}
