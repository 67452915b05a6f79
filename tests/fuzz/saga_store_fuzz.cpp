// The session history "SX-Saga.json" and its backup through the program's load and save (saga_lists_load,
// saga_lists_save) with the option to restore sessions on, the files kept in memory. The input is the history,
// optionally followed by NUL "BAK" NUL and the backup, and by NUL "OOM" and the number of the allocation that runs out
// of memory (fuzz_store_input).
//
// Properties: no file is lost (a history or backup that is not used as it is stays byte for byte, in place or set
// aside); what is restored stays within what the file can hold (rows no longer than a store's longest text, no
// more rows than the file has bytes) and the separator counter is not negative; running out of memory in a load
// saves nothing after it, and in a save leaves the files as they were; what loads, saved and loaded again,
// gives the same lists (each row as the history keeps it, its first column).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"
#include "core/saga_store.h"
#include "core/shared_state.h"
#include "runtime/json_store.h"
#include "runtime/list_model.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int LISTS[] = {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR};

struct Lists {
    std::vector<std::wstring> Rows[3];
    int64_t Separators = 0;
};

Lists lists_copy() {
    Lists lists;
    for (size_t i = 0; i < std::size(LISTS); ++i) lists.Rows[i] = list_rows_copy(LISTS[i]);
    lists.Separators = SharedQuads[SAGA_SEPARATOR_COUNT].load();
    return lists;
}

// A row as the history stores it: its first column.
std::wstring first_column(const std::wstring& row) { return row.substr(0, row.find(L'\n')); }

void lists_print(const char* title, const Lists& lists) {
    std::fprintf(stderr, "%s: separators %lld\n", title, static_cast<long long>(lists.Separators));
    for (size_t i = 0; i < std::size(LISTS); ++i) {
        for (const std::wstring& row : lists.Rows[i]) {
            std::fprintf(stderr, "  list %d: \"%s\"\n", LISTS[i], utf8_from_wide(row).c_str());
        }
    }
}

// The separator counter is kept with the Storage Monitor's rows: a list without rows is not stored.
bool same_as_stored(const Lists& before, const Lists& after) {
    if (!before.Rows[2].empty() && before.Separators != after.Separators) return false;
    for (size_t i = 0; i < std::size(LISTS); ++i) {
        if (before.Rows[i].size() != after.Rows[i].size()) return false;
        for (size_t r = 0; r < before.Rows[i].size(); ++r) {
            if (first_column(before.Rows[i][r]) != first_column(after.Rows[i][r])) return false;
        }
    }
    return true;
}

void store_prepare(FuzzStoreFiles& files) {
    fuzz_program_reset();
    SharedInts[OPT_RESTORE_SESSION] = 1;
    saga_store_reset();
    saga_store_calls_set(files.calls());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzStoreInput input = fuzz_store_input(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::wstring path = fuzz_program_reset().Data + L"SX-Saga.json";

    FuzzStoreFiles files;
    files.FailingAllocation = input.FailingAllocation;
    files.put(path, input.Store);
    if (input.HasBackup) files.put(saga_backup_path(path), input.Backup);
    store_prepare(files);

    const int read = saga_lists_load(path);
    const Lists loaded = lists_copy();
    fuzz_require(input.Store.empty() || files.holds(input.Store), "the history is kept, in place or set aside");
    fuzz_require(!input.HasBackup || input.Backup.empty() || files.holds(input.Backup),
                 "the backup is kept, in place or set aside");
    size_t rows = 0;
    for (const std::vector<std::wstring>& list : loaded.Rows) {
        rows += list.size();
        for (const std::wstring& row : list) {
            fuzz_require(utf8_from_wide(row).size() <= JSON_STORE_MAX_TOKEN_BYTES,
                         "a row is no longer than a store's text");
        }
    }
    fuzz_require(loaded.Separators >= 0, "the separator counter is not negative");
    // Every row takes at least a byte of the file; the load's own event line may come on top.
    fuzz_require(rows <= size + 1, "no more rows than the file has bytes");

    const std::map<std::string, std::string> before_save = files.Files;
    if (files.allocation_failed()) {
        fuzz_require(read == 0, "a load that runs out of memory restores nothing");
        fuzz_require(saga_lists_save(path) == 0 && files.Files == before_save,
                     "nothing is saved after a load that ran out of memory");
        saga_store_reset();
        return 0;
    }
    const int saved = saga_lists_save(path);
    if (files.allocation_failed()) {
        fuzz_require(saved == 0 && files.Files == before_save,
                     "a save that runs out of memory leaves the files as they were");
        saga_store_reset();
        return 0;
    }
    std::string stored;
    if (rows == 0) {
        fuzz_require(saved == 0 && !files.get(path, stored), "empty lists leave no history");
        saga_store_reset();
        return 0;
    }
    fuzz_require(saved == 1 && files.get(path, stored), "the lists are saved");

    FuzzStoreFiles again;
    again.put(path, stored);
    store_prepare(again);
    fuzz_require(saga_lists_load(path) == 1, "the saved history loads");
    fuzz_require(again.set_aside_count() == 0, "the saved history is not set aside");
    const Lists reloaded = lists_copy();
    if (!same_as_stored(loaded, reloaded)) {
        lists_print("first load", loaded);
        lists_print("second load", reloaded);
        fuzz_fail("the saved history loads as the lists it was saved from");
    }
    saga_store_reset();
    return 0;
}
