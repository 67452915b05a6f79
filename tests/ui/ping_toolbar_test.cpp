// The Ping tab's tool row: the controls and places of each mode, the range presets and the tooltips.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "ui/ping_toolbar.h"

namespace {

struct Expected {
    int number;
    PingToolKind kind;
    int x, y, width, height;
    std::wstring text;
};

TEST(PingToolbar, EachModeHasItsControlsAtTheirPlaces) {
    PingToolbarFacts facts;
    facts.mode_right = 100;
    facts.scale = 1.5f;
    facts.gateway = L"10.1.2.254";
    facts.vendor_label = L"Mac-Vendors-Export.csv - Inactive";
    struct Case {
        int mode;
        std::vector<Expected> controls;
    };
    const Case cases[] = {
        {PING_MODE_HOST_NAME, {{INPUT_PING_HOST, PingToolKind::TEXT_INPUT, 104, 2, 375, 20, L""}}},
        {PING_MODE_ADDRESS,
         {{INPUT_PING_IP_FROM, PingToolKind::ADDRESS_INPUT, 104, 2, 182, 20, L""},
          {INPUT_PING_DESCRIPTION, PingToolKind::TEXT_INPUT, 292, 2, 188, 20, L""},
          {LABEL_PING_HINT, PingToolKind::CUE_CANVAS, 296, 4, 165, 16, L"Description"}}},
        {PING_MODE_RANGE,
         {{INPUT_PING_IP_FROM, PingToolKind::ADDRESS_INPUT, 104, 2, 182, 20, L"10.1.2.0"},
          {LABEL_PING_HINT, PingToolKind::DASH, 286, 10, 10, 1, L""},
          {INPUT_PING_IP_TO, PingToolKind::ADDRESS_INPUT, 297, 2, 182, 20, L"10.1.2.255"}}},
        {PING_MODE_RANGE_KEEP_ACTIVE,
         {{INPUT_PING_IP_FROM, PingToolKind::ADDRESS_INPUT, 104, 2, 182, 20, L"10.1.2.0"},
          {LABEL_PING_HINT, PingToolKind::DASH, 286, 10, 10, 1, L""},
          {INPUT_PING_IP_TO, PingToolKind::ADDRESS_INPUT, 297, 2, 182, 20, L"10.1.2.255"}}},
        {PING_MODE_MAC_VENDORS,
         {{TEXT_MAC_VENDOR_FILE, PingToolKind::FILE_LABEL, 104, 2, 375, 20, L"Mac-Vendors-Export.csv - Inactive"}}},
        {7, {}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        const std::vector<PingToolControl> plan = ping_toolbar_plan(c.mode, facts);
        ASSERT_EQ(plan.size(), c.controls.size()) << "mode " << c.mode;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const Expected& e = c.controls[i];
            EXPECT_EQ(plan[i].number, e.number) << "mode " << c.mode << " control " << i;
            EXPECT_EQ(plan[i].kind, e.kind) << "mode " << c.mode << " control " << e.number;
            EXPECT_EQ(plan[i].x, e.x) << "mode " << c.mode << " control " << e.number;
            EXPECT_EQ(plan[i].y, e.y) << "mode " << c.mode << " control " << e.number;
            EXPECT_EQ(plan[i].width, e.width) << "mode " << c.mode << " control " << e.number;
            EXPECT_EQ(plan[i].height, e.height) << "mode " << c.mode << " control " << e.number;
            EXPECT_EQ(plan[i].text, e.text) << "mode " << c.mode << " control " << e.number;
            EXPECT_NE(std::find(PING_TOOL_NUMBERS.begin(), PING_TOOL_NUMBERS.end(), e.number), PING_TOOL_NUMBERS.end())
                << "a rebuild would not remove control " << e.number;
        }
    }
    EXPECT_EQ(ping_toolbar_plan(PING_MODE_ADDRESS, facts)[1].limit, 40) << "the description takes 40 characters";
}

TEST(PingToolbar, ControlsNarrowToTheRoomLeftOfTheAddButton) {
    PingToolbarFacts facts;
    facts.mode_right = 100;
    facts.scale = 1.0f;
    facts.room_right = 104 + 220 + 4;  // 220 units between the mode box and the add button
    const auto host = ping_toolbar_plan(PING_MODE_HOST_NAME, facts);
    ASSERT_EQ(host.size(), 1u);
    EXPECT_EQ(host[0].width, 220);
    for (int mode : {PING_MODE_ADDRESS, PING_MODE_RANGE}) {
        int right = 0;
        for (const PingToolControl& control : ping_toolbar_plan(mode, facts))
            right = std::max(right, control.x + control.width);
        EXPECT_LE(right, 104 + 220) << "mode " << mode << " reaches the add button";
        EXPECT_GE(right, 104 + 215) << "mode " << mode << " leaves room unused";
    }
    facts.room_right = 2000;  // room enough: the plain sizes
    EXPECT_EQ(ping_toolbar_plan(PING_MODE_HOST_NAME, facts)[0].width, 250);
}

TEST(PingToolbar, RangePresetsFollowTheDefaultGateway) {
    struct Case {
        std::wstring gateway, from, to;
    };
    const Case cases[] = {
        {L"10.1.2.254", L"10.1.2.0", L"10.1.2.255"},           {L"192.168.178.1", L"192.168.178.1", L"192.168.178.254"},
        {L"191.0.0.1", L"191.0.0.0", L"191.0.0.255"},          {L"", L"192.168.0.1", L"192.168.0.254"},
        {L"not an address", L"192.168.0.1", L"192.168.0.254"}, {L"300.1.2.3", L"192.168.0.1", L"192.168.0.254"},
        {L"10.1.2", L"192.168.0.1", L"192.168.0.254"},
    };
    for (const Case& c : cases) {
        const auto preset = ping_range_preset(c.gateway);
        EXPECT_EQ(preset[0], c.from) << std::string(c.gateway.begin(), c.gateway.end());
        EXPECT_EQ(preset[1], c.to) << std::string(c.gateway.begin(), c.gateway.end());
    }
}

TEST(PingToolbar, TooltipsAndVendorLabelByMode) {
    for (int mode = PING_MODE_HOST_NAME; mode <= PING_MODE_RANGE_KEEP_ACTIVE; ++mode) {
        const PingToolTips tips = ping_toolbar_tips(mode);
        EXPECT_EQ(tips.add, L"Add Ping. Shift = Select Inactive") << mode;
        EXPECT_EQ(tips.remove, L"Delete Selected, Shift = Delete ALL") << mode;
        EXPECT_EQ(tips.reset, L"Reset Selected, Shift = Reset ALL") << mode;
    }
    const PingToolTips vendor = ping_toolbar_tips(PING_MODE_MAC_VENDORS);
    EXPECT_EQ(vendor.add, L"Import Data");
    EXPECT_EQ(vendor.remove, L"Clear Data");
    EXPECT_EQ(vendor.reset, L"Open Website Link");
    EXPECT_EQ(ping_vendor_label(L"Mac-Vendors-Export.csv", 0, L"Active", L"Inactive"),
              L"Mac-Vendors-Export.csv - Inactive");
    EXPECT_EQ(ping_vendor_label(L"Mac-Vendors-Export.csv", 31204, L"Active", L"Inactive"),
              L"Mac-Vendors-Export.csv - Active (31204)");
}

}  // namespace
