// The Ping tab's mode-dependent tool row: which input controls each mode has, where, and the buttons'
// tooltips; ping_toolbar_build makes them on Windows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"

enum PingMode : int {
    PING_MODE_HOST_NAME = 0,
    PING_MODE_ADDRESS = 1,
    PING_MODE_RANGE = 2,
    PING_MODE_RANGE_KEEP_ACTIVE = 3,
    PING_MODE_MAC_VENDORS = 4,
    PING_MODE_COUNT = 5
};

enum class PingToolKind : uint8_t {
    TEXT_INPUT,     // a text field in FONT_FIXED_SMALL
    ADDRESS_INPUT,  // an IPv4 address field in FONT_FIXED_SMALL
    CUE_CANVAS,     // the grey "Description" cue
    DASH,           // a bordered label one unit high, the dash between the range fields
    FILE_LABEL,     // a bordered label centred both ways, in FONT_DEFAULT
};

// One control of a mode, in 96-DPI units on the Ping tab.
struct PingToolControl {
    int number = 0;
    PingToolKind kind = PingToolKind::TEXT_INPUT;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int limit = 0;      // characters a text field takes; 0 no limit of ours
    std::wstring text;  // the label's text, or the field's preset address
    bool operator==(const PingToolControl&) const = default;
};

// What the tool row needs to know besides the mode.
struct PingToolbarFacts {
    int mode_right = 0;         // x + width of COMBO_PING_MODE, units
    int room_right = 0;         // x of BUTTON_PING_ADD: the controls end 4 units before it; 0 no bound
    float scale = 1.0f;         // TABS_SCALE
    std::wstring gateway;       // DEFAULT_GATEWAY_TEXT
    std::wstring vendor_label;  // the MAC vendor file's label (ping_vendor_label)
};

// The controls of a mode, created in this order; a mode out of range has none. Every mode's controls span
// 250 units at the tab scale, narrowed alike where the add button leaves less room.
std::vector<PingToolControl> ping_toolbar_plan(int mode, const PingToolbarFacts& facts);

// The controls any mode may have made, which a rebuild removes first.
inline constexpr std::array<int, 6> PING_TOOL_NUMBERS = {INPUT_PING_HOST,  INPUT_PING_IP_FROM,
                                                         INPUT_PING_IP_TO, INPUT_PING_DESCRIPTION,
                                                         LABEL_PING_HINT,  TEXT_MAC_VENDOR_FILE};

// English keys of the add, delete and reset buttons' tooltips for a mode.
struct PingToolTips {
    std::wstring_view add;
    std::wstring_view remove;
    std::wstring_view reset;
};
PingToolTips ping_toolbar_tips(int mode);

// The range fields' preset from the default gateway: its first three octets with 1 and 254 when the first
// octet is 192 or more, with 0 and 255 below; 192.168.0.1 and 192.168.0.254 without a usable gateway.
std::array<std::wstring, 2> ping_range_preset(std::wstring_view gateway);

// "<file name> - Active (<count>)" or "<file name> - Inactive", with the two words already translated.
std::wstring ping_vendor_label(std::wstring_view file_name, int vendor_count, std::wstring_view active,
                               std::wstring_view inactive);

// ---- Windows ----

// Rebuilds the mode-dependent controls of the Ping tab for PING_MODE, sets the buttons' tooltips and shows
// the mode in COMBO_PING_MODE. Main thread.
void ping_toolbar_build();
