// The native build has no windows or tray: the drive monitor only writes its lists.
#include "system/drive_watcher_round.h"

namespace {

void no_draw(int, int) {}
void nothing() {}
bool normal() { return true; }
bool title(const std::wstring&) { return true; }
void tooltip(const std::wstring&) {}
void image(int) {}
void items(const DriveFilterItems&) {}

}  // namespace

const DriveUi& drive_ui_default() {
    static const DriveUi ui{no_draw, nothing, nothing, nothing, normal,  title,
                            tooltip, image,   nothing, items,   nullptr, drive_notes_post};
    return ui;
}
