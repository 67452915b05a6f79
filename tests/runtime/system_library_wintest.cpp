// System DLLs come from the system folder even with a DLL of the same name where a bare name would find it;
// the binder gives nullptr for what is missing; the numbered registry loads, finds and frees.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"
#include "runtime/temp_folder.h"

namespace {

std::wstring module_folder(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::filesystem::path(std::wstring(path, length)).parent_path().wstring();
}

std::wstring system_folder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

bool same_folder(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A DLL planted under a system DLL's name in a folder that bare names are searched in before the system folder
// (the DLL folder ranks right after the program's own). The names must be of DLLs that the test program has not
// loaded yet, or the loader would hand out the module already loaded; and Wine must let a DLL of the same name
// outside its system folder win, which it does for dwmapi and pdh (not for version, mpr or powrprof).
struct PlantedLibrary {
    TempFolder Folder;
    explicit PlantedLibrary(const wchar_t* name) {
        std::filesystem::copy_file(std::filesystem::path(SOTRIX_FAKES_DIR) / "planted.dll", Folder.file(name));
        SetDllDirectoryW(Folder.Path.wstring().c_str());
    }
    PlantedLibrary(const PlantedLibrary&) = delete;
    PlantedLibrary& operator=(const PlantedLibrary&) = delete;
    ~PlantedLibrary() { SetDllDirectoryW(nullptr); }
};

TEST(SystemLibraryLoad, TakesTheSystemFolderEvenWithTheSameNameWhereABareNameLooks) {
    for (const wchar_t* name : {L"dwmapi.dll", L"pdh.dll"}) {
        ASSERT_EQ(GetModuleHandleW(name), nullptr) << name << " is loaded already: the test would show nothing";
        const PlantedLibrary planted(name);

        HMODULE module = system_library_load(name);
        ASSERT_NE(module, nullptr) << name;
        EXPECT_EQ(GetProcAddress(module, "planted_marker"), nullptr) << "the planted " << name << " was taken";
        EXPECT_TRUE(same_folder(module_folder(module), system_folder())) << module_folder(module);
        FreeLibrary(module);

        // The plant works: a bare name takes it.
        HMODULE bare = LoadLibraryW(name);
        ASSERT_NE(bare, nullptr) << name;
        EXPECT_NE(GetProcAddress(bare, "planted_marker"), nullptr) << "a bare " << name << " did not take the plant";
        FreeLibrary(bare);
    }
}

TEST(SystemLibraryLoad, RefusesNamesWithAFolder) {
    const PlantedLibrary planted(L"pdh.dll");
    const std::wstring full_path = planted.Folder.file(L"pdh.dll").wstring();
    for (const std::wstring& name : {full_path, std::wstring(L"..\\pdh.dll"), std::wstring(L"")}) {
        HMODULE module = system_library_load(name.c_str());
        EXPECT_EQ(module, nullptr) << name;
        if (module) FreeLibrary(module);
    }
    EXPECT_EQ(system_library_load(nullptr), nullptr);
    EXPECT_EQ(system_library_load(L"no_such_library_anywhere.dll"), nullptr);
}

TEST(LibraryFunctionBind, FindsOrGivesNull) {
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(kernel32, nullptr);
    using TickCountProc = ULONGLONG(WINAPI*)();
    TickCountProc tick_count = nullptr;
    ASSERT_TRUE(library_function_bind(kernel32, "GetTickCount64", tick_count));
    EXPECT_GT(tick_count(), 0u);

    // A missing name clears a target that held a function before.
    EXPECT_FALSE(library_function_bind(kernel32, "NoSuchFunctionAnywhere", tick_count));
    EXPECT_EQ(tick_count, nullptr);
    tick_count = &GetTickCount64;
    EXPECT_FALSE(library_function_bind(nullptr, "GetTickCount64", tick_count));
    EXPECT_EQ(tick_count, nullptr);
}

TEST(ProgramLibraries, LoadFindAndFreeByNumber) {
    constexpr int NUMBER = 9001;
    ASSERT_EQ(library_load(NUMBER, L"version.dll"), NUMBER);
    EXPECT_TRUE(library_loaded(NUMBER));
    EXPECT_NE(library_function(NUMBER, "GetFileVersionInfoW"), nullptr);
    EXPECT_EQ(library_function(NUMBER, "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(library_function(NUMBER + 1, "GetFileVersionInfoW"), nullptr);

    // Loading again under the same number replaces the library; a failed load leaves nothing under the number.
    ASSERT_EQ(library_load(NUMBER, L"pdh.dll"), NUMBER);
    EXPECT_EQ(library_function(NUMBER, "GetFileVersionInfoW"), nullptr);
    EXPECT_NE(library_function(NUMBER, "PdhOpenQueryW"), nullptr);
    EXPECT_EQ(library_load(NUMBER, L"no_such_library_anywhere.dll"), 0);
    EXPECT_FALSE(library_loaded(NUMBER));
    EXPECT_EQ(library_function(NUMBER, "PdhOpenQueryW"), nullptr);

    ASSERT_EQ(library_load(NUMBER, L"version.dll"), NUMBER);
    library_free(NUMBER);
    EXPECT_FALSE(library_loaded(NUMBER));
    library_free(NUMBER);  // freeing what is not there is harmless
}

}  // namespace
