// Ctrl+C on the real Sotrix.exe's Processors, Graphics, Networks and Events tabs, read back from the clipboard:
// each copy holds what its tab shows, read back from the tab's own lists: the Processors tab's titled columns,
// the Graphics tab's GPU information and ID table (our fake NVIDIA GPU, or the requirements text without a
// library), the Networks tab's adapters (the test network's veth pair), events and ID table; the Events tab, whose
// details list Wine leaves empty (its logs hold no records), copies nothing and leaves the clipboard as it was.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/control_numbers.h"

namespace {

std::wstring trimmed_right(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

bool has_line(const std::wstring& copy, const std::wstring& line) {
    const std::vector<std::wstring> lines = text_lines(copy);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The rows of a list from `first` on, each ended by "\r\n" (its blanks at the end cut when `trim`), as a copy
// writes a list's items.
std::wstring items_text(HWND list, size_t first, bool trim) {
    const std::vector<std::wstring> rows = list_view_rows(list);
    std::wstring text;
    for (size_t i = first; i < rows.size(); ++i) text += (trim ? trimmed_right(rows[i]) : rows[i]) + L"\r\n";
    return text;
}

// A list's line as a copy's table writes it: its columns' texts each followed by a blank, the blanks at the end cut.
std::wstring table_line(const std::vector<std::wstring>& columns) {
    std::wstring line;
    for (const std::wstring& column : columns) line += column + L" ";
    return trimmed_right(line);
}

// A list's columns as a table: the title line, then a line per row; empty when it has no row.
std::wstring table_text(HWND list) {
    const std::vector<std::wstring> titles = list_view_titles(list);
    std::vector<std::vector<std::wstring>> columns;
    for (size_t column = 0; column < titles.size(); ++column)
        columns.push_back(list_view_rows(list, static_cast<int>(column)));
    const size_t rows = columns.empty() ? 0 : columns[0].size();
    if (rows == 0) return {};
    std::wstring text = table_line(titles) + L"\r\n";
    for (size_t row = 0; row < rows; ++row) {
        std::vector<std::wstring> line;
        for (const auto& column : columns) line.push_back(row < column.size() ? column[row] : L"");
        text += table_line(line) + L"\r\n";
    }
    return text;
}

size_t row_count(HWND list) { return static_cast<size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

class TabCopy : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-copy-"));
        file_write(folder_ / L"Sotrix.ini", "[Sotrix]\r\n");  // portable: a fresh data folder
    }

    // Starts the program on a tab by its word; its main window, on top so that its pixels and pointer are its own.
    HWND open_on(const std::wstring& word) {
        const HWND main = wait_for_window(start(L"norepair " + word), WindowKind::MAIN);
        if (main) SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return main;
    }
};

TEST_F(TabCopy, TheProcessorsCopyHoldsEveryTitledColumnOfTheTabsTwoLists) {
    const HWND main = open_on(L"processors");
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND lists[] = {inside.at(LIST_CPU_BASE_SPEED), inside.at(LIST_CPU_SPEED)};
    ASSERT_TRUE(wait_until(START_MS, [&] { return row_count(lists[0]) > 0 && row_count(lists[1]) > 0; }))
        << "the sampler filled no processor rows";

    // "title = value" for each titled column of each list's first row, the facts list first.
    const auto expected = [&] {
        std::wstring text;
        for (const HWND list : lists) {
            const std::vector<std::wstring> titles = list_view_titles(list);
            for (size_t column = 0; column < titles.size() && column <= 20; ++column) {
                if (titles[column].empty()) continue;
                const std::vector<std::wstring> rows = list_view_rows(list, static_cast<int>(column));
                text += titles[column] + L" = " + (rows.empty() ? L"" : rows[0]) + L"\r\n";
            }
        }
        return text;
    };
    std::wstring copy;
    std::wstring shown;
    EXPECT_TRUE(wait_until(START_MS,
                           [&] {
                               copy = tab_copy(main, [](const std::wstring& text) {
                                   return text.find(L"Speed = ") != std::wstring::npos;
                               });
                               return copy == (shown = expected());
                           }))
        << "copied:\n"
        << narrow(copy) << "\nthe tab shows:\n"
        << narrow(shown);
    // The processors the tab draws a graph for are the logical processors the copy names.
    int graphs = 0;
    while (inside.count(GRAPH_CPU_CORE_BASE + graphs)) ++graphs;
    EXPECT_GT(graphs, 0);
    EXPECT_TRUE(copy.find(L"Cores ( Logicals ) = ") != std::wstring::npos &&
                copy.find(L"( " + std::to_wstring(graphs) + L" )\r\n") != std::wstring::npos)
        << graphs << " graphs, copied:\n"
        << narrow(copy);
    EXPECT_TRUE(title_of(main).starts_with(L"Saved to Clipboard: " + std::to_wstring(text_lines(copy).size())))
        << narrow(title_of(main));
}

// The Graphics tab's copy: the information list's rows after the first, then the ID list's table when it has rows.
class GraphicsCopy : public TabCopy {
protected:
    void TearDown() override {
        TabCopy::TearDown();  // the programs end first: they hold the library
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        fakes_.remove_all();
    }

    // Opens the Graphics tab, waits until its information list holds the row, and checks the copy against the lists.
    void check_copy(const std::wstring& row, const std::vector<std::wstring>& copied_lines) {
        const HWND main = open_on(L"graphics");
        ASSERT_NE(main, nullptr) << "no main window";
        const std::map<int, HWND> inside = descendants_of(main);
        const HWND info = inside.at(LIST_GPU_INFO);
        const HWND ids = inside.at(LIST_GPU_ID);
        std::vector<std::wstring> rows;
        ASSERT_TRUE(wait_until(START_MS, [&] {
            rows = list_view_rows(info);
            return std::find(rows.begin(), rows.end(), row) != rows.end();
        })) << rows_listing(rows);
        std::wstring copy;
        std::wstring shown;
        EXPECT_TRUE(wait_until(START_MS,
                               [&] {
                                   copy = tab_copy(main, [&](const std::wstring& text) {
                                       return has_line(text, copied_lines.front());
                                   });
                                   return copy == (shown = items_text(info, 1, false) + table_text(ids));
                               }))
            << "copied:\n"
            << narrow(copy) << "\nthe tab shows:\n"
            << narrow(shown);
        for (const std::wstring& line : copied_lines)
            EXPECT_TRUE(has_line(copy, line)) << narrow(line) << " missing in:\n" << narrow(copy);
    }

    FakesPlaced fakes_;
};

TEST_F(GraphicsCopy, WithTheFakeNvidiaLibraryTheCopyHoldsItsGpu) {
    fakes_.place(nvml_library_path(), "nvml.dll");
    file_write(folder_ / L"fake.cfg", "gpus=1\nname0=Fake Copy GPU\nmemory_total0=8589934592\nfan0=35\n");
    SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", (folder_ / L"fake.cfg").wstring().c_str());
    if constexpr (sizeof(void*) == 8) {
        // The GPU's block with its name and memory, and the ID table with the fake's fan speed.
        check_copy(L"Fake Copy GPU",
                   {L"Fake Copy GPU", L"Total Memory         8192M (8.00G)", L"Graphics ID GPU Memory Temp+Fan Power"});
    } else {
        // The i386 build never binds the library.
        check_copy(L"Requirements:", {L"Requirements:", L"- Sotrix 64-bit edition"});
    }
}

TEST_F(GraphicsCopy, WithoutALibraryTheCopyHoldsTheRequirements) {
    check_copy(L"Requirements:",
               {L"Requirements:", L"- NVidia Geforce GT420 or higher", L"- AMD Radeon R5 200 or higher"});
}

TEST_F(TabCopy, NetNsTheNetworksCopyNamesTheTestNetworksAdapters) {
    ASSERT_NE(std::getenv("SOTRIX_NETNS_CONTROL"), nullptr)
        << "not inside the test network: run through tools/netns-run.sh, as every Windows CTest entry is";
    const HWND main = open_on(L"networks");
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND adapters = inside.at(LIST_NETWORK_ADAPTERS);
    const HWND events = inside.at(LIST_NETWORK_EVENTS);
    const HWND ids = inside.at(LIST_NETWORK_ID);
    std::vector<std::wstring> rows;
    ASSERT_TRUE(wait_until(START_MS, [&] {
        rows = list_view_rows(adapters);
        return any_row_has(rows, {L"sxa"}) && any_row_has(rows, {L"sxb"});
    })) << rows_listing(rows);

    // The adapters' rows after the first, an empty line, then the events and the ID table, which may have grown by
    // the time they are read back: each copied line is one of their rows.
    std::wstring copy;
    std::wstring shown;
    EXPECT_TRUE(wait_until(START_MS,
                           [&] {
                               copy = tab_copy(main, [](const std::wstring& text) { return has_line(text, L"sxb"); });
                               return copy.starts_with(shown = items_text(adapters, 1, true) + L"\r\n");
                           }))
        << "copied:\n"
        << narrow(copy) << "\nthe adapter list shows:\n"
        << narrow(shown);
    std::vector<std::wstring> rest = text_lines(copy.substr(std::min(shown.size(), copy.size())));
    const std::vector<std::wstring> event_rows = list_view_rows(events);
    size_t line = 0;
    for (; line < rest.size() && !rest[line].empty(); ++line) {
        EXPECT_NE(std::find(event_rows.begin(), event_rows.end(), rest[line]), event_rows.end())
            << "not a network event: " << narrow(rest[line]);
    }
    EXPECT_GT(line, 0u) << "no network events copied";
    // The ID list gets a row when an adapter's counters move, which traffic in the test network may not have done.
    if (line + 1 < rest.size()) {
        EXPECT_EQ(rest[line + 1], table_line(list_view_titles(ids)));
        const std::vector<std::wstring> table = text_lines(table_text(ids));
        for (size_t i = line + 2; i < rest.size(); ++i)
            EXPECT_NE(std::find(table.begin(), table.end(), rest[i]), table.end())
                << "not an ID row: " << narrow(rest[i]);
    }

    // The test network's two links, each with its address.
    const std::vector<std::wstring> lines = text_lines(copy);
    for (const wchar_t* adapter : {L"sxa", L"sxb"})
        EXPECT_TRUE(has_line(copy, adapter)) << narrow(adapter) << " missing in:\n" << narrow(copy);
    for (const wchar_t* address : {L"10.77.0.1", L"10.77.0.2"}) {
        EXPECT_TRUE(std::any_of(
            lines.begin(), lines.end(),
            [&](const std::wstring& text) { return text.starts_with(L"IP Address ") && text.ends_with(address); }))
            << narrow(address) << " missing in:\n"
            << narrow(copy);
    }
}

TEST_F(TabCopy, TheEventsCopyOfNoDetailsLeavesTheClipboardAsItWas) {
    const HWND main = open_on(L"events");
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    EXPECT_EQ(row_count(inside.at(LIST_EVENT_DETAILS)), 0u) << "Wine's logs hold no records: no event to detail";

    // Something of the user's on the clipboard; the event page thread's copy starts by saying so in the title.
    const std::wstring users = L"the user's own text";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (users.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), users.c_str(), bytes);
    GlobalUnlock(memory);
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
    std::wstring title;
    EXPECT_TRUE(wait_until(START_MS,
                           [&] {
                               if (!ctrl_c_press(main)) return false;
                               return wait_until(15000,
                                                 [&] { return (title = title_of(main)) == L"Saving to Clipboard"; });
                           }))
        << "the copy did not start: " << narrow(title);

    // The thread serves a font change after the copy has returned: once the status line has the new font's
    // height, the copy is over.
    const auto status_height = [&] {
        RECT place{};
        GetWindowRect(inside.at(CANVAS_EVENTS_STATUS), &place);
        return place.bottom - place.top;
    };
    const LONG height = status_height();
    combo_choose(inside.at(COMBO_EVENT_FONT_SIZE), 3);
    ASSERT_TRUE(wait_until(15000, [&] { return status_height() > height; }))
        << "the event page thread served no font change after the copy";
    EXPECT_EQ(clipboard_text(), users);
}

}  // namespace
