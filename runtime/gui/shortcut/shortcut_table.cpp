// The shortcut tables of the windows, behind a leaf lock.
#include "runtime/gui/shortcut/shortcut_table.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

std::mutex table_lock;
std::map<std::pair<int, int>, int> table;  // (window, code) -> event

}  // namespace

int shortcut_code(int virtual_key, bool shift, bool control, bool alt) {
    return (virtual_key & 0xFF) | (shift ? SHORTCUT_SHIFT : 0) | (control ? SHORTCUT_CONTROL : 0) |
           (alt ? SHORTCUT_ALT : 0);
}

void shortcut_table_add(int window, int code, int event) {
    std::lock_guard guard(table_lock);
    table[{window, code}] = event;
}

bool shortcut_table_remove(int window, int code) {
    std::lock_guard guard(table_lock);
    return table.erase({window, code}) > 0;
}

void shortcut_table_clear(int window) {
    std::lock_guard guard(table_lock);
    for (auto entry = table.begin(); entry != table.end();) {
        entry = entry->first.first == window ? table.erase(entry) : std::next(entry);
    }
}

int shortcut_table_find(int window, int code) {
    std::lock_guard guard(table_lock);
    const auto found = table.find({window, code});
    return found == table.end() ? -1 : found->second;
}
