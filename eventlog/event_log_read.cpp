// The backwards read of an open event log, block by block.
#include "eventlog/event_log_read.h"

#include <vector>

#include "core/shared_state.h"

EventLogReadEnd event_log_read_backwards(const EventLogApi& api, EventLogHandle log,
                                         const std::function<bool(const EventRecordView&)>& visit,
                                         const std::function<void(int64_t)>& block_done) {
    std::vector<uint8_t> buffer(EVENT_LOG_BLOCK_SIZE);
    int64_t visited = 0;
    while (SharedInts[QUIT_FLAG].load(std::memory_order_relaxed) <= 0) {
        uint32_t bytes_read = 0;
        uint32_t needed = 0;
        const EventLogReadResult result =
            api.read_backwards(log, buffer.data(), static_cast<uint32_t>(buffer.size()), bytes_read, needed);
        if (result == EVENT_LOG_READ_TOO_SMALL) {
            if (needed <= buffer.size() || needed > EVENT_LOG_BLOCK_LIMIT) return EVENT_LOG_WALK_END;
            buffer.resize(needed);
            continue;
        }
        if (result != EVENT_LOG_READ_OK || bytes_read == 0) return EVENT_LOG_WALK_END;
        if (bytes_read > buffer.size()) bytes_read = static_cast<uint32_t>(buffer.size());
        bool stopped = false;
        visited += static_cast<int64_t>(
            event_records_walk(std::span<const uint8_t>(buffer.data(), bytes_read), [&](const EventRecordView& r) {
                if (visit(r)) return true;
                stopped = true;
                return false;
            }));
        if (block_done) block_done(visited);
        if (stopped) return EVENT_LOG_WALK_STOPPED;
    }
    return EVENT_LOG_WALK_QUIT;
}
