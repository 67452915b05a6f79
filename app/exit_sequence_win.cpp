// The exit sequence on Windows.
//
// Everything after the workers' cooperative stop runs on a finishing thread made beforehand, which the main
// thread waits for with a time limit: a worker killed while it held a lock (a heap lock, a leaf lock of a
// store) can then at worst stop the saves, never the end of the process.
#include <windows.h>

#include <atomic>
#include <string>

#include "app/exit_sequence.h"
#include "app/wiring.h"
#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/saga_store.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/single_instance.h"
#include "core/version.h"
#include "core/watched_threads.h"
#include "network/ping_store.h"
#include "runtime/date.h"
#include "runtime/gui/tray/tray.h"
#include "runtime/gui/window/window.h"
#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"
#include "runtime/text.h"
#include "runtime/threads.h"

namespace {

using ShutdownBlockReasonCreateProc = BOOL(WINAPI*)(HWND, LPCWSTR);
using ShutdownBlockReasonDestroyProc = BOOL(WINAPI*)(HWND);
std::atomic<ShutdownBlockReasonCreateProc> block_reason_create{nullptr};
std::atomic<ShutdownBlockReasonDestroyProc> block_reason_destroy{nullptr};

constexpr DWORD FINISH_LIMIT_MS = 8000;  // the saves after the workers; a store rarely needs more than a moment

std::atomic<bool> exit_running{false};

bool any_running(const std::vector<int64_t>& threads) {
    for (const int64_t thread : threads) {
        if (thread_is_running(thread)) return true;
    }
    return false;
}

struct Finisher {
    HANDLE thread = nullptr;
    HANDLE go = nullptr;
    std::atomic<bool> killed_any{false};
};
Finisher finisher;

DWORD WINAPI finish_exit(void*) {
    WaitForSingleObject(finisher.go, INFINITE);
    // Last resort: whatever did not stop in time.
    for (const int64_t thread : exit_watched_threads()) {
        if (thread_is_running(thread)) {
            finisher.killed_any = true;
            thread_kill(thread);
        }
    }
    tray_remove_all();
    for (const auto& [element, number] :
         {std::pair{MPR_LIBRARY, LIBRARY_MPR}, std::pair{IPHLPAPI_LIBRARY, LIBRARY_IPHLPAPI},
          std::pair{DNSAPI_LIBRARY, LIBRARY_DNSAPI}, std::pair{PING_IPHLPAPI_LIBRARY, LIBRARY_PING_IPHLPAPI}}) {
        if (SharedQuads[element].load() != 0) library_free(number);
    }
    exit_libraries_free();
    log_buffer_flush(LOG_FLUSH_FINAL);
    ping_list_save(ping_store_path(), 2000);  // at most 2 s for the list's lock, which a killed probe may hold
    saga_lists_save(saga_file_path());
    return 0;
}

// Made before any thread is killed: creating a thread afterwards could wait on a lock a killed one held.
void finisher_prepare() {
    finisher.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (finisher.go) finisher.thread = CreateThread(nullptr, 0, finish_exit, nullptr, 0, nullptr);
}

// True when the finishing work ended in time.
bool finisher_run() {
    if (!finisher.thread) {
        if (finisher.go) SetEvent(finisher.go);
        return false;
    }
    SetEvent(finisher.go);
    const ULONGLONG deadline = GetTickCount64() + FINISH_LIMIT_MS;
    while (WaitForSingleObject(finisher.thread, 0) == WAIT_TIMEOUT) {
        if (GetTickCount64() >= deadline) return false;
        gui_pause_serving_sent(5);
    }
    return true;
}

}  // namespace

void shutdown_block_functions_find() {
    // user32 stays loaded for the windows; the functions are simply looked up by name.
    HMODULE user32 = system_library_load(L"user32.dll");
    if (!user32) return;
    ShutdownBlockReasonCreateProc create = nullptr;
    ShutdownBlockReasonDestroyProc destroy = nullptr;
    library_function_bind(user32, "ShutdownBlockReasonCreate", create);
    library_function_bind(user32, "ShutdownBlockReasonDestroy", destroy);
    block_reason_create = create;
    block_reason_destroy = destroy;
    FreeLibrary(user32);
}

void shutdown_block_reason_set() {
    if (const ShutdownBlockReasonCreateProc create = block_reason_create.load()) {
        const std::wstring reason = tr(L"Shutting Down") + L" " + program_name() + L" v" + version_number();
        create(reinterpret_cast<HWND>(window_handle(WIN_COMPACT)), reason.c_str());
    }
}

bool exit_workers_stop() {
    quit_flag_raise(1);
    const std::vector<int64_t> threads = exit_watched_threads();
    const ULONGLONG start = GetTickCount64();
    int shown = -1;
    while (any_running(threads)) {
        const int64_t waited = static_cast<int64_t>(GetTickCount64() - start);
        const int count = exit_wait_count(waited);
        quit_flag_raise(count);
        if (count != shown) {
            window_title_set(WIN_COMPACT, std::to_wstring(count));
            shown = count;
        }
        if (count >= EXIT_WAIT_LAST_COUNT) return false;
        // Up to the next count on the threads' handles: the last end wakes the wait at once, and the workers'
        // messages to our windows are served meanwhile, so none of them hangs on us.
        if (thread_wait_all(threads, static_cast<int>(count * EXIT_WAIT_STEP_MS - waited))) return true;
    }
    return true;
}

void program_exit() {
    if (exit_running.exchange(true)) return;
    // Taken now: after a worker was killed, even the runtime's registry lock could be held by it.
    HWND compact = reinterpret_cast<HWND>(window_handle(WIN_COMPACT));
    window_show(WIN_COMPACT, WINDOW_HIDE);
    window_show(WIN_MAIN, WINDOW_HIDE);

    std::wstring uptime;
    {
        std::lock_guard guard(CellDrawMutex);
        uptime = text_trim(CompactCells[CELL_UPTIME].drawn_text.view());
    }
    event_line_add(LIST_SYSTEM_EVENTS, tr(L"Uptime") + L": " + uptime);
    const std::wstring stopped = std::wstring(program_name()) + L" v" + version_number() + L" " + tr(L"stopped");
    event_line_add(LIST_SYSTEM_EVENTS, stopped);
    event_line_add(LIST_NETWORK_EVENTS, stopped);
    settings_save_if_changed();

    finisher_prepare();
    exit_workers_stop();
    const bool finished = finisher_run();

    single_instance_release();
    if (const ShutdownBlockReasonDestroyProc destroy = block_reason_destroy.load()) {
        destroy(compact);
    }
    // After a kill, a window's teardown or the runtime's end routines could meet a lock (the heap's among
    // them) that the killed thread held: the process then ends without them, everything being saved.
    if (!finished || finisher.killed_any.load()) TerminateProcess(GetCurrentProcess(), 0);
    window_close(WIN_MAIN);
    window_close(WIN_COMPACT);
    ExitProcess(0);
}
