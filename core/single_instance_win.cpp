// The single-instance rule over a named mutex and two registered messages broadcast to all top-level windows.
#include <windows.h>

#include <atomic>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/single_instance.h"
#include "core/version.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/window/window.h"
#include "ui/dark_mode.h"

namespace {

constexpr wchar_t MUTEX_NAME[] = L"SotRix";

std::atomic<UINT> activate_message{0};
std::atomic<UINT> quit_message{0};
HANDLE takeover_handle = nullptr;  // the hand-over's handle, owned by the main thread
HANDLE instance_handle = nullptr;

}  // namespace

void single_instance_messages_register() {
    activate_message = RegisterWindowMessageW(L"WM_ACTIVATEOLDINST_SX");
    quit_message = RegisterWindowMessageW(L"WM_DEACTIVATEOLDINST_SX");
}

unsigned single_instance_activate_message() { return activate_message.load(); }

unsigned single_instance_quit_message() { return quit_message.load(); }

void single_instance_quit_broadcast() {
    if (const UINT message = quit_message.load()) PostMessageW(HWND_BROADCAST, message, 0, 0);
}

bool single_instance_takeover() {
    HANDLE handle = CreateMutexW(nullptr, TRUE, MUTEX_NAME);
    if (!handle) return false;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        takeover_handle = handle;
        return true;
    }
    for (int rounds = 0;;) {
        const DWORD result = WaitForSingleObject(handle, TAKEOVER_ROUND_MS);
        const TakeoverWait wait = (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ? TAKEOVER_OWNED
                                  : result == WAIT_TIMEOUT                              ? TAKEOVER_TIMED_OUT
                                                                                        : TAKEOVER_FAILED;
        const TakeoverStep step = takeover_step(wait, rounds);
        if (step == TAKEOVER_DONE) {
            takeover_handle = handle;
            return true;
        }
        if (step == TAKEOVER_GIVE_UP) {
            CloseHandle(handle);
            return false;
        }
        ++rounds;
    }
}

bool single_instance_claim(bool taken_over) {
    instance_handle = CreateMutexW(nullptr, TRUE, MUTEX_NAME);
    if (!instance_handle) return true;
    return GetLastError() != ERROR_ALREADY_EXISTS || taken_over;
}

void single_instance_release() {
    // Ownership was given once, whichever handle took it.
    if (instance_handle && !ReleaseMutex(instance_handle) && takeover_handle) ReleaseMutex(takeover_handle);
    if (instance_handle) CloseHandle(instance_handle);
    if (takeover_handle) CloseHandle(takeover_handle);
    instance_handle = takeover_handle = nullptr;
}

void already_running_notice_and_end() {
    const bool dark = SharedInts[DARK_MODE].load() == 1;
    const std::wstring title = std::wstring(program_name()) + L" " + version_text();
    window_open(WIN_COMPACT, 0, 0, 300, 70, title, WINDOW_CAPTION | WINDOW_SYSTEM_MENU | WINDOW_CENTERED);
    if (dark) {
        dark_title_bar_apply(WIN_COMPACT, 1);
        window_color_set(WIN_COMPACT, DARK_BACKGROUND);
    }
    font_load(FONT_NOTICE, L"Arial", 11, FONT_STYLE_HIGH_QUALITY);
    gui_default_font_set(FONT_NOTICE);
    text_label_create(TEXT_SPLASH, gui_in_window(WIN_COMPACT), 0, 15, 290, 50,
                      already_running_text(user_primary_language()), TEXT_CENTER);
    if (dark) control_colors_set(TEXT_SPLASH, 0xE0E0E0, DARK_BACKGROUND);
    window_timer_add(WIN_COMPACT, TIMER_NOTICE, 5000);
    // The running instance may take the foreground when it comes forward.
    AllowSetForegroundWindow(ASFW_ANY);
    if (const UINT message = activate_message.load()) PostMessageW(HWND_BROADCAST, message, 0, 0);
    Sleep(50);
    for (;;) {
        const GuiEvent event = wait_window_event(250);
        if (event.kind == EVENT_TIMER && event.window == WIN_COMPACT && event.number == TIMER_NOTICE) break;
    }
    window_close(WIN_COMPACT);
    ExitProcess(0);
}
