// Binding of the optional power (powrprof.dll) and performance-counter (pdh.dll) libraries by name.
#include "system/system_libraries_win.h"

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"
#include "system/system_monitor.h"

namespace {

HMODULE pdh_module = nullptr;
PdhFunctions pdh;
PowerFunctions power;

// Binds a function of powrprof.dll, which is kept under its number so that the exit frees it in its turn.
template <typename Proc>
void power_function_bind(const char* name, Proc& target) {
    target = reinterpret_cast<Proc>(library_function(LIBRARY_POWRPROF, name));
}

}  // namespace

const PdhFunctions& pdh_functions() { return pdh; }
const PowerFunctions& power_functions() { return power; }

void system_libraries_load() {
    if (library_loaded(LIBRARY_POWRPROF) || library_load(LIBRARY_POWRPROF, L"powrprof.dll") != 0) {
        power_function_bind("CallNtPowerInformation", power.power_information);
        power_function_bind("GetActivePwrScheme", power.active_scheme);
        power_function_bind("ReadProcessorPwrScheme", power.read_processor_scheme);
    }
    // Without the processor information the library is of no use to us: the clock is estimated instead.
    SharedQuads[POWRPROF_LIBRARY] = power.power_information ? LIBRARY_POWRPROF : 0;

    if (!pdh_module) pdh_module = system_library_load(L"pdh.dll");
    if (pdh_module) {
        library_function_bind(pdh_module, "PdhOpenQueryW", pdh.open_query);
        library_function_bind(pdh_module, "PdhAddCounterW", pdh.add_counter);
        library_function_bind(pdh_module, "PdhCollectQueryData", pdh.collect);
        library_function_bind(pdh_module, "PdhGetFormattedCounterValue", pdh.formatted_value);
        library_function_bind(pdh_module, "PdhLookupPerfNameByIndexW", pdh.name_by_index);
        library_function_bind(pdh_module, "PdhCloseQuery", pdh.close_query);
    }
    const bool pdh_usable =
        pdh.open_query && pdh.add_counter && pdh.collect && pdh.formatted_value && pdh.name_by_index;
    SharedQuads[PDH_LIBRARY] = pdh_usable ? LIBRARY_PDH : 0;
}

void system_libraries_free() {
    SharedQuads[POWRPROF_LIBRARY] = 0;
    SharedQuads[PDH_LIBRARY] = 0;
    pdh = PdhFunctions{};
    power = PowerFunctions{};
    library_free(LIBRARY_POWRPROF);
    if (pdh_module) FreeLibrary(pdh_module);
    pdh_module = nullptr;
}
