// The real Sotrix.exe with our fake nvml.dll where the program looks for it (below the Program Files folder):
// the 64-bit build shows the fake's GPU in the Graphics tab's selector and ID list; the i386 build, which
// never binds the library, shows the requirements text.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <filesystem>
#include <string>
#include <vector>

#include "core/control_numbers.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::wstring> combo_texts(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        items.push_back(text);
    }
    return items;
}

class GpuFakeLibrary : public ProgramTest {
protected:
    fs::path library_;

    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-gpu-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
        wchar_t program_files[MAX_PATH] = {};
        ASSERT_TRUE(
            SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, program_files)));
        library_ = fs::path(program_files) / L"NVIDIA Corporation" / L"NVSMI" / L"nvml.dll";
        ASSERT_FALSE(fs::exists(library_)) << "an nvml.dll is already where the program looks; not ours to replace";
        fs::create_directories(library_.parent_path());
        fs::copy_file(fs::path(SOTRIX_FAKES_DIR) / "nvml.dll", library_);
        config_write("35");
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", (folder_ / L"fake.cfg").wstring().c_str());
    }
    void TearDown() override {
        ProgramTest::TearDown();  // the programs end first: they hold the library
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        std::error_code ignored;
        if (!library_.empty()) fs::remove(library_, ignored);
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
            items = combo_texts(combo);
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
            items = combo_texts(combo);
            return items.size() == 1 && items[0] == L"No Supported Video Cards";
        })) << rows_listing(items);
    }
    EXPECT_TRUE(shut_down(program));
}

}  // namespace
