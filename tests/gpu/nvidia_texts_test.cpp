// The NVIDIA side's conversions: library texts, driver and CUDA versions, rounding, the cell and ID texts.
#include <gtest/gtest.h>

#include "core/language.h"
#include "gpu/nvidia_gpu.h"
#include "gpu/nvidia_sample.h"

namespace {

TEST(NvidiaTexts, LibraryTextsAreReadWithinTheirBuffer) {
    const char terminated[8] = {'A', 'B', '\0', 'Z', 'Z', 'Z', 'Z', 'Z'};
    EXPECT_EQ(nvml_text(terminated, sizeof terminated), L"AB");
    const char unterminated[4] = {'W', 'X', 'Y', 'Z'};  // followed by whatever lies in memory
    EXPECT_EQ(nvml_text(unterminated, sizeof unterminated), L"WXYZ");
    EXPECT_EQ(nvml_text(nullptr, 10), L"");
    EXPECT_EQ(spaces_collapsed(L"GeForce  RTX   4070    Ti"), L"GeForce RTX 4070 Ti");
}

TEST(NvidiaTexts, DriverMajorCudaVersionAndRounding) {
    EXPECT_EQ(nvml_driver_major(L"285.62"), 285);
    EXPECT_EQ(nvml_driver_major(L"284.99"), 284);
    EXPECT_EQ(nvml_driver_major(L""), 0);
    EXPECT_EQ(nvml_driver_major(L"v551.23"), 0);
    EXPECT_GT(nvml_driver_major(L"99999999999999999999"), 0) << "a long number stops before it overflows";

    EXPECT_EQ(cuda_version_text(12040), L"12.4");
    EXPECT_EQ(cuda_version_text(11080), L"11.8");
    EXPECT_EQ(cuda_version_text(9020), L"9.2");
    EXPECT_EQ(cuda_version_text(0), L"");

    struct Ratio {
        int64_t n, d;
        int32_t rounded;
    };
    for (const Ratio& r : {Ratio{150, 100, 2}, Ratio{149, 100, 1}, Ratio{250, 100, 3}, Ratio{123500, 1000, 124},
                           Ratio{123499, 1000, 123}, Ratio{-150, 100, -2}, Ratio{5, 0, 0}, Ratio{100 * 1500, 2000, 75}})
        EXPECT_EQ(ratio_rounded(r.n, r.d), r.rounded) << r.n << "/" << r.d;
}

TEST(NvidiaTexts, CellAndIdLineShowTheReadings) {
    text_maps_load(LANGUAGE_ENGLISH);
    NvidiaGpu gpu;
    gpu.label = L"G1";
    gpu.gpu_util = 40;
    gpu.graphics_clock = 1500;
    gpu.memory_clock = 800;
    gpu.temperature = 55;
    gpu.fan_pct = 33;
    gpu.memory_util = 20;
    gpu.memory_used = 1073741824ULL;
    gpu.pstate = 2;
    gpu.power_mw = 123500;
    const std::wstring cell = nvidia_cell_text(gpu);
    EXPECT_EQ(cell.substr(0, 3), L"G1 ");
    EXPECT_NE(cell.find(L"  55C "), std::wstring::npos) << std::string(cell.begin(), cell.end());
    EXPECT_EQ(nvidia_id_line(gpu), L"G1\n40%  1500MHz\n20%  800MHz  1024M\n55C  33%\nP2  123W");

    gpu.temperature = 0;
    gpu.gpu_util = 0;
    gpu.fan_pct = 0;
    const std::wstring idle = nvidia_cell_text(gpu);
    EXPECT_EQ(idle.substr(0, 6), L"G1  --");
    EXPECT_NE(idle.find(L"  --  "), std::wstring::npos);
    EXPECT_EQ(idle.substr(idle.size() - 3), L" --");
}

}  // namespace
