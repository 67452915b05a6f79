// The program's wiring: every hook, handler table and seam that connects the layers, installed in start-up
// order, and the places where start-up, the event loop and the exit sequence call the subsystems. Each step
// runs on the main thread, once, where program_start_win.cpp names it.
#pragma once

// ---- Start-up, in order ----

// The windowing side of core: the status title's writer, the settings' window hooks (positions, track bars,
// control texts, the graphs' plot colours, and `main_window_ensure`, which builds the main window while a
// settings file is read) and the data-file panel's drawer. Before the settings are read.
void startup_ui_hooks_install(void (*main_window_ensure)());
void startup_windows_identify();       // "2-OS:" line: WINDOWS_NAME and WINDOWS_BUILD
void startup_gpu_libraries_bind();     // NVML_LIBRARY, ADL_LIBRARY (within "3-Loading: Libraries")
void startup_system_libraries_bind();  // POWRPROF_LIBRARY, PDH_LIBRARY and their functions
void startup_dns_library_bind();       // DNSAPI_LIBRARY
void startup_pc_hardware();            // "4-Loading: PC Hardware": processor facts, DRIVE_LETTERS, DRIVE_COUNT
// Puts the visible-tab redraw behind graphs_refresh, then builds WIN_MAIN when it does not exist.
void startup_main_window_build();
void startup_settings_controls_set();  // the Settings tab's controls from the settings
void startup_network_inventory();      // adapters, network filter, Ping tab input controls
void startup_drive_inventory();        // drive table and drive filter (after DriveTypeNames and WINDOWS_DRIVE)
void startup_gpu_inventory();          // GPU enumeration and entries; GpuEntryIndex
// What the monitors' workers call of the windows (the system monitor's battery column and tab copy; the
// network, GPU and event-log monitors' sources), before the workers start.
void startup_monitor_hooks_install();
void startup_worker_threads_start();  // the workers, in order, then their priorities
// The compact window's message callback and the handlers of the event loop: the compact window's canvas,
// the tab change of the main panel, the read-outs of graphs and strips, then the tabs' shortcuts and controls.
void startup_event_handlers_add();

// ---- The event loop ----

void main_window_close_extras();   // closing the main window: the log-folder chooser goes back to its button
void graphs_refresh_now(int tab);  // redraws a tab's graphs at once (force 1, throttle 0)
void compact_drive_command(int kind, int drive_row);  // Shift/Ctrl/Alt on a drive line (CompactClickKind)
