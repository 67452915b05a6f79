// The physical-memory and page-file cells as arithmetic and texts.
#include "system/memory_texts.h"

#include <algorithm>
#include <cstdint>

#include "core/format_bytes.h"
#include "core/format_text.h"
#include "core/language.h"
#include "runtime/text.h"

int64_t memory_available_percent(int64_t available, int64_t total) {
    if (total <= 0 || available <= 0) return 0;
    if (available >= total) return 100;
    // Exact for any amount of memory a computer has; beyond 92 PB the divisor is scaled instead.
    const int64_t percent = available <= INT64_MAX / 100 ? available * 100 / total : available / (total / 100);
    return std::clamp<int64_t>(percent, 0, 100);
}

std::wstring memory_value_text(int64_t available_mb, int64_t available_percent) {
    return format_memory_mb(available_mb, static_cast<int32_t>(available_percent));
}

std::wstring memory_used_text(int64_t available, int64_t total, int64_t available_percent) {
    const int64_t used = total > available ? total - available : 0;
    return format_memory_mb(used / BYTES_PER_MB, static_cast<int32_t>(100 - available_percent));
}

std::wstring memory_record_row(Date now, std::wstring_view padded_label, std::wstring_view value_text,
                               std::wstring_view used_text) {
    return date_format(L"%mm-%dd  %hh:%ii:%ss  ", now) + std::wstring(padded_label) + L"\n" + std::wstring(value_text) +
           L"\n" + std::wstring(used_text);
}

std::wstring memory_total_line(std::wstring_view prefix, int64_t old_total, int64_t new_total) {
    std::wstring line = std::wstring(prefix) + L" " + tr(L"Memory") + L": ";
    if (old_total != 0) line += format_bytes_delta(L"", new_total, old_total, L"") + L" = ";
    return line + format_bytes(new_total, FORMAT_BYTES_MEMORY);
}

std::wstring compact_label_field(std::wstring_view labels, int index) {
    const auto fields = text_split(labels, L',');
    if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return {};
    return fields[index];
}
