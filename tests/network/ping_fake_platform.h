// A made-up network in place of ICMP, DNS and ARP, and a recorder in place of the Ping tab's windows, for the
// ping monitor's tests: the real rounds, probes and requests run against them natively and under Wine.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/ping_monitor.h"

struct FakeNetwork {
    std::mutex lock;
    std::map<uint32_t, EchoResult> answers;          // addresses that answer; every other one times out
    std::map<std::wstring, DnsFirstRecord> records;  // query name -> first record
    std::map<uint32_t, std::wstring> macs;           // ARP answers
    std::vector<uint32_t> echoed;                    // every echo, in order
    std::vector<std::wstring> queried;               // every DNS query name
    std::atomic<int> running{0};                     // echoes in flight now
    std::atomic<int> most_running{0};                // the most echoes in flight at once
    std::atomic<bool> hold{false};                   // echoes wait while set (a round caught mid-way)
};
inline FakeNetwork Net;

inline EchoResult fake_echo(uint32_t address, int) {
    const int now = ++Net.running;
    int seen = Net.most_running.load();
    while (now > seen && !Net.most_running.compare_exchange_weak(seen, now)) {
    }
    while (Net.hold.load()) std::this_thread::yield();
    EchoResult result;
    {
        std::lock_guard guard(Net.lock);
        Net.echoed.push_back(address);
        const auto found = Net.answers.find(address);
        if (found != Net.answers.end()) result = found->second;
    }
    --Net.running;
    return result;
}

inline DnsFirstRecord fake_dns(const std::wstring& name, uint16_t type) {
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

inline const PingPlatform& fake_ping_platform() {
    static const PingPlatform platform{fake_echo, fake_dns, fake_arp, fake_bind};
    return platform;
}

inline void fake_network_reset() {
    std::lock_guard guard(Net.lock);
    Net.answers.clear();
    Net.records.clear();
    Net.macs.clear();
    Net.echoed.clear();
    Net.queried.clear();
    Net.running = 0;
    Net.most_running = 0;
    Net.hold = false;
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
}

inline const PingUi& fake_ping_ui() {
    static const PingUi ui{
        .status_line_draw =
            [](std::wstring_view message) {
                std::lock_guard guard(Tab.lock);
                Tab.status_lines.emplace_back(message);
            },
        .list_draw =
            [] {
                std::lock_guard guard(Tab.lock);
                ++Tab.list_draws;
            },
        .canvas_grow = [](int) {},
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
