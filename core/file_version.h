// Text fields of a file's version resource.
#pragma once

#include <cstdint>
#include <string>

// The field name of a selector: 1 "FileVersion", 2 "FileDescription", 4 "LegalCopyright", 8 "InternalName",
// 16 "OriginalFilename", 32 "ProductName", 64 "ProductVersion", 128 "CompanyName", 256 "LegalTrademarks",
// 512 "SpecialBuild", 1024 "PrivateBuild", 2048 "Comments", 4096 "Language", 4097 "Email", 4098 "Website",
// 4099 "Special"; the empty text for any other value.
std::wstring version_field_name(int64_t selector);

// The field of the file's first translation, or for 4096 the name of that translation's language. The empty
// text when the file, the version library, the resource or the field is missing. Loads version.dll for the
// call only; any thread.
std::wstring file_version_field(const std::wstring& path, int64_t selector);

// "\\StringFileInfo\\" + key + "\\" + field, the translation key being language and code page in four
// upper-case hexadecimal digits each (0x0409, 0x04B0 give "040904B0").
std::wstring version_translation_key(uint16_t language, uint16_t code_page);
