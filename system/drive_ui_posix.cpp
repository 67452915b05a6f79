// The native build has no windows or tray: the drive monitor only writes its lists.
#include "system/drive_watcher_round.h"

namespace {

void no_draw(int, CellDrawForce) {}
void nothing() {}
bool normal() { return true; }
bool title(const std::wstring&) { return true; }
void tooltip(const std::wstring&) {}
void image(int) {}
void items(const DriveFilterItems&) {}

}  // namespace

const DriveUi& drive_ui_default() {
    static const DriveUi ui{.cell_draw = no_draw,
                            .compact_window_fit = nothing,
                            .compact_window_layout = nothing,
                            .compact_font_apply = nothing,
                            .compact_window_normal = normal,
                            .compact_title_set = title,
                            .tray_tooltip_set = tooltip,
                            .tray_image_set = image,
                            .beep = nothing,
                            .filter_items_set = items,
                            .clipboard_copy = nullptr,
                            .notes_post = drive_notes_post};
    return ui;
}
