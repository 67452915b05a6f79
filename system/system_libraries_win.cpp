// Binding of the optional power (powrprof.dll) and performance-counter (pdh.dll) libraries by name.
#include "system/system_libraries_win.h"

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/system_library_win.h"
#include "system/system_monitor.h"

namespace {

HMODULE PowrprofModule = nullptr;
HMODULE PdhModule = nullptr;
PdhFunctions Pdh;
PowerFunctions Power;

}  // namespace

const PdhFunctions& pdh_functions() { return Pdh; }
const PowerFunctions& power_functions() { return Power; }

void system_libraries_load() {
    if (!PowrprofModule) PowrprofModule = system_library_load(L"powrprof.dll");
    if (PowrprofModule) {
        library_function_bind(PowrprofModule, "CallNtPowerInformation", Power.power_information);
        library_function_bind(PowrprofModule, "GetActivePwrScheme", Power.active_scheme);
        library_function_bind(PowrprofModule, "ReadProcessorPwrScheme", Power.read_processor_scheme);
    }
    // Without the processor information the library is of no use to us: the clock is estimated instead.
    SharedQuads[POWRPROF_LIBRARY] = Power.power_information ? LIBRARY_POWRPROF : 0;

    if (!PdhModule) PdhModule = system_library_load(L"pdh.dll");
    if (PdhModule) {
        library_function_bind(PdhModule, "PdhOpenQueryW", Pdh.open_query);
        library_function_bind(PdhModule, "PdhAddCounterW", Pdh.add_counter);
        library_function_bind(PdhModule, "PdhCollectQueryData", Pdh.collect);
        library_function_bind(PdhModule, "PdhGetFormattedCounterValue", Pdh.formatted_value);
        library_function_bind(PdhModule, "PdhLookupPerfNameByIndexW", Pdh.name_by_index);
        library_function_bind(PdhModule, "PdhCloseQuery", Pdh.close_query);
    }
    const bool pdh_usable =
        Pdh.open_query && Pdh.add_counter && Pdh.collect && Pdh.formatted_value && Pdh.name_by_index;
    SharedQuads[PDH_LIBRARY] = pdh_usable ? LIBRARY_PDH : 0;
}

void system_libraries_free() {
    SharedQuads[POWRPROF_LIBRARY] = 0;
    SharedQuads[PDH_LIBRARY] = 0;
    Pdh = PdhFunctions{};
    Power = PowerFunctions{};
    if (PowrprofModule) FreeLibrary(PowrprofModule);
    if (PdhModule) FreeLibrary(PdhModule);
    PowrprofModule = nullptr;
    PdhModule = nullptr;
}
