// The disk-error watcher's rounds: the scan of the System log and the alerts for the drives it blames.
#include "eventlog/disk_error_watch.h"

#include <algorithm>
#include <vector>

#include "core/event_lists.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/disk_error_decode.h"
#include "eventlog/event_log_read.h"
#include "eventlog/event_record.h"
#include "runtime/text.h"
#include "runtime/worker_loop.h"

namespace {

// Record numbers are 32-bit and may wrap: a is newer than b when it lies less than half the range ahead.
bool number_newer(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

void line_add_default(std::wstring_view text, Date date) { saga_line_add(text, date); }

struct DriveAlert {
    std::wstring drive_name, letters, device_text, volume_name;
    bool fifth = false;
};

void disk_event_handle(const EventRecordView& view, const DiskErrorHooks& hooks) {
    const Date time_generated = hooks.local_from_utc(view.time_generated);
    const std::wstring message = event_message(view.strings);
    const int disk = disk_error_disk_number(message);
    if (disk < 0) return;
    const std::wstring summary =
        view.data.empty() ? std::wstring() : disk_error_decode(view.data.data(), view.data.size(), true);

    DriveAlert alert;
    bool alerted = false;
    {
        std::lock_guard guard(DriveTableLock);
        for (std::size_t index = 1; index <= 26 && index < DriveTable.size(); ++index) {
            DriveEntry& drive = DriveTable[index];
            if (drive.drive_type < 2 || drive.drive_type > 4 || drive.device_number != disk ||
                drive.found_date >= time_generated)
                continue;
            if (drive.error_count < 5) {
                ++drive.error_count;
                if (!alerted) {
                    alerted = true;
                    alert.fifth = drive.error_count == 5;
                    alert.drive_name = drive.drive_name.str();
                    alert.letters = drive.letter.str() + drive.alias_letters.str() + drive.separator.str();
                    alert.device_text = drive.device_text.str();
                    alert.volume_name = drive.volume_name.str();
                }
            }
            // The scan reads newest first: an older event must not shorten the mark of a newer one.
            drive.error_until = std::max(drive.error_until, time_generated + DISK_ERROR_LOOKBACK_S);
        }
    }
    if (!alerted) return;

    // saga_line_add puts each line on top, so the block is written from its last line to its first.
    if (alert.fifth) hooks.line_add(tr(L"Ignoring Future Errors") + L": " + alert.drive_name, 0);
    if (!alert.device_text.empty()) hooks.line_add(tr(L"Mfg") + L": " + alert.device_text, 0);
    if (!text_trim(alert.volume_name).empty()) hooks.line_add(tr(L"Vol") + L": " + alert.volume_name, 0);
    const std::size_t split = summary.find(L'\\');
    if (split != std::wstring::npos) {
        hooks.line_add(summary.substr(split + 1), 0);
        hooks.line_add(alert.letters + L" " + summary.substr(0, split), 0);
    } else {
        hooks.line_add(alert.letters + L" " + tr(L"Unknown Error"), 0);
    }
    hooks.line_add(message, 0);
    hooks.line_add(tr(L"System Event Record") + L": " + std::to_wstring(view.record_number), 0);
    hooks.line_add(L"--", time_generated);
    SharedInts[DRIVE_RESCAN_REQUEST] = 1;
}

}  // namespace

const DiskErrorHooks& disk_error_hooks_default() {
    static const DiskErrorHooks hooks{
        .line_add = line_add_default, .utc_now = utc_seconds_now, .local_from_utc = date_from_utc};
    return hooks;
}

int disk_error_disk_number(std::wstring_view message) {
    const std::vector<std::wstring> fields = text_split(message, L'\\');
    if (fields.size() < 2 || fields[1] != L"Device") return -1;
    const std::size_t at = message.find(L"Harddisk");
    if (at == std::wstring_view::npos) return -1;
    int64_t number = -1;
    // ASCII digits only: the C runtime of Windows counts other scripts' digits (and superscripts) as digits too.
    for (std::size_t i = at + 8; i < message.size() && message[i] >= L'0' && message[i] <= L'9'; ++i) {
        number = (number < 0 ? 0 : number) * 10 + (message[i] - L'0');
        if (number > 0x7FFFFFFF) return -1;
    }
    return static_cast<int>(number);
}

void disk_error_watch_round(DiskErrorWatchState& state, const EventLogApi& api, const DiskErrorHooks& hooks,
                            int64_t uptime_s) {
    if (state.countdown > 0) {
        --state.countdown;
        return;
    }
    const int64_t now = hooks.utc_now();
    const int64_t since = now - (uptime_s > DISK_ERROR_LOOKBACK_S ? DISK_ERROR_LOOKBACK_S : uptime_s);
    const EventLogHandle log = api.open(L"System");
    if (log == nullptr) return;  // tried again next round

    uint32_t count = 0;
    uint32_t oldest = 0;
    const bool counted = api.record_count(log, count);
    const bool have_oldest = api.oldest_record(log, oldest);
    if (counted && count == 0) {
        state.emptied = state.scanned;
    } else if (counted) {
        // A clear starts the numbers again below the old oldest record, or, in a log that never wrapped and
        // so starts at 1 either way, ends them below the highest seen; a full log only moves both forwards.
        const uint32_t log_newest = oldest + count - 1;
        const bool cleared =
            state.emptied || (state.scanned && have_oldest &&
                              (number_newer(state.oldest, oldest) || number_newer(state.highest, log_newest)));
        const bool read_all = !state.scanned || cleared;
        const bool nothing_new = !read_all && have_oldest && log_newest == state.highest;
        if (!nothing_new) {
            bool first = true;
            uint32_t newest = state.highest;
            const uint32_t known = state.highest;
            event_log_read_backwards(api, log, [&](const EventRecordView& view) {
                if (!read_all && !number_newer(view.record_number, known)) return false;
                if (static_cast<int64_t>(view.time_generated) < since) return false;
                if (first || number_newer(view.record_number, newest)) newest = view.record_number;
                first = false;
                if (text_lower_ascii(wide_from_utf16(view.source)) == L"disk") disk_event_handle(view, hooks);
                return true;
            });
            if (!first)
                state.highest = newest;
            else if (read_all && have_oldest)
                state.highest = oldest + count - 1;
        }
        state.emptied = false;
        state.scanned = true;
        if (have_oldest) state.oldest = oldest;
    }
    api.close(log);
    state.countdown = DISK_ERROR_SCAN_ROUNDS;
}

void disk_error_watch_run(const EventLogApi& api, const DiskErrorHooks& hooks) {
    const WorkerLoop loop{
        .period_ms = DISK_ERROR_ROUND_MS, .quit_order = WORKER_QUIT_AT_ONCE, .quit_flag = &SharedInts[QUIT_FLAG]};
    DiskErrorWatchState state;
    bool uptime_known = false;  // the rounds before the uptime is known only wait for it
    worker_loop_run(loop, [&](bool) {
        if (!uptime_known && SharedQuads[UPTIME_S].load() == 0) return true;
        uptime_known = true;
        disk_error_watch_round(state, api, hooks, SharedQuads[UPTIME_S].load());
        return true;
    });
}

void disk_error_watch_thread(int64_t) { disk_error_watch_run(event_log_api(), disk_error_hooks_default()); }
