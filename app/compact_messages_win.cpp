// The compact window's message callback on Windows: it ends the program with the session or at another
// start's request, brings the window forward, and hands volume changes to the drive watcher.
#include <windows.h>

#include <dbt.h>

#include "app/compact_messages.h"
#include "app/exit_sequence.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/single_instance.h"
#include "runtime/gui/window/window.h"
#include "runtime/threads.h"

namespace {

// A device header is read only when the whole header lies in readable memory of this process: another
// process can send WM_DEVICECHANGE with any lParam.
bool device_header_read(LPARAM lparam, DWORD* device_type) {
    if (lparam == 0) return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(header, &region, sizeof(region)) != sizeof(region) || region.State != MEM_COMMIT) return false;
    constexpr DWORD READABLE = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(region.Protect & READABLE) || (region.Protect & PAGE_GUARD)) return false;
    const auto end = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (reinterpret_cast<const char*>(header) + sizeof(DEV_BROADCAST_HDR) > end) return false;
    if (header->dbch_size < sizeof(DEV_BROADCAST_HDR)) return false;
    *device_type = header->dbch_devicetype;
    return true;
}

void compact_window_restore_when_minimized(bool activate) {
    if (window_state(WIN_COMPACT) != WINDOW_STATE_NORMAL) {
        window_show(WIN_COMPACT, activate ? WINDOW_SHOW : WINDOW_SHOW_NO_ACTIVATE);
        window_state_set(WIN_COMPACT, WINDOW_STATE_NORMAL);
    }
}

}  // namespace

intptr_t compact_window_callback(intptr_t window_handle_value, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    SessionMessage facts;
    facts.message = message;
    facts.wparam = wparam;
    facts.quitting = SharedInts[QUIT_FLAG].load() != 0;
    facts.activate_message = single_instance_activate_message();
    facts.quit_message = single_instance_quit_message();
    if (message == WM_DEVICECHANGE && !facts.quitting &&
        (wparam == DBT_DEVICEARRIVAL || wparam == DBT_DEVICEREMOVECOMPLETE)) {
        DWORD type = 0;
        facts.device_header_valid = device_header_read(lparam, &type);
        facts.device_type = type;
    }
    const SessionRoute route = compact_message_route(facts);
    switch (route.action) {
        case SESSION_PASS: return CALLBACK_DEFAULT;
        case SESSION_ANSWER: return route.answer;
        case SESSION_EXIT_END_SESSION:
            window_show(WIN_COMPACT, WINDOW_SHOW);
            shutdown_block_reason_set();
            SharedInts[EXIT_LOOP_FLAG] = 1;
            quit_flag_raise(1);
            program_exit();
            return 0;
        case SESSION_EXIT_QUIT:
            SharedInts[EXIT_LOOP_FLAG] = 1;
            quit_flag_raise(1);
            program_exit();
            return 0;
        case SESSION_ACTIVATE:
            window_show(WIN_COMPACT, WINDOW_SHOW);
            compact_window_restore_when_minimized(true);
            window_activate(WIN_COMPACT);
            return CALLBACK_DEFAULT;
        case SESSION_VOLUME_ARRIVED:
        case SESSION_VOLUME_REMOVED:
            if (SharedInts[OPT_POPUP_ON_DRIVES].load() == 1) compact_window_restore_when_minimized(false);
            if (route.action == SESSION_VOLUME_ARRIVED) {
                SharedInts[DRIVES_ARRIVED] = 1;
            } else if (thread_is_running(SharedQuads[DRIVE_WATCHER_THREAD].load()) &&
                       SharedInts[SPACE_CHECK_COUNTDOWN].load() > 0) {
                SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
            }
            return CALLBACK_DEFAULT;
    }
    (void)window_handle_value;
    return CALLBACK_DEFAULT;
}
