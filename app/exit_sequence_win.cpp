// The exit sequence on Windows.
//
// Everything after the workers' cooperative stop runs on a finishing thread made beforehand, which the main
// thread waits for with a time limit: a worker killed while it held a lock (a heap lock, a leaf lock of a
// store) can then at worst stop the saves, never the end of the process. Each step of the finishing work
// takes its leaf locks within a deadline and is skipped, with a note, when one of them is not free in time,
// so that a lock a killed worker left held costs only the steps that need it.
#include "app/exit_sequence_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <string>

#include "app/exit_sequence.h"
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
#include "network/network_monitor.h"
#include "network/ping_store.h"
#include "runtime/date.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/tray/tray.h"
#include "runtime/gui/window/window.h"
#include "runtime/leaf_lock.h"
#include "runtime/list_model.h"
#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"
#include "runtime/text.h"
#include "runtime/threads.h"

namespace {

using ShutdownBlockReasonCreateProc = BOOL(WINAPI*)(HWND, LPCWSTR);
using ShutdownBlockReasonDestroyProc = BOOL(WINAPI*)(HWND);
std::atomic<ShutdownBlockReasonCreateProc> block_reason_create{nullptr};
std::atomic<ShutdownBlockReasonDestroyProc> block_reason_destroy{nullptr};

constexpr DWORD FINISH_LIMIT_MS = 8000;  // all the work after the workers; a store rarely needs more than a moment
// The longest a step waits for one of its locks: a lock that is not free by then is held by a killed worker
// (nothing else runs any more), and the later steps keep their share of the limit.
constexpr int STEP_LOCK_WAIT_MS = 1500;

std::atomic<bool> exit_running{false};

HANDLE thread_create_default(LPTHREAD_START_ROUTINE routine, void* argument) {
    return CreateThread(nullptr, 0, routine, argument, 0, nullptr);
}
std::atomic<ExitThreadCreate> thread_create_used{thread_create_default};

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
    std::atomic<ULONGLONG> deadline{0};  // GetTickCount64 value by which the finishing work is over
};
Finisher finisher;

// What a step may still wait for one lock.
int step_lock_wait_ms() {
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG deadline = finisher.deadline.load();
    const ULONGLONG left = deadline > now ? deadline - now : 0;
    return static_cast<int>(std::min<ULONGLONG>(left, STEP_LOCK_WAIT_MS));
}

// A skipped step is told to a debugger and, when the rows are free, noted in System Events without the log
// (its lock may be the one held): the session history saved afterwards carries the line to the next run.
void step_skipped(const wchar_t* step, const char* lock_name) {
    const std::wstring text = std::wstring(L"Exit: ") + step + L" skipped, " + wide_from_utf8(lock_name) +
                              L" was not free (held by a stopped thread)";
    OutputDebugStringW((L"Sotrix " + text + L"\n").c_str());
    if (leaf_lock_free_within(ListRowsLock, step_lock_wait_ms())) event_line_add_quiet(LIST_SYSTEM_EVENTS, 0, text);
}

// True when every lock the step takes is free within the step's wait; otherwise the step is noted as skipped.
// Nothing but the main thread (briefly, serving a message) can take them meanwhile: the workers have ended
// or were killed.
bool step_locks_free(const wchar_t* step, std::initializer_list<LeafLock*> locks) {
    for (LeafLock* lock : locks) {
        if (!leaf_lock_free_within(*lock, step_lock_wait_ms())) {
            step_skipped(step, lock->name());
            return false;
        }
    }
    return true;
}

void log_save() {
    if (log_buffer_flush_within(LOG_FLUSH_FINAL, step_lock_wait_ms()) == LOG_FLUSH_LOCK_BUSY)
        step_skipped(L"log flush", "LogBufferLock or DataFilesLock");
    // Nothing is logged after the final flush; when its lock could not be had, a later line (a failed save's
    // report) must not wait for it either. The settings are saved already: the option is not stored.
    SharedInts[OPT_LOG_FILE] = 0;
}

void ping_list_store() {
    // A killed probe may hold the list's lock: the save waits for it only as long as the step may, and
    // reports a list it could not copy in time.
    ping_list_save(ping_store_path(), step_lock_wait_ms());
}

void history_save() {
    if (!step_locks_free(L"session history save", {&ListRowsLock, &DataFilesLock, &SharedTextsLock})) return;
    saga_lists_save(saga_file_path());
}

void tray_icons_remove() {
    if (step_locks_free(L"tray icon removal", {&tray_table_lock()})) tray_remove_all();
}

void libraries_free() {
    if (step_locks_free(L"library release", {&ProgramLibrariesLock})) exit_libraries_free();
}

// The work after the workers' stop: the last-resort kills, the saves, then what only tidies up. Each step
// stands alone; all of them wait for their locks only until the finishing deadline.
void finish_work() {
    for (const int64_t thread : exit_watched_threads()) {
        if (thread_is_running(thread)) {
            finisher.killed_any = true;
            thread_kill(thread);
        }
    }
    log_save();
    ping_list_store();
    history_save();
    tray_icons_remove();
    libraries_free();
}

DWORD WINAPI finish_exit(void*) {
    WaitForSingleObject(finisher.go, INFINITE);
    finish_work();
    return 0;
}

// Made before any thread is killed: creating a thread afterwards could wait on a lock a killed one held.
void finisher_prepare() {
    finisher.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (finisher.go) finisher.thread = thread_create_used.load()(finish_exit, nullptr);
}

// True when the finishing work ended in time. Without a finishing thread, the main thread does the work
// itself, under the same deadline.
bool finisher_run() {
    finisher.deadline = GetTickCount64() + FINISH_LIMIT_MS;
    if (!finisher.thread) {
        finish_work();
        return true;
    }
    SetEvent(finisher.go);
    while (WaitForSingleObject(finisher.thread, 0) == WAIT_TIMEOUT) {
        if (GetTickCount64() >= finisher.deadline.load()) return false;
        gui_pause_serving_sent(5);
    }
    return true;
}

}  // namespace

void exit_thread_create_set(ExitThreadCreate create) { thread_create_used = create ? create : thread_create_default; }

void exit_libraries_free() {
    // 115 first; the performance-counter library (pdh.dll) is never freed here, the GPU libraries are freed
    // by their samplers.
    for (const auto& [element, number] :
         {std::pair{POWRPROF_LIBRARY, LIBRARY_POWRPROF}, std::pair{MPR_LIBRARY, LIBRARY_MPR},
          std::pair{IPHLPAPI_LIBRARY, LIBRARY_IPHLPAPI}, std::pair{DNSAPI_LIBRARY, LIBRARY_DNSAPI},
          std::pair{PING_IPHLPAPI_LIBRARY, LIBRARY_PING_IPHLPAPI}}) {
        if (SharedQuads[element].load() != 0) library_free(number);
    }
    // The network monitor's own references to IP Helper and WinINet.
    network_libraries_free();
}

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
