// Processor clock, idle states and throttle from powrprof.dll; the time-stamp clock estimate.
#include "system/processor_power_win.h"

#include <cpuid.h>
#include <x86intrin.h>

#include <algorithm>

#include "system/system_libraries_win.h"

namespace {

constexpr int64_t POWER_RECORDS_MAX = 4096;  // more processors than any Windows supports

// Initial APIC id of the processor running us (CPUID leaf 1, EBX bits 24..31).
unsigned apic_id() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
    return ebx >> 24;
}

}  // namespace

bool processor_power_read(std::vector<PowerRecord>& records, int64_t logical_count) {
    const auto call = power_functions().power_information;
    if (!call) return false;
    // The call fills one record per processor of the computer and fails when the buffer is smaller,
    // whatever count WMI or the affinity mask gave us.
    const int64_t active = static_cast<int64_t>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
    const int64_t wanted = std::clamp<int64_t>(std::max(active, logical_count), 1, POWER_RECORDS_MAX);
    records.assign(static_cast<std::size_t>(wanted), PowerRecord{});
    // A failing call leaves the zero-filled records: clock and idle state read 0 for this step.
    call(ProcessorInformation, nullptr, 0, records.data(), static_cast<ULONG>(records.size() * sizeof(PowerRecord)));
    return true;
}

bool processor_throttle_read(int64_t& throttle) {
    const PowerFunctions& power = power_functions();
    if (!power.active_scheme || !power.read_processor_scheme) return false;
    UINT scheme = 0;
    if (!power.active_scheme(&scheme)) return false;
    MACHINE_PROCESSOR_POWER_POLICY policy{};
    if (!power.read_processor_scheme(scheme, &policy)) return false;
    throttle = static_cast<int8_t>(policy.ProcessorPolicyAc.DynamicThrottle);
    return true;
}

int64_t cpu_clock_estimate() {
    return clock_estimate_from_samples([] {
        ClockSample sample;
        sample.first_processor = apic_id();
        sample.first_ticks = __rdtsc();
        Sleep(100);
        sample.second_processor = apic_id();
        sample.second_ticks = __rdtsc();
        return sample;
    });
}
