// The clipboard copy of a tab: copying the tab's data out, building its text, the progress title.
#include "ui/tab_clipboard.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "core/control_numbers.h"
#include "core/format_number.h"
#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/list_view/list_row_columns.h"
#include "runtime/list_model.h"
#include "runtime/text.h"
#include "runtime/threads.h"
#include "ui/ping_tab_view.h"
#include "ui/status_title.h"

std::atomic<int32_t> ClipboardLineCount{0};

namespace {

constexpr int PROGRESS_STEP_MS = 250;
constexpr int PROGRESS_END_MS = 5000;  // the progress thread only writes titles, which never wait
constexpr int PROCESSOR_COLUMNS = 21;  // columns 0 to 20, whatever the list has
constexpr int PING_ADDRESS_WIDTH = 40;
constexpr int PING_NUMBER_WIDTH = 5;
constexpr int PING_COUNT_WIDTH = 7;
constexpr std::wstring_view PING_HEADER = PING_LIST_HEADER;

TabClipboardSources sources;

// One copy at a time, program-wide: a request that comes while one runs is dropped.
std::atomic<bool> copy_running{false};

// The copy tells its progress thread that it is done.
std::mutex progress_lock;
std::condition_variable progress_wake;
bool copy_done = false;   // guarded by progress_lock
bool copy_saved = false;  // guarded by progress_lock: the text went to the clipboard

std::wstring trim_right(std::wstring_view text) {
    const size_t end = text.find_last_not_of(L' ');
    return std::wstring(end == std::wstring_view::npos ? std::wstring_view() : text.substr(0, end + 1));
}

std::wstring trim_left(std::wstring_view text) {
    const size_t start = text.find_first_not_of(L' ');
    return std::wstring(start == std::wstring_view::npos ? std::wstring_view() : text.substr(start));
}

// An item's text: the first column of its row.
std::wstring item_text(const std::wstring& row) { return std::wstring(list_row_column(row, 0)); }

const ListTable& list_at(const TabCopyData& data, size_t index) {
    static const ListTable none;
    return index < data.lists.size() ? data.lists[index] : none;
}

void items_append(std::wstring& text, const ListTable& list, size_t first, bool cut_trailing_blanks) {
    for (size_t i = first; i < list.rows.size(); ++i) {
        text += cut_trailing_blanks ? trim_right(item_text(list.rows[i])) : item_text(list.rows[i]);
        text += L"\r\n";
        ClipboardLineCount.store(static_cast<int32_t>(i), std::memory_order_relaxed);
    }
}

std::wstring system_text(const TabCopyData& data) {
    const SystemCopyFacts& facts = data.system;
    std::wstring text = facts.summary + L"\r\n";
    text += tr(L"Battery") + L": " + trim_left(facts.battery_drawn) + facts.battery_status;
    if (facts.battery_remaining_s > -1) {
        text += L", " + format_duration_dhm(facts.battery_remaining_s);
        if (facts.graph_column_width > 600) text += L" " + tr(L"remaining");
    }
    text += L"\r\n";
    text += tr(L"Uptime") + L": " + format_duration(facts.uptime_s) + L"\r\n";
    std::wstring idle = trim_right(trim_left(facts.idle_drawn));
    for (wchar_t& c : idle)
        if (c == L' ') c = L'+';
    text += tr(L"Idle") + L": " + idle + L", " + facts.idle_history + L"\r\n\r\n";
    items_append(text, list_at(data, 0), 0, false);
    return text;
}

// "title = value" for every titled column of the list's first row.
void processor_lines_append(std::wstring& text, const ListTable& list) {
    const std::wstring first_row = list.rows.empty() ? std::wstring() : list.rows.front();
    for (int column = 0; column < PROCESSOR_COLUMNS; ++column) {
        if (static_cast<size_t>(column) >= list.titles.size() || list.titles[column].empty()) continue;
        text += list.titles[column] + L" = " + std::wstring(list_row_column(first_row, column)) + L"\r\n";
        ClipboardLineCount.store(column, std::memory_order_relaxed);
    }
}

std::wstring left_justify(std::wstring_view text, int width) {
    std::wstring field(text.substr(0, static_cast<size_t>(width)));
    field.resize(static_cast<size_t>(width), L' ');
    return field;
}

// Lost x 100 / Sent with one decimal; "-" while nothing was sent.
std::wstring lost_percent(const PingCopyRow& host) {
    if (host.Sent <= 0) return L"-";
    return format_fixed(static_cast<float>(static_cast<double>(host.Lost) * 100.0 / host.Sent), 1);
}

std::wstring ping_fixed_line(const PingCopyRow& host) {
    std::wstring address = host.Addr;
    if (!text_trim(host.Host).empty()) address += L" (" + host.Host + L")";
    std::wstring line = left_justify(address, PING_ADDRESS_WIDTH);
    if (host.Actv == 0) {
        line += right_justify(L"-- " + tr(L"Paused") + L" --", 3 * PING_NUMBER_WIDTH);
    } else if (host.Time == -1 && host.PTTL == 0 && host.PTOS == 0) {
        line += right_justify(L"-- " + tr(L" Down ") + L" --", 3 * PING_NUMBER_WIDTH);
    } else {
        for (int32_t number : {host.Time, host.PTTL, host.PTOS})
            line += right_align_number_or_text(number, PING_NUMBER_WIDTH, L"-");
    }
    line += right_align_number_or_text(host.Recv, PING_COUNT_WIDTH, L"-");
    if (host.Lost != 0) {
        line += right_justify(std::to_wstring(host.Lost), PING_COUNT_WIDTH);
        const std::wstring percent = lost_percent(host);
        line += right_justify(host.Sent <= 0 ? percent : percent + L"%", PING_COUNT_WIDTH);
    } else {
        line += right_justify(L"-      -", 2 * PING_COUNT_WIDTH);
    }
    return line + L"\r\n";
}

std::wstring ping_delimited_line(const PingCopyRow& host) {
    std::wstring line = host.Addr + L"\t" + host.Host;
    for (int32_t number : {host.Time, host.PTTL, host.PTOS, host.Recv, host.Lost})
        line += L"\t" + std::to_wstring(number);
    return line + L"\t" + lost_percent(host) + L"\r\n";
}

// The header's column names: the address and host names around the first "(" and ")", then each word after
// it. Word by word rather than by the English character positions, so a translated header whose columns sit
// elsewhere splits the same way.
std::wstring ping_delimited_header(std::wstring_view header) {
    std::vector<std::wstring> names;
    size_t rest = 0;
    const size_t open = header.find(L'(');
    const size_t close = open == std::wstring_view::npos ? open : header.find(L')', open);
    if (close != std::wstring_view::npos) {
        names.push_back(text_trim(header.substr(0, open)));
        names.push_back(text_trim(header.substr(open + 1, close - open - 1)));
        rest = close + 1;
    }
    while (rest < header.size()) {
        const size_t start = header.find_first_not_of(L' ', rest);
        if (start == std::wstring_view::npos) break;
        const size_t end = std::min(header.find(L' ', start), header.size());
        names.emplace_back(header.substr(start, end - start));
        rest = end;
    }
    std::wstring line;
    for (size_t i = 0; i < names.size(); ++i) line += (i ? L"\t" : L"") + names[i];
    return line + L"\r\n";
}

// The ping list's fields, copied under the list's lock; the list's cursor is not touched.
std::vector<PingCopyRow> ping_rows_take() {
    std::vector<PingCopyRow> hosts;
    std::lock_guard clipboard(ClipboardMutex);
    std::lock_guard list(PingListMutex);
    hosts.reserve(PingHostList.size());
    for (const PSys& host : PingHostList)
        hosts.push_back(
            {host.Addr, host.Host, host.Actv, host.Sent, host.Recv, host.Lost, host.Time, host.PTTL, host.PTOS});
    return hosts;
}

SystemCopyFacts system_facts_take() {
    SystemCopyFacts facts;
    if (sources.system_summary) facts.summary = sources.system_summary();
    {
        // The drawn texts change under the cells' lock, which is never held with another one.
        std::lock_guard cells(CellDrawMutex);
        facts.battery_drawn = CompactCells[CELL_BATTERY].drawn_text.str();
        facts.idle_drawn = CompactCells[CELL_IDLE].drawn_text.str();
    }
    facts.battery_status = shared_text(BATTERY_STATUS_TEXT);
    facts.battery_remaining_s = SharedQuads[BATTERY_REMAINING_S].load();
    facts.graph_column_width = SharedInts[GRAPH_COLUMN_WIDTH].load();
    facts.uptime_s = SharedQuads[UPTIME_S].load();
    facts.idle_history = shared_text(IDLE_HISTORY_TEXT);
    return facts;
}

// Everything the tab's text needs. The rows come out under their locks, and for the Graphics tab under the
// GPU locks, which the GPU samplers hold while they rebuild the lists; the column titles are asked of the
// views only after every lock is released, because the main thread answers them and may itself be waiting
// for one of those locks (a pointer over the GPU strip takes HistoryMutex).
TabCopyData tab_copy_data_take(int tab, bool delimited, const TabClipboardPlatform& platform) {
    TabCopyData data;
    data.delimited = delimited;
    if (tab == TAB_SYSTEM) data.system = system_facts_take();
    if (tab == TAB_PING) data.hosts = ping_rows_take();
    const std::vector<int> lists = tab_copy_lists(tab);
    data.lists.resize(lists.size());
    if (tab == TAB_GRAPHICS) {
        std::lock_guard clipboard(ClipboardMutex);
        std::lock_guard history(HistoryMutex);
        std::lock_guard info(GpuInfoMutex);
        for (size_t i = 0; i < lists.size(); ++i) data.lists[i].rows = list_rows_copy(lists[i]);
    } else {
        for (size_t i = 0; i < lists.size(); ++i) data.lists[i].rows = list_rows_copy(lists[i]);
    }
    if (platform.column_titles)
        for (size_t i = 0; i < lists.size(); ++i) data.lists[i].titles = platform.column_titles(lists[i]);
    return data;
}

void ping_status_show(bool delimited) {
    std::wstring message = tr(L"Saved to Clipboard");
    if (delimited) message += L" (" + tr(L"Tab Delimited") + L")";
    shared_text_set(STATUS_MESSAGE, message);
    status_title_set(message, STATUS_SECONDS);
    if (sources.ping_status_line_draw) sources.ping_status_line_draw(message);
}

// Shows the count while the copy runs and the total when it is done. Argument: 1 for a tab-delimited copy.
void clipboard_progress_thread(int64_t delimited) {
    const std::wstring saving = tr(L"Saving to Clipboard");
    status_title_set(saving, STATUS_SECONDS);
    std::unique_lock hold(progress_lock);
    while (!progress_wake.wait_for(hold, std::chrono::milliseconds(PROGRESS_STEP_MS), [] { return copy_done; })) {
        const int32_t count = ClipboardLineCount.load(std::memory_order_relaxed);
        if (count <= 0) continue;
        hold.unlock();
        status_title_set(saving + L": " + std::to_wstring(count), STATUS_SECONDS);
        hold.lock();
    }
    const bool saved = copy_saved;
    hold.unlock();
    if (!saved) return;
    std::wstring done =
        tr(L"Saved to Clipboard") + L": " + std::to_wstring(ClipboardLineCount.load()) + L" " + tr(L"Lines");
    if (delimited == 1) done += L" (" + tr(L"Tab Delimited") + L")";
    status_title_set(done, STATUS_SECONDS);
}

void progress_end(bool saved) {
    {
        std::lock_guard hold(progress_lock);
        copy_done = true;
        copy_saved = saved;
    }
    progress_wake.notify_all();
}

}  // namespace

std::vector<int> tab_copy_lists(int tab) {
    switch (tab) {
        case TAB_SYSTEM: return {LIST_SYSTEM_EVENTS};
        case TAB_PROCESSORS: return {LIST_CPU_BASE_SPEED, LIST_CPU_SPEED};
        case TAB_GRAPHICS: return {LIST_GPU_INFO, LIST_GPU_ID};
        case TAB_STORAGE: return {LIST_STORAGE_MONITOR, LIST_DRIVE_ID};
        case TAB_NETWORKS: return {LIST_NETWORK_ADAPTERS, LIST_NETWORK_EVENTS, LIST_NETWORK_ID};
        case TAB_EVENTS: return {LIST_EVENT_DETAILS};
        default: return {};
    }
}

std::wstring clipboard_table_text(const ListTable& table) {
    auto line = [&table](auto column_text) {
        std::wstring text;
        for (size_t column = 0; column < table.titles.size(); ++column) text += column_text(column) + L" ";
        return trim_right(text) + L"\r\n";
    };
    std::wstring text = line([&table](size_t column) { return table.titles[column]; });
    for (const std::wstring& row : table.rows)
        text += line([&row](size_t column) { return std::wstring(list_row_column(row, static_cast<int>(column))); });
    return text;
}

std::wstring clipboard_ping_text(const std::vector<PingCopyRow>& hosts, bool delimited) {
    const std::wstring header = tr(PING_HEADER);
    std::wstring text;
    if (delimited) {
        text = ping_delimited_header(header);
        for (int i = 0; i < 8; ++i) text += L"----------\t";
        text += L"\r\n";
    } else {
        text = header + L"\r\n" + std::wstring(header.size(), L'-') + L"\r\n";
    }
    ClipboardLineCount.store(0, std::memory_order_relaxed);
    for (const PingCopyRow& host : hosts) {
        text += delimited ? ping_delimited_line(host) : ping_fixed_line(host);
        ClipboardLineCount.fetch_add(1, std::memory_order_relaxed);
    }
    return text;
}

std::wstring tab_clipboard_text(int tab, const TabCopyData& data) {
    std::wstring text;
    switch (tab) {
        case TAB_SYSTEM: return system_text(data);
        case TAB_PROCESSORS:
            processor_lines_append(text, list_at(data, 0));
            processor_lines_append(text, list_at(data, 1));
            return text;
        case TAB_GRAPHICS:
            items_append(text, list_at(data, 0), 1, false);
            if (!list_at(data, 1).rows.empty()) text += clipboard_table_text(list_at(data, 1));
            return text;
        case TAB_STORAGE:
            items_append(text, list_at(data, 0), 1, false);
            if (!list_at(data, 1).rows.empty()) text += L"\r\n" + clipboard_table_text(list_at(data, 1));
            return text;
        case TAB_NETWORKS:
            items_append(text, list_at(data, 0), 1, true);
            text += L"\r\n";
            items_append(text, list_at(data, 1), 0, false);
            if (!list_at(data, 2).rows.empty()) text += L"\r\n" + clipboard_table_text(list_at(data, 2));
            return text;
        case TAB_PING: return clipboard_ping_text(data.hosts, data.delimited);
        case TAB_EVENTS: items_append(text, list_at(data, 0), 0, true); return text;
        default: return text;
    }
}

int32_t clipboard_line_count(const std::wstring& text) {
    int32_t count = 0;
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++count;
    return count;
}

void tab_clipboard_sources_set(const TabClipboardSources& given) { sources = given; }

void tab_clipboard_copy_using(int tab, const TabClipboardPlatform& platform) {
    if (copy_running.exchange(true)) {
        // Another thread's copy runs: this request is dropped, unless a newer one replaced it already.
        int seen = tab;
        SharedInts[COPY_TAB_REQUEST].compare_exchange_strong(seen, -1);
        return;
    }
    const bool delimited = tab == TAB_PING && SharedInts[COPY_TAB_DELIMITED].load() == 1;
    ClipboardLineCount.store(0);
    {
        std::lock_guard hold(progress_lock);
        copy_done = false;
        copy_saved = false;
    }
    const int64_t progress = thread_create(clipboard_progress_thread, delimited ? 1 : 0);
    SharedQuads[CLIPBOARD_THREAD] = progress;

    const std::wstring text = tab_clipboard_text(tab, tab_copy_data_take(tab, delimited, platform));
    ClipboardLineCount.store(clipboard_line_count(text));
    const bool saved = !text.empty() && platform.clipboard_put != nullptr;
    if (saved) platform.clipboard_put(text);
    if (tab == TAB_PING) ping_status_show(delimited);

    progress_end(saved);
    thread_wait(progress, PROGRESS_END_MS);
    SharedQuads[CLIPBOARD_THREAD] = 0;
    // Requests that came meanwhile end here with this one; the flag goes last so that none slips in between.
    SharedInts[COPY_TAB_DELIMITED] = 0;
    SharedInts[COPY_TAB_REQUEST] = -1;
    copy_running.store(false);
}
