// The processor brand text from CPUID leaves 0x80000002 to 0x80000004.
#include <cpuid.h>

#include <cstring>

#include "core/startup_facts.h"

std::wstring cpu_brand_text() {
    unsigned int registers[12] = {};
    unsigned int highest = __get_cpuid_max(0x80000000u, nullptr);
    if (highest < 0x80000004u) return {};
    for (unsigned int leaf = 0; leaf < 3; ++leaf) {
        __get_cpuid(0x80000002u + leaf, &registers[leaf * 4], &registers[leaf * 4 + 1], &registers[leaf * 4 + 2],
                    &registers[leaf * 4 + 3]);
    }
    char brand[49] = {};
    std::memcpy(brand, registers, 48);
    std::wstring text;
    for (const char* c = brand; *c; ++c) text.push_back(static_cast<unsigned char>(*c));
    return text;
}
