// Start-up in its fixed order: shared state, command words and the single-instance rule, the splash with its
// numbered lines, libraries, settings and the main window, the compact window, the inventories, the workers,
// shortcuts and the tray icon; then the event loop.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/already_running_notice.h"
#include "app/event_loop.h"
#include "app/exit_sequence.h"
#include "app/program_start.h"
#include "app/shortcuts.h"
#include "app/wiring.h"
#include "core/control_numbers.h"
#include "core/data_block.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/saga_store.h"
#include "core/settings_code.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/single_instance.h"
#include "core/startup_facts.h"
#include "core/system_query.h"
#include "core/version.h"
#include "runtime/date.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/image/image.h"
#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/tray/tray.h"
#include "runtime/gui/window/window.h"
#include "runtime/http_get.h"
#include "runtime/program_libraries.h"
#include "runtime/program_lock.h"
#include "ui/compact_layout.h"
#include "ui/compact_window.h"
#include "ui/dark_mode.h"

namespace {

constexpr int SPLASH_WIDTH = 260;

std::wstring program_title() { return std::wstring(program_name()) + L" " + version_text(); }

CompactWorkArea work_area() {
    CompactWorkArea area;
    area.monitor_count = SharedInts[MONITOR_COUNT].load();
    area.left = work_area_left();
    area.top = work_area_top();
    area.right = SharedInts[WORKAREA_WIDTH].load();
    area.bottom = SharedInts[WORKAREA_HEIGHT].load();
    return area;
}

// ---- The splash and its numbered lines ----

std::wstring splash_text;

void splash_show_text() {
    control_text_set(TEXT_SPLASH, splash_text);
    window_repaint_now(WIN_COMPACT);
}

void splash_line(const std::wstring& line) {
    splash_text += L"\r\n" + line;
    splash_show_text();
}

void splash_open() {
    const CompactPoint place = splash_position(work_area(), SPLASH_WIDTH);
    window_open(WIN_COMPACT, place.x, place.y, SPLASH_WIDTH, SharedInts[COMPACT_HEIGHT].load(), program_title(),
                WINDOW_CAPTION);
    if (SharedInts[DARK_MODE].load() == 1) {
        dark_title_bar_apply(WIN_COMPACT, 1);
        window_color_set(WIN_COMPACT, DARK_BACKGROUND);
    }
    text_label_create(TEXT_SPLASH, gui_in_window(WIN_COMPACT), 1, 1, SPLASH_WIDTH, SharedInts[COMPACT_HEIGHT].load(),
                      L"", 0);
    control_colors_set(TEXT_SPLASH, 0xC0C0C0, 0x000000);
    control_font_set(TEXT_SPLASH, FONT_FIXED_SMALL);
}

// ---- Steps ----

std::vector<std::wstring> lowered_parameters() {
    std::vector<std::wstring> parameters;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) return parameters;
    for (int index = 1; index < count; ++index) {
        std::wstring word(words[index]);
        if (!word.empty()) CharLowerBuffW(word.data(), static_cast<DWORD>(word.size()));
        parameters.push_back(std::move(word));
    }
    LocalFree(words);
    return parameters;
}

struct ImageBox {
    int x, y, width, height;
    COLORREF color;
};

void image_boxes_draw(int image, std::initializer_list<ImageBox> boxes) {
    if (!image_create(image, 16, 16, 0)) return;
    ImageDraw draw(image);
    if (!draw) {
        image_free(image);
        return;
    }
    for (const ImageBox& box : boxes) {
        RECT area{box.x, box.y, box.x + box.width, box.y + box.height};
        HBRUSH brush = CreateSolidBrush(box.color);
        FillRect(draw.dc(), &area, brush);
        DeleteObject(brush);
    }
}

void program_images_make() {
    image_from_ico(IMAGE_TRAY_ICON, data_block_bytes(DATA_ICON_SMALL), 16);
    image_from_ico(IMAGE_PROGRAM_LARGE, data_block_bytes(DATA_ICON_LARGE), 64);
    const ImageBox frame{0, 0, 16, 16, 0xFFFFFF};
    const ImageBox inside{1, 1, 14, 14, 0x000000};
    const ImageBox read_dark{8, 1, 7, 14, 0x808000};
    const ImageBox read_light{9, 2, 5, 12, 0xFFFF00};
    const ImageBox write_dark{1, 1, 7, 14, 0x000080};
    const ImageBox write_light{2, 2, 5, 12, 0x0000FF};
    image_boxes_draw(IMAGE_DISK_IDLE, {frame, inside});
    image_boxes_draw(IMAGE_DISK_READ, {frame, inside, read_dark, read_light});
    image_boxes_draw(IMAGE_DISK_WRITE, {frame, inside, write_dark, write_light});
    image_boxes_draw(IMAGE_DISK_READ_WRITE, {frame, write_dark, write_light, read_dark, read_light});
}

void fonts_load() {
    font_load(FONT_DEFAULT, L"Microsoft Sans Serif", 8, FONT_STYLE_HIGH_QUALITY);
    font_load(FONT_FIXED_SMALL, L"Lucida Console", 9, FONT_STYLE_HIGH_QUALITY | FONT_STYLE_FIXED_PITCH);
    font_load(FONT_CUE, L"Tahoma", 10, FONT_STYLE_HIGH_QUALITY);
    font_load(FONT_STRIP, L"Tahoma", 11, FONT_STYLE_HIGH_QUALITY);
    font_load(FONT_HEADER, L"Tahoma", 12, FONT_STYLE_HIGH_QUALITY | FONT_STYLE_ITALIC);
    gui_default_font_set(FONT_DEFAULT);
}

void libraries_load() {
    library_load(LIBRARY_POWRPROF, L"powrprof.dll");  // its functions are bound with the counters' library below
    SharedQuads[MPR_LIBRARY] = library_load(LIBRARY_MPR, L"mpr.dll");
    SharedQuads[IPHLPAPI_LIBRARY] = library_load(LIBRARY_IPHLPAPI, L"iphlpapi.dll");
    startup_gpu_libraries_bind();
    startup_system_libraries_bind();  // power management functions and performance counters
    startup_dns_library_bind();
}

// A settings file read at start-up needs the main window (its graphs) while the settings are applied.
void main_window_ensure_while_loading() {
    if (window_exists(WIN_MAIN)) return;
    splash_line(L"4-" + tr(L"Loading: Settings"));
    // A settings file is being applied: the build keeps the choices its settings code gave.
    SharedInts[SETTINGS_FILE_PRESENT] = 1;
    startup_main_window_build();
}

void settings_and_main_window() {
    data_folder_choose();
    if (!window_exists(WIN_MAIN)) {
        splash_line(L"5-" + tr(L"Loading: Sotrix Window"));
        startup_main_window_build();
    }
    std::lock_guard guard(DataFilesLock);
    DataFiles[DATA_FILE_SAGA].folder = DataFiles[DATA_FILE_SETTINGS].folder;
}

void main_window_keep_inside() {
    int x = 0, y = 0, width = 0, height = 0, frame_width = 0, frame_height = 0;
    if (!window_outer_position(WIN_MAIN, &x, &y) || !window_inner_size(WIN_MAIN, &width, &height) ||
        !window_frame_size(WIN_MAIN, &frame_width, &frame_height)) {
        return;
    }
    const CompactPoint place = main_window_position(SharedInts[MAIN_X].load(), SharedInts[MAIN_Y].load(), x, y,
                                                    width + frame_width, height + frame_height, work_area());
    SharedInts[MAIN_X] = place.x;
    SharedInts[MAIN_Y] = place.y;
    if (place.x != x || place.y != y) window_move(WIN_MAIN, place.x, place.y, GUI_KEEP, GUI_KEEP);
}

void settings_applied() {
    startup_settings_controls_set();
    log_buffer_resize();
    shared_text_set(CONFIG_SAVED, settings_code_build());
    std::wstring log_folder;
    {
        // A leaf lock: the shared texts' lock is taken only after it is released.
        std::lock_guard guard(DataFilesLock);
        log_folder = DataFiles[DATA_FILE_LOG].folder;
    }
    shared_text_set(LOGPATH_SAVED, log_folder);
    if (SharedInts[OPT_EXTENDED_HISTORY].load() == 1) SharedInts[MAX_EVENT_LINES] = 9998;
}

// Shown unless "Start Minimized" is on: then minimised, or hidden with only the tray icon when minimising
// goes to the tray.
void compact_window_reveal() {
    if (SharedInts[OPT_START_MINIMIZED].load() != 1) {
        window_show(WIN_COMPACT, WINDOW_SHOW);
    } else if (SharedInts[OPT_MINIMIZE_TO_TRAY].load() != 1) {
        window_state_set(WIN_COMPACT, WINDOW_STATE_MINIMIZED);
    }
}

// The compact window opens with the splash's width and its fitting narrows it keeping its right edge. A saved
// place is where the user left the window's left edge: it is put back there, or the window would move right by
// the narrowing at every start.
void compact_window_left_edge_keep(int saved_x) {
    int x = 0, y = 0, width = 0, height = 0;
    if (!window_outer_position(WIN_COMPACT, &x, &y) || !window_inner_size(WIN_COMPACT, &width, &height)) return;
    if (x <= saved_x) return;  // kept, or pulled left into the work area
    window_move(WIN_COMPACT, saved_x, y, width, height);
    SharedInts[COMPACT_X] = saved_x;
}

void compact_window_open() {
    const int saved_x = SharedInts[COMPACT_X].load();
    const CompactPoint place =
        compact_start_position(saved_x, SharedInts[COMPACT_Y].load(), SharedInts[COMPACT_WIDTH].load(),
                               SharedInts[COMPACT_HEIGHT].load(), work_area());
    SharedInts[COMPACT_X] = place.x;
    SharedInts[COMPACT_Y] = place.y;
    // Opened hidden so that its set-up measures a window with an inner area; shown as soon as it is set up,
    // while the inventories and the workers still start.
    window_open(
        WIN_COMPACT, place.x, place.y, SharedInts[COMPACT_WIDTH].load(), SharedInts[COMPACT_HEIGHT].load(),
        program_title(),
        WINDOW_CAPTION | WINDOW_SYSTEM_MENU | WINDOW_MINIMIZE_BUTTON | WINDOW_MAXIMIZE_BUTTON | WINDOW_INVISIBLE);
    if (SharedInts[DARK_MODE].load() == 1) dark_title_bar_apply(WIN_COMPACT, 0);
    compact_window_setup(SharedInts[COMPACT_FONT_SIZE].load());
    compact_mode_toggle();
    if (place.x == saved_x) compact_window_left_edge_keep(saved_x);
    compact_window_reveal();
}

void windows_drive_find() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    wchar_t letter = folder[0];
    if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
    if (letter >= L'A' && letter <= L'Z') SharedInts[WINDOWS_DRIVE] = letter - 64;
}

void tray_and_disk_device() {
    if (SharedInts[OPT_TRAY_ICON].load() != 1) return;
    tray_add(TRAY_MAIN, WIN_COMPACT, IMAGE_TRAY_ICON, program_title());
    SharedInts[TRAY_ICON_PRESENT] = tray_exists(TRAY_MAIN) ? 1 : 0;
    SharedInts[TRAY_IMAGE] = IMAGE_TRAY_ICON;
    if (SharedInts[OPT_DISK_ACTIVITY_ICON].load() > 0 && DiskActivityHandle.load() == 0) {
        // Opened for device queries only: no access rights, no sharing.
        HANDLE device =
            CreateFileW(shared_text(DISK_ACTIVITY_DEVICE).c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            SharedInts[OPT_DISK_ACTIVITY_ICON] = -1;
        } else {
            DiskActivityHandle = reinterpret_cast<intptr_t>(device);
        }
    }
}

}  // namespace

void program_main() {
    // The runtime and the shared state.
    program_lock_set_main_thread();
    http_global_init();
    gui_init();
    shutdown_block_functions_find();
    shared_tables_init();
    single_instance_messages_register();
    const SharedStateFacts facts = startup_facts_gather();
    shared_state_init(facts);
    data_files_init(program_path(), facts.appdata_folder, date_now());
    program_images_make();
    startup_ui_hooks_install(main_window_ensure_while_loading);

    // Command words and the single-instance rule.
    shared_text_set(COMMAND_LINE, command_line_join(lowered_parameters()));
    const CommandWords words = command_words(shared_text(COMMAND_LINE));
    if (words.shutdown) {
        single_instance_quit_broadcast();
        Sleep(500);
        ExitProcess(0);
    }
    bool taken_over = false;
    if (words.restart) {
        single_instance_quit_broadcast();
        taken_over = single_instance_takeover();
    }
    SharedInts[DARK_MODE] = apps_dark_theme_query();
    if (!single_instance_claim(taken_over)) already_running_notice_and_end();

    // The splash while the rest loads.
    read_desktop_metrics();
    SharedInts[COMPACT_HEIGHT] = 7 * SharedInts[COMPACT_LINE_HEIGHT].load();
    SharedInts[COMPACT_WIDTH] = SPLASH_WIDTH;
    SharedInts[CAPTION_HEIGHT] = GetSystemMetrics(SM_CYCAPTION);
    fonts_load();
    splash_open();

    const int language = language_from_primary(user_primary_language());
    SharedInts[LANGUAGE] = language;
    text_maps_load(language);
    data_files_translate();
    splash_text = language_splash_line(language);
    splash_show_text();

    startup_windows_identify();
    splash_line(L"2-OS: " + shared_text(WINDOWS_NAME) + L" " + std::to_wstring(SharedInts[WINDOWS_BUILD].load()));
    splash_line(L"3-" + tr(L"Loading: Libraries"));
    libraries_load();
    splash_line(L"4-" + tr(L"Loading: PC Hardware"));
    startup_pc_hardware();
    for (int core = 0; core < CPU_CORE_ENTRY_COUNT; ++core)
        CpuCoreTable[core].graph = SharedInts[CORE_GRAPH_START].load() + core;
    shared_text_set(DRIVE_LETTERS_NEW, shared_text(DRIVE_LETTERS));
    SharedInts[DRIVE_COUNT] = static_cast<int32_t>(shared_text(DRIVE_LETTERS).size());

    settings_and_main_window();
    if (window_exists(WIN_MAIN)) main_window_keep_inside();
    settings_applied();
    splash_line(L"6-" + tr(L"Loading: Events"));
    saga_lists_load(saga_file_path());
    control_free(TEXT_SPLASH);
    window_close(WIN_COMPACT);

    // The compact window and the first inventories.
    compact_window_open();
    const std::wstring started = std::wstring(program_name()) + L" v" + version_number() + L" " + tr(L"started");
    event_line_add(LIST_SYSTEM_EVENTS, started);
    event_line_add(LIST_NETWORK_EVENTS, started);
    startup_network_inventory();
    windows_drive_find();
    drive_type_names_fill();
    startup_drive_inventory();
    startup_gpu_inventory();
    compact_window_fit();
    compact_window_layout();

    // The workers, the callback and handlers, the panel, the shortcuts, the tray icon; then the loop.
    startup_monitor_hooks_install();
    startup_worker_threads_start();
    startup_event_handlers_add();
    data_folder_panel_draw(1);
    shortcuts_register();
    tray_and_disk_device();
    event_loop_run();
}
