// The data folder: the choice between the per-user folder and portable mode, and its small file checks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The folder separator of the platform ("\" on Windows, "/" in the native build's tests).
#if defined(_WIN32)
constexpr wchar_t FOLDER_SEPARATOR = L'\\';
#else
constexpr wchar_t FOLDER_SEPARATOR = L'/';
#endif

// The folder text without trailing separators ("\" or "/"), then one separator. The empty text stays empty.
std::wstring folder_with_separator(std::wstring_view folder);

// The facts the choice depends on. Reading a candidate settings file applies it, so the choice asks for the
// reads in order and stops at the first that succeeds.
struct DataFolderFacts {
    std::wstring program_folder;  // with a trailing separator
    std::wstring appdata_folder;  // roaming application data folder with a trailing separator; empty when unknown
    bool program_settings_read = false;  // "Sotrix.ini" next to the program was read
    bool appdata_settings_read = false;  // the per-user "Sotrix.ini" was read (asked only when needed)
};

enum SettingsSource : int { SETTINGS_SOURCE_NONE = 0, SETTINGS_SOURCE_PROGRAM = 1, SETTINGS_SOURCE_APPDATA = 2 };

struct DataFolderChoice {
    bool portable = false;
    SettingsSource settings_source = SETTINGS_SOURCE_NONE;
    std::wstring appdata_folder;  // APPDATA_FOLDER afterwards: the program folder without separator when portable
    std::wstring data_subfolder;  // DATA_SUBFOLDER afterwards: "Brindale", or empty when portable
    std::wstring data_folder;     // appdata_folder + data_subfolder + separator
    bool log_folder_is_program_folder = false;  // the default log folder becomes the program folder
};

// True when the two folders lie on the same drive: their first two characters match, drive letters
// compared without regard to case ("c:" and "C:"). A network path never shares a drive with a letter.
bool same_drive(std::wstring_view a, std::wstring_view b);

// The decision itself, from facts alone. read_appdata is called only when the program folder's settings
// were not read and the per-user folder is known; it returns whether that file was read.
DataFolderChoice data_folder_decide(const std::wstring& program_folder, const std::wstring& appdata_folder,
                                    bool program_settings_read, const std::function<bool()>& read_appdata);

// The start-up step: tries settings_load on the program folder's "Sotrix.ini", then on the per-user one,
// decides, and stores the result in PORTABLE_MODE, SETTINGS_FILE_PRESENT, APPDATA_FOLDER, DATA_SUBFOLDER
// and the folders of DataFiles (settings, log, ping, session history). Creates the data folder only when
// the log file is on and logs there. Main thread, before any worker starts. Returns the choice.
DataFolderChoice data_folder_choose();

// The data folder as the stores use it: APPDATA_FOLDER + DATA_SUBFOLDER + separator.
std::wstring data_folder_path();

// 1 when APPDATA_FOLDER + subfolder exists or was created (one level; APPDATA_FOLDER itself must exist).
int64_t data_folder_ensure(std::wstring_view subfolder);

// 1 when a file can be created in the folder (ending in a separator); leaves no "Sotrix.tmp" behind.
int64_t folder_write_test(std::wstring_view folder);

// Removes what saves killed midway left beside a store: files named after it (or its ".bak") with a
// process-and-counter suffix and ".tmp" at the end. Start-up only, before the store is saved again.
void store_temporaries_remove(std::wstring_view path);

// True when the text names an existing folder.
bool folder_exists(std::wstring_view folder);
