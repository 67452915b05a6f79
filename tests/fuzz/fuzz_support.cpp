// What the fuzz programs share: start-up state, properties, store files in memory.
#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <new>
#include <system_error>

#include "core/control_numbers.h"
#include "core/data_folder.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/settings_file.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/date.h"
#include "runtime/file_io.h"
#include "runtime/list_model.h"

void fuzz_fail(const char* property) {
    std::fprintf(stderr, "\nproperty failed: %s\n", property);
    std::fflush(stderr);
    std::abort();
}

namespace {

std::filesystem::path& process_folder() {
    static std::filesystem::path folder;
    return folder;
}

void process_folder_remove() {
    std::error_code ignored;
    if (!process_folder().empty()) std::filesystem::remove_all(process_folder(), ignored);
}

std::wstring folder_text(const std::filesystem::path& path) { return folder_with_separator(file_path_text(path)); }

FuzzFolders folders_make() {
    std::filesystem::path& root = process_folder();
    root = std::filesystem::temp_directory_path() / ("sotrix-fuzz-" + std::to_string(getpid()));
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    std::filesystem::create_directories(root / "Program");
    std::filesystem::create_directories(root / "AppData" / "Brindale");
    std::atexit(process_folder_remove);
    FuzzFolders folders;
    folders.Program = folder_text(root / "Program");
    folders.Data = folder_text(root / "AppData" / "Brindale");
    return folders;
}

}  // namespace

void fuzz_state_init_once() {
    static std::once_flag once;
    std::call_once(once, [] {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
    });
}

const FuzzFolders& fuzz_program_reset() {
    static const FuzzFolders folders = folders_make();
    static std::once_flag texts;
    SharedStateFacts facts;
    facts.appdata_folder = folder_text(process_folder() / "AppData");
    facts.log_folder = folders.Data;
    shared_state_init(facts);
    shared_tables_init();
    // The text table is filled once, as start-up does before any worker runs.
    std::call_once(texts, [] { text_maps_load(LANGUAGE_ENGLISH); });
    data_files_init(folders.Program + L"Sotrix.exe", facts.appdata_folder, date_now());
    data_files_translate();
    {
        std::lock_guard guard(DataFilesLock);
        for (auto* entry : {&DataFiles[DATA_FILE_SETTINGS], &DataFiles[DATA_FILE_LOG], &DataFiles[DATA_FILE_PING],
                            &DataFiles[DATA_FILE_SAGA], &DataFiles[DATA_FILE_MAC_VENDORS]}) {
            entry->folder = folders.Data;
        }
        DataFiles[DATA_FILE_LOG].alt_folder = folders.Data;
    }
    settings_ui_hooks_set(SettingsUiHooks{});
    settings_file_reset();
    log_buffer_reset();
    for (const int list : {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR}) list_rows_clear(list);
    return folders;
}

FuzzParts fuzz_parts(std::string_view bytes, std::string_view separator) {
    FuzzParts parts;
    const size_t at = bytes.find(separator);
    parts.First = bytes.substr(0, at);
    if (at != std::string_view::npos) {
        parts.Second = bytes.substr(at + separator.size());
        parts.HasSecond = true;
    }
    return parts;
}

FuzzStoreInput fuzz_store_input(std::string_view bytes) {
    FuzzStoreInput input;
    constexpr std::string_view OUT_OF_MEMORY("\0OOM", 4);
    if (bytes.size() > OUT_OF_MEMORY.size() &&
        bytes.substr(bytes.size() - OUT_OF_MEMORY.size() - 1, OUT_OF_MEMORY.size()) == OUT_OF_MEMORY) {
        input.FailingAllocation = static_cast<unsigned char>(bytes.back());
        bytes.remove_suffix(OUT_OF_MEMORY.size() + 1);
    }
    const FuzzParts parts = fuzz_parts(bytes, std::string_view("\0BAK\0", 5));
    input.Store = parts.First;
    input.Backup = parts.Second;
    input.HasBackup = parts.HasSecond;
    return input;
}

// ---- Store files in memory ----

namespace {

// What an OpenedFile of the store's calls stands for here.
struct MemoryFile {
    std::string Path;
    std::string Data;
    size_t Position = 0;
    bool Writing = false;
};

MemoryFile* memory_file(OpenedFile* file) { return reinterpret_cast<MemoryFile*>(file); }
OpenedFile* opened(MemoryFile* file) { return reinterpret_cast<OpenedFile*>(file); }

std::string key_of(const std::filesystem::path& path) { return path.string(); }

}  // namespace

void FuzzStoreFiles::put(const std::wstring& path, std::string_view bytes) {
    Files[key_of(file_path(path))] = std::string(bytes);
}

bool FuzzStoreFiles::get(const std::wstring& path, std::string& bytes) const {
    const auto found = Files.find(key_of(file_path(path)));
    if (found == Files.end()) return false;
    bytes = found->second;
    return true;
}

bool FuzzStoreFiles::holds(std::string_view bytes) const {
    for (const auto& [path, contents] : Files) {
        if (contents == bytes) return true;
    }
    return false;
}

JsonStoreCalls FuzzStoreFiles::calls() {
    JsonStoreCalls calls;
    calls.open_read = [this](const std::filesystem::path& path, FileError* error) -> OpenedFile* {
        const auto found = Files.find(key_of(path));
        if (found == Files.end()) {
            if (error) *error = FILE_MISSING;
            return nullptr;
        }
        return opened(new MemoryFile{found->first, found->second, 0, false});
    };
    calls.read = [](OpenedFile* file, char* data, size_t size) -> int64_t {
        MemoryFile& f = *memory_file(file);
        const size_t count = std::min(size, f.Data.size() - f.Position);
        f.Data.copy(data, count, f.Position);
        f.Position += count;
        return static_cast<int64_t>(count);
    };
    calls.create = [this](const std::filesystem::path& target, std::filesystem::path* temp) -> OpenedFile* {
        std::filesystem::path path = target;
        path += "." + std::to_string(++NextTemporary) + ".tmp";
        *temp = path;
        Files[key_of(path)].clear();
        return opened(new MemoryFile{key_of(path), {}, 0, true});
    };
    calls.write = [](OpenedFile* file, const char* data, size_t size) {
        memory_file(file)->Data.append(data, size);
        return true;
    };
    calls.flush = [](OpenedFile*) { return true; };
    calls.close = [this](OpenedFile* file) {
        MemoryFile* f = memory_file(file);
        if (f->Writing) Files[f->Path] = std::move(f->Data);
        delete f;
        return true;
    };
    calls.rename = [this](const std::filesystem::path& from, const std::filesystem::path& to) {
        const auto found = Files.find(key_of(from));
        if (found == Files.end()) return false;
        std::string contents = std::move(found->second);
        Files.erase(found);
        Files[key_of(to)] = std::move(contents);
        return true;
    };
    calls.remove = [this](const std::filesystem::path& path) {
        Files.erase(key_of(path));
        return true;
    };
    calls.set_aside = [this](const std::filesystem::path& path, std::filesystem::path* moved_to) {
        const auto found = Files.find(key_of(path));
        if (found == Files.end()) return false;
        // As on disk: name + ".bad", or ".bad2", ".bad3"... when that is taken.
        std::string target = key_of(path) + ".bad";
        for (int n = 2; Files.count(target) != 0; ++n) target = key_of(path) + ".bad" + std::to_string(n);
        std::string contents = std::move(found->second);
        Files.erase(found);
        Files[target] = std::move(contents);
        ++SetAside;
        if (moved_to) *moved_to = std::filesystem::path(target);
        return true;
    };
    calls.allocate = [this](size_t) {
        if (++Allocations == FailingAllocation) {
            AllocationFailed = true;
            throw std::bad_alloc();
        }
    };
    return calls;
}
