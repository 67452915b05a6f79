// The event-log calls in use, and the table of a program without an event log.
#include "eventlog/event_log_api.h"

#include <atomic>

namespace {

EventLogHandle no_open(const std::wstring&) { return nullptr; }
bool no_count(EventLogHandle, uint32_t&) { return false; }
EventLogReadResult no_read(EventLogHandle, uint8_t*, uint32_t, uint32_t&, uint32_t&) { return EVENT_LOG_READ_END; }
void no_close(EventLogHandle) {}
std::wstring no_account(const uint8_t*, uint32_t) { return {}; }
std::vector<std::wstring> no_names() { return {}; }

const EventLogApi no_event_log{.open = no_open,
                               .record_count = no_count,
                               .oldest_record = no_count,
                               .read_backwards = no_read,
                               .close = no_close,
                               .account_name = no_account,
                               .log_names = no_names};

EventLogApi installed = no_event_log;

}  // namespace

const EventLogApi& event_log_api() { return installed; }

void event_log_api_set(const EventLogApi& api) { installed = api; }
