// The name of the running Windows from version numbers, the release table and the edition table.
#include "system/windows_name.h"

#include "core/data_block.h"
#include "runtime/text.h"

namespace {

struct EditionName {
    const wchar_t* id;
    const wchar_t* short_name;
    const wchar_t* long_name;
};

constexpr EditionName EDITIONS[] = {
    {L"Core", L"Home", L"Home"},
    {L"CoreSingleLanguage", L"Home", L"Home Single Language"},
    {L"CoreCountrySpecific", L"Home", L"Home Country Specific"},
    {L"Professional", L"Pro", L"Pro"},
    {L"ProfessionalEducation", L"Pro", L"Pro Education"},
    {L"ProfessionalWorkstation", L"Pro", L"Pro for Workstations"},
    {L"Enterprise", L"Ent", L"Enterprise"},
    {L"EnterpriseS", L"Ent", L"Enterprise LTSC"},
    {L"EnterpriseN", L"Ent", L"Enterprise N"},
    {L"Education", L"Edu", L"Education"},
    {L"IoTEnterprise", L"IoT", L"IoT Enterprise"},
    {L"ServerStandard", L"Server", L"Server Standard"},
    {L"ServerDatacenter", L"Server", L"Server Datacenter"},
    {L"ServerSolution", L"Server", L"Server Embedded Solution"},
    {L"Cloud", L"S mode", L"S mode"},
    {L"Team", L"Team", L"Team"},
    {L"Starter", L"Starter", L"Starter"},
    {L"HomeBasic", L"Home", L"Home Basic"},
    {L"HomePremium", L"Home", L"Home Premium"},
    {L"Ultimate", L"Ult", L"Ultimate"},
    {L"PPIPro", L"Pro", L"Pro (OEM)"},
};

int32_t leading_number(std::wstring_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == L' ') ++at;
    int64_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        value = value * 10 + (text[at] - L'0');
        if (value > INT32_MAX) return 0;
    }
    return static_cast<int32_t>(value);
}

std::wstring server_name(uint32_t major, uint32_t minor, int32_t build) {
    if (major == 3) return L"Windows NT 3.5 Server";
    if (major == 4) return L"Windows NT 4.0 Server";
    if (major == 10) {
        if (build >= 21600) return L"Windows Server 2025";
        if (build >= 20348) return L"Windows Server 2022";
        if (build >= 17763) return L"Windows Server 2019";
        if (build >= 14393) return L"Windows Server 2016";
        return L"Unknown Windows";
    }
    if (major == 5 && minor == 0) return L"Windows 2000 Server";
    if (major == 5 && minor == 2) return L"Windows Server 2003";
    if (major == 6 && minor == 0) return L"Windows Server 2008";
    if (major == 6 && minor == 1) return L"Windows Server 2008 R2";
    if (major == 6 && minor == 2) return L"Windows Server 2012";
    if (major == 6 && minor == 3) return L"Windows Server 2012 R2";
    return L"Unknown Windows";
}

std::wstring workstation_name(uint32_t major, uint32_t minor, int32_t build, const std::wstring& edition) {
    if (major == 3) return L"Windows NT 3.5 Workstation";
    if (major == 4) return L"Windows NT 4.0 Workstation";
    if (major == 10) return (build >= 22000 ? L"Windows 11 " : L"Windows 10 ") + edition;
    if (major == 5 && minor == 0) return L"Windows 2000 Workstation";
    if (major == 5 && minor == 1) return L"Windows XP " + edition;
    if (major == 5 && minor == 2) return L"Windows XP 64-bit Edition";
    if (major == 6 && minor == 0) return L"Windows Vista " + edition;
    if (major == 6 && minor == 1) return L"Windows 7 " + edition;
    if (major == 6 && minor == 2) return L"Windows 8 " + edition;
    if (major == 6 && minor == 3) return L"Windows 8.1 " + edition;
    return L"Unknown Windows";
}

// The plain name when only GetVersionExW answered: it never knows the build.
std::wstring fallback_name(const WindowsVersionFacts& facts) {
    if (!facts.fallback_ok) return L"Windows 11+";
    const uint32_t major = facts.fallback_major;
    const uint32_t minor = facts.fallback_minor;
    const bool workstation = facts.fallback_workstation;
    if (major == 3 || major == 4) return L"Windows";
    if (major == 5 && minor == 0) return L"Windows 2000";
    if (major == 5 && minor == 1) return L"Windows XP";
    if (major == 5 && minor == 2) return workstation ? L"Windows XP" : L"Windows Server 2003";
    if (major == 6 && minor == 0) return workstation ? L"Windows Vista" : L"Windows Server 2008";
    if (major == 6 && minor == 1) return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
    if (major == 6 && minor == 2) return workstation ? L"Windows 8" : L"Windows Server 2012";
    if (major == 6 && minor == 3) return workstation ? L"Windows 8.1" : L"Windows Server 2012 R2";
    if (major == 10 && minor == 0) return workstation ? L"Windows 10" : L"Windows 11+";
    return L"Windows 11+";
}

}  // namespace

int32_t build_from_product_version(std::wstring_view version) {
    const std::vector<std::wstring> fields = text_split(version, L'.');
    return fields.size() >= 3 ? leading_number(fields[2]) : 0;
}

std::wstring windows_edition_text(std::wstring_view edition_id, bool short_edition) {
    for (const auto& edition : EDITIONS) {
        if (edition_id == edition.id) return short_edition ? edition.short_name : edition.long_name;
    }
    return std::wstring(edition_id);
}

std::wstring windows_release_suffix(int32_t build) {
    if (build <= 0) return {};
    // A cursor of our own: the walk may run on any thread while another reads another table.
    DataBlockCursor cursor = data_block_cursor(DATA_WINDOWS_RELEASES);
    const std::size_t end = data_block().size();
    while (cursor.position < end) {
        const std::wstring release = data_block_read_text(cursor);
        const std::wstring release_build = data_block_read_text(cursor);
        if (release == L"-1" || release.empty()) break;
        if (leading_number(release_build) == build) return L" (" + release + L")";
    }
    return {};
}

WindowsName windows_name_compose(const WindowsVersionFacts& facts, bool short_edition) {
    WindowsName name;
    name.build = facts.file_build;
    if (!facts.query_ok) {
        name.text = fallback_name(facts);
        return name;
    }
    if (facts.build <= INT32_MAX && name.build < static_cast<int32_t>(facts.build))
        name.build = static_cast<int32_t>(facts.build);
    const std::wstring suffix = windows_release_suffix(name.build);
    if (facts.product_type == 1) {
        name.text = workstation_name(facts.major, facts.minor, name.build,
                                     windows_edition_text(facts.edition_id, short_edition));
    } else {
        name.text = server_name(facts.major, facts.minor, name.build);
    }
    name.text += suffix;
    return name;
}
