// The NVIDIA library's records and codes as the program declares them against the declarations of our fake
// library, which were written apart from the program's: every field at the same offset with the same size.
#include <gtest/gtest.h>

#include <cstddef>

#include "gpu/nvml_api.h"
#include "tests/fakes/nvml_dll/fake_nvml_records.h"

namespace {

struct FieldPair {
    const char* name;
    std::size_t ours_offset;
    std::size_t ours_size;
    std::size_t fake_offset;
    std::size_t fake_size;
};

template <typename Record, typename Field>
std::size_t offset_of(Field Record::*member) {
    static const Record record{};
    return static_cast<std::size_t>(reinterpret_cast<const char*>(&(record.*member)) -
                                    reinterpret_cast<const char*>(&record));
}

// The offset and size of a field of our record and of the fake's record.
template <typename Ours, typename OursField, typename Fake, typename FakeField>
FieldPair field_pair(const char* name, OursField Ours::*ours, FakeField Fake::*fake) {
    return {name, offset_of(ours), sizeof(OursField), offset_of(fake), sizeof(FakeField)};
}

TEST(NvmlRecords, EveryFieldLiesWhereTheFakeLibraryPutsIt) {
    using namespace fake_nvml;
    const FieldPair fields[] = {
        field_pair("NvmlMemory.total", &NvmlMemory::total, &Memory::total),
        field_pair("NvmlMemory.free", &NvmlMemory::free, &Memory::free),
        field_pair("NvmlMemory.used", &NvmlMemory::used, &Memory::used),
        field_pair("NvmlUtilization.gpu", &NvmlUtilization::gpu, &Utilization::gpu),
        field_pair("NvmlUtilization.memory", &NvmlUtilization::memory, &Utilization::memory),
        field_pair("NvmlPciInfo.bus_id_legacy", &NvmlPciInfo::bus_id_legacy, &PciInfo::bus_id_legacy),
        field_pair("NvmlPciInfo.domain", &NvmlPciInfo::domain, &PciInfo::domain),
        field_pair("NvmlPciInfo.bus", &NvmlPciInfo::bus, &PciInfo::bus),
        field_pair("NvmlPciInfo.device", &NvmlPciInfo::device, &PciInfo::device),
        field_pair("NvmlPciInfo.pci_device_id", &NvmlPciInfo::pci_device_id, &PciInfo::pci_device_id),
        field_pair("NvmlPciInfo.pci_subsystem_id", &NvmlPciInfo::pci_subsystem_id, &PciInfo::pci_subsystem_id),
        field_pair("NvmlPciInfo.bus_id", &NvmlPciInfo::bus_id, &PciInfo::bus_id),
        // The older query writes its shorter record into the same buffer: what the program reads of it (the
        // bus id text and the PCI device id) lies where the older record has it.
        field_pair("older record: bus id", &NvmlPciInfo::bus_id_legacy, &PciInfoOld::bus_id),
        field_pair("older record: PCI device id", &NvmlPciInfo::pci_device_id, &PciInfoOld::pci_device_id),
    };
    for (const FieldPair& field : fields) {
        EXPECT_EQ(field.ours_offset, field.fake_offset) << field.name;
        EXPECT_EQ(field.ours_size, field.fake_size) << field.name;
    }
    EXPECT_EQ(sizeof(NvmlMemory), sizeof(Memory));
    EXPECT_EQ(sizeof(NvmlUtilization), sizeof(Utilization));
    EXPECT_EQ(sizeof(NvmlPciInfo), sizeof(PciInfo));
    EXPECT_GE(sizeof(NvmlPciInfo), sizeof(PciInfoOld)) << "the older query must not write past the buffer";
}

TEST(NvmlRecords, CodesAndTextBuffersAgreeWithTheFakeLibrary) {
    using namespace fake_nvml;
    EXPECT_EQ(NVML_OK, SUCCESS);
    EXPECT_EQ(NVML_INSUFFICIENT_SIZE, INSUFFICIENT_SIZE);
    EXPECT_EQ(NVML_FUNCTION_NOT_FOUND, FUNCTION_NOT_FOUND);
    EXPECT_EQ(NVML_CLOCK_GRAPHICS, 0);
    EXPECT_EQ(NVML_CLOCK_SM, 1);
    EXPECT_EQ(NVML_CLOCK_MEMORY, 2);
    EXPECT_EQ(NVML_CLOCK_VIDEO, 3);
    // A buffer below what the library promises to be enough may be refused.
    const std::size_t buffers[][2] = {
        {NVML_DRIVER_VERSION_BYTES, DRIVER_VERSION_BYTES},
        {NVML_VERSION_BYTES, VERSION_BYTES},
        {NVML_NAME_BYTES, NAME_BYTES},
        {NVML_UUID_BYTES, UUID_BYTES},
        {NVML_SERIAL_BYTES, SERIAL_BYTES},
        {NVML_PART_NUMBER_BYTES, PART_NUMBER_BYTES},
        {NVML_INFOROM_BYTES, INFOROM_BYTES},
        {NVML_VBIOS_BYTES, VBIOS_BYTES},
    };
    for (const auto& buffer : buffers) EXPECT_GE(buffer[0], buffer[1]);
}

}  // namespace
