// The drive letters present and the rebuild of the drive table from them: types, volumes, space, network
// paths, audio CDs, drives found, lost or in error, aliases and the order of the drive cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/drive_facts.h"
#include "system/drive_work.h"

// Letters tried when the root list cannot be read.
inline constexpr wchar_t FALLBACK_DRIVE_LETTERS[] = L"CDEFGHIJKLMNOPQRSTUVWXYZ";

// One letter per root, in the order listed; below Windows build 1504 a leading A and then a leading B
// (the floppy letters) are left out.
std::wstring drive_letters_from_roots(const std::vector<std::wstring>& roots, int windows_build);

// The letters of the drives present; the empty text once QUIT_FLAG is set.
std::wstring drive_letters_read(const DrivePlatform& platform);

// The name of a WNetGetConnectionW error ("ERROR_NOT_CONNECTED", "UNKNOWN ERROR 5").
std::wstring network_error_text(int code);

// The info lines of a drive's found or lost block, in the order they are added to the Storage Monitor list.
void drive_info_lines(const DriveEntry& drive, DriveNotes& notes);

// Rebuilds drives 1 to 26 and the drive cells of the working copy from DRIVE_LETTERS and sets the
// drive counts and widths in the shared state; the lines to report go to `notes`.
void drive_rescan_run(DriveWork& work, DriveNotes& notes, const DrivePlatform& platform);
