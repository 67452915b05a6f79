// The native build has no Windows drives: every query finds nothing.
#include "system/drive_facts.h"

namespace {

bool no_roots(std::vector<std::wstring>& roots) {
    roots.clear();
    return true;
}
int no_type(wchar_t) { return 1; }
bool no_volume(wchar_t, VolumeInfo&) { return false; }
bool no_space(wchar_t, int64_t&, int64_t&) { return false; }
void no_disk(wchar_t, DiskQuery&) {}
int no_network(wchar_t, std::wstring&) { return NETWORK_LIBRARY_MISSING; }
bool no_cd(wchar_t, int32_t&, int32_t&) { return false; }
bool no_performance(int64_t&, int64_t&) { return false; }

}  // namespace

const DrivePlatform& drive_platform_default() {
    static const DrivePlatform platform{.drive_roots = no_roots,
                                        .drive_type = no_type,
                                        .volume_info = no_volume,
                                        .disk_space = no_space,
                                        .disk_query = no_disk,
                                        .network_connection = no_network,
                                        .cd_audio = no_cd,
                                        .disk_performance = no_performance};
    return platform;
}
