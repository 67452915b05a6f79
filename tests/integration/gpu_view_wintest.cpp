// The real Sotrix.exe with our fake nvml.dll: the Graphics tab's information list shows the fake GPU's block,
// with the facts of the library's newer functions, and the software rows, and F6 adds the detection log; an
// older library without the CUDA queries, the highest clocks or the default power limit shows what the program
// falls back on, and its guessed highest clock in the clock graph's read-out. The program calls the library
// only between its start and its shutdown. The i386 build never binds the library: its list holds the
// requirements text, and F6 adds the detection log there too.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <algorithm>
#include <fstream>
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
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", (folder_ / L"fake.cfg").wstring().c_str());
    }
    void TearDown() override {
        ProgramTest::TearDown();  // the programs end first: they hold the library
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        fakes_.remove_all();
    }
    // The fake `dll` where the program looks for the library, answering from `config`.
    void library_place(const char* dll, const std::string& config) {
        fakes_.place(nvml_library_path(), dll);
        file_write(folder_ / L"fake.cfg", config);
    }
    // Shuts the program down. The fake notes its starts, shutdowns, unloads and every call it refused: the
    // program started the library once, made its calls before the shutdown and unloaded it; the i386 build
    // never loads it.
    void shut_down_with_the_library(const Program& program) {
        EXPECT_TRUE(shut_down(program));
        std::vector<std::string> events;
        std::ifstream in(folder_ / L"fake.cfg.log");
        for (std::string line; std::getline(in, line);) events.push_back(line);
        if constexpr (sizeof(void*) == 8)
            EXPECT_EQ(events, (std::vector<std::string>{"init", "shutdown", "unload"}))
                << "a call outside the library's start is noted as refused";
        else
            EXPECT_TRUE(events.empty()) << "the i386 build loaded the library";
    }
    // The information list once it holds the GPU's block and the software rows.
    static std::vector<std::wstring> gpu_block_rows(HWND list) {
        std::vector<std::wstring> rows;
        wait_until(START_MS, [&] {
            rows = list_view_rows(list);
            return has_row(rows, L"-- Software --") && has_row_starting(rows, L"-- G1:000 ");
        });
        return rows;
    }
};

TEST_F(GpuInfoViewProgram, InformationListShowsTheGpuBlockAndF6TheDetectionLog) {
    library_place("nvml.dll",
                  "gpus=1\nname0=Fake View GPU\nmemory_total0=8589934592\ncuda=11000\ndriver=552.44\n"
                  "board_id=4660\npci_bus=38\npci_device_id=0x270410DE\npcie_gen=3\npcie_gen_max=4\npcie_width=8\n"
                  "pcie_width_max=16\nreplay=5\npower_limit_mw=250000\npower_default_mw=220000\n"
                  "power_min_mw=100000\npower_max_mw=300000\npower_enforced_mw=240000\nenergy_mj=123456789\n"
                  "display_active=1\ninforom_image=G001.0000.04.01\nnvmlDeviceGetInforomConfigurationChecksum=14\n"
                  "max_graphics=2475\n");
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const HWND list = descendants_of(main).at(LIST_GPU_INFO);
    std::vector<std::wstring> rows;
    if constexpr (sizeof(void*) == 8) {
        rows = gpu_block_rows(list);
        const std::wstring device_id = std::to_wstring(static_cast<int32_t>(0x270410DEu));
        for (const std::wstring& row : {std::wstring(L"Fake View GPU"),
                                        R(L"Total Memory", L"8192M (8.00G)"),
                                        R(L"NVidia Driver", L"552.44"),
                                        R(L"NVidia Cuda", L"11."),
                                        R(L"NVidia Devices", L"1"),
                                        R(L"Board ID", L"4660"),
                                        R(L"PCI Bus ID", L"0000:26:00.0"),
                                        R(L"PCI Device ID", device_id),
                                        R(L"PCIe Link Gen", L"3"),
                                        R(L"PCIe Link Gen Max", L"4"),
                                        R(L"PCIe Link Width", L"8"),
                                        R(L"PCIe Link Width Max", L"16"),
                                        R(L"PCIe Replay Counter", L"5"),
                                        R(L"GPU Clock Max", L"2475MHz"),
                                        R(L"Power Limit Default", L"220000mW (220W)"),
                                        R(L"Power Limit Min", L"100000mW (100W)"),
                                        R(L"Power Limit Max", L"300000mW (300W)"),
                                        R(L"Power Limit Enforced", L"240000mW (240W)"),
                                        R(L"Total Energy Used", L"123.46kJ"),
                                        R(L"Display Active", L"Yes"),
                                        R(L"InfoRom Image", L"G001.0000.04.01"),
                                        R(L"InfoRom Checksum", L"*Corrupted*")})
            EXPECT_TRUE(has_row(rows, row)) << narrow(row) << " missing in" << rows_listing(rows);
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
    shut_down_with_the_library(program);
}

// A library that gives neither the highest clocks nor the supported clock lists, nor the default power limit,
// nor the CUDA version: the view shows the guessed highest clocks marked (?), the current power limit as the
// default and an empty CUDA version, and the clock graph reads 100% while the clock stays at its highest.
TEST_F(GpuInfoViewProgram, AnOlderLibraryShowsWhatTheProgramFallsBackOn) {
    library_place("nvml_nocuda.dll",
                  "gpus=1\nname0=Fake Old GPU\nmax_graphics=0\nnvmlDeviceGetSupportedMemoryClocks=3\n"
                  "graphics=1410\nmemory=7001\npower_limit_mw=250000\n"
                  "nvmlDeviceGetPowerManagementDefaultLimit=3\n");
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    if constexpr (sizeof(void*) == 8) {
        const std::vector<std::wstring> rows = gpu_block_rows(inside.at(LIST_GPU_INFO));
        for (const std::wstring& row :
             {std::wstring(L"Fake Old GPU"), R(L"GPU Clock Max", L"1410MHz (?)"),
              R(L"Memory Clock Max", L"7001MHz (?)"), R(L"Power Limit Default", L"250000mW (250W)"),
              R(L"NVidia Cuda", L"."), R(L"NVidia Devices", L"1")})
            EXPECT_TRUE(has_row(rows, row)) << narrow(row) << " missing in" << rows_listing(rows);

        // The read-out of the clock graph's newest sample (the pointer moves onto the column left of it, then
        // onto it) in the main window's title.
        SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        const HWND clock_graph = inside.at(GRAPH_GPU_BASE + GRAPH_GPU_CLOCK);
        RECT inner{};
        GetClientRect(clock_graph, &inner);
        std::wstring title;
        EXPECT_TRUE(wait_until(START_MS,
                               [&] {
                                   if (!pointer_move(clock_graph, inner.right - 2, inner.bottom / 2) ||
                                       !pointer_move(clock_graph, inner.right - 1, inner.bottom / 2))
                                       return false;
                                   return wait_until(
                                       2000, [&] { return (title = title_of(main)).starts_with(L"Position: 1/"); });
                               }))
            << "the title: " << narrow(title);
        EXPECT_NE(title.find(L" = 100% ~"), std::wstring::npos) << "the title: " << narrow(title);
    } else {
        std::vector<std::wstring> rows;
        EXPECT_TRUE(wait_until(START_MS, [&] {
            rows = list_view_rows(inside.at(LIST_GPU_INFO));
            return has_row(rows, L"Requirements:");
        })) << rows_listing(rows);
    }
    shut_down_with_the_library(program);
}

}  // namespace
