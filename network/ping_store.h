// The ping host store "SX-Ping.json" and its ".bak": the host list with its samples, kept between runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"

// The store's path in the data folder, and its backup (".json" replaced by ".bak").
std::wstring ping_store_path();
std::wstring ping_backup_path(std::wstring_view path);

// JSON bytes of hosts (compact UTF-8, members in the store's order).
std::string ping_hosts_serialise(const std::vector<PSys>& hosts);
// Parses JSON bytes into hosts; false when they are not JSON or the root is not an array. A member that is
// missing or of another type leaves its field 0 or empty; texts are cleaned and cut to their widths.
bool ping_hosts_parse(std::string_view bytes, std::vector<PSys>& hosts, std::wstring& error);

// Reads the store into PingHostList (under PingListMutex). A missing or empty store, or one that does not
// parse, falls back to the backup; a store that does not parse is set aside (renamed) and reported by an
// event line, never overwritten. A missing store and backup load an empty list. Returns 1 when the list now
// holds a stored list (or the empty list of a first run), 0 when nothing usable was read: the saves of this
// run then leave the files alone.
int ping_list_load(const std::wstring& path);

// Writes PingHostList, copied under PingListMutex (waiting at most lock_limit_ms; a negative limit waits for
// ever), through a temporary file moved over the store; the previous store becomes the backup. An empty list
// deletes the store and the backup. Nothing is written or deleted unless a load of this run succeeded. A
// failed write is reported once and tried again at the next save. Returns 1 when the store was written.
int ping_list_save(const std::wstring& path, int lock_limit_ms = -1);

// Forgets the load and the reported failure (tests).
void ping_store_reset();
