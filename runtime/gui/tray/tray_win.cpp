// Tray icons over Shell_NotifyIconW, owned by the runtime's message window, which also hears "TaskbarCreated".
#include <windows.h>

#include <shellapi.h>

#include <map>
#include <mutex>
#include <string>

#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/tray/tray.h"

namespace {

struct TrayIcon {
    int window = -1;
    int image = -1;
    std::wstring tooltip;
};

struct TrayTable {
    LeafLock lock{"TrayTableLock"};  // never held across Shell_NotifyIconW, which waits for Explorer
    std::map<int, TrayIcon> icons;
};

TrayTable& trays() {
    static TrayTable table;
    return table;
}

bool notify(DWORD action, int number, const TrayIcon& icon, UINT flags) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = gui_message_window();
    data.uID = static_cast<UINT>(number);
    data.uFlags = flags;
    data.uCallbackMessage = WM_GUI_TRAY;
    data.hIcon = image_icon(icon.image);
    const size_t length = icon.tooltip.size() < 127 ? icon.tooltip.size() : 127;
    icon.tooltip.copy(data.szTip, length);
    data.szTip[length] = L'\0';
    return Shell_NotifyIconW(action, &data) != FALSE;
}

}  // namespace

UINT tray_taskbar_created_message() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool tray_add(int number, int window, int image, std::wstring_view tooltip) {
    if (!gui_message_window()) return false;
    tray_remove(number);
    TrayIcon icon{window, image, std::wstring(tooltip)};
    if (!notify(NIM_ADD, number, icon, NIF_ICON | NIF_TIP | NIF_MESSAGE)) return false;
    TrayTable& table = trays();
    std::lock_guard guard(table.lock);
    table.icons[number] = std::move(icon);
    return true;
}

bool tray_exists(int number) {
    TrayTable& table = trays();
    std::lock_guard guard(table.lock);
    return table.icons.count(number) > 0;
}

void tray_image_set(int number, int image) {
    TrayIcon icon;
    {
        TrayTable& table = trays();
        std::lock_guard guard(table.lock);
        const auto found = table.icons.find(number);
        if (found == table.icons.end() || found->second.image == image) return;
        found->second.image = image;
        icon = found->second;
    }
    notify(NIM_MODIFY, number, icon, NIF_ICON);
}

void tray_tooltip_set(int number, std::wstring_view tooltip) {
    TrayIcon icon;
    {
        TrayTable& table = trays();
        std::lock_guard guard(table.lock);
        const auto found = table.icons.find(number);
        if (found == table.icons.end() || found->second.tooltip == tooltip) return;
        found->second.tooltip.assign(tooltip);
        icon = found->second;
    }
    notify(NIM_MODIFY, number, icon, NIF_TIP);
}

void tray_remove(int number) {
    TrayIcon icon;
    {
        TrayTable& table = trays();
        std::lock_guard guard(table.lock);
        const auto found = table.icons.find(number);
        if (found == table.icons.end()) return;
        icon = found->second;
        table.icons.erase(found);
    }
    notify(NIM_DELETE, number, icon, 0);
}

void tray_remove_all() {
    std::map<int, TrayIcon> removed;
    {
        TrayTable& table = trays();
        std::lock_guard guard(table.lock);
        removed.swap(table.icons);
    }
    for (const auto& [number, icon] : removed) notify(NIM_DELETE, number, icon, 0);
}

void tray_on_taskbar_created() {
    std::map<int, TrayIcon> present;
    {
        TrayTable& table = trays();
        std::lock_guard guard(table.lock);
        present = table.icons;
    }
    for (const auto& [number, icon] : present) notify(NIM_ADD, number, icon, NIF_ICON | NIF_TIP | NIF_MESSAGE);
}

void tray_on_message(WPARAM wparam, LPARAM lparam) {
    int type = -1;
    switch (LOWORD(lparam)) {
        case WM_LBUTTONUP: type = EVENT_TYPE_LEFT_CLICK; break;
        case WM_RBUTTONUP: type = EVENT_TYPE_RIGHT_CLICK; break;
        case WM_LBUTTONDBLCLK: type = EVENT_TYPE_LEFT_DOUBLE_CLICK; break;
        case WM_RBUTTONDBLCLK: type = EVENT_TYPE_RIGHT_DOUBLE_CLICK; break;
        default: return;
    }
    const int number = static_cast<int>(wparam);
    int window = -1;
    {
        TrayTable& table = trays();
        std::lock_guard guard(table.lock);
        const auto found = table.icons.find(number);
        if (found == table.icons.end()) return;
        window = found->second.window;
    }
    GuiEvent event;
    event.kind = EVENT_TRAY;
    event.window = window;
    event.control = number;
    event.type = type;
    gui_event_post(event);
}

LeafLock& tray_table_lock() { return trays().lock; }
