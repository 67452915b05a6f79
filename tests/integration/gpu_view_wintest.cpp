// The real Sotrix.exe with our fake nvml.dll: the Graphics tab's information list shows the fake GPU's block
// and the software rows, and F6 adds the detection log. The i386 build never binds the library: its list
// holds the requirements text, and F6 adds the detection log there too.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <string>
#include <vector>

#include "core/control_numbers.h"

namespace {

std::wstring R(std::wstring_view label, std::wstring_view rest) {
    std::wstring name(label);
    name.resize(20, L' ');
    return name + L" " + std::wstring(rest);
}

bool has_row(const std::vector<std::wstring>& rows, const std::wstring& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

bool has_row_starting(const std::vector<std::wstring>& rows, const std::wstring& start) {
    return std::any_of(rows.begin(), rows.end(), [&](const std::wstring& row) { return row.starts_with(start); });
}

class GpuInfoViewProgram : public ProgramTest {
protected:
    FakesPlaced fakes_;

    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-gpuview-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
        fakes_.place(nvml_library_path(), "nvml.dll");
        file_write(folder_ / L"fake.cfg",
                   "gpus=1\nname0=Fake View GPU\nmemory_total0=8589934592\ncuda=11000\ndriver=552.44\n");
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", (folder_ / L"fake.cfg").wstring().c_str());
    }
    void TearDown() override {
        ProgramTest::TearDown();  // the programs end first: they hold the library
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        fakes_.remove_all();
    }
};

TEST_F(GpuInfoViewProgram, InformationListShowsTheGpuBlockAndF6TheDetectionLog) {
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const HWND list = descendants_of(main).at(LIST_GPU_INFO);
    std::vector<std::wstring> rows;
    if constexpr (sizeof(void*) == 8) {
        EXPECT_TRUE(wait_until(START_MS, [&] {
            rows = list_view_rows(list);
            return has_row(rows, L"-- Software --") && has_row_starting(rows, L"-- G1:000 ");
        })) << rows_listing(rows);
        EXPECT_TRUE(has_row(rows, L"Fake View GPU")) << rows_listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"Total Memory", L"8192M (8.00G)"))) << rows_listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"NVidia Driver", L"552.44"))) << rows_listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"NVidia Cuda", L"11."))) << rows_listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"NVidia Devices", L"1"))) << rows_listing(rows);
        EXPECT_FALSE(has_row_starting(rows, L"N| ")) << "the detection log belongs to the error mode";
    } else {
        EXPECT_TRUE(wait_until(START_MS, [&] {
            rows = list_view_rows(list);
            return has_row(rows, L"Requirements:");
        })) << rows_listing(rows);
    }

    // The shortcuts exist only once the start-up has ended; press again only when a press went unseen (the
    // view follows a press within about a second).
    EXPECT_TRUE(wait_until(START_MS, [&] {
        if (!key_press(main, VK_F6)) return false;
        return wait_until(8000, [&] {
            rows = list_view_rows(list);
            return has_row(rows, L"N| Start NVidia GPU Detection");
        });
    })) << rows_listing(rows);
    if constexpr (sizeof(void*) == 8) {
        EXPECT_TRUE(has_row(rows, L"-- [F6]:Active, Showing Errors")) << rows_listing(rows);
        EXPECT_TRUE(has_row_starting(rows, L"-- G1:000 ")) << rows_listing(rows);
        EXPECT_TRUE(has_row(rows, L"- " + R(L"NVidia Devices", L"1"))) << rows_listing(rows);
    }
    EXPECT_TRUE(shut_down(program));
}

}  // namespace
