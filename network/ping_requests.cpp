// The Ping tab's requests, served by the ping monitor in each pass: adds, deletes, resets, selection,
// sorting, pausing, read-outs, the host's clipboard log, the list font and the outside programs.
#include <cstdio>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/version.h"
#include "network/host_naming.h"
#include "network/ping_hosts.h"
#include "network/ping_monitor.h"
#include "runtime/date.h"
#include "runtime/text.h"
#include "ui/ping_tab_view.h"

namespace {

constexpr int MESSAGE_SECONDS = 20;
constexpr wchar_t PUBLISHER_ADDRESS[] = L"sotrix.example";

int host_count() { return ping_host_count(); }

// The host named by a 1-based row; none for a row beyond the list.
std::optional<PSys> row_host(int row) { return row >= 1 ? ping_host_copy(row - 1) : std::nullopt; }

std::wstring host_part(const PSys& host) {
    return text_trim(host.Host).empty() ? std::wstring(L" ") : L" (" + host.Host + L") ";
}

std::wstring sample_value_text(int64_t value) {
    if (value >= 0) return std::to_wstring(value) + L"ms";
    if (value == SAMPLE_TIMED_OUT) return L"[" + tr(L"Timed Out") + L"]";
    if (value == SAMPLE_RESUMED) return L"[" + tr(L"Ping Resumed") + L"]";
    if (value == SAMPLE_INACTIVE) return L"[" + tr(L"Inactive") + L"]";
    return L"--";
}

std::wstring right_justified(std::wstring text, size_t width, wchar_t fill) {
    if (text.size() < width) text.insert(0, width - text.size(), fill);
    return text;
}

void add_host_serve(const PingUi& ui) {
    const int32_t request = SharedInts[PING_REQ_ADD_HOST].load(std::memory_order_acquire);
    if (request == 0) return;
    const std::wstring name = shared_text(PING_ADD_NAME);
    if (request == -1) {
        ping_message(ui, tr(L"Invalid Host Name or IP Address"));
    } else {
        const auto address = static_cast<uint32_t>(request);
        const bool update = ui.control_exists(INPUT_PING_DESCRIPTION);
        switch (ping_host_add(address, name, update, SharedInts[PING_HOSTS_MAX].load())) {
            case PING_ADD_APPENDED:
                ui.canvas_grow(0);
                ui.scroll_to_end();
                ui.status_line_draw(L"");
                ui.list_draw();
                break;
            case PING_ADD_UPDATED:
                ping_message(ui, tr(L"Updating description for") + L": " + ipv4_text(address));
                ui.list_draw();
                break;
            case PING_ADD_DUPLICATE: ping_message(ui, tr(L"Duplicate IP found") + L": " + ipv4_text(address)); break;
            case PING_ADD_FULL:
                ping_message(ui, tr(L"Maximum Pings Reached"));
                lookup_queue_clear();  // the lookup worker ends after the name in hand
                break;
        }
    }
    // In this order: the lookup worker writes its next name only after it has seen the 0.
    shared_text_set(PING_ADD_NAME, L"");
    SharedInts[PING_REQ_ADD_HOST].store(0, std::memory_order_release);
}

void add_range_serve(const PingUi& ui) {
    const int32_t mode = SharedInts[PING_REQ_ADD_RANGE].load(std::memory_order_acquire);
    if (mode <= 0) return;
    SharedInts[PING_CHANGE_COUNT] = 0;
    const auto from = ipv4_parse(text_trim(ui.control_text(INPUT_PING_IP_FROM)));
    const auto to = ipv4_parse(text_trim(ui.control_text(INPUT_PING_IP_TO)));
    if (from && to) {
        SharedQuads[PING_RANGE_FROM] = *from;
        SharedQuads[PING_RANGE_TO] = *to;
        const int max_hosts = SharedInts[PING_HOSTS_MAX].load();
        const int added = ping_range_add(*from, *to, mode == 3 ? L"*" : L"+", max_hosts);
        SharedInts[PING_CHANGE_COUNT] = added;
        if (added > 0) {
            ui.canvas_grow(0);
            ui.list_draw();
        }
        if (host_count() >= max_hosts) ping_message(ui, tr(L"Maximum Pings Reached"));
    } else {
        ping_message(ui, tr(L"Invalid Host Name or IP Address"));
    }
    SharedInts[PING_REQ_ADD_RANGE] = 0;
}

void message_expiry_serve(const PingUi& ui) {
    const int64_t until = SharedQuads[PING_MESSAGE_UNTIL].load();
    if (until > 0 && until < date_now()) {
        SharedQuads[PING_MESSAGE_UNTIL] = 0;
        shared_text_set(STATUS_MESSAGE, L"");
        ui.status_line_draw(L"");
    }
}

void hover_serve(const PingUi& ui) {
    const int row = SharedInts[PING_HOVER_ROW].load();
    if (row == 0) return;
    const int x = SharedInts[PING_HOVER_X].load();
    if (const std::optional<PSys> host = row_host(row)) {
        if (x != 0) {
            if (row != SharedInts[PING_HOVER_LAST_ROW].load() || x != SharedInts[PING_HOVER_LAST_X].load()) {
                SharedInts[PING_HOVER_LAST_ROW] = row;
                SharedInts[PING_HOVER_LAST_X] = x;
                const int column = x - SharedInts[PING_TIMELINE_X].load();
                const int count = static_cast<int>(host->PV.size());
                const int width = SharedInts[PING_TIMELINE_WIDTH].load();
                const PingHoverSample hovered = ping_hover_sample(column, width, host->PV.size());
                if (hovered.kind == PingHoverKind::BEFORE_FIRST) {
                    ui.title_set(tr(L"No data at mouse position"), MESSAGE_SECONDS);
                } else {
                    const int index = static_cast<int>(hovered.index);
                    if (hovered.kind == PingHoverKind::SAMPLE) {
                        const PValues& sample = host->PV[hovered.index];
                        std::wstring text = tr(L"Position") + L" " + std::to_wstring(row - 1);
                        if (count > width) {
                            text += L":" + std::to_wstring(column + 1) + L"/" + std::to_wstring(width);
                        } else {
                            text += L": " + std::to_wstring(index + 1) + L"/" + std::to_wstring(count);
                        }
                        text += date_format(L" = %yyyy-%mm-%dd  %hh:%ii:%ss = ", sample.S) + host->Addr +
                                host_part(*host) + sample_value_text(sample.T);
                        if (host->Best > -1 && host->Wors > -1) {
                            text += L" " + tr(L"Range") + L": " + std::to_wstring(host->Best) + L"-" +
                                    std::to_wstring(host->Wors);
                        }
                        SharedQuads[AGE_STAMP] = sample.S;
                        ui.title_set(text + L" ~", MESSAGE_SECONDS);
                        shared_text_set(STATUS_MESSAGE, L"");
                    }
                }
            }
        } else if (row != SharedInts[PING_HOVER_LAST_ROW].load()) {
            SharedInts[PING_HOVER_LAST_ROW] = row;
            if (SharedInts[PING_HEADER_COLUMN].load() > 62 && host->Down > 0) {
                SharedQuads[AGE_STAMP] = host->Down;
                ui.title_set(host->Addr + host_part(*host) + tr(L"Last Down") + L": " +
                                 date_format(L"%yyyy-%mm-%dd  %hh:%ii:%ss", host->Down) + L" ~",
                             MESSAGE_SECONDS);
            }
        }
    }
    SharedInts[PING_HOVER_X] = 0;
    SharedInts[PING_HOVER_ROW] = 0;
}

void select_row_serve(const PingUi& ui) {
    const int row = SharedInts[PING_REQ_SELECT_ROW].load();
    if (row == 0) return;
    if (SharedInts[PING_HOVER_X].load() != 0) {
        SharedInts[PING_HOVER_X] = 0;
    } else if (row >= 1) {
        int selected = -1;
        std::wstring address;
        std::wstring name;
        {
            std::lock_guard guard(PingListMutex);
            if (row <= static_cast<int>(PingHostList.size())) {
                PSys& host = *std::next(PingHostList.begin(), row - 1);
                host.HiLi = host.HiLi == 1 ? 0 : 1;
                selected = host.HiLi;
                address = host.Addr;
                name = host.Host;
            }
        }
        const int mode = SharedInts[PING_MODE].load();
        if (selected == 1) {
            if (mode == 1) {
                ui.control_text_set(INPUT_PING_IP_FROM, address);
                ui.control_text_set(INPUT_PING_DESCRIPTION, name);
            } else if (mode == 0 && !name.empty()) {
                ui.control_text_set(INPUT_PING_HOST, name);
            }
        } else if (selected == 0) {
            if (mode == 1) {
                ui.control_text_set(INPUT_PING_IP_FROM, L"");
                ui.control_text_set(INPUT_PING_DESCRIPTION, L"");
            } else if (mode == 0) {
                ui.control_text_set(INPUT_PING_HOST, L"");
            }
        }
        if (selected != -1) ui.list_draw();
    }
    SharedInts[PING_REQ_SELECT_ROW] = 0;
}

void row_action_serve(const PingUi& ui) {
    const int row = SharedInts[PING_REQ_ROW_ACTION].load();
    if (row == 0) return;
    if (SharedInts[PING_HOVER_X].load() != 0) {
        if (const std::optional<PSys> host = row_host(row)) {
            ui.clipboard_set(ping_host_log_text(*host, date_now()));
            std::wstring title = host->Addr.substr(0, 40);
            if (!text_trim(host->Host).empty()) title += L" (" + host->Host + L")";
            ui.title_set(title + L" " + tr(L"Data saved To clipboard") + L".", MESSAGE_SECONDS);
        }
        SharedInts[PING_HOVER_X] = 0;
    } else if (row >= 1) {
        bool toggled = false;
        {
            std::lock_guard guard(PingListMutex);
            if (row <= static_cast<int>(PingHostList.size())) {
                PSys& host = *std::next(PingHostList.begin(), row - 1);
                host.Actv = host.Actv == 1 ? 0 : 1;
                toggled = true;
            }
        }
        if (toggled) ui.list_draw();
    }
    SharedInts[PING_REQ_ROW_ACTION] = 0;
}

void delete_serve(const PingUi& ui) {
    const int request = SharedInts[PING_REQ_DELETE].load();
    if (request == 0) return;
    SharedInts[PING_REQ_DELETE] = 0;
    if (host_count() == 0) return;
    if (request == -1) {
        const int count = ping_hosts_delete(true);
        ping_message(ui, std::to_wstring(count) + L" " + tr(L"pings deleted"));
    } else {
        const int count = ping_hosts_delete(false);
        if (count == 0) {
            ping_message(ui, tr(L"Select pings first OR Shift+click to Delete ALL"));
        } else {
            ping_message(ui, std::to_wstring(count) + L" " +
                                 tr(count == 1 ? L"selected ping deleted" : L"selected pings deleted"));
        }
    }
    ui.list_draw();
    ui.canvas_grow(0);
}

void reset_serve(const PingUi& ui) {
    const int request = SharedInts[PING_REQ_RESET].load();
    if (request == 0) return;
    SharedInts[PING_REQ_RESET] = 0;
    if (host_count() == 0) return;
    if (request == -1) {
        const int count = ping_hosts_reset(true);
        ping_message(ui, std::to_wstring(count) + L" " + tr(L"pings reset"));
    } else {
        const int count = ping_hosts_reset(false);
        if (count == 0) {
            ping_message(ui, tr(L"Select pings first OR Shift+click to Reset ALL"));
            for (const int control : {INPUT_PING_HOST, INPUT_PING_IP_FROM, INPUT_PING_DESCRIPTION}) {
                if (ui.control_exists(control)) ui.control_text_set(control, L"");
            }
        } else {
            ping_message(
                ui, std::to_wstring(count) + L" " + tr(count == 1 ? L"selected ping reset" : L"selected pings reset"));
        }
    }
    ui.list_draw();
}

void slow_threshold_serve(const PingUi& ui) {
    const int item = ui.slow_item();
    if (item < 0 || item == SharedInts[PING_SLOW_CHOICE].load()) return;
    SharedInts[PING_SLOW_CHOICE] = item;
    SharedInts[PING_SLOW_MS] = (item + 1) * 50;
    ping_message(
        ui, tr(L"Slow response (Yellow Bars) set to") + L" " + std::to_wstring((item + 1) * 50) + L" " + tr(L"ms"));
    ui.list_draw();
}

void select_timed_out_serve(const PingUi& ui) {
    if (SharedInts[PING_REQ_SELECT_TIMED_OUT].load() == 0) return;
    SharedInts[PING_REQ_SELECT_TIMED_OUT] = 0;
    const int count = ping_hosts_select_timed_out();
    ping_message(ui, std::to_wstring(count) + L" " + tr(L"Inactive Pings Selected"));
    ui.list_draw();
}

void sort_serve(const PingUi& ui, PingSortState& sort) {
    const int column = SharedInts[PING_REQ_SORT].load();
    if (column == 0) return;
    if (column >= 1 && column <= 7) {
        if (column == sort.last_column) ++sort.direction;
        const std::wstring head = tr(L"Sorting Column #") + std::to_wstring(column) + L" = ";
        if (sort.direction >= 2) {
            sort.direction = 0;
            sort.last_column = 0;
            ping_hosts_sort(0, false);
            ping_message(ui, head + tr(L"None"));
        } else {
            ping_hosts_sort(column, sort.direction == 1);
            sort.last_column = column;
            ping_message(ui, head + tr(sort.direction == 1 ? L"Descending" : L"Ascending"));
        }
        ui.list_draw();
    }
    SharedInts[PING_REQ_SORT] = 0;
}

void font_size_serve(const PingUi& ui) {
    const int size = SharedInts[PING_FONT_SIZE].load();
    if (size == SharedInts[PING_FONT_APPLIED].load()) return;
    SharedInts[PING_FONT_APPLIED] = size;
    ui.font_apply(size);
    ui.canvas_grow(1);
    ping_message(ui, tr(L"Font Size") + L" " + std::to_wstring(size));
    ui.list_draw();
}

// The outside programs get only texts this program made and checked: a dotted address, a DNS name.
void outside_programs_serve(const PingUi& ui) {
    if (const int row = SharedInts[PING_REQ_REMOTE_DESKTOP].load(); row != -1) {
        if (const std::optional<PSys> host = row_host(row)) {
            if (ipv4_parse(host->Addr)) ui.remote_desktop_start(L"/Public /V:" + host->Addr);
        }
        SharedInts[PING_REQ_REMOTE_DESKTOP] = -1;
    }
    if (const int row = SharedInts[PING_REQ_OPEN_NAME].load(); row != -1) {
        if (const std::optional<PSys> host = row_host(row)) {
            if (dns_name_valid(host->Host)) ui.url_open(L"http://" + host->Host);
        }
        SharedInts[PING_REQ_OPEN_NAME] = -1;
    }
    if (const int row = SharedInts[PING_REQ_OPEN_BROWSER].load(); row != -1) {
        if (const std::optional<PSys> host = row_host(row)) {
            if (ipv4_parse(host->Addr)) ui.url_open(L"http://" + host->Addr);
        }
        SharedInts[PING_REQ_OPEN_BROWSER] = -1;
    }
}

}  // namespace

void ping_message(const PingUi& ui, const std::wstring& text) {
    shared_text_set(STATUS_MESSAGE, text);
    ui.title_set(text, MESSAGE_SECONDS);
    ui.status_line_draw(text);
}

std::wstring ping_host_log_text(const PSys& host, Date now) {
    const std::wstring end = L"\r\n";
    auto field = [&end](const std::wstring& label, const std::wstring& value) {
        return L"." + right_justified(label + L": ", 19, L' ') + value + end;
    };
    std::wstring head = tr(L"Ping Log by") + L" Sotrix v" + version_text().substr(1, 8);
    if (head.size() < 37) head.resize(37, L' ');
    std::wstring text = head + date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss", now) + end;
    text += std::wstring(34, L'-') + L"[ " + PUBLISHER_ADDRESS + L" ]-- " + end;
    text += field(tr(L"IP Address"), host.Addr);
    text += field(tr(L"Hostname"), host.Host);
    text +=
        field(tr(L"Time(ms)"), std::to_wstring(host.Time) + (host.Time == -1 ? L" (" + tr(L"Timed Out") + L")" : L""));
    if (host.Best > 0 && host.Wors > 0) {
        text += field(tr(L"Range(ms)"), std::to_wstring(host.Best) + L"-" + std::to_wstring(host.Wors));
    }
    text += field(L"TOS", std::to_wstring(host.PTOS));
    text += field(L"TTL", std::to_wstring(host.PTTL));
    text += field(tr(L"Sent"), std::to_wstring(host.Sent));
    text += field(tr(L"Received"), std::to_wstring(host.Recv));
    text += field(tr(L"Lost"), std::to_wstring(host.Lost));
    // A host never pinged has lost nothing.
    const float lost = host.Sent > 0 ? static_cast<float>(host.Lost) / static_cast<float>(host.Sent) * 100.0f : 0.0f;
    wchar_t percent[32] = {};
    std::swprintf(percent, 32, L"%.4f%%", static_cast<double>(lost));
    text += field(L"% " + tr(L"Lost"), percent);
    if (host.Down > 0) text += field(tr(L"Last Down"), date_format(L"%yyyy-%mm-%dd  %hh:%ii:%ss", host.Down));
    text += right_justified(L"[ " + tr(L"Begin Data") + L" ]--", 56, L'-') + end;
    int index = 0;
    for (const PValues& sample : host.PV) {
        std::wstring line = right_justified(std::to_wstring(index++), 4, L'0');
        line += date_format(L"  %yyyy-%mm-%dd  %hh:%ii:%ss", sample.S);
        if (sample.T == SAMPLE_TIMED_OUT) {
            line += L"  " + tr(L"Timed Out");
        } else if (sample.T == SAMPLE_RESUMED) {
            line += L"  " + tr(L"Ping Resumed");
        } else if (sample.T == SAMPLE_INACTIVE) {
            line += L"  " + tr(L"Inactive");
        } else {
            line += right_justified(std::to_wstring(sample.T), 6, L' ') + L" ms";
        }
        text += line + end;
    }
    text += right_justified(L"[ " + tr(L"End Data") + L" ]--", 56, L'-') + end;
    return text;
}

void ping_requests_serve(const PingUi& ui, PingSortState& sort) {
    add_host_serve(ui);
    add_range_serve(ui);
    message_expiry_serve(ui);
    hover_serve(ui);
    select_row_serve(ui);
    row_action_serve(ui);
    delete_serve(ui);
    reset_serve(ui);
    slow_threshold_serve(ui);
    select_timed_out_serve(ui);
    sort_serve(ui, sort);
    font_size_serve(ui);
    outside_programs_serve(ui);
}
