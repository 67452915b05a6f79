// A folder of its own under the system's temporary folder for one test, removed again afterwards.
#pragma once

#include "runtime/file_io.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

struct TempFolder {
    std::filesystem::path Path;

    TempFolder() {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        Path = std::filesystem::temp_directory_path() /
               ("sotrix-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(Path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }

    std::filesystem::path file(const std::wstring& name) const { return Path / file_path(name); }

    // Names of everything in the folder, to check that no temporary file is left behind.
    size_t entry_count() const {
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Path)) ++count;
        return count;
    }
};
