// The combo-box choices of the monitoring tabs, checked against their lists.
#include "core/tab_choices.h"

#include "core/control_numbers.h"

bool drive_filter_choice(int item, std::wstring_view letters, int* drive_index) {
    if (item == 0) {
        *drive_index = -1;
        return true;
    }
    if (item < 0 || static_cast<size_t>(item) > letters.size()) return false;
    const wchar_t letter = letters[static_cast<size_t>(item) - 1];
    if (letter < L'A' || letter > L'Z') return false;
    *drive_index = letter - L'A' + 1;
    return true;
}

bool network_filter_choice(int item, std::wstring_view adapters, int* adapter_number) {
    if (item == 0) {
        *adapter_number = -1;
        return true;
    }
    if (item < 0 || static_cast<size_t>(item) * 3 > adapters.size()) return false;
    const std::wstring_view digits = adapters.substr(static_cast<size_t>(item) * 3 - 3, 3);
    int number = 0;
    bool any = false;
    for (const wchar_t c : digits) {
        if (c == L' ' && !any) continue;  // a number written in fewer digits
        if (c < L'0' || c > L'9') return false;
        number = number * 10 + (c - L'0');
        any = true;
    }
    if (!any) return false;
    *adapter_number = number;
    return true;
}

bool gpu_choice_switches(int item, int selected, int entry_count) {
    const int slots = entry_count < GRAPH_GPU_SLOTS ? entry_count : GRAPH_GPU_SLOTS;
    return item >= 0 && item < slots && item != selected;
}

bool unit_choice_valid(int item, int count) { return item >= 0 && item < count; }

bool graph_is_gpu(int control, int gpu_start) { return control >= gpu_start && control <= gpu_start + GPU_GRAPH_SPAN; }

int graph_color_kind(int control, int gpu_start, int gpu_selected) {
    return graph_is_gpu(control, gpu_start) ? control - GPU_SLOT_STEP * gpu_selected : control;
}

int32_t graph_color_picked(int32_t chosen, int32_t default_color) {
    if (chosen < 0) return -1;
    if (chosen == 0) return 1;
    if (chosen == 0xFFFFFF) return default_color;
    return chosen;
}
