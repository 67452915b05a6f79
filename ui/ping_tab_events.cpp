// The Ping tab's control events turned into request elements of the shared state.
#include "ui/ping_tab_events.h"

#include <array>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "ui/ping_toolbar.h"

namespace {

constexpr int FONT_SIZE_MIN = 9;
constexpr int FONT_SIZE_MAX = 28;
constexpr int LAST_DOWN_COLUMN = 62;  // pointer columns right of it read out the last-down date

// Requests carry no data of their own; data written before one is seen by the monitor with it.
void request_set(SharedIntIndex index, int32_t value) { SharedInts[index].store(value, std::memory_order_release); }

bool range_mode(int mode) { return mode == PING_MODE_RANGE || mode == PING_MODE_RANGE_KEEP_ACTIVE; }

// The decimal value of field `index` (0-based) of a comma list; -1 when there is none.
int comma_field(const std::wstring& list, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = list.find(L',', start);
        if (start == std::wstring::npos) return -1;
        ++start;
    }
    const std::size_t end = list.find(L',', start);
    const std::wstring field = list.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (field.empty() || field.size() > 6 || field.find_first_not_of(L"0123456789") != std::wstring::npos) return -1;
    return std::stoi(field);
}

// Where x lies in a row: its text, its timeline, or right of the timeline.
enum class RowZone : uint8_t { TEXT, TIMELINE, RIGHT };
RowZone row_zone(int x) {
    const int timeline_x = SharedInts[PING_TIMELINE_X].load();
    if (x < timeline_x) return RowZone::TEXT;
    if (x >= timeline_x + SharedInts[PING_TIMELINE_WIDTH].load()) return RowZone::RIGHT;
    return RowZone::TIMELINE;
}

// The 1-based row under y; 0 when it is above the list or below its last host.
int row_at(int y, int host_count) {
    const int row_height = SharedInts[PING_ROW_HEIGHT].load();
    if (y < 0 || row_height <= 0) return 0;
    const int row = y / row_height + 1;
    return row <= host_count ? row : 0;
}

void list_left_click(const PingControlInput& in, int row) {
    if (SharedInts[PING_REQ_SELECT_ROW].load() != 0) return;  // the last click is not served yet
    const int x = in.event.x;
    switch (row_zone(x)) {
        case RowZone::TEXT:
            if (in.shift || in.ctrl || in.alt) {
                SharedInts[PING_HOVER_X] = x;
                request_set(in.shift  ? PING_REQ_OPEN_BROWSER
                            : in.ctrl ? PING_REQ_REMOTE_DESKTOP
                                      : PING_REQ_OPEN_NAME,
                            row);
            } else {
                SharedInts[PING_HOVER_X] = 0;
                request_set(PING_REQ_SELECT_ROW, row);
            }
            break;
        case RowZone::RIGHT:
            SharedInts[PING_HOVER_X] = 0;
            request_set(PING_REQ_SELECT_ROW, 0);
            break;
        case RowZone::TIMELINE:
            SharedInts[PING_HOVER_X] = x;
            request_set(PING_REQ_SELECT_ROW, row);
            break;
    }
}

void list_right_click(const PingControlInput& in, int row) {
    if (SharedInts[PING_REQ_ROW_ACTION].load() != 0) return;
    const RowZone zone = row_zone(in.event.x);
    SharedInts[PING_HOVER_X] = zone == RowZone::TIMELINE ? in.event.x : 0;
    request_set(PING_REQ_ROW_ACTION, zone == RowZone::RIGHT ? 0 : row);
}

void list_pointer_move(const PingControlInput& in, int row) {
    if (SharedInts[PING_REQ_ROW_ACTION].load() != 0 || SharedInts[PING_REQ_SELECT_ROW].load() != 0 ||
        SharedInts[PING_HOVER_ROW].load() != 0)
        return;  // the monitor has not served the last read-out yet
    const int x = in.event.x;
    switch (row_zone(x)) {
        case RowZone::TEXT: {
            const int char_width = SharedInts[PING_CHAR_WIDTH].load();
            const int column = char_width > 0 ? x / char_width : 0;
            SharedInts[PING_HEADER_COLUMN] = column;
            SharedInts[PING_HOVER_X] = 0;
            request_set(PING_HOVER_ROW, column > LAST_DOWN_COLUMN ? row : 0);
            break;
        }
        case RowZone::RIGHT:
            SharedInts[PING_HOVER_X] = 0;
            request_set(PING_HOVER_ROW, 0);
            break;
        case RowZone::TIMELINE:
            SharedInts[PING_HOVER_X] = x;
            request_set(PING_HOVER_ROW, row);
            break;
    }
}

void list_wheel(const PingControlInput& in, PingControlActions& actions) {
    const int distance = in.event.wheel;
    if (distance == 0) return;
    if (in.ctrl) {
        const int size = SharedInts[PING_FONT_SIZE].load();
        if (distance > 0 && size < FONT_SIZE_MAX) SharedInts[PING_FONT_SIZE] = size + 1;
        if (distance < 0 && size > FONT_SIZE_MIN) SharedInts[PING_FONT_SIZE] = size - 1;
        return;
    }
    actions.scroll_set = true;
    actions.scroll_y = distance > 0 ? in.scroll_y - in.scroll_step : in.scroll_y + in.scroll_step;
}

void list_event(const PingControlInput& in, PingControlActions& actions) {
    if (in.event.type == EVENT_TYPE_MOUSE_WHEEL) {
        list_wheel(in, actions);
        return;
    }
    const int row = row_at(in.event.y, in.host_count);
    if (row == 0) return;
    switch (in.event.type) {
        case EVENT_TYPE_LEFT_CLICK: list_left_click(in, row); break;
        case EVENT_TYPE_RIGHT_CLICK: list_right_click(in, row); break;
        case EVENT_TYPE_MOUSE_MOVE: list_pointer_move(in, row); break;
        default: break;
    }
}

void status_click(const PingControlInput& in) {
    if (in.event.type != EVENT_TYPE_LEFT_CLICK) return;
    const int char_width = SharedInts[PING_CHAR_WIDTH].load();
    if (char_width <= 0) return;
    const int column = in.event.x / char_width;
    SharedInts[PING_HEADER_COLUMN] = column;
    if (const int sort = ping_sort_column(column)) request_set(PING_REQ_SORT, sort);
    SharedInts[PING_HEADER_COLUMN] = 0;
}

void add_click(const PingControlInput& in, PingControlActions& actions) {
    if (in.shift) {
        request_set(PING_REQ_SELECT_TIMED_OUT, 1);
        return;
    }
    switch (in.mode_shown) {
        case PING_MODE_RANGE: {
            const int mode = SharedInts[PING_MODE].load();
            if (range_mode(mode)) request_set(PING_REQ_ADD_RANGE, mode);
            break;
        }
        case PING_MODE_MAC_VENDORS:
            actions.vendor_import = true;
            actions.data_panel_draw = true;
            SharedInts[MAC_VENDORS_OFF] = 0;
            break;
        case PING_MODE_HOST_NAME: {
            std::wstring queue = in.host_text;
            if (!queue.empty()) queue = ping_host_queue_text(std::move(queue));
            actions.lookup_start = !queue.empty();
            actions.lookup_names = std::move(queue);
            break;
        }
        case PING_MODE_ADDRESS:
            if (in.from_text != L"0.0.0.0") {
                shared_text_set(PING_ADD_NAME, in.description_text == in.description_cue ? L"" : in.description_text);
                request_set(PING_REQ_ADD_HOST, static_cast<int32_t>(in.from_address));
            }
            break;
        default: break;
    }
}

// The range fields share their first three octets; the last octet (the highest byte) is each one's own.
constexpr uint32_t NETWORK_BYTES = 0x00FFFFFFu;

void range_field_change(const PingControlInput& in, PingControlActions& actions) {
    SharedQuads[PING_RANGE_FROM] = in.from_address;
    SharedQuads[PING_RANGE_TO] = in.to_address;
    if (in.event.control == INPUT_PING_IP_FROM) {
        const uint32_t to = (in.from_address & NETWORK_BYTES) | (in.to_address & ~NETWORK_BYTES);
        // Setting a field reports a change of it; an unchanged one is left alone so the two do not echo.
        if (to != in.to_address) {
            actions.to_address_set = true;
            actions.to_address = to;
        }
    } else {
        const uint32_t from = (in.to_address & NETWORK_BYTES) | (in.from_address & ~NETWORK_BYTES);
        if (from != in.from_address) {
            actions.from_address_set = true;
            actions.from_address = from;
        }
    }
}

void interval_choice(const PingControlInput& in) {
    const int item = in.selected_item;
    if (item < 0) return;
    const int seconds = comma_field(shared_text(PING_INTERVAL_CHOICES), item);
    if (seconds <= 0) return;
    SharedInts[PING_INTERVAL_CHOICE] = item;
    SharedInts[PING_INTERVAL_S] = seconds;
    SharedQuads[PING_NEXT_ROUND] = in.now;
    SharedInts[PING_TIMEOUT_MS] = seconds < 2 ? seconds * 1000 : 2500;
}

}  // namespace

int ping_mode_shown(bool to_field, bool vendor_label, bool host_field, bool from_field) {
    if (to_field) return PING_MODE_RANGE;
    if (vendor_label) return PING_MODE_MAC_VENDORS;
    if (host_field) return PING_MODE_HOST_NAME;
    if (from_field) return PING_MODE_ADDRESS;
    return -1;
}

int ping_sort_column(int character_column) {
    constexpr std::array<int, 7> column_ends = {12, 38, 46, 51, 56, 63, 77};
    if (character_column < 0) return 0;
    for (std::size_t i = 0; i < column_ends.size(); ++i) {
        if (character_column < column_ends[i]) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::wstring ping_host_queue_text(std::wstring typed) {
    for (const std::wstring_view scheme : {std::wstring_view(L"https://"), std::wstring_view(L"http://")}) {
        for (std::size_t at = typed.find(scheme); at != std::wstring::npos; at = typed.find(scheme, at))
            typed.erase(at, scheme.size());
    }
    const std::size_t slash = typed.find(L'/');
    if (slash != std::wstring::npos) typed.resize(slash);
    return typed;
}

PingControlActions ping_control_event(const PingControlInput& in) {
    PingControlActions actions;
    const GuiEvent& event = in.event;
    if (event.kind != EVENT_CONTROL) return actions;
    const bool click = event.type == EVENT_TYPE_LEFT_CLICK;
    switch (event.control) {
        case BUTTON_PING_ADD:
            if (click) add_click(in, actions);
            break;
        case BUTTON_PING_DELETE:
            if (!click) break;
            if (in.mode_shown == PING_MODE_MAC_VENDORS) {
                if (SharedInts[MAC_VENDOR_COUNT].load() > 0) {
                    actions.vendor_clear = true;
                    actions.data_panel_draw = true;
                    SharedInts[MAC_VENDORS_OFF] = 1;
                }
            } else if (in.host_count > 0) {
                request_set(PING_REQ_DELETE, in.shift ? -1 : 1);
            }
            break;
        case BUTTON_PING_RESET:
            if (!click) break;
            if (in.mode_shown == PING_MODE_MAC_VENDORS) {
                actions.vendor_page_open = true;
            } else if (in.host_count > 0) {
                request_set(PING_REQ_RESET, in.shift ? -1 : 1);
            }
            break;
        case BUTTON_PING_NOW:
            if (click && in.host_count > 0) SharedQuads[PING_NEXT_ROUND] = in.now;
            break;
        case CANVAS_PING_LIST: list_event(in, actions); break;
        case CANVAS_PING_STATUS: status_click(in); break;
        case COMBO_PING_MODE:
            if (in.selected_item >= 0 && in.selected_item < PING_MODE_COUNT) {
                SharedInts[PING_MODE] = in.selected_item;
                actions.toolbar_rebuild = true;
            }
            break;
        case COMBO_PING_INTERVAL: interval_choice(in); break;
        case COMBO_PING_FONT_SIZE:
            if (in.selected_item >= 0 && in.selected_item <= FONT_SIZE_MAX - FONT_SIZE_MIN)
                SharedInts[PING_FONT_SIZE] = in.selected_item + FONT_SIZE_MIN;
            break;
        case INPUT_PING_IP_FROM:
            if (in.mode_shown == PING_MODE_RANGE && range_mode(SharedInts[PING_MODE].load()))
                range_field_change(in, actions);
            break;
        case INPUT_PING_IP_TO:
            if (range_mode(SharedInts[PING_MODE].load())) range_field_change(in, actions);
            break;
        default: break;
    }
    return actions;
}
