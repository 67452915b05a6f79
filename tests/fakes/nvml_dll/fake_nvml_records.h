// The records and result codes of the NVIDIA management library as our fake library declares them, written
// from the library's published interface and not from the program's header, so that a layout mistake in one
// shows against the other (tests/gpu/nvml_records_test.cpp compares them).
#pragma once

#include <cstddef>
#include <cstdint>

namespace fake_nvml {

enum Result : int {
    SUCCESS = 0,
    UNINITIALIZED = 1,
    INVALID_ARGUMENT = 2,
    NOT_SUPPORTED = 3,
    NOT_FOUND = 6,
    INSUFFICIENT_SIZE = 7,
    FUNCTION_NOT_FOUND = 13,
    CORRUPTED_INFOROM = 14,
};

// Frame-buffer memory in bytes.
struct Memory {
    uint64_t total;
    uint64_t free;
    uint64_t used;
};
static_assert(sizeof(Memory) == 24 && alignof(Memory) == 8);
static_assert(offsetof(Memory, total) == 0 && offsetof(Memory, free) == 8 && offsetof(Memory, used) == 16);

// Percent of the last sample period.
struct Utilization {
    uint32_t gpu;
    uint32_t memory;
};
static_assert(sizeof(Utilization) == 8);
static_assert(offsetof(Utilization, gpu) == 0 && offsetof(Utilization, memory) == 4);

// The layout that the _v3 PCI query fills.
struct PciInfo {
    char bus_id_legacy[16];  // "DDDD:BB:DD.0"
    uint32_t domain;
    uint32_t bus;
    uint32_t device;
    uint32_t pci_device_id;  // device id in the high 16 bits, vendor id 0x10DE in the low 16
    uint32_t pci_subsystem_id;
    char bus_id[32];  // "DDDDDDDD:BB:DD.0"
};
static_assert(sizeof(PciInfo) == 68 && alignof(PciInfo) == 4);
static_assert(offsetof(PciInfo, bus_id_legacy) == 0 && offsetof(PciInfo, domain) == 16 &&
              offsetof(PciInfo, bus) == 20 && offsetof(PciInfo, device) == 24 &&
              offsetof(PciInfo, pci_device_id) == 28 && offsetof(PciInfo, pci_subsystem_id) == 32 &&
              offsetof(PciInfo, bus_id) == 36);

// The older layout that the plain PCI query writes: the same first 36 bytes, then four reserved words.
struct PciInfoOld {
    char bus_id[16];
    uint32_t domain;
    uint32_t bus;
    uint32_t device;
    uint32_t pci_device_id;
    uint32_t pci_subsystem_id;
    uint32_t reserved[4];
};
static_assert(sizeof(PciInfoOld) == 52);
static_assert(offsetof(PciInfoOld, pci_device_id) == 28 && offsetof(PciInfoOld, reserved) == 36);

// Text buffer sizes in bytes with the NUL that the library promises are enough; a smaller buffer gets
// INSUFFICIENT_SIZE.
enum TextBytes : uint32_t {
    DRIVER_VERSION_BYTES = 80,
    VERSION_BYTES = 80,
    NAME_BYTES = 96,
    UUID_BYTES = 96,
    SERIAL_BYTES = 30,
    PART_NUMBER_BYTES = 80,
    INFOROM_BYTES = 16,
    VBIOS_BYTES = 32,
};

}  // namespace fake_nvml
