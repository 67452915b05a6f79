// What start-up, the event loop and the exit sequence call of the system monitor (memory, processors,
// counters, battery, temperatures, WMI facts, Windows name, System summary). Windows builds only.
#pragma once

#include <cstdint>
#include <string>

// Loads powrprof.dll and pdh.dll from the system folder and binds their functions by name. Sets
// POWRPROF_LIBRARY (115) and PDH_LIBRARY (118) to a non-zero number for each that is usable, 0 otherwise;
// a missing library only leaves its features out. Start-up, "Loading: Libraries", before the sampler starts.
void system_libraries_load();
// powrprof.dll is kept under its number (LIBRARY_POWRPROF), which the exit sequence frees in its turn.
// Forgets the bindings and frees both libraries: tests (the exit never frees pdh.dll).
void system_libraries_free();

enum WindowsEditionNames : bool { EDITION_NAMES_LONG = false, EDITION_NAMES_SHORT = true };

// The Windows name with edition and release ("Windows 11 Pro (23H2)"), with the short edition names
// (start-up) or the long ones (the summary). Sets WINDOWS_BUILD. Any thread.
std::wstring windows_version_text(WindowsEditionNames editions);

// Replaces SharedTexts CPU_CURRENT_CLOCK_TEXT..CPU_PROCESSOR_ID_TEXT (the processor property names) by the processor's
// values from WMI (ROOT\CIMV2, Win32_Processor); texts it cannot fill become empty. Main thread, once, "Loading: PC
// Hardware", before the sampler starts.
void wmi_processor_query();

// The system sampler: thread procedure for thread_create (argument unused), priority 24, its number in
// SYSTEM_SAMPLER_THREAD. A loop of SAMPLER_ROUND_MS rounds that ends within one round once QUIT_FLAG is above 0. Start
// it after the windows exist and after system_libraries_load and wmi_processor_query.
void system_sampler_thread(int64_t argument);

// Gathers the summary facts, stores WINDOWS_NAME, WINDOWS_BUILD and the desktop metrics, draws the three
// lines on CANVAS_SYSTEM_HEADER when it exists and returns them, each ended by "\r\n". One build at a time;
// only the sampler thread (its request, the clipboard copy of the System tab) calls it.
std::wstring system_summary_text();

// Asks the sampler to rebuild the summary: F5 on the System tab and a click on its header (the header is
// never drawn from the main thread).
void system_summary_request();

// Asks the sampler to look for the temperature tool again at its next processor step (F5 on the About tab)
// unless it is connected. Only the sampler changes TEMP_TOOL_STATE and the tool's mapping.
void temp_tool_recheck_request();

// Steps of the sampler before the temperature tool is looked for again: after it was not running or was
// not ready (default 24, 60 s) and after a disconnect (default 4, 10 s). Tests shorten them.
void temp_tool_set_intervals(int not_found_steps, int reconnect_steps);

// What the sampler needs of the windowing side. Install once before the sampler starts; a missing hook
// leaves its part out.
struct SystemMonitorHooks {
    // Replaces the title of LIST_BATTERY's first column, with its width in pixels.
    void (*battery_column_set)(const std::wstring& title, int width) = nullptr;
    // Copies the tab (TAB_SYSTEM or TAB_PROCESSORS, as COPY_TAB_REQUEST named it) to the clipboard on the
    // calling thread and sets the request back to -1.
    void (*copy_tab)(int tab) = nullptr;
};
void system_monitor_hooks_set(const SystemMonitorHooks& hooks);
const SystemMonitorHooks& system_monitor_hooks();
