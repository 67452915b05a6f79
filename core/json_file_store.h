// The life cycle every JSON store of the program shares: loading with the fallback to the backup, keeping unusable
// files aside, no save before a load, the backup on replace, the streaming write, and failures reported once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/file_io.h"
#include "runtime/json_store.h"

// The file and allocation calls of a store, so that tests (and fuzzing) can make any of them fail. The program
// uses json_store_real_calls().
struct JsonStoreCalls {
    std::function<OpenedFile*(const std::filesystem::path& path, FileError* error)> open_read;
    std::function<int64_t(OpenedFile* file, char* data, size_t size)> read;
    std::function<OpenedFile*(const std::filesystem::path& target, std::filesystem::path* temp)> create;
    std::function<bool(OpenedFile* file, const char* data, size_t size)> write;
    std::function<bool(OpenedFile* file)> flush;
    std::function<bool(OpenedFile* file)> close;
    std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)> rename;
    std::function<bool(const std::filesystem::path& path)> remove;
    std::function<bool(const std::filesystem::path& path, std::filesystem::path* moved_to)> set_aside;
    // Told before the store allocates memory for its work (roughly how much); refuses by throwing std::bad_alloc.
    std::function<void(size_t bytes)> allocate;
};
JsonStoreCalls json_store_real_calls();

// What makes one store: the words that start its event lines, where they go, the largest file it reads (0: any,
// its reader bounds what it keeps), and its reader (keep false: only check that the text is this store).
struct JsonStoreFormat {
    std::wstring Title;
    std::function<void(const std::wstring& line)> report;
    size_t MaxBytes = 0;
    std::function<std::unique_ptr<JsonStoreReader>(bool keep)> reader;
};

struct JsonFileStore {
    explicit JsonFileStore(JsonStoreFormat format) : Format(std::move(format)), Calls(json_store_real_calls()) {}

    JsonStoreFormat Format;
    JsonStoreCalls Calls;  // replaced by tests only, while no load or save runs
    // Set by a load that left no file of the user a save could destroy: every file it could not use is kept aside.
    std::atomic<bool> Ready{false};
    // A failed save is reported once until a save succeeds again.
    std::atomic<bool> FailureReported{false};
};

// The backup of a store: ".json" at the end replaced by ".bak" (".bak" added when there is none).
std::wstring json_store_backup_path(std::wstring_view path);

struct JsonStoreLoaded {
    std::unique_ptr<JsonStoreReader> Reader;  // the reader that read the store or its backup; none when neither
    bool FirstRun = false;                    // neither file exists (or the store is empty and there is no backup)
};
// Loads the store at start-up. A missing or empty store is replaced by its backup (which stays the backup too). A
// store or backup that cannot be used, and one that holds more than the program keeps (loaded within the reader's
// limits), is renamed aside and an event line tells where; a damaged store falls back to its backup. Saves are
// allowed afterwards unless a file could not be set aside.
JsonStoreLoaded json_file_store_load(JsonFileStore& store, const std::wstring& path);

// Whether a save may touch the files: a load has run and left nothing a save could destroy, and the folder of the
// path exists.
bool json_file_store_may_save(const JsonFileStore& store, const std::wstring& path);

// Replaces the store with the text write produces, streamed into a temporary file that is flushed and moved over
// the store. The store there before becomes the backup when it reads as this store, and is set aside when it does
// not. Without write (nothing to keep) the store and the backup are deleted, or set aside when they do not read as
// this store. A failure, running out of memory included, leaves the files as they were and is reported once until
// a save succeeds. Returns 1 when the store was written.
int json_file_store_save(JsonFileStore& store, const std::wstring& path,
                         const std::function<void(JsonStoreWriter& out)>& write);

// Reports (once, like a failed save) that gathering the data of a save ran out of memory.
void json_file_store_out_of_memory(JsonFileStore& store, const std::wstring& path);

// Forgets the load and the reported failure and restores the real calls (tests).
void json_file_store_reset(JsonFileStore& store);
