// The atomic save under crashes on Windows: the store writer is terminated at random moments while it saves,
// and every time the store and its backup are found whole, old or new.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <random>
#include <string>

#include "fakes/store_writer/store_format.h"
#include "files_test_support.h"

namespace {

std::wstring windows_path(const std::string& linux_path) {
    std::wstring path = L"Z:" + wide_from_utf8(linux_path);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

TEST(StoreAtomicSave, TerminatedWriterLeavesAWholeOldOrNewFile) {
    const std::wstring writer = windows_path(SOTRIX_FAKES_DIR) + L"\\store_writer.exe";
    ASSERT_TRUE(file_exists(writer)) << "the store writer fake is not built";
    TempFolder temp;
    const std::filesystem::path store = temp.Path / "SX-Store.json";
    ASSERT_TRUE(file_write_atomic(store, store_contents(0), false));
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, L"SotrixStoreWriterStarted");
    ASSERT_NE(started, nullptr);
    std::mt19937 random(4242);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    int rounds = 0;
    int changed = 0;
    int64_t newest = 0;
    while (rounds < 300 && std::chrono::steady_clock::now() < deadline) {
        ++rounds;
        ResetEvent(started);
        std::wstring command =
            L"\"" + writer + L"\" \"" + store.wstring() + L"\" " + std::to_wstring(rounds * 100000) + L" backup";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        ASSERT_EQ(WaitForSingleObject(started, 10000), WAIT_OBJECT_0) << "the writer did not start";
        Sleep(std::uniform_int_distribution<DWORD>(0, 25)(random));
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        DWORD exit_code = 0;
        GetExitCodeProcess(process.hProcess, &exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_EQ(exit_code, 9u) << "the writer failed on its own in round " << rounds;

        std::string bytes;
        ASSERT_TRUE(file_read_all(store, bytes, 1 << 20)) << rounds;
        const int64_t version = store_version(bytes);
        ASSERT_GE(version, 0) << "torn store in round " << rounds;
        if (version != newest) ++changed;
        newest = version;
        std::string backup;
        if (file_read_all(file_backup_path(store), backup, 1 << 20)) {
            ASSERT_GE(store_version(backup), 0) << "torn backup in round " << rounds;
        }
    }
    CloseHandle(started);
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path)) {
        if (entry.path().extension() == L".tmp") ++leftovers;
    }
    std::cout << rounds << " rounds, " << leftovers << " temporary files left by killed saves\n";
    EXPECT_GE(rounds, 200);
    EXPECT_GE(changed, rounds / 2);  // most kills came after saves had happened
}

}  // namespace
