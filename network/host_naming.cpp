// Host naming for the ping monitor: cleaning outside texts, bounded DNS answers, ARP results and the
// host-name lookup worker with its queue.
#include "network/host_naming.h"

#include <atomic>
#include <mutex>

#include "core/format_text.h"
#include "core/shared_state.h"
#include "core/watched_threads.h"
#include "network/ping_hosts.h"
#include "runtime/text.h"
#include "runtime/threads.h"
#include "runtime/worker_timer.h"

namespace {

bool printable(wchar_t c) {
    const auto code = static_cast<uint32_t>(c);
    if (code < 0x20 || (code >= 0x7F && code < 0xA0)) return false;  // C0, DEL, C1
    if (code == 0x2028 || code == 0x2029) return false;              // line and paragraph separators
    if ((code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069)) return false;  // direction
    if (code == 0x200E || code == 0x200F || code == 0xFEFF) return false;
    return true;
}

bool label_char(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-';
}

// PING_ADD_QUEUE is the queue; this lock keeps its take-and-remove whole against adds and clears.
std::mutex queue_lock;
bool worker_active = false;  // under queue_lock: a worker runs and will look at the queue again
std::atomic<uint32_t (*)(const std::wstring&)> worker_resolve{nullptr};

std::vector<std::wstring> queue_words(const std::wstring& queue) {
    std::vector<std::wstring> words;
    for (std::wstring& word : text_split(queue, L' ')) {
        word = text_trim(word);
        if (!word.empty()) words.push_back(std::move(word));
    }
    return words;
}

std::wstring queue_join(const std::vector<std::wstring>& words) {
    std::wstring text;
    for (const std::wstring& word : words) {
        if (!text.empty()) text += L' ';
        text += word;
    }
    return text;
}

void dns_resolve_thread(int64_t) {
    while (true) {
        if (const auto resolve = worker_resolve.load()) lookup_worker_run(resolve);
        // Names added while the run was ending found this worker active: it takes them before it ends.
        std::lock_guard guard(queue_lock);
        if (SharedInts[QUIT_FLAG].load() > 0 || text_trim(shared_text(PING_ADD_QUEUE)).empty()) {
            worker_active = false;
            SharedQuads[PING_LOOKUP_THREAD] = 0;
            return;
        }
    }
}

}  // namespace

std::wstring host_text_clean(std::wstring_view text) {
    std::wstring clean;
    clean.reserve(text.size());
    for (const wchar_t c : text) {
        if (printable(c)) clean += c;
    }
    return clean;
}

std::wstring host_name_from_ptr(std::wstring_view name) {
    std::wstring clean = host_text_clean(name);
    while (!clean.empty() && clean.back() == L'.') clean.pop_back();
    clean = text_lower_ascii(text_trim(clean));
    clean.resize(text_cut(clean, PING_HOST_TEXT_MAX).size());
    return clean;
}

bool dns_name_valid(std::wstring_view name) {
    if (name.empty() || name.size() > 253) return false;
    int labels = 0;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find(L'.', start);
        if (end == std::wstring_view::npos) end = name.size();
        const std::wstring_view label = name.substr(start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == L'-' || label.back() == L'-') return false;
        for (const wchar_t c : label) {
            if (!label_char(c)) return false;
        }
        ++labels;
        start = end + 1;
    }
    return labels >= 2;
}

int is_private_ipv4(uint32_t address) {
    const uint32_t first = address & 0xFF;
    const uint32_t second = (address >> 8) & 0xFF;
    if (first == 10) return 1;
    if (first == 172 && second >= 16 && second <= 31) return 1;
    if (first == 192 && second == 168) return 1;
    return 0;
}

std::wstring reverse_query_name(uint32_t address) {
    return std::to_wstring(address >> 24) + L"." + std::to_wstring((address >> 16) & 0xFF) + L"." +
           std::to_wstring((address >> 8) & 0xFF) + L"." + std::to_wstring(address & 0xFF) + L".IN-ADDR.ARPA";
}

std::wstring mac_text_from_arp(uint32_t status, const uint8_t* bytes, uint32_t length) {
    if (status != 0 || bytes == nullptr || length != 6) return {};
    bool all_zero = true;
    bool all_one = true;
    for (uint32_t i = 0; i < 6; ++i) {
        all_zero = all_zero && bytes[i] == 0x00;
        all_one = all_one && bytes[i] == 0xFF;
    }
    if (all_zero || all_one) return {};
    std::wstring text;
    for (uint32_t i = 0; i < 6; ++i) {
        if (i > 0) text += L':';
        text += HEX_DIGITS[bytes[i] >> 4];
        text += HEX_DIGITS[bytes[i] & 0x0F];
    }
    return text;
}

uint32_t dns_resolve_with(DnsQueryFirst query, const std::wstring& name) {
    if (query == nullptr) return 0;
    std::wstring current = name;
    for (int hop = 0; hop <= DNS_CNAME_HOPS_MAX; ++hop) {
        const DnsFirstRecord record = query(current, DNS_RECORD_A);
        if (!record.answered) return 0;
        if (record.type == DNS_RECORD_A) return record.address;
        if (record.type != DNS_RECORD_CNAME || record.target.empty()) return 0;
        current = record.target;
    }
    return 0;
}

std::wstring dns_reverse_with(DnsQueryFirst query, uint32_t address) {
    if (query == nullptr) return {};
    const DnsFirstRecord record = query(reverse_query_name(address), DNS_RECORD_PTR);
    if (!record.answered || record.type != DNS_RECORD_PTR) return {};
    return host_name_from_ptr(record.target);
}

void lookup_queue_add(std::wstring_view names) {
    std::lock_guard guard(queue_lock);
    std::vector<std::wstring> words = queue_words(shared_text(PING_ADD_QUEUE));
    for (std::wstring& word : queue_words(std::wstring(names))) words.push_back(std::move(word));
    shared_text_set(PING_ADD_QUEUE, queue_join(words));
}

std::wstring lookup_queue_take() {
    std::lock_guard guard(queue_lock);
    std::vector<std::wstring> words = queue_words(shared_text(PING_ADD_QUEUE));
    if (words.empty()) {
        shared_text_set(PING_ADD_QUEUE, L"");
        return {};
    }
    std::wstring name = words.front();
    words.erase(words.begin());
    shared_text_set(PING_ADD_QUEUE, queue_join(words));
    return name;
}

void lookup_queue_clear() {
    std::lock_guard guard(queue_lock);
    shared_text_set(PING_ADD_QUEUE, L"");
}

bool lookup_queue_empty() {
    std::lock_guard guard(queue_lock);
    return text_trim(shared_text(PING_ADD_QUEUE)).empty();
}

void lookup_worker_run(uint32_t (*resolve)(const std::wstring& name)) {
    const WorkerTimerOwner steps = worker_timer_make(10);
    while (SharedInts[QUIT_FLAG].load() <= 0 && !lookup_queue_empty()) {
        // The monitor takes each result within a pass of its loop; until then the slot is not free.
        if (SharedInts[PING_REQ_ADD_HOST].load(std::memory_order_acquire) != 0) {
            if (worker_timer_wait(steps.get()) == WORKER_QUIT) return;
            continue;
        }
        const std::wstring name = lookup_queue_take();
        if (name.empty()) return;
        shared_text_set(PING_ADD_NAME, name);
        const uint32_t address = resolve(name);
        if (SharedInts[QUIT_FLAG].load() > 0) return;
        SharedInts[PING_REQ_ADD_HOST].store(address == 0 ? -1 : static_cast<int32_t>(address),
                                            std::memory_order_release);
    }
}

void lookup_worker_start(uint32_t (*resolve)(const std::wstring& name)) {
    std::lock_guard guard(queue_lock);
    worker_resolve = resolve;
    if (worker_active) return;  // the running worker takes the new names too
    worker_active = true;
    const int64_t thread = thread_create(dns_resolve_thread, 0);
    if (thread == 0) {
        worker_active = false;
        return;
    }
    SharedQuads[PING_LOOKUP_THREAD] = thread;
    exit_watch_thread(thread);
}

int64_t lookup_worker_thread() { return SharedQuads[PING_LOOKUP_THREAD].load(); }
