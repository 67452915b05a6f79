// The event loop on Windows: the wait, the dispatch, and the handlers of window events, tray clicks and the
// compact window's canvas.
#include <windows.h>

#include "app/event_loop.h"
#include "app/exit_sequence.h"
#include "app/wiring.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/window_positions.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/window/window.h"
#include "ui/compact_window.h"

namespace {

// The second of two readings counts: the first may still report a press from before.
bool shift_held_now() {
    gui_key_held(VK_SHIFT);
    return gui_key_held(VK_SHIFT);
}

void main_window_to_front() {
    window_topmost_set(WIN_MAIN, true);
    window_topmost_set(WIN_MAIN, false);
}

void compact_window_show_normal() {
    window_show(WIN_COMPACT, WINDOW_SHOW);
    window_state_set(WIN_COMPACT, WINDOW_STATE_NORMAL);
    compact_window_layout();
}

// Re-selecting the Settings tab lets its page lay itself out again after the window was hidden.
void main_window_show_settings() {
    if (!window_exists(WIN_MAIN)) return;
    window_show(WIN_MAIN, WINDOW_SHOW);
    panel_tab_select(PANEL_MAIN, TAB_SYSTEM);
    panel_tab_select(PANEL_MAIN, TAB_SETTINGS);
    main_window_to_front();
}

void positions_text_refresh() {
    if (!control_exists(TEXT_POSITIONS_VALUES)) return;
    control_text_set(TEXT_POSITIONS_VALUES, window_positions_display(window_positions_current()));
}

void on_close(int window) {
    if (window == WIN_COMPACT) {
        if (compact_close_action(SharedInts[OPT_CLOSE_TO_TRAY].load(), shift_held_now()) == CLOSE_EXIT) {
            program_exit();
        } else {
            window_show(WIN_COMPACT, WINDOW_HIDE);
        }
    } else if (window == WIN_MAIN) {
        window_show(WIN_MAIN, WINDOW_HIDE);
        main_window_close_extras();
        settings_save_if_changed();
    }
}

void on_minimize(int window) {
    if (window == WIN_COMPACT) {
        if (compact_minimize_action(SharedInts[OPT_MINIMIZE_TO_TRAY].load()) == MINIMIZE_HIDE) {
            window_show(WIN_COMPACT, WINDOW_HIDE);
        } else {
            window_state_set(WIN_COMPACT, WINDOW_STATE_MINIMIZED);
        }
    } else if (window == WIN_MAIN) {
        window_show(WIN_MAIN, WINDOW_HIDE);
    }
}

// The compact window's maximise box opens the main window; the compact window keeps its size.
void on_maximize(int window) {
    if (window != WIN_COMPACT) return;
    window_state_set(WIN_COMPACT, WINDOW_STATE_NORMAL);
    if (window_exists(WIN_MAIN)) window_show(WIN_MAIN, WINDOW_SHOW);
    compact_window_layout();
    if (window_exists(WIN_MAIN)) {
        const int tab = panel_tab_selected(PANEL_MAIN);
        if (tab == TAB_SETTINGS) {
            panel_tab_select(PANEL_MAIN, TAB_SYSTEM);
            panel_tab_select(PANEL_MAIN, TAB_SETTINGS);
        }
        // Graphs that no sampler redrew while the window was hidden show their samples now.
        graphs_refresh_now(tab);
        main_window_to_front();
    }
}

// The main window back from the taskbar (or given a new size): the graphs of its tab show their samples
// now, not at the samplers' next turn.
void on_size(int window) {
    if (window == WIN_COMPACT) {
        compact_canvas_follow_window();
    } else if (window == WIN_MAIN && window_visible(WIN_MAIN) && window_state(WIN_MAIN) != WINDOW_STATE_MINIMIZED) {
        graphs_refresh_now(panel_tab_selected(PANEL_MAIN));
    }
}

void on_move(int window) {
    if (window != WIN_COMPACT && window != WIN_MAIN) return;
    int x = 0;
    int y = 0;
    if (!window_outer_position(window, &x, &y) || !position_recordable(x, y)) return;
    SharedInts[window == WIN_COMPACT ? COMPACT_X : MAIN_X] = x;
    SharedInts[window == WIN_COMPACT ? COMPACT_Y : MAIN_Y] = y;
    positions_text_refresh();
}

void on_tray(const GuiEvent& event) {
    switch (tray_click_action(event.type, SharedInts[OPT_TRAY_SINGLE_CLICK].load())) {
        case TRAY_SHOW_COMPACT: compact_window_show_normal(); break;
        case TRAY_SHOW_SETTINGS: main_window_show_settings(); break;
        case TRAY_NOTHING: break;
    }
}

void dispatch(const GuiEvent& event) {
    switch (event.kind) {
        case EVENT_SHORTCUT:
            if (const ShortcutHandler handler = shortcut_handler()) handler(event.number, event.window);
            break;
        case EVENT_CONTROL:
            if (const ControlHandler handler = control_handler_find(event.control)) handler(event);
            break;
        case EVENT_CLOSE_WINDOW: on_close(event.window); break;
        case EVENT_MINIMIZE_WINDOW: on_minimize(event.window); break;
        case EVENT_MAXIMIZE_WINDOW: on_maximize(event.window); break;
        case EVENT_MOVE_WINDOW: on_move(event.window); break;
        case EVENT_SIZE_WINDOW: on_size(event.window); break;
        case EVENT_TRAY: on_tray(event); break;
        default: break;
    }
}

}  // namespace

void main_window_show_tab(int tab) {
    if (!window_exists(WIN_MAIN)) return;
    panel_tab_select(PANEL_MAIN, tab);
    graphs_refresh_now(tab);
    window_show(WIN_MAIN, WINDOW_SHOW);
    main_window_to_front();
}

void compact_canvas_event(const GuiEvent& event) {
    if (event.type == EVENT_TYPE_MOUSE_WHEEL) {
        const int size = SharedInts[COMPACT_FONT_SIZE].load();
        const int wanted = compact_wheel_font_size(size, event.wheel, gui_key_held(VK_CONTROL));
        if (wanted != size) {
            SharedInts[COMPACT_FONT_SIZE] = wanted;
            SharedInts[COMPACT_RELAYOUT_REQUEST] = 1;
        }
        return;
    }
    if (event.type != EVENT_TYPE_LEFT_CLICK) return;
    CompactClickFacts facts;
    facts.hit = compact_window_hit(event.x, event.y);
    {
        std::lock_guard guard(CellDrawMutex);
        for (int cell = CELL_PHYSICAL; cell <= CELL_CLOSE; ++cell) {
            facts.cell_end[cell] = CompactCells[cell].column + CompactCells[cell].width;
        }
        facts.ping_shown = !CompactCells[CELL_PING].drawn_text.empty();
    }
    facts.fixed_lines = SharedInts[COMPACT_FIXED_LINES].load();
    facts.gpu_entries = SharedInts[GPU_ENTRY_COUNT].load();
    facts.active_connections = SharedInts[ACTIVE_CONNECTIONS].load();
    facts.shift = gui_key_held(VK_SHIFT);
    facts.control = gui_key_held(VK_CONTROL);
    facts.alt = gui_key_held(VK_MENU);
    const CompactClick click = compact_click_route(facts);
    switch (click.kind) {
        case COMPACT_CLICK_TAB: main_window_show_tab(click.tab); break;
        case COMPACT_CLICK_MINIMIZE: on_minimize(WIN_COMPACT); break;
        case COMPACT_CLICK_CLOSE:
            if (compact_close_action(SharedInts[OPT_CLOSE_TO_TRAY].load(), shift_held_now()) == CLOSE_EXIT) {
                program_exit();
            } else {
                window_show(WIN_COMPACT, WINDOW_HIDE);
            }
            break;
        case COMPACT_CLICK_DRIVE_OPEN:
        case COMPACT_CLICK_DRIVE_CONSOLE:
        case COMPACT_CLICK_DRIVE_POWERSHELL: compact_drive_command(click.kind, click.drive_row); break;
        case COMPACT_CLICK_NOTHING: break;
    }
}

void event_loop_turn(int wait_ms) {
    dispatch(wait_window_event(wait_ms));
    // A log flush or a store saved on a worker only asks for the data-file panel's redraw.
    data_folder_panel_draw(0);
}

void event_loop_run() {
    for (;;) {
        event_loop_turn(-1);  // a request from a worker wakes it (data_folder_panel_refresh_request)
        if (SharedInts[EXIT_LOOP_FLAG].load() == 1) break;
    }
    program_exit();
    ExitProcess(0);  // program_exit does not return; this keeps the promise should it ever
}
