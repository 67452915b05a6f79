// The ping host store "SX-Ping.json" and its backup through the program's load and save (ping_list_load,
// ping_list_save), the files kept in memory. The input is the store, optionally followed by NUL "BAK" NUL and the
// backup, and by NUL "OOM" and the number of the allocation that runs out of memory (fuzz_store_input).
//
// Properties: a load that reads nothing leaves the list as it was; the list holds at most PING_HOSTS_MAX hosts with
// at most PING_SAMPLES_MAX samples each and texts within their widths; no file is lost (a store or backup that is not
// used as it is stays byte for byte, in place or set aside); running out of memory in a load saves nothing after
// it, and in a save leaves the files as they were; what loads, saved and loaded again, is the same list.
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/ping_hosts.h"
#include "network/ping_store.h"
#include "runtime/list_model.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Small limits, so that inputs reach the cut often; the store reads them when a load starts.
constexpr int HOSTS_MAX = 3;
constexpr int SAMPLES_MAX = 5;

bool same_host(const PSys& a, const PSys& b) {
    if (a.Init != b.Init || a.Actv != b.Actv || a.Sent != b.Sent || a.Recv != b.Recv || a.Lost != b.Lost ||
        a.Time != b.Time || a.Best != b.Best || a.Wors != b.Wors || a.Down != b.Down || a.PTTL != b.PTTL ||
        a.PTOS != b.PTOS || a.Last != b.Last || a.Valu != b.Valu || a.Sort != b.Sort || a.HiLi != b.HiLi ||
        a.CFor != b.CFor || a.CBak != b.CBak || a.Host != b.Host || a.Addr != b.Addr || a.PV.size() != b.PV.size()) {
        return false;
    }
    for (size_t i = 0; i < a.PV.size(); ++i) {
        if (a.PV[i].S != b.PV[i].S || a.PV[i].T != b.PV[i].T) return false;
    }
    return true;
}

bool same_hosts(const std::vector<PSys>& a, const std::vector<PSys>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!same_host(a[i], b[i])) return false;
    }
    return true;
}

std::vector<PSys> list_copy() {
    std::lock_guard guard(PingListMutex);
    return {PingHostList.begin(), PingHostList.end()};
}

// A host no store holds: a load that reads nothing must leave it in the list.
PSys sentinel() {
    PSys host;
    host.Init = L"sentinel";
    host.Host = L"left as it was";
    host.Sent = -7;
    return host;
}

void list_set_sentinel() {
    std::lock_guard guard(PingListMutex);
    PingHostList.assign(1, sentinel());
}

bool is_text(const std::wstring& text) {
    for (const wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
    }
    return true;
}

void limits_check(const std::vector<PSys>& hosts) {
    fuzz_require(hosts.size() <= static_cast<size_t>(HOSTS_MAX), "at most PING_HOSTS_MAX hosts");
    for (const PSys& host : hosts) {
        fuzz_require(host.PV.size() <= static_cast<size_t>(SAMPLES_MAX), "at most PING_SAMPLES_MAX samples a host");
        fuzz_require(host.Init.size() <= 32 && host.Addr.size() <= 15 && host.Host.size() <= PING_HOST_TEXT_MAX,
                     "texts within their widths");
        fuzz_require(is_text(host.Init) && is_text(host.Addr) && is_text(host.Host), "texts without controls");
    }
}

// Starts a load of this run: the store's calls over files, the limits, the sentinel in the list.
void store_prepare(FuzzStoreFiles& files) {
    fuzz_program_reset();
    SharedInts[PING_HOSTS_MAX] = HOSTS_MAX;
    SharedInts[PING_SAMPLES_MAX] = SAMPLES_MAX;
    ping_store_reset();
    ping_store_calls_set(files.calls());
    list_set_sentinel();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzStoreInput input = fuzz_store_input(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::wstring path = fuzz_program_reset().Data + L"SX-Ping.json";

    FuzzStoreFiles files;
    files.FailingAllocation = input.FailingAllocation;
    files.put(path, input.Store);
    if (input.HasBackup) files.put(ping_backup_path(path), input.Backup);
    store_prepare(files);

    const int loaded = ping_list_load(path);
    const std::vector<PSys> hosts = list_copy();
    if (loaded == 0) {
        fuzz_require(hosts.size() == 1 && same_host(hosts[0], sentinel()), "a load that reads nothing changes nothing");
    } else {
        limits_check(hosts);
    }
    fuzz_require(input.Store.empty() || files.holds(input.Store), "the store is kept, in place or set aside");
    fuzz_require(!input.HasBackup || input.Backup.empty() || files.holds(input.Backup),
                 "the backup is kept, in place or set aside");
    const std::map<std::string, std::string> before_save = files.Files;
    if (files.allocation_failed()) {
        fuzz_require(loaded == 0, "a load that runs out of memory reads nothing");
        fuzz_require(ping_list_save(path) == 0 && files.Files == before_save,
                     "nothing is saved after a load that ran out of memory");
        ping_store_reset();
        return 0;
    }
    if (loaded == 0 || hosts.empty()) {
        ping_store_reset();
        return 0;
    }

    const int written = ping_list_save(path);
    if (files.allocation_failed()) {
        fuzz_require(written == 0 && files.Files == before_save,
                     "a save that runs out of memory leaves the files as they were");
        ping_store_reset();
        return 0;
    }
    fuzz_require(written == 1, "a loaded list is saved");
    std::string saved;
    fuzz_require(files.get(path, saved), "the saved store is there");
    fuzz_require(saved == ping_hosts_serialise(hosts), "the store holds the list's bytes");
    fuzz_require(input.Store.empty() || files.holds(input.Store), "the store before the save is kept");

    // The saved store alone, loaded afresh.
    FuzzStoreFiles again;
    again.put(path, saved);
    store_prepare(again);
    fuzz_require(ping_list_load(path) == 1, "the saved store loads");
    fuzz_require(same_hosts(list_copy(), hosts), "the saved store loads as the list it was saved from");
    fuzz_require(again.set_aside_count() == 0, "the saved store is not set aside");
    fuzz_require(list_rows_copy(LIST_NETWORK_EVENTS).empty(), "the saved store loads without an event line");
    ping_store_reset();
    return 0;
}
