// The keyboard shortcuts on Windows: registration and what each event does to the shared state, the
// windows and the graphs.
#include <windows.h>

#include <mutex>

#include "app/shortcuts.h"
#include "app/wiring.h"
#include "core/color_lists.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/shortcut_keys.h"
#include "core/system_query.h"
#include "runtime/date.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/shortcut/shortcut.h"
#include "runtime/gui/window/window.h"
#include "runtime/text.h"
#include "system/system_monitor.h"
#include "ui/events_tab_events.h"
#include "ui/graph_descriptor.h"
#include "ui/tab_clipboard.h"

namespace {

ShortcutHooks hooks_in_use;  // set at start-up, before the loop runs; main thread only

int selected_tab() { return window_exists(WIN_MAIN) ? panel_tab_selected(PANEL_MAIN) : -1; }

void gpu_view_refresh() {
    if (SharedInts[GPU_ENTRY_COUNT].load() == 0) {
        if (hooks_in_use.gpu_entries_assign) hooks_in_use.gpu_entries_assign();
    } else {
        SharedInts[GPU_VIEW_REFRESH_REQUEST] = 1;
    }
}

// Ctrl+C: the thread that owns the tab copies it, asked through COPY_TAB_REQUEST. The Graphics tab without GPU
// entries has no GPU sampler to serve the request; its lists are then written on this thread alone (F5 and F6
// rebuild them here), so it is copied here.
void tab_copy() {
    shared_text_set(CLIPBOARD_TEXT, L"");
    const int tab = selected_tab();
    if (tab == TAB_GRAPHICS && SharedInts[GPU_ENTRY_COUNT].load() == 0) {
        clipboard_copy_tab(TAB_GRAPHICS);
        return;
    }
    SharedInts[COPY_TAB_REQUEST].store(tab, std::memory_order_release);
}

void disk_errors_clear() {
    int cleared = 0;
    for (int drive = 1; drive <= 26; ++drive) {
        std::wstring name;
        {
            std::lock_guard guard(DriveTableLock);
            if (DriveTable[drive].error_count == 0) continue;
            DriveTable[drive].error_count = 0;
            name = DriveTable[drive].drive_name.str();
        }
        ++cleared;
        saga_line_add(name + L" " + tr(L"Errors Cleared"), 0);
    }
    if (cleared == 0) return;
    saga_line_add(L"--", 0);
    SharedInts[DRIVE_RESCAN_REQUEST] = 1;
}

void ping_now() {
    bool any = false;
    {
        std::lock_guard guard(PingListMutex);
        any = !PingHostList.empty();
    }
    if (any) SharedQuads[PING_NEXT_ROUND] = date_now();
}

void ping_sites() {
    SharedInts[PING_MODE] = 0;
    if (hooks_in_use.ping_toolbar_build) hooks_in_use.ping_toolbar_build();
    if (hooks_in_use.host_lookup_start) hooks_in_use.host_lookup_start(ping_site_queue());
}

void ping_enter() {
    if (control_exists(INPUT_PING_HOST)) {
        const std::wstring text = control_text(INPUT_PING_HOST);
        if (text.empty()) return;
        if (hooks_in_use.host_lookup_start) hooks_in_use.host_lookup_start(ping_host_from_input(text));
    } else if (hooks_in_use.ping_address_enter) {
        hooks_in_use.ping_address_enter();
    }
}

// Return in the search field does what the Search button does.
void event_search() {
    if (!control_exists(INPUT_EVENT_SEARCH)) return;
    EventsControlInput input;
    input.event.kind = EVENT_CONTROL;
    input.event.control = BUTTON_EVENT_SEARCH;
    input.field_text = control_text(INPUT_EVENT_SEARCH);
    events_control_event(input);
}

// The fixed graphs from 301 on, as far as their default colours reach.
template <typename Visit>
void fixed_graphs_visit(Visit visit) {
    for (int graph = GRAPH_PHYSICAL_MEMORY; graph <= FIXED_GRAPH_LAST && SharedInts[graph].load() > 0; ++graph)
        visit(graph);
}

void graphs_smooth() {
    fixed_graphs_visit([](int graph) {
        graph_set_attribute(graph, GRAPH_ATTR_AVERAGING, graph_get_attribute(graph, GRAPH_ATTR_AVERAGING) == 0 ? 1 : 0);
    });
}

void graphs_invert() {
    const auto invert = [](int graph) {
        for (int attribute = GRAPH_ATTR_BACK_COLOR; attribute <= GRAPH_ATTR_PLOT_COLOR; ++attribute) {
            graph_set_attribute(graph, attribute,
                                color_inverted(static_cast<int32_t>(graph_get_attribute(graph, attribute))));
        }
    };
    fixed_graphs_visit(invert);
    const int last = SharedInts[CORE_GRAPH_LAST].load();
    for (int core = 0; core <= last && core < static_cast<int>(CpuCoreTable.size()); ++core) {
        invert(CpuCoreTable[core].graph);
    }
    // The settings keep the colours the user chose, not their complements.
    graph_colors_inverted_set(!graph_colors_inverted());
}

void tab_step(int step) {
    const int tab = selected_tab();
    if (tab < 0) return;
    const int next = tab_stepped(tab, step);
    panel_tab_select(PANEL_MAIN, next);
    graphs_refresh_now(next);
}

void compact_move_by(int event) {
    const CompactMove move = compact_move(event, SharedInts[COMPACT_X].load(), SharedInts[COMPACT_Y].load(),
                                          SharedInts[WORKAREA_WIDTH].load() - SharedInts[COMPACT_WIDTH].load(),
                                          SharedInts[WORKAREA_HEIGHT].load() - SharedInts[COMPACT_HEIGHT].load());
    if (move.desktop_reread) read_desktop_metrics();
    if (!move.move) return;
    SharedInts[COMPACT_X] = move.x;
    SharedInts[COMPACT_Y] = move.y;
    int width = 0;
    int height = 0;
    if (!window_inner_size(WIN_COMPACT, &width, &height)) return;
    window_move(WIN_COMPACT, move.x, move.y, width, height);
}

void compact_font(FontStep step) {
    const int size = SharedInts[COMPACT_FONT_SIZE].load();
    const int wanted = compact_font_stepped(size, step);
    if (wanted == size) return;
    SharedInts[COMPACT_FONT_SIZE] = wanted;
    SharedInts[COMPACT_RELAYOUT_REQUEST] = 1;
}

void list_font(SharedIntIndex element, FontStep step) {
    SharedInts[element] = list_font_stepped(SharedInts[element].load(), step);
}

void shell_open(std::wstring_view target) {
    if (hooks_in_use.shell_open) hooks_in_use.shell_open(target);
}

std::wstring settings_folder() {
    std::lock_guard guard(DataFilesLock);
    return DataFiles[1].folder;
}

}  // namespace

void shortcut_hooks_set(const ShortcutHooks& hooks) { hooks_in_use = hooks; }

void shortcuts_register() {
    for (const ShortcutKey& key : shortcut_keys()) shortcut_add(key.window, key.code, key.event);
}

void shortcut_event(int shortcut, int window) {
    const ShortcutDecision decision = shortcut_decide(shortcut, window, selected_tab());
    switch (decision.action) {
        case SHORTCUT_NOTHING: break;
        case SHORTCUT_DRIVES_AND_NETWORKS_RESCAN:
            SharedInts[DRIVE_RESCAN_REQUEST] = 1;
            SharedInts[NET_RESCAN_REQUEST] = 1;
            break;
        case SHORTCUT_DRIVES_FULL_CHECK:
            SharedInts[DRIVE_RESCAN_REQUEST] = 1;
            SharedInts[DRIVE_CHANGES_RESET_REQUEST] = 1;
            break;
        case SHORTCUT_SYSTEM_SUMMARY: system_summary_request(); break;
        case SHORTCUT_MEMORY_RECORDS_RESET: SharedInts[MEMORY_RECORDS_RESET_REQUEST] = 1; break;
        case SHORTCUT_GPU_VIEW_ROWS_TOGGLE:
            SharedInts[GPU_VIEW_ALL_ROWS] = SharedInts[GPU_VIEW_ALL_ROWS].load() == 0 ? 1 : 0;
            gpu_view_refresh();
            break;
        case SHORTCUT_GPU_VIEW_REFRESH: gpu_view_refresh(); break;
        case SHORTCUT_DRIVE_RESCAN: SharedInts[DRIVE_RESCAN_REQUEST] = 1; break;
        case SHORTCUT_DISK_ERRORS_CLEAR: disk_errors_clear(); break;
        case SHORTCUT_NET_RESCAN: SharedInts[NET_RESCAN_REQUEST] = 1; break;
        case SHORTCUT_IP_LOOKUP:
            SharedInts[NET_RESCAN_REQUEST] = 1;
            SharedInts[IP_LOOKUP_REQUEST] = 1;
            break;
        case SHORTCUT_PROXY_SWITCH:
            if (hooks_in_use.proxy_switch) hooks_in_use.proxy_switch();
            break;
        case SHORTCUT_PING_NOW: ping_now(); break;
        case SHORTCUT_PING_SITES: ping_sites(); break;
        case SHORTCUT_EVENTLOG_RELOAD: SharedInts[EVENTLOG_RELOAD_STATE] = 1; break;
        case SHORTCUT_EVENTLOG_REFILL: SharedInts[EVENTLOG_REFILL_REQUEST] = 1; break;
        case SHORTCUT_TEMP_TOOL_RETRY:
            // Only the sampler changes the tool's state: it looks again at its next step unless connected.
            temp_tool_recheck_request();
            data_folder_panel_draw(0);
            break;
        case SHORTCUT_SETTINGS_FOLDER_OPEN: shell_open(settings_folder()); break;
        case SHORTCUT_TEMP_TOOL_PAGE_OPEN: shell_open(TEMP_TOOL_PAGE); break;
        case SHORTCUT_CLIPBOARD_CLEAR: shared_text_set(CLIPBOARD_TEXT, L""); break;
        case SHORTCUT_TAB_COPY: tab_copy(); break;
        case SHORTCUT_PING_COPY_TABBED:
            shared_text_set(CLIPBOARD_TEXT, L"");
            SharedInts[COPY_TAB_DELIMITED] = 1;
            SharedInts[COPY_TAB_REQUEST].store(TAB_PING, std::memory_order_release);
            break;
        case SHORTCUT_GRAPHS_SMOOTH: graphs_smooth(); break;
        case SHORTCUT_GRAPHS_INVERT: graphs_invert(); break;
        case SHORTCUT_TAB_STEP: tab_step(decision.step); break;
        case SHORTCUT_COMPACT_MOVE: compact_move_by(decision.step); break;
        case SHORTCUT_PING_ENTER: ping_enter(); break;
        case SHORTCUT_EVENT_SEARCH: event_search(); break;
        case SHORTCUT_COMPACT_FONT: compact_font(static_cast<FontStep>(decision.step)); break;
        case SHORTCUT_PING_FIND:
            if (control_exists(INPUT_PING_HOST)) {
                control_focus(INPUT_PING_HOST);
            } else if (hooks_in_use.ping_address_focus) {
                hooks_in_use.ping_address_focus();
            }
            break;
        case SHORTCUT_EVENT_FIND:
            if (control_exists(INPUT_EVENT_SEARCH)) control_focus(INPUT_EVENT_SEARCH);
            break;
        case SHORTCUT_PING_LIST_FONT: list_font(PING_FONT_SIZE, static_cast<FontStep>(decision.step)); break;
        case SHORTCUT_EVENT_LIST_FONT: list_font(EVENTLOG_FONT_SIZE, static_cast<FontStep>(decision.step)); break;
    }
}
