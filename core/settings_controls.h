// Which Settings-tab control shows which setting, and the checks every value passes on its way between a
// control and the settings: check states, option flips, combo selections and track-bar positions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/control_numbers.h"
#include "core/shared_state.h"

// An option check box and the option element it shows.
struct OptionCheckBox {
    int control;
    SharedIntIndex option;
    bool three_state;  // below 0 shows the third state
};

// The 23 option check boxes, in control-number order.
std::span<const OptionCheckBox> option_check_boxes();
// The entry of a control; nullptr when it is no option check box.
const OptionCheckBox* option_check_box(int control);

// The state a check box shows for an option value: 1 ticked (above 0), -1 the third state (below 0), 0 not.
int check_state_of(int32_t value);
// An option after a click: its lowest bit flipped (0 and 1 alternate, so do -1 and -2).
int32_t option_flipped(int32_t value);

// What a combo box or a track bar shows and stores.
struct SettingsChoice {
    int control;
    SharedIntIndex element;
    int offset;   // shown index = element - offset
    int minimum;  // the shown range (combo boxes: 0 to the item count - 1)
    int maximum;  // -1: up to the combo box's item count - 1
};
std::span<const SettingsChoice> settings_choices();
const SettingsChoice* settings_choice(int control);

// The index a control shows for a stored value: NET_SHOW_PACKETS other than 1 and BYTE_UNIT outside 1..5
// show item 0; any other value out of the control's range shows `fallback` (-1: no change).
int choice_shown(const SettingsChoice& choice, int32_t value, int item_count, int fallback);

// A combo selection the user made, taken only when it names an item: -1 (nothing chosen) and indexes past
// the end of the list give nothing, so the setting keeps its value.
std::optional<int> combo_choice_taken(int selected, int item_count);

// A track-bar position within its range; nothing for a position the control cannot have.
std::optional<int> track_position_taken(int position, int minimum, int maximum);

// The long-idle time of item `choice` of the comma-separated minutes: 60 x the field's value, 0 for
// "Disabled" or a field that is not there.
int32_t long_idle_seconds(std::wstring_view choices, int choice);
