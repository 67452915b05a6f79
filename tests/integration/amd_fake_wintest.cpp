// The real Sotrix.exe with our fake AMD display library in the system folder: the Graphics tab's selector shows
// the AMD entry, the sampler's ID rows follow the fake's values, and the tab draws the GPU's graphs (captions and
// plot), its temperature strip and the strip's read-out from them; in the 64-bit build, with the fake nvml.dll
// beside it, the selector shows both vendors' entries, NVIDIA first, and AMD cards without sensors are listed as
// legacy devices.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "runtime/gui/font/font.h"
#include "ui/graph_geometry.h"

namespace fs = std::filesystem;

namespace {

bool starts_with(const std::wstring& text, const std::wstring& start) { return text.rfind(start, 0) == 0; }

bool any_row_starts_with(const std::vector<std::wstring>& rows, const std::wstring& start) {
    return std::any_of(rows.begin(), rows.end(), [&](const std::wstring& row) { return starts_with(row, start); });
}

// The GPU information list once it holds every row that starts with one of `starts`.
std::vector<std::wstring> info_rows_with(HWND list, const std::vector<std::wstring>& starts) {
    std::vector<std::wstring> rows;
    wait_until(START_MS, [&] {
        rows = list_view_rows(list);
        return std::all_of(starts.begin(), starts.end(),
                           [&](const std::wstring& start) { return any_row_starts_with(rows, start); });
    });
    return rows;
}

class AmdFakeLibrary : public ProgramTest {
protected:
    FakesPlaced fakes_;

    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-amd-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
        wchar_t system[MAX_PATH] = {};
        const UINT n = GetSystemDirectoryW(system, MAX_PATH);
        for (const wchar_t* name : {L"atiadlxx.dll", L"atiadlxy.dll"})
            ASSERT_FALSE(fs::exists(fs::path(std::wstring(system, n)) / name))
                << "a display library is already installed; not ours to replace";
        fakes_.place(fs::path(std::wstring(system, n)) / (sizeof(void*) == 8 ? L"atiadlxx.dll" : L"atiadlxy.dll"),
                     "atiadlxx.dll");
        adl_config_write("44000");
        SetEnvironmentVariableW(L"SOTRIX_FAKE_ADL", (folder_ / L"adl.cfg").wstring().c_str());
    }
    void TearDown() override {
        ProgramTest::TearDown();  // the programs end first: they hold the libraries
        SetEnvironmentVariableW(L"SOTRIX_FAKE_ADL", nullptr);
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        fakes_.remove_all();
    }
    // The fake nvml.dll with one GPU where the program looks for it.
    void nvidia_fake_place() {
        fakes_.place(nvml_library_path(), "nvml.dll");
        file_write(folder_ / L"nvml.cfg", "gpus=1\nname0=Fake Integration GPU\nmemory_total0=8589934592\n");
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", (folder_ / L"nvml.cfg").wstring().c_str());
    }
    void adl_config_write(const std::string& millidegrees) const {
        file_write(folder_ / L"adl.cfg",
                   "gpus=1\nname0=Fake AMD Integration\nod0=8\ntemperature0=" + millidegrees + "\n");
    }
    // The selector's items once they are `count` and the last one is the AMD entry.
    std::vector<std::wstring> amd_items(HWND combo, std::size_t count, const std::wstring& label) {
        std::vector<std::wstring> items;
        wait_until(START_MS, [&] {
            items = combo_items(combo);
            return items.size() == count &&
                   starts_with(items.back(), L"Filter " + label + L": [0000:03:00.0] (od8) Fake AMD Integration");
        });
        return items;
    }
};

TEST_F(AmdFakeLibrary, SelectorShowsTheAmdEntryAndItsRowsFollowTheFake) {
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const std::vector<std::wstring> items = amd_items(inside.at(COMBO_GPU), 1, L"G1");
    ASSERT_EQ(items.size(), 1u) << rows_listing(items);
    EXPECT_TRUE(starts_with(items[0], L"Filter G1: [0000:03:00.0] (od8) Fake AMD Integration")) << rows_listing(items);
    // The sampler runs in the program: its ID rows follow the fake's temperature.
    const HWND id_list = inside.at(LIST_GPU_ID);
    std::vector<std::wstring> rows;
    EXPECT_TRUE(wait_until(START_MS, [&] {
        rows = list_view_rows(id_list, 3);
        return any_row_has(rows, {L"44C"});
    })) << rows_listing(rows);
    adl_config_write("67000");
    EXPECT_TRUE(wait_until(START_MS, [&] {
        rows = list_view_rows(id_list, 3);
        return any_row_has(rows, {L"67C"});
    })) << rows_listing(rows);
    // Without NVIDIA the AMD sampler builds the information view: the GPU's block and the AMD software rows.
    rows = info_rows_with(inside.at(LIST_GPU_INFO), {L"-- G1:000 ", L"Fake AMD Integration", L"AMD Devices"});
    EXPECT_TRUE(any_row_starts_with(rows, L"-- G1:000 ")) << rows_listing(rows);
    EXPECT_TRUE(any_row_starts_with(rows, L"Fake AMD Integration")) << rows_listing(rows);
    EXPECT_TRUE(any_row_starts_with(rows, L"AMD Devices")) << rows_listing(rows);
    EXPECT_TRUE(shut_down(program));
}

// The fake's Overdrive 8 sensors give a GPU activity of 12 % and no memory activity.
constexpr int FAKE_GPU_ACTIVITY = 12;

// The height of a plot's bar in a column of a graph: from the highest row of its lower half whose pixel differs
// from the same pixel of an empty graph of the same size, down to the graph's bottom. (The graph below covers the
// lowest rows of both, so only the bar's top tells its height.)
int bar_rows(const Picture& graph, const Picture& empty, int column) {
    for (int y = graph.height / 2; y < graph.height; ++y)
        if (graph.at(column, y) != empty.at(column, y)) return graph.height - y;
    return 0;
}

// The Graphics tab of the AMD entry: the utilisation graph's caption holds the fake's value and its plot the bar of
// it, the memory graph that the fake cannot fill keeps its "No Data" picture, and the temperature strip and its
// read-out follow the fake's temperature.
TEST_F(AmdFakeLibrary, GraphicsTabDrawsTheGpusGraphsAndTemperatureStrip) {
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND utilisation = inside.at(GRAPH_GPU_BASE + GRAPH_GPU_UTILISATION);
    const HWND memory = inside.at(GRAPH_GPU_BASE + GRAPH_GPU_MEMORY_UTILISATION);
    const HWND strip = inside.at(CANVAS_GPU_TEMPERATURE);
    // The graphs' font as the program makes it: the default face at 9 points.
    ASSERT_TRUE(font_load(FONT_GRAPH, L"", 9, 0));
    const auto font = reinterpret_cast<HFONT>(font_handle(FONT_GRAPH));

    // The captions stand in the upper half of a graph, away from the value labels at its left.
    auto caption_part = [](const Picture& picture) {
        RECT part = picture.area;
        part.left += picture.width / 6;
        part.right -= picture.width / 6;
        part.bottom = part.top + picture.height / 2;
        return part;
    };
    const std::wstring value = std::to_wstring(FAKE_GPU_ACTIVITY) + L"%";
    Picture graph;
    EXPECT_TRUE(wait_until(START_MS,
                           [&] {
                               graph = screen_picture(client_on_screen(utilisation));
                               return !graph.empty() && text_shown(graph, caption_part(graph), font, value);
                           }))
        << "the utilisation graph's caption never showed " << narrow(value);
    EXPECT_TRUE(text_shown(graph, caption_part(graph), font, L"G1 - GPU Utilization"));
    EXPECT_FALSE(text_shown(graph, caption_part(graph), font, L"No Data"));
    const Picture no_data = screen_picture(client_on_screen(memory));
    ASSERT_EQ(no_data.width, graph.width);
    ASSERT_EQ(no_data.height, graph.height);
    EXPECT_TRUE(text_shown(no_data, caption_part(no_data), font, L"No Data"))
        << "the memory graph, which the fake cannot fill, lost its \"No Data\" picture";

    // The plot: the bar of the third newest sample, compared with the same column of the empty memory graph.
    const int bar = graph_bar_height(static_cast<float>(FAKE_GPU_ACTIVITY), 100, graph.height);
    int rows = 0;
    EXPECT_TRUE(wait_until(START_MS,
                           [&] {
                               graph = screen_picture(client_on_screen(utilisation));
                               return (rows = bar_rows(graph, no_data, graph.width - 3)) == bar;
                           }))
        << "the plot's bar is " << rows << " rows high, the bar of " << FAKE_GPU_ACTIVITY << "% is " << bar;

    struct Step {
        const char* millidegrees;
        uint32_t strip_colour;  // the temperature ramp: 44 C is RGB(255, 243, 243), 67 C RGB(255, 105, 105)
        std::wstring readout;
    };
    const Step steps[] = {{"44000", 0xFFF3F3, L"G1 44C ~"}, {"67000", 0xFF6969, L"G1 67C ~"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.millidegrees);
        adl_config_write(step.millidegrees);
        EXPECT_TRUE(strip_newest_shows(main, strip, step.strip_colour, step.readout, START_MS));
    }
    picture_save(window_picture(main), screenshots_folder() + L"\\amd_graphics_tab.bmp");
    EXPECT_TRUE(shut_down(program));
}

// The compact window makes room for the AMD entry's cell: taller with the GPU than with a library that has none.
// Its height is read at the last step of the start-up (adding the tray icon), after the layout for the GPUs.
TEST_F(AmdFakeLibrary, CompactWindowShowsTheGpuCell) {
    auto compact_height = [&]() -> LONG {
        Program& program = start(L"norepair", CREATE_SUSPENDED);
        std::unique_ptr<ShellTrayStandIn> tray;
        ShellTrayStandIn::Seen seen;
        EXPECT_TRUE(run_to_tray_icon(program, tray, seen));
        EXPECT_TRUE(seen.compact_found) << "no compact window";
        EXPECT_TRUE(shut_down(program));
        return seen.compact_found ? seen.compact_height : -1;
    };
    file_write(folder_ / L"adl.cfg", "gpus=0\n");
    const LONG without = compact_height();
    adl_config_write("44000");
    const LONG with = compact_height();
    ASSERT_GT(without, 0) << "no compact window";
    EXPECT_GT(with, without) << "the AMD entry's cell takes no room";
}

#ifdef _WIN64
TEST_F(AmdFakeLibrary, WithTheNvidiaLibraryBothVendorsHaveEntries) {
    nvidia_fake_place();
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::vector<std::wstring> items = amd_items(descendants_of(main).at(COMBO_GPU), 2, L"G2");
    ASSERT_EQ(items.size(), 2u) << rows_listing(items);
    EXPECT_EQ(items[0], L"Filter G1: [0000:01:00.0] (nv5) Fake Integration GPU 8GB");
    EXPECT_TRUE(starts_with(items[1], L"Filter G2: [0000:03:00.0] (od8) Fake AMD Integration")) << rows_listing(items);
    // The NVIDIA sampler builds the view with both vendors' blocks, NVIDIA's above AMD's.
    const std::vector<std::wstring> rows =
        info_rows_with(descendants_of(main).at(LIST_GPU_INFO), {L"-- G1:000 ", L"-- G2:000 ", L"AMD Devices"});
    const auto first = [&](const std::wstring& start) {
        return std::find_if(rows.begin(), rows.end(), [&](const std::wstring& row) { return starts_with(row, start); });
    };
    ASSERT_NE(first(L"-- G1:000 "), rows.end()) << rows_listing(rows);
    ASSERT_NE(first(L"-- G2:000 "), rows.end()) << rows_listing(rows);
    EXPECT_LT(first(L"-- G1:000 "), first(L"-- G2:000 ")) << rows_listing(rows);
    EXPECT_TRUE(any_row_starts_with(rows, L"Fake AMD Integration")) << rows_listing(rows);
    EXPECT_TRUE(shut_down(program));
}

// AMD cards without any sensor interface (no Overdrive version, no PMLog data) beside an NVIDIA GPU: the AMD
// library is given up, but the NVIDIA sampler's view lists the cards as legacy devices, one block each.
TEST_F(AmdFakeLibrary, LegacyCardsBesideTheNvidiaGpuHaveTheirBlocks) {
    nvidia_fake_place();
    file_write(folder_ / L"adl.cfg",
               "gpus=2\nname0=Fake Legacy One\nname1=Fake Legacy Two\nod=0\nfail=ADL2_New_QueryPMLogData_Get\n");
    Program& program = start(L"norepair graphics");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const std::vector<std::wstring> rows =
        info_rows_with(inside.at(LIST_GPU_INFO), {L"-- G1:000 ", L"-- GX:000 ", L"-- GX:001 ", L"Legacy Devices"});
    for (const wchar_t* start : {L"-- GX:000 ", L"-- GX:001 ", L"Fake Legacy One", L"Fake Legacy Two"})
        EXPECT_TRUE(any_row_starts_with(rows, start)) << narrow(start) << "\n" << rows_listing(rows);
    const auto legacy_devices = std::find_if(
        rows.begin(), rows.end(), [](const std::wstring& row) { return starts_with(row, L"Legacy Devices"); });
    ASSERT_NE(legacy_devices, rows.end()) << rows_listing(rows);
    EXPECT_TRUE(legacy_devices->ends_with(L" 2")) << narrow(*legacy_devices);
    // No AMD GPU: no AMD entry and no AMD software rows.
    EXPECT_FALSE(any_row_starts_with(rows, L"AMD Devices")) << rows_listing(rows);
    EXPECT_EQ(combo_items(inside.at(COMBO_GPU)).size(), 1u);
    EXPECT_TRUE(shut_down(program));
}
#endif

}  // namespace
