// The field names of version resources and their translation keys.
#include "core/file_version.h"

#include "core/format_text.h"

std::wstring version_field_name(int64_t selector) {
    switch (selector) {
        case 1: return L"FileVersion";
        case 2: return L"FileDescription";
        case 4: return L"LegalCopyright";
        case 8: return L"InternalName";
        case 16: return L"OriginalFilename";
        case 32: return L"ProductName";
        case 64: return L"ProductVersion";
        case 128: return L"CompanyName";
        case 256: return L"LegalTrademarks";
        case 512: return L"SpecialBuild";
        case 1024: return L"PrivateBuild";
        case 2048: return L"Comments";
        case 4096: return L"Language";
        case 4097: return L"Email";
        case 4098: return L"Website";
        case 4099: return L"Special";
        default: return {};
    }
}

std::wstring version_translation_key(uint16_t language, uint16_t code_page) {
    std::wstring key;
    for (const uint16_t word : {language, code_page}) {
        for (int shift = 12; shift >= 0; shift -= 4) key += HEX_DIGITS[(word >> shift) & 0xF];
    }
    return key;
}
