// The compact window's arithmetic.
#include "ui/compact_layout.h"

#include <algorithm>
#include <cmath>

#include "core/control_numbers.h"
#include "runtime/gui/dpi/dpi_units.h"

namespace {

int round_to_int(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

int cell_x_position(int column, float char_width, int dpi) {
    return dpi_scale(round_to_int(static_cast<double>(column + 30) * char_width), dpi);
}

int cell_y_position(int line, int line_height, int dpi) { return dpi_scale((line - 1) * line_height, dpi); }

CompactCanvasPlace compact_canvas_place(int inner_width, float char_width, int line_height) {
    CompactCanvasPlace place;
    place.width = round_to_int(COMPACT_CANVAS_CHARACTERS * static_cast<double>(char_width));
    place.height = COMPACT_CANVAS_LINES * line_height;
    place.x = round_to_int(inner_width - COMPACT_CANVAS_CHARACTERS * static_cast<double>(char_width) - 1);
    place.y = 1;
    return place;
}

float compact_char_width(int blanks_width_pixels, int dpi) {
    return static_cast<float>(dpi_unscale(blanks_width_pixels, dpi)) / static_cast<float>(COMPACT_CANVAS_CHARACTERS);
}

int compact_line_height(int glyph_height_pixels, int dpi) { return dpi_unscale(glyph_height_pixels, dpi); }

int compact_fit_height(const CompactContent& content) {
    const int lines = content.drive_count - content.drive_alias_count + content.fixed_lines + content.gpu_entries +
                      content.net_lines + content.summary_shown;
    return content.line_height * std::max(lines, 0) + 2;
}

int compact_fit_width(const CompactContent& content) {
    return round_to_int(static_cast<double>(content.char_width) * (content.drive_text_width + COMPACT_FIXED_COLUMNS) +
                        2);
}

CompactFitPlan compact_fit_plan(const CompactFrame& now, int width, int height, bool mode_changed,
                                const CompactWorkArea& area) {
    CompactFitPlan plan;
    plan.frame = now;
    if (now.inner_width + now.inner_height == 0) {
        plan.minimized = true;
        return plan;
    }
    if (height != now.inner_height || mode_changed) {
        plan.frame.inner_height = height;
        plan.change = true;
    }
    if (width != now.inner_width || mode_changed) {
        if (width < now.inner_width) plan.frame.x += now.inner_width - width;  // the right edge stays
        plan.frame.inner_width = width;
        plan.change = true;
    }
    if (area.monitor_count > 0) {
        plan.record = true;
        // A small work area must not push the window above or left of it.
        if (plan.frame.y + height + 7 > area.bottom) {
            plan.frame.y = std::max(area.bottom - height - 120, area.top);
            plan.change = true;
        }
        if (plan.frame.x + width > area.right - 3) {
            plan.frame.x = std::max(area.right - width - 3, area.left);
            plan.change = true;
        }
    }
    return plan;
}

CompactPoint splash_position(const CompactWorkArea& area, int compact_width) {
    return CompactPoint{std::max(area.right - compact_width - 3, area.left),
                        std::max(area.bottom - compact_width - 50, area.top)};
}

CompactPoint compact_start_position(int saved_x, int saved_y, int width, int height, const CompactWorkArea& area) {
    CompactPoint point{saved_x, saved_y};
    if (saved_x == 0 || saved_x + width + 7 > area.right) point.x = std::max(area.right - width - 7, area.left);
    // The default subtracts the width too, leaving room for the lines that the inventories add; on a small
    // work area it stops at the top.
    if (saved_y == 0 || saved_y + height > area.bottom) point.y = std::max(area.bottom - width - height, area.top);
    return point;
}

CompactHit compact_hit(int x_pixels, int y_pixels, float char_width, int line_height, int dpi) {
    CompactHit hit;
    // Before the font is measured there are no cells to hit: line 0 routes nowhere.
    if (!(char_width > 0) || line_height <= 0) return hit;
    const double scale = 96.0 / dpi_sane(dpi);
    hit.column = static_cast<int>(std::floor(x_pixels * scale / char_width)) - 30;
    hit.line = static_cast<int>(std::floor(y_pixels * scale / line_height)) + 1;
    return hit;
}

CompactPoint main_window_position(int saved_x, int saved_y, int current_x, int current_y, int width, int height,
                                  const CompactWorkArea& area) {
    CompactPoint point{saved_x < 1 ? current_x : saved_x, saved_y < 1 ? current_y : saved_y};
    if (point.x > area.right - width) point.x = area.right - width;
    if (point.y > area.bottom - height) point.y = area.bottom - height;
    point.x = std::max(point.x, area.left);
    point.y = std::max(point.y, area.top);
    return point;
}

namespace {

CompactClick tab_click(int tab) { return CompactClick{COMPACT_CLICK_TAB, tab, 0}; }

}  // namespace

CompactClick compact_click_route(const CompactClickFacts& facts) {
    const int c = facts.hit.column;
    const int l = facts.hit.line;
    const auto before_end = [&](int cell) { return c < facts.cell_end[cell]; };
    switch (l) {
        case 1:
            if (before_end(29)) return tab_click(TAB_SYSTEM);
            if (before_end(37)) return CompactClick{COMPACT_CLICK_MINIMIZE, -1, 0};
            if (before_end(38)) return tab_click(TAB_SETTINGS);
            if (before_end(39)) return CompactClick{COMPACT_CLICK_CLOSE, -1, 0};
            return {};
        case 2:
            if (before_end(30)) return tab_click(TAB_PROCESSORS);
            if (before_end(31)) return tab_click(TAB_SYSTEM);
            return {};
        case 3:
            if (before_end(32) || before_end(33)) return tab_click(TAB_SYSTEM);
            return {};
        case 4:
            if (before_end(36)) return facts.ping_shown ? tab_click(TAB_PING) : CompactClick{};
            if (before_end(35)) return tab_click(TAB_STORAGE);
            return {};
        default: break;
    }
    if (l <= facts.fixed_lines || l > 81) return {};
    if (facts.gpu_entries != 0 && l < facts.fixed_lines + facts.gpu_entries + 1) return tab_click(TAB_GRAPHICS);
    if (facts.active_connections != 0 && l < facts.fixed_lines + facts.gpu_entries + facts.active_connections + 1) {
        return tab_click(TAB_NETWORKS);
    }
    const int row = l - facts.fixed_lines - facts.gpu_entries - facts.active_connections;
    if (facts.shift) return CompactClick{COMPACT_CLICK_DRIVE_OPEN, -1, row};
    if (facts.control) return CompactClick{COMPACT_CLICK_DRIVE_CONSOLE, -1, row};
    if (facts.alt) return CompactClick{COMPACT_CLICK_DRIVE_POWERSHELL, -1, row};
    return tab_click(TAB_STORAGE);
}

int compact_wheel_font_size(int size, int wheel, bool control_held) {
    if (!control_held) return size;
    if (wheel > 0) return size < 26 ? size + 1 : size;
    return size > 10 ? size - 1 : size;
}
