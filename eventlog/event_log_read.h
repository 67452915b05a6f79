// The backwards read of an open event log, block by block, with a bigger buffer for a record that does not fit.
#pragma once

#include <cstdint>
#include <functional>

#include "eventlog/event_log_api.h"
#include "eventlog/event_record.h"

// Size of the first read buffer, and the most a single record may ask for (a larger request ends the read).
inline constexpr uint32_t EVENT_LOG_BLOCK_SIZE = 65536;
inline constexpr uint32_t EVENT_LOG_BLOCK_LIMIT = 16u << 20;

enum EventLogReadEnd : int {
    EVENT_LOG_WALK_END = 0,      // the log had no more records (or a read failed)
    EVENT_LOG_WALK_STOPPED = 1,  // visit returned false
    EVENT_LOG_WALK_QUIT = 2,     // QUIT_FLAG was raised between two blocks
};

// Reads the open log newest first and calls visit(record) for each record of each block until visit returns
// false, the log ends, or QUIT_FLAG is above 0. `block_done` (may be empty) is called after each block with
// the number of records visited so far. A record larger than the buffer is read again with a buffer of the
// size the log asks for.
EventLogReadEnd event_log_read_backwards(const EventLogApi& api, EventLogHandle log,
                                         const std::function<bool(const EventRecordView&)>& visit,
                                         const std::function<void(int64_t)>& block_done = {});
