// A stand-in writer for the crash test of the atomic save: saves a store over and over until it is killed.
// Arguments: the store's path, the first version, and "backup" to keep the previous file as ".bak".
#include <windows.h>

#include <cwchar>
#include <string>

#include "runtime/file_io.h"
#include "store_format.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::filesystem::path path(argv[1]);
    uint32_t version = static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 10));
    const bool backup = argc > 3 && std::wstring(argv[3]) == L"backup";
    // Tells the test that saving has begun, so that its kills land inside the loop.
    if (HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"SotrixStoreWriterStarted")) {
        SetEvent(started);
        CloseHandle(started);
    }
    // A save that fails (a temporary name left by an earlier, killed writer) is tried again with the next
    // version, as the program tries again at its next save.
    for (;;) file_write_atomic(path, store_contents(++version), backup);
}
