// Which steps a round of the system sampler runs: memory and the per-second step each new second, the
// processor step every SAMPLER_CPU_STEP_MS, the desktop check every SAMPLER_DESKTOP_ROUNDS rounds.
#pragma once

#include <cstdint>

inline constexpr int SAMPLER_ROUND_MS = 125;
inline constexpr int64_t SAMPLER_CPU_STEP_MS = 2500;
inline constexpr int64_t SAMPLER_DESKTOP_ROUNDS = 120;

// The sampler's clocks; the start values make the first round run the processor and per-second steps.
struct SamplerClock {
    int64_t round = 0;
    int64_t memory_second = 0;  // second of the last memory step (0 at start: see below)
    int64_t last_second = -1;   // second of the last per-second step
    int64_t next_cpu_ms = 0;    // millisecond clock after which the next processor step runs
};

struct SamplerPlan {
    bool memory = false;
    bool processor = false;
    bool per_second = false;
    bool desktop = false;
};

// Counts the round and decides its steps. second is the wall clock's seconds field (0..59), now_ms the
// millisecond clock. While quitting only the desktop check may still run. A memory step in the second 0
// of the first round waits for the next second, as the start value of memory_second says.
SamplerPlan sampler_plan_round(SamplerClock& clock, int second, int64_t now_ms, bool realtime_memory, bool quitting);
