// The functions of the optional power and performance-counter libraries, bound by name at start-up.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <pdh.h>
#include <powrprof.h>

// Each pointer is null when its library or the function is missing. Written by system_libraries_load
// before the sampler starts and only read afterwards.
struct PdhFunctions {
    decltype(&::PdhOpenQueryW) open_query = nullptr;
    decltype(&::PdhAddCounterW) add_counter = nullptr;
    decltype(&::PdhCollectQueryData) collect = nullptr;
    decltype(&::PdhGetFormattedCounterValue) formatted_value = nullptr;
    decltype(&::PdhLookupPerfNameByIndexW) name_by_index = nullptr;
    decltype(&::PdhCloseQuery) close_query = nullptr;
};

struct PowerFunctions {
    decltype(&::CallNtPowerInformation) power_information = nullptr;
    decltype(&::GetActivePwrScheme) active_scheme = nullptr;
    decltype(&::ReadProcessorPwrScheme) read_processor_scheme = nullptr;
};

const PdhFunctions& pdh_functions();
const PowerFunctions& power_functions();
