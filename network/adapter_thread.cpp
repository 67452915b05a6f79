// The network adapter thread's rounds: interface reads with their deltas, cells, traffic lines and graph
// samples, the per-second checks of errors, status and link speeds, the internet state and the rescans.
#include "network/adapter_thread.h"

#include <algorithm>
#include <array>
#include <ctime>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/format_bytes.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/worker_loop.h"

namespace {

constexpr uint32_t INTERNET_MODEM = 0x01;
constexpr uint32_t INTERNET_LAN = 0x02;
constexpr uint32_t INTERNET_PROXY = 0x04;
constexpr uint32_t INTERNET_MODEM_BUSY = 0x08;
constexpr uint32_t INTERNET_RAS_INSTALLED = 0x10;
constexpr uint32_t INTERNET_OFFLINE = 0x20;
constexpr uint32_t INTERNET_CONFIGURED = 0x40;

void line(const std::wstring& text) { event_line_add(LIST_NETWORK_EVENTS, text); }

int32_t cell_color_of(int position, bool warn) {
    return static_cast<int32_t>(warn ? Palette[18] : adapter_cell_color(position));
}

void cell_set(const NetAdapter& adapter, const std::wstring* text, const int32_t* color) {
    if (adapter.cell < CELL_NETWORK_FIRST || adapter.cell > CELL_NETWORK_LAST) return;
    std::lock_guard guard(CellDrawMutex);
    if (text) CompactCells[adapter.cell].value_text = *text;
    if (color) CompactCells[adapter.cell].text_color = *color;
}

// The row read for an adapter is its own when it has the adapter's description, or the interface index and
// the permanent address the adapter had at the scan: a row whose index now belongs to another adapter is not.
bool row_is_adapters(const NetAdapter& adapter, const InterfaceRowFacts& row) {
    if (row.description == adapter.description) return true;
    if (adapter.info_index != row.index) return false;
    static constexpr std::array<uint8_t, 32> NONE{};
    return mac_address_text(row.physical_length != 0 ? row.permanent.data() : NONE.data()) == adapter.mac_text.view();
}

void deltas_clear(NetAdapter& adapter) {
    adapter.sent_delta = 0;
    adapter.received_delta = 0;
    adapter.packets_sent_delta = 0;
    adapter.packets_received_delta = 0;
}

// Takes the row's counters as the adapter's totals and their growth since the last read as its deltas. A counter
// that went back (the adapter was reset or reconnected, or a counter of 32 bits wrapped) says nothing about
// what moved since the last read: that read shows no traffic and the totals start again from the row, as they
// do after a read that found no row. True when a counter went back.
bool counters_take(NetAdapter& adapter, const InterfaceRowFacts& row) {
    const bool went_back = row.out_octets < adapter.sent_total || row.in_octets < adapter.received_total ||
                           row.out_packets < adapter.packets_sent_total ||
                           row.in_packets < adapter.packets_received_total;
    if (went_back || adapter.counters_stale) {
        deltas_clear(adapter);
    } else {
        adapter.sent_delta = row.out_octets - adapter.sent_total;
        adapter.received_delta = row.in_octets - adapter.received_total;
        adapter.packets_sent_delta = row.out_packets - adapter.packets_sent_total;
        adapter.packets_received_delta = row.in_packets - adapter.packets_received_total;
    }
    adapter.sent_total = row.out_octets;
    adapter.received_total = row.in_octets;
    adapter.packets_sent_total = row.out_packets;
    adapter.packets_received_total = row.in_packets;
    adapter.counters_stale = 0;
    return went_back;
}

// Errors, status and link speeds of one adapter against its row.
void per_second_checks(NetAdapter& adapter, int position, const InterfaceRowFacts& row, AdapterThreadState& state) {
    const std::wstring tag = adapter.tag.str();
    if (row.out_errors != adapter.send_errors_total) {
        adapter.send_errors_delta = row.out_errors - adapter.send_errors_total;
        adapter.send_errors_total = row.out_errors;
        line(tag + L" " + tr(L"Errors Sent") + L": " + std::to_wstring(adapter.send_errors_delta) + L" (" +
             std::to_wstring(adapter.send_errors_total) + L")");
    }
    if (row.in_errors != adapter.receive_errors_total) {
        adapter.receive_errors_delta = row.in_errors - adapter.receive_errors_total;
        adapter.receive_errors_total = row.in_errors;
        line(tag + L" " + tr(L"Errors Recv") + L": " + std::to_wstring(adapter.receive_errors_delta) + L" (" +
             std::to_wstring(adapter.receive_errors_total) + L")");
    }
    const int slot = adapter.status_slot;
    const bool slot_valid = slot > 0 && slot < NET_ADAPTER_COUNT;
    if (adapter.oper_status != row.oper_status ||
        (slot_valid && AdapterOperStatus[slot].load() != adapter.oper_status)) {
        adapter.oper_status = row.oper_status;
        if (slot_valid) AdapterOperStatus[slot] = adapter.oper_status;
        line(tag + L" " + tr(L"OperStatus") + L": " + oper_status_name(row.oper_status));
        const int32_t color = cell_color_of(position, adapter.oper_status != 1);
        cell_set(adapter, nullptr, &color);
        state.rescan_countdown = 1;
    }
    if (row.transmit_speed != adapter.transmit_speed) {
        adapter.transmit_speed = row.transmit_speed;
        line(tag + L" " + tr(L"Transmit Speed") + L": " + format_bytes(row.transmit_speed, FORMAT_BYTES_LINK_SPEED));
    }
    if (row.receive_speed != adapter.receive_speed) {
        adapter.receive_speed = row.receive_speed;
        line(tag + L" " + tr(L"Receive Speed") + L": " + format_bytes(row.receive_speed, FORMAT_BYTES_LINK_SPEED));
        const int32_t color = cell_color_of(position, row.receive_speed == 0);
        cell_set(adapter, nullptr, &color);
    }
}

// A rescan reads every row afresh. A link that changed state after the adapter's last read (one that came
// back while the rescan ran, say) is reported here, or the list would go on showing the old state.
void status_changes_report(const NetAdapters& before, const NetAdapters& after) {
    const int count = std::clamp(SharedInts[ADAPTER_COUNT].load(), 0, NET_ADAPTER_COUNT - 1);
    for (int j = 1; j <= count; ++j) {
        const NetAdapter& now = after[j];
        if (!now.active || now.number == 0) continue;
        for (int k = 1; k < NET_ADAPTER_COUNT; ++k) {
            const NetAdapter& was = before[k];
            if (was.number != now.number || was.description != now.description) continue;
            if (was.active && was.oper_status != now.oper_status)
                line(now.tag.str() + L" " + tr(L"OperStatus") + L": " + oper_status_name(now.oper_status));
            break;
        }
    }
}

void internet_state_check(AdapterThreadState& state, const NetPlatform& platform) {
    uint32_t flags = 0;
    const bool connected = platform.internet_state(flags);
    SharedInts[INTERNET_FLAGS] = static_cast<int32_t>(flags);
    const int32_t seen = SharedInts[INTERNET_FLAGS_SEEN].load();
    if (static_cast<int32_t>(flags) == seen) return;
    if (connected) {
        if (seen > -1) state.rescan_countdown = 1;
        SharedInts[INTERNET_FLAGS_SEEN] = static_cast<int32_t>(flags);
        const std::wstring text = internet_state_text(flags);
        shared_text_set(INTERNET_STATE_TEXT, text);
        if (platform.proxy_read() != 0) {
            const std::wstring server = shared_text(PROXY_SERVER);
            if (!server.empty()) line(tr(L"Proxy Address") + L": " + server);
        }
        line(text);
    } else {
        SharedInts[INTERNET_FLAGS_SEEN] = static_cast<int32_t>(flags);
        line(tr(L"Internet") + L": " + tr(L"Not Detected"));
        state.rescan_countdown = 1;
    }
}

void interface_read(AdapterThreadState& state, const NetPlatform& platform, const NetUi& ui, int second) {
    const int count = std::clamp(SharedInts[ADAPTER_COUNT].load(), 0, NET_ADAPTER_COUNT - 1);
    if (count == 0) return;
    const bool show_packets = SharedInts[NET_SHOW_PACKETS].load() == 1;
    const int32_t filter_item = SharedInts[NET_FILTER_ITEM].load();
    const int32_t filter_adapter = SharedInts[NET_FILTER_ADAPTER].load();
    for (int j = 1; j <= count; ++j) {
        NetAdapter& adapter = state.adapters[j];
        if (!adapter.active) continue;
        InterfaceRowFacts row;
        if (platform.interface_row(static_cast<uint32_t>(adapter.number), row) && row_is_adapters(adapter, row)) {
            if (counters_take(adapter, row)) {
                line(adapter.tag.str() + L" " + tr(L"Reconnected"));
                state.rescan_countdown = 1;
            }
            if (second != state.last_second) {
                per_second_checks(adapter, j, row, state);
                if (j == count) state.last_second = second;
            }
        } else {
            // No counters of this adapter this time: nothing moved that can be told, and the totals kept are
            // older than one read, so the next read that finds the row starts again from it.
            deltas_clear(adapter);
            adapter.counters_stale = 1;
        }
        const std::wstring text =
            (adapter.tag.str() + format_bytes(adapter.sent_delta, FORMAT_BYTES_TRAFFIC) +
             format_bytes(adapter.sent_total, FORMAT_BYTES_TRAFFIC) + shared_text(NET_CELL_SEPARATOR) +
             format_bytes(adapter.received_delta, FORMAT_BYTES_TRAFFIC) +
             format_bytes(adapter.received_total, FORMAT_BYTES_TRAFFIC))
                .substr(0, 60);
        cell_set(adapter, &text, nullptr);
        if (filter_item == 0 || filter_adapter == adapter.number) {
            const auto columns = [&adapter](int64_t a, int64_t b, int64_t c, int64_t d) {
                return adapter.tag.str() + L"\n" + std::to_wstring(a) + L"\n" + std::to_wstring(b) + L"\n" +
                       std::to_wstring(c) + L"\n" + std::to_wstring(d);
            };
            if (!show_packets && adapter.sent_delta + adapter.received_delta != 0) {
                event_line_add_quiet(
                    LIST_NETWORK_ID, 0,
                    columns(adapter.sent_delta, adapter.sent_total, adapter.received_delta, adapter.received_total));
            } else if (show_packets && adapter.packets_sent_delta + adapter.packets_received_delta != 0) {
                event_line_add_quiet(LIST_NETWORK_ID, 0,
                                     columns(adapter.packets_sent_delta, adapter.packets_sent_total,
                                             adapter.packets_received_delta, adapter.packets_received_total));
            }
        }
        state.send_bytes += adapter.sent_delta;
        state.receive_bytes += adapter.received_delta;
    }
    net_adapters_publish(state.adapters);
    ui.cells_redraw();
    internet_state_check(state, platform);

    const int64_t send_kb = state.send_bytes / 1024;
    const int64_t receive_kb = state.receive_bytes / 1024;
    SharedQuads[NET_SEND_KB] = send_kb;
    SharedQuads[NET_RECV_KB] = receive_kb;
    ui.graph_sample_add(GRAPH_NET_SEND, state.send_bytes, send_kb);
    ui.graph_sample_add(GRAPH_NET_RECEIVE, state.receive_bytes, receive_kb);
    state.send_bytes = 0;
    state.receive_bytes = 0;
    ui.graphs_refresh();
    if (SharedInts[TITLE_MODE].load() == TITLE_MODE_NETWORK) {
        shared_text_set(TITLE_TEXT, shared_text(NET_SR_LETTERS) + L": " + std::to_wstring(send_kb) + L"K/" +
                                        std::to_wstring(receive_kb) + L"K");
        SharedInts[TITLE_COUNTDOWN] = 0;
    }
}

}  // namespace

std::wstring internet_state_text(uint32_t flags) {
    std::wstring text = tr(L"Internet") + L":";
    if (flags & INTERNET_LAN) {
        text += tr(L"Network");
    } else if (flags & INTERNET_MODEM) {
        text += tr(L"Modem/VPN");
    } else if (flags & INTERNET_CONFIGURED) {
        text += tr(L"Unknown");
    }
    if (flags & INTERNET_PROXY) text += L"+" + tr(L"Proxy");
    if (flags & INTERNET_MODEM_BUSY) text += L" " + tr(L"Busy");
    if (flags & INTERNET_OFFLINE) text += L" " + tr(L"Offline");
    if (flags & INTERNET_RAS_INSTALLED) text += L"+" + tr(L"RAS");
    return text;
}

void adapter_thread_start(AdapterThreadState& state) {
    state.adapters = net_adapters_copy();
    state.rescan_countdown = ADAPTER_FIRST_RESCAN_ROUNDS;
}

void adapter_thread_round(AdapterThreadState& state, const NetPlatform& platform, const NetUi& ui, int second) {
    ++state.rounds;
    if (SharedInts[NET_READ_COUNTDOWN].load() < 1 || SharedInts[OPT_REALTIME_NETWORK].load() != 0) {
        interface_read(state, platform, ui, second);
        SharedInts[NET_READ_COUNTDOWN] = ADAPTER_READ_ROUNDS;
    }
    --state.rescan_countdown;
    if (state.rescan_countdown < 1 || SharedInts[NET_RESCAN_REQUEST].load() == 1) {
        adapter_scan_apply(platform);
        network_filter_apply(ui);
        ui.compact_window_fit();
        ui.compact_window_layout();
        const NetAdapters before = state.adapters;
        state.adapters = net_adapters_copy();
        status_changes_report(before, state.adapters);
        state.rescan_countdown = ADAPTER_RESCAN_ROUNDS;
        SharedInts[NET_RESCAN_REQUEST] = 0;
        ++state.scans;
    }
}

void adapter_thread_round_end() { SharedInts[NET_READ_COUNTDOWN] -= 1; }

void adapter_thread_run(const NetPlatform& platform, const NetUi& ui) {
    AdapterThreadState state;
    adapter_thread_start(state);
    const WorkerLoop loop{.period_ms = ADAPTER_ROUND_MS,
                          .quit_order = WORKER_QUIT_AT_ONCE,
                          .quit_flag = &SharedInts[QUIT_FLAG],
                          .copy_request = &SharedInts[COPY_TAB_REQUEST],
                          .copy_tab = TAB_NETWORKS};
    worker_loop_run(
        loop,
        [&](bool) {
            const std::time_t now = std::time(nullptr);
            adapter_thread_round(state, platform, ui, static_cast<int>(now % 60));
            return true;
        },
        [&ui](int) {
            if (ui.clipboard_copy) ui.clipboard_copy();
        },
        adapter_thread_round_end);
}

void network_adapter_thread(int64_t) { adapter_thread_run(net_platform_default(), net_ui_default()); }
