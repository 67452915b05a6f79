// The event-log calls the Events tab and the disk-error watcher make, as a table of procedures: the program's
// wiring installs the Windows calls, the tests install fake logs built from bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using EventLogHandle = void*;

enum EventLogReadResult : int {
    EVENT_LOG_READ_OK = 0,         // bytes_read bytes of whole records were read
    EVENT_LOG_READ_TOO_SMALL = 1,  // the next record needs a buffer of `needed` bytes (ERROR_INSUFFICIENT_BUFFER)
    EVENT_LOG_READ_END = 2,        // no record left, or the read failed
};

struct EventLogApi {
    // Opens a log by name on this computer; nullptr when it cannot be opened.
    EventLogHandle (*open)(const std::wstring& name);
    // Number of records in the log; false when it cannot be read.
    bool (*record_count)(EventLogHandle log, uint32_t& count);
    // Number of the oldest record in the log; false when it cannot be read.
    bool (*oldest_record)(EventLogHandle log, uint32_t& number);
    // The next records, newest first (a sequential backwards read of the open handle).
    EventLogReadResult (*read_backwards)(EventLogHandle log, uint8_t* buffer, uint32_t size, uint32_t& bytes_read,
                                         uint32_t& needed);
    void (*close)(EventLogHandle log);
    // "DOMAIN\user" of a SID, or the empty text when it cannot be looked up.
    std::wstring (*account_name)(const uint8_t* sid, uint32_t length);
    // Names of the logs the event-log service knows; empty when they cannot be read.
    std::vector<std::wstring> (*log_names)();
};

// The calls in use. Until the wiring installs others, every log fails to open and no names are known.
const EventLogApi& event_log_api();

// Installs the calls: at start-up before the event page thread starts, in tests while no reader runs.
void event_log_api_set(const EventLogApi& api);

#ifdef _WIN32
// The Windows calls (advapi32).
const EventLogApi& event_log_api_windows();
#endif
