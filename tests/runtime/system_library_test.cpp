// Tests of the path a system DLL is loaded from when the loader cannot restrict its own search.
#include "runtime/system_library.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemLibraryPath, IsTheNameInTheSystemFolderOrNothing) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Windows\\system32", L"version.dll", L"C:\\Windows\\system32\\version.dll"},
        {L"C:\\Windows\\system32\\", L"dwmapi.dll", L"C:\\Windows\\system32\\dwmapi.dll"},
        {L"C:\\", L"mpr.dll", L"C:\\mpr.dll"},
        // Without a folder there is no safe place: never the bare name, which the program's folder would answer.
        {L"", L"version.dll", L""},
        // A name with a folder or a drive would be loaded from there, whatever the system folder is.
        {L"C:\\Windows\\system32", L"..\\version.dll", L""},
        {L"C:\\Windows\\system32", L"sub/version.dll", L""},
        {L"C:\\Windows\\system32", L"D:version.dll", L""},
        {L"C:\\Windows\\system32", L"C:\\Program Files\\Sotrix\\version.dll", L""},
        {L"C:\\Windows\\system32", L"", L""},
        {L"C:\\Windows\\system32", L"..", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(system_library_path(c.folder, c.name), c.expected) << c.folder << " + " << c.name;
    }
}

TEST(SystemLibraryPath, PlainNamesOnly) {
    EXPECT_TRUE(system_library_name_plain(L"powrprof.dll"));
    EXPECT_TRUE(system_library_name_plain(L"user32"));
    EXPECT_FALSE(system_library_name_plain(L"."));
    EXPECT_FALSE(system_library_name_plain(L".\\pdh.dll"));
    EXPECT_FALSE(system_library_name_plain(L"\\\\server\\share\\pdh.dll"));
}

}  // namespace
