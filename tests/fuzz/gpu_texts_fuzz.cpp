// Fuzz target: the version texts of both GPU libraries as their bindings read them: the four text fields of
// the AMD versions record and the NVIDIA driver version buffer (texts that may lack their terminator), the
// driver's major number and date made of them, the CUDA version numbers as texts, and the name and
// plug-and-play texts the blocks show. Each text stays inside its field, numbers are the leading digits, a date
// is a valid day written from the digits it came from, and a version text reads back to its number.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gpu/adl_api.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_blocks.h"
#include "gpu/nvidia_gpu.h"
#include "gpu/nvml_api.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// A field's text: as long as its bytes before the first NUL (all of them without one), each ASCII byte as it is.
void field_text_check(const std::wstring& text, const char* field, std::size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : size;
    PROPERTY(text.size() == length);
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        PROPERTY(text[i] != L'\0');
        if (byte < 0x80) PROPERTY(text[i] == static_cast<wchar_t>(byte));
    }
}

// The leading whole number after `first`, when it has at most 9 digits; -1 for a longer one.
int64_t leading_number(std::wstring_view text, std::size_t first) {
    int64_t value = 0;
    std::size_t digits = 0;
    for (std::size_t i = first; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, ++digits)
        if (digits < 9) value = value * 10 + (text[i] - L'0');
    return digits <= 9 ? value : -1;
}

void driver_major_check(const std::wstring& version) {
    const int nvidia = nvml_driver_major(version);
    const int64_t nvidia_expected = leading_number(version, 0);
    PROPERTY(nvidia >= 0);
    if (nvidia_expected >= 0) PROPERTY(nvidia == nvidia_expected);

    std::size_t i = 0;
    while (i < version.size() && version[i] == L' ') ++i;
    const bool negative = i < version.size() && version[i] == L'-';
    if (i < version.size() && (version[i] == L'+' || version[i] == L'-')) ++i;
    const int amd = adl_driver_major(version);
    const int64_t amd_expected = leading_number(version, i);
    if (amd_expected >= 0) PROPERTY(amd == (negative ? -amd_expected : amd_expected));
}

int digits_value(std::wstring_view text, std::size_t first) {
    if (first + 2 > text.size()) return -1;
    if (text[first] < L'0' || text[first] > L'9' || text[first + 1] < L'0' || text[first + 1] > L'9') return -1;
    return (text[first] - L'0') * 10 + (text[first + 1] - L'0');
}

// The date comes from the six digits YYMMDD that open the second "-" field, and only from a real day.
void driver_date_check(const std::wstring& version) {
    const std::wstring date = adl_driver_date(version);
    const std::size_t dash = version.find(L'-');
    std::wstring field = dash == std::wstring::npos ? std::wstring() : version.substr(dash + 1);
    field = field.substr(0, field.find(L'-'));
    const int year = digits_value(field, 0);
    const int month = digits_value(field, 2);
    const int day = digits_value(field, 4);
    static constexpr int month_days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool valid = year >= 0 && month >= 1 && month <= 12 && day >= 1;
    if (valid) {
        const int full_year = 2000 + year;
        const bool leap = (full_year % 4 == 0 && full_year % 100 != 0) || full_year % 400 == 0;
        valid = day <= month_days[month - 1] + (month == 2 && leap ? 1 : 0);
    }
    if (!valid) {
        PROPERTY(date.empty());
        return;
    }
    PROPERTY(date == L"20" + field.substr(0, 2) + L"/" + field.substr(2, 2) + L"/" + field.substr(4, 2));
}

// "major.minor" for the binding's line; thousandths with their zeros trimmed for the view. Both read back.
void cuda_texts_check(int32_t version) {
    const std::wstring text = cuda_version_text(version);
    if (version <= 0) {
        PROPERTY(text.empty());
    } else {
        const std::size_t dot = text.find(L'.');
        PROPERTY(dot != std::wstring::npos && dot > 0 && dot + 1 < text.size());
        PROPERTY(std::stoll(text.substr(0, dot)) == version / 1000);
        PROPERTY(std::stoll(text.substr(dot + 1)) == (version % 1000) / 10);
    }

    const std::wstring view = gpu_cuda_view_text(version);
    const bool negative = view.starts_with(L"-");
    PROPERTY(negative == (version < 0));
    const std::wstring unsigned_view = negative ? view.substr(1) : view;
    const std::size_t dot = unsigned_view.find(L'.');
    PROPERTY(dot != std::wstring::npos && unsigned_view.find(L'.', dot + 1) == std::wstring::npos);
    const std::wstring whole = unsigned_view.substr(0, dot);
    std::wstring fraction = unsigned_view.substr(dot + 1);
    PROPERTY(fraction.size() <= 4 && (fraction.empty() || fraction.back() != L'0'));
    PROPERTY(whole.empty() || whole[0] != L'0');
    fraction.resize(4, L'0');
    const int64_t magnitude = (whole.empty() ? 0 : std::stoll(whole)) * 1000 + std::stoll(fraction) / 10;
    PROPERTY(magnitude == (version < 0 ? -static_cast<int64_t>(version) : version));
}

void name_texts_check(const std::wstring& text) {
    const std::wstring collapsed = spaces_collapsed(text);
    PROPERTY(collapsed.find(L"  ") == std::wstring::npos);
    std::wstring a = text;
    std::wstring b = collapsed;
    std::erase(a, L' ');
    std::erase(b, L' ');
    PROPERTY(a == b);

    const std::wstring pnp = gpu_pnp_text(text);
    PROPERTY(pnp.find(L'&') == std::wstring::npos && pnp.find(L'\\') == std::wstring::npos);
    PROPERTY(pnp.size() <= text.size());
    if (text.find(L'\\') == std::wstring::npos) PROPERTY(pnp.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int32_t cuda = input.ConsumeIntegral<int32_t>();
    AdlVersionsInfoX2 versions{};
    const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(sizeof versions);
    if (!bytes.empty()) std::memcpy(&versions, bytes.data(), bytes.size());

    // As the AMD binding reads the record.
    for (const char* field :
         {versions.driver_version, versions.catalyst_version, versions.crimson_version, versions.catalyst_web_link})
        field_text_check(adl_text(field, ADL_TEXT_BYTES), field, ADL_TEXT_BYTES);
    const std::wstring driver = adl_text(versions.driver_version, sizeof versions.driver_version);
    driver_major_check(driver);
    driver_date_check(driver);

    // As the NVIDIA binding reads its driver version buffer (the first bytes, in a buffer of its own size).
    std::vector<char> nvidia(versions.driver_version, versions.driver_version + NVML_DRIVER_VERSION_BYTES);
    const std::wstring nvidia_driver = nvml_text(nvidia.data(), nvidia.size());
    field_text_check(nvidia_driver, nvidia.data(), nvidia.size());
    driver_major_check(nvidia_driver);

    cuda_texts_check(cuda);
    name_texts_check(driver);
    return 0;
}
