// The program's wiring on Windows: every hook, handler table and seam, in start-up order.
#include "app/wiring.h"

#include <windows.h>

#include "app/compact_messages.h"
#include "app/drive_shell.h"
#include "app/event_loop.h"
#include "app/shell_target.h"
#include "app/shortcuts.h"
#include "app/tab_controls.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/language.h"
#include "core/self_start_line.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/disk_error_decode.h"
#include "eventlog/disk_error_watch.h"
#include "eventlog/event_details.h"
#include "eventlog/event_log_api.h"
#include "eventlog/event_page.h"
#include "gpu/amd_gpu.h"
#include "gpu/amd_sampler.h"
#include "gpu/gpu_entries.h"
#include "gpu/gpu_info_view.h"
#include "gpu/gpu_tab_source.h"
#include "gpu/nvidia_enumerate.h"
#include "gpu/nvidia_sampler.h"
#include "gpu/nvml_binding.h"
#include "network/host_naming.h"
#include "network/mac_vendors.h"
#include "network/network_monitor.h"
#include "network/ping_monitor.h"
#include "network/proxy_switch.h"
#include "runtime/gui/window/window.h"
#include "runtime/program_libraries.h"
#include "runtime/threads.h"
#include "system/drive_monitor.h"
#include "system/system_monitor.h"
#include "ui/events_tab_events.h"
#include "ui/graph_control.h"
#include "ui/graph_draw.h"
#include "ui/graph_readout.h"
#include "ui/main_window.h"
#include "ui/main_window_hooks.h"
#include "ui/ping_tab_draw.h"
#include "ui/ping_tab_events.h"
#include "ui/ping_toolbar.h"
#include "ui/settings_page.h"
#include "ui/status_title.h"
#include "ui/tab_clipboard.h"
#include "ui/tab_redraw.h"

namespace {

constexpr int SYSTEM_SAMPLER_PRIORITY = 24;
constexpr int DRIVE_WATCHER_PRIORITY = 20;
constexpr int PING_MONITOR_PRIORITY = 18;
constexpr int NETWORK_ADAPTER_PRIORITY = 22;
constexpr int NVIDIA_SAMPLER_PRIORITY = 16;
constexpr int AMD_SAMPLER_PRIORITY = 16;
constexpr int EVENT_PAGE_PRIORITY = 18;
constexpr int DISK_ERROR_WATCH_PRIORITY = 16;

void worker_start(ThreadProc proc, SharedQuadIndex slot) { SharedQuads[slot] = thread_create(proc, 0); }

void shell_open(std::wstring_view target) { shell_target_open(target); }

// The details' block of a "disk" event: the whole table, its lines joined with "\r\n".
std::wstring disk_data_decoded(const std::vector<uint8_t>& data) {
    return disk_error_decode(data.data(), data.size(), false);
}

// The event page thread starts the disk-error watcher when a "System" log holds records.
void disk_error_watch_start() {
    worker_start(disk_error_watch_thread, DISK_ERROR_THREAD);
    thread_set_priority(SharedQuads[DISK_ERROR_THREAD], DISK_ERROR_WATCH_PRIORITY);
}

void ping_status_message_draw(const std::wstring& message) { ping_status_line_draw(message); }
void ping_canvas_grow_int(int force) { ping_canvas_grow(force != 0); }
void ping_tab_copy() { clipboard_copy_tab(TAB_PING); }

// The vendor list the user asked for (or cleared): the whole table replaced, its message on the tab.
void mac_vendors_import(const std::wstring& file_name) {
    mac_vendor_import(file_name, MacVendorMap, 0);
    ping_message(ping_ui(), shared_text(STATUS_MESSAGE));
}

// Every name for the lookup worker goes through the queue's lock, which the worker's take shares.
void host_lookup_start(const std::wstring& names) {
    lookup_queue_add(names);
    lookup_worker_start(dns_resolve_ipv4);
}

}  // namespace

// ---- Start-up, in order ----

void startup_ui_hooks_install(void (*main_window_ensure)()) {
    status_title_install();
    SettingsUiHooks hooks = settings_ui_hooks_platform();
    hooks.main_window_ensure = main_window_ensure;
    hooks.graph_color = graph_plot_color;
    hooks.graph_color_set = graph_plot_color_set;
    hooks.settings_controls_refresh = options_controls_from_settings;
    settings_ui_hooks_set(hooks);
    data_file_panel_set_drawer(data_file_panel_canvas_draw);
}

void startup_windows_identify() { shared_text_set(WINDOWS_NAME, windows_version_text(EDITION_NAMES_SHORT)); }

void startup_gpu_libraries_bind() {
    SharedQuads[NVML_LIBRARY] = nvml_load();
    SharedQuads[ADL_LIBRARY] = adl_load();
}

void startup_system_libraries_bind() { system_libraries_load(); }

void startup_dns_library_bind() { SharedQuads[DNSAPI_LIBRARY] = dns_library_load(LIBRARY_DNSAPI); }

void startup_pc_hardware() {
    wmi_processor_query();
    shared_text_set(DRIVE_LETTERS, drive_letters());
}

void startup_main_window_build() {
    graphs_refresh_hooks_set(tab_redraw_hooks());  // before the build, which draws the tab a command word opens
    if (!window_exists(WIN_MAIN)) main_window_build(0, 0);
}

void startup_settings_controls_set() { options_controls_from_settings(1); }

void startup_network_inventory() {
    network_libraries_load();
    network_adapters_refresh();
    network_filter_fill();
    ping_toolbar_build();
}

void startup_drive_inventory() {
    drives_rescan();
    drive_filter_fill();
}

void startup_gpu_inventory() {
    if (SharedQuads[NVML_LIBRARY].load() != 0) nvidia_gpu_enumerate();
    if (SharedQuads[ADL_LIBRARY].load() != 0)
        amd_gpu_enumerate();
    else
        AmdLegacyTable.release();
    GpuEntryIndex.entry_count = gpu_entries_assign();
}

void startup_monitor_hooks_install() {
    SystemMonitorHooks system;
    system.battery_column_set = battery_column_set;
    system.copy_tab = clipboard_copy_tab;  // the clipboard copy of a tab; the drive watcher calls it directly
    tab_clipboard_sources_set(
        {.system_summary = system_summary_text, .ping_status_line_draw = ping_status_message_draw});
    system_monitor_hooks_set(system);
    gpu_tab_source_set(gpu_tab_source);
    nvidia_sampler_hooks_set({.copy_tab = clipboard_copy_tab, .info_view_build = gpu_info_view_build});
    amd_sampler_hooks_set({.copy_tab = clipboard_copy_tab, .info_view_build = gpu_info_view_build});
    ping_tab_draw_set(ping_tab_draw_lists);
    ping_tab_actions_set({.vendor_import = mac_vendors_import, .lookup_start = host_lookup_start});
    PingUi ping{};  // the fields left null keep the monitor's defaults
    ping.status_line_draw = ping_status_line_draw;
    ping.list_draw = ping_list_draw;
    ping.canvas_grow = ping_canvas_grow_int;
    ping.scroll_to_end = ping_list_scroll_to_end;
    ping.font_apply = ping_list_font_apply;
    ping.copy_tab = ping_tab_copy;
    ping.layout_measure = ping_layout_measure;
    ping_ui_install(ping);
    event_log_api_set(event_log_api_windows());  // the event log: the Windows calls
    event_details_decoder_set(disk_data_decoded);
    event_page_disk_watch_starter_set(disk_error_watch_start);
}

void startup_worker_threads_start() {
    // The always-started workers first, then their priorities, then each GPU sampler when its library is
    // bound (the AMD one frees its library when it ends). The event page thread starts the disk-error watcher
    // itself.
    worker_start(system_sampler_thread, SYSTEM_SAMPLER_THREAD);
    worker_start(drive_watcher_thread, DRIVE_WATCHER_THREAD);
    worker_start(ping_monitor_thread, PING_MONITOR_THREAD);
    worker_start(network_adapter_thread, NETWORK_THREAD);
    worker_start(event_page_thread, EVENTLOG_PAGE_THREAD);
    thread_set_priority(SharedQuads[SYSTEM_SAMPLER_THREAD], SYSTEM_SAMPLER_PRIORITY);
    thread_set_priority(SharedQuads[DRIVE_WATCHER_THREAD], DRIVE_WATCHER_PRIORITY);
    thread_set_priority(SharedQuads[PING_MONITOR_THREAD], PING_MONITOR_PRIORITY);
    thread_set_priority(SharedQuads[NETWORK_THREAD], NETWORK_ADAPTER_PRIORITY);
    thread_set_priority(SharedQuads[EVENTLOG_PAGE_THREAD], EVENT_PAGE_PRIORITY);
    if (SharedQuads[NVML_LIBRARY].load() != 0) {
        worker_start(nvidia_sampler_thread, NVIDIA_SAMPLER_THREAD);
        thread_set_priority(SharedQuads[NVIDIA_SAMPLER_THREAD], NVIDIA_SAMPLER_PRIORITY);
    }
    if (SharedQuads[ADL_LIBRARY].load() != 0) {
        worker_start(amd_sampler_thread, AMD_SAMPLER_THREAD);
        thread_set_priority(SharedQuads[AMD_SAMPLER_THREAD], AMD_SAMPLER_PRIORITY);
    }
}

void startup_event_handlers_add() {
    window_callback_set(WIN_COMPACT, compact_window_callback);
    control_handler_add(CANVAS_COMPACT, CANVAS_COMPACT, compact_canvas_event);
    control_handler_add(PANEL_MAIN, PANEL_MAIN, main_tab_selected);
    graph_readout_handlers_add();
    tab_control_handlers_add();
    ping_tab_handlers_add();
    ShortcutHooks shortcuts;
    shortcuts.shell_open = shell_open;
    shortcuts.proxy_switch = proxy_switch_toggle;
    shortcuts.ping_toolbar_build = ping_toolbar_build;
    shortcuts.gpu_entries_assign = gpu_entries_assign;
    shortcuts.host_lookup_start = host_lookup_start;
    shortcuts.ping_address_enter = ping_address_enter;
    shortcuts.ping_address_focus = ping_address_focus;
    shortcut_hooks_set(shortcuts);
    shortcut_handler_set(shortcut_event);
    SettingsEventSeams settings_seams;
    settings_seams.program_start = self_start;
    settings_seams.shell_open = shell_target_open;
    settings_event_seams_set(settings_seams);
    settings_tab_handlers_add();
    events_tab_handlers_add();
}

// ---- The event loop ----

void main_window_close_extras() { log_folder_chooser_close(); }

void graphs_refresh_now(int tab) { graphs_refresh(tab, REFRESH_FORCED, REFRESH_EVERY_CALL); }

void compact_drive_command(int kind, int drive_row) { drive_shell_start(kind, drive_row); }
