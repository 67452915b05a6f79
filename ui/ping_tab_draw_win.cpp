// Draws the Ping tab's list and status line on their canvases, from copies taken under PingListMutex.
#include "ui/ping_tab_draw.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/scroll_area/scroll_area.h"
#include "runtime/gui/window/window.h"
#include "ui/ping_tab_view.h"

namespace {

constexpr int MESSAGE_HOLD_SECONDS = 15;
constexpr int CANVAS_SPARE_ROWS = 50;
constexpr int TIMELINE_GAP = 5;  // pixels between the row text and the timeline
constexpr int FONT_SIZE_FIRST = 9;

// Which canvas picture a memory describes: a recreated or resized canvas is drawn anew.
struct CanvasKey {
    intptr_t handle = 0;
    int width = 0;
    int height = 0;
    int row_height = 0;  // follows the list font
    bool operator==(const CanvasKey&) const = default;
};

// The list is painted only where it can be seen: a picture of the whole list (megabytes with a long list)
// painted while the Ping tab is not shown would be memory and work for nothing. The tab's redraw when it is
// shown paints it (the visible-tab redraw calls the list draw).
bool ping_page_shown() { return window_visible(WIN_MAIN) && panel_tab_selected(PANEL_MAIN) == TAB_PING; }

CanvasKey canvas_key(int canvas) {
    CanvasKey key;
    key.handle = control_handle(canvas);
    canvas_pixel_size(canvas, &key.width, &key.height);
    key.row_height = SharedInts[PING_ROW_HEIGHT].load();
    return key;
}

// What each canvas shows now. Each lock is held across its canvas's drawing only, after PingListMutex
// (when the caller holds that at all), and never around any wait for the main thread.
std::mutex list_memory_lock;
bool list_drawn = false;
CanvasKey list_drawn_key;
PingListFrame list_drawn_frame;

struct StatusMemory {
    CanvasKey key;
    bool left_valid = false;
    std::wstring left_text;
    uint32_t left_color = 0;
    bool span_valid = false;
    Date first = 0;
    Date newest = 0;
    int span_x = 0;
    int span_width = 0;
};
std::mutex status_memory_lock;
StatusMemory status_drawn;

PingRowWords row_words() { return PingRowWords{tr(L"Paused"), tr(L" Down ")}; }

// A list whose picture could not be made at its whole size (a very long list with a large font, and not enough
// memory) is drawn as far as the picture reaches. The user is told once each time that begins: in the Network
// Events and on the status line.
std::atomic<bool> picture_short_told{false};

void picture_short_check() {
    if (!canvas_picture_short(CANVAS_PING_LIST)) {
        picture_short_told = false;
        return;
    }
    if (picture_short_told.exchange(true)) return;
    int width = 0;
    int height = 0;
    canvas_pixel_size(CANVAS_PING_LIST, &width, &height);
    size_t count = 0;
    {
        std::lock_guard hosts(PingListMutex);
        count = PingHostList.size();
    }
    const int row_height = std::max(1, SharedInts[PING_ROW_HEIGHT].load());
    const size_t drawn = std::min(count, static_cast<size_t>(std::max(0, height / row_height)));
    const std::wstring text = L"Not enough memory to draw the whole Ping list: " + std::to_wstring(drawn) + L" of " +
                              std::to_wstring(count) + L" hosts are drawn";
    event_line_add(LIST_NETWORK_EVENTS, text);
    ping_status_line_draw(text);
}

void rect_fill(HDC dc, int x, int y, int width, int height, uint32_t color) {
    if (width <= 0 || height <= 0) return;
    const RECT box{x, y, x + width, y + height};
    if (const HBRUSH brush = CreateSolidBrush(color)) {
        FillRect(dc, &box, brush);
        DeleteObject(brush);
    }
}

void text_draw(HDC dc, int x, int y, const std::wstring& text, uint32_t color, uint32_t back) {
    SetTextColor(dc, color);
    SetBkColor(dc, back);
    SetBkMode(dc, OPAQUE);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

int text_width(HDC dc, std::wstring_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A colour as a pixel of a 32-bit device-independent bitmap (red in the third byte, where a colour value
// holds it in the first).
uint32_t dib_pixel(uint32_t color) { return (color & 0x00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu); }

// One host's timeline in (x, y, width, height): black, a grey rule under it, dark blue where no sample
// reaches, and one column per shown sample ending at the right edge. Drawn into `pixels` first and put on
// the canvas in one call: a brush and a fill per sample column cost a call each into the graphics layer,
// tens of thousands a round for a long list.
void ping_timeline_draw(HDC dc, int x, int y, int width, int height, const PingRowFrame& row, const PingListLook& look,
                        std::vector<uint32_t>& pixels) {
    if (width <= 0 || height <= 0) return;
    const auto w = static_cast<std::size_t>(width);
    const int lines = height + 1;  // the rule is the last line
    pixels.assign(w * static_cast<std::size_t>(lines), dib_pixel(PING_COLOR_TIMELINE));
    std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(w * static_cast<std::size_t>(height)), pixels.end(),
              dib_pixel(PING_COLOR_TIMELINE_RULE));
    const PingTimelineSpan span = ping_timeline_span(row.sample_count, width);
    const int empty = std::clamp(span.empty_columns, 0, width);
    const uint32_t no_samples = dib_pixel(PING_COLOR_NO_SAMPLES);
    for (int line = 0; line < height; ++line) {
        const auto start = pixels.begin() + static_cast<std::ptrdiff_t>(w * static_cast<std::size_t>(line));
        std::fill(start, start + empty, no_samples);
    }
    // The frame holds the newest timeline_width samples; a narrower rectangle shows the newest of those.
    const std::size_t skip = row.samples.size() - std::min(row.samples.size(), span.shown);
    for (std::size_t i = skip; i < row.samples.size(); ++i) {
        const PingColumnPaint paint = ping_column_paint(row.samples[i], look.slow_ms, look.full_timeline, height);
        if (!paint.drawn) continue;
        const int column = empty + static_cast<int>(i - skip);
        if (column < 0 || column >= width) continue;
        const uint32_t pixel = dib_pixel(paint.color);
        for (int line = height - std::clamp(paint.bar_height, 0, height); line < height; ++line)
            pixels[w * static_cast<std::size_t>(line) + static_cast<std::size_t>(column)] = pixel;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -lines;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(lines), 0, 0, 0, static_cast<UINT>(lines),
                      pixels.data(), &info, DIB_RGB_COLORS);
}

// The status line is one list row high (its text sits 1 pixel down, as in the rows), so a larger list font
// does not cut its text; the list below gives up or takes the difference and keeps its bottom edge.
void status_line_fit(int row_height) {
    const int wanted = gui_unscale(row_height);
    int pixel_width = 0;
    int pixel_height = 0;
    // The picture's size changes at once, also from a worker, where the window's own moves later.
    if (wanted <= 0 || !canvas_pixel_size(CANVAS_PING_STATUS, &pixel_width, &pixel_height) ||
        pixel_height == gui_scale(wanted)) {
        return;
    }
    int x = 0;
    int status_y = 0;
    int width = 0;
    int list_y = 0;
    int list_height = 0;
    if (!control_geometry(CANVAS_PING_STATUS, &x, &status_y, &width, nullptr) ||
        !control_geometry(SCROLL_PING_LIST, &x, &list_y, &width, &list_height)) {
        return;
    }
    // Both edges stay where the page put them: the status line's top and the list's bottom.
    const int list_bottom = list_y + list_height;
    const int list_top = status_y + wanted;
    if (list_bottom - list_top < wanted) return;  // no room left for a row of the list
    canvas_resize(CANVAS_PING_STATUS, GUI_KEEP, GUI_KEEP, GUI_KEEP, wanted);
    control_move(SCROLL_PING_LIST, GUI_KEEP, list_top, GUI_KEEP, list_bottom - list_top);
}

}  // namespace

void ping_list_draw() {
    if (!window_exists(WIN_MAIN)) return;
    PingListLook look;
    look.row_height = SharedInts[PING_ROW_HEIGHT].load();
    look.timeline_x = SharedInts[PING_TIMELINE_X].load();
    look.timeline_width = SharedInts[PING_TIMELINE_WIDTH].load();
    look.slow_ms = SharedInts[PING_SLOW_MS].load();
    look.background = static_cast<uint32_t>(SharedInts[LIST_BACKGROUND_COLOR].load());
    look.full_timeline = SharedInts[OPT_PING_TIMELINE_FULL].load() != 0;
    const PingRowWords words = row_words();
    PingListFrame frame;
    {
        std::lock_guard hosts(PingListMutex);
        frame = ping_list_frame(PingHostList, look, words);
    }
    SharedInts[PING_UP_COUNT] = frame.up_count;
    SharedInts[PING_DOWN_COUNT] = frame.down_count;
    if (!frame.rows.empty()) {
        SharedInts[PING_MOST_SAMPLES] = static_cast<int32_t>(frame.most_samples);
        SharedInts[PING_MOST_SAMPLES_ROW] = frame.most_samples_row;
    }

    if (!ping_page_shown()) return;
    {
        std::lock_guard memory(list_memory_lock);
        const CanvasKey key = canvas_key(CANVAS_PING_LIST);
        if (list_drawn && key == list_drawn_key && frame == list_drawn_frame) return;
        CanvasDraw draw(CANVAS_PING_LIST);
        if (!draw) return;
        const HDC dc = draw.dc();
        rect_fill(dc, 0, 0, draw.width(), draw.height(), look.background);
        const auto font = reinterpret_cast<HFONT>(font_handle(FONT_PING_LIST));
        if (font) SelectObject(dc, font);
        std::vector<uint32_t> pixels;
        for (std::size_t i = 0; i < frame.rows.size(); ++i) {
            const PingRowFrame& row = frame.rows[i];
            const int top = static_cast<int>(i) * look.row_height;
            if (top >= draw.height()) break;  // a picture shorter than the list: the rest cannot be seen
            text_draw(dc, 2, top + 1, row.text, row.colors.text, row.colors.back);
            ping_timeline_draw(dc, look.timeline_x, top, look.timeline_width, look.row_height - 1, row, look, pixels);
        }
        list_drawn = true;
        list_drawn_key = key;
        list_drawn_frame = std::move(frame);
    }
    picture_short_check();
}

void ping_status_line_draw(std::wstring_view message) {
    if (!window_exists(WIN_MAIN)) return;
    const int timeline_x = SharedInts[PING_TIMELINE_X].load();
    const int span_width = SharedInts[PING_STATUS_SPAN_WIDTH].load();
    bool list_empty = true;
    bool span_wanted = false;
    Date first = 0;
    Date newest = 0;
    {
        std::lock_guard hosts(PingListMutex);
        list_empty = PingHostList.empty();
        span_wanted = !list_empty && span_width > SharedInts[PING_DATE_TEXT_WIDTH].load() &&
                      ping_span_dates(PingHostList, SharedInts[PING_MOST_SAMPLES_ROW].load(),
                                      SharedInts[PING_TIMELINE_WIDTH].load(), &first, &newest);
    }

    bool left_wanted = true;
    std::wstring left_text;
    uint32_t left_color = PING_COLOR_MESSAGE;
    if (!message.empty()) {
        left_text = ping_status_message_text(message, SharedInts[PING_HEADER_LENGTH].load());
        SharedQuads[PING_MESSAGE_UNTIL] = date_now() + MESSAGE_HOLD_SECONDS;
    } else if (SharedQuads[PING_MESSAGE_UNTIL].load() == 0) {
        if (!list_empty) {
            left_text = shared_text(PING_HEADER_TEXT);
            left_color = PING_COLOR_HEADER;
        } else {
            left_text = tr(L"Ready") + L".";
        }
    } else {
        left_wanted = false;  // the held message stays
    }

    std::lock_guard memory(status_memory_lock);
    const CanvasKey key = canvas_key(CANVAS_PING_STATUS);
    const bool same_canvas = key == status_drawn.key;
    const bool left_redraw =
        left_wanted && !(same_canvas && status_drawn.left_valid && status_drawn.left_text == left_text &&
                         status_drawn.left_color == left_color);
    // Filling the left part whitens the whole line, the span included.
    const bool span_redraw =
        span_wanted && (left_redraw || !(same_canvas && status_drawn.span_valid && status_drawn.first == first &&
                                         status_drawn.newest == newest && status_drawn.span_x == timeline_x &&
                                         status_drawn.span_width == span_width));
    if (!left_redraw && !span_redraw) return;
    CanvasDraw draw(CANVAS_PING_STATUS);
    if (!draw) return;
    const HDC dc = draw.dc();
    const auto font = reinterpret_cast<HFONT>(font_handle(FONT_PING_LIST));
    if (font) SelectObject(dc, font);
    if (!same_canvas) status_drawn = StatusMemory{};
    status_drawn.key = key;
    if (left_redraw) {
        rect_fill(dc, 0, 0, draw.width(), draw.height(), PING_COLOR_STATUS_BACK);
        text_draw(dc, 4, 1, left_text, left_color, PING_COLOR_STATUS_BACK);
        status_drawn.left_valid = true;
        status_drawn.left_text = left_text;
        status_drawn.left_color = left_color;
        status_drawn.span_valid = false;
    }
    if (span_redraw) {
        const std::wstring first_text = ping_span_text(0, first, PingSpanForm::NEWEST_ONLY);
        PingSpanForm form = PingSpanForm::NEWEST_ONLY;
        if (span_width > text_width(dc, first_text + std::wstring(PING_SPAN_MEASURE_DURATION))) {
            form = PingSpanForm::WITH_DURATION;
        } else if (span_width > text_width(dc, first_text + std::wstring(PING_SPAN_MEASURE_DATES))) {
            form = PingSpanForm::BOTH_DATES;
        }
        const std::wstring span = ping_span_text(first, newest, form);
        rect_fill(dc, timeline_x, 0, span_width, draw.height(), PING_COLOR_STATUS_BACK);
        text_draw(dc, timeline_x + (span_width - text_width(dc, span)) / 2 + 2, 1, span, PING_COLOR_HEADER,
                  PING_COLOR_STATUS_BACK);
        status_drawn.span_valid = true;
        status_drawn.first = first;
        status_drawn.newest = newest;
        status_drawn.span_x = timeline_x;
        status_drawn.span_width = span_width;
    }
}

void ping_canvas_grow(bool force) {
    int count = 0;
    {
        std::lock_guard hosts(PingListMutex);
        count = static_cast<int>(PingHostList.size());
    }
    const int row_height = SharedInts[PING_ROW_HEIGHT].load();
    if (count > SharedInts[PING_CANVAS_ROWS].load() || force) {
        SharedInts[PING_CANVAS_ROWS] = count + CANVAS_SPARE_ROWS;
        canvas_resize(CANVAS_PING_LIST, GUI_KEEP, GUI_KEEP, GUI_KEEP,
                      gui_unscale(row_height * (count + CANVAS_SPARE_ROWS) + 1));
    }
    scroll_area_inner_size_set(SCROLL_PING_LIST, GUI_KEEP, gui_unscale(row_height * count + 1));
    picture_short_check();
}

void ping_layout_measure() {
    if (!window_exists(WIN_MAIN)) return;
    const std::wstring header = shared_text(PING_HEADER_TEXT);
    const int header_length = SharedInts[PING_HEADER_LENGTH].load();
    int row_height = 0;
    {
        CanvasDraw draw(CANVAS_PING_STATUS);
        if (!draw) return;
        const HDC dc = draw.dc();
        const auto font = reinterpret_cast<HFONT>(font_handle(FONT_PING_LIST));
        if (font) SelectObject(dc, font);
        SIZE header_size{};
        GetTextExtentPoint32W(dc, header.c_str(), static_cast<int>(header.size()), &header_size);
        row_height = header_size.cy + 2;
        const int blanks = text_width(dc, std::wstring(static_cast<std::size_t>(std::max(0, header_length)), L' '));
        int list_width = 0;
        int list_height = 0;
        canvas_pixel_size(CANVAS_PING_LIST, &list_width, &list_height);
        SharedInts[PING_ROW_HEIGHT] = row_height;
        SharedInts[PING_CHAR_WIDTH] = text_width(dc, L"A");
        SharedInts[PING_TIMELINE_X] = blanks + TIMELINE_GAP;
        SharedInts[PING_TIMELINE_WIDTH] =
            std::clamp(list_width - blanks - TIMELINE_GAP, 1, std::max(1, SharedInts[PING_SAMPLES_MAX].load()));
        SharedInts[PING_STATUS_SPAN_WIDTH] = draw.width() - (blanks + TIMELINE_GAP);
        SharedInts[PING_DATE_TEXT_WIDTH] = text_width(dc, L"%mm-%dd %hh:%ii:%ss");
    }
    scroll_area_step_set(SCROLL_PING_LIST, row_height);
    status_line_fit(row_height);
}

void ping_list_font_apply(int size) {
    font_free(FONT_PING_LIST);
    font_load(FONT_PING_LIST, L"Lucida Console", size, FONT_STYLE_HIGH_QUALITY);
    if (control_exists(COMBO_PING_FONT_SIZE)) combo_box_select(COMBO_PING_FONT_SIZE, size - FONT_SIZE_FIRST);
    ping_layout_measure();
}

void ping_list_scroll_to_end() {
    if (control_exists(SCROLL_PING_LIST)) scroll_area_scroll_to(SCROLL_PING_LIST, GUI_KEEP, 99999);
}

void ping_tab_draw_lists() {
    ping_status_line_draw(L"");
    ping_list_draw();
}
