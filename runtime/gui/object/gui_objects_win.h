// Inside the windowing runtime: the registry of numbered windows and controls, the runtime's private
// messages and the helpers the kinds share. Not for use outside runtime/gui.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/gui/gui.h"

enum GuiKind : int {
    GUI_KIND_WINDOW,
    GUI_KIND_CANVAS,
    GUI_KIND_TEXT,
    GUI_KIND_INPUT,
    GUI_KIND_BUTTON,
    GUI_KIND_CHECK_BOX,
    GUI_KIND_COMBO_BOX,
    GUI_KIND_LIST_VIEW,
    GUI_KIND_TRACK_BAR,
    GUI_KIND_LINK_LABEL,
    GUI_KIND_PANEL,
    GUI_KIND_CONTAINER,
    GUI_KIND_FOLDER_TREE,
};

struct CanvasSurface;

struct GuiObject {
    int number = -1;
    GuiKind kind = GUI_KIND_WINDOW;
    HWND hwnd = nullptr;
    int window = -1;          // the top-level window it lives in (its own number for a window)
    int32_t text_color = -1;  // 0x00BBGGRR; -1 the system's
    int32_t back_color = -1;
    HBRUSH back_brush = nullptr;
    int flags = 0;      // the kind's creation flags
    int64_t data = 0;   // the user's value
    int range_min = 0;  // track bars
    int range_max = 0;
    std::wstring text;          // last text or title set
    bool text_pending = false;  // set from another thread; the main thread applies it
    WindowCallback callback = nullptr;
    std::shared_ptr<CanvasSurface> canvas;
    std::vector<HWND> pages;  // the pages of a panel, in tab order
    HWND tooltip = nullptr;   // a window's tooltip control
    int selected = -1;        // combo boxes and panels: the selection as the main thread last saw it
};

// Private messages of the runtime, posted to its message window.
enum GuiMessage : UINT {
    WM_GUI_WAKE = WM_APP + 0x100,
    WM_GUI_LIST_CHANGED,  // wParam: the list control's number
    WM_GUI_APPLY_TEXTS,   // texts and titles set from other threads wait to be applied
    WM_GUI_TRAY,          // tray icon callback: wParam the icon's number, lParam the mouse message
};

// Registry. Windows and controls have separate numbers. Every accessor copies under a leaf lock.
void gui_object_put(const GuiObject& object);
bool gui_object_get(bool is_window, int number, GuiObject* copy);
HWND gui_object_hwnd(bool is_window, int number);
bool gui_object_update(bool is_window, int number, const std::function<void(GuiObject&)>& change);
bool gui_object_take(bool is_window, int number, GuiObject* removed);
// The selection of a combo box or panel as the main thread last saw it (-1 for none or no such control).
// Other threads read this copy instead of asking the control: a question to a window of another thread waits
// until that thread serves it, and a worker that asked every round would wake the main thread every round.
int gui_selection_remembered(int number);
void gui_selection_remember(int number, int selected);
// The control whose window handle this is; false for none.
bool gui_control_by_hwnd(HWND hwnd, GuiObject* copy);
int gui_window_number_of(HWND hwnd);  // -1 when it is none of ours
std::vector<int> gui_controls_in_window(int window);
std::vector<int> gui_windows_with_pending_texts();
std::vector<int> gui_controls_with_pending_texts();
// A new control number for GUI_ANY.
int gui_dynamic_number();

// The runtime's message window and main thread.
HWND gui_message_window();
DWORD gui_main_thread_id();

// The parent window handle for a new control, and the top-level window number it belongs to.
bool gui_parent_resolve(const GuiParent& parent, HWND* parent_hwnd, int* window);

// Common creation of a child control of a Windows class: registers it under the number (freeing a control
// of that number first), sets the default font. Returns the number, or 0 and nothing registered on failure
// (GUI_ANY numbers are never 0).
int gui_child_create(int number, GuiKind kind, const wchar_t* window_class, const GuiParent& parent, int x, int y,
                     int width, int height, const std::wstring& text, DWORD style, DWORD ex_style, int flags);

// The window procedure parts every container of controls shares (windows, pages): child notifications,
// colours, wheel forwarding. Returns true when it produced the result.
bool gui_container_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

// Calls the window callback bound to the top-level window `window` for a message; true with the result
// when the callback answered.
bool gui_callback_answer(int window, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

// Kind handlers for notifications, in their own files.
void button_on_command(const GuiObject& object, int code);
void check_box_on_command(const GuiObject& object, int code);
void combo_box_on_command(const GuiObject& object, int code);
void text_on_command(const GuiObject& object, int code);
void link_label_on_command(const GuiObject& object, int code);
bool list_view_on_notify(const GuiObject& object, NMHDR* header, LRESULT* result);
bool panel_on_notify(const GuiObject& object, NMHDR* header, LRESULT* result);
bool folder_tree_on_notify(const GuiObject& object, NMHDR* header, LRESULT* result);
void track_bar_on_scroll(const GuiObject& object);
void list_view_on_rows_changed(int number);
void tray_on_message(WPARAM wparam, LPARAM lparam);
void tray_on_taskbar_created();
UINT tray_taskbar_created_message();

// Frees what a control owns besides its window (brush, canvas bitmap).
void gui_object_release(GuiObject& object);

// Texts and titles set from other threads: the main thread applies what waits. One message is posted
// until it is served, however often the texts change meanwhile.
void gui_texts_post();
void gui_texts_apply_pending();

// Window classes of the kinds, registered by gui_init.
bool window_class_register();
bool canvas_class_register();
bool panel_class_register();

// The default control font (a font number, -1 the system's).
int gui_default_font();
HFONT gui_font_handle(int number);
