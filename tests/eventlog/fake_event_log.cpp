// The fake event log behind the event-log table.
#include "eventlog/fake_event_log.h"

#include <algorithm>

namespace {

FakeEventLog fake;
std::atomic<int> opens_seen{0};

struct FakeHandle {
    std::size_t next;  // records left to read: indexes next - 1 down to 0
};

EventLogHandle fake_open(const std::wstring& name) {
    if (fake.open_fails || std::find(fake.names.begin(), fake.names.end(), name) == fake.names.end()) return nullptr;
    ++fake.opens;
    ++opens_seen;
    return new FakeHandle{fake.records.size()};
}

bool fake_count(EventLogHandle, uint32_t& count) {
    count = static_cast<uint32_t>(fake.records.size());
    return true;
}

bool fake_oldest(EventLogHandle, uint32_t& number) {
    number = fake.numbers.empty() ? 0 : fake.numbers.front();
    return true;
}

EventLogReadResult fake_read(EventLogHandle log, uint8_t* buffer, uint32_t size, uint32_t& bytes_read,
                             uint32_t& needed) {
    auto* handle = static_cast<FakeHandle*>(log);
    ++fake.reads;
    fake.largest_buffer = std::max<std::size_t>(fake.largest_buffer, size);
    if (handle->next == 0) return EVENT_LOG_READ_END;
    const auto& first = fake.records[handle->next - 1];
    if (first.size() > size) {
        needed = static_cast<uint32_t>(first.size());
        return EVENT_LOG_READ_TOO_SMALL;
    }
    bytes_read = 0;
    while (handle->next > 0 && fake.records[handle->next - 1].size() <= size - bytes_read) {
        const auto& record = fake.records[--handle->next];
        std::copy(record.begin(), record.end(), buffer + bytes_read);
        bytes_read += static_cast<uint32_t>(record.size());
    }
    return EVENT_LOG_READ_OK;
}

void fake_close(EventLogHandle log) { delete static_cast<FakeHandle*>(log); }
std::wstring fake_account(const uint8_t*, uint32_t) { return L"HOST\\user"; }
std::vector<std::wstring> fake_names() { return fake.names; }

const EventLogApi fake_api{.open = fake_open,
                           .record_count = fake_count,
                           .oldest_record = fake_oldest,
                           .read_backwards = fake_read,
                           .close = fake_close,
                           .account_name = fake_account,
                           .log_names = fake_names};

}  // namespace

FakeEventLog& fake_event_log() { return fake; }
std::atomic<int>& fake_event_log_opens() { return opens_seen; }
const EventLogApi& fake_event_log_api() { return fake_api; }
