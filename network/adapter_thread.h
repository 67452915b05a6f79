// The network adapter thread: interface reads, traffic cells, lines and graphs, the internet state and the
// rescans, in rounds of ADAPTER_ROUND_MS.
#pragma once

#include <cstdint>
#include <string>

#include "network/adapter_scan.h"

inline constexpr int ADAPTER_ROUND_MS = 100;
inline constexpr int ADAPTER_READ_ROUNDS = 10;            // rounds between two interface reads
inline constexpr int ADAPTER_FIRST_RESCAN_ROUNDS = 1200;  // the start-up scan was made by the main body
inline constexpr int ADAPTER_RESCAN_ROUNDS = 6000;

// The thread's own state between rounds.
struct AdapterThreadState {
    NetAdapters adapters{};  // the working copy, published after every read and scan
    int32_t rescan_countdown = ADAPTER_FIRST_RESCAN_ROUNDS;
    int32_t last_second = -1;  // the second of the minute of the last per-second checks
    int64_t send_bytes = 0;    // sums of the current read
    int64_t receive_bytes = 0;
    int64_t rounds = 0;
    int64_t scans = 0;  // rescans this thread made
};

// "Internet:" and the kind of connection and its extras, from InternetGetConnectedState's flags.
std::wstring internet_state_text(uint32_t flags);

// Before the first round: the working copy from the start-up scan.
void adapter_thread_start(AdapterThreadState& state);

// One round before its wait: the interface read when due, then the rescan when due or asked.
// `second` is the current second of the minute.
void adapter_thread_round(AdapterThreadState& state, const NetPlatform& platform, const NetUi& ui, int second);

// After the wait (and the Networks tab's clipboard copy when asked): the read countdown.
void adapter_thread_round_end();

// The loop: rounds every ADAPTER_ROUND_MS on a worker loop until QUIT_FLAG is above 0; a quit, also one that
// wakes the wait, ends it at once, without the round end or a pending copy.
void adapter_thread_run(const NetPlatform& platform, const NetUi& ui);

// The thread procedure (argument ignored).
void network_adapter_thread(int64_t argument);
