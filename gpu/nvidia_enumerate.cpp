// The NVIDIA enumeration: device count, then the static facts of each GPU through the bound library.
#include "gpu/nvidia_enumerate.h"

#include <vector>

#include "core/shared_state.h"
#include "gpu/gpu_info_rows.h"
#include "gpu/nvidia_gpu.h"

namespace {

constexpr uint32_t CLOCK_LIST_LENGTH = 1024;

uint8_t status_byte(NvmlResult result) { return static_cast<uint8_t>(static_cast<uint32_t>(result) & 0xFF); }

template <std::size_t N, std::size_t Room>
void text_into(FixedText<Room>& field, const std::array<char, N>& buffer) {
    field = nvml_text(buffer.data(), buffer.size());
}

// A text query with a buffer of `bytes`; the result code, and the text when it was read.
template <std::size_t Room>
NvmlResult text_query(NvmlResult (*function)(NvmlDevice, char*, uint32_t), NvmlDevice device, std::size_t bytes,
                      FixedText<Room>& field) {
    std::vector<char> buffer(bytes, '\0');
    const NvmlResult result = nvml_call(function, device, buffer.data(), static_cast<uint32_t>(buffer.size()));
    if (result == NVML_OK) field = nvml_text(buffer.data(), buffer.size());
    return result;
}

void current_clocks(NvidiaGpu& gpu) {
    uint32_t* const fields[4] = {&gpu.graphics_clock, &gpu.sm_clock, &gpu.memory_clock, &gpu.video_clock};
    for (int32_t type = 0; type < 4; ++type) {
        if (Nvml.clock)
            Nvml.clock(gpu.handle, type, 0, fields[type]);
        else
            nvml_call(Nvml.clock_info, gpu.handle, type, fields[type]);
    }
}

void slot_read(int slot, NvidiaGpu& gpu) {
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"Reading Adapter: " + std::to_wstring(slot),
                          L"G" + std::to_wstring(slot));
    const uint32_t index = static_cast<uint32_t>(slot);
    if (Nvml.device_handle_v2)
        Nvml.device_handle_v2(index, &gpu.handle);
    else
        nvml_call(Nvml.device_handle, index, &gpu.handle);
    NvmlDevice d = gpu.handle;
    auto& status = gpu.query_status;

    status[NVS_VBIOS] = status_byte(text_query(Nvml.vbios_version, d, NVML_VBIOS_BYTES, gpu.vbios));
    if (Nvml.cuda_capability) {
        int32_t major = 0;
        int32_t minor = 0;
        status[NVS_CUDA_CAPABILITY] = status_byte(Nvml.cuda_capability(d, &major, &minor));
        gpu.cuda_capability = std::to_wstring(major) + L"." + std::to_wstring(minor);
    }
    FixedText<16>* const inforom[3] = {&gpu.inforom_oem, &gpu.inforom_ecc, &gpu.inforom_power};
    for (int32_t object = 0; object < 3; ++object) {
        std::array<char, NVML_INFOROM_BYTES> buffer{};
        const NvmlResult result =
            nvml_call(Nvml.inforom_version, d, object, buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (result == NVML_OK) text_into(*inforom[object], buffer);
        status[NVS_INFOROM_OEM + object] = status_byte(result);
    }
    if (Nvml.inforom_image_version)
        status[NVS_INFOROM_IMAGE] =
            status_byte(text_query(Nvml.inforom_image_version, d, NVML_INFOROM_BYTES, gpu.inforom_image));
    if (Nvml.inforom_checksum)
        status[NVS_INFOROM_CHECKSUM] = status_byte(Nvml.inforom_checksum(d, &gpu.inforom_checksum));

    status[NVS_DRIVER_MODEL] =
        status_byte(nvml_call(Nvml.driver_model, d, &gpu.driver_model, &gpu.driver_model_pending));
    status[NVS_PERSISTENCE] = status_byte(nvml_call(Nvml.persistence_mode, d, &gpu.persistence_mode));
    if (Nvml.operation_mode)
        status[NVS_OPERATION_MODE] =
            status_byte(Nvml.operation_mode(d, &gpu.operation_mode, &gpu.operation_mode_pending));
    if (Nvml.display_active) status[NVS_DISPLAY_ACTIVE] = status_byte(Nvml.display_active(d, &gpu.display_active));
    status[NVS_DISPLAY_MODE] = status_byte(nvml_call(Nvml.display_mode, d, &gpu.display_mode));
    status[NVS_COMPUTE_MODE] = status_byte(nvml_call(Nvml.compute_mode, d, &gpu.compute_mode));
    status[NVS_ECC_MODE] = status_byte(nvml_call(Nvml.ecc_mode, d, &gpu.ecc_mode, &gpu.ecc_mode_pending));
    status[NVS_ECC_ERRORS] = status_byte(nvml_call(Nvml.total_ecc_errors, d, 0, 1, &gpu.ecc_corrected));
    status[NVS_ECC_ERRORS] = status_byte(nvml_call(Nvml.total_ecc_errors, d, 1, 1, &gpu.ecc_uncorrected));

    if (Nvml.power_limit_constraints)
        status[NVS_POWER_CONSTRAINTS] =
            status_byte(Nvml.power_limit_constraints(d, &gpu.power_limit_min, &gpu.power_limit_max));
    if (!Nvml.power_default_limit || Nvml.power_default_limit(d, &gpu.power_limit) != NVML_OK)
        nvml_call(Nvml.power_limit, d, &gpu.power_limit);
    if (Nvml.enforced_power_limit)
        status[NVS_ENFORCED_LIMIT] = status_byte(Nvml.enforced_power_limit(d, &gpu.power_limit_enforced));
    if (Nvml.total_energy) status[NVS_ENERGY] = status_byte(Nvml.total_energy(d, &gpu.energy_mj));

    if (Nvml.temperature_threshold) {
        status[NVS_TEMP_LIMIT] = status_byte(Nvml.temperature_threshold(d, 3, &gpu.temp_limit));
        status[NVS_TEMP_MEMORY_MAX] = status_byte(Nvml.temperature_threshold(d, 2, &gpu.temp_memory_max));
        status[NVS_TEMP_SHUTDOWN] = status_byte(Nvml.temperature_threshold(d, 0, &gpu.temp_shutdown));
        status[NVS_TEMP_SLOWDOWN] = status_byte(Nvml.temperature_threshold(d, 1, &gpu.temp_slowdown));
    }

    nvml_call(Nvml.max_clock_info, d, int32_t{NVML_CLOCK_SM}, &gpu.sm_clock_max);
    nvml_call(Nvml.max_clock_info, d, int32_t{NVML_CLOCK_MEMORY}, &gpu.memory_clock_max);
    nvml_call(Nvml.max_clock_info, d, int32_t{NVML_CLOCK_GRAPHICS}, &gpu.graphics_clock_max);
    nvml_call(Nvml.max_clock_info, d, int32_t{NVML_CLOCK_VIDEO}, &gpu.video_clock_max);
    if (gpu.graphics_clock_max == 0 && Nvml.supported_memory_clocks) {
        std::vector<uint32_t> memory(CLOCK_LIST_LENGTH, 0);
        std::vector<uint32_t> graphics(CLOCK_LIST_LENGTH, 0);
        uint32_t memory_count = CLOCK_LIST_LENGTH;
        uint32_t graphics_count = CLOCK_LIST_LENGTH;
        if (Nvml.supported_memory_clocks(d, &memory_count, memory.data()) == NVML_OK) {
            gpu.memory_clock_max = memory[0];
            if (nvml_call(Nvml.supported_graphics_clocks, d, memory[0], &graphics_count, graphics.data()) == NVML_OK)
                gpu.graphics_clock_max = graphics[0];
        }
    }

    NvmlMemory memory{};
    if (nvml_call(Nvml.memory_info, d, &memory) == NVML_OK) {
        gpu.memory_total = memory.total;
        gpu.memory_free = memory.free;
        gpu.memory_used = memory.used;
    }
    if (Nvml.pci_info_v3)
        Nvml.pci_info_v3(d, &gpu.pci_info);
    else
        nvml_call(Nvml.pci_info, d, &gpu.pci_info);
    gpu.bus_id = nvml_text(gpu.pci_info.bus_id_legacy, sizeof gpu.pci_info.bus_id_legacy);

    if (Nvml.pcie_replay_counter) status[NVS_REPLAY] = status_byte(Nvml.pcie_replay_counter(d, &gpu.replay_counter));
    if (Nvml.max_pcie_width) status[NVS_PCIE_WIDTH_MAX] = status_byte(Nvml.max_pcie_width(d, &gpu.pcie_width_max));
    if (Nvml.pcie_width) status[NVS_PCIE_WIDTH] = status_byte(Nvml.pcie_width(d, &gpu.pcie_width));
    if (Nvml.max_pcie_generation)
        status[NVS_PCIE_GEN_MAX] = status_byte(Nvml.max_pcie_generation(d, &gpu.pcie_gen_max));
    if (Nvml.pcie_generation) status[NVS_PCIE_GEN] = status_byte(Nvml.pcie_generation(d, &gpu.pcie_gen));
    if (Nvml.board_id) status[NVS_BOARD_ID] = status_byte(Nvml.board_id(d, &gpu.board_id));

    if (Nvml.brand) {
        status[NVS_BRAND] = status_byte(Nvml.brand(d, &gpu.brand));
        gpu.brand_text = L"nv" + std::to_wstring(gpu.brand);
    } else {
        gpu.brand_text = L"---";
    }
    if (Nvml.board_part_number)
        status[NVS_PART_NUMBER] =
            status_byte(text_query(Nvml.board_part_number, d, NVML_PART_NUMBER_BYTES, gpu.part_number));
    status[NVS_SERIAL] = status_byte(text_query(Nvml.serial, d, NVML_SERIAL_BYTES, gpu.serial));
    status[NVS_UUID] = status_byte(text_query(Nvml.uuid, d, NVML_UUID_BYTES, gpu.uuid));
    FixedText<NVML_NAME_BYTES> name;
    status[NVS_NAME] = status_byte(text_query(Nvml.name, d, NVML_NAME_BYTES, name));
    gpu.name = spaces_collapsed(name.view());

    current_clocks(gpu);
    if (gpu.graphics_clock_max == 0) {
        gpu.max_clocks_guessed = 1;
        gpu.graphics_clock_max = gpu.graphics_clock;
        gpu.sm_clock_max = gpu.sm_clock;
        gpu.memory_clock_max = gpu.memory_clock;
        gpu.video_clock_max = gpu.video_clock;
    }
}

}  // namespace

void nvidia_gpu_enumerate() {
    uint32_t count = 0;
    if (Nvml.device_count_v2)
        Nvml.device_count_v2(&count);
    else
        nvml_call(Nvml.device_count, &count);
    // A count beyond int32 is a broken answer: it is cut like any other large count.
    NvmlSystem.device_count = count > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(count);
    int used = NvmlSystem.device_count;
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"NVidia GPU Devices: " + std::to_wstring(used));
    if (used > NVIDIA_SLOTS_USED) {
        used = NVIDIA_SLOTS_USED;
        gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"NVidia GPU Adjusted: " + std::to_wstring(used));
    }
    SharedInts[NVIDIA_GPU_COUNT] = used;
    for (NvidiaGpu& gpu : NvidiaGpuTable) gpu = NvidiaGpu{};
    for (int slot = 0; slot < used; ++slot) slot_read(slot, NvidiaGpuTable[static_cast<std::size_t>(slot)]);
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"NVidia Cards Added");
}
