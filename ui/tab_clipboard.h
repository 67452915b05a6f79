// The clipboard copy of a tab: the data a tab shows, copied out, the text built from it, and the copy itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// ---- What a copy reads ----

// A list as the copy reads it: the column titles of its view and its rows (columns separated by "\n").
struct ListTable {
    std::vector<std::wstring> titles;
    std::vector<std::wstring> rows;
};

// The System tab: the summary and the read-outs of the battery and idle cells as last drawn.
struct SystemCopyFacts {
    std::wstring summary;  // the summary lines, each ended by "\r\n"
    std::wstring battery_drawn;
    std::wstring battery_status;       // BATTERY_STATUS_TEXT
    int64_t battery_remaining_s = -1;  // BATTERY_REMAINING_S; -1 unknown
    int32_t graph_column_width = 0;    // GRAPH_COLUMN_WIDTH
    int64_t uptime_s = 0;
    std::wstring idle_drawn;
    std::wstring idle_history;  // IDLE_HISTORY_TEXT
};

// The fields of one ping host that its line shows (a PSys without its samples).
struct PingCopyRow {
    std::wstring Addr;
    std::wstring Host;
    int32_t Actv = 0;
    int32_t Sent = 0;
    int32_t Recv = 0;
    int32_t Lost = 0;
    int32_t Time = 0;
    int32_t PTTL = 0;
    int32_t PTOS = 0;
};

// Everything one copy reads, taken before the text is built. `lists` holds the tab's lists in the order of
// tab_copy_lists().
struct TabCopyData {
    SystemCopyFacts system;
    std::vector<ListTable> lists;
    std::vector<PingCopyRow> hosts;
    bool delimited = false;  // the Ping tab as tab-delimited text
};

// The lists a tab's copy reads, in the order the text shows them; none for the Ping tab (its hosts) and for
// the tabs that are not copied.
std::vector<int> tab_copy_lists(int tab);

// ---- The texts ----

// The text of the tab (TAB_SYSTEM to TAB_EVENTS) from the data copied out of it; the empty text for any other
// number. Lines end with "\r\n".
std::wstring tab_clipboard_text(int tab, const TabCopyData& data);

// A table: the title line, then one line per row; the columns each followed by a blank, trailing blanks cut.
std::wstring clipboard_table_text(const ListTable& table);

// The Ping tab: a header, a dash line and one line per host, in fixed columns (40, 5, 5, 5, 7, 7, 7) or
// tab-delimited. A Lost % with no echo sent is "-".
std::wstring clipboard_ping_text(const std::vector<PingCopyRow>& hosts, bool delimited);

// The number of "\r\n" in the text.
int32_t clipboard_line_count(const std::wstring& text);

// ---- The copy ----

// What the copy asks of the windowing side; natively the tests supply their own.
struct TabClipboardPlatform {
    // The column titles of a list view (answered by the main thread on Windows).
    std::vector<std::wstring> (*column_titles)(int list) = nullptr;
    // Replaces the clipboard's content with the text as Unicode text. Never called with the empty text.
    void (*clipboard_put)(const std::wstring& text) = nullptr;
};

// What the copy takes from the monitors above this layer; a missing one leaves its part out.
struct TabClipboardSources {
    std::wstring (*system_summary)() = nullptr;                         // the System tab's summary lines
    void (*ping_status_line_draw)(const std::wstring& text) = nullptr;  // the Ping tab's status line
};
void tab_clipboard_sources_set(const TabClipboardSources& sources);

// The progress counter the title shows while a copy runs; the line count of the text at its end.
extern std::atomic<int32_t> ClipboardLineCount;

// Copies the tab to the clipboard on the calling thread, the thread that owns the tab (system sampler, drive
// watcher, adapter thread, ping monitor, event page thread, GPU sampler), and sets COPY_TAB_REQUEST back to -1.
// The tab is the request the caller saw; the Ping tab is copied tab-delimited when COPY_TAB_DELIMITED is 1.
// A request while another copy runs is dropped (that copy sets the request back to -1 at its end, and a call
// meanwhile returns at once). An empty text leaves the clipboard as it is. The data is copied out first, each
// list under its own lock; no program lock is held while a view is asked for its columns or the clipboard is
// written. A progress thread (CLIPBOARD_THREAD) shows the count in the title and the total at the end; the
// copy returns once that thread has ended.
void tab_clipboard_copy_using(int tab, const TabClipboardPlatform& platform);

// The same with the program's list views and the system clipboard. Windows builds only (tab_clipboard_win.cpp).
void clipboard_copy_tab(int tab);
