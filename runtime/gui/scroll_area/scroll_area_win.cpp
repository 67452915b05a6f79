// Scroll areas over Win32: a child window with its own scroll bars that moves its children as it scrolls.
#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/scroll_area/scroll_area.h"

namespace {

constexpr wchar_t SCROLL_AREA_CLASS[] = L"SotrixScrollArea";
constexpr UINT WM_SCROLL_AREA_APPLY = WM_APP + 0x140;
constexpr int NO_REQUEST = INT_MIN;

struct ScrollState {
    int inner_width = 0;  // units
    int inner_height = 0;
    int step = 1;
    int wanted_x = NO_REQUEST;  // units
    int wanted_y = NO_REQUEST;
    int x = 0;  // pixels scrolled
    int y = 0;
};

std::mutex states_lock;  // leaf lock
std::map<int, ScrollState> states;

bool state_of(int number, ScrollState* copy) {
    std::lock_guard guard(states_lock);
    const auto found = states.find(number);
    if (found == states.end()) return false;
    *copy = found->second;
    return true;
}

void state_change(int number, void (*change)(ScrollState&, int, int), int a, int b) {
    {
        std::lock_guard guard(states_lock);
        const auto found = states.find(number);
        if (found == states.end()) return;
        change(found->second, a, b);
    }
    if (HWND hwnd = gui_object_hwnd(false, number)) PostMessageW(hwnd, WM_SCROLL_AREA_APPLY, 0, 0);
}

void bar_set(HWND hwnd, int bar, int inner, int page, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(inner - 1, 0);
    info.nPage = static_cast<UINT>(std::max(page, 0));
    info.nPos = position;
    SetScrollInfo(hwnd, bar, &info, TRUE);
}

// Brings the bars and the children to the state's inner size and position (or the one asked for). Main thread.
void apply(HWND hwnd, int number, int request_x_pixels = NO_REQUEST, int request_y_pixels = NO_REQUEST) {
    ScrollState state;
    if (!state_of(number, &state)) return;
    const int inner_width = gui_scale(state.inner_width);
    const int inner_height = gui_scale(state.inner_height);
    int x = request_x_pixels != NO_REQUEST ? request_x_pixels
            : state.wanted_x != NO_REQUEST ? gui_scale(std::min(state.wanted_x, 1 << 20))
                                           : state.x;
    int y = request_y_pixels != NO_REQUEST ? request_y_pixels
            : state.wanted_y != NO_REQUEST ? gui_scale(std::min(state.wanted_y, 1 << 20))
                                           : state.y;
    // Showing or hiding one bar changes the room for the other, so the bars are set twice.
    RECT client{};
    for (int pass = 0; pass < 2; ++pass) {
        GetClientRect(hwnd, &client);
        x = std::clamp(x, 0, std::max(inner_width - static_cast<int>(client.right), 0));
        y = std::clamp(y, 0, std::max(inner_height - static_cast<int>(client.bottom), 0));
        bar_set(hwnd, SB_HORZ, inner_width, client.right, x);
        bar_set(hwnd, SB_VERT, inner_height, client.bottom, y);
    }
    if (x != state.x || y != state.y) {
        ScrollWindowEx(hwnd, state.x - x, state.y - y, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    }
    std::lock_guard guard(states_lock);
    const auto found = states.find(number);
    if (found == states.end()) return;
    found->second.x = x;
    found->second.y = y;
    found->second.wanted_x = NO_REQUEST;
    found->second.wanted_y = NO_REQUEST;
}

// The position a scroll-bar action asks for, in pixels.
int scrolled_to(HWND hwnd, int bar, int code, int step_pixels) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd, bar, &info);
    const int page = static_cast<int>(info.nPage);
    switch (code) {
        case SB_LINEUP: return info.nPos - step_pixels;
        case SB_LINEDOWN: return info.nPos + step_pixels;
        case SB_PAGEUP: return info.nPos - page;
        case SB_PAGEDOWN: return info.nPos + page;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: return info.nTrackPos;
        case SB_TOP: return 0;
        case SB_BOTTOM: return info.nMax;
        default: return info.nPos;
    }
}

LRESULT CALLBACK scroll_area_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    GuiObject object;
    const bool known = gui_control_by_hwnd(hwnd, &object);
    LRESULT result = 0;
    if (known && gui_callback_answer(object.window, hwnd, message, wparam, lparam, &result)) return result;
    if (known) {
        ScrollState state;
        switch (message) {
            case WM_SCROLL_AREA_APPLY:
            case WM_SIZE: apply(hwnd, object.number); return 0;
            case WM_HSCROLL:
            case WM_VSCROLL:
                if (lparam != 0 || !state_of(object.number, &state)) break;  // a track bar inside the area
                if (message == WM_HSCROLL) {
                    apply(hwnd, object.number, scrolled_to(hwnd, SB_HORZ, LOWORD(wparam), gui_scale(state.step)));
                } else {
                    apply(hwnd, object.number, NO_REQUEST,
                          scrolled_to(hwnd, SB_VERT, LOWORD(wparam), gui_scale(state.step)));
                }
                return 0;
            case WM_MOUSEWHEEL:
                if (!state_of(object.number, &state)) break;
                apply(hwnd, object.number, NO_REQUEST,
                      state.y - GET_WHEEL_DELTA_WPARAM(wparam) * 3 * gui_scale(state.step) / WHEEL_DELTA);
                return 0;
            case WM_NCDESTROY: {
                std::lock_guard guard(states_lock);
                states.erase(object.number);
                break;
            }
            default: break;
        }
    }
    if (gui_container_message(hwnd, message, wparam, lparam, &result)) return result;
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool scroll_area_class_register() {
    static const bool registered = [] {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = scroll_area_proc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        window_class.lpszClassName = SCROLL_AREA_CLASS;
        return RegisterClassExW(&window_class) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

int scroll_area_create(int number, const GuiParent& parent, int x, int y, int width, int height, int inner_width,
                       int inner_height, int step) {
    if (!gui_on_main_thread() || !scroll_area_class_register()) return 0;
    number = gui_child_create(number, GUI_KIND_CONTAINER, SCROLL_AREA_CLASS, parent, x, y, width, height, L"",
                              WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                              WS_EX_CONTROLPARENT | WS_EX_STATICEDGE, 0);
    if (number == 0) return 0;
    {
        std::lock_guard guard(states_lock);
        ScrollState& state = states[number];
        state = ScrollState{};
        state.inner_width = std::max(inner_width, 0);
        state.inner_height = std::max(inner_height, 0);
        state.step = std::max(step, 1);
    }
    if (HWND hwnd = gui_object_hwnd(false, number)) apply(hwnd, number);
    return number;
}

void scroll_area_inner_size_set(int number, int inner_width, int inner_height) {
    state_change(
        number,
        [](ScrollState& state, int w, int h) {
            if (w != GUI_KEEP) state.inner_width = std::max(w, 0);
            if (h != GUI_KEEP) state.inner_height = std::max(h, 0);
        },
        inner_width, inner_height);
}

void scroll_area_step_set(int number, int step) {
    state_change(
        number, [](ScrollState& state, int s, int) { state.step = std::max(s, 1); }, step, 0);
}

void scroll_area_scroll_to(int number, int x, int y) {
    state_change(
        number,
        [](ScrollState& state, int to_x, int to_y) {
            if (to_x != GUI_KEEP) state.wanted_x = std::max(to_x, 0);
            if (to_y != GUI_KEEP) state.wanted_y = std::max(to_y, 0);
        },
        x, y);
}

bool scroll_area_inner_size(int number, int* inner_width, int* inner_height) {
    ScrollState state;
    if (!state_of(number, &state)) return false;
    *inner_width = state.inner_width;
    *inner_height = state.inner_height;
    return true;
}

bool scroll_area_position(int number, int* x, int* y) {
    ScrollState state;
    if (!state_of(number, &state)) return false;
    *x = gui_unscale(state.x);
    *y = gui_unscale(state.y);
    return true;
}

int scroll_area_step(int number) {
    ScrollState state;
    return state_of(number, &state) ? state.step : 0;
}
