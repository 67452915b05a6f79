// The decoder of the data of "disk" events: the driver's error log packet and the SCSI request, command and
// sense bytes that follow it, as a full table or as a one-line summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Decodes `length` bytes at `data`. short_form: the operation and the status joined by one "\" (the
// disk-error watcher's summary); otherwise the table of every field with offset, size, value and meaning,
// the raw hexadecimal bytes and the length. Never reads outside the given bytes: a field that does not lie
// wholly inside them shows "--" as its value (and an unknown status in the summary).
std::wstring disk_error_decode(const uint8_t* data, std::size_t length, bool short_form);
