// Picking one column out of a list row.
#include "runtime/gui/list_view/list_row_columns.h"

std::wstring_view list_row_column(std::wstring_view row, int column) {
    if (column < 0) return {};
    std::size_t start = 0;
    for (int skipped = 0; skipped < column; ++skipped) {
        const std::size_t separator = row.find(L'\n', start);
        if (separator == std::wstring_view::npos) return {};
        start = separator + 1;
    }
    const std::size_t end = row.find(L'\n', start);
    return row.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
}
