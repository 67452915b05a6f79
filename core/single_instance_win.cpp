// The single-instance rule over a named mutex and two registered messages broadcast to all top-level windows.
#include <windows.h>

#include <atomic>

#include "core/single_instance.h"

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

void single_instance_activate_broadcast() {
    if (const UINT message = activate_message.load()) PostMessageW(HWND_BROADCAST, message, 0, 0);
}

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
