// The keyboard shortcuts: the keys of each window, what each event asks for on each tab, and the steps of
// tabs, font sizes and the compact window's moves.
#include "core/shortcut_keys.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "core/control_numbers.h"
#include "runtime/gui/shortcut/shortcut_table.h"

namespace {

constexpr int CTRL = SHORTCUT_CONTROL;
constexpr int SHIFT = SHORTCUT_SHIFT;
constexpr int ALT = SHORTCUT_ALT;

// The event a key gives on a window once every registration is made (a later one replaces an earlier one).
std::map<std::pair<int, int>, int> registered() {
    std::map<std::pair<int, int>, int> keys;
    for (const ShortcutKey& key : shortcut_keys()) keys[{key.window, key.code}] = key.event;
    return keys;
}

TEST(ShortcutKeys, EachKeyGivesItsEventOnItsWindows) {
    const auto keys = registered();
    const struct {
        int code;
        int event;
        bool compact;
    } cases[] = {
        {0x74, SHORTCUT_F5, true},
        {0x75, SHORTCUT_F6, true},
        {0x76, SHORTCUT_F7, false},
        {CTRL + 'C', SHORTCUT_COPY, false},
        {CTRL + 'S', SHORTCUT_SMOOTH_GRAPHS, false},
        {CTRL + 0x09, SHORTCUT_NEXT_TAB, false},
        {CTRL + SHIFT + 0x09, SHORTCUT_PREVIOUS_TAB, false},
        {CTRL + 'I', SHORTCUT_INVERT_COLORS, false},
        {CTRL + 0x26, SHORTCUT_NUDGE_UP, true},
        {CTRL + 0x28, SHORTCUT_NUDGE_DOWN, true},
        {CTRL + 0x25, SHORTCUT_NUDGE_LEFT, true},
        {CTRL + 0x27, SHORTCUT_NUDGE_RIGHT, true},
        {SHIFT + 0x26, SHORTCUT_JUMP_UP, true},
        {SHIFT + 0x28, SHORTCUT_JUMP_DOWN, true},
        {SHIFT + 0x25, SHORTCUT_JUMP_LEFT, true},
        {SHIFT + 0x27, SHORTCUT_JUMP_RIGHT, true},
        {0x0D, SHORTCUT_ENTER, false},
        {CTRL + 'X', SHORTCUT_COPY_TABBED, false},
        {CTRL + 0x6B, SHORTCUT_FONT_LARGER, true},
        {CTRL + 0xBB, SHORTCUT_FONT_LARGER, true},
        {CTRL + 0x6D, SHORTCUT_FONT_SMALLER, true},
        {CTRL + 0xBD, SHORTCUT_FONT_SMALLER, true},
        {CTRL + '0', SHORTCUT_FONT_RESET, true},
        {CTRL + 0x60, SHORTCUT_FONT_RESET, true},
        {CTRL + 'F', SHORTCUT_FIND, false},
        {ALT + 0x6B, SHORTCUT_LIST_FONT_LARGER, false},
        {ALT + 0xBB, SHORTCUT_LIST_FONT_LARGER, false},
        {ALT + 0x6D, SHORTCUT_LIST_FONT_SMALLER, false},
        {ALT + 0xBD, SHORTCUT_LIST_FONT_SMALLER, false},
        {ALT + '0', SHORTCUT_LIST_FONT_RESET, false},
        {ALT + 0x60, SHORTCUT_LIST_FONT_RESET, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(keys.count({WIN_MAIN, c.code})) << std::hex << c.code;
        EXPECT_EQ(keys.at({WIN_MAIN, c.code}), c.event) << std::hex << c.code;
        EXPECT_EQ(keys.count({WIN_COMPACT, c.code}) == 1, c.compact) << std::hex << c.code;
        if (c.compact && keys.count({WIN_COMPACT, c.code})) {
            EXPECT_EQ(keys.at({WIN_COMPACT, c.code}), c.event);
        }
    }
    EXPECT_EQ(keys.size(), std::size(cases) + 16) << "31 keys on the main window, 16 on the compact window";
    EXPECT_FALSE(keys.count({WIN_MAIN, 'C'})) << "a plain letter is no shortcut";
}

TEST(ShortcutKeys, FKeysActByWindowAndTab) {
    const struct {
        int window;
        int tab;
        ShortcutAction f5, f6, f7;
    } cases[] = {
        {WIN_COMPACT, TAB_PING, SHORTCUT_DRIVES_AND_NETWORKS_RESCAN, SHORTCUT_DRIVES_FULL_CHECK, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_SYSTEM, SHORTCUT_SYSTEM_SUMMARY, SHORTCUT_MEMORY_RECORDS_RESET, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_PROCESSORS, SHORTCUT_NOTHING, SHORTCUT_NOTHING, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_GRAPHICS, SHORTCUT_GPU_VIEW_REFRESH, SHORTCUT_GPU_VIEW_ROWS_TOGGLE, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_STORAGE, SHORTCUT_DRIVE_RESCAN, SHORTCUT_DISK_ERRORS_CLEAR, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_NETWORKS, SHORTCUT_NET_RESCAN, SHORTCUT_IP_LOOKUP, SHORTCUT_PROXY_SWITCH},
        {WIN_MAIN, TAB_PING, SHORTCUT_PING_NOW, SHORTCUT_PING_SITES, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_EVENTS, SHORTCUT_EVENTLOG_RELOAD, SHORTCUT_EVENTLOG_REFILL, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_SETTINGS, SHORTCUT_NOTHING, SHORTCUT_NOTHING, SHORTCUT_NOTHING},
        {WIN_MAIN, TAB_ABOUT, SHORTCUT_TEMP_TOOL_RETRY, SHORTCUT_SETTINGS_FOLDER_OPEN, SHORTCUT_TEMP_TOOL_PAGE_OPEN},
        {WIN_MAIN, -1, SHORTCUT_NOTHING, SHORTCUT_NOTHING, SHORTCUT_NOTHING},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shortcut_decide(SHORTCUT_F5, c.window, c.tab).action, c.f5) << c.window << " tab " << c.tab;
        EXPECT_EQ(shortcut_decide(SHORTCUT_F6, c.window, c.tab).action, c.f6) << c.window << " tab " << c.tab;
        EXPECT_EQ(shortcut_decide(SHORTCUT_F7, c.window, c.tab).action, c.f7) << c.window << " tab " << c.tab;
    }
}

TEST(ShortcutKeys, OtherEventsActByTabOnly) {
    const struct {
        int event;
        int tab;
        ShortcutAction action;
        int step;
    } cases[] = {
        {SHORTCUT_COPY, TAB_SYSTEM, SHORTCUT_TAB_COPY, 0},
        {SHORTCUT_COPY, TAB_EVENTS, SHORTCUT_TAB_COPY, 0},
        {SHORTCUT_COPY, TAB_SETTINGS, SHORTCUT_CLIPBOARD_CLEAR, 0},
        {SHORTCUT_COPY, TAB_ABOUT, SHORTCUT_CLIPBOARD_CLEAR, 0},
        {SHORTCUT_COPY_TABBED, TAB_PING, SHORTCUT_PING_COPY_TABBED, 0},
        {SHORTCUT_COPY_TABBED, TAB_EVENTS, SHORTCUT_CLIPBOARD_CLEAR, 0},
        {SHORTCUT_NEXT_TAB, TAB_ABOUT, SHORTCUT_TAB_STEP, 1},
        {SHORTCUT_PREVIOUS_TAB, TAB_SYSTEM, SHORTCUT_TAB_STEP, -1},
        {SHORTCUT_ENTER, TAB_PING, SHORTCUT_PING_ENTER, 0},
        {SHORTCUT_ENTER, TAB_EVENTS, SHORTCUT_EVENT_SEARCH, 0},
        {SHORTCUT_ENTER, TAB_STORAGE, SHORTCUT_NOTHING, 0},
        {SHORTCUT_FIND, TAB_PING, SHORTCUT_PING_FIND, 0},
        {SHORTCUT_FIND, TAB_EVENTS, SHORTCUT_EVENT_FIND, 0},
        {SHORTCUT_FIND, TAB_SYSTEM, SHORTCUT_NOTHING, 0},
        {SHORTCUT_LIST_FONT_LARGER, TAB_PING, SHORTCUT_PING_LIST_FONT, FONT_LARGER},
        {SHORTCUT_LIST_FONT_SMALLER, TAB_EVENTS, SHORTCUT_EVENT_LIST_FONT, FONT_SMALLER},
        {SHORTCUT_LIST_FONT_RESET, TAB_EVENTS, SHORTCUT_EVENT_LIST_FONT, FONT_RESET},
        {SHORTCUT_LIST_FONT_LARGER, TAB_SYSTEM, SHORTCUT_NOTHING, 0},
        {SHORTCUT_FONT_LARGER, TAB_SETTINGS, SHORTCUT_COMPACT_FONT, FONT_LARGER},
        {SHORTCUT_FONT_SMALLER, TAB_SYSTEM, SHORTCUT_COMPACT_FONT, FONT_SMALLER},
        {SHORTCUT_FONT_RESET, TAB_SYSTEM, SHORTCUT_COMPACT_FONT, FONT_RESET},
        {SHORTCUT_JUMP_RIGHT, TAB_ABOUT, SHORTCUT_COMPACT_MOVE, SHORTCUT_JUMP_RIGHT},
        {SHORTCUT_SMOOTH_GRAPHS, TAB_ABOUT, SHORTCUT_GRAPHS_SMOOTH, 0},
        {SHORTCUT_INVERT_COLORS, TAB_ABOUT, SHORTCUT_GRAPHS_INVERT, 0},
        {999, TAB_SYSTEM, SHORTCUT_NOTHING, 0},
    };
    for (const auto& c : cases) {
        for (const int window : {WIN_MAIN, WIN_COMPACT}) {
            const ShortcutDecision decision = shortcut_decide(c.event, window, c.tab);
            EXPECT_EQ(decision.action, c.action) << c.event << " tab " << c.tab << " window " << window;
            EXPECT_EQ(decision.step, c.step) << c.event << " tab " << c.tab;
        }
    }
}

TEST(ShortcutKeys, TabsWrapAndFontSizesStayInTheirRanges) {
    EXPECT_EQ(tab_stepped(TAB_ABOUT, 1), TAB_SYSTEM);
    EXPECT_EQ(tab_stepped(TAB_SYSTEM, -1), TAB_ABOUT);
    EXPECT_EQ(tab_stepped(TAB_PING, 1), TAB_EVENTS);
    const struct {
        int size;
        FontStep step;
        int compact;
        int list;
    } cases[] = {
        {26, FONT_LARGER, 26, 27}, {25, FONT_LARGER, 26, 26},  {28, FONT_LARGER, 28, 28}, {10, FONT_SMALLER, 10, 9},
        {9, FONT_SMALLER, 9, 9},   {11, FONT_SMALLER, 10, 10}, {10, FONT_RESET, 10, 9},   {20, FONT_RESET, 10, 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compact_font_stepped(c.size, c.step), c.compact) << c.size << " " << c.step;
        EXPECT_EQ(list_font_stepped(c.size, c.step), c.list) << c.size << " " << c.step;
    }
}

TEST(ShortcutKeys, CompactMovesStopAtTheEdgesAndReadTheDesktopAtTheFarOnes) {
    const struct {
        int event;
        int x, y;
        bool move, reread;
        int new_x, new_y;
    } cases[] = {
        {SHORTCUT_NUDGE_UP, 50, 0, false, false, 50, 0},
        {SHORTCUT_NUDGE_UP, 50, 7, true, false, 50, 6},
        {SHORTCUT_JUMP_UP, 50, 7, true, false, 50, 0},
        {SHORTCUT_NUDGE_DOWN, 50, 300, false, true, 50, 300},  // at the bottom edge
        {SHORTCUT_JUMP_DOWN, 50, 295, true, false, 50, 300},   // 5 above: exactly onto the edge
        {SHORTCUT_NUDGE_DOWN, 50, 295, true, false, 50, 296},
        {SHORTCUT_NUDGE_LEFT, 0, 20, false, false, 0, 20},
        {SHORTCUT_JUMP_LEFT, 4, 20, true, false, 0, 20},
        {SHORTCUT_NUDGE_RIGHT, 400, 20, false, true, 400, 20},
        {SHORTCUT_JUMP_RIGHT, 380, 20, true, false, 390, 20},
        {SHORTCUT_JUMP_RIGHT, 395, 20, true, false, 400, 20},
    };
    for (const auto& c : cases) {
        const CompactMove move = compact_move(c.event, c.x, c.y, 400, 300);
        EXPECT_EQ(move.move, c.move) << c.event << " at " << c.x << "," << c.y;
        EXPECT_EQ(move.desktop_reread, c.reread) << c.event << " at " << c.x << "," << c.y;
        if (c.move) {
            EXPECT_EQ(move.x, c.new_x) << c.event << " at " << c.x << "," << c.y;
            EXPECT_EQ(move.y, c.new_y) << c.event << " at " << c.x << "," << c.y;
        }
    }
}

TEST(ShortcutKeys, TextsOfThePingAndEventsTabs) {
    EXPECT_EQ(color_inverted(0x0000FF), 0xFFFF00);
    EXPECT_EQ(color_inverted(color_inverted(0x123456)), 0x123456);

    EXPECT_EQ(ping_host_from_input(L"https://www.example.com/path/x?y"), L"www.example.com");
    EXPECT_EQ(ping_host_from_input(L"http://a.example http://b.example"), L"a.example b.example");
    EXPECT_EQ(ping_host_from_input(L"HTTP://a.example"), L"HTTP:") << "the schemes are removed case-sensitively";

    const std::wstring queue = ping_site_queue();
    EXPECT_EQ(queue.rfind(L"www.brindale.com www.", 0), 0u);
    size_t names = 1;
    for (const wchar_t c : queue) names += c == L' ';
    EXPECT_EQ(names, 36u);

    const struct {
        const wchar_t* text;
        const wchar_t* last;
        int filter, used, state, after;
        bool changed;
    } cases[] = {
        {L"disk", L"disk", 1, 1, 0, 0, false},  // the same search again: nothing
        {L"disk", L"", 1, 1, 0, -1, true},
        {L"disk", L"disk", 2, 1, 0, -1, true},                    // another type filter searches again
        {L"", L"disk", 1, 1, 0, 0, true},                         // nothing to search for
        {L"net", L"disk", 1, 1, 3, -1, true},                     // results shown: a new search
        {L"net", L"disk", 1, 1, -1, -1, true},                    // a pending search is left alone
        {L"net", L"disk", 1, 1, EVENT_SEARCH_RUNNING, -1, true},  // a running search has the old text
    };
    for (const auto& c : cases) {
        bool changed = !c.changed;
        EXPECT_EQ(event_search_state_after(c.text, c.last, c.filter, c.used, c.state, &changed), c.after) << c.text;
        EXPECT_EQ(changed, c.changed) << c.text;
    }
}

}  // namespace
