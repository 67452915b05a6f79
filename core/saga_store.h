// The session history "SX-Saga.json": the rows of the three session event lists, kept between runs.
#pragma once

#include <string>
#include <string_view>

#include "core/json_file_store.h"
#include "core/shared_tables.h"

// The history's path in the data folder and its backup (".json" replaced by ".bak").
std::wstring saga_file_path();
std::wstring saga_backup_path(std::wstring_view path);

// JSON bytes of the records (compact, UTF-8 without byte-order mark).
std::string saga_records_serialise(const std::vector<SSys>& records);
// Parses JSON bytes into records; false when they are not JSON or the root is not an array.
bool saga_records_parse(std::string_view bytes, std::vector<SSys>& records, std::wstring& error);

// Puts the stored rows back into LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS and LIST_STORAGE_MONITOR (start-up, before
// workers and before "started"). The files go through json_file_store_load whatever the option says: a missing or
// empty file is replaced by its backup; an unreadable or damaged file is set aside, the backup is read instead, and a
// System Events line tells. Returns 1 when a history was read while the option is on.
int saga_lists_load(const std::wstring& path);

// Saves the three lists while OPT_RESTORE_SESSION is on, streaming (the previous file becomes the backup, or is set
// aside when it is damaged); with the option off, or all lists empty, deletes the file and its backup. Nothing is
// written or deleted before the load has run. A failed write, running out of memory included, is reported once by an
// event line and tried again at the next save. Returns 1 when a file was written.
int saga_lists_save(const std::wstring& path);

// Forgets that a load has run and that a failed write was reported, and goes back to the real file calls (tests).
void saga_store_reset();
// Replaces the store's file and allocation calls until the next reset (tests).
void saga_store_calls_set(const JsonStoreCalls& calls);
