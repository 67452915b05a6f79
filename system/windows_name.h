// The name of the running Windows from its version numbers, build, product type and edition.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What Windows told us; the Windows calls fill it (windows_version_win.cpp), the rest is arithmetic.
struct WindowsVersionFacts {
    int32_t file_build = 0;  // third field of kernel32.dll's product version; 0 when unknown

    bool query_ok = false;  // RtlGetVersion found, succeeded and reported the NT platform
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    int product_type = 0;  // 1 workstation, 2 domain controller, 3 server

    bool fallback_ok = false;  // GetVersionExW succeeded (used only without query_ok)
    uint32_t fallback_major = 0;
    uint32_t fallback_minor = 0;
    bool fallback_workstation = false;

    std::wstring edition_id;  // the registry's EditionID, "" when unreadable
};

struct WindowsName {
    std::wstring text;
    int32_t build = 0;  // the larger of the file build and the reported build
};

// The name with edition and release: "Windows 11 Pro (23H2)". short_edition chooses "Pro" over "Pro Education".
WindowsName windows_name_compose(const WindowsVersionFacts& facts, bool short_edition);

// The edition's short or long name; an unknown EditionID is returned as it is.
std::wstring windows_edition_text(std::wstring_view edition_id, bool short_edition);

// " (22H2)" for a build in the release table, "" for any other build.
std::wstring windows_release_suffix(int32_t build);

// The build number in a dotted product version ("10.0.19041.3636" gives 19041): the third field's leading
// digits after spaces, 0 when it has none or does not fit.
int32_t build_from_product_version(std::wstring_view version);
