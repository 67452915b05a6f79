// The ANSI code page on Windows: the code page of the system locale.
#include "runtime/text.h"

#include <windows.h>

#include <climits>

std::wstring wide_from_ansi(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(bytes.size());
    // Without MB_ERR_INVALID_CHARS a byte the code page lacks becomes its default character instead of failing the
    // whole text.
    const int count = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (count <= 0) return {};
    std::wstring text(static_cast<size_t>(count), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), count);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}
