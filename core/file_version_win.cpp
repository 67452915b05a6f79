// Text fields of a file's version resource, through version.dll loaded for each call.
#include "core/file_version.h"

#include <windows.h>

#include <vector>

#include "runtime/system_library_win.h"

namespace {

using GetFileVersionInfoSizeWProc = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoWProc = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueWProc = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
using VerLanguageNameWProc = DWORD(WINAPI*)(DWORD, LPWSTR, DWORD);

struct Library {
    HMODULE Handle;
    explicit Library(const wchar_t* name) : Handle(system_library_load(name)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() {
        if (Handle) FreeLibrary(Handle);
    }
};

}  // namespace

std::wstring file_version_field(const std::wstring& path, int64_t selector) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    const Library version(L"version.dll");
    if (!version.Handle) return {};
    GetFileVersionInfoSizeWProc info_size = nullptr;
    GetFileVersionInfoWProc info_read = nullptr;
    VerQueryValueWProc query = nullptr;
    VerLanguageNameWProc language_name = nullptr;
    if (!library_function_bind(version.Handle, "GetFileVersionInfoSizeW", info_size) ||
        !library_function_bind(version.Handle, "GetFileVersionInfoW", info_read) ||
        !library_function_bind(version.Handle, "VerQueryValueW", query) ||
        !library_function_bind(version.Handle, "VerLanguageNameW", language_name)) {
        return {};
    }

    DWORD unused = 0;
    const DWORD size = info_size(path.c_str(), &unused);
    if (size == 0) return {};
    std::vector<unsigned char> block(size, 0);
    if (!info_read(path.c_str(), 0, size, block.data())) return {};

    std::wstring key;
    wchar_t language[128] = {};
    void* translation = nullptr;
    UINT translation_length = 0;
    if (query(block.data(), L"\\VarFileInfo\\Translation", &translation, &translation_length) && translation &&
        translation_length >= 4) {
        const auto* words = static_cast<const uint16_t*>(translation);
        key = version_translation_key(words[0], words[1]);
        language_name(words[0], language, 128);
        language[127] = L'\0';
    }
    if (selector == 4096) return language;

    const std::wstring field = version_field_name(selector);
    if (field.empty()) return {};
    const std::wstring name = L"\\StringFileInfo\\" + key + L"\\" + field;
    void* value = nullptr;
    UINT length = 0;
    if (!query(block.data(), name.c_str(), &value, &length) || !value || length == 0) return {};
    // The length counts characters, perhaps with the terminator; the value must not be read past the block.
    const auto* text = static_cast<const wchar_t*>(value);
    const auto* block_end = reinterpret_cast<const wchar_t*>(block.data() + block.size());
    std::wstring result;
    for (UINT i = 0; i < length && text + i < block_end && text[i] != L'\0'; ++i) result += text[i];
    return result;
}
