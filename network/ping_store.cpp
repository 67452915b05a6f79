// The ping host store "SX-Ping.json" and its ".bak".
#include "network/ping_store.h"

#include <chrono>
#include <climits>
#include <cstdint>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

#include <nlohmann/json.hpp>

#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "core/json_file_store.h"
#include "core/shared_state.h"
#include "network/host_naming.h"
#include "network/ping_hosts.h"
#include "runtime/file_io.h"
#include "runtime/json_store.h"
#include "runtime/text.h"

namespace {

void report(const std::wstring& text) { event_line_add(LIST_NETWORK_EVENTS, text); }

// The members of a host in the store's order; each is read by name.
enum HostMember {
    INIT,
    ACTV,
    SENT,
    RECV,
    LOST,
    TIME,
    BEST,
    WORS,
    DOWN,
    PTTL,
    PTOS,
    LAST,
    VALU,
    SORT,
    HILI,
    CFOR,
    CBAK,
    HOST,
    ADDR,
    PV,
    OTHER
};
constexpr std::string_view HOST_MEMBERS[] = {"Init", "Actv", "Sent", "Recv", "Lost", "Time", "Best",
                                             "Wors", "Down", "PTTL", "PTOS", "Last", "Valu", "Sort",
                                             "HiLi", "CFor", "CBak", "Host", "Addr", "PV"};

HostMember host_member(std::string_view key) {
    for (size_t i = 0; i < std::size(HOST_MEMBERS); ++i) {
        if (HOST_MEMBERS[i] == key) return static_cast<HostMember>(i);
    }
    return OTHER;
}

int32_t* int32_field(PSys& host, HostMember member) {
    switch (member) {
        case ACTV: return &host.Actv;
        case SENT: return &host.Sent;
        case RECV: return &host.Recv;
        case LOST: return &host.Lost;
        case TIME: return &host.Time;
        case BEST: return &host.Best;
        case WORS: return &host.Wors;
        case PTTL: return &host.PTTL;
        case PTOS: return &host.PTOS;
        case LAST: return &host.Last;
        case HILI: return &host.HiLi;
        case CFOR: return &host.CFor;
        case CBAK: return &host.CBak;
        default: return nullptr;
    }
}

int64_t* int64_field(PSys& host, HostMember member) {
    switch (member) {
        case DOWN: return &host.Down;
        case VALU: return &host.Valu;
        case SORT: return &host.Sort;
        default: return nullptr;
    }
}

// A text member of the file, cleaned and cut to its width.
std::wstring text_member(const std::string& utf8, size_t width) {
    std::wstring text = host_text_clean(wide_from_utf8(utf8));
    text.resize(text_cut(text, width).size());
    return text;
}

// Reads the host list event by event, keeping at most hosts_max hosts (the first ones) with at most samples_max
// samples each (the newest: samples are stored oldest first). Every element of the root array is a host; a member
// that is missing or of another type leaves its field 0 or empty; of a member given twice the last one counts.
class PingHostsReader : public JsonStoreReader {
public:
    PingHostsReader(bool keep, size_t hosts_max, size_t samples_max)
        : Keep(keep), HostsMax(hosts_max), SamplesMax(samples_max) {}

    std::vector<PSys> Hosts;

    bool null() override { return scalar(nullptr); }
    bool boolean(bool value) override { return scalar(value); }
    bool number_integer(number_integer_t value) override { return whole(value); }
    bool number_unsigned(number_unsigned_t value) override {
        return value <= static_cast<uint64_t>(INT64_MAX) ? whole(static_cast<int64_t>(value)) : scalar(value);
    }
    bool number_float(number_float_t value, const string_t&) override { return scalar(value); }
    bool string(string_t& value) override {
        if (top() == IN_HOST && (Member == INIT || Member == HOST || Member == ADDR)) {
            if (!element_begin()) return false;
            PSys& host = Hosts.back();
            if (Member == INIT) host.Init = text_member(value, 32);
            if (Member == HOST) host.Host = text_member(value, PING_HOST_TEXT_MAX);
            if (Member == ADDR) host.Addr = text_member(value, 15);
            return true;
        }
        return scalar(nullptr);  // a text anywhere else counts as a value of the wrong type
    }
    bool start_object(std::size_t) override {
        if (Depth == 0) return refuse();
        if (!element_begin()) return false;
        const Context at = top();
        push(at == IN_ROOT && HostKept ? IN_HOST : at == IN_SAMPLES ? IN_SAMPLE : IN_SKIP);
        return true;
    }
    bool start_array(std::size_t) override {
        if (Depth == 0) {
            push(IN_ROOT);
            return true;
        }
        if (!element_begin()) return false;
        push(top() == IN_HOST && Member == PV ? IN_SAMPLES : IN_SKIP);
        return true;
    }
    bool end_object() override {
        --Depth;
        return true;
    }
    bool end_array() override {
        if (--Depth == 0) left_out_describe();
        return true;
    }
    bool key(string_t& key) override {
        if (top() == IN_HOST) {
            Member = host_member(key);
            PSys& host = Hosts.back();
            // The member's value replaces what an earlier member of the same name gave.
            if (int32_t* field = int32_field(host, Member)) *field = 0;
            if (int64_t* field = int64_field(host, Member)) *field = 0;
            if (Member == INIT) host.Init.clear();
            if (Member == HOST) host.Host.clear();
            if (Member == ADDR) host.Addr.clear();
            if (Member == PV) host.PV.clear();
        } else if (top() == IN_SAMPLE) {
            SampleMember = key.size() != 1 ? 0 : key[0] == 'S' ? 1 : key[0] == 'T' ? 2 : 0;
            if (SampleMember == 1) Sample->S = 0;
            if (SampleMember == 2) Sample->T = 0;
        }
        return true;
    }

private:
    enum Context { IN_SKIP, IN_ROOT, IN_HOST, IN_SAMPLES, IN_SAMPLE };

    Context top() const { return Depth == 0 ? IN_SKIP : Stack[Depth - 1]; }
    void push(Context context) { Stack[Depth++] = context; }

    bool refuse() {
        Refusal = L"the file does not hold a list of hosts";
        return false;
    }

    // A value starts: in the root array it is the next host, in a sample list the next sample.
    bool element_begin() {
        if (Depth == 0) return refuse();
        if (top() == IN_ROOT) {
            ++HostsSeen;
            HostKept = Keep && Hosts.size() < HostsMax;
            if (HostKept) {
                PSys host;
                host.Best = 0;
                host.Wors = 0;
                Hosts.push_back(std::move(host));
            }
        } else if (top() == IN_SAMPLES) {
            std::deque<PValues>& samples = Hosts.back().PV;
            if (samples.size() >= SamplesMax) {
                samples.pop_front();
                SamplesCut = true;
            }
            samples.push_back({0, 0});
            Sample = &samples.back();
        }
        return true;
    }

    // A whole number, the values of nearly every member: read without the general conversion.
    bool whole(int64_t number) {
        const Context at = top();
        if (at == IN_SAMPLE) {
            if (SampleMember == 1) Sample->S = number;
            if (SampleMember == 2) Sample->T = number;
            return true;
        }
        if (at != IN_HOST) return scalar(number);
        PSys& host = Hosts.back();
        if (int32_t* field = int32_field(host, Member)) {
            if (number >= INT32_MIN && number <= INT32_MAX) *field = static_cast<int32_t>(number);
        } else if (int64_t* field = int64_field(host, Member)) {
            *field = number;
        }
        return true;
    }

    bool scalar(const nlohmann::json& value) {
        if (!element_begin()) return false;
        int64_t number = 0;
        if (top() == IN_HOST) {
            PSys& host = Hosts.back();
            if (int32_t* field = int32_field(host, Member)) {
                if (json_whole_number(value, INT32_MIN, INT32_MAX, number)) *field = static_cast<int32_t>(number);
            } else if (int64_t* field = int64_field(host, Member)) {
                if (json_whole_number(value, INT64_MIN, INT64_MAX, number)) *field = number;
            }
        } else if (top() == IN_SAMPLE && SampleMember != 0) {
            if (json_whole_number(value, INT64_MIN, INT64_MAX, number))
                (SampleMember == 1 ? Sample->S : Sample->T) = number;
        }
        return true;
    }

    void left_out_describe() {
        if (HostsSeen > HostsMax) {
            LeftOut = std::to_wstring(HostsSeen) + L" hosts, of which the first " + std::to_wstring(HostsMax) +
                      L" were loaded";
        }
        if (SamplesCut) {
            if (!LeftOut.empty()) LeftOut += L"; ";
            LeftOut += L"hosts with more than " + std::to_wstring(SamplesMax) + L" samples, of which the newest " +
                       std::to_wstring(SamplesMax) + L" were loaded";
        }
    }

    bool Keep;
    size_t HostsMax;
    size_t SamplesMax;
    Context Stack[JSON_STORE_MAX_DEPTH] = {};  // the parser opens no more containers than that
    int Depth = 0;
    HostMember Member = OTHER;
    int SampleMember = 0;       // 1 "S", 2 "T"
    PValues* Sample = nullptr;  // the sample being read (a deque keeps its elements in place)
    bool HostKept = false;
    size_t HostsSeen = 0;
    bool SamplesCut = false;
};

size_t limit_of(int32_t value) { return value > 0 ? static_cast<size_t>(value) : SIZE_MAX; }

JsonFileStore& file_store() {
    static JsonFileStore store(
        JsonStoreFormat{L"Ping host list", report, 0, [](bool keep) -> std::unique_ptr<JsonStoreReader> {
                            // The same limits as the list itself: a list the program made is always loaded whole.
                            return std::make_unique<PingHostsReader>(keep, limit_of(SharedInts[PING_HOSTS_MAX].load()),
                                                                     limit_of(SharedInts[PING_SAMPLES_MAX].load()));
                        }});
    return store;
}

void hosts_write(JsonStoreWriter& out, const std::vector<PSys>& hosts) {
    out.raw("[");
    bool first = true;
    for (const PSys& host : hosts) {
        out.raw(first ? "{\"Init\":" : ",{\"Init\":");
        first = false;
        out.text(host.Init);
        const std::pair<std::string_view, int64_t> numbers[] = {
            {",\"Actv\":", host.Actv}, {",\"Sent\":", host.Sent}, {",\"Recv\":", host.Recv}, {",\"Lost\":", host.Lost},
            {",\"Time\":", host.Time}, {",\"Best\":", host.Best}, {",\"Wors\":", host.Wors}, {",\"Down\":", host.Down},
            {",\"PTTL\":", host.PTTL}, {",\"PTOS\":", host.PTOS}, {",\"Last\":", host.Last}, {",\"Valu\":", host.Valu},
            {",\"Sort\":", host.Sort}, {",\"HiLi\":", host.HiLi}, {",\"CFor\":", host.CFor}, {",\"CBak\":", host.CBak}};
        for (const auto& [name, value] : numbers) {
            out.raw(name);
            out.number(value);
        }
        out.raw(",\"Host\":");
        out.text(host.Host);
        out.raw(",\"Addr\":");
        out.text(host.Addr);
        out.raw(",\"PV\":[");
        bool first_sample = true;
        for (const PValues& sample : host.PV) {
            out.raw(first_sample ? "{\"S\":" : ",{\"S\":");
            first_sample = false;
            out.number(sample.S);
            out.raw(",\"T\":");
            out.number(sample.T);
            out.raw("}");
        }
        out.raw("]}");
    }
    out.raw("]");
}

// Takes the list's lock, giving up after limit_ms (negative: no limit).
bool list_lock_take(int limit_ms) {
    if (limit_ms < 0) {
        PingListMutex.lock();
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!PingListMutex.try_lock()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

std::wstring ping_store_path() {
    std::wstring name;
    {
        std::lock_guard guard(DataFilesLock);
        name = DataFiles[DATA_FILE_PING].file_name;
    }
    return data_folder_path() + (name.empty() ? std::wstring(L"SX-Ping.json") : name);
}

std::wstring ping_backup_path(std::wstring_view path) { return json_store_backup_path(path); }

std::string ping_hosts_serialise(const std::vector<PSys>& hosts) {
    std::string bytes;
    JsonStoreWriter out(
        [&bytes](const char* data, size_t size) {
            bytes.append(data, size);
            return true;
        },
        {});
    hosts_write(out, hosts);
    out.finish();
    return bytes;
}

bool ping_hosts_parse(std::string_view bytes, std::vector<PSys>& hosts, std::wstring& error) {
    PingHostsReader reader(true, SIZE_MAX, SIZE_MAX);
    if (json_store_read_bytes(bytes, reader, 0, error) != JSON_READ_OK) return false;
    hosts = std::move(reader.Hosts);
    return true;
}

int ping_list_load(const std::wstring& path) {
    JsonStoreLoaded loaded = json_file_store_load(file_store(), path);
    if (!loaded.Reader && !loaded.FirstRun) return 0;
    std::vector<PSys> hosts;
    if (loaded.Reader) hosts = std::move(static_cast<PingHostsReader&>(*loaded.Reader).Hosts);
    std::lock_guard guard(PingListMutex);
    PingHostList.assign(std::make_move_iterator(hosts.begin()), std::make_move_iterator(hosts.end()));
    return 1;
}

int ping_list_save(const std::wstring& path, int lock_limit_ms) {
    JsonFileStore& store = file_store();
    // Before a load has succeeded the list holds at most this run's hosts; the stored ones must survive.
    if (!store.Ready.load()) return 0;
    if (!json_file_store_may_save(store, path)) {
        data_folder_panel_refresh_request();
        return 0;
    }
    if (!list_lock_take(lock_limit_ms)) {
        report(L"Ping host list not saved: the list stayed busy");
        return 0;
    }
    std::vector<PSys> hosts;
    try {
        size_t samples = 0;
        for (const PSys& host : PingHostList) samples += host.PV.size();
        store.Calls.allocate(PingHostList.size() * sizeof(PSys) + samples * sizeof(PValues));
        hosts.assign(PingHostList.begin(), PingHostList.end());
    } catch (const std::bad_alloc&) {
        PingListMutex.unlock();
        hosts = {};
        json_file_store_out_of_memory(store, path);
        data_folder_panel_refresh_request();
        return 0;
    }
    PingListMutex.unlock();

    const int written = json_file_store_save(
        store, path, hosts.empty() ? std::function<void(JsonStoreWriter&)>() : [&hosts](JsonStoreWriter& out) {
            hosts_write(out, hosts);
        });
    data_folder_panel_refresh_request();
    return written;
}

void ping_store_reset() { json_file_store_reset(file_store()); }

void ping_store_calls_set(const JsonStoreCalls& calls) { file_store().Calls = calls; }
