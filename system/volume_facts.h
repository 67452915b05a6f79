// Volume and physical-disk facts of a drive: the volume serial with label and rename detection, and the
// disk, partition, maker and partition style behind a drive letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "system/drive_facts.h"
#include "system/drive_work.h"

// The serial as "1A2B-3C4D" (high 16 bits first, upper-case hexadecimal).
std::wstring volume_serial_text(uint32_t serial);

// Vendor and product of a STORAGE_DEVICE_DESCRIPTOR, joined by a space and trimmed. Only `length` bytes
// were returned: an offset that is 0, lies inside the fixed part of the record or at or past the end is
// ignored, and a text without its terminating zero ends at the last byte returned.
std::wstring storage_descriptor_text(const uint8_t* bytes, std::size_t length);

// "MBR", "GPT", "RAW" for the partition styles 0, 1, 2; the empty text otherwise.
std::wstring partition_style_text(int32_t style);

// "disk:partition" ("0:2", "10:12"), "disk:-" when the partition is unknown, empty when the disk is.
std::wstring device_partition_text(int32_t device_number, int32_t partition_number);

enum VolumeSerialUse : bool { VOLUME_SERIAL_ONLY = false, VOLUME_FACTS_UPDATE = true };

// The serial of the volume at root ("D", "D:" or "D:\"), "0000-0000" when it cannot be read. With
// VOLUME_FACTS_UPDATE and a readable volume, stores label, file system and name length in the drive's entry of
// the working copy, raises VOLUME_NAME_WIDTH, and reports a changed label in `notes`.
std::wstring volume_serial(DriveWork& work, std::wstring_view root, VolumeSerialUse use, DriveNotes& notes,
                           const DrivePlatform& platform);

// Fills partition_style, device_number, partition_number, device_partition and device_text of drive
// `index` (1..26); 1 when the volume could be opened, else 0 (the fields then say "unknown"). Only a
// removable or fixed drive (by its drive_type) gets a disk number and what follows from it.
int disk_device_info(DriveWork& work, int index, const DrivePlatform& platform);
