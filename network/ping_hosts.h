// The ping host list's own procedures: address texts and keys, adding, deleting, resetting, selecting and
// sorting hosts, the range clean-up and the counting after a round. Each change of the list's membership
// or order holds PingListMutex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"
#include "runtime/date.h"
#include "ui/ping_tab_view.h"

inline constexpr int PING_HOST_TEXT_MAX = 40;  // characters of a host's description

// Sample markers besides round-trip times.
// The marks are the Ping tab's, which draws them.
inline constexpr int64_t SAMPLE_TIMED_OUT = PING_SAMPLE_TIMED_OUT;
inline constexpr int64_t SAMPLE_RESUMED = PING_SAMPLE_RESUMED;
inline constexpr int64_t SAMPLE_INACTIVE = PING_SAMPLE_INACTIVE;

// "1.2.3.4" for an address with the first octet in the lowest byte.
std::wstring ipv4_text(uint32_t address);
// The address of a dotted text of four decimal octets (0..255, 1 to 3 digits each, nothing else); none
// for anything else.
std::optional<uint32_t> ipv4_parse(std::wstring_view text);
// Address sort key: the octets padded to three digits and read as one number (192.168.1.5 gives 192168001005);
// 0 for a text that is not an address.
int64_t ipv4_sort_key(std::wstring_view text);

// Creation key: the date's seconds, ".", and the last three digits of milliseconds - phase_ms.
std::wstring ping_creation_key(Date now, int64_t milliseconds, int64_t phase_ms);
// A creation key for now, later than every key this process made before (keys made in one go differ).
std::wstring ping_creation_key_next();

// A new host record for an address: active, no replies yet.
PSys ping_host_make(uint32_t address, std::wstring host);

// Result of ping_host_add.
enum PingAddResult : int {
    PING_ADD_APPENDED = 0,
    PING_ADD_DUPLICATE = 1,  // the address is listed already; the list is unchanged
    PING_ADD_UPDATED = 2,    // the address is listed already; its description was replaced
    PING_ADD_FULL = 3,       // the list holds max_hosts hosts
};
// Adds one host at the end. update_description: a listed address gets the description (lower case, cut)
// instead of being refused as a duplicate. The description is trimmed and cut to PING_HOST_TEXT_MAX; it is
// left empty when it equals the address's text.
PingAddResult ping_host_add(uint32_t address, const std::wstring& description, bool update_description, int max_hosts);

// Adds the hosts from the last octet of `from` to that of `to` (either order) in the /24 of `to`, skipping
// listed addresses, each with the mark; stops when the list holds max_hosts hosts. Returns the hosts added.
int ping_range_add(uint32_t from, uint32_t to, const std::wstring& mark, int max_hosts);

// Deletes the selected hosts (all: every host). Returns the number deleted.
int ping_hosts_delete(bool all);
// Resets the selected hosts (all: every host): counters, state and samples; Init, Actv, Host, Addr, Valu and
// Sort stay. Returns the number reset.
int ping_hosts_reset(bool all);
// Selects the active hosts that timed out and deselects every other. Returns the number selected.
int ping_hosts_select_timed_out();

// Sort column 1..7 (address, host, time, TTL, TOS, received, lost); 0 sorts by creation key. Stable.
void ping_hosts_sort(int column, bool descending);

// After a round: hosts marked "*" that got no reply are deleted, other marks are cleared. Returns the deleted.
int ping_range_clean_up();

struct PingRoundCounts {
    int up = 0;
    int down = 0;
};
// After a round: counters, states and one sample per host (at most samples_max kept).
PingRoundCounts ping_round_count(Date now, int samples_max);

// After a load: creation keys, sort keys, the -1 markers, host texts cut and lowered, and the resumed sample.
void ping_hosts_prepare(Date now, int samples_max);

// Appends a sample, dropping the oldest while samples_max or more are kept.
void ping_samples_append(PSys& host, PValues sample, int samples_max);

// Host count under the lock.
int ping_host_count();
// A copy of the host at a 0-based index in list order; none when there is no such host.
std::optional<PSys> ping_host_copy(int index);

// The ping cell's value text for the counts; none when it keeps its text (7 digits or more).
std::optional<std::wstring> ping_cell_text(int up, int down);
