// GPU entry numbering, labels, selector items and the requirements text.
#include "gpu/gpu_entries.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "gpu/gpu_info_rows.h"
#include "runtime/list_model.h"

namespace {

class GpuEntries : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        list_rows_clear(LIST_GPU_INFO);
    }
    void TearDown() override { list_rows_clear(LIST_GPU_INFO); }
};

TEST_F(GpuEntries, OnlyNamedGpusGetEntriesAndEachEntryKnowsItsVendorIndex) {
    struct Case {
        const char* name;
        std::vector<bool> nvidia;
        std::vector<bool> amd;
        std::wstring letters;
        std::vector<int32_t> indexes;
    };
    const Case cases[] = {
        {"none", {}, {}, L"", {}},
        {"one NVIDIA and two AMD", {true}, {true, true}, L"NAA", {0, 0, 1}},
        {"unnamed NVIDIA before a named one", {false, true}, {true}, L"NA", {1, 0}},
        {"unnamed AMD", {true}, {false, true}, L"NA", {0, 1}},
        {"seven NVIDIA and three AMD stop at eight",
         std::vector<bool>(7, true),
         {true, true, true},
         L"NNNNNNNA",
         {0, 1, 2, 3, 4, 5, 6, 0}},
        {"twelve AMD stop at eight", {}, std::vector<bool>(12, true), L"AAAAAAAA", {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        std::vector<char> nvidia_bytes(c.nvidia.begin(), c.nvidia.end());
        std::vector<char> amd_bytes(c.amd.begin(), c.amd.end());
        std::array<bool, 16> nvidia{};
        std::array<bool, 16> amd{};
        for (std::size_t i = 0; i < c.nvidia.size(); ++i) nvidia[i] = c.nvidia[i];
        for (std::size_t i = 0; i < c.amd.size(); ++i) amd[i] = c.amd[i];
        GpuEntryIndexRecord index;
        index.entry_count = 99;
        const int count = gpu_entries_number(index, std::span<const bool>(nvidia.data(), c.nvidia.size()),
                                             std::span<const bool>(amd.data(), c.amd.size()));
        ASSERT_EQ(count, static_cast<int>(c.letters.size())) << c.name;
        EXPECT_EQ(index.entry_count, count) << c.name;
        EXPECT_EQ(std::wstring(index.letters.data(), static_cast<std::size_t>(count)), c.letters) << c.name;
        EXPECT_EQ(std::vector<int32_t>(index.vendor_index.begin(), index.vendor_index.begin() + count), c.indexes)
            << c.name;
        for (int e = 0; e < count; ++e) EXPECT_GE(index.vendor_index[static_cast<std::size_t>(e)], 0) << c.name;
    }
}

TEST_F(GpuEntries, LabelsAndSelectorItems) {
    EXPECT_EQ(gpu_entry_label(0), L"G1");
    EXPECT_EQ(gpu_entry_label(7), L"G8");
    EXPECT_EQ(gpu_entry_label(9), L"GA");
    EXPECT_EQ(gpu_selector_item(L"G1", L"0000:01:00.0", L"nv5", L"GeForce RTX 4070", 12884901888ULL),
              L"Filter G1: [0000:01:00.0] (nv5) GeForce RTX 4070 12GB");
}

TEST_F(GpuEntries, RequirementsTextReadsFromTheTopAndNamesWhatIsMissing) {
    gpu_requirements_rows(false, 0, 0);
    std::vector<std::wstring> expected = {L"",
                                          L"Requirements:",
                                          L"",
                                          L"- NVidia Geforce GT420 or higher",
                                          L"- NVidia Drivers 285.62 or higher",
                                          L"    or",
                                          L"- AMD Radeon R5 200 or higher",
                                          L"- AMD Drivers 22.11.2 or higher",
                                          L"",
                                          L"Other brands will be supported soon."};
    if constexpr (sizeof(void*) < 8) {
        expected.insert(expected.begin() + 3, {L"- Sotrix 64-bit edition", L"    and"});
    }
    EXPECT_EQ(list_rows_copy(LIST_GPU_INFO), expected);

    list_rows_clear(LIST_GPU_INFO);
    gpu_requirements_rows(true, 285, 22);
    const auto rows = list_rows_copy(LIST_GPU_INFO);
    auto has = [&](const std::wstring& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
    EXPECT_FALSE(has(L"- NVidia Drivers 285.62 or higher")) << "a new enough NVIDIA driver";
    EXPECT_FALSE(has(L"- AMD Drivers 22.11.2 or higher")) << "a new enough AMD driver";
    EXPECT_TRUE(has(L"- Not running in Safe Mode"));
}

TEST_F(GpuEntries, ErrorModeShowsBothLogsBelowAndTheHeadingAbove) {
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"first");
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"second");
    gpu_report_line_queue(GPU_VENDOR_AMD, L"amd");
    gpu_report_rows();
    gpu_error_mode_heading();
    EXPECT_EQ(list_rows_copy(LIST_GPU_INFO), (std::vector<std::wstring>{L"", L"-- [F6]:Active, Showing Errors", L"",
                                                                        L"N| first", L"N| second", L"", L"A| amd"}));
}

// A reader under GpuInfoMutex (the clipboard copy of the Graphics tab, a sampler's view build) never sees the list
// half rebuilt. Two readers look while the list is rebuilt: at every change of the list, one on another thread
// tries the lock; and from the first change on, another waits for the lock (a lock let go hands itself to a thread
// that waits). Whatever either copies must be the whole old list or the whole new one.
namespace rebuild_readers {
std::mutex seen_lock;
std::vector<std::vector<std::wstring>> seen;  // guarded by seen_lock
int changes = 0;
std::thread waiter;
std::atomic<bool> waiter_done{false};

void seen_add() {
    std::vector<std::wstring> rows = list_rows_copy(LIST_GPU_INFO);
    std::lock_guard guard(seen_lock);
    seen.push_back(std::move(rows));
}

void on_change(int control) {
    if (control != LIST_GPU_INFO) return;
    ++changes;
    if (!waiter.joinable()) {
        waiter = std::thread([] {
            std::lock_guard guard(GpuInfoMutex);
            seen_add();
            waiter_done = true;
        });
        // On once it waits for the lock (or got it at once because nobody held it).
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (GpuInfoMutex.waiting() == 0 && !waiter_done && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    std::thread prober([] {
        if (!GpuInfoMutex.try_lock()) return;
        seen_add();
        GpuInfoMutex.unlock();
    });
    prober.join();
}
}  // namespace rebuild_readers

TEST_F(GpuEntries, ARebuildHoldsTheListsLockFromEmptyingToItsLastRow) {
    namespace readers = rebuild_readers;
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"nvml.dll not found");
    gpu_report_line_queue(GPU_VENDOR_AMD, L"Missing AMD Get Commands");
    GpuEntriesInfo normal;
    normal.requirements = true;
    GpuEntriesInfo errors = normal;
    errors.all_rows = true;
    gpu_entries_info_rebuild(errors);
    const std::vector<std::wstring> rebuilt = list_rows_copy(LIST_GPU_INFO);
    gpu_entries_info_rebuild(normal);
    const std::vector<std::wstring> before = list_rows_copy(LIST_GPU_INFO);
    ASSERT_NE(before, rebuilt);

    readers::seen.clear();
    readers::changes = 0;
    readers::waiter_done = false;
    const ListChangedCallback previous = list_rows_set_observer(readers::on_change);
    gpu_entries_info_rebuild(errors);
    list_rows_set_observer(previous);
    ASSERT_TRUE(readers::waiter.joinable());
    readers::waiter.join();
    readers::waiter = std::thread();

    EXPECT_GT(readers::changes, static_cast<int>(rebuilt.size())) << "the readers looked at the emptying and every row";
    ASSERT_FALSE(readers::seen.empty()) << "the waiting reader copied nothing";
    for (const std::vector<std::wstring>& rows : readers::seen)
        EXPECT_TRUE(rows == before || rows == rebuilt) << "a reader saw " << rows.size() << " rows";
    EXPECT_EQ(readers::seen.back(), rebuilt) << "the waiting reader comes after the rebuild";
    EXPECT_EQ(list_rows_copy(LIST_GPU_INFO), rebuilt);
}

}  // namespace
