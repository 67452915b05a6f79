// The ICO directory: a 6-byte header (0, type 1, count), then 16-byte entries, little-endian.
#include "runtime/gui/image/ico_directory.h"

#include <cstdlib>

namespace {

uint32_t read_u16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8);
}

uint32_t read_u32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return read_u16(bytes, at) | (read_u16(bytes, at + 2) << 16);
}

}  // namespace

bool ico_find_image(std::span<const std::uint8_t> bytes, int wanted, IcoImage* image) {
    constexpr std::size_t HEADER = 6;
    constexpr std::size_t ENTRY = 16;
    if (bytes.size() < HEADER || read_u16(bytes, 0) != 0 || read_u16(bytes, 2) != 1) return false;
    const std::size_t count = read_u16(bytes, 4);
    bool found = false;
    for (std::size_t index = 0; index < count; ++index) {
        const std::size_t at = HEADER + index * ENTRY;
        if (at + ENTRY > bytes.size()) break;
        IcoImage entry;
        entry.width = bytes[at] == 0 ? 256 : bytes[at];
        entry.height = bytes[at + 1] == 0 ? 256 : bytes[at + 1];
        entry.size = read_u32(bytes, at + 8);
        entry.offset = read_u32(bytes, at + 12);
        if (entry.size == 0 || entry.offset > bytes.size() || entry.size > bytes.size() - entry.offset) continue;
        if (!found || std::abs(entry.width - wanted) < std::abs(image->width - wanted)) {
            *image = entry;
            found = true;
        }
    }
    return found;
}
