// The Ping tab's control handler on Windows: reads the controls an event needs, then acts on what is left.
#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <cwctype>
#include <mutex>

#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/scroll_area/scroll_area.h"
#include "runtime/gui/text/text.h"
#include "ui/ping_tab_events.h"
#include "ui/ping_toolbar.h"

namespace {

// Where the MAC vendor list is downloaded from, as the file name of its data-file entry expects it.
constexpr wchar_t VENDOR_PAGE[] = L"https://maclookup.app/downloads/csv-database";

std::atomic<void (*)(const std::wstring&)> vendor_import_hook{nullptr};
std::atomic<void (*)(const std::wstring&)> lookup_start_hook{nullptr};

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring vendor_file_name() {
    std::lock_guard files(DataFilesLock);
    return DataFiles[DATA_FILE_MAC_VENDORS].file_name;
}

PingControlInput input_read(const GuiEvent& event) {
    PingControlInput in;
    in.event = event;
    in.shift = gui_key_held(VK_SHIFT);
    in.ctrl = gui_key_held(VK_CONTROL);
    in.alt = gui_key_held(VK_MENU);
    in.mode_shown = ping_mode_shown(control_exists(INPUT_PING_IP_TO), control_exists(TEXT_MAC_VENDOR_FILE),
                                    control_exists(INPUT_PING_HOST), control_exists(INPUT_PING_IP_FROM));
    {
        std::lock_guard hosts(PingListMutex);  // the count only, copied out
        in.host_count = static_cast<int>(PingHostList.size());
    }
    in.now = date_now();
    switch (event.control) {
        case BUTTON_PING_ADD:
            if (in.mode_shown == PING_MODE_HOST_NAME) in.host_text = control_text(INPUT_PING_HOST);
            if (in.mode_shown == PING_MODE_ADDRESS) {
                in.from_text = control_text(INPUT_PING_IP_FROM);
                in.from_address = ip_input_address(INPUT_PING_IP_FROM);
                in.description_text = control_text(INPUT_PING_DESCRIPTION);
                in.description_cue = lower(tr(L"Description"));
            }
            break;
        case INPUT_PING_IP_FROM:
        case INPUT_PING_IP_TO:
            in.from_address = ip_input_address(INPUT_PING_IP_FROM);
            in.to_address = ip_input_address(INPUT_PING_IP_TO);
            break;
        case COMBO_PING_MODE:
        case COMBO_PING_INTERVAL:
        case COMBO_PING_FONT_SIZE: in.selected_item = combo_box_selected(event.control); break;
        case CANVAS_PING_LIST: {
            int x = 0;
            scroll_area_position(SCROLL_PING_LIST, &x, &in.scroll_y);
            in.scroll_step = scroll_area_step(SCROLL_PING_LIST);
            break;
        }
        default: break;
    }
    return in;
}

void actions_do(const PingControlActions& actions) {
    if (actions.toolbar_rebuild) ping_toolbar_build();
    if (actions.vendor_import || actions.vendor_clear) {
        if (const auto import = vendor_import_hook.load()) import(actions.vendor_import ? vendor_file_name() : L"");
    }
    if (actions.vendor_page_open) ShellExecuteW(nullptr, L"open", VENDOR_PAGE, nullptr, nullptr, SW_SHOWNORMAL);
    if (actions.data_panel_draw) data_folder_panel_draw(0);
    if (actions.lookup_start) {
        if (const auto start = lookup_start_hook.load()) start(actions.lookup_names);
    }
    if (actions.to_address_set) ip_input_address_set(INPUT_PING_IP_TO, actions.to_address);
    if (actions.from_address_set) ip_input_address_set(INPUT_PING_IP_FROM, actions.from_address);
    if (actions.scroll_set) scroll_area_scroll_to(SCROLL_PING_LIST, GUI_KEEP, actions.scroll_y);
}

}  // namespace

void ping_tab_actions_set(const PingTabActions& actions) {
    vendor_import_hook.store(actions.vendor_import);
    lookup_start_hook.store(actions.lookup_start);
}

void ping_address_enter() {
    if (!control_exists(INPUT_PING_IP_FROM) || control_text(INPUT_PING_IP_FROM) == L"0.0.0.0") return;
    if (SharedInts[PING_REQ_ADD_HOST].load(std::memory_order_acquire) != 0) return;  // the monitor has one in hand
    std::wstring description = control_exists(INPUT_PING_DESCRIPTION) ? control_text(INPUT_PING_DESCRIPTION) : L"";
    if (description == lower(tr(L"Description"))) description.clear();
    shared_text_set(PING_ADD_NAME, description);
    SharedInts[PING_REQ_ADD_HOST].store(static_cast<int32_t>(ip_input_address(INPUT_PING_IP_FROM)),
                                        std::memory_order_release);
}

void ping_address_focus() {
    if (control_exists(INPUT_PING_IP_FROM)) control_focus(INPUT_PING_IP_FROM);
}

void ping_control_event_handle(const GuiEvent& event) { actions_do(ping_control_event(input_read(event))); }

void ping_tab_handlers_add() {
    control_handler_add(BUTTON_PING_ADD, BUTTON_PING_RESET, ping_control_event_handle);
    control_handler_add(CANVAS_PING_LIST, CANVAS_PING_STATUS, ping_control_event_handle);
    control_handler_add(COMBO_PING_MODE, COMBO_PING_FONT_SIZE, ping_control_event_handle);
    control_handler_add(INPUT_PING_IP_FROM, INPUT_PING_IP_TO, ping_control_event_handle);
}
