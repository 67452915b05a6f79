// The drive monitor's questions to Windows: drive roots and types, volumes, free space, the storage and
// disk queries, network paths, audio CDs and the disk-activity counters.
#include <windows.h>
// mmsystem.h and winioctl.h need the types of windows.h first.
#include <mmsystem.h>
#include <winioctl.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "core/shared_tables.h"
#include "runtime/system_library_win.h"
#include "system/drive_facts.h"

namespace {

static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12, "STORAGE_DEVICE_NUMBER as the storage driver fills it");
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12, "the property query the storage driver reads");

constexpr DWORD DESCRIPTOR_BUFFER_BYTES = 1059;
constexpr DWORD LAYOUT_BUFFER_BYTES = 28608;
constexpr DWORD PERFORMANCE_BUFFER_BYTES = 96;  // DISK_PERFORMANCE: read time at byte 16, write time at 24

// A drive without medium must not make Windows ask the user to insert a disk.
class QuietErrors {
public:
    QuietErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~QuietErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    DWORD previous_ = 0;
};

class DeviceHandle {
public:
    explicit DeviceHandle(const std::wstring& path)
        : handle_(
              CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~DeviceHandle() {
        if (valid()) CloseHandle(handle_);
    }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::wstring root_of(wchar_t letter) { return std::wstring(1, letter) + L":\\"; }

bool drive_roots(std::vector<std::wstring>& roots) {
    roots.clear();
    const DWORD size = GetLogicalDriveStringsW(0, nullptr);
    if (size == 0) return false;
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size) + 1, L'\0');
    const DWORD length = GetLogicalDriveStringsW(size, buffer.data());
    if (length == 0 || length > size) return false;  // a drive came between the two calls: read again next time
    for (const wchar_t* root = buffer.data(); root < buffer.data() + length && *root != L'\0';
         root += wcslen(root) + 1) {
        roots.emplace_back(root);
    }
    return true;
}

int drive_type(wchar_t letter) { return static_cast<int>(GetDriveTypeW(root_of(letter).c_str())); }

bool volume_info(wchar_t letter, VolumeInfo& info) {
    QuietErrors quiet;
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t file_system[MAX_PATH + 1] = {};
    DWORD serial = 0;
    DWORD max_component = 0;
    if (!GetVolumeInformationW(root_of(letter).c_str(), label, MAX_PATH + 1, &serial, &max_component, nullptr,
                               file_system, MAX_PATH + 1)) {
        return false;
    }
    info.serial = serial;
    info.label = label;
    info.max_component_length = max_component;
    info.file_system = file_system;
    return true;
}

bool disk_space(wchar_t letter, int64_t& total, int64_t& free) {
    QuietErrors quiet;
    ULARGE_INTEGER total_bytes{};
    ULARGE_INTEGER free_bytes{};
    if (!GetDiskFreeSpaceExW(root_of(letter).c_str(), nullptr, &total_bytes, &free_bytes)) return false;
    total = static_cast<int64_t>(total_bytes.QuadPart);
    free = static_cast<int64_t>(free_bytes.QuadPart);
    return true;
}

void disk_query(wchar_t letter, DiskQuery& query) {
    QuietErrors quiet;
    const DeviceHandle volume(std::wstring(L"\\\\.\\") + letter + L":");
    if (!volume.valid()) return;
    query.volume_opened = true;
    DWORD returned = 0;

    STORAGE_DEVICE_NUMBER number{};
    if (DeviceIoControl(volume.get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof(number), &returned,
                        nullptr) &&
        returned >= sizeof(number)) {
        query.number_read = true;
        query.device_number = static_cast<int32_t>(number.DeviceNumber);
        query.partition_number = static_cast<int32_t>(number.PartitionNumber);
    }

    STORAGE_PROPERTY_QUERY property{};
    property.PropertyId = StorageDeviceProperty;
    property.QueryType = PropertyStandardQuery;
    std::vector<uint8_t> descriptor(DESCRIPTOR_BUFFER_BYTES, 0);
    returned = 0;
    if (DeviceIoControl(volume.get(), IOCTL_STORAGE_QUERY_PROPERTY, &property, sizeof(property), descriptor.data(),
                        DESCRIPTOR_BUFFER_BYTES, &returned, nullptr)) {
        descriptor.resize(returned < DESCRIPTOR_BUFFER_BYTES ? returned : DESCRIPTOR_BUFFER_BYTES);
        query.descriptor = std::move(descriptor);
    }

    if (query.number_read && query.device_number >= 0) {
        const DeviceHandle disk(L"\\\\.\\PhysicalDrive" + std::to_wstring(query.device_number));
        if (disk.valid()) {
            std::vector<uint8_t> layout(LAYOUT_BUFFER_BYTES, 0);
            returned = 0;
            if (DeviceIoControl(disk.get(), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, layout.data(),
                                LAYOUT_BUFFER_BYTES, &returned, nullptr) &&
                returned >= sizeof(DWORD)) {
                DWORD style = 0;
                std::memcpy(&style, layout.data(), sizeof(style));
                query.partition_style = static_cast<int32_t>(style);
            }
        }
    }
}

using WNetGetConnectionProc = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);

WNetGetConnectionProc network_connection_proc() {
    static WNetGetConnectionProc proc = [] {
        WNetGetConnectionProc found = nullptr;
        library_function_bind(system_library_load(L"mpr.dll"), "WNetGetConnectionW", found);
        return found;
    }();
    return proc;
}

int network_connection(wchar_t letter, std::wstring& remote_path) {
    const WNetGetConnectionProc proc = network_connection_proc();
    if (proc == nullptr) return NETWORK_LIBRARY_MISSING;
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    const std::wstring local = std::wstring(1, letter) + L":";
    const DWORD result = proc(local.c_str(), path, &length);
    if (result != NO_ERROR) return static_cast<int>(result);
    path[MAX_PATH] = L'\0';
    remote_path = path;
    return NETWORK_CONNECTION_OK;
}

// Asks the media control interface; a reply that is no number counts as a failure.
bool mci_number(const std::wstring& command, int64_t& value) {
    wchar_t reply[64] = {};
    if (mciSendStringW(command.c_str(), reply, 64, nullptr) != 0) return false;
    reply[63] = L'\0';
    wchar_t* end = nullptr;
    value = wcstoll(reply, &end, 10);
    return end != reply;
}

bool cd_audio(wchar_t letter, int32_t& tracks, int32_t& seconds) {
    static std::mutex mci_lock;  // one alias for the program: start-up and the watcher never ask at once, but be sure
    std::lock_guard guard(mci_lock);
    QuietErrors quiet;
    const std::wstring open = std::wstring(L"open ") + letter + L": type cdaudio alias sotrix_cd shareable";
    if (mciSendStringW(open.c_str(), nullptr, 0, nullptr) != 0) return false;
    int64_t track_count = 0;
    int64_t length_ms = 0;
    const bool read = mci_number(L"status sotrix_cd number of tracks", track_count) &&
                      mciSendStringW(L"set sotrix_cd time format milliseconds", nullptr, 0, nullptr) == 0 &&
                      mci_number(L"status sotrix_cd length", length_ms);
    mciSendStringW(L"close sotrix_cd", nullptr, 0, nullptr);
    if (!read || track_count < 0 || track_count > 99 || length_ms < 0) return false;
    tracks = static_cast<int32_t>(track_count);
    seconds = static_cast<int32_t>(length_ms / 1000);
    return true;
}

bool disk_performance(int64_t& read_time, int64_t& write_time) {
    const intptr_t handle = DiskActivityHandle.load();
    if (handle == 0 || handle == -1) return false;
    uint8_t record[PERFORMANCE_BUFFER_BYTES] = {};
    DWORD returned = 0;
    if (!DeviceIoControl(reinterpret_cast<HANDLE>(handle), IOCTL_DISK_PERFORMANCE, nullptr, 0, record,
                         PERFORMANCE_BUFFER_BYTES, &returned, nullptr) ||
        returned < 32) {
        return false;
    }
    std::memcpy(&read_time, record + 16, sizeof(read_time));
    std::memcpy(&write_time, record + 24, sizeof(write_time));
    return true;
}

}  // namespace

const DrivePlatform& drive_platform_default() {
    static const DrivePlatform platform{.drive_roots = drive_roots,
                                        .drive_type = drive_type,
                                        .volume_info = volume_info,
                                        .disk_space = disk_space,
                                        .disk_query = disk_query,
                                        .network_connection = network_connection,
                                        .cd_audio = cd_audio,
                                        .disk_performance = disk_performance};
    return platform;
}
