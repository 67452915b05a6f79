// Fuzz target: the NVIDIA management library's answers as the program reads them. A table of our own library
// functions answers every call from the input: version texts and device texts that fill the whole buffer
// without a terminator, device counts of any size, records of any content, clock lists, results that fail at
// any step, functions the library lacks. Then the versions, the enumeration, a few sampling rounds, the cell and
// ID texts, the information blocks and the detection log. Every text is written over the whole buffer the
// program names (so a buffer smaller than its stated size stops the run), at most NVIDIA_SLOTS_USED GPUs are
// read, the slots beyond them stay empty, names have no runs of spaces, and guessed highest clocks never fall
// below the clocks seen.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/gpu_entries.h"
#include "gpu/gpu_info_blocks.h"
#include "gpu/nvidia_enumerate.h"
#include "gpu/nvidia_gpu.h"
#include "gpu/nvidia_sample.h"
#include "runtime/list_model.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

FuzzedDataProvider* answers = nullptr;
FuzzedDataProvider& in() { return *answers; }

// Mostly success; now and then one of the library's error codes (or any other number).
NvmlResult result() {
    const uint8_t byte = in().ConsumeIntegral<uint8_t>();
    if (byte < 200) return NVML_OK;
    return byte < 250 ? byte - 200 : in().ConsumeIntegral<int32_t>();
}

// Writes all `size` bytes at `out`: the input's bytes, then a filler without any NUL.
void bytes_fill(void* out, std::size_t size) {
    std::memset(out, 'n', size);
    const std::vector<uint8_t> bytes = in().ConsumeBytes<uint8_t>(size);
    if (!bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
}

template <typename Value>
NvmlResult value_fill(Value* out) {
    *out = in().ConsumeIntegral<Value>();
    return result();
}

NvmlResult text_fill(char* buffer, uint32_t length) {
    bytes_fill(buffer, length);
    return result();
}

NvmlResult nvml_init() { return NVML_OK; }
NvmlResult system_text(char* buffer, uint32_t length) { return text_fill(buffer, length); }
NvmlResult cuda_version(int32_t* version) { return value_fill(version); }
NvmlResult device_count(uint32_t* count) {
    const uint8_t mode = in().ConsumeIntegral<uint8_t>();
    *count = mode < 240 ? mode % 10 : in().ConsumeIntegral<uint32_t>();
    return result();
}
NvmlResult device_handle(uint32_t index, NvmlDevice* device) {
    *device = reinterpret_cast<NvmlDevice>(static_cast<uintptr_t>(0x1000 + index));
    return result();
}
NvmlResult device_text(NvmlDevice, char* buffer, uint32_t length) { return text_fill(buffer, length); }
NvmlResult inforom_text(NvmlDevice, int32_t, char* buffer, uint32_t length) { return text_fill(buffer, length); }
NvmlResult device_int(NvmlDevice, int32_t* out) { return value_fill(out); }
NvmlResult device_uint(NvmlDevice, uint32_t* out) { return value_fill(out); }
NvmlResult device_u64(NvmlDevice, uint64_t* out) { return value_fill(out); }
NvmlResult device_two_ints(NvmlDevice, int32_t* a, int32_t* b) {
    *a = in().ConsumeIntegral<int32_t>();
    return value_fill(b);
}
NvmlResult device_two_uints(NvmlDevice, uint32_t* a, uint32_t* b) {
    *a = in().ConsumeIntegral<uint32_t>();
    return value_fill(b);
}
NvmlResult typed_uint(NvmlDevice, int32_t, uint32_t* out) { return value_fill(out); }
NvmlResult fan_v2(NvmlDevice, uint32_t, uint32_t* out) { return value_fill(out); }
NvmlResult clock(NvmlDevice, int32_t, int32_t, uint32_t* out) { return value_fill(out); }
NvmlResult ecc_errors(NvmlDevice, int32_t, int32_t, uint64_t* out) { return value_fill(out); }
NvmlResult memory(NvmlDevice, NvmlMemory* out) {
    bytes_fill(out, sizeof *out);
    return result();
}
NvmlResult utilization(NvmlDevice, NvmlUtilization* out) {
    bytes_fill(out, sizeof *out);
    return result();
}
// The older PCI query writes only the first 52 bytes of the record.
NvmlResult pci_info(NvmlDevice, NvmlPciInfo* out) {
    bytes_fill(out, 52);
    return result();
}
NvmlResult pci_info_v3(NvmlDevice, NvmlPciInfo* out) {
    bytes_fill(out, sizeof *out);
    return result();
}
// A clock list: the library writes as many entries as the count it is given allows, and reports another count.
NvmlResult clock_list(uint32_t* count, uint32_t* list) {
    for (uint32_t i = 0; i < *count; ++i) list[i] = in().ConsumeIntegral<uint32_t>();
    const NvmlResult code = result();
    *count = in().ConsumeIntegral<uint32_t>();
    return code;
}
NvmlResult memory_clocks(NvmlDevice, uint32_t* count, uint32_t* list) { return clock_list(count, list); }
NvmlResult graphics_clocks(NvmlDevice, uint32_t, uint32_t* count, uint32_t* list) { return clock_list(count, list); }

// The functions the library has: each one present or missing as the input says.
NvmlApi fake_api() {
    NvmlApi a;
    a.init = nvml_init;
    a.shutdown = nvml_init;
    auto maybe = [](auto function) { return in().ConsumeBool() ? function : nullptr; };
    a.system_driver_version = maybe(system_text);
    a.system_nvml_version = maybe(system_text);
    a.system_cuda_version = maybe(cuda_version);
    a.system_cuda_version_v2 = maybe(cuda_version);
    a.device_count = maybe(device_count);
    a.device_count_v2 = maybe(device_count);
    a.device_handle = maybe(device_handle);
    a.device_handle_v2 = maybe(device_handle);
    a.serial = maybe(device_text);
    a.name = maybe(device_text);
    a.uuid = maybe(device_text);
    a.inforom_version = maybe(inforom_text);
    a.display_mode = maybe(device_int);
    a.persistence_mode = maybe(device_int);
    a.pci_info = maybe(pci_info);
    a.clock_info = maybe(typed_uint);
    a.max_clock_info = maybe(typed_uint);
    a.fan_speed = maybe(device_uint);
    a.temperature = maybe(typed_uint);
    a.performance_state = maybe(device_int);
    a.power_limit = maybe(device_uint);
    a.power_usage = maybe(device_uint);
    a.memory_info = maybe(memory);
    a.compute_mode = maybe(device_int);
    a.ecc_mode = maybe(device_two_ints);
    a.total_ecc_errors = maybe(ecc_errors);
    a.utilization = maybe(utilization);
    a.driver_model = maybe(device_two_ints);
    a.vbios_version = maybe(device_text);
    a.brand = maybe(device_int);
    a.board_part_number = maybe(device_text);
    a.inforom_image_version = maybe(device_text);
    a.inforom_checksum = maybe(device_uint);
    a.display_active = maybe(device_int);
    a.pci_info_v3 = maybe(pci_info_v3);
    a.max_pcie_generation = maybe(device_uint);
    a.max_pcie_width = maybe(device_uint);
    a.pcie_generation = maybe(device_uint);
    a.pcie_width = maybe(device_uint);
    a.pcie_replay_counter = maybe(device_uint);
    a.clock = maybe(clock);
    a.supported_memory_clocks = maybe(memory_clocks);
    a.supported_graphics_clocks = maybe(graphics_clocks);
    a.fan_speed_v2 = maybe(fan_v2);
    a.temperature_threshold = maybe(typed_uint);
    a.power_limit_constraints = maybe(device_two_uints);
    a.power_default_limit = maybe(device_uint);
    a.total_energy = maybe(device_u64);
    a.enforced_power_limit = maybe(device_uint);
    a.operation_mode = maybe(device_two_ints);
    a.cuda_capability = maybe(device_two_ints);
    a.board_id = maybe(device_uint);
    return a;
}

void guessed_clocks_check(const NvidiaGpu& gpu) {
    if (gpu.max_clocks_guessed != 1) return;
    PROPERTY(gpu.graphics_clock_max >= gpu.graphics_clock && gpu.memory_clock_max >= gpu.memory_clock);
    PROPERTY(gpu.sm_clock_max >= gpu.sm_clock && gpu.video_clock_max >= gpu.video_clock);
}

void tables_check() {
    const int used = SharedInts[NVIDIA_GPU_COUNT].load();
    PROPERTY(used >= 0 && used <= NVIDIA_SLOTS_USED && used <= NvmlSystem.device_count);
    PROPERTY(NvmlSystem.device_count >= 0);
    for (int slot = 0; slot < NVIDIA_SLOT_COUNT; ++slot) {
        const NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
        if (slot >= used) {
            PROPERTY(gpu.name.empty() && gpu.handle == nullptr);
            continue;
        }
        PROPERTY(gpu.name.view().find(L"  ") == std::wstring_view::npos);
        PROPERTY(gpu.brand_text == L"---" || gpu.brand_text.view().starts_with(L"nv"));
        guessed_clocks_check(gpu);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz_state_init_once();
    FuzzedDataProvider input(data, size);
    answers = &input;
    Nvml = fake_api();
    NvmlSystem = NvmlSystemInfo{};
    {
        std::lock_guard guard(GpuInfoMutex);
        NvidiaReportLines.clear();
    }

    const int major = nvml_versions_read();
    PROPERTY(major >= 0 && major == nvml_driver_major(NvmlSystem.driver_version.view()));
    nvidia_gpu_enumerate();
    tables_check();

    const int used = SharedInts[NVIDIA_GPU_COUNT].load();
    const int rounds = input.ConsumeIntegralInRange(0, 3);
    for (int round = 0; round < rounds; ++round) {
        for (int slot = 0; slot < used; ++slot) {
            NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
            nvidia_slot_sample(gpu);
            nvidia_max_clocks_follow(gpu);
            guessed_clocks_check(gpu);
            // As the sampler makes its graph values.
            gpu.graphics_clock_pct = ratio_rounded(int64_t{100} * gpu.graphics_clock, gpu.graphics_clock_max);
            gpu.memory_clock_pct = ratio_rounded(int64_t{100} * gpu.memory_clock, gpu.memory_clock_max);
            gpu.power_w = ratio_rounded(gpu.power_mw, 1000);
            PROPERTY(nvidia_cell_text(gpu).size() <= 60);
            const std::wstring line = nvidia_id_line(gpu);
            PROPERTY(std::count(line.begin(), line.end(), L'\n') == 4);
            gpu_selector_item(gpu.label.view(), gpu.bus_id.view(), gpu.brand_text.view(), gpu.name.view(),
                              gpu.memory_total);
        }
    }

    SharedInts[GPU_VIEW_ALL_ROWS] = input.ConsumeBool() ? 1 : 0;
    {
        std::lock_guard guard(GpuInfoMutex);
        for (int slot = 0; slot < used; ++slot) gpu_info_nvidia_block(slot, L" 2026-03-04 05:06:07");
    }
    gpu_entries_info_rebuild(GpuEntriesInfo{.all_rows = true, .nvidia_driver_major = major});
    list_rows_clear(LIST_GPU_INFO);
    Nvml = NvmlApi{};
    return 0;
}
