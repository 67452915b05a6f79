// The compact window's cells: values, drawing when a value changed, layout, fitting, font and mode. The
// window system is reached through the installed surface, so this logic runs (and is tested) anywhere.
#include "ui/compact_window.h"

#include <mutex>
#include <string>
#include <vector>

#include "core/data_block.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/window_positions.h"
#include "runtime/text.h"
#include "ui/compact_window_surface.h"

namespace {

// Set once at start-up, before any worker runs; only read afterwards.
CompactSurface surface_in_use;

bool valid_cell(int cell) { return cell >= 0 && cell < COMPACT_CELL_COUNT; }

float char_width() { return SharedFloats[COMPACT_CHAR_WIDTH].load(); }
int line_height() { return SharedInts[COMPACT_LINE_HEIGHT].load(); }

// Under CellDrawMutex.
void place_cell(CompactCell& cell) {
    cell.x = cell_x_position(cell.column, char_width(), surface_in_use.dpi);
    cell.y = cell_y_position(cell.line, line_height(), surface_in_use.dpi);
}

// The label and the value, padded with blanks to the cell's width so that a shorter value covers all of
// the longer one drawn before it.
CompactPaint paint_of(const CompactCell& cell) {
    std::wstring text = cell.label.str() + cell.value_text.str();
    if (cell.width > 0 && text.size() < static_cast<size_t>(cell.width))
        text.resize(static_cast<size_t>(cell.width), L' ');
    return CompactPaint{cell.x, cell.y, std::move(text), cell.text_color, cell.back_color};
}

bool paint(const std::vector<CompactPaint>& cells, bool clear) {
    return surface_in_use.paint && surface_in_use.paint(cells, clear);
}

bool window_frame(CompactFrame* frame) { return surface_in_use.window_frame && surface_in_use.window_frame(frame); }

// Under CellDrawMutex.
void canvas_follow(const CompactFrame& frame) {
    if (frame.inner_width <= 0 || !surface_in_use.canvas_place) return;
    surface_in_use.canvas_place(compact_canvas_place(frame.inner_width, char_width(), line_height()));
}

bool measure_font() {
    int blanks = 0;
    int glyph = 0;
    if (!surface_in_use.font_measure || !surface_in_use.font_measure(&blanks, &glyph)) return false;
    SharedFloats[COMPACT_CHAR_WIDTH] = compact_char_width(blanks, surface_in_use.dpi);
    SharedInts[COMPACT_LINE_HEIGHT] = compact_line_height(glyph, surface_in_use.dpi);
    return true;
}

// The cells of a redraw group, in cell order.
bool group_range(int group, int* first, int* last) {
    switch (group) {
        case CELL_GROUP_DRIVES:
            *first = CELL_DRIVE_SUMMARY;
            *last = CELL_DRIVE_LAST;
            return true;
        case CELL_GROUP_FIXED:
            *first = CELL_FIXED_FIRST;
            *last = CELL_FIXED_LAST;
            return true;
        case CELL_GROUP_GPUS:
            *first = CELL_GPU_FIRST;
            *last = CELL_GPU_LAST;
            return true;
        case CELL_GROUP_NETWORK:
            *first = CELL_NETWORK_FIRST;
            *last = CELL_NETWORK_LAST;
            return true;
        default: return false;
    }
}

}  // namespace

void compact_surface_set(const CompactSurface& surface) { surface_in_use = surface; }

void cell_value_set(int cell, std::wstring_view text) {
    if (!valid_cell(cell)) return;
    std::lock_guard guard(CellDrawMutex);
    CompactCells[cell].value_text = text;
}

void cell_draw(int cell, CellDrawForce force) {
    if (!valid_cell(cell)) return;
    // The comparison is made under the lock too: another thread may be writing the texts.
    std::lock_guard guard(CellDrawMutex);
    CompactCell& entry = CompactCells[cell];
    if (!force && entry.drawn_text == entry.value_text) return;
    paint({paint_of(entry)}, false);
    entry.drawn_text = entry.value_text.view();  // also when nothing could be drawn
}

void cell_show(int cell, std::wstring_view text) {
    if (!valid_cell(cell)) return;
    std::lock_guard guard(CellDrawMutex);
    CompactCell& entry = CompactCells[cell];
    entry.value_text = text;
    if (entry.drawn_text == entry.value_text) return;
    paint({paint_of(entry)}, false);
    entry.drawn_text = entry.value_text.view();
}

void cell_group_redraw(int first_cell) {
    int first = 0;
    int last = 0;
    if (!group_range(first_cell, &first, &last)) return;
    std::lock_guard guard(CellDrawMutex);
    std::vector<int> changed;
    std::vector<CompactPaint> paints;
    for (int cell = first; cell <= last; ++cell) {
        const CompactCell& entry = CompactCells[cell];
        if (first_cell == CELL_GROUP_DRIVES && (entry.shown != CELL_SHOWN || entry.drive_row == 0)) continue;
        if (entry.shown == CELL_HIDDEN || entry.drawn_text == entry.value_text) continue;
        changed.push_back(cell);
        paints.push_back(paint_of(entry));
    }
    if (paints.empty() || !paint(paints, false)) return;
    for (const int cell : changed) CompactCells[cell].drawn_text = CompactCells[cell].value_text.view();
}

void compact_window_layout() {
    std::lock_guard guard(CellDrawMutex);
    CompactFrame frame;
    if (window_frame(&frame)) canvas_follow(frame);
    std::vector<int> drawn;
    std::vector<CompactPaint> paints;
    const auto add = [&](int cell) {
        drawn.push_back(cell);
        paints.push_back(paint_of(CompactCells[cell]));
    };
    // Every cell between the drives and the GPUs: the fixed cells and the two spare ones beside them.
    for (int cell = CELL_DRIVE_LAST + 1; cell < CELL_GPU_FIRST; ++cell) {
        if (CompactCells[cell].shown != CELL_HIDDEN) add(cell);
    }
    int line = SharedInts[COMPACT_FIXED_LINES].load();
    for (int cell = CELL_GPU_FIRST; cell <= CELL_NETWORK_LAST; ++cell) {
        CompactCell& entry = CompactCells[cell];
        if (entry.shown == CELL_HIDDEN) continue;
        entry.line = ++line;
        entry.column = 1;
        place_cell(entry);
        add(cell);
    }
    const int drive_column = 1 - SharedInts[DRIVE_TEXT_WIDTH].load();
    for (int cell = CELL_DRIVE_SUMMARY; cell <= CELL_DRIVE_LAST; ++cell) {
        CompactCell& entry = CompactCells[cell];
        if (entry.shown != CELL_SHOWN || entry.drive_row == 0) continue;
        entry.line = line + entry.drive_row;
        entry.column = drive_column;
        place_cell(entry);
        add(cell);
    }
    if (!paint(paints, true)) return;
    for (const int cell : drawn) CompactCells[cell].drawn_text = CompactCells[cell].value_text.view();
}

void compact_window_fit() {
    if (surface_in_use.desktop_refresh) surface_in_use.desktop_refresh();
    CompactContent content;
    content.line_height = line_height();
    content.char_width = char_width();
    content.drive_count = SharedInts[DRIVE_COUNT].load();
    content.drive_alias_count = SharedInts[DRIVE_ALIAS_COUNT].load();
    content.fixed_lines = SharedInts[COMPACT_FIXED_LINES].load();
    content.gpu_entries = SharedInts[GPU_ENTRY_COUNT].load();
    content.net_lines = SharedInts[NET_LINES].load();
    {
        // The drive watcher writes the summary cell's state under the lock.
        std::lock_guard guard(CellDrawMutex);
        content.summary_shown = CompactCells[CELL_DRIVE_SUMMARY].shown != CELL_HIDDEN ? 1 : 0;
    }
    content.drive_text_width = SharedInts[DRIVE_TEXT_WIDTH].load();
    const int height = compact_fit_height(content);
    const int width = compact_fit_width(content);
    SharedInts[COMPACT_HEIGHT] = height;
    SharedInts[COMPACT_WIDTH] = width;

    CompactFrame now;
    if (window_frame(&now)) {
        CompactWorkArea area;
        area.monitor_count = SharedInts[MONITOR_COUNT].load();
        area.right = SharedInts[WORKAREA_WIDTH].load();
        area.bottom = SharedInts[WORKAREA_HEIGHT].load();
        if (surface_in_use.work_area_origin) surface_in_use.work_area_origin(&area.left, &area.top);
        const bool mode_changed = SharedInts[COMPACT_MODE_APPLIED].load() != SharedInts[OPT_BORDERLESS].load();
        const CompactFitPlan plan = compact_fit_plan(now, width, height, mode_changed, area);
        SharedInts[COMPACT_RELAYOUT_REQUEST] = plan.minimized ? 1 : 0;
        if (!plan.minimized) {
            if (plan.change && surface_in_use.window_place) surface_in_use.window_place(plan.frame);
            if (plan.record) {
                SharedInts[COMPACT_X] = plan.frame.x;
                SharedInts[COMPACT_Y] = plan.frame.y;
                if (surface_in_use.positions_show)
                    surface_in_use.positions_show(window_positions_display(window_positions_current()));
            }
        }
    }
    SharedInts[NET_READ_COUNTDOWN] = 0;
}

void compact_font_apply() {
    if (SharedInts[COMPACT_FONT_APPLIED].load() == SharedInts[COMPACT_FONT_SIZE].load()) return;
    std::lock_guard guard(CellDrawMutex);
    SharedInts[COMPACT_FONT_APPLIED] = SharedInts[COMPACT_FONT_SIZE].load();
    if (surface_in_use.font_load) surface_in_use.font_load(SharedInts[COMPACT_FONT_APPLIED].load());
    if (!measure_font()) return;
    for (int cell = CELL_FIXED_FIRST; cell <= CELL_FIXED_LAST; ++cell) place_cell(CompactCells[cell]);
}

bool compact_font_measure() {
    std::lock_guard guard(CellDrawMutex);
    if (!measure_font()) return false;
    for (int cell = CELL_FIXED_FIRST; cell <= CELL_FIXED_LAST; ++cell) place_cell(CompactCells[cell]);
    CompactFrame frame;
    if (window_frame(&frame)) canvas_follow(frame);
    return true;
}

void compact_mode_toggle() {
    std::lock_guard guard(CellDrawMutex);
    const bool compact = SharedInts[OPT_BORDERLESS].load() != 0;
    CompactCell& physical = CompactCells[CELL_PHYSICAL];
    CompactCell& pagefile = CompactCells[CELL_PAGEFILE];
    physical.label = compact ? std::wstring() : physical.label_key.str() + L":";
    physical.width = compact ? 10 : 15;
    pagefile.label = compact ? std::wstring() : pagefile.label_key.str() + L":";
    pagefile.column = compact ? 11 : 16;
    pagefile.width = compact ? 10 : 14;
    place_cell(pagefile);
    for (int cell = CELL_MINIMIZE; cell <= CELL_CLOSE; ++cell)
        CompactCells[cell].shown = compact ? CELL_SHOWN : CELL_HIDDEN;
    if (surface_in_use.window_caption_set) surface_in_use.window_caption_set(!compact);
    // Fitted while the applied mode still differs, so the inner size is set anew around the new frame.
    compact_window_fit();
    SharedInts[COMPACT_MODE_APPLIED] = compact ? 1 : 0;
}

void compact_cells_setup() {
    // The drive names and the labels first: CellDrawMutex is never held together with another lock.
    {
        std::lock_guard drives(DriveTableLock);
        for (int drive = CELL_DRIVE_FIRST; drive <= CELL_DRIVE_LAST; ++drive) {
            const std::wstring letter(1, static_cast<wchar_t>(L'A' + drive - CELL_DRIVE_FIRST));
            DriveTable[drive].drive_name = letter + L":";
            DriveTable[drive].letter = letter;
        }
    }
    const std::vector<std::wstring> labels = text_split(shared_text(COMPACT_LABELS), L',');
    std::lock_guard guard(CellDrawMutex);
    DataBlockCursor cursor = data_block_cursor(DATA_CELL_TEMPLATES);
    for (int row = 0; row < COMPACT_CELL_COUNT; ++row) {
        int32_t fields[DATA_CELL_TEMPLATE_FIELDS];
        for (int32_t& field : fields) field = data_block_read_int32(cursor);
        const int cell = fields[0];
        if (cell == -1) break;
        if (!valid_cell(cell)) continue;
        CompactCell& entry = CompactCells[cell];
        entry.shown = CELL_SHOWN;
        entry.line = fields[1];
        entry.column = fields[2];
        entry.width = fields[3];
        entry.text_color = fields[4];
        entry.back_color = fields[5];
        place_cell(entry);
        const int field = cell - CELL_GROUP_FIXED;
        const std::wstring label =
            field >= 1 && field <= static_cast<int>(labels.size()) ? labels[field - 1] : std::wstring();
        entry.label = label;
        entry.label_key = label;
        if (!label.empty() && label[0] != L'[') {
            const std::wstring& shown = tr_padded(label);
            entry.label = (shown.empty() ? label : shown) + L":";
        }
        if (cell == CELL_CPU) entry.value_text = L" " + tr_padded(L"Calculating   ");
    }
}

CompactHit compact_window_hit(int x_pixels, int y_pixels) {
    std::lock_guard guard(CellDrawMutex);
    return compact_hit(x_pixels, y_pixels, char_width(), line_height(), surface_in_use.dpi);
}

void compact_canvas_follow_window() {
    std::lock_guard guard(CellDrawMutex);
    CompactFrame frame;
    if (window_frame(&frame)) canvas_follow(frame);
}
