// The real Sotrix.exe with our fake nvml.dll where the program looks for it (below the Program Files folder):
// the 64-bit build shows the fake's GPU in the Graphics tab's selector and ID list; the i386 build, which
// never binds the library, shows the requirements text.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <string>
#include <vector>

#include "core/control_numbers.h"

namespace {

class GpuFakeLibrary : public ProgramTest {
protected:
    FakesPlaced fakes_;

    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-gpu-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
        fakes_.place(nvml_library_path(), "nvml.dll");
        config_write("35");
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", (folder_ / L"fake.cfg").wstring().c_str());
    }
    void TearDown() override {
        ProgramTest::TearDown();  // the programs end first: they hold the library
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        fakes_.remove_all();
    }
    void config_write(const std::string& fan) const {
        file_write(folder_ / L"fake.cfg",
                   "gpus=1\nname0=Fake Integration GPU\nmemory_total0=8589934592\nfan0=" + fan + "\n");
    }
};

TEST_F(GpuFakeLibrary, GraphicsTabShowsTheFakesGpuOrTheRequirements) {
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND combo = inside.at(COMBO_GPU);
    std::vector<std::wstring> items;
    if constexpr (sizeof(void*) == 8) {
        EXPECT_TRUE(wait_until(START_MS, [&] {
            items = combo_items(combo);
            return items.size() == 1 && items[0] == L"Filter G1: [0000:01:00.0] (nv5) Fake Integration GPU 8GB";
        })) << rows_listing(items);
        // The sampler's ID line follows the fake's values.
        const HWND id_list = inside.at(LIST_GPU_ID);
        config_write("47");
        std::vector<std::wstring> rows;
        EXPECT_TRUE(wait_until(START_MS, [&] {
            rows = list_view_rows(id_list, 3);
            return any_row_has(rows, {L"47%"});
        })) << rows_listing(rows);
    } else {
        EXPECT_TRUE(wait_until(START_MS, [&] {
            items = combo_items(combo);
            return items.size() == 1 && items[0] == L"No Supported Video Cards";
        })) << rows_listing(items);
    }
    EXPECT_TRUE(shut_down(program));
}

}  // namespace
