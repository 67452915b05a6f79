// The Ping tab's tool row by mode: controls, places, presets and tooltips.
#include "ui/ping_toolbar.h"

#include <algorithm>
#include <cmath>

#include "core/control_numbers.h"

namespace {

constexpr int FIELD_Y = 2;
constexpr int FIELD_HEIGHT = 20;
constexpr int DESCRIPTION_LIMIT = 40;
constexpr float ROW_SPAN = 250.0f;  // units every mode's controls take at scale 1

int scaled(int units, float scale) { return static_cast<int>(std::lround(static_cast<float>(units) * scale)); }

// The octets of a dotted IPv4 text; false unless it is four numbers 0..255.
bool octets_of(std::wstring_view text, std::array<int, 4>& octets) {
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != L'.') return false;
            ++at;
        }
        int value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && digits < 3) {
            value = value * 10 + (text[at] - L'0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
        octets[static_cast<std::size_t>(i)] = value;
    }
    return at == text.size();
}

}  // namespace

std::vector<PingToolControl> ping_toolbar_plan(int mode, const PingToolbarFacts& facts) {
    const int left = facts.mode_right + 4;
    float s = facts.scale;
    if (facts.room_right > 0) {
        const float room = static_cast<float>(facts.room_right - 4 - left);
        if (room < ROW_SPAN * s) s = std::max(room, 0.0f) / ROW_SPAN;
    }
    std::vector<PingToolControl> plan;
    switch (mode) {
        case PING_MODE_HOST_NAME:
            plan.push_back({INPUT_PING_HOST, PingToolKind::TEXT_INPUT, left, FIELD_Y, scaled(250, s), FIELD_HEIGHT});
            break;
        case PING_MODE_ADDRESS: {
            const PingToolControl from{INPUT_PING_IP_FROM, PingToolKind::ADDRESS_INPUT, left, FIELD_Y, scaled(121, s),
                                       FIELD_HEIGHT};
            const PingToolControl description{INPUT_PING_DESCRIPTION,
                                              PingToolKind::TEXT_INPUT,
                                              from.x + from.width + scaled(4, s),
                                              FIELD_Y,
                                              scaled(125, s),
                                              FIELD_HEIGHT,
                                              DESCRIPTION_LIMIT};
            plan.push_back(from);
            plan.push_back(description);
            plan.push_back({LABEL_PING_HINT, PingToolKind::CUE_CANVAS, description.x + 4, 4, scaled(110, s), 16, 0,
                            L"Description"});
            break;
        }
        case PING_MODE_RANGE:
        case PING_MODE_RANGE_KEEP_ACTIVE: {
            const std::array<std::wstring, 2> preset = ping_range_preset(facts.gateway);
            PingToolControl from{INPUT_PING_IP_FROM, PingToolKind::ADDRESS_INPUT, left, FIELD_Y, scaled(121, s),
                                 FIELD_HEIGHT};
            from.text = preset[0];
            const PingToolControl dash{LABEL_PING_HINT, PingToolKind::DASH, from.x + from.width, 10, 10, 1};
            PingToolControl to{INPUT_PING_IP_TO,      PingToolKind::ADDRESS_INPUT,
                               dash.x + scaled(7, s), FIELD_Y,
                               scaled(121, s),        FIELD_HEIGHT};
            to.text = preset[1];
            plan.push_back(from);
            plan.push_back(dash);
            plan.push_back(to);
            break;
        }
        case PING_MODE_MAC_VENDORS:
            plan.push_back({TEXT_MAC_VENDOR_FILE, PingToolKind::FILE_LABEL, left, FIELD_Y, scaled(250, s), FIELD_HEIGHT,
                            0, facts.vendor_label});
            break;
        default: break;
    }
    return plan;
}

PingToolTips ping_toolbar_tips(int mode) {
    if (mode == PING_MODE_MAC_VENDORS) return {L"Import Data", L"Clear Data", L"Open Website Link"};
    return {L"Add Ping. Shift = Select Inactive", L"Delete Selected, Shift = Delete ALL",
            L"Reset Selected, Shift = Reset ALL"};
}

std::array<std::wstring, 2> ping_range_preset(std::wstring_view gateway) {
    std::array<int, 4> octets{};
    if (!octets_of(gateway, octets)) return {L"192.168.0.1", L"192.168.0.254"};
    const std::wstring net =
        std::to_wstring(octets[0]) + L"." + std::to_wstring(octets[1]) + L"." + std::to_wstring(octets[2]) + L".";
    if (octets[0] >= 192) return {net + L"1", net + L"254"};
    return {net + L"0", net + L"255"};
}

std::wstring ping_vendor_label(std::wstring_view file_name, int vendor_count, std::wstring_view active,
                               std::wstring_view inactive) {
    std::wstring label = std::wstring(file_name) + L" - ";
    if (vendor_count > 0) return label + std::wstring(active) + L" (" + std::to_wstring(vendor_count) + L")";
    return label + std::wstring(inactive);
}
