// The real Sotrix.exe in a network of its own (tools/netns-run.sh): the namespace's veth pair sxa and sxb in
// the Networks tab's adapter list, in the network filter and as adapter cells of the compact window, and a
// network event line when sxb goes down and when it comes up again.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/control_numbers.h"

namespace {

bool row_ends_with(const std::vector<std::wstring>& rows, const std::wstring& end) {
    for (const auto& row : rows) {
        std::wstring trimmed = row;
        while (!trimmed.empty() && trimmed.back() == L' ') trimmed.pop_back();
        if (trimmed.size() >= end.size() && trimmed.compare(trimmed.size() - end.size(), end.size(), end) == 0) {
            return true;
        }
    }
    return false;
}

// Asks the namespace's runner to set a link down or up and waits until it has.
::testing::AssertionResult link_set(const std::wstring& request) {
    const char* control = std::getenv("SOTRIX_NETNS_CONTROL");
    if (!control) return ::testing::AssertionFailure() << "no SOTRIX_NETNS_CONTROL";
    const std::filesystem::path file = std::filesystem::path(wide_of(control)) / request;
    file_write(file, "");
    if (!wait_until(10000, [&file] { return !std::filesystem::exists(file); })) {
        return ::testing::AssertionFailure() << "the runner did not serve " << narrow(request);
    }
    return ::testing::AssertionSuccess();
}

class NetworkNetNs : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("SOTRIX_NETNS_CONTROL"), nullptr)
            << "not inside the test network: run through tools/netns-run.sh, as every Windows CTest entry is";
        ASSERT_TRUE(folder_prepare(L"sotrix-net-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
    }
};

TEST_F(NetworkNetNs, TheVethPairShowsAndALinkGoingDownAndUpIsReported) {
    Program& program = start(L"norepair networks");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND adapters = inside.at(LIST_NETWORK_ADAPTERS);
    const HWND filter = inside.at(COMBO_NETWORK_FILTER);
    const HWND events = inside.at(LIST_NETWORK_EVENTS);

    std::vector<std::wstring> rows;
    const bool listed = wait_until(START_MS, [&] {
        rows = list_view_rows(adapters, 0);
        return row_ends_with(rows, L"sxa") && row_ends_with(rows, L"sxb");
    });
    EXPECT_TRUE(listed) << "adapter list:\n" << rows_listing(rows);
    EXPECT_TRUE(any_row_has(rows, {L"IP Address", L"10.77.0.1"})) << rows_listing(rows);
    EXPECT_TRUE(any_row_has(rows, {L"IP Address", L"10.77.0.2"})) << rows_listing(rows);

    // Each filter item after the first is an active adapter with a cell of the compact window.
    const std::vector<std::wstring> items = combo_items(filter);
    EXPECT_TRUE(any_row_has(items, {L"10.77.0.1", L"sxa"})) << rows_listing(items);
    EXPECT_TRUE(any_row_has(items, {L"10.77.0.2", L"sxb"})) << rows_listing(items);
    const HWND compact = program_window(program.id(), WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr) << "no compact window";
    // The adapter cells are drawn in an adapter colour (red 227, green 221 - 8 x position, blue 176), or in the
    // warning colour while the link speed is 0 (as here: Wine finds no speed for a veth link): one band of
    // such text lines per active adapter.
    const auto adapter_text = [](uint32_t pixel) {
        const uint32_t red = pixel >> 16, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
        const bool adapter = red == 227 && blue == 176 && green <= 213 && (213 - green) % 8 == 0;
        const bool warning = pixel == 0xFF5757;  // Palette 18
        return adapter || warning;
    };
    const auto adapter_bands = [&] {
        const Picture picture = window_picture(compact);
        int bands = 0;
        bool in_band = false;
        for (int y = 0; y < picture.height; ++y) {
            bool coloured = false;
            for (int x = 0; x < picture.width && !coloured; ++x) coloured = adapter_text(picture.at(x, y));
            if (coloured && !in_band) ++bands;
            in_band = coloured;
        }
        return bands;
    };
    // The cells follow the scan on the window's next drawing.
    int bands = 0;
    wait_until(START_MS, [&] { return (bands = adapter_bands()) >= 2; });
    EXPECT_GE(bands, 2) << "the compact window shows fewer than two adapter cells";

    ASSERT_TRUE(link_set(L"down-sxb"));
    std::vector<std::wstring> lines;
    const bool down = wait_until(20000, [&] {
        lines = list_view_rows(events, 0);
        return any_row_has(lines, {L"OperStatus: Down"});
    });
    EXPECT_TRUE(down) << "network events:\n" << rows_listing(lines);
    ASSERT_TRUE(link_set(L"up-sxb"));
    // The rescan that follows the drop (a scan of every adapter and the compact window's new layout) can hold
    // the thread for a while on a loaded machine before it reads the rows again.
    const bool up = wait_until(45000, [&] {
        lines = list_view_rows(events, 0);
        return any_row_has(lines, {L"OperStatus: Up"});
    });
    EXPECT_TRUE(up) << "network events:\n" << rows_listing(lines);
    EXPECT_TRUE(shut_down(program));
}

}  // namespace
