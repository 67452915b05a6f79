// The registry of numbered windows and controls, behind one leaf lock that is never held across a Win32 call.
#include "runtime/gui/object/gui_objects_win.h"

#include <atomic>
#include <map>
#include <mutex>

namespace {

struct Registry {
    std::mutex lock;
    std::map<int, GuiObject> windows;
    std::map<int, GuiObject> controls;
};

// Function-local so that it exists before any static initialiser could need it.
Registry& registry() {
    static Registry instance;
    return instance;
}

std::map<int, GuiObject>& table(Registry& r, bool is_window) { return is_window ? r.windows : r.controls; }

}  // namespace

void gui_object_put(const GuiObject& object) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    table(r, object.kind == GUI_KIND_WINDOW)[object.number] = object;
}

bool gui_object_get(bool is_window, int number, GuiObject* copy) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto& objects = table(r, is_window);
    const auto found = objects.find(number);
    if (found == objects.end()) return false;
    if (copy) *copy = found->second;
    return true;
}

HWND gui_object_hwnd(bool is_window, int number) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto& objects = table(r, is_window);
    const auto found = objects.find(number);
    return found == objects.end() ? nullptr : found->second.hwnd;
}

bool gui_object_update(bool is_window, int number, const std::function<void(GuiObject&)>& change) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto& objects = table(r, is_window);
    const auto found = objects.find(number);
    if (found == objects.end()) return false;
    change(found->second);
    return true;
}

int gui_selection_remembered(int number) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto found = r.controls.find(number);
    return found == r.controls.end() ? -1 : found->second.selected;
}

void gui_selection_remember(int number, int selected) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto found = r.controls.find(number);
    if (found != r.controls.end()) found->second.selected = selected;
}

bool gui_object_take(bool is_window, int number, GuiObject* removed) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto& objects = table(r, is_window);
    const auto found = objects.find(number);
    if (found == objects.end()) return false;
    if (removed) *removed = std::move(found->second);
    objects.erase(found);
    return true;
}

bool gui_control_by_hwnd(HWND hwnd, GuiObject* copy) {
    if (!hwnd) return false;
    const int id = GetDlgCtrlID(hwnd);
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto found = r.controls.find(id);
    if (found != r.controls.end() && found->second.hwnd == hwnd) {
        if (copy) *copy = found->second;
        return true;
    }
    // Pages of a panel carry the panel's number; look for the handle itself.
    for (const auto& [number, object] : r.controls) {
        if (object.hwnd == hwnd) {
            if (copy) *copy = object;
            return true;
        }
    }
    return false;
}

int gui_window_number_of(HWND hwnd) {
    if (!hwnd) return -1;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    for (const auto& [number, object] : r.windows) {
        if (object.hwnd == hwnd) return number;
    }
    return -1;
}

std::vector<int> gui_controls_in_window(int window) {
    std::vector<int> numbers;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    for (const auto& [number, object] : r.controls) {
        if (object.window == window) numbers.push_back(number);
    }
    return numbers;
}

std::vector<int> gui_windows_with_pending_texts() {
    std::vector<int> numbers;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    for (const auto& [number, object] : r.windows) {
        if (object.text_pending) numbers.push_back(number);
    }
    return numbers;
}

std::vector<int> gui_controls_with_pending_texts() {
    std::vector<int> numbers;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    for (const auto& [number, object] : r.controls) {
        if (object.text_pending) numbers.push_back(number);
    }
    return numbers;
}

int gui_dynamic_number() {
    // Above every fixed number, below the 16-bit limit of child window identifiers.
    static std::atomic<int> next{20000};
    const int number = next.fetch_add(1);
    return number < 65000 ? number : 0;
}
