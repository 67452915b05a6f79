// The System tab's summary lines and the desktop-change lines.
#include "system/system_summary_lines.h"

#include <gtest/gtest.h>

#include "core/language.h"

namespace {

SystemSummaryFacts typical() {
    SystemSummaryFacts facts;
    facts.cpu_brand = L"Intel(R) Core(TM)  i7-8700   CPU";
    facts.cpu_count = 12;
    facts.total_memory = 17179869184ull;
    facts.adapter = L"  NVIDIA  GeForce GTX 1060 ";
    facts.desktop = {1920, 1080, 100, 32, 60};
    facts.windows_name = L"Windows 10 Pro (22H2)";
    facts.windows_build = 19045;
    facts.computer_name = L"DESK";
    facts.user_name = L"anna";
    return facts;
}

struct SummaryEnglish : ::testing::Test {
    void SetUp() override { text_maps_load(LANGUAGE_ENGLISH); }
    void TearDown() override { text_maps_load(LANGUAGE_ENGLISH); }
};

}  // namespace

TEST_F(SummaryEnglish, SummaryLinesAt96Dpi) {
    const auto lines = system_summary_lines(typical());
    EXPECT_EQ(lines[0], L"Intel(R) Core(TM) i7-8700 CPU (12 CPU), Memory: 16384M (16.00G)");
    EXPECT_EQ(lines[1], L"NVIDIA GeForce GTX 1060 (1920 x 1080, Text Size 100%, 32-bit Color, 60Hz)");
    EXPECT_EQ(lines[2], L"OS: Windows 10 Pro (22H2) Build: 19045, Computer Name: DESK, User Name: anna");
    EXPECT_EQ(system_summary_joined(lines), lines[0] + L"\r\n" + lines[1] + L"\r\n" + lines[2] + L"\r\n");
}

TEST_F(SummaryEnglish, ScaledDesktopShowsTheUnscaledSizeAndSafeModeItsKind) {
    SystemSummaryFacts facts = typical();
    facts.desktop = {2560, 1440, desktop_scale_percent(120), 32, 144};
    facts.dpi_x = facts.dpi_y = 120;
    facts.safe_mode = 2;
    facts.adapter.clear();
    facts.total_memory = 8ull << 30;
    const auto lines = system_summary_lines(facts);
    EXPECT_EQ(lines[0], L"Intel(R) Core(TM) i7-8700 CPU (12 CPU), Memory: 8192M (8.00G)");
    EXPECT_EQ(lines[1], L" (2560 x 1440, Text Size 125% [2048 x 1152], 32-bit Color, 144Hz)");
    EXPECT_EQ(lines[2],
              L"OS: Windows 10 Pro (22H2) Build: 19045 [Safe Mode+Network], Computer Name: DESK, User Name: anna");
    facts.safe_mode = 1;
    EXPECT_NE(system_summary_lines(facts)[2].find(L"19045 [Safe Mode], "), std::wstring::npos);
}

TEST_F(SummaryEnglish, GermanLabelsKeepTheUnits) {
    text_maps_load(LANGUAGE_GERMAN);
    const auto lines = system_summary_lines(typical());
    EXPECT_EQ(lines[1], L"NVIDIA GeForce GTX 1060 (1920 x 1080, Textgr\u00F6\u00DFe 100%, 32-bit Farbe, 60Hz)");
    EXPECT_EQ(lines[2].substr(0, 4), L"BS: ");
}

TEST(SystemSummary, DesktopScaleFromDpi) {
    EXPECT_EQ(desktop_scale_percent(96), 100);
    EXPECT_EQ(desktop_scale_percent(120), 125);
    EXPECT_EQ(desktop_scale_percent(144), 150);
    EXPECT_EQ(desktop_scale_percent(0), 100);
}

TEST_F(SummaryEnglish, OneDesktopLinePerChangedValue) {
    const DesktopMetrics before{1920, 1080, 100, 32, 60};
    EXPECT_TRUE(desktop_change_lines(before, before).empty());
    const auto lines = desktop_change_lines(before, DesktopMetrics{2560, 1080, 125, 16, 144});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"Desktop Width: 1920 -> 2560");
    EXPECT_EQ(lines[1], L"Desktop Scale: 100% -> 125%");
    EXPECT_EQ(lines[2], L"Desktop Colors: 32-bit -> 16-bit");
    EXPECT_EQ(lines[3], L"Desktop Frequency: 60Hz -> 144Hz");
    EXPECT_EQ(desktop_change_lines(DesktopMetrics{}, DesktopMetrics{0, 720, 0, 0, 0}).front(),
              L"Desktop Height: 0 -> 720");
}

TEST(SystemSummary, CollapseSpaces) {
    EXPECT_EQ(collapse_spaces(L"a  b     c"), L"a b c");
    EXPECT_EQ(collapse_spaces(L"   "), L" ");
    EXPECT_EQ(collapse_spaces(L""), L"");
}
