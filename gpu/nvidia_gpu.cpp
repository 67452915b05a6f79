// The NVIDIA GPU table and the conversions of the library's texts and numbers.
#include "gpu/nvidia_gpu.h"

#include <cstring>

#include "gpu/gpu_info_rows.h"
#include "runtime/text.h"

NvmlApi Nvml;
NvmlSystemInfo NvmlSystem;
std::array<NvidiaGpu, NVIDIA_SLOT_COUNT> NvidiaGpuTable;

int nvml_versions_read() {
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"Init nvmlSystemGetDriverVersion");
    std::array<char, NVML_DRIVER_VERSION_BYTES> driver{};
    if (nvml_call(Nvml.system_driver_version, driver.data(), static_cast<uint32_t>(driver.size())) == NVML_OK)
        NvmlSystem.driver_version = nvml_text(driver.data(), driver.size());
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"Init nvmlSystemGetNVMLVersion");
    std::array<char, NVML_VERSION_BYTES> version{};
    if (nvml_call(Nvml.system_nvml_version, version.data(), static_cast<uint32_t>(version.size())) == NVML_OK)
        NvmlSystem.nvml_version = nvml_text(version.data(), version.size());
    if (Nvml.system_cuda_version_v2)
        Nvml.system_cuda_version_v2(&NvmlSystem.cuda_version);
    else if (Nvml.system_cuda_version)
        Nvml.system_cuda_version(&NvmlSystem.cuda_version);
    return nvml_driver_major(NvmlSystem.driver_version.str());
}

std::wstring nvml_text(const char* buffer, std::size_t size) {
    if (!buffer || size == 0) return {};
    const void* end = std::memchr(buffer, '\0', size);
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer) : size;
    return wide_from_ansi(std::string_view(buffer, length));
}

int nvml_driver_major(std::wstring_view version) {
    int major = 0;
    for (const wchar_t c : version) {
        if (c < L'0' || c > L'9') break;
        if (major > 100000000) break;  // no driver has such a number; stops an overflow
        major = major * 10 + (c - L'0');
    }
    return major;
}

std::wstring cuda_version_text(int32_t version) {
    if (version <= 0) return {};
    return std::to_wstring(version / 1000) + L"." + std::to_wstring((version % 1000) / 10);
}

int32_t ratio_rounded(int64_t numerator, int64_t denominator) {
    if (denominator == 0) return 0;
    const bool negative = (numerator < 0) != (denominator < 0);
    const int64_t n = numerator < 0 ? -numerator : numerator;
    const int64_t d = denominator < 0 ? -denominator : denominator;
    const int64_t whole = (2 * n + d) / (2 * d);
    return static_cast<int32_t>(negative ? -whole : whole);
}

std::wstring spaces_collapsed(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L' ' && !out.empty() && out.back() == L' ') continue;
        out.push_back(c);
    }
    return out;
}
