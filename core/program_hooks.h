// The places where start-up, the event loop and the exit sequence call the other subsystems. Each runs on
// the main thread, once, at the step named; the monitors' procedures are wired in here as they arrive.
#pragma once

#include <string_view>

// Start-up, in order.
void startup_windows_identify();       // "2-OS:" line: WINDOWS_NAME and WINDOWS_BUILD
void startup_gpu_libraries_bind();     // NVML_LIBRARY, ADL_LIBRARY (within "3-Loading: Libraries")
void startup_system_libraries_bind();  // POWRPROF_LIBRARY, PDH_LIBRARY and their functions
void startup_dns_library_bind();       // DNSAPI_LIBRARY
void startup_pc_hardware();            // "4-Loading: PC Hardware": processor facts, DRIVE_LETTERS, DRIVE_COUNT
void startup_main_window_build();      // builds WIN_MAIN when it does not exist
void startup_settings_controls_set();  // the Settings tab's controls from the settings
void startup_network_inventory();      // adapters, network filter, Ping tab input controls
void startup_drive_inventory();        // drive table and drive filter (after DriveTypeNames and WINDOWS_DRIVE)
void startup_gpu_inventory();          // GPU enumeration and entries; GpuEntryIndex
void startup_worker_threads_start();   // the workers, in order, then their priorities
void startup_event_handlers_add();     // shortcut and control-event handlers of the tabs

// The event loop.
void main_window_close_extras();   // closing the main window: the log-folder chooser goes back to its button
void graphs_refresh_now(int tab);  // redraws a tab's graphs at once (force 1, throttle 0)
void compact_drive_command(int kind, int drive_row);  // Shift/Ctrl/Alt on a drive line (CompactClickKind)

// The exit sequence, after the workers have stopped.
void exit_libraries_free();  // the libraries the monitors bound themselves
