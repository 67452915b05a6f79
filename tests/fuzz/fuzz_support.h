// What the fuzz programs share: the program's start-up state in a folder of their own, properties that stop the
// run, and the files of a JSON store kept in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/json_file_store.h"

// Stops the run with the property that did not hold: libFuzzer keeps the input as a crash.
[[noreturn]] void fuzz_fail(const char* property);
inline void fuzz_require(bool holds, const char* property) {
    if (!holds) fuzz_fail(property);
}
// Stops the run, naming the property (its expression), when it does not hold.
#define PROPERTY(holds) fuzz_require((holds), #holds)

struct FuzzFolders {
    std::wstring Program;  // the program's folder, with a separator at the end
    std::wstring Data;     // the data folder (settings, ping hosts, session history, log), created
};

// The program's state as start-up leaves it before any worker runs: shared state, tables, English texts, the data
// files in a temporary folder of this process (under $TMPDIR, removed at exit), no window hooks. The first call
// makes the folders; every call starts the state afresh and empties the event lists, so no input depends on
// another.
const FuzzFolders& fuzz_program_reset();

// Shared state, tables and English texts as start-up makes them, once per process: for targets whose inputs touch no
// file and leave nothing that a later input depends on.
void fuzz_state_init_once();

// The bytes of an input cut at the first separator: what comes before, and (when there is one) what follows.
// Store targets use it to give the store and its backup in one input.
struct FuzzParts {
    std::string_view First;
    std::string_view Second;
    bool HasSecond = false;
};
FuzzParts fuzz_parts(std::string_view bytes, std::string_view separator);

// The input of a store target: the store, then optionally NUL "BAK" NUL and its backup, and at the very end
// optionally NUL "OOM" and one byte n: the n-th allocation the store announces (JsonStoreCalls::allocate) fails.
struct FuzzStoreInput {
    std::string_view Store;
    std::string_view Backup;
    bool HasBackup = false;
    int FailingAllocation = 0;  // 0: none fails
};
FuzzStoreInput fuzz_store_input(std::string_view bytes);

// The files of a JSON store in memory, reached through the store's call table: the store's reading, writing, moving
// and setting aside runs as it does on disk, and what a load or save did to the files can be checked afterwards.
class FuzzStoreFiles {
public:
    std::map<std::string, std::string> Files;  // path (as its bytes) and contents

    void put(const std::wstring& path, std::string_view bytes);
    // The contents of a file; false when there is none.
    bool get(const std::wstring& path, std::string& bytes) const;
    // Whether some file holds exactly these bytes.
    bool holds(std::string_view bytes) const;
    // How many files were set aside.
    size_t set_aside_count() const { return SetAside; }
    // The allocation (counted from 1 over every announced one) that runs out of memory; 0: none.
    int FailingAllocation = 0;
    // Whether it did.
    bool allocation_failed() const { return AllocationFailed; }

    // The table for JsonFileStore::Calls; it refers to this object, which must outlive its use.
    JsonStoreCalls calls();

private:
    size_t SetAside = 0;
    unsigned NextTemporary = 0;
    int Allocations = 0;
    bool AllocationFailed = false;
};
