// The Windows name from version numbers, the release table and the edition table.
#include "system/windows_name.h"

#include <gtest/gtest.h>

namespace {

WindowsVersionFacts nt(uint32_t major, uint32_t minor, uint32_t build, int product_type, const wchar_t* edition) {
    WindowsVersionFacts facts;
    facts.query_ok = true;
    facts.major = major;
    facts.minor = minor;
    facts.build = build;
    facts.file_build = static_cast<int32_t>(build);
    facts.product_type = product_type;
    facts.edition_id = edition;
    return facts;
}

}  // namespace

TEST(WindowsName, NamesFromVersionBuildAndEdition) {
    const struct {
        WindowsVersionFacts facts;
        const wchar_t* short_name;
        const wchar_t* long_name;
    } cases[] = {
        {nt(10, 0, 19045, 1, L"Professional"), L"Windows 10 Pro (22H2)", L"Windows 10 Pro (22H2)"},
        {nt(10, 0, 22631, 1, L"CoreSingleLanguage"), L"Windows 11 Home (23H2)",
         L"Windows 11 Home Single Language (23H2)"},
        {nt(10, 0, 26100, 1, L"EnterpriseS"), L"Windows 11 Ent (24H2)", L"Windows 11 Enterprise LTSC (24H2)"},
        {nt(10, 0, 27000, 1, L"Professional"), L"Windows 11 Pro", L"Windows 11 Pro"},  // newer than the table
        {nt(10, 0, 22000, 1, L"Core"), L"Windows 11 Home (21H2)", L"Windows 11 Home (21H2)"},
        {nt(10, 0, 19044, 1, L"Core"), L"Windows 10 Home (21H2)", L"Windows 10 Home (21H2)"},
        {nt(10, 0, 20348, 3, L"ServerStandard"), L"Windows Server 2022", L"Windows Server 2022"},
        {nt(10, 0, 26100, 3, L"ServerDatacenter"), L"Windows Server 2025 (24H2)", L"Windows Server 2025 (24H2)"},
        {nt(10, 0, 21700, 2, L""), L"Windows Server 2025", L"Windows Server 2025"},
        {nt(10, 0, 17763, 3, L""), L"Windows Server 2019 (1809)", L"Windows Server 2019 (1809)"},
        {nt(10, 0, 14393, 3, L""), L"Windows Server 2016 (1607)", L"Windows Server 2016 (1607)"},
        {nt(10, 0, 10240, 3, L""), L"Unknown Windows (1507)", L"Unknown Windows (1507)"},
        {nt(10, 0, 19045, 1, L"Workstation Whatever"), L"Windows 10 Workstation Whatever (22H2)",
         L"Windows 10 Workstation Whatever (22H2)"},
        {nt(10, 0, 19045, 1, L""), L"Windows 10  (22H2)", L"Windows 10  (22H2)"},  // registry unreadable
        {nt(6, 1, 7601, 1, L"Ultimate"), L"Windows 7 Ult", L"Windows 7 Ultimate"},
        {nt(6, 3, 9600, 3, L""), L"Windows Server 2012 R2", L"Windows Server 2012 R2"},
        {nt(5, 1, 2600, 1, L"HomeBasic"), L"Windows XP Home", L"Windows XP Home Basic"},
        {nt(5, 1, 2600, 3, L""), L"Unknown Windows", L"Unknown Windows"},
        {nt(4, 0, 1381, 1, L""), L"Windows NT 4.0 Workstation", L"Windows NT 4.0 Workstation"},
        {nt(6, 4, 9841, 1, L"Core"), L"Unknown Windows", L"Unknown Windows"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windows_name_compose(c.facts, true).text, c.short_name) << c.facts.build;
        EXPECT_EQ(windows_name_compose(c.facts, false).text, c.long_name) << c.facts.build;
    }
}

TEST(WindowsName, BuildIsTheLargerOfFileAndReportedBuild) {
    WindowsVersionFacts facts = nt(10, 0, 22631, 1, L"Professional");
    facts.file_build = 22621;
    EXPECT_EQ(windows_name_compose(facts, true).build, 22631);
    EXPECT_EQ(windows_name_compose(facts, true).text, L"Windows 11 Pro (23H2)");
    facts.file_build = 22631;
    facts.build = 22621;
    EXPECT_EQ(windows_name_compose(facts, true).build, 22631);
    EXPECT_EQ(windows_name_compose(facts, true).text, L"Windows 11 Pro (23H2)");
    facts.file_build = 0;  // no version resource
    EXPECT_EQ(windows_name_compose(facts, true).build, 22621);
}

TEST(WindowsName, FallbackNamesWithoutTheVersionQuery) {
    const struct {
        bool ok;
        uint32_t major;
        uint32_t minor;
        bool workstation;
        const wchar_t* name;
    } cases[] = {
        {true, 10, 0, true, L"Windows 10"},  {true, 10, 0, false, L"Windows 11+"},
        {true, 6, 1, true, L"Windows 7"},    {true, 6, 1, false, L"Windows Server 2008 R2"},
        {true, 5, 2, true, L"Windows XP"},   {true, 4, 90, true, L"Windows"},
        {true, 11, 0, true, L"Windows 11+"}, {false, 0, 0, true, L"Windows 11+"},
    };
    for (const auto& c : cases) {
        WindowsVersionFacts facts;
        facts.file_build = 19045;
        facts.fallback_ok = c.ok;
        facts.fallback_major = c.major;
        facts.fallback_minor = c.minor;
        facts.fallback_workstation = c.workstation;
        const WindowsName name = windows_name_compose(facts, true);
        EXPECT_EQ(name.text, c.name) << c.major << "." << c.minor;
        EXPECT_EQ(name.build, 19045) << "the file build is kept";
    }
}

TEST(WindowsName, BuildFromProductVersion) {
    EXPECT_EQ(build_from_product_version(L"10.0.19041.3636"), 19041);
    EXPECT_EQ(build_from_product_version(L"10.0. 22621"), 22621);
    EXPECT_EQ(build_from_product_version(L"10.0"), 0);
    EXPECT_EQ(build_from_product_version(L""), 0);
    EXPECT_EQ(build_from_product_version(L"6.1.x"), 0);
    EXPECT_EQ(build_from_product_version(L"1.2.99999999999999999999"), 0);  // does not fit
}

TEST(WindowsName, ReleaseSuffixOnlyForListedBuilds) {
    EXPECT_EQ(windows_release_suffix(10240), L" (1507)");
    EXPECT_EQ(windows_release_suffix(26200), L" (25H2)");
    EXPECT_EQ(windows_release_suffix(22000), L" (21H2)");
    EXPECT_EQ(windows_release_suffix(19044), L" (21H2)");
    EXPECT_EQ(windows_release_suffix(20348), L"");
    EXPECT_EQ(windows_release_suffix(0), L"");
    EXPECT_EQ(windows_release_suffix(-1), L"");  // the end marker is not a release
}
