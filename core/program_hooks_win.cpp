// Wiring of the other subsystems into start-up, the event loop and the exit. A step whose subsystem has not
// arrived yet does nothing here; "WIRE:" marks what belongs in it.
#include "core/program_hooks.h"

#include <windows.h>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/window/window.h"
#include "runtime/threads.h"
#include "system/drive_monitor.h"
#include "system/system_monitor.h"
#include "ui/graph_control.h"
#include "ui/graph_readout.h"
#include "ui/main_window.h"

namespace {

void worker_start(ThreadProc proc, SharedQuadIndex slot) { SharedQuads[slot] = thread_create(proc, 0); }

}  // namespace

void startup_windows_identify() { shared_text_set(WINDOWS_NAME, windows_version_text(1)); }

void startup_system_libraries_bind() { system_libraries_load(); }

void exit_libraries_free() { system_libraries_free(); }

void startup_gpu_libraries_bind() {
    // WIRE: SharedQuads[NVML_LIBRARY] = nvml_load();  SharedQuads[ADL_LIBRARY] = adl_load();  (GPU monitor)
}

void startup_dns_library_bind() {
    // WIRE: SharedQuads[DNSAPI_LIBRARY] = dns_library_load(119);  (network monitor)
}

void startup_pc_hardware() {
    wmi_processor_query();
    shared_text_set(DRIVE_LETTERS, drive_letters());
}

void startup_main_window_build() {
    if (!window_exists(WIN_MAIN)) main_window_build(0, 0);
}

void startup_settings_controls_set() {
    // WIRE: settings_controls_from_settings(1);  (settings page)
}

void startup_network_inventory() {
    // WIRE: network_adapters_refresh(); network_filter_fill(); ping_toolbar_build();  (network monitor)
}

void startup_drive_inventory() {
    drives_rescan();
    drive_filter_fill();
}

void startup_gpu_inventory() {
    // WIRE: if (SharedQuads[NVML_LIBRARY]) nvidia_gpu_enumerate();
    //       if (SharedQuads[ADL_LIBRARY]) amd_gpu_enumerate(); else AmdLegacyTable release;
    //       GpuEntryIndex.entry_count = gpu_entries_assign();  (GPU monitor)
}

void startup_worker_threads_start() {
    // The always-started workers first, then their priorities; still to come: the ping monitor (18),
    // the network adapter thread (22), the event page thread (18), and the NVIDIA and AMD samplers (16)
    // when their libraries are bound.
    worker_start(system_sampler_thread, SYSTEM_SAMPLER_THREAD);
    worker_start(drive_watcher_thread, DRIVE_WATCHER_THREAD);
    thread_set_priority(SharedQuads[SYSTEM_SAMPLER_THREAD], 24);
    thread_set_priority(SharedQuads[DRIVE_WATCHER_THREAD], 20);
}

void startup_event_handlers_add() {
    // Pointer read-outs over the graphs and temperature strips. Still to come: the keyboard shortcuts and
    // the control events of the tabs.
    graph_readout_handlers_add();
}

void main_window_close_extras() {
    // WIRE: close the log-folder chooser when TREE_FOLDER_CHOOSER exists (settings page).
}

void graphs_refresh_now(int tab) { graphs_refresh(tab, 1, 0); }

void compact_drive_command(int kind, int drive_row) {
    (void)kind;
    (void)drive_row;
    // WIRE: open the drive, a command prompt or PowerShell on it (clicks on the compact window).
}
