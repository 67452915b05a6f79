// Descriptions of file errors, shared by the stores' loaders.
#include "runtime/file_io.h"

std::wstring file_error_text(FileError error, size_t max_bytes) {
    switch (error) {
        case FILE_OK: return {};
        case FILE_MISSING: return L"the file does not exist";
        case FILE_TOO_LARGE: return L"the file is larger than " + std::to_wstring(max_bytes) + L" bytes";
        default: return L"the file cannot be read";
    }
}
