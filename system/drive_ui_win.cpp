// The drive monitor's windows, tray and lists on Windows: the compact window's cells, layout and title,
// the tray icon's tooltip and image, the beep, the drive filter's combo box and the lines it reports.
#include <windows.h>

#include "core/control_numbers.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/tray/tray.h"
#include "runtime/gui/window/window.h"
#include "system/drive_watcher_round.h"
#include "ui/compact_window.h"
#include "ui/tab_clipboard.h"

namespace {

void draw(int cell, CellDrawForce force) { cell_draw(cell, force); }
void fit() { compact_window_fit(); }
void layout() { compact_window_layout(); }
void font_apply() { compact_font_apply(); }
bool window_normal() { return window_state(WIN_COMPACT) == WINDOW_STATE_NORMAL; }

// The runtime hands a worker's title to the main thread without waiting for it.
bool title_set(const std::wstring& text) {
    window_title_set(WIN_COMPACT, text);
    return true;
}

void tooltip_set(const std::wstring& text) { tray_tooltip_set(TRAY_MAIN, text); }
void image_set(int image) { tray_image_set(TRAY_MAIN, image); }
void beep() { Beep(1000, 55); }

// Each item operation waits for the main thread: the caller holds no lock here.
void filter_items_set(const DriveFilterItems& filter) {
    combo_box_clear(COMBO_DRIVE_FILTER);
    for (const auto& item : filter.items) combo_box_item_add(COMBO_DRIVE_FILTER, -1, item);
    combo_box_select(COMBO_DRIVE_FILTER, filter.selected);
}

}  // namespace

const DriveUi& drive_ui_default() {
    static const DriveUi ui{.cell_draw = draw,
                            .compact_window_fit = fit,
                            .compact_window_layout = layout,
                            .compact_font_apply = font_apply,
                            .compact_window_normal = window_normal,
                            .compact_title_set = title_set,
                            .tray_tooltip_set = tooltip_set,
                            .tray_image_set = image_set,
                            .beep = beep,
                            .filter_items_set = filter_items_set,
                            .clipboard_copy = clipboard_copy_tab,
                            .notes_post = drive_notes_post};
    return ui;
}
