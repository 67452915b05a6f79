// The wait for the next event: pumps the main thread's messages until the queue holds an event.
#include <windows.h>

#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/shortcut/shortcut_win.h"

namespace {

// Dispatches what is waiting; stops as soon as an event is queued.
bool pump_waiting_messages(GuiEvent* event) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;  // the program ends through its exit sequence, never by WM_QUIT
        if (!shortcut_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (gui_event_take(event)) return true;
    }
    return false;
}

}  // namespace

GuiEvent wait_window_event(int timeout_ms) {
    GuiEvent event;
    if (!gui_on_main_thread()) return event;
    const ULONGLONG deadline = timeout_ms < 0 ? 0 : GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
    for (;;) {
        if (gui_event_take(&event)) return event;
        if (pump_waiting_messages(&event)) return event;
        DWORD wait = INFINITE;
        if (timeout_ms >= 0) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return GuiEvent{};
            wait = static_cast<DWORD>(deadline - now);
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
