// The NVIDIA sampler's readings of one GPU and the cell and ID texts made of them.
#include "gpu/nvidia_sample.h"

#include "core/format_bytes.h"
#include "core/format_text.h"

namespace {

uint8_t status_byte(NvmlResult result) { return static_cast<uint8_t>(static_cast<uint32_t>(result) & 0xFF); }

void clock_read(NvmlDevice device, int32_t type, uint32_t& field) {
    if (Nvml.clock && Nvml.clock(device, type, 0, &field) == NVML_OK) return;
    nvml_call(Nvml.clock_info, device, type, &field);
}

int32_t clamp32(uint32_t value) { return value > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(value); }

}  // namespace

void nvidia_slot_sample(NvidiaGpu& gpu) {
    NvmlDevice d = gpu.handle;
    clock_read(d, NVML_CLOCK_GRAPHICS, gpu.graphics_clock);
    clock_read(d, NVML_CLOCK_MEMORY, gpu.memory_clock);
    NvmlUtilization utilization{};
    const NvmlResult util = nvml_call(Nvml.utilization, d, &utilization);
    if (util == NVML_OK) {
        gpu.gpu_util = utilization.gpu;
        gpu.memory_util = utilization.memory;
    }
    gpu.query_status[NVS_UTILIZATION] = status_byte(util);
    uint32_t fan = 0;
    if ((Nvml.fan_speed_v2 && Nvml.fan_speed_v2(d, 0, &fan) == NVML_OK) ||
        nvml_call(Nvml.fan_speed, d, &fan) == NVML_OK)
        gpu.fan_pct = clamp32(fan);
    nvml_call(Nvml.performance_state, d, &gpu.pstate);
    gpu.query_status[NVS_POWER_USAGE] = status_byte(nvml_call(Nvml.power_usage, d, &gpu.power_mw));
    nvml_call(Nvml.temperature, d, int32_t{0}, &gpu.temperature);
    NvmlMemory memory{};
    if (nvml_call(Nvml.memory_info, d, &memory) == NVML_OK) {
        gpu.memory_total = memory.total;
        gpu.memory_free = memory.free;
        gpu.memory_used = memory.used;
    }
}

void nvidia_max_clocks_follow(NvidiaGpu& gpu) {
    if (gpu.max_clocks_guessed != 1) return;
    if (gpu.graphics_clock > gpu.graphics_clock_max) gpu.graphics_clock_max = gpu.graphics_clock;
    if (gpu.sm_clock > gpu.sm_clock_max) gpu.sm_clock_max = gpu.sm_clock;
    if (gpu.memory_clock > gpu.memory_clock_max) gpu.memory_clock_max = gpu.memory_clock;
    if (gpu.video_clock > gpu.video_clock_max) gpu.video_clock_max = gpu.video_clock;
}

std::wstring nvidia_cell_text(const NvidiaGpu& gpu) {
    std::wstring text = gpu.label.str() + L" ";
    text += gpu.gpu_util == 0 ? L" --" : format_percent(clamp32(gpu.gpu_util));
    text += format_frequency(clamp32(gpu.graphics_clock));
    text += format_frequency(clamp32(gpu.memory_clock));
    if (gpu.temperature == 0) {
        text += L"  --  ";
    } else {
        std::wstring degrees = std::to_wstring(gpu.temperature);
        if (degrees.size() < 4) degrees.insert(0, 4 - degrees.size(), L' ');
        text += degrees + L"C ";
    }
    text += gpu.fan_pct == 0 ? L" --" : format_percent(gpu.fan_pct);
    return text.substr(0, 60);
}

std::wstring nvidia_id_line(const NvidiaGpu& gpu) {
    const int64_t used =
        gpu.memory_used > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(gpu.memory_used);
    return gpu.label.str() + L"\n" + std::to_wstring(gpu.gpu_util) + L"%  " + std::to_wstring(gpu.graphics_clock) +
           L"MHz\n" + std::to_wstring(gpu.memory_util) + L"%  " + std::to_wstring(gpu.memory_clock) + L"MHz  " +
           format_bytes(used, FORMAT_BYTES_MEMORY) + L"\n" + std::to_wstring(gpu.temperature) + L"C  " +
           std::to_wstring(gpu.fan_pct) + L"%\nP" + std::to_wstring(gpu.pstate) + L"  " +
           std::to_wstring(gpu.power_mw / 1000) + L"W";
}
