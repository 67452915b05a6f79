// The keyboard shortcuts' table and decisions.
#include "core/shortcut_keys.h"

#include <algorithm>
#include <array>

#include "core/control_numbers.h"
#include "runtime/gui/shortcut/shortcut_table.h"

namespace {

constexpr int CTRL = SHORTCUT_CONTROL;
constexpr int SHIFT = SHORTCUT_SHIFT;
constexpr int ALT = SHORTCUT_ALT;

// Virtual-key codes (the values Windows gives them).
constexpr int KEY_RETURN = 0x0D;
constexpr int KEY_TAB = 0x09;
constexpr int KEY_LEFT = 0x25;
constexpr int KEY_UP = 0x26;
constexpr int KEY_RIGHT = 0x27;
constexpr int KEY_DOWN = 0x28;
constexpr int KEY_0 = 0x30;
constexpr int KEY_NUMPAD_0 = 0x60;
constexpr int KEY_ADD = 0x6B;
constexpr int KEY_SUBTRACT = 0x6D;
constexpr int KEY_F5 = 0x74;
constexpr int KEY_F6 = 0x75;
constexpr int KEY_F7 = 0x76;
constexpr int KEY_OEM_PLUS = 0xBB;
constexpr int KEY_OEM_MINUS = 0xBD;

constexpr ShortcutKey on(int window, int code, int event) { return ShortcutKey{window, code, event}; }

// The keys both windows share, in their order of registration after F5 and F6.
#define SOTRIX_SHARED_KEYS(W)                                                                                  \
    on(W, CTRL + KEY_ADD, SHORTCUT_FONT_LARGER), on(W, CTRL + KEY_OEM_PLUS, SHORTCUT_FONT_LARGER),             \
        on(W, CTRL + KEY_SUBTRACT, SHORTCUT_FONT_SMALLER), on(W, CTRL + KEY_OEM_MINUS, SHORTCUT_FONT_SMALLER), \
        on(W, CTRL + KEY_0, SHORTCUT_FONT_RESET), on(W, CTRL + KEY_NUMPAD_0, SHORTCUT_FONT_RESET),             \
        on(W, CTRL + KEY_UP, SHORTCUT_NUDGE_UP), on(W, CTRL + KEY_DOWN, SHORTCUT_NUDGE_DOWN),                  \
        on(W, CTRL + KEY_LEFT, SHORTCUT_NUDGE_LEFT), on(W, CTRL + KEY_RIGHT, SHORTCUT_NUDGE_RIGHT),            \
        on(W, SHIFT + KEY_UP, SHORTCUT_JUMP_UP), on(W, SHIFT + KEY_DOWN, SHORTCUT_JUMP_DOWN),                  \
        on(W, SHIFT + KEY_LEFT, SHORTCUT_JUMP_LEFT), on(W, SHIFT + KEY_RIGHT, SHORTCUT_JUMP_RIGHT)

constexpr std::array KEYS = {
    on(WIN_COMPACT, KEY_F5, SHORTCUT_F5),
    on(WIN_COMPACT, KEY_F6, SHORTCUT_F6),
    SOTRIX_SHARED_KEYS(WIN_COMPACT),
    on(WIN_MAIN, KEY_F5, SHORTCUT_F5),
    on(WIN_MAIN, KEY_F6, SHORTCUT_F6),
    on(WIN_MAIN, KEY_F7, SHORTCUT_F7),
    on(WIN_MAIN, ALT + KEY_ADD, SHORTCUT_LIST_FONT_LARGER),
    on(WIN_MAIN, ALT + KEY_OEM_PLUS, SHORTCUT_LIST_FONT_LARGER),
    on(WIN_MAIN, ALT + KEY_SUBTRACT, SHORTCUT_LIST_FONT_SMALLER),
    on(WIN_MAIN, ALT + KEY_OEM_MINUS, SHORTCUT_LIST_FONT_SMALLER),
    on(WIN_MAIN, ALT + KEY_0, SHORTCUT_LIST_FONT_RESET),
    on(WIN_MAIN, ALT + KEY_NUMPAD_0, SHORTCUT_LIST_FONT_RESET),
    SOTRIX_SHARED_KEYS(WIN_MAIN),
    on(WIN_MAIN, CTRL + 'C', SHORTCUT_COPY),
    on(WIN_MAIN, CTRL + 'F', SHORTCUT_FIND),
    on(WIN_MAIN, CTRL + 'S', SHORTCUT_SMOOTH_GRAPHS),
    on(WIN_MAIN, CTRL + KEY_TAB, SHORTCUT_NEXT_TAB),
    on(WIN_MAIN, CTRL + SHIFT + KEY_TAB, SHORTCUT_PREVIOUS_TAB),
    on(WIN_MAIN, CTRL + 'I', SHORTCUT_INVERT_COLORS),
    on(WIN_MAIN, CTRL + 'X', SHORTCUT_COPY_TABBED),
    on(WIN_MAIN, KEY_RETURN, SHORTCUT_ENTER),
};

#undef SOTRIX_SHARED_KEYS

ShortcutDecision act(ShortcutAction action, int step = 0) { return ShortcutDecision{action, step}; }

ShortcutDecision f_key_on_main(int event, int tab) {
    const int key = event == SHORTCUT_F5 ? 0 : event == SHORTCUT_F6 ? 1 : 2;
    // Rows by tab, columns F5, F6, F7.
    static constexpr ShortcutAction TABLE[9][3] = {
        {SHORTCUT_SYSTEM_SUMMARY, SHORTCUT_MEMORY_RECORDS_RESET, SHORTCUT_NOTHING},
        {SHORTCUT_NOTHING, SHORTCUT_NOTHING, SHORTCUT_NOTHING},
        {SHORTCUT_GPU_VIEW_REFRESH, SHORTCUT_GPU_VIEW_ROWS_TOGGLE, SHORTCUT_NOTHING},
        {SHORTCUT_DRIVE_RESCAN, SHORTCUT_DISK_ERRORS_CLEAR, SHORTCUT_NOTHING},
        {SHORTCUT_NET_RESCAN, SHORTCUT_IP_LOOKUP, SHORTCUT_PROXY_SWITCH},
        {SHORTCUT_PING_NOW, SHORTCUT_PING_SITES, SHORTCUT_NOTHING},
        {SHORTCUT_EVENTLOG_RELOAD, SHORTCUT_EVENTLOG_REFILL, SHORTCUT_NOTHING},
        {SHORTCUT_NOTHING, SHORTCUT_NOTHING, SHORTCUT_NOTHING},
        {SHORTCUT_TEMP_TOOL_RETRY, SHORTCUT_SETTINGS_FOLDER_OPEN, SHORTCUT_TEMP_TOOL_PAGE_OPEN},
    };
    if (tab < TAB_SYSTEM || tab > TAB_ABOUT) return {};
    return act(TABLE[tab][key]);
}

}  // namespace

std::span<const ShortcutKey> shortcut_keys() { return KEYS; }

ShortcutDecision shortcut_decide(int event, int window, int tab) {
    switch (event) {
        case SHORTCUT_F5:
        case SHORTCUT_F6:
        case SHORTCUT_F7:
            if (window == WIN_COMPACT) {
                if (event == SHORTCUT_F5) return act(SHORTCUT_DRIVES_AND_NETWORKS_RESCAN);
                if (event == SHORTCUT_F6) return act(SHORTCUT_DRIVES_FULL_CHECK);
                return {};
            }
            return window == WIN_MAIN ? f_key_on_main(event, tab) : ShortcutDecision{};
        case SHORTCUT_COPY:
            return act(tab >= TAB_SYSTEM && tab <= TAB_EVENTS ? SHORTCUT_TAB_COPY : SHORTCUT_CLIPBOARD_CLEAR);
        case SHORTCUT_COPY_TABBED: return act(tab == TAB_PING ? SHORTCUT_PING_COPY_TABBED : SHORTCUT_CLIPBOARD_CLEAR);
        case SHORTCUT_SMOOTH_GRAPHS: return act(SHORTCUT_GRAPHS_SMOOTH);
        case SHORTCUT_INVERT_COLORS: return act(SHORTCUT_GRAPHS_INVERT);
        case SHORTCUT_NEXT_TAB: return act(SHORTCUT_TAB_STEP, 1);
        case SHORTCUT_PREVIOUS_TAB: return act(SHORTCUT_TAB_STEP, -1);
        case SHORTCUT_NUDGE_UP:
        case SHORTCUT_NUDGE_DOWN:
        case SHORTCUT_NUDGE_LEFT:
        case SHORTCUT_NUDGE_RIGHT:
        case SHORTCUT_JUMP_UP:
        case SHORTCUT_JUMP_DOWN:
        case SHORTCUT_JUMP_LEFT:
        case SHORTCUT_JUMP_RIGHT: return act(SHORTCUT_COMPACT_MOVE, event);
        case SHORTCUT_ENTER:
            if (tab == TAB_PING) return act(SHORTCUT_PING_ENTER);
            if (tab == TAB_EVENTS) return act(SHORTCUT_EVENT_SEARCH);
            return {};
        case SHORTCUT_FONT_LARGER: return act(SHORTCUT_COMPACT_FONT, FONT_LARGER);
        case SHORTCUT_FONT_SMALLER: return act(SHORTCUT_COMPACT_FONT, FONT_SMALLER);
        case SHORTCUT_FONT_RESET: return act(SHORTCUT_COMPACT_FONT, FONT_RESET);
        case SHORTCUT_FIND:
            if (tab == TAB_PING) return act(SHORTCUT_PING_FIND);
            if (tab == TAB_EVENTS) return act(SHORTCUT_EVENT_FIND);
            return {};
        case SHORTCUT_LIST_FONT_LARGER:
        case SHORTCUT_LIST_FONT_SMALLER:
        case SHORTCUT_LIST_FONT_RESET: {
            const int step = event == SHORTCUT_LIST_FONT_LARGER    ? FONT_LARGER
                             : event == SHORTCUT_LIST_FONT_SMALLER ? FONT_SMALLER
                                                                   : FONT_RESET;
            if (tab == TAB_PING) return act(SHORTCUT_PING_LIST_FONT, step);
            if (tab == TAB_EVENTS) return act(SHORTCUT_EVENT_LIST_FONT, step);
            return {};
        }
        default: return {};
    }
}

int tab_stepped(int tab, int step) {
    constexpr int TABS = TAB_ABOUT + 1;
    return ((tab + step) % TABS + TABS) % TABS;
}

int compact_font_stepped(int size, FontStep step) {
    switch (step) {
        case FONT_LARGER: return size < 26 ? size + 1 : size;
        case FONT_SMALLER: return size > 10 ? size - 1 : size;
        case FONT_RESET: return size > 10 ? 10 : size;
    }
    return size;
}

int list_font_stepped(int size, FontStep step) {
    switch (step) {
        case FONT_LARGER: return size < 28 ? size + 1 : size;
        case FONT_SMALLER: return size > 9 ? size - 1 : size;
        case FONT_RESET: return 9;
    }
    return size;
}

CompactMove compact_move(int event, int x, int y, int limit_x, int limit_y) {
    CompactMove result{false, false, x, y};
    const int distance = event >= SHORTCUT_JUMP_UP ? 10 : 1;
    switch (event) {
        case SHORTCUT_NUDGE_UP:
        case SHORTCUT_JUMP_UP:
            if (y > 0) result = {true, false, x, std::max(y - distance, 0)};
            break;
        case SHORTCUT_NUDGE_DOWN:
        case SHORTCUT_JUMP_DOWN:
            if (y < limit_y) {
                result = {true, false, x, std::min(y + distance, limit_y)};
            } else {
                result.desktop_reread = true;
            }
            break;
        case SHORTCUT_NUDGE_LEFT:
        case SHORTCUT_JUMP_LEFT:
            if (x > 0) result = {true, false, std::max(x - distance, 0), y};
            break;
        case SHORTCUT_NUDGE_RIGHT:
        case SHORTCUT_JUMP_RIGHT:
            if (x < limit_x) {
                result = {true, false, std::min(x + distance, limit_x), y};
            } else {
                result.desktop_reread = true;
            }
            break;
        default: break;
    }
    return result;
}

int32_t color_inverted(int32_t color) { return 0xFFFFFF - (color & 0xFFFFFF); }

std::wstring ping_host_from_input(std::wstring_view text) {
    std::wstring host(text);
    for (const std::wstring_view scheme : {std::wstring_view(L"https://"), std::wstring_view(L"http://")}) {
        for (size_t at = host.find(scheme); at != std::wstring::npos; at = host.find(scheme, at)) {
            host.erase(at, scheme.size());
        }
    }
    const size_t slash = host.find(L'/');
    if (slash != std::wstring::npos) host.resize(slash);
    return host;
}

std::wstring ping_site_queue() {
    // The maker's site first (without its domain), then popular sites, the last with its own domain.
    constexpr std::wstring_view SITES =
        L"www.brindale google youtube facebook amazon wikipedia twitter instagram linkedin reddit netflix "
        L"microsoft apple yahoo bing ebay paypal github stackoverflow adobe dropbox zoom twitch spotify "
        L"pinterest tumblr imdb cnn nytimes walmart etsy wordpress vimeo salesforce mozilla bbc.co.uk";
    std::wstring queue;
    for (const wchar_t c : SITES) queue += c == L' ' ? std::wstring(L".com www.") : std::wstring(1, c);
    return queue;
}

int event_search_state_after(std::wstring_view text, std::wstring_view last_text, int type_filter, int filter_used,
                             int state, bool* text_changed) {
    *text_changed = false;
    if (text == last_text && type_filter == filter_used) return state;
    *text_changed = true;
    if (state == 0 && !text.empty()) return -1;
    if (state > 0 || state == EVENT_SEARCH_RUNNING) return -1;  // a running search has read the old text
    return state;
}
