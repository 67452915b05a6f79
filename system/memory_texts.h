// The physical-memory and page-file cells as arithmetic and texts: percentages, record rows, total lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/date.h"

inline constexpr int64_t BYTES_PER_MB = 1'048'576;

// The available share in percent, 0..100; 0 when the total is not positive.
int64_t memory_available_percent(int64_t available, int64_t total);

// The cell's value: the available amount and percent. The used text: the rest of the total and its percent.
std::wstring memory_value_text(int64_t available_mb, int64_t available_percent);
std::wstring memory_used_text(int64_t available, int64_t total, int64_t available_percent);

// A row of the high and low records: "%mm-%dd  %hh:%ii:%ss  " + label, then the free and used columns.
std::wstring memory_record_row(Date now, std::wstring_view padded_label, std::wstring_view value_text,
                               std::wstring_view used_text);

// The event line of a new total: prefix + " " + translated "Memory" + ": " + the change and " = " (when
// there was a total before) + the new total.
std::wstring memory_total_line(std::wstring_view prefix, int64_t old_total, int64_t new_total);

// The label keys of the two cells, "Phys" and "Page": the first two fields of the compact labels.
std::wstring compact_label_field(std::wstring_view labels, int index);
