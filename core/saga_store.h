// The session history "SX-Saga.json": the rows of the three session event lists, kept between runs.
#pragma once

#include <string>
#include <string_view>

#include "core/shared_tables.h"

// The history's path in the data folder and its backup (".json" replaced by ".bak").
std::wstring saga_file_path();
std::wstring saga_backup_path(std::wstring_view path);

// JSON bytes of the records (compact, UTF-8 without byte-order mark).
std::string saga_records_serialise(const std::vector<SSys>& records);
// Parses JSON bytes into records; false when they are not JSON or the root is not an array.
bool saga_records_parse(std::string_view bytes, std::vector<SSys>& records, std::wstring& error);

// Puts the stored rows back into LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS and LIST_STORAGE_MONITOR (start-up, before
// workers and before "started"). A missing or empty file is replaced by its backup; an unreadable or damaged file is
// set aside, the backup is read instead, and an event line tells. Returns 1 when a history was read while the option is
// on.
int saga_lists_load(const std::wstring& path);

// Saves the three lists while OPT_RESTORE_SESSION is on (the previous file becomes the backup, unless it was
// damaged); with the option off, or all lists empty, deletes the file and its backup. A failed write is
// reported once by an event line and tried again at the next save. Returns 1 when a file was written.
int saga_lists_save(const std::wstring& path);

// Forgets that a load has run and that a failed write was reported (tests).
void saga_store_reset();
