// The ping host store "SX-Ping.json" and its ".bak": the host list with its samples, kept between runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/json_file_store.h"
#include "core/shared_tables.h"

// The store's path in the data folder, and its backup (".json" replaced by ".bak").
std::wstring ping_store_path();
std::wstring ping_backup_path(std::wstring_view path);

// JSON bytes of hosts (compact UTF-8, members in the store's order), as the store holds them.
std::string ping_hosts_serialise(const std::vector<PSys>& hosts);
// Parses JSON bytes into hosts, all of them; false when they are not JSON or the root is not an array. A member
// that is missing or of another type leaves its field 0 or empty; texts are cleaned and cut to their widths.
bool ping_hosts_parse(std::string_view bytes, std::vector<PSys>& hosts, std::wstring& error);

// Reads the store into PingHostList (under PingListMutex), streaming: at most PING_HOSTS_MAX hosts, the first
// ones, each with its newest PING_SAMPLES_MAX samples, the limits of the list itself. The life cycle is
// json_file_store_load's: a missing or empty store falls back to the backup, and a file that cannot be used or holds
// more than the list keeps is set aside and reported in the Network Events. Returns 1 when the list now holds a
// stored list (or the empty list of a first run), 0 when nothing was read (the list is left as it was).
int ping_list_load(const std::wstring& path);

// Writes PingHostList, copied under PingListMutex (waiting at most lock_limit_ms; a negative limit waits for
// ever), host by host into a temporary file moved over the store; the previous store becomes the backup. An
// empty list deletes the store and the backup. Nothing is written or deleted before a load of this run. A failed
// write, running out of memory included, is reported once and tried again at the next save. Returns 1 when the
// store was written.
int ping_list_save(const std::wstring& path, int lock_limit_ms = -1);

// Forgets the load and the reported failure and goes back to the real file calls (tests).
void ping_store_reset();
// Replaces the store's file and allocation calls until the next reset (tests).
void ping_store_calls_set(const JsonStoreCalls& calls);
