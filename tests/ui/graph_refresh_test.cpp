// When the visible-tab redraw draws, and how it keeps its once-a-second throttle.
#include <gtest/gtest.h>

#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "ui/graph_control.h"

namespace {

TEST(GraphRefreshDecision, DecidesFromVisibilityThrottleAndTheShownTab) {
    constexpr Date NOW = 1000;
    struct Case {
        const char* name;
        int tab;
        bool force, throttle;
        bool visible;
        int shown;
        Date last_stamp;
        int last_tab;
        bool draw, stamp;
    };
    const Case cases[] = {
        {"hidden sampler call", TAB_STORAGE, 0, 0, false, TAB_STORAGE, 0, 0, false, false},
        {"hidden but forced", TAB_STORAGE, 1, 0, false, TAB_STORAGE, 0, 0, true, false},
        {"visible sampler call", TAB_SYSTEM, 0, 0, true, TAB_SYSTEM, 0, 0, true, false},
        {"unthrottled ignores the stamp", TAB_SYSTEM, 0, 0, true, TAB_SYSTEM, NOW, TAB_SYSTEM, true, false},
        {"throttled repeat in the same second", TAB_STORAGE, 1, 1, true, TAB_STORAGE, NOW, TAB_STORAGE, false, false},
        {"throttled, stamp in the future", TAB_STORAGE, 1, 1, true, TAB_STORAGE, NOW + 5, TAB_STORAGE, false, false},
        {"throttled, other tab same second", TAB_NETWORKS, 1, 1, true, TAB_NETWORKS, NOW, TAB_STORAGE, true, true},
        {"throttled, a second later", TAB_STORAGE, 1, 1, true, TAB_STORAGE, NOW - 1, TAB_STORAGE, true, true},
        {"tab not shown, unthrottled", TAB_STORAGE, 0, 0, true, TAB_NETWORKS, 0, 0, false, false},
        {"tab not shown still stamps", TAB_STORAGE, 1, 1, true, TAB_NETWORKS, 0, 0, false, true},
        {"ping tab draws", TAB_PING, 0, 0, true, TAB_PING, 0, 0, true, false},
        {"events tab has nothing", TAB_EVENTS, 0, 0, true, TAB_EVENTS, 0, 0, false, false},
        {"settings tab has nothing", TAB_SETTINGS, 1, 1, true, TAB_SETTINGS, 0, 0, false, true},
        {"about tab has nothing", TAB_ABOUT, 0, 0, true, TAB_ABOUT, 0, 0, false, false},
        {"no tab shown", TAB_SYSTEM, 1, 0, true, -1, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        const auto decision =
            graphs_refresh_decide(c.tab, c.force, c.throttle, c.visible, c.shown, NOW, c.last_stamp, c.last_tab);
        EXPECT_EQ(decision.draw, c.draw) << c.name;
        EXPECT_EQ(decision.stamp, c.stamp) << c.name;
    }
}

struct FakeWindow {
    static inline bool visible = false;
    static inline int shown = TAB_SYSTEM;
    static inline std::vector<int> drawn;
};

class GraphRefresh : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        FakeWindow::visible = false;
        FakeWindow::shown = TAB_SYSTEM;
        FakeWindow::drawn.clear();
    }
    void TearDown() override { graphs_refresh_hooks_set({}); }

    static void install() {
        GraphsRefreshHooks hooks;
        hooks.main_window_visible = [] { return FakeWindow::visible; };
        hooks.shown_tab = [] { return FakeWindow::shown; };
        hooks.draw_tab = [](int tab) { FakeWindow::drawn.push_back(tab); };
        graphs_refresh_hooks_set(hooks);
    }
};

// Until the main window build installs its hooks the window counts as hidden and no tab as shown. Each case
// leaves one hook out, and the same call draws once that hook is there.
TEST_F(GraphRefresh, AMissingHookCountsAsAHiddenWindowOrNoTabShown) {
    struct Case {
        const char* name;
        bool with_visible, with_shown;
        GraphsRefreshForce force;
    };
    const Case cases[] = {
        {"no visibility hook: hidden, a sampler call draws nothing", false, true, REFRESH_IF_VISIBLE},
        {"no tab hook: even a forced call draws nothing", true, false, REFRESH_FORCED},
        {"no tab hook: a sampler call draws nothing", true, false, REFRESH_IF_VISIBLE},
    };
    FakeWindow::visible = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GraphsRefreshHooks hooks;
        hooks.main_window_visible = [] { return FakeWindow::visible; };
        hooks.shown_tab = [] { return FakeWindow::shown; };
        hooks.draw_tab = [](int tab) { FakeWindow::drawn.push_back(tab); };
        if (!c.with_visible) hooks.main_window_visible = nullptr;
        if (!c.with_shown) hooks.shown_tab = nullptr;
        graphs_refresh_hooks_set(hooks);
        FakeWindow::drawn.clear();
        graphs_refresh(TAB_SYSTEM, c.force, REFRESH_EVERY_CALL);
        EXPECT_TRUE(FakeWindow::drawn.empty());

        install();
        FakeWindow::drawn.clear();
        graphs_refresh(TAB_SYSTEM, c.force, REFRESH_EVERY_CALL);
        EXPECT_EQ(FakeWindow::drawn, (std::vector<int>{TAB_SYSTEM})) << "the call draws with every hook";
    }
}

TEST_F(GraphRefresh, DrawsTheShownTabAndStampsThrottledCalls) {
    install();
    FakeWindow::shown = TAB_STORAGE;
    graphs_refresh(TAB_STORAGE, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);  // hidden: the sampler's call draws nothing
    EXPECT_TRUE(FakeWindow::drawn.empty());
    graphs_refresh(TAB_STORAGE, REFRESH_FORCED, REFRESH_EVERY_CALL);  // forced into the hidden window
    EXPECT_EQ(FakeWindow::drawn, (std::vector<int>{TAB_STORAGE}));
    EXPECT_EQ(SharedQuads[REFRESH_STAMP].load(), 0);  // unthrottled calls leave the stamp alone

    FakeWindow::visible = true;
    FakeWindow::drawn.clear();
    const Date far_future = date_now() + 3600;
    SharedQuads[REFRESH_STAMP] = far_future;
    SharedInts[REFRESH_LAST_TAB] = TAB_STORAGE;
    graphs_refresh(TAB_STORAGE, REFRESH_FORCED, REFRESH_THROTTLED);  // a throttled repeat
    EXPECT_TRUE(FakeWindow::drawn.empty());
    EXPECT_EQ(SharedQuads[REFRESH_STAMP].load(), far_future);

    FakeWindow::shown = TAB_NETWORKS;
    const Date before = date_now();
    graphs_refresh(TAB_NETWORKS, REFRESH_FORCED, REFRESH_THROTTLED);  // another tab gets through and takes the stamp
    EXPECT_EQ(FakeWindow::drawn, (std::vector<int>{TAB_NETWORKS}));
    EXPECT_EQ(SharedInts[REFRESH_LAST_TAB].load(), TAB_NETWORKS);
    EXPECT_GE(SharedQuads[REFRESH_STAMP].load(), before);
    EXPECT_LE(SharedQuads[REFRESH_STAMP].load(), date_now());

    graphs_refresh(TAB_STORAGE, REFRESH_IF_VISIBLE, REFRESH_THROTTLED);  // not shown: nothing drawn, but stamped
    EXPECT_EQ(FakeWindow::drawn.size(), 1u);
    EXPECT_EQ(SharedInts[REFRESH_LAST_TAB].load(), TAB_STORAGE);
}

}  // namespace
