// A fresh program state for the tests of the files part: shared state, English texts, data files in a
// temporary folder, no window hooks, empty lists and an empty log buffer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/data_folder.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/saga_store.h"
#include "core/settings_file.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/file_io.h"
#include "runtime/list_model.h"
#include "runtime/temp_folder.h"
#include "runtime/text.h"

// The folder as the program writes it: the native separator at the end.
inline std::wstring folder_text(const std::filesystem::path& path) {
#if defined(_WIN32)
    return folder_with_separator(path.wstring());
#else
    const std::u8string bytes = path.u8string();
    return folder_with_separator(wide_from_utf8(std::string(bytes.begin(), bytes.end())));
#endif
}

inline std::string file_bytes(const std::wstring& path) {
    std::string bytes;
    file_read_all(file_path(path), bytes, 64 * 1024 * 1024);
    return bytes;
}

inline bool file_write_bytes(const std::wstring& path, std::string_view bytes) {
    return file_write_atomic(file_path(path), bytes, false);
}

// Every test starts from the program's start-up state with the program in Program/ and the roaming
// application data folder AppData/ of a temporary folder.
class FilesTest : public ::testing::Test {
protected:
    TempFolder Temp;
    std::wstring ProgramFolder;
    std::wstring AppDataFolder;
    std::wstring DataFolder;

    void SetUp() override {
        std::filesystem::create_directories(Temp.Path / "Program");
        std::filesystem::create_directories(Temp.Path / "AppData");
        ProgramFolder = folder_text(Temp.Path / "Program");
        AppDataFolder = folder_text(Temp.Path / "AppData");
        DataFolder = folder_with_separator(AppDataFolder + L"Brindale");
        SharedStateFacts facts;
        facts.appdata_folder = AppDataFolder;
        facts.log_folder = DataFolder;
        shared_state_init(facts);
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        data_files_init(ProgramFolder + L"Sotrix.exe", AppDataFolder, date_now());
        data_files_translate();
        {
            std::lock_guard guard(DataFilesLock);
            for (auto* entry : {&DataFiles[DATA_FILE_SETTINGS], &DataFiles[DATA_FILE_LOG], &DataFiles[DATA_FILE_PING],
                                &DataFiles[DATA_FILE_SAGA]}) {
                entry->folder = DataFolder;
            }
            DataFiles[DATA_FILE_LOG].alt_folder = DataFolder;
        }
        settings_ui_hooks_set(SettingsUiHooks{});
        settings_file_reset();
        saga_store_reset();
        log_buffer_reset();
        for (const int list :
             {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR, LIST_PROCESSORS, LIST_PHYSICAL_MEMORY,
              LIST_PAGEFILE_MEMORY, LIST_GPU_ID, LIST_NETWORK_ID, LIST_DRIVE_ID}) {
            list_rows_clear(list);
        }
    }

    void TearDown() override {
        settings_ui_hooks_set(SettingsUiHooks{});
        log_buffer_reset();
    }

    void data_folder_create() { std::filesystem::create_directories(file_path(DataFolder)); }

    // The system event rows without their time stamps.
    static std::vector<std::wstring> system_events() {
        std::vector<std::wstring> texts;
        for (const std::wstring& row : list_rows_copy(LIST_SYSTEM_EVENTS)) {
            const size_t stamp_end = row.find(L" - ");  // "%mm-%dd  %hh:%ii:%ss - "
            texts.push_back(stamp_end == std::wstring::npos ? row : row.substr(stamp_end + 3));
        }
        return texts;
    }

    static bool system_event_contains(std::wstring_view part) {
        for (const std::wstring& row : list_rows_copy(LIST_SYSTEM_EVENTS)) {
            if (row.find(part) != std::wstring::npos) return true;
        }
        return false;
    }
};
