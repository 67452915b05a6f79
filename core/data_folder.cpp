// The data folder: the choice between the per-user folder and portable mode, and its small file checks.
#include "core/data_folder.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/settings_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/file_io.h"
#include "runtime/text.h"

namespace {

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring without_separators(std::wstring_view folder) {
    while (!folder.empty() && is_separator(folder.back())) folder.remove_suffix(1);
    return std::wstring(folder);
}

wchar_t upper_ascii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

void log_folders_set(const std::wstring& folder, const std::wstring& default_folder) {
    std::lock_guard guard(DataFilesLock);
    DataFiles[DATA_FILE_LOG].folder = folder;
    DataFiles[DATA_FILE_LOG].alt_folder = default_folder;
}

}  // namespace

std::wstring folder_with_separator(std::wstring_view folder) {
    if (folder.empty()) return {};
    return without_separators(folder) + FOLDER_SEPARATOR;
}

bool same_drive(std::wstring_view a, std::wstring_view b) {
    if (a.size() < 2 || b.size() < 2) return false;
    return upper_ascii(a[0]) == upper_ascii(b[0]) && upper_ascii(a[1]) == upper_ascii(b[1]);
}

DataFolderChoice data_folder_decide(const std::wstring& program_folder, const std::wstring& appdata_folder,
                                    bool program_settings_read, const std::function<bool()>& read_appdata) {
    DataFolderChoice choice;
    if (program_settings_read) {
        choice.portable = true;
        choice.settings_source = SETTINGS_SOURCE_PROGRAM;
    } else if (appdata_folder.empty()) {
        choice.portable = true;
        choice.log_folder_is_program_folder = true;
    } else if (read_appdata && read_appdata()) {
        choice.settings_source = SETTINGS_SOURCE_APPDATA;
    } else if (!same_drive(program_folder, appdata_folder)) {
        // No settings anywhere and the program lies on another drive (or a network path): it was carried
        // there to run on its own, so it keeps its files beside itself.
        choice.portable = true;
        choice.log_folder_is_program_folder = true;
    }
    if (choice.portable) {
        choice.appdata_folder = without_separators(program_folder);
        choice.data_subfolder.clear();
    } else {
        choice.appdata_folder = appdata_folder;
        choice.data_subfolder = L"Brindale";
    }
    choice.data_folder = folder_with_separator(choice.appdata_folder + choice.data_subfolder);
    return choice;
}

DataFolderChoice data_folder_choose() {
    std::wstring program_folder;
    std::wstring settings_name;
    {
        std::lock_guard guard(DataFilesLock);
        program_folder = folder_with_separator(DataFiles[DATA_FILE_PROGRAM].folder);
        settings_name = DataFiles[DATA_FILE_SETTINGS].file_name;
    }
    if (settings_name.empty()) settings_name = L"Sotrix.ini";
    const std::wstring appdata = shared_text(APPDATA_FOLDER);
    const std::wstring appdata_data =
        appdata.empty() ? std::wstring() : folder_with_separator(folder_with_separator(appdata) + L"Brindale");

    // A settings file beside the program makes the run portable, so while it is read the default log folder
    // is the program's folder.
    log_folders_set(program_folder, program_folder);
    const bool program_read = settings_load(program_folder + settings_name) == 1;
    if (!program_read) {
        const std::wstring fallback = appdata_data.empty() ? program_folder : appdata_data;
        log_folders_set(fallback, fallback);
    }
    const DataFolderChoice choice = data_folder_decide(
        program_folder, appdata, program_read, [&] { return settings_load(appdata_data + settings_name) == 1; });

    SharedInts[PORTABLE_MODE] = choice.portable ? 1 : 0;
    if (choice.settings_source != SETTINGS_SOURCE_NONE) SharedInts[SETTINGS_FILE_PRESENT] = 1;
    shared_text_set(APPDATA_FOLDER, choice.appdata_folder);
    shared_text_set(DATA_SUBFOLDER, choice.data_subfolder);
    bool log_in_default = false;
    {
        std::lock_guard guard(DataFilesLock);
        DataFile& log = DataFiles[DATA_FILE_LOG];
        if (choice.portable) {
            if (choice.log_folder_is_program_folder || log.folder == log.alt_folder) log.folder = program_folder;
            log.alt_folder = program_folder;
        }
        log_in_default = log.folder == log.alt_folder;
        DataFiles[DATA_FILE_SETTINGS].folder = choice.data_folder;
        DataFiles[DATA_FILE_PING].folder = choice.data_folder;
        DataFiles[DATA_FILE_SAGA].folder = choice.data_folder;
    }
    if (SharedInts[OPT_LOG_FILE].load() != 0 && log_in_default) data_folder_ensure(choice.data_subfolder);
    return choice;
}

std::wstring data_folder_path() {
    return folder_with_separator(shared_text(APPDATA_FOLDER) + shared_text(DATA_SUBFOLDER));
}

bool folder_exists(std::wstring_view folder) {
    if (folder.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(file_path(folder), error);
}

int64_t data_folder_ensure(std::wstring_view subfolder) {
    const std::wstring appdata = shared_text(APPDATA_FOLDER);
    if (!folder_exists(appdata)) return 0;
    std::wstring_view name = subfolder;
    while (!name.empty() && (name.back() == L' ' || is_separator(name.back()))) name.remove_suffix(1);
    if (name.empty()) return 1;
    const std::wstring target = folder_with_separator(appdata) + std::wstring(name);
    if (folder_exists(target)) return 1;
    std::error_code error;
    std::filesystem::create_directory(file_path(target), error);
    return folder_exists(target) ? 1 : 0;
}

int64_t folder_write_test(std::wstring_view folder) {
    if (folder.empty()) return 0;
    const std::filesystem::path test = file_path(folder_with_separator(folder) + L"Sotrix.tmp");
    bool opened = false;
    {
        std::ofstream file(test, std::ios::binary | std::ios::app);
        opened = static_cast<bool>(file);
    }
    std::error_code error;
    std::filesystem::remove(test, error);
    return opened ? 1 : 0;
}

void store_temporaries_remove(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return;
    const std::wstring folder(path.substr(0, slash + 1));
    const std::wstring name(path.substr(slash + 1));
    if (name.empty() || !folder_exists(folder)) return;
    std::error_code error;
    std::vector<std::filesystem::path> stale;
    for (std::filesystem::directory_iterator entry(file_path(folder), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::filesystem::path& found = entry->path();
#if defined(_WIN32)
        const std::wstring found_name = found.filename().wstring();
#else
        const std::u8string bytes = found.filename().u8string();
        const std::wstring found_name = wide_from_utf8(std::string(bytes.begin(), bytes.end()));
#endif
        if (!found_name.ends_with(L".tmp")) continue;
        for (const std::wstring& prefix : {name + L".", name + L".bak."}) {
            if (!found_name.starts_with(prefix)) continue;
            // Only the suffix a save gives: digits, "-", digits.
            const std::wstring middle = found_name.substr(prefix.size(), found_name.size() - prefix.size() - 4);
            const size_t dash = middle.find(L'-');
            const bool digits = dash != std::wstring::npos && dash > 0 && dash + 1 < middle.size() &&
                                middle.find_first_not_of(L"0123456789-") == std::wstring::npos &&
                                middle.find(L'-', dash + 1) == std::wstring::npos;
            if (digits) stale.push_back(found);
        }
    }
    for (const std::filesystem::path& file : stale) std::filesystem::remove(file, error);
}
