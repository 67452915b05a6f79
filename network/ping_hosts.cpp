// The ping host list's own procedures: addresses, adds, deletes, resets, selection, sorting and round counting.
#include "network/ping_hosts.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "core/shared_state.h"
#include "network/host_naming.h"
#include "runtime/text.h"

namespace {

std::list<PSys>::iterator host_with_address(uint32_t address) {
    return std::find_if(PingHostList.begin(), PingHostList.end(),
                        [address](const PSys& host) { return static_cast<uint32_t>(host.Valu) == address; });
}

std::wstring text_cut(std::wstring text, size_t width) {
    if (text.size() > width) text.resize(width);
    return text;
}

void host_reset(PSys& host) {
    host.HiLi = 0;
    host.Last = 0;
    host.Lost = 0;
    host.Down = 0;
    host.Recv = 0;
    host.Sent = 0;
    host.Time = 0;
    host.PTOS = 0;
    host.PTTL = 0;
    host.Best = -1;
    host.Wors = -1;
    host.PV.clear();
}

// The last key handed out, as milliseconds since 1970, so that keys of one run only grow.
std::atomic<int64_t> last_key_ms{0};

}  // namespace

std::wstring ipv4_text(uint32_t address) {
    return std::to_wstring(address & 0xFF) + L"." + std::to_wstring((address >> 8) & 0xFF) + L"." +
           std::to_wstring((address >> 16) & 0xFF) + L"." + std::to_wstring(address >> 24);
}

std::optional<uint32_t> ipv4_parse(std::wstring_view text) {
    uint32_t address = 0;
    int octets = 0;
    size_t at = 0;
    while (octets < 4) {
        int digits = 0;
        uint32_t value = 0;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && digits < 4) {
            value = value * 10 + static_cast<uint32_t>(text[at] - L'0');
            ++digits;
            ++at;
        }
        if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
        address |= value << (8 * octets);
        ++octets;
        if (octets < 4) {
            if (at >= text.size() || text[at] != L'.') return std::nullopt;
            ++at;
        }
    }
    if (at != text.size()) return std::nullopt;
    return address;
}

int64_t ipv4_sort_key(std::wstring_view text) {
    const std::optional<uint32_t> address = ipv4_parse(text);
    if (!address) return 0;
    int64_t key = 0;
    for (int octet = 0; octet < 4; ++octet) key = key * 1000 + ((*address >> (8 * octet)) & 0xFF);
    return key;
}

std::wstring ping_creation_key(Date now, int64_t milliseconds, int64_t phase_ms) {
    std::wstring digits = std::to_wstring(milliseconds - phase_ms);
    while (digits.size() < 3) digits.insert(0, 1, L'0');
    return std::to_wstring(now) + L"." + digits.substr(digits.size() - 3);
}

std::wstring ping_creation_key_next() {
    const Date now = date_now();
    int64_t ms = millisecond_clock() - SecondPhaseMs.load();
    int64_t key = now * 1000 + ((ms % 1000) + 1000) % 1000;
    // Keys made within one millisecond, or after the clock's phase drifted, still grow.
    int64_t last = last_key_ms.load();
    while (true) {
        const int64_t next = std::max(key, last + 1);
        if (last_key_ms.compare_exchange_weak(last, next)) {
            key = next;
            break;
        }
    }
    return ping_creation_key(key / 1000, key % 1000, 0);
}

PSys ping_host_make(uint32_t address, std::wstring host) {
    PSys record;
    record.Init = ping_creation_key_next();
    record.Host = std::move(host);
    record.Addr = ipv4_text(address);
    record.Valu = address;
    record.Sort = ipv4_sort_key(record.Addr);
    record.Actv = 1;
    record.Best = -1;
    record.Wors = -1;
    return record;
}

PingAddResult ping_host_add(uint32_t address, const std::wstring& description, bool update_description, int max_hosts) {
    std::wstring text = text_cut(host_text_clean(text_trim(description)), PING_HOST_TEXT_MAX);
    std::lock_guard guard(PingListMutex);
    if (static_cast<int>(PingHostList.size()) >= max_hosts) return PING_ADD_FULL;
    const auto found = host_with_address(address);
    if (found != PingHostList.end()) {
        if (!update_description) return PING_ADD_DUPLICATE;
        found->Host = text_lower_ascii(text);
        found->HiLi = 0;
        return PING_ADD_UPDATED;
    }
    if (description == ipv4_text(address)) text.clear();
    PingHostList.push_back(ping_host_make(address, std::move(text)));
    return PING_ADD_APPENDED;
}

int ping_range_add(uint32_t from, uint32_t to, const std::wstring& mark, int max_hosts) {
    uint32_t first = from >> 24;
    uint32_t last = to >> 24;
    if (first > last) std::swap(first, last);
    const uint32_t network = to & 0x00FFFFFF;
    int added = 0;
    std::lock_guard guard(PingListMutex);
    for (uint32_t octet = first; octet <= last; ++octet) {
        if (static_cast<int>(PingHostList.size()) >= max_hosts) break;
        const uint32_t address = network | (octet << 24);
        if (host_with_address(address) != PingHostList.end()) continue;
        PingHostList.push_back(ping_host_make(address, mark));
        ++added;
    }
    return added;
}

int ping_hosts_delete(bool all) {
    std::lock_guard guard(PingListMutex);
    if (all) {
        const int count = static_cast<int>(PingHostList.size());
        PingHostList.clear();
        return count;
    }
    const size_t before = PingHostList.size();
    PingHostList.remove_if([](const PSys& host) { return host.HiLi == 1; });
    return static_cast<int>(before - PingHostList.size());
}

int ping_hosts_reset(bool all) {
    std::lock_guard guard(PingListMutex);
    int count = 0;
    for (PSys& host : PingHostList) {
        if (!all && host.HiLi != 1) continue;
        host_reset(host);
        ++count;
    }
    return count;
}

int ping_hosts_select_timed_out() {
    std::lock_guard guard(PingListMutex);
    int count = 0;
    for (PSys& host : PingHostList) {
        host.HiLi = host.Time == -1 && host.Actv == 1 ? 1 : 0;
        count += host.HiLi;
    }
    return count;
}

void ping_hosts_sort(int column, bool descending) {
    auto less = [column](const PSys& a, const PSys& b) {
        switch (column) {
            case 1: return a.Sort < b.Sort;
            case 2: return a.Host < b.Host;
            case 3: return a.Time < b.Time;
            case 4: return a.PTTL < b.PTTL;
            case 5: return a.PTOS < b.PTOS;
            case 6: return a.Recv < b.Recv;
            case 7: return a.Lost < b.Lost;
            default: return a.Init < b.Init;
        }
    };
    std::lock_guard guard(PingListMutex);
    // std::list::sort is a stable merge sort.
    if (descending) {
        PingHostList.sort([&less](const PSys& a, const PSys& b) { return less(b, a); });
    } else {
        PingHostList.sort(less);
    }
}

int ping_range_clean_up() {
    std::lock_guard guard(PingListMutex);
    int deleted = 0;
    for (auto host = PingHostList.begin(); host != PingHostList.end();) {
        if (host->Host == L"*" && host->Time == -1) {
            host = PingHostList.erase(host);
            ++deleted;
            continue;
        }
        if (host->Host == L"*" || host->Host == L"+") host->Host.clear();
        ++host;
    }
    return deleted;
}

void ping_samples_append(PSys& host, PValues sample, int samples_max) {
    const size_t keep = static_cast<size_t>(std::max(samples_max, 1));
    while (host.PV.size() >= keep) host.PV.pop_front();
    host.PV.push_back(sample);
}

PingRoundCounts ping_round_count(Date now, int samples_max) {
    PingRoundCounts counts;
    std::lock_guard guard(PingListMutex);
    for (PSys& host : PingHostList) {
        if (host.Actv != 1) {
            ping_samples_append(host, {now, SAMPLE_INACTIVE}, samples_max);
            continue;
        }
        ++host.Sent;
        if (host.Time == -1) {
            ++host.Lost;
            if (host.Last != -1) host.Down = now;
            host.Last = -1;
            ++counts.down;
        } else {
            ++counts.up;
            if (host.Time > host.Wors || host.Wors == -1) host.Wors = host.Time;
            if (host.Time < host.Best || host.Best == -1) host.Best = host.Time;
            ++host.Recv;
            host.Last = 1;
        }
        ping_samples_append(host, {now, host.Time}, samples_max);
    }
    return counts;
}

void ping_hosts_prepare(Date now, int samples_max) {
    std::lock_guard guard(PingListMutex);
    for (PSys& host : PingHostList) {
        if (host.Init.empty()) host.Init = ping_creation_key_next();
        if (host.Sort == 0) host.Sort = ipv4_sort_key(host.Addr);
        host.Host = text_lower_ascii(text_cut(host_text_clean(host.Host), PING_HOST_TEXT_MAX));
        if (host.Best == 0) host.Best = -1;
        if (host.Wors == 0) host.Wors = -1;
        ping_samples_append(host, {now, SAMPLE_RESUMED}, samples_max);
    }
}

int ping_host_count() {
    std::lock_guard guard(PingListMutex);
    return static_cast<int>(PingHostList.size());
}

std::optional<PSys> ping_host_copy(int index) {
    std::lock_guard guard(PingListMutex);
    if (index < 0 || index >= static_cast<int>(PingHostList.size())) return std::nullopt;
    return *std::next(PingHostList.begin(), index);
}

std::optional<std::wstring> ping_cell_text(int up, int down) {
    const std::wstring u = std::to_wstring(up);
    const std::wstring d = std::to_wstring(down);
    const size_t digits = u.size() + d.size();
    std::wstring text;
    if (digits <= 3) {
        text = L" " + u + L"\u25B2 " + d + L"\u25BC";
        text.resize(8, L' ');
    } else if (digits == 4) {
        text = L" " + u + L"\u25B2 " + d + L"\u25BC";
    } else if (digits == 5) {
        text = u + L"\u25B2 " + d + L"\u25BC";
    } else if (digits == 6) {
        text = u + L"\u25B2" + d + L"\u25BC";
    } else {
        return std::nullopt;
    }
    return text;
}
