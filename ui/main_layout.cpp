// The main window's size rule, the page layout values, the page fonts' sizes and the tab word.
#include "ui/main_layout.h"

#include <algorithm>
#include <cmath>

#include "core/control_numbers.h"
#include "runtime/gui/dpi/dpi_units.h"

namespace {

bool has_word(std::wstring_view command_line, std::wstring_view word) {
    return command_line.find(word) != std::wstring_view::npos;
}

// Lower case for the letters a tab caption can hold: ASCII and the Latin-1 capitals ("Über").
std::wstring caption_lower(std::wstring_view text) {
    std::wstring lowered(text);
    for (wchar_t& c : lowered) {
        if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<wchar_t>(c + 0x20);
    }
    return lowered;
}

std::wstring blanks_trimmed(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const size_t last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace

MainWindowSize main_window_size(std::wstring_view command_line, const DesktopFacts& desktop, int width_step,
                                int height_step) {
    width_step = std::clamp(width_step, 0, MAIN_SIZE_STEPS);
    height_step = std::clamp(height_step, 0, MAIN_SIZE_STEPS);
    const int64_t monitor_width = std::max(desktop.monitor_width, 0);
    const int64_t monitor_height = std::max(desktop.monitor_height, 0);
    int64_t width = 0;
    int64_t height = 0;
    if (has_word(command_line, L"minsize")) {
        width = MAIN_MIN_WIDTH;
        height = MAIN_MIN_HEIGHT;
    } else if (has_word(command_line, L"maxsize")) {
        width = monitor_width;
        height = monitor_height;
    } else {
        width = has_word(command_line, L"maxwidth") ? monitor_width : monitor_width * (4 * width_step + 40) / 100;
        height = has_word(command_line, L"maxheight") ? monitor_height : monitor_height * (4 * height_step + 40) / 100;
    }
    const int caption_pixels = std::max(desktop.caption_height, 0);
    if (width > MAIN_MAX_PIXELS) width = MAIN_MAX_PIXELS;
    if (height > MAIN_MAX_PIXELS) height = MAIN_MAX_PIXELS - caption_pixels;
    const int caption = dpi_unscale(caption_pixels, desktop.dpi);
    MainWindowSize size;
    size.width = dpi_unscale(static_cast<int>(width), desktop.dpi);
    size.height = dpi_unscale(static_cast<int>(height), desktop.dpi) - caption;
    if (size.width < MAIN_MIN_WIDTH) size.width = MAIN_MIN_WIDTH;
    if (size.height < MAIN_MIN_HEIGHT + caption) size.height = MAIN_MIN_HEIGHT;
    // A window taller or wider than the monitor would hide part of every page.
    if (monitor_width > 0 && monitor_height > 0) {
        // Whole units that fit, rounded down: a unit more would be a pixel too many.
        const int64_t dpi = dpi_sane(desktop.dpi);
        const int room_width = static_cast<int>((monitor_width - std::max(desktop.frame_width, 0)) * 96 / dpi);
        const int room_height =
            static_cast<int>((monitor_height - caption_pixels - std::max(desktop.frame_height, 0)) * 96 / dpi);
        size.width = std::max(std::min(size.width, room_width), 1);
        size.height = std::max(std::min(size.height, room_height), 1);
    }
    return size;
}

int scaled_units(float scale, double n) { return static_cast<int>(std::lround(static_cast<double>(scale) * n)); }

PanelLayout panel_layout(int page_width, int page_height, int dpi) {
    PanelLayout layout;
    layout.panel_height = page_height - 1;
    layout.panel_width = page_width - 4;
    const float by_height = static_cast<float>(layout.panel_height) / 520.0f;
    layout.tabs_scale = static_cast<float>(layout.panel_width) / 786.0f;
    layout.settings_scale = std::min(by_height, layout.tabs_scale);
    layout.settings_scale = std::min(layout.settings_scale, 1.5f);
    layout.tabs_scale = std::min(layout.tabs_scale, 1.5f);
    layout.history_length = std::max(dpi_scale(layout.panel_width, dpi), 1);
    // The side column is sized in units like every control it holds, so the page looks the same at any DPI;
    // below SIDE_COLUMN_MIN_WIDTH units its lists' rows (time stamp, amount, percentage) no longer fit their columns.
    const int side = layout.panel_width * 35 / 100;  // in whole numbers: the same result on every processor
    layout.side_column_width = std::min(std::clamp(side, SIDE_COLUMN_MIN_WIDTH, 333), layout.panel_width / 2);
    layout.left_margin = 2;
    layout.graph_column_width = layout.panel_width - layout.side_column_width - layout.left_margin;
    layout.side_column_x = layout.panel_width - layout.side_column_width + layout.left_margin;
    return layout;
}

int settings_font_points(float settings_scale) {
    if (settings_scale >= 1.5f) return 12;
    if (settings_scale >= 1.4f) return 11;
    if (settings_scale >= 1.3f) return 10;
    if (settings_scale >= 1.2f) return 9;
    return 8;
}

int about_font_points(float settings_scale) { return settings_font_points(settings_scale) + 4; }

int tab_from_command_line(const std::vector<std::wstring>& captions, std::wstring_view command_line) {
    for (size_t tab = 0; tab < captions.size(); ++tab) {
        const std::wstring word = caption_lower(blanks_trimmed(captions[tab]));
        if (!word.empty() && has_word(command_line, word)) return static_cast<int>(tab);
    }
    return -1;
}

std::wstring tab_caption(int tab, std::wstring_view word) {
    const std::wstring_view blanks = tab == TAB_PING ? L"  " : L" ";
    std::wstring caption(blanks);
    caption += word;
    caption += blanks;
    return caption;
}
