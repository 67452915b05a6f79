// The ping host store "SX-Ping.json" and its ".bak".
#include "network/ping_store.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include <nlohmann/json.hpp>

#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "network/host_naming.h"
#include "network/ping_hosts.h"
#include "runtime/file_io.h"
#include "runtime/json_store.h"
#include "runtime/text.h"

namespace {

// Set by a load that read a list (or found none at all): until then a save could only destroy the user's hosts.
std::atomic<bool> load_succeeded{false};
std::atomic<bool> write_failure_reported{false};

std::wstring folder_part(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
}

std::wstring path_text(const std::filesystem::path& path) {
#if defined(_WIN32)
    return path.wstring();
#else
    const std::u8string bytes = path.u8string();
    return wide_from_utf8(std::string(bytes.begin(), bytes.end()));
#endif
}

void report(const std::wstring& text) { event_line_add(LIST_NETWORK_EVENTS, text); }

void file_remove(const std::wstring& path) {
    std::error_code error;
    std::filesystem::remove(file_path(path), error);
}

bool read_store(const std::wstring& path, std::string& bytes, std::vector<PSys>& hosts, std::wstring& why,
                FileError& error) {
    if (!file_read_all(file_path(path), bytes, JSON_STORE_MAX_BYTES, &error)) {
        why = file_error_text(error, JSON_STORE_MAX_BYTES);
        return false;
    }
    return ping_hosts_parse(bytes, hosts, why);
}

std::wstring text_member(const nlohmann::json& record, std::string_view key, size_t width) {
    std::wstring text = host_text_clean(json_get_text(record, key));
    if (text.size() > width) text.resize(width);
    return text;
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

std::wstring ping_backup_path(std::wstring_view path) {
    if (path.size() >= 5 && text_equal_nocase_ascii(path.substr(path.size() - 5), L".json")) {
        return std::wstring(path.substr(0, path.size() - 5)) + L".bak";
    }
    return std::wstring(path) + L".bak";
}

std::string ping_hosts_serialise(const std::vector<PSys>& hosts) {
    nlohmann::ordered_json root = nlohmann::ordered_json::array();
    for (const PSys& host : hosts) {
        nlohmann::ordered_json samples = nlohmann::ordered_json::array();
        for (const PValues& sample : host.PV) {
            nlohmann::ordered_json value = nlohmann::ordered_json::object();
            value["S"] = sample.S;
            value["T"] = sample.T;
            samples.push_back(std::move(value));
        }
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        object["Init"] = utf8_from_wide(host.Init);
        object["Actv"] = host.Actv;
        object["Sent"] = host.Sent;
        object["Recv"] = host.Recv;
        object["Lost"] = host.Lost;
        object["Time"] = host.Time;
        object["Best"] = host.Best;
        object["Wors"] = host.Wors;
        object["Down"] = host.Down;
        object["PTTL"] = host.PTTL;
        object["PTOS"] = host.PTOS;
        object["Last"] = host.Last;
        object["Valu"] = host.Valu;
        object["Sort"] = host.Sort;
        object["HiLi"] = host.HiLi;
        object["CFor"] = host.CFor;
        object["CBak"] = host.CBak;
        object["Host"] = utf8_from_wide(host.Host);
        object["Addr"] = utf8_from_wide(host.Addr);
        object["PV"] = std::move(samples);
        root.push_back(std::move(object));
    }
    return root.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

bool ping_hosts_parse(std::string_view bytes, std::vector<PSys>& hosts, std::wstring& error) {
    nlohmann::json root;
    if (!json_parse_text(bytes, root, error)) return false;
    if (!root.is_array()) {
        error = L"the file does not hold a list of hosts";
        return false;
    }
    std::vector<PSys> result;
    for (const nlohmann::json& element : root) {
        PSys host;
        host.Init = text_member(element, "Init", 32);
        host.Actv = json_get_int32(element, "Actv");
        host.Sent = json_get_int32(element, "Sent");
        host.Recv = json_get_int32(element, "Recv");
        host.Lost = json_get_int32(element, "Lost");
        host.Time = json_get_int32(element, "Time");
        host.Best = json_get_int32(element, "Best");
        host.Wors = json_get_int32(element, "Wors");
        host.Down = json_get_int64(element, "Down");
        host.PTTL = json_get_int32(element, "PTTL");
        host.PTOS = json_get_int32(element, "PTOS");
        host.Last = json_get_int32(element, "Last");
        host.Valu = json_get_int64(element, "Valu");
        host.Sort = json_get_int64(element, "Sort");
        host.HiLi = json_get_int32(element, "HiLi");
        host.CFor = json_get_int32(element, "CFor");
        host.CBak = json_get_int32(element, "CBak");
        host.Host = text_member(element, "Host", PING_HOST_TEXT_MAX);
        host.Addr = text_member(element, "Addr", 15);
        if (element.is_object()) {
            const auto samples = element.find("PV");
            if (samples != element.end() && samples->is_array()) {
                for (const nlohmann::json& sample : *samples) {
                    host.PV.push_back({json_get_int64(sample, "S"), json_get_int64(sample, "T")});
                }
            }
        }
        result.push_back(std::move(host));
    }
    hosts = std::move(result);
    return true;
}

int ping_list_load(const std::wstring& path) {
    const std::wstring backup = ping_backup_path(path);
    store_temporaries_remove(path);
    store_temporaries_remove(backup);
    std::string bytes;
    std::vector<PSys> hosts;
    std::wstring why;
    FileError error = FILE_OK;
    bool have = read_store(path, bytes, hosts, why, error);
    if (!have) {
        const bool missing = error == FILE_MISSING || (error == FILE_OK && bytes.empty());
        std::string backup_bytes;
        std::vector<PSys> backup_hosts;
        std::wstring backup_why;
        FileError backup_error = FILE_OK;
        const bool backup_read = read_store(backup, backup_bytes, backup_hosts, backup_why, backup_error);
        if (missing) {
            if (backup_read) {
                // The backup becomes the store again; it stays a backup as well.
                file_write_atomic(file_path(path), backup_bytes, false);
                hosts = std::move(backup_hosts);
                have = true;
            } else if (backup_error == FILE_MISSING) {
                have = true;  // a first run: nothing stored yet
            }
        } else {
            // Kept under another name, so that neither a save nor its backup step can destroy it.
            std::filesystem::path moved;
            const bool kept = file_set_aside(file_path(path), &moved);
            std::wstring text = L"Ping host list " + path + L" could not be read (" + why + L")";
            if (kept) text += L"; kept as " + path_text(moved);
            if (backup_read) {
                file_write_atomic(file_path(path), backup_bytes, false);
                hosts = std::move(backup_hosts);
                have = true;
                text += L"; its backup copy was loaded";
            } else {
                text += L"; the hosts are not loaded and the list is not saved in this run";
            }
            report(text);
        }
    }
    if (!have) return 0;
    {
        std::lock_guard guard(PingListMutex);
        PingHostList.assign(std::make_move_iterator(hosts.begin()), std::make_move_iterator(hosts.end()));
    }
    load_succeeded = true;
    return 1;
}

int ping_list_save(const std::wstring& path, int lock_limit_ms) {
    // Before a load has succeeded the list holds at most this run's hosts; the stored ones must survive.
    if (!load_succeeded.load()) return 0;
    if (!folder_exists(folder_part(path))) {
        data_folder_panel_refresh_request();
        return 0;
    }
    if (!list_lock_take(lock_limit_ms)) {
        report(L"Ping host list not saved: the list stayed busy");
        return 0;
    }
    std::vector<PSys> hosts;
    try {
        hosts.assign(PingHostList.begin(), PingHostList.end());
    } catch (...) {
        PingListMutex.unlock();
        return 0;
    }
    PingListMutex.unlock();

    const std::wstring backup = ping_backup_path(path);
    if (hosts.empty()) {
        file_remove(path);
        file_remove(backup);
        data_folder_panel_refresh_request();
        return 0;
    }
    const auto is_host_list = [](const std::string& old_bytes) {
        std::vector<PSys> old_hosts;
        std::wstring why;
        return ping_hosts_parse(old_bytes, old_hosts, why);
    };
    if (!json_store_replace(file_path(path), file_path(backup), ping_hosts_serialise(hosts), is_host_list)) {
        if (!write_failure_reported.exchange(true)) {
            report(L"Ping host list could not be saved to " + path + L"; it will be saved again later");
        }
        data_folder_panel_refresh_request();
        return 0;
    }
    write_failure_reported = false;
    data_folder_panel_refresh_request();
    return 1;
}

void ping_store_reset() {
    load_succeeded = false;
    write_failure_reported = false;
}
