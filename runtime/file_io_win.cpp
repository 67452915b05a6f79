// Whole-file reading and crash-safe replacement of files on Windows.
#include "runtime/file_io.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace {

struct FileHandle {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    explicit FileHandle(HANDLE handle) : Handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
    }
    bool valid() const { return Handle != INVALID_HANDLE_VALUE; }
    bool close_checked() {
        const HANDLE handle = Handle;
        Handle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }
};

bool write_all(HANDLE file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// A name in the same folder that no other save uses at the same time.
std::filesystem::path temporary_path(const std::filesystem::path& path) {
    // Starts at a different number in every run: a process id is reused, and a killed save's leftover
    // temporary must not be the name the next run tries first.
    static std::atomic<unsigned> counter{
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000000)};
    std::filesystem::path temp = path;
    temp += L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".tmp";
    return temp;
}

bool write_temporary(const std::filesystem::path& temp, std::string_view bytes) {
    FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const bool ok = write_all(file.Handle, bytes) && FlushFileBuffers(file.Handle) && file.close_checked();
    if (!ok) {
        file.close_checked();
        DeleteFileW(temp.c_str());
    }
    return ok;
}

bool move_replacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Copies the current file to name + ".bak" through a temporary of its own, so that the backup too is
// always whole.
bool make_backup(const std::filesystem::path& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;  // nothing to keep yet
    }
    const std::filesystem::path backup = file_backup_path(path);
    // A temporary left by a killed save can hold the name (process ids are reused): take the next one.
    std::filesystem::path temp;
    bool ok = false;
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS && !ok; ++attempt) {
        temp = temporary_path(backup);
        ok = CopyFileW(path.c_str(), temp.c_str(), TRUE) != 0;
        if (!ok && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (ok) {
        // A copied read-only file would make the next backup's move fail.
        SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        FileHandle copy(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = copy.valid() && FlushFileBuffers(copy.Handle) && copy.close_checked();
    }
    ok = ok && move_replacing(temp, backup);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

}  // namespace

bool file_read_all(const std::filesystem::path& path, std::string& bytes, size_t max_bytes, FileError* error) {
    FileError unused = FILE_OK;
    FileError& why = error ? *error : unused;
    // Sharing for writing and deleting lets a file another program keeps open (a log) still be read.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD code = GetLastError();
        why = (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) ? FILE_MISSING : FILE_UNREADABLE;
        return false;
    }
    if (GetFileType(file.Handle) != FILE_TYPE_DISK) {
        why = FILE_UNREADABLE;
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Handle, &size) || size.QuadPart < 0) {
        why = FILE_UNREADABLE;
        return false;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > max_bytes) {
        why = FILE_TOO_LARGE;
        return false;
    }
    // The size is a hint only: the file may grow while it is read, so the limit is checked again.
    std::string content;
    content.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Handle, buffer, sizeof buffer, &got, nullptr)) {
            why = FILE_UNREADABLE;
            return false;
        }
        if (got == 0) break;
        if (got > max_bytes - content.size()) {
            why = FILE_TOO_LARGE;
            return false;
        }
        content.append(buffer, got);
    }
    bytes.swap(content);
    why = FILE_OK;
    return true;
}

bool file_write_atomic(const std::filesystem::path& path, std::string_view bytes, bool keep_backup) {
    if (path.empty() || !path.has_filename()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    std::filesystem::path temp;
    bool written = false;
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS && !written; ++attempt) {
        temp = temporary_path(path);
        written = write_temporary(temp, bytes);
        if (!written && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!written) return false;
    if ((keep_backup && !make_backup(path)) || !move_replacing(temp, path)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

bool file_set_aside(const std::filesystem::path& path, std::filesystem::path* moved_to) {
    if (!file_exists(path)) return false;
    for (int number = 1; number <= 1000; ++number) {
        std::filesystem::path aside = path;
        aside += number == 1 ? std::wstring(L".bad") : L".bad" + std::to_wstring(number);
        // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken, so no earlier file set
        // aside is ever replaced.
        if (MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
            if (moved_to) *moved_to = aside;
            return true;
        }
        const DWORD code = GetLastError();
        if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

std::filesystem::path file_path(std::wstring_view text) { return std::filesystem::path(text); }

std::wstring file_path_text(const std::filesystem::path& path) { return path.wstring(); }

bool file_exists(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct OpenedFile {
    HANDLE Handle = INVALID_HANDLE_VALUE;
};

OpenedFile* file_open_read(const std::filesystem::path& path, FileError* error) {
    FileError unused = FILE_OK;
    FileError& why = error ? *error : unused;
    auto opened = std::make_unique<OpenedFile>();
    // Sharing for writing and deleting lets a file another program keeps open still be read.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        const DWORD code = GetLastError();
        why = (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) ? FILE_MISSING : FILE_UNREADABLE;
        return nullptr;
    }
    if (GetFileType(file.Handle) != FILE_TYPE_DISK) {
        why = FILE_UNREADABLE;
        return nullptr;
    }
    why = FILE_OK;
    opened->Handle = file.Handle;
    file.Handle = INVALID_HANDLE_VALUE;
    return opened.release();
}

OpenedFile* file_temporary_create(const std::filesystem::path& target, std::filesystem::path* temp) {
    if (target.empty() || !target.has_filename()) return nullptr;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
    auto opened = std::make_unique<OpenedFile>();  // made first: nothing after the open can fail
    // A temporary left by a killed save can hold the name (process ids are reused): take the next one.
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        std::filesystem::path name = temporary_path(target);
        opened->Handle =
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened->Handle != INVALID_HANDLE_VALUE) {
            if (temp) temp->swap(name);
            return opened.release();
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return nullptr;
}

int64_t file_read(OpenedFile* file, char* data, size_t size) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(file->Handle, data, chunk, &got, nullptr)) return -1;
    return got;
}

bool file_write(OpenedFile* file, const char* data, size_t size) {
    return write_all(file->Handle, std::string_view(data, size));
}

bool file_flush(OpenedFile* file) { return FlushFileBuffers(file->Handle) != 0; }

bool file_close(OpenedFile* file) {
    const bool closed = file->Handle == INVALID_HANDLE_VALUE || CloseHandle(file->Handle) != 0;
    delete file;
    return closed;
}

bool file_replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    return move_replacing(from, to);
}

bool file_remove(const std::filesystem::path& path) {
    if (DeleteFileW(path.c_str())) return true;
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}
