// What the drive monitor asks Windows about drives, volumes and disks, as a table of procedures that
// the tests replace with a table of made-up drives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// GetVolumeInformationW of a drive root.
struct VolumeInfo {
    uint32_t serial = 0;
    std::wstring label;
    uint32_t max_component_length = 0;
    std::wstring file_system;
};

// The storage queries of one volume and of the physical disk behind it, as the device returned them.
struct DiskQuery {
    bool volume_opened = false;  // the volume could be opened for queries
    bool number_read = false;    // IOCTL_STORAGE_GET_DEVICE_NUMBER succeeded
    int32_t device_number = -1;  // all bits set (unknown) reads as -1
    int32_t partition_number = -1;
    std::vector<uint8_t> descriptor;  // the bytes IOCTL_STORAGE_QUERY_PROPERTY returned; empty on failure
    int32_t partition_style = -1;     // PARTITION_STYLE of the disk's layout; -1 when not read
};

// Error codes of WNetGetConnectionW that the drive monitor names.
enum NetworkConnectionResult : int {
    NETWORK_LIBRARY_MISSING = -1,  // the network-connection library is not loaded
    NETWORK_CONNECTION_OK = 0,
};

struct DrivePlatform {
    // The drive roots as GetLogicalDriveStringsW lists them ("C:\", "D:\" ...); false when the list
    // could not be read.
    bool (*drive_roots)(std::vector<std::wstring>& roots);
    // GetDriveTypeW of "L:\": 0 unknown, 1 no root directory, 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
    int (*drive_type)(wchar_t letter);
    // False when the volume cannot be read (no medium, share offline, no access).
    bool (*volume_info)(wchar_t letter, VolumeInfo& info);
    // GetDiskFreeSpaceExW: total bytes and all free bytes of the volume (not the caller's quota).
    bool (*disk_space)(wchar_t letter, int64_t& total, int64_t& free);
    void (*disk_query)(wchar_t letter, DiskQuery& query);
    // The remote path of a mapped drive; the result is NETWORK_CONNECTION_OK, NETWORK_LIBRARY_MISSING or
    // the Win32 error code.
    int (*network_connection)(wchar_t letter, std::wstring& remote_path);
    // Track count and length in seconds of the audio CD in the drive; false when the drive is not among
    // the CD-audio drives.
    bool (*cd_audio)(wchar_t letter, int32_t& tracks, int32_t& seconds);
    // Read and write time of the disk-activity device (IOCTL_DISK_PERFORMANCE); false leaves them alone.
    bool (*disk_performance)(int64_t& read_time, int64_t& write_time);
};

// The real queries on Windows; on the native build a machine without drives.
const DrivePlatform& drive_platform_default();
