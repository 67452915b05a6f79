// Makes the Ping tab's mode-dependent controls from the plan of ping_toolbar.cpp.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/text/text.h"
#include "ui/ping_toolbar.h"

namespace {

constexpr COLORREF CUE_COLOR = 0x808080;
constexpr COLORREF CUE_BACK = 0xFFFFFF;

std::wstring vendor_file_name() {
    std::lock_guard files(DataFilesLock);
    return DataFiles[DATA_FILE_MAC_VENDORS].file_name;
}

// The dotted text as an address with the first octet in the lowest byte; 0 for anything else.
uint32_t address_of(const std::wstring& dotted) {
    uint32_t address = 0;
    int shift = 0;
    std::size_t at = 0;
    while (shift < 32 && at <= dotted.size()) {
        const std::size_t dot = dotted.find(L'.', at);
        const std::wstring part = dotted.substr(at, dot == std::wstring::npos ? std::wstring::npos : dot - at);
        address |= static_cast<uint32_t>(std::wcstoul(part.c_str(), nullptr, 10) & 0xFF) << shift;
        shift += 8;
        if (dot == std::wstring::npos) break;
        at = dot + 1;
    }
    return address;
}

void cue_draw(int canvas, const std::wstring& text) {
    CanvasDraw draw(canvas);
    if (!draw) return;
    const HDC dc = draw.dc();
    const RECT all{0, 0, draw.width(), draw.height()};
    if (const HBRUSH white = CreateSolidBrush(CUE_BACK)) {
        FillRect(dc, &all, white);
        DeleteObject(white);
    }
    if (const auto font = reinterpret_cast<HFONT>(font_handle(FONT_CUE))) SelectObject(dc, font);
    SetTextColor(dc, CUE_COLOR);
    SetBkColor(dc, CUE_BACK);
    SetBkMode(dc, OPAQUE);
    TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
}

void control_make(const PingToolControl& control, const GuiParent& tab) {
    switch (control.kind) {
        case PingToolKind::TEXT_INPUT:
            if (text_input_create(control.number, tab, control.x, control.y, control.width, control.height, L"", 0)) {
                control_font_set(control.number, FONT_FIXED_SMALL);
                if (control.limit > 0) text_input_limit(control.number, control.limit);
                // Host names are matched in lower case; the field shows what will be looked up.
                if (control.number == INPUT_PING_HOST) {
                    if (const HWND field = reinterpret_cast<HWND>(control_handle(control.number)))
                        SetWindowLongPtrW(field, GWL_STYLE, GetWindowLongPtrW(field, GWL_STYLE) | ES_LOWERCASE);
                }
            }
            break;
        case PingToolKind::ADDRESS_INPUT:
            if (ip_input_create(control.number, tab, control.x, control.y, control.width, control.height)) {
                control_font_set(control.number, FONT_FIXED_SMALL);
                if (!control.text.empty()) ip_input_address_set(control.number, address_of(control.text));
            }
            break;
        case PingToolKind::CUE_CANVAS:
            if (canvas_create(control.number, tab, control.x, control.y, control.width, control.height, 0, CUE_BACK))
                cue_draw(control.number, tr(control.text));
            break;
        case PingToolKind::DASH:
            text_label_create(control.number, tab, control.x, control.y, control.width, control.height, L"",
                              TEXT_BORDER);
            break;
        case PingToolKind::FILE_LABEL:
            if (text_label_create(control.number, tab, control.x, control.y, control.width, control.height,
                                  control.text, TEXT_BORDER | TEXT_CENTER | TEXT_CENTER_VERTICAL))
                control_font_set(control.number, FONT_DEFAULT);
            break;
    }
}

// The window class a control of the kind has.
const wchar_t* class_of_kind(PingToolKind kind) {
    switch (kind) {
        case PingToolKind::TEXT_INPUT: return L"Edit";
        case PingToolKind::ADDRESS_INPUT: return WC_IPADDRESSW;
        case PingToolKind::CUE_CANVAS: return L"SotrixCanvas";
        case PingToolKind::DASH:
        case PingToolKind::FILE_LABEL: break;
    }
    return L"Static";
}

// Whether the control is there already as the plan has it (a unit of rounding aside).
bool control_matches(const PingToolControl& control) {
    const auto hwnd = reinterpret_cast<HWND>(control_handle(control.number));
    if (!hwnd) return false;
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (lstrcmpiW(name, class_of_kind(control.kind)) != 0) return false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (!control_geometry(control.number, &x, &y, &width, &height)) return false;
    const auto close_to = [](int a, int b) { return a - b <= 1 && b - a <= 1; };
    return close_to(x, control.x) && close_to(y, control.y) && close_to(width, control.width) &&
           close_to(height, control.height);
}

// A kept control starts over as a new one would: fields empty or preset, texts and the cue drawn anew.
void control_refresh(const PingToolControl& control) {
    switch (control.kind) {
        case PingToolKind::TEXT_INPUT: control_text_set(control.number, L""); break;
        case PingToolKind::ADDRESS_INPUT:
            if (control.text.empty()) {
                SendMessageW(reinterpret_cast<HWND>(control_handle(control.number)), IPM_CLEARADDRESS, 0, 0);
            } else {
                ip_input_address_set(control.number, address_of(control.text));
            }
            break;
        case PingToolKind::CUE_CANVAS: cue_draw(control.number, tr(control.text)); break;
        case PingToolKind::FILE_LABEL: control_text_set(control.number, control.text); break;
        case PingToolKind::DASH: break;
    }
}

}  // namespace

// Controls that are already what the mode wants are kept and reset rather than made anew, so that a
// rebuild for the shown mode (the one at start-up among them) leaves the windows in place.
void ping_toolbar_build() {
    const GuiParent tab = gui_in_tab(PANEL_MAIN, TAB_PING);
    const int mode = SharedInts[PING_MODE].load();
    const PingToolTips tips = ping_toolbar_tips(mode);
    control_tooltip_set(BUTTON_PING_ADD, tr(tips.add));
    control_tooltip_set(BUTTON_PING_DELETE, tr(tips.remove));
    control_tooltip_set(BUTTON_PING_RESET, tr(tips.reset));

    PingToolbarFacts facts;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (control_geometry(COMBO_PING_MODE, &x, &y, &width, &height)) facts.mode_right = x + width;
    if (control_geometry(BUTTON_PING_ADD, &x, &y, &width, &height)) facts.room_right = x;
    facts.scale = SharedFloats[TABS_SCALE].load();
    facts.gateway = shared_text(DEFAULT_GATEWAY_TEXT);
    facts.vendor_label =
        ping_vendor_label(vendor_file_name(), SharedInts[MAC_VENDOR_COUNT].load(), tr(L"Active"), tr(L"Inactive"));
    const std::vector<PingToolControl> plan = ping_toolbar_plan(mode, facts);

    std::vector<int> kept;
    for (const PingToolControl& control : plan) {
        if (control_matches(control)) kept.push_back(control.number);
    }
    const auto is_kept = [&kept](int number) { return std::find(kept.begin(), kept.end(), number) != kept.end(); };
    for (int number : PING_TOOL_NUMBERS) {
        if (!is_kept(number) && control_exists(number)) control_free(number);
    }
    for (const PingToolControl& control : plan) {
        if (is_kept(control.number)) {
            control_refresh(control);
        } else {
            control_make(control, tab);
        }
    }
    combo_box_select(COMBO_PING_MODE, mode);
}
