// What the integration tests share: paths under Wine, the program folder of a run and its processes, the
// single-instance mutex, the display check, waits with deadlines, Ctrl+C and the clipboard, the program's windows and
// controls read across the process boundary, and pictures of the screen with the checks of what they show.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/control_numbers.h"
#include "runtime/display_probe_win.h"

using Clock = std::chrono::steady_clock;

// How long a start-up may take under a loaded Wine before the compact window shows.
constexpr int START_MS = 60000;
// How long a program may take to end once asked to: the exit itself takes about two seconds under Wine
// (its wait for the workers and the tray), with room for a loaded machine.
constexpr int EXIT_MS = 5000;

// Polls the condition every 20 ms until it holds or the time is up; true when it held.
inline bool wait_until(int milliseconds, const std::function<bool()>& condition) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= end) return false;
        Sleep(20);
    }
}

// A Linux path as Wine shows it to a Windows program.
inline std::wstring windows_path(const char* linux_path) {
    std::wstring path = L"Z:";
    for (const char* c = linux_path; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

inline bool instance_mutex_exists() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"SotRix");
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

constexpr const char* NO_DISPLAY =
    "no display for windows: the integration tests need one (start Xvfb and set DISPLAY)";

// Waits up to 20 s for a program left by an earlier, interrupted run to end; true when none runs.
inline bool no_instance_runs() {
    return wait_until(20000, [] { return !instance_mutex_exists(); });
}

// A new folder under the temporary folder with a copy of the program in it; false when the copy failed.
inline bool program_folder_make(const std::wstring& prefix, std::filesystem::path& folder, std::filesystem::path& exe) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::filesystem::path(temp) /
             (prefix + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()));
    std::filesystem::create_directories(folder);
    exe = folder / L"Sotrix.exe";
    return CopyFileW(windows_path(SOTRIX_EXE_PATH).c_str(), exe.c_str(), FALSE) != 0;
}

// ---- Files ----

// The bytes of a file; empty when it cannot be read.
inline std::string file_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void file_write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// UTF-8 bytes to UTF-16.
inline std::wstring wide_of(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// The value of a key in the "[Sotrix]" group of a settings file's bytes ("Key = value" or "Key=value");
// empty when the key is not there.
inline std::string ini_value(const std::string& bytes, const std::string& key) {
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        auto trimmed = [](std::string text) {
            const size_t first = text.find_first_not_of(" \t\r\xEF\xBB\xBF");
            const size_t last = text.find_last_not_of(" \t\r");
            return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
        };
        if (trimmed(line.substr(0, equals)) == key) return trimmed(line.substr(equals + 1));
    }
    return {};
}

// ---- The program's processes ----

// One started copy of the program. Its error output is the test's: Wine hands a process started without
// handles to inherit the standard handles of the process that starts it, so a stop at a fault that the program
// prints there ("lock order violated: ...", from the lock-order check of every build with tests) shows in the
// test's output. stop() fails the test when the program ended by itself with an exit code other than 0.
struct Program {
    PROCESS_INFORMATION process{};
    bool started = false;

    bool running() const { return started && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    bool ends_within(int milliseconds) const {
        return started && WaitForSingleObject(process.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    }
    DWORD exit_code() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    DWORD id() const { return process.dwProcessId; }
    // Ends the process if it still runs and lets the handles go; the single-instance mutex goes with it. The
    // program ends by itself only with 0: any other code is a crash or a stop at a fault, also one that the test's
    // own checks did not see (a worker's wrong nesting of locks ends it with abort(), code 3).
    void stop() {
        if (!started) return;
        if (running()) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        } else if (exit_code() != 0) {
            ADD_FAILURE() << "Sotrix.exe (process " << id() << ") ended by itself with exit code " << exit_code()
                          << (exit_code() == 3 ? ": abort(), whose reason the program printed above" : ": it crashed");
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        started = false;
    }
};

// A test that runs copies of the program in a folder of its own (portable mode when a "Sotrix.ini" lies
// beside it) and ends every process it started, even when it fails.
class ProgramTest : public ::testing::Test {
protected:
    // Prepares the folder; the caller asserts the result. The settings file is written only when given.
    ::testing::AssertionResult folder_prepare(const std::wstring& prefix) {
        if (!display_available()) return ::testing::AssertionFailure() << NO_DISPLAY;
        // A program left by an earlier, interrupted run would take our starts for second instances.
        if (!no_instance_runs())
            return ::testing::AssertionFailure() << "another Sotrix instance runs in this Wine prefix";
        if (!program_folder_make(prefix, folder_, exe_))
            return ::testing::AssertionFailure() << "the program could not be copied: " << GetLastError();
        return ::testing::AssertionSuccess();
    }

    void TearDown() override {
        stop_all();
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }

    void stop_all() {
        for (Program& program : programs_) program.stop();
        wait_until(5000, [] { return !instance_mutex_exists(); });
    }

    // Starts a copy of the program; with CREATE_SUSPENDED its first thread waits for ResumeThread.
    Program& start(const std::wstring& words, DWORD creation_flags = 0) {
        programs_.emplace_back();
        Program& program = programs_.back();
        std::wstring command = L"\"" + exe_.wstring() + L"\" " + words;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        program.started = CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, creation_flags, nullptr,
                                         folder_.c_str(), &startup, &program.process) != FALSE;
        EXPECT_TRUE(program.started) << GetLastError();
        return program;
    }

    // Starts a second instance with the word "shutdown" and waits until both have ended; true when the
    // running one ended with exit code 0 within the bound.
    ::testing::AssertionResult shut_down(const Program& running) {
        Program& second = start(L"shutdown norepair");
        if (!second.ends_within(EXIT_MS + 5000)) return ::testing::AssertionFailure() << "\"shutdown\" did not end";
        if (!running.ends_within(EXIT_MS)) return ::testing::AssertionFailure() << "the running instance did not quit";
        if (running.exit_code() != 0) return ::testing::AssertionFailure() << "exit code " << running.exit_code();
        return ::testing::AssertionSuccess();
    }

    std::filesystem::path folder_;
    std::filesystem::path exe_;
    std::vector<Program> programs_;  // reserved, so references stay valid
public:
    ProgramTest() { programs_.reserve(8); }
};

// ---- Windows ----

inline std::wstring class_of(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

inline std::wstring text_of(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

inline BOOL CALLBACK descendant_collect(HWND hwnd, LPARAM parameter) {
    auto* by_number = reinterpret_cast<std::map<int, HWND>*>(parameter);
    const int id = GetDlgCtrlID(hwnd);
    // The parts inside common controls (a list's header, a combo box's field) carry small ids.
    if (id >= 100 && !by_number->count(id)) (*by_number)[id] = hwnd;
    return TRUE;
}

// The controls inside a window, by number (the first of each number).
inline std::map<int, HWND> descendants_of(HWND window) {
    std::map<int, HWND> found;
    EnumChildWindows(window, descendant_collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

enum class WindowKind { COMPACT, MAIN, OTHER };

// What kind of window of the program this top-level window is.
inline WindowKind window_kind(HWND hwnd) {
    if (FindWindowExW(hwnd, nullptr, L"SotrixCanvas", nullptr)) return WindowKind::COMPACT;
    const auto inside = descendants_of(hwnd);
    const auto panel = inside.find(PANEL_MAIN);
    if (panel != inside.end() && class_of(panel->second) == WC_TABCONTROLW) return WindowKind::MAIN;
    return WindowKind::OTHER;
}

struct WindowSearch {
    DWORD process_id;
    WindowKind kind;
    bool visible_only;
    HWND found;
};

inline BOOL CALLBACK window_search_step(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->process_id || class_of(hwnd) != L"SotrixWindow") return TRUE;
    if (search->visible_only && !IsWindowVisible(hwnd)) return TRUE;
    if (window_kind(hwnd) != search->kind) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The process's first top-level window of the program's class and the kind, visible or (when
// visible_only is false) not; null when there is none.
inline HWND program_window(DWORD process_id, WindowKind kind, bool visible_only = true) {
    WindowSearch search{process_id, kind, visible_only, nullptr};
    EnumWindows(window_search_step, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits while the program runs for its visible window of the kind; null when it ended or time ran out.
inline HWND wait_for_window(const Program& program, WindowKind kind, int milliseconds = START_MS) {
    HWND found = nullptr;
    wait_until(milliseconds, [&] {
        found = program.running() ? program_window(program.id(), kind) : nullptr;
        return found != nullptr || !program.running();
    });
    return found;
}

// Stands in for the shell's tray window, on a thread of its own that answers at once. The program adds its
// tray icon as the last step of its start-up by sending the shell's tray window a message and waiting for the
// answer; what the stand-in sees of the program's compact window while that message is being answered is
// what start-up had done before its last step.
class ShellTrayStandIn {
public:
    struct Seen {
        bool icon_added = false;
        bool compact_found = false;
        bool compact_visible = false;
        LONG compact_height = 0;  // of its inner area
    };

    explicit ShellTrayStandIn(DWORD program_id) : program_id_(program_id) {
        thread_ = std::thread([this] { run(); });
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return window_ready_; });
    }
    ~ShellTrayStandIn() {
        if (thread_id_) PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        thread_.join();
    }
    ShellTrayStandIn(const ShellTrayStandIn&) = delete;
    ShellTrayStandIn& operator=(const ShellTrayStandIn&) = delete;

    // Whether a program's tray call will reach this window: the shell's calls go to the first window of the
    // class.
    bool first_of_its_class() const { return window_ && FindWindowW(L"Shell_TrayWnd", nullptr) == window_; }

    // Waits until the first tray icon message was answered; false when time ran out.
    bool wait_for_icon(int milliseconds, Seen& seen) {
        std::unique_lock lock(mutex_);
        const bool added =
            changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return seen_.icon_added; });
        seen = seen_;
        return added;
    }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = reinterpret_cast<ShellTrayStandIn*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message != WM_COPYDATA || !self) return DefWindowProcW(hwnd, message, wparam, lparam);
        std::lock_guard lock(self->mutex_);
        if (!self->seen_.icon_added) {
            // The program waits for this answer: its start-up stands still while the window is looked at.
            HWND compact = program_window(self->program_id_, WindowKind::COMPACT, false);
            self->seen_.compact_found = compact != nullptr;
            self->seen_.compact_visible = compact && IsWindowVisible(compact);
            RECT client{};
            if (compact && GetClientRect(compact, &client)) self->seen_.compact_height = client.bottom - client.top;
            self->seen_.icon_added = true;
            self->changed_.notify_all();
        }
        return TRUE;
    }

    void run() {
        thread_id_ = GetCurrentThreadId();
        WNDCLASSW type{};
        type.lpfnWndProc = procedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&type);
        HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1,
                                      nullptr, nullptr, type.hInstance, nullptr);
        if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        {
            std::lock_guard lock(mutex_);
            window_ = window;
            window_ready_ = true;
        }
        changed_.notify_all();
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        if (window) DestroyWindow(window);
        UnregisterClassW(L"Shell_TrayWnd", type.hInstance);
    }

    const DWORD program_id_;
    std::thread thread_;
    DWORD thread_id_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool window_ready_ = false;
    HWND window_ = nullptr;
    Seen seen_;
};

// Lets a program started suspended run with a stand-in for the shell's tray window in place (made into `tray`,
// which keeps it for the rest of the test) and waits until the program adds its tray icon, the last step of its
// start-up; `seen` is what the stand-in saw of it then.
inline ::testing::AssertionResult run_to_tray_icon(const Program& program, std::unique_ptr<ShellTrayStandIn>& tray,
                                                   ShellTrayStandIn::Seen& seen) {
    if (!program.started) return ::testing::AssertionFailure() << "the program did not start";
    // The stand-in looks for the program's windows by process, so it needs the process first.
    tray = std::make_unique<ShellTrayStandIn>(program.id());
    if (!tray->first_of_its_class())
        return ::testing::AssertionFailure() << "the test's tray window is not the one the shell's calls reach";
    ResumeThread(program.process.hThread);
    if (!tray->wait_for_icon(START_MS, seen)) return ::testing::AssertionFailure() << "the program added no tray icon";
    return ::testing::AssertionSuccess();
}

// ---- Controls of another process ----

// Memory in another process for the structures that common-control messages point at.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD process_id, size_t size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool write(size_t offset, const void* data, size_t size) const {
        return offset + size <= size_ && WriteProcessMemory(process_, at(offset), data, size, nullptr);
    }
    bool read(size_t offset, void* data, size_t size) const {
        return offset + size <= size_ && ReadProcessMemory(process_, at(offset), data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_ = 0;
};

inline DWORD process_of(HWND hwnd) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    return owner;
}

// The texts of a list view's rows in one column, top row first.
inline std::vector<std::wstring> list_view_rows(HWND list, int column = 0) {
    std::vector<std::wstring> rows;
    constexpr size_t TEXT_CHARS = 1024;
    RemoteBuffer remote(process_of(list), sizeof(LVITEMW) + TEXT_CHARS * sizeof(wchar_t));
    if (!remote.ok()) return rows;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) return rows;
    for (DWORD_PTR row = 0; row < count; ++row) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<LPWSTR>(remote.at(sizeof(LVITEMW)));
        item.cchTextMax = TEXT_CHARS;
        wchar_t text[TEXT_CHARS] = {};
        DWORD_PTR length = 0;
        if (!remote.write(0, &item, sizeof(item)) ||
            !SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG,
                                 5000, &length) ||
            !remote.read(sizeof(LVITEMW), text, sizeof(text) - sizeof(wchar_t))) {
            break;
        }
        rows.emplace_back(text);
    }
    return rows;
}

// The items of a combo box, top first (the box copies its texts across the process boundary itself).
inline std::vector<std::wstring> combo_items(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        items.push_back(text);
    }
    return items;
}

// Where the program looks for the NVIDIA management library: below the Program Files folder.
inline std::filesystem::path nvml_library_path() {
    wchar_t program_files[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, program_files))) return {};
    return std::filesystem::path(program_files) / L"NVIDIA Corporation" / L"NVSMI" / L"nvml.dll";
}

// Our fake libraries where the program looks for the real ones, taken away again when the test ends (after
// the programs, which hold them). A file already there is not ours to replace: placing fails the test.
class FakesPlaced {
public:
    FakesPlaced() = default;
    FakesPlaced(const FakesPlaced&) = delete;
    FakesPlaced& operator=(const FakesPlaced&) = delete;
    ~FakesPlaced() { remove_all(); }

    // Copies the fake of the build's fakes folder named `fake` to `target`.
    void place(const std::filesystem::path& target, const char* fake) {
        ASSERT_FALSE(target.empty()) << "no place for " << fake;
        ASSERT_FALSE(std::filesystem::exists(target)) << "not ours to replace: " << target;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(std::filesystem::path(SOTRIX_FAKES_DIR) / fake, target);
        placed_.push_back(target);
    }
    void remove_all() {
        std::error_code ignored;
        for (const std::filesystem::path& file : placed_) std::filesystem::remove(file, ignored);
        placed_.clear();
    }

private:
    std::vector<std::filesystem::path> placed_;
};

// The captions of a tab control's tabs.
inline std::vector<std::wstring> tab_captions(HWND tabs) {
    std::vector<std::wstring> captions;
    constexpr size_t TEXT_CHARS = 256;
    RemoteBuffer remote(process_of(tabs), sizeof(TCITEMW) + TEXT_CHARS * sizeof(wchar_t));
    if (!remote.ok()) return captions;
    const LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT tab = 0; tab < count; ++tab) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<LPWSTR>(remote.at(sizeof(TCITEMW)));
        item.cchTextMax = TEXT_CHARS;
        wchar_t text[TEXT_CHARS] = {};
        if (!remote.write(0, &item, sizeof(item)) ||
            !SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(remote.at(0))) ||
            !remote.read(sizeof(TCITEMW), text, sizeof(text) - sizeof(wchar_t))) {
            break;
        }
        captions.emplace_back(text);
    }
    return captions;
}

// True when one of the rows contains every one of the parts.
inline bool any_row_has(const std::vector<std::wstring>& rows, const std::vector<std::wstring>& parts) {
    return std::any_of(rows.begin(), rows.end(), [&](const std::wstring& row) {
        return std::all_of(parts.begin(), parts.end(),
                           [&](const std::wstring& part) { return row.find(part) != std::wstring::npos; });
    });
}

// Presses Ctrl+C as a user would: the shortcut reads the keyboard state, which only real input sets.
inline bool ctrl_c_press(HWND window) {
    SetForegroundWindow(window);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    return SendInput(4, keys, sizeof(INPUT)) == 4;
}

// A key pressed and let go as a user does it: the shortcut goes to the active window.
inline bool key_press(HWND window, WORD key) {
    SetForegroundWindow(window);
    INPUT keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = key;
        keys[i].ki.dwFlags = i == 1 ? KEYEVENTF_KEYUP : 0;
    }
    return SendInput(2, keys, sizeof(INPUT)) == 2;
}

inline std::wstring clipboard_text() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

inline void clipboard_empty() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

inline std::string narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

inline std::string rows_listing(const std::vector<std::wstring>& rows) {
    std::string listing;
    for (const std::wstring& row : rows) listing += "\n  " + narrow(row);
    return listing;
}

// ---- Pictures of the screen ----

// The screen's pixels in a rectangle of screen coordinates, 0xRRGGBB each, top row first.
struct Picture {
    RECT area{};
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool empty() const { return pixels.empty(); }
};

inline Picture screen_picture(RECT area) {
    Picture picture;
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, GetSystemMetrics(SM_CXSCREEN));
    area.bottom = std::min<LONG>(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return picture;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc && bitmap) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        picture.pixels.assign(source, source + static_cast<size_t>(width) * height);
        for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFFu;
        picture.area = area;
        picture.width = width;
        picture.height = height;
        SelectObject(dc, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The part of the screen a window covers.
inline Picture window_picture(HWND hwnd) {
    RECT area{};
    GetWindowRect(hwnd, &area);
    return screen_picture(area);
}

// A 24-bit BMP file of the picture.
inline bool picture_save(const Picture& picture, const std::wstring& path) {
    if (picture.empty()) return false;
    const DWORD row = static_cast<DWORD>((picture.width * 3 + 3) & ~3);
    std::vector<char> image(static_cast<size_t>(row) * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        char* line = image.data() + static_cast<size_t>(picture.height - 1 - y) * row;  // bottom row first
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.at(x, y);
            line[3 * x] = static_cast<char>(pixel & 0xFF);
            line[3 * x + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            line[3 * x + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(image.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    return out.good();
}

// The screen rectangle of a window's inner area, moved in by `inset` pixels on each side.
inline RECT client_on_screen(HWND hwnd, int inset = 0) {
    RECT inner{};
    GetClientRect(hwnd, &inner);
    POINT corner{0, 0};
    ClientToScreen(hwnd, &corner);
    OffsetRect(&inner, corner.x, corner.y);
    InflateRect(&inner, -inset, -inset);
    return inner;
}

// The colour most pixels of the rectangle (screen coordinates, inside the picture) have, and how many
// have it; the count of pixels in the rectangle.
struct ColourCount {
    uint32_t colour = 0;
    size_t count = 0;
    size_t total = 0;
};

inline ColourCount most_common_colour(const Picture& picture, RECT part) {
    std::map<uint32_t, size_t> counts;
    ColourCount result;
    for (LONG y = std::max(part.top, picture.area.top); y < std::min(part.bottom, picture.area.bottom); ++y) {
        for (LONG x = std::max(part.left, picture.area.left); x < std::min(part.right, picture.area.right); ++x) {
            ++counts[picture.at(x - picture.area.left, y - picture.area.top)];
            ++result.total;
        }
    }
    for (const auto& [colour, count] : counts) {
        if (count > result.count) result = {colour, count, result.total};
    }
    return result;
}

// Pixels of the rectangle that differ from the background by a clear step (over 150 summed over the three
// colour channels): text or lines drawn on it.
inline size_t contrast_pixels(const Picture& picture, RECT part, uint32_t background) {
    auto distance = [](uint32_t a, uint32_t b) {
        int sum = 0;
        for (const int shift : {0, 8, 16})
            sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        return sum;
    };
    size_t count = 0;
    for (LONG y = std::max(part.top, picture.area.top); y < std::min(part.bottom, picture.area.bottom); ++y) {
        for (LONG x = std::max(part.left, picture.area.left); x < std::min(part.right, picture.area.right); ++x) {
            if (distance(picture.at(x - picture.area.left, y - picture.area.top), background) > 150) ++count;
        }
    }
    return count;
}

// Whether a one-line text that the program drew opaquely in `font` (as its graphs draw their captions) stands
// inside the rectangle (screen coordinates). The text is drawn here in the same font and compared by its ink
// alone, so its colours do not matter: a pixel of the screen counts as ink when it differs from the top-left
// pixel of the text's cell (the background of its box). One pixel in twenty may differ (the smoothing of the
// glyphs' edges depends on the colours).
inline bool text_shown(const Picture& picture, RECT part, HFONT font, const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ previous_font = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    std::vector<bool> ink;
    if (size.cx > 0 && size.cy > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = size.cx;
        info.bmiHeader.biHeight = -size.cy;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap) {
            const HGDIOBJ previous = SelectObject(dc, bitmap);
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, RGB(255, 255, 255));
            SetTextColor(dc, RGB(0, 0, 0));
            TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
            GdiFlush();
            const auto* pixels = static_cast<const uint32_t*>(bits);
            for (LONG i = 0; i < size.cx * size.cy; ++i) ink.push_back((pixels[i] & 0xFFFFFFu) != 0xFFFFFFu);
            SelectObject(dc, previous);
            DeleteObject(bitmap);
        }
    }
    SelectObject(dc, previous_font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    const auto ink_count = static_cast<size_t>(std::count(ink.begin(), ink.end(), true));
    if (ink_count == 0) return false;
    const size_t allowed = ink_count / 20;
    const LONG left = std::max(part.left, picture.area.left) - picture.area.left;
    const LONG top = std::max(part.top, picture.area.top) - picture.area.top;
    const LONG right = std::min(part.right, picture.area.right) - picture.area.left - size.cx;
    const LONG bottom = std::min(part.bottom, picture.area.bottom) - picture.area.top - size.cy;
    for (LONG y = top; y <= bottom; ++y) {
        for (LONG x = left; x <= right; ++x) {
            const uint32_t background = picture.at(x, y);
            size_t differing = 0;
            for (LONG row = 0; row < size.cy && differing <= allowed; ++row) {
                for (LONG column = 0; column < size.cx && differing <= allowed; ++column) {
                    const bool shown = picture.at(x + column, y + row) != background;
                    if (shown != ink[static_cast<size_t>(row * size.cx + column)]) ++differing;
                }
            }
            if (differing <= allowed) return true;
        }
    }
    return false;
}

// Lines of one of the colours across the rectangle: columns and rows of which at least `share` (0..1) of the
// pixels have one of the colours.
struct GridLines {
    int columns = 0;
    int rows = 0;
};

inline GridLines grid_lines(const Picture& picture, RECT part, const std::vector<uint32_t>& colours, double share) {
    GridLines lines;
    part.left = std::max(part.left, picture.area.left);
    part.top = std::max(part.top, picture.area.top);
    part.right = std::min(part.right, picture.area.right);
    part.bottom = std::min(part.bottom, picture.area.bottom);
    if (part.right <= part.left || part.bottom <= part.top) return lines;
    auto is_grid = [&](LONG x, LONG y) {
        const uint32_t pixel = picture.at(x - picture.area.left, y - picture.area.top);
        return std::find(colours.begin(), colours.end(), pixel) != colours.end();
    };
    for (LONG x = part.left; x < part.right; ++x) {
        int hits = 0;
        for (LONG y = part.top; y < part.bottom; ++y) hits += is_grid(x, y) ? 1 : 0;
        if (hits >= share * (part.bottom - part.top)) ++lines.columns;
    }
    for (LONG y = part.top; y < part.bottom; ++y) {
        int hits = 0;
        for (LONG x = part.left; x < part.right; ++x) hits += is_grid(x, y) ? 1 : 0;
        if (hits >= share * (part.right - part.left)) ++lines.rows;
    }
    return lines;
}

// Where to keep the pictures: the build tree's "screenshots" folder.
inline std::wstring screenshots_folder() {
    const std::wstring shots = windows_path(SOTRIX_BINARY_DIR) + L"\\screenshots";
    CreateDirectoryW(shots.c_str(), nullptr);
    return shots;
}
