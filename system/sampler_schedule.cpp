// The system sampler's round schedule.
#include "system/sampler_schedule.h"

SamplerPlan sampler_plan_round(SamplerClock& clock, int second, int64_t now_ms, bool realtime_memory, bool quitting) {
    SamplerPlan plan;
    ++clock.round;
    if (!quitting) {
        if (realtime_memory || clock.memory_second != second) {
            plan.memory = true;
            clock.memory_second = second;
        }
        if (now_ms >= clock.next_cpu_ms) {
            plan.processor = true;
            clock.next_cpu_ms = now_ms + SAMPLER_CPU_STEP_MS;
        }
        if (clock.last_second != second) {
            plan.per_second = true;
            clock.last_second = second;
        }
    }
    plan.desktop = clock.round % SAMPLER_DESKTOP_ROUNDS == 0;
    return plan;
}
