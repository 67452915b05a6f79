// The life cycle every JSON store of the program shares.
#include "core/json_file_store.h"

#include <new>
#include <vector>

#include "core/data_folder.h"
#include "runtime/text.h"

namespace {

constexpr size_t BUFFER_BYTES = 65536;

std::wstring folder_part(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
}

// A file open for reading, closed when it goes.
struct ReadFile {
    JsonFileStore& Store;
    OpenedFile* File = nullptr;
    ~ReadFile() {
        if (File) Store.Calls.close(File);
    }
};

// A temporary file being written: removed when it goes, unless it was moved into place.
struct TempFile {
    JsonFileStore& Store;
    OpenedFile* File = nullptr;
    std::filesystem::path Path;
    bool Failed = false;

    TempFile(JsonFileStore& store, const std::filesystem::path& target) : Store(store) {
        File = Store.Calls.create(target, &Path);
        Failed = File == nullptr;
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (File) Store.Calls.close(File);
        if (!Path.empty()) Store.Calls.remove(Path);
    }
    bool write(const char* data, size_t size) {
        if (!Failed && !Store.Calls.write(File, data, size)) Failed = true;
        return !Failed;
    }
    // Flushes to the disk and closes; false when anything written so far failed.
    bool finish() {
        if (File == nullptr) return !Failed;
        Failed = Failed || !Store.Calls.flush(File);
        Failed = !Store.Calls.close(File) || Failed;
        File = nullptr;
        return !Failed;
    }
    // Moves the finished file over target; afterwards it is no longer removed.
    bool move_to(const std::filesystem::path& target) {
        if (!finish() || !Store.Calls.rename(Path, target)) return false;
        Path.clear();
        return true;
    }
};

struct ReadResult {
    JsonReadOutcome Outcome = JSON_READ_FAILED;
    bool Missing = false;
    std::wstring Why;
};

// Streams a file into reader, handing each chunk to copy when one is given.
ReadResult read_file(JsonFileStore& store, const std::filesystem::path& path, JsonStoreReader& reader,
                     const std::function<bool(const char*, size_t)>& copy = {}) {
    ReadResult result;
    FileError error = FILE_OK;
    ReadFile file{store, store.Calls.open_read(path, &error)};
    if (file.File == nullptr) {
        result.Outcome = error == FILE_MISSING ? JSON_READ_FAILED : JSON_READ_UNREADABLE;
        result.Missing = error == FILE_MISSING;
        result.Why = file_error_text(error == FILE_OK ? FILE_UNREADABLE : error, store.Format.MaxBytes);
        return result;
    }
    store.Calls.allocate(BUFFER_BYTES);
    std::vector<char> buffer(BUFFER_BYTES);
    const std::function<int64_t(char*, size_t)> read = [&](char* data, size_t size) {
        return store.Calls.read(file.File, data, size);
    };
    result.Outcome = json_store_read(read, reader, buffer, store.Format.MaxBytes, result.Why, copy);
    return result;
}

// Renames a file aside; the sentence part that says where, and whether it worked.
bool set_aside(JsonFileStore& store, const std::filesystem::path& path, std::wstring& line) {
    std::filesystem::path moved;
    if (store.Calls.set_aside(path, &moved)) {
        line += L"; kept as " + file_path_text(moved);
        return true;
    }
    line += L"; it could not be renamed aside";
    return false;
}

// Reports a failed save once until a save succeeds. Running out of memory again while reporting it only loses the line.
void report_failure(JsonFileStore& store, const std::wstring& text) {
    if (store.FailureReported.exchange(true)) return;
    try {
        store.Format.report(text);
    } catch (const std::bad_alloc&) {
    }
}

// Deletes a store file that holds this store or nothing; anything else is set aside and reported instead.
bool remove_checked(JsonFileStore& store, const std::filesystem::path& path) {
    const std::unique_ptr<JsonStoreReader> checker = store.Format.reader(false);
    const ReadResult read = read_file(store, path, *checker);
    if (read.Missing) return true;
    if (read.Outcome == JSON_READ_OK || read.Outcome == JSON_READ_EMPTY) return store.Calls.remove(path);
    std::wstring line = store.Format.Title + L" " + file_path_text(path) + L" could not be read (" + read.Why + L")";
    const bool kept = set_aside(store, path, line);
    store.Format.report(line);
    return kept;
}

}  // namespace

JsonStoreCalls json_store_real_calls() {
    JsonStoreCalls calls;
    calls.open_read = [](const std::filesystem::path& path, FileError* error) { return file_open_read(path, error); };
    calls.read = file_read;
    calls.create = file_temporary_create;
    calls.write = file_write;
    calls.flush = file_flush;
    calls.close = file_close;
    calls.rename = file_replace;
    calls.remove = file_remove;
    calls.set_aside = file_set_aside;
    calls.allocate = [](size_t) {};
    return calls;
}

std::wstring json_store_backup_path(std::wstring_view path) {
    if (path.size() >= 5 && text_equal_nocase_ascii(path.substr(path.size() - 5), L".json")) {
        return std::wstring(path.substr(0, path.size() - 5)) + L".bak";
    }
    return std::wstring(path) + L".bak";
}

JsonStoreLoaded json_file_store_load(JsonFileStore& store, const std::wstring& path_wide) {
    const std::wstring backup_wide = json_store_backup_path(path_wide);
    JsonStoreLoaded result;
    bool ready = true;
    try {
        store_temporaries_remove(path_wide);
        store_temporaries_remove(backup_wide);
        const std::filesystem::path path = file_path(path_wide);
        const std::filesystem::path backup = file_path(backup_wide);
        const std::wstring title = store.Format.Title + L" " + path_wide;
        std::wstring line;

        std::unique_ptr<JsonStoreReader> reader = store.Format.reader(true);
        const ReadResult read = read_file(store, path, *reader);
        if (read.Outcome == JSON_READ_OK) {
            if (!reader->LeftOut.empty()) {
                // Loaded within the limits; the whole file is kept for the user under another name.
                line = title + L" holds more than the program keeps: " + reader->LeftOut;
                ready = set_aside(store, path, line);
                if (!ready) line += L"; nothing is saved in this run";
                store.Format.report(line);
            }
            result.Reader = std::move(reader);
            store.Ready = ready;
            return result;
        }
        const bool store_gone = read.Missing || read.Outcome == JSON_READ_EMPTY;
        if (!store_gone) {
            line = title + L" could not be read (" + read.Why + L")";
            ready = set_aside(store, path, line);
        }

        std::unique_ptr<JsonStoreReader> backup_reader = store.Format.reader(true);
        // The backup takes the store's place again (staying the backup too) where nothing of the user is there.
        std::unique_ptr<TempFile> restore;
        if (ready) {
            store.Calls.allocate(sizeof(TempFile));
            restore = std::make_unique<TempFile>(store, path);
        }
        const std::function<bool(const char*, size_t)> copy = [&](const char* data, size_t size) {
            if (restore) restore->write(data, size);  // a failed copy only leaves the store missing
            return true;
        };
        const ReadResult backup_read = read_file(store, backup, *backup_reader, copy);
        if (backup_read.Outcome == JSON_READ_OK) {
            if (!backup_reader->LeftOut.empty()) {
                if (line.empty()) line = title + (read.Missing ? L" is missing" : L" is empty");
                line += L"; its backup copy " + backup_wide + L" holds more than the program keeps: " +
                        backup_reader->LeftOut;
                ready = set_aside(store, backup, line) && ready;
            } else if (restore) {
                restore->move_to(path);
            }
            if (!store_gone) line += L"; its backup copy was loaded";
            result.Reader = std::move(backup_reader);
        } else if (backup_read.Missing) {
            if (store_gone) {
                result.FirstRun = true;
            } else {
                line += L"; there is no backup copy";
            }
        } else {
            if (line.empty()) line = title + (read.Missing ? L" is missing" : L" is empty");
            line += L"; its backup copy " + backup_wide + L" could not be read (" + backup_read.Why + L")";
            ready = set_aside(store, backup, line) && ready;
        }
        if (!ready) line += L"; nothing is saved in this run";
        if (!line.empty()) store.Format.report(line);
    } catch (const std::bad_alloc&) {
        result = JsonStoreLoaded{};
        ready = false;
        try {
            store.Format.report(store.Format.Title + L" " + path_wide +
                                L" could not be read (not enough memory); nothing is saved in this run");
        } catch (const std::bad_alloc&) {
        }
    }
    store.Ready = ready;
    return result;
}

bool json_file_store_may_save(const JsonFileStore& store, const std::wstring& path) {
    return store.Ready.load() && folder_exists(folder_part(path));
}

int json_file_store_save(JsonFileStore& store, const std::wstring& path_wide,
                         const std::function<void(JsonStoreWriter& out)>& write) {
    if (!json_file_store_may_save(store, path_wide)) return 0;
    try {
        const std::wstring failed = store.Format.Title + L" could not be saved to " + path_wide;
        const std::wstring later = L"; it will be saved again later";
        const std::filesystem::path path = file_path(path_wide);
        const std::filesystem::path backup = file_path(json_store_backup_path(path_wide));
        if (!write) {
            if (remove_checked(store, path) && remove_checked(store, backup)) store.FailureReported = false;
            return 0;
        }
        store.Calls.allocate(sizeof(TempFile));
        TempFile next(store, path);
        if (next.Failed) {
            report_failure(store, failed + later);
            return 0;
        }
        {
            JsonStoreWriter out([&next](const char* data, size_t size) { return next.write(data, size); },
                                store.Calls.allocate);
            write(out);
            if (!out.finish() || !next.finish()) {
                report_failure(store, failed + later);
                return 0;
            }
        }
        // The store there before: copied for the backup while it is checked, set aside when it is not this store.
        std::unique_ptr<TempFile> copy;
        bool copied = true;
        const std::unique_ptr<JsonStoreReader> checker = store.Format.reader(false);
        const ReadResult old = read_file(store, path, *checker, [&](const char* data, size_t size) {
            if (!copy) {
                store.Calls.allocate(sizeof(TempFile));
                copy = std::make_unique<TempFile>(store, backup);
            }
            copied = copy->write(data, size);
            return copied;
        });
        // A store that could not be read now may well be whole: it stays as it is, and so does its backup.
        if (!copied || old.Outcome == JSON_READ_UNREADABLE) {
            report_failure(store, failed + later);
            return 0;
        }
        if (!old.Missing && old.Outcome == JSON_READ_FAILED) {
            std::wstring line = store.Format.Title + L" " + path_wide + L" could not be read (" + old.Why + L")";
            const bool kept = set_aside(store, path, line);
            store.Format.report(line);
            if (!kept) {
                report_failure(store, failed + later);
                return 0;
            }
            copy.reset();
        }
        if (old.Outcome == JSON_READ_OK && copy && !copy->finish()) {
            report_failure(store, failed + later);
            return 0;
        }
        if (!next.move_to(path)) {
            report_failure(store, failed + later);
            return 0;
        }
        // A backup that cannot be moved into place leaves the previous backup; the store itself is saved.
        if (old.Outcome == JSON_READ_OK && copy) copy->move_to(backup);
        store.FailureReported = false;
        return 1;
    } catch (const std::bad_alloc&) {
        json_file_store_out_of_memory(store, path_wide);
        return 0;
    }
}

void json_file_store_out_of_memory(JsonFileStore& store, const std::wstring& path) {
    try {
        report_failure(store, store.Format.Title + L" could not be saved to " + path +
                                  L" (not enough memory); it will be saved again later");
    } catch (const std::bad_alloc&) {
        store.FailureReported = true;
    }
}

void json_file_store_reset(JsonFileStore& store) {
    store.Ready = false;
    store.FailureReported = false;
    store.Calls = json_store_real_calls();
}
