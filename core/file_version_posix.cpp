// File version fields in the native build: there are no version resources to read.
#include "core/file_version.h"

std::wstring file_version_field(const std::wstring&, int64_t) { return {}; }
