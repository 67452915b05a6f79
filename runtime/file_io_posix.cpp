// Whole-file reading and crash-safe replacement of files on POSIX systems.
#include "runtime/file_io.h"

#include "runtime/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

struct FileDescriptor {
    int Fd = -1;
    explicit FileDescriptor(int fd) : Fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (Fd >= 0) ::close(Fd);
    }
    // Closes now and reports whether the close succeeded (it can report a late write error).
    bool close_checked() {
        const int fd = Fd;
        Fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }
};

bool write_all(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// A name in the same folder that no other save uses at the same time, so concurrent saves never share a
// temporary file.
std::filesystem::path temporary_path(const std::filesystem::path& path) {
    // Starts at a different number in every run: a process id is reused, and a killed save's leftover
    // temporary must not be the name the next run tries first.
    static std::atomic<unsigned> counter{
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000000)};
    std::filesystem::path temp = path;
    temp += "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
    return temp;
}

// Makes a rename durable; a folder that cannot be opened or synced is not an error, the rename happened.
void sync_folder(const std::filesystem::path& path) {
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Fd >= 0) ::fsync(dir.Fd);
}

// Writes bytes to a new file at temp and flushes it to disk; on failure the temporary is removed.
bool write_temporary(const std::filesystem::path& temp, std::string_view bytes, mode_t mode) {
    FileDescriptor file(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (file.Fd < 0) return false;
    const bool ok = write_all(file.Fd, bytes) && ::fsync(file.Fd) == 0 && file.close_checked();
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// Copies the current file to name + ".bak" through a temporary of its own, so that the backup too is
// always whole.
bool make_backup(const std::filesystem::path& path) {
    FileDescriptor source(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.Fd < 0) return errno == ENOENT;  // nothing to keep yet
    const std::filesystem::path backup = file_backup_path(path);
    // A temporary left by a killed save can hold the name (process ids are reused): take the next one.
    std::filesystem::path temp;
    FileDescriptor target(-1);
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS && target.Fd < 0; ++attempt) {
        temp = temporary_path(backup);
        target.Fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (target.Fd < 0 && errno != EEXIST) break;
    }
    if (target.Fd < 0) return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(source.Fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (!write_all(target.Fd, std::string_view(buffer, static_cast<size_t>(got)))) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fsync(target.Fd) == 0;
    ok = target.close_checked() && ok;
    ok = ok && ::rename(temp.c_str(), backup.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

bool file_read_all(const std::filesystem::path& path, std::string& bytes, size_t max_bytes, FileError* error) {
    FileError unused = FILE_OK;
    FileError& why = error ? *error : unused;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Fd < 0) {
        why = (errno == ENOENT || errno == ENOTDIR) ? FILE_MISSING : FILE_UNREADABLE;
        return false;
    }
    struct stat info {};
    if (::fstat(file.Fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = FILE_UNREADABLE;
        return false;
    }
    if (static_cast<uint64_t>(info.st_size) > max_bytes) {
        why = FILE_TOO_LARGE;
        return false;
    }
    // The size is a hint only: the file may grow while it is read, so the limit is checked again.
    std::string content;
    content.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            why = FILE_UNREADABLE;
            return false;
        }
        if (got == 0) break;
        if (static_cast<size_t>(got) > max_bytes - content.size()) {
            why = FILE_TOO_LARGE;
            return false;
        }
        content.append(buffer, static_cast<size_t>(got));
    }
    bytes.swap(content);
    why = FILE_OK;
    return true;
}

bool file_write_atomic(const std::filesystem::path& path, std::string_view bytes, bool keep_backup) {
    if (path.empty() || !path.has_filename()) return false;
    // A replaced file keeps its permissions.
    mode_t mode = 0644;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return false;
        mode = info.st_mode & 07777;
    }
    std::filesystem::path temp;
    bool written = false;
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS && !written; ++attempt) {
        temp = temporary_path(path);
        written = write_temporary(temp, bytes, mode);
        if (!written && errno != EEXIST) break;
    }
    if (!written) return false;
    if (keep_backup && !make_backup(path)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    sync_folder(path);
    return true;
}

bool file_set_aside(const std::filesystem::path& path, std::filesystem::path* moved_to) {
    if (!file_exists(path)) return false;
    for (int number = 1; number <= 1000; ++number) {
        std::filesystem::path aside = path;
        aside += number == 1 ? std::string(".bad") : ".bad" + std::to_string(number);
        // A hard link fails when the name is taken, so no earlier file set aside is ever replaced.
        if (::link(path.c_str(), aside.c_str()) == 0) {
            if (::unlink(path.c_str()) != 0) {
                ::unlink(aside.c_str());
                return false;
            }
            sync_folder(path);
            if (moved_to) *moved_to = aside;
            return true;
        }
        if (errno == EEXIST) continue;
        // File systems without hard links: check the name, then rename.
        struct stat info {};
        if (::lstat(aside.c_str(), &info) == 0) continue;
        if (::rename(path.c_str(), aside.c_str()) != 0) return false;
        sync_folder(path);
        if (moved_to) *moved_to = aside;
        return true;
    }
    return false;
}

std::filesystem::path file_path(std::wstring_view text) {
    const std::string utf8 = utf8_from_wide(text);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::wstring file_path_text(const std::filesystem::path& path) {
    const std::u8string bytes = path.u8string();
    return wide_from_utf8(std::string(bytes.begin(), bytes.end()));
}

bool file_exists(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

struct OpenedFile {
    int Fd = -1;
};

OpenedFile* file_open_read(const std::filesystem::path& path, FileError* error) {
    FileError unused = FILE_OK;
    FileError& why = error ? *error : unused;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Fd < 0) {
        why = (errno == ENOENT || errno == ENOTDIR) ? FILE_MISSING : FILE_UNREADABLE;
        return nullptr;
    }
    struct stat info {};
    if (::fstat(file.Fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = FILE_UNREADABLE;
        return nullptr;
    }
    auto opened = std::make_unique<OpenedFile>();
    why = FILE_OK;
    opened->Fd = file.Fd;
    file.Fd = -1;
    return opened.release();
}

OpenedFile* file_temporary_create(const std::filesystem::path& target, std::filesystem::path* temp) {
    if (target.empty() || !target.has_filename()) return nullptr;
    // A replaced file keeps its permissions.
    mode_t mode = 0644;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return nullptr;
        mode = info.st_mode & 07777;
    }
    auto opened = std::make_unique<OpenedFile>();  // made first: nothing after the open can fail
    // A temporary left by a killed save can hold the name (process ids are reused): take the next one.
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        std::filesystem::path name = temporary_path(target);
        opened->Fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (opened->Fd >= 0) {
            if (temp) temp->swap(name);
            return opened.release();
        }
        if (errno != EEXIST) break;
    }
    return nullptr;
}

int64_t file_read(OpenedFile* file, char* data, size_t size) {
    for (;;) {
        const ssize_t got = ::read(file->Fd, data, size);
        if (got < 0 && errno == EINTR) continue;
        return got < 0 ? -1 : static_cast<int64_t>(got);
    }
}

bool file_write(OpenedFile* file, const char* data, size_t size) {
    return write_all(file->Fd, std::string_view(data, size));
}

bool file_flush(OpenedFile* file) { return ::fsync(file->Fd) == 0; }

bool file_close(OpenedFile* file) {
    const bool closed = file->Fd < 0 || ::close(file->Fd) == 0;
    delete file;
    return closed;
}

bool file_replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    sync_folder(to);
    return true;
}

bool file_remove(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }
