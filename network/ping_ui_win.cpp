// The ping monitor's actions on the program's windows: the title, the Ping tab's controls, the ping cell,
// the clipboard and the outside programs. The drawing of the list and its status line comes from the Ping tab,
// which the wiring installs (ping_ui_install).
#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <cstring>

#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/shared_tables.h"
#include "network/ping_monitor.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "ui/compact_window.h"
#include "ui/status_title.h"

namespace {

void nothing() {}
void nothing_text(std::wstring_view) {}
void nothing_int(int) {}

void now_button_set(const std::wstring& text) {
    if (control_exists(BUTTON_PING_NOW)) control_text_set(BUTTON_PING_NOW, text);
}

void title_set(const std::wstring& text, int seconds) { status_title_set(text, seconds); }

bool exists(int control) { return control_exists(control); }

std::wstring text_of(int control) { return control_exists(control) ? control_text(control) : std::wstring(); }

void text_set(int control, const std::wstring& text) {
    if (control_exists(control)) control_text_set(control, text);
}

int slow_item() { return control_exists(COMBO_PING_SLOW) ? combo_box_selected(COMBO_PING_SLOW) : -1; }

void clipboard_set(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
}

void remote_desktop_start(const std::wstring& parameters) {
    ShellExecuteW(nullptr, nullptr, L"MSTSC.EXE", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void url_open(const std::wstring& url) {
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ping_cell_draw() { cell_draw(CELL_PING, CELL_DRAW_ALWAYS); }

void data_panel_draw(int force) { data_folder_panel_draw(force); }

}  // namespace

const PingUi& ping_ui_default() {
    static const PingUi ui{nothing_text,
                           nothing,
                           nothing_int,
                           nothing,
                           now_button_set,
                           title_set,
                           exists,
                           text_of,
                           text_set,
                           slow_item,
                           nothing_int,
                           clipboard_set,
                           remote_desktop_start,
                           url_open,
                           ping_cell_draw,
                           nothing,
                           nothing,
                           data_panel_draw};
    return ui;
}
