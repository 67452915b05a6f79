// The Windows event-log calls (advapi32) behind the event-log table.
#include <windows.h>

#include "eventlog/event_log_api.h"

namespace {

EventLogHandle log_open(const std::wstring& name) { return OpenEventLogW(nullptr, name.c_str()); }

bool log_record_count(EventLogHandle log, uint32_t& count) {
    DWORD value = 0;
    if (!GetNumberOfEventLogRecords(log, &value)) return false;
    count = value;
    return true;
}

bool log_oldest_record(EventLogHandle log, uint32_t& number) {
    DWORD value = 0;
    if (!GetOldestEventLogRecord(log, &value)) return false;
    number = value;
    return true;
}

EventLogReadResult log_read_backwards(EventLogHandle log, uint8_t* buffer, uint32_t size, uint32_t& bytes_read,
                                      uint32_t& needed) {
    DWORD read = 0;
    DWORD minimum = 0;
    if (ReadEventLogW(log, EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0, buffer, size, &read, &minimum)) {
        bytes_read = read;
        return EVENT_LOG_READ_OK;
    }
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && minimum > size) {
        needed = minimum;
        return EVENT_LOG_READ_TOO_SMALL;
    }
    return EVENT_LOG_READ_END;
}

void log_close(EventLogHandle log) { CloseEventLog(log); }

std::wstring log_account_name(const uint8_t* sid, uint32_t length) {
    if (sid == nullptr || length < 8 || !IsValidSid(const_cast<uint8_t*>(sid)) ||
        GetLengthSid(const_cast<uint8_t*>(sid)) > length)
        return {};
    wchar_t name[256] = {};
    wchar_t domain[256] = {};
    DWORD name_length = 256;
    DWORD domain_length = 256;
    SID_NAME_USE use{};
    if (!LookupAccountSidW(nullptr, const_cast<uint8_t*>(sid), name, &name_length, domain, &domain_length, &use))
        return {};
    return domain[0] ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

std::vector<std::wstring> log_names() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\EventLog", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD length = 255;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

const EventLogApi windows_event_log{.open = log_open,
                                    .record_count = log_record_count,
                                    .oldest_record = log_oldest_record,
                                    .read_backwards = log_read_backwards,
                                    .close = log_close,
                                    .account_name = log_account_name,
                                    .log_names = log_names};

}  // namespace

const EventLogApi& event_log_api_windows() { return windows_event_log; }
