// Row storage of the list controls, one vector per control number behind one leaf lock.
#include "runtime/list_model.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <unordered_map>

LeafLock ListRowsLock("ListRowsLock");  // held only while rows are copied in or out

namespace {
std::unordered_map<int, std::vector<std::wstring>> model;
std::atomic<ListChangedCallback> observer{nullptr};

void notify(int control) {
    if (const ListChangedCallback callback = observer.load()) callback(control);
}

}  // namespace

int list_rows_trim_insert(int control, int position, const std::vector<std::wstring>& rows, int max_rows) {
    return list_rows_trim_insert_made(
        control, position, [&rows] { return rows; }, max_rows);
}

int list_rows_trim_insert_made(int control, int position, const std::function<std::vector<std::wstring>()>& make,
                               int max_rows) {
    int count = 0;
    {
        std::lock_guard guard(ListRowsLock);
        const std::vector<std::wstring> rows = make();
        auto& list = model[control];
        const size_t limit = static_cast<size_t>(std::max(max_rows, 0));
        if (list.size() > limit) list.resize(limit);
        const size_t at = position < 0 ? 0 : std::min(static_cast<size_t>(position), list.size());
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), rows.begin(), rows.end());
        count = static_cast<int>(list.size());
    }
    notify(control);
    return count;
}

void list_rows_insert(int control, int position, std::wstring row) {
    {
        std::lock_guard guard(ListRowsLock);
        auto& list = model[control];
        const size_t at = position < 0 ? 0 : std::min(static_cast<size_t>(position), list.size());
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
    }
    notify(control);
}

bool list_rows_set(int control, int position, std::wstring row) {
    {
        std::lock_guard guard(ListRowsLock);
        auto& list = model[control];
        if (position < 0 || static_cast<size_t>(position) >= list.size()) return false;
        // The same row again changes nothing on screen: the view is not bothered.
        if (list[position] == row) return true;
        list[position].swap(row);
    }
    notify(control);
    return true;
}

bool list_rows_remove(int control, int position) {
    {
        std::lock_guard guard(ListRowsLock);
        auto& list = model[control];
        if (position < 0 || static_cast<size_t>(position) >= list.size()) return false;
        list.erase(list.begin() + position);
    }
    notify(control);
    return true;
}

void list_rows_clear(int control) { list_rows_assign(control, {}); }

void list_rows_assign(int control, std::vector<std::wstring> rows) {
    {
        std::lock_guard guard(ListRowsLock);
        model[control].swap(rows);
    }
    notify(control);  // the old rows are freed outside the lock
}

int list_rows_count(int control) {
    std::lock_guard guard(ListRowsLock);
    const auto found = model.find(control);
    return found == model.end() ? 0 : static_cast<int>(found->second.size());
}

std::wstring list_row(int control, int position) {
    std::lock_guard guard(ListRowsLock);
    const auto found = model.find(control);
    if (found == model.end() || position < 0 || static_cast<size_t>(position) >= found->second.size()) return {};
    return found->second[position];
}

std::vector<std::wstring> list_rows_copy(int control) {
    return list_rows_copy_with(control, [] {});
}

std::vector<std::wstring> list_rows_copy_with(int control, const std::function<void()>& also) {
    std::lock_guard guard(ListRowsLock);
    also();
    const auto found = model.find(control);
    return found == model.end() ? std::vector<std::wstring>() : found->second;
}

ListChangedCallback list_rows_set_observer(ListChangedCallback callback) { return observer.exchange(callback); }
