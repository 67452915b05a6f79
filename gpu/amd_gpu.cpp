// The AMD tables and facts, the library's result test, allocation callback, teardown and version texts.
#include "gpu/amd_gpu.h"

#include <cstdlib>
#include <cstring>

#include "core/shared_state.h"
#include "gpu/adl_library.h"
#include "gpu/gpu_info_rows.h"
#include "runtime/date.h"
#include "runtime/text.h"

AdlApi Adl;
LeafLock AdlLock("AdlLock");
AdlState AdlFacts;
AmdBoundedTable<AmdGpu, AMD_GPU_MAX> AmdGpuTable;
AmdBoundedTable<AmdLegacyCard, AMD_LEGACY_MAX> AmdLegacyTable;
PmlogOutputBlock PmlogOutput{};
std::array<int32_t, PMLOG_REQUEST_COUNT> PmlogRequestSensors{};
std::vector<PmlogSensorEntry> PmlogSensorList(1);

bool adl_result_ok(AdlResult result) { return result == ADL_OK; }

void* ADL_CALLBACK adl_memory_alloc(int32_t size) {
    if (size <= 0) return nullptr;
    return std::calloc(static_cast<std::size_t>(size), 1);
}

void adl_unload() {
    {
        std::lock_guard<LeafLock> hold(AdlLock);
        if (AdlFacts.context) adl_call_held(&AdlApi::main_control_destroy, AdlFacts.context);
        AdlFacts.context = nullptr;
        Adl = AdlApi{};
    }
    // With the table empty no call can enter the library any more, and a call that was running held the
    // lock until it returned: the file can go (outside AdlLock, as freeing takes the libraries' own lock).
    adl_library_free();
    SharedQuads[ADL_LIBRARY] = 0;
}

int adl_versions_read() {
    if (adl_has(&AdlApi::graphics_versions_x2_get)) {
        gpu_report_line_queue(GPU_VENDOR_AMD, L"Init ADL2_Graphics_VersionsX2_Get");
        AdlVersionsInfoX2 versions{};
        if (adl_call(&AdlApi::graphics_versions_x2_get, AdlFacts.context, &versions) >= 0) {
            AdlFacts.driver_version = adl_text(versions.driver_version, sizeof versions.driver_version);
            AdlFacts.catalyst_version = adl_text(versions.catalyst_version, sizeof versions.catalyst_version);
            AdlFacts.crimson_version = adl_text(versions.crimson_version, sizeof versions.crimson_version);
            AdlFacts.catalyst_web_link = adl_text(versions.catalyst_web_link, sizeof versions.catalyst_web_link);
            AdlFacts.driver_date = adl_driver_date(AdlFacts.driver_version);
            gpu_report_line_queue(GPU_VENDOR_AMD, L"AMD\\DriverVer = " + AdlFacts.driver_version);
            gpu_report_line_queue(GPU_VENDOR_AMD, L"AMD\\CatalystVersion = " + AdlFacts.catalyst_version);
            gpu_report_line_queue(GPU_VENDOR_AMD, L"AMD\\CrimsonVersion = " + AdlFacts.crimson_version);
            gpu_report_line_queue(GPU_VENDOR_AMD, L"AMD\\CatalystWebLink = " + AdlFacts.catalyst_web_link);
        }
    } else {
        gpu_report_line_queue(GPU_VENDOR_AMD, L"Missing ADL2_Graphics_VersionsX2_Get");
    }
    return adl_driver_major(AdlFacts.driver_version);
}

std::wstring adl_text(const char* buffer, std::size_t size) {
    if (!buffer || size == 0) return {};
    const void* end = std::memchr(buffer, '\0', size);
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer) : size;
    return wide_from_ansi(std::string_view(buffer, length));
}

int adl_driver_major(std::wstring_view version) {
    std::size_t i = 0;
    while (i < version.size() && version[i] == L' ') ++i;
    bool negative = false;
    if (i < version.size() && (version[i] == L'+' || version[i] == L'-')) {
        negative = version[i] == L'-';
        ++i;
    }
    int value = 0;
    for (; i < version.size() && version[i] >= L'0' && version[i] <= L'9'; ++i) {
        if (value > 100000000) break;  // no driver has such a number; stops an overflow
        value = value * 10 + (version[i] - L'0');
    }
    return negative ? -value : value;
}

namespace {

// The whole number of characters [first, first + count) of `text`, or -1 when any of them is not a digit or
// the text is shorter.
int digits_at(std::wstring_view text, std::size_t first, std::size_t count) {
    if (first + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

bool leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

std::wstring adl_driver_date(std::wstring_view version) {
    const std::size_t dash = version.find(L'-');
    if (dash == std::wstring_view::npos) return {};
    std::wstring_view field = version.substr(dash + 1);
    const std::size_t next = field.find(L'-');
    if (next != std::wstring_view::npos) field = field.substr(0, next);
    const int year = digits_at(field, 0, 2);
    const int month = digits_at(field, 2, 2);
    const int day = digits_at(field, 4, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1) return {};
    static constexpr int month_days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int full_year = 2000 + year;
    const int days = month_days[month - 1] + (month == 2 && leap_year(full_year) ? 1 : 0);
    if (day > days) return {};
    DateParts parts;
    parts.year = full_year;
    parts.month = month;
    parts.day = day;
    return date_format(L"%yyyy/%mm/%dd", date_from_parts(parts));
}
