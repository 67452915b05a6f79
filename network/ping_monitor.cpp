// The ping monitor thread: start-up, the pass of its loop (round, countdown, requests, hourly save, cell).
#include "network/ping_monitor.h"

#include <algorithm>
#include <cwchar>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/saga_store.h"
#include "core/shared_state.h"
#include "network/mac_vendors.h"
#include "network/ping_hosts.h"
#include "network/ping_store.h"
#include "runtime/leaf_lock.h"
#include "runtime/text.h"
#include "runtime/worker_loop.h"
#include "runtime/worker_timer.h"
#include "ui/ping_tab_view.h"

namespace {

LeafLock ui_lock("PingUiLock");  // of the installed table
PingUi installed_ui{};
bool ui_installed = false;

template <typename Field>
void keep_default(Field& field, Field fallback) {
    if (field == nullptr) field = fallback;
}

int hour_of(Date date) { return date_parts(date).hour; }

bool quitting() { return SharedInts[QUIT_FLAG].load() > 0; }

// After the turn of the second: on to PING_SECOND_PHASE_MS past it, by the millisecond clock's phase.
void second_phase_wait() {
    const int64_t into_second = ((millisecond_clock() - SecondPhaseMs.load()) % 1000 + 1000) % 1000;
    if (into_second < PING_SECOND_PHASE_MS) quit_event_wait(static_cast<int>(PING_SECOND_PHASE_MS - into_second));
}

void countdown(const PingUi& ui, Date now) {
    const int64_t next = SharedQuads[PING_NEXT_ROUND].load();
    if (now == SharedQuads[PING_LAST_SECOND].load() || next - now < 0) return;
    const int interval = SharedInts[PING_INTERVAL_S].load();
    if (next - now > interval) SharedQuads[PING_NEXT_ROUND] = now + interval;  // the interval was shortened
    SharedQuads[PING_LAST_SECOND] = now;
    const int64_t left = SharedQuads[PING_NEXT_ROUND].load() - now;
    if (ping_host_count() > 0 && left > 0) {
        ui.now_button_set(std::to_wstring(left));
    } else {
        ui.now_button_set(L"--");
        SharedQuads[PING_NEXT_ROUND] = now;
    }
}

void hourly_save(Date now) {
    const int hour = hour_of(now);
    if (hour == SharedQuads[PING_SAVE_HOUR].load()) return;
    SharedQuads[PING_SAVE_HOUR] = hour;
    ping_list_save(ping_store_path());
    saga_lists_save(saga_file_path());
}

void cell_update(const PingUi& ui) {
    const int up = SharedInts[PING_UP_COUNT].load();
    const int down = SharedInts[PING_DOWN_COUNT].load();
    const bool changed = up != SharedInts[PING_UP_SHOWN].load() || down != SharedInts[PING_DOWN_SHOWN].load();
    if (!changed && SharedInts[PING_FLASH_COUNT].load() <= 0) return;
    {
        std::lock_guard guard(CellDrawMutex);
        CompactCell& cell = CompactCells[CELL_PING];
        if (changed) {
            if (const std::optional<std::wstring> text = ping_cell_text(up, down)) cell.value_text = *text;
            SharedInts[PING_UP_SHOWN] = up;
            SharedInts[PING_DOWN_SHOWN] = down;
        }
        if (cell.back_color != 0) {
            cell.text_color = static_cast<int32_t>(Palette[19]);
            cell.back_color = 0;
            if (down == 0) {
                SharedInts[PING_FLASH_COUNT] = 0;
            } else if (SharedInts[PING_FLASH_COUNT].load() > 0) {
                SharedInts[PING_FLASH_COUNT] -= 1;
            }
        } else if (SharedInts[PING_FLASH_COUNT].load() > 0) {
            cell.text_color = 0;
            cell.back_color = static_cast<int32_t>(Palette[19]);
        }
    }
    ui.cell_draw();
}

}  // namespace

const PingUi& ping_ui() {
    std::lock_guard guard(ui_lock);
    return ui_installed ? installed_ui : ping_ui_default();
}

void ping_ui_install(const PingUi& ui) {
    const PingUi& base = ping_ui_default();
    PingUi merged = ui;
    keep_default(merged.status_line_draw, base.status_line_draw);
    keep_default(merged.list_draw, base.list_draw);
    keep_default(merged.canvas_grow, base.canvas_grow);
    keep_default(merged.scroll_to_end, base.scroll_to_end);
    keep_default(merged.now_button_set, base.now_button_set);
    keep_default(merged.title_set, base.title_set);
    keep_default(merged.control_exists, base.control_exists);
    keep_default(merged.control_text, base.control_text);
    keep_default(merged.control_text_set, base.control_text_set);
    keep_default(merged.slow_item, base.slow_item);
    keep_default(merged.font_apply, base.font_apply);
    keep_default(merged.clipboard_set, base.clipboard_set);
    keep_default(merged.remote_desktop_start, base.remote_desktop_start);
    keep_default(merged.url_open, base.url_open);
    keep_default(merged.cell_draw, base.cell_draw);
    keep_default(merged.copy_tab, base.copy_tab);
    keep_default(merged.layout_measure, base.layout_measure);
    keep_default(merged.data_panel_draw, base.data_panel_draw);
    std::lock_guard guard(ui_lock);
    installed_ui = merged;
    ui_installed = true;
}

void ping_monitor_start(const PingPlatform& platform, const PingUi& ui) {
    const int interval_choice = SharedInts[PING_INTERVAL_CHOICE].load();
    const std::vector<std::wstring> choices = text_split(shared_text(PING_INTERVAL_CHOICES), L',');
    if (interval_choice >= 0 && interval_choice < static_cast<int>(choices.size())) {
        const int seconds = std::max(1, static_cast<int>(std::wcstol(choices[interval_choice].c_str(), nullptr, 10)));
        SharedInts[PING_INTERVAL_S] = seconds;
    }
    const int interval = SharedInts[PING_INTERVAL_S].load();
    SharedInts[PING_TIMEOUT_MS] = interval < 3 ? interval * 1000 : 2500;
    SharedInts[PING_SLOW_MS] = (SharedInts[PING_SLOW_CHOICE].load() + 1) * 50;
    const std::wstring header = tr(std::wstring(PING_LIST_HEADER));
    shared_text_set(PING_HEADER_TEXT, header);
    SharedInts[PING_HEADER_LENGTH] = static_cast<int32_t>(header.size());
    SharedInts[PING_FONT_APPLIED] = SharedInts[PING_FONT_SIZE].load();
    ui.layout_measure();
    SharedQuads[PING_NEXT_ROUND] = date_now() + 10;  // the first round 10 s after the start

    if (platform.second_wait) platform.second_wait();
    if (!quitting()) second_phase_wait();
    if (quitting()) return;
    const Date now = date_now();
    if (ping_list_load(ping_store_path()) == 1) {
        shared_text_set(STATUS_MESSAGE, L"");
        SharedQuads[PING_MESSAGE_UNTIL] = now;
        ping_hosts_prepare(now, SharedInts[PING_SAMPLES_MAX].load());
    }
    ui.data_panel_draw(1);
    ui.status_line_draw(L"");
    ui.list_draw();
    ui.canvas_grow(0);
    if (platform.bind) platform.bind();
    std::wstring vendor_file;
    if (SharedInts[MAC_VENDORS_OFF].load() != 1) {
        std::lock_guard guard(DataFilesLock);
        vendor_file = DataFiles[DATA_FILE_MAC_VENDORS].file_name;
    }
    mac_vendor_import(vendor_file, MacVendorMap, 1);
    ui.data_panel_draw(1);
}

void ping_monitor_pass(const PingPlatform& platform, const PingUi& ui, PingSortState& sort) {
    Date now = date_now();
    if (ping_host_count() > 0 && now >= SharedQuads[PING_NEXT_ROUND].load() && lookup_queue_empty() &&
        text_trim(shared_text(PING_ADD_NAME)).empty() && SharedInts[PING_FLASH_COUNT].load() == 0) {
        ping_round_run(platform, ui, now);
    }
    if (SharedInts[QUIT_FLAG].load() > 0) return;
    now = date_now();
    countdown(ui, now);
    ping_requests_serve(ui, sort);
    hourly_save(now);
    cell_update(ui);
}

void ping_monitor_run(const PingPlatform& platform, const PingUi& ui) {
    ping_monitor_start(platform, ui);
    PingSortState sort;
    const WorkerLoop loop{.period_ms = PING_PASS_MS,
                          .quit_order = WORKER_QUIT_AT_ONCE,
                          .quit_flag = &SharedInts[QUIT_FLAG],
                          .copy_request = &SharedInts[COPY_TAB_REQUEST],
                          .copy_tab = TAB_PING};
    worker_loop_run(
        loop,
        [&](bool) {
            ping_monitor_pass(platform, ui, sort);
            return true;
        },
        [&ui](int) { ui.copy_tab(); });
    ping_probes_release();
}

void ping_monitor_thread(int64_t) { ping_monitor_run(ping_platform_default(), ping_ui()); }
