// Binding of the optional power (powrprof.dll) and performance-counter (pdh.dll) libraries by name.
#include "system/system_libraries_win.h"

#include "core/shared_state.h"
#include "system/system_monitor.h"

namespace {

constexpr int64_t POWRPROF_LIBRARY_NUMBER = 115;
constexpr int64_t PDH_LIBRARY_NUMBER = 118;

HMODULE PowrprofModule = nullptr;
HMODULE PdhModule = nullptr;
PdhFunctions Pdh;
PowerFunctions Power;

template <typename T>
void bind(HMODULE module, T& target, const char* name) {
    target = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

HMODULE system_library_load(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its loader update does not know the flag.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH - 1) return nullptr;
        std::wstring path(folder, length);
        path += L"\\";
        path += name;
        module = LoadLibraryW(path.c_str());
    }
    return module;
}

const PdhFunctions& pdh_functions() { return Pdh; }
const PowerFunctions& power_functions() { return Power; }

void system_libraries_load() {
    if (!PowrprofModule) PowrprofModule = system_library_load(L"powrprof.dll");
    if (PowrprofModule) {
        bind(PowrprofModule, Power.power_information, "CallNtPowerInformation");
        bind(PowrprofModule, Power.active_scheme, "GetActivePwrScheme");
        bind(PowrprofModule, Power.read_processor_scheme, "ReadProcessorPwrScheme");
    }
    // Without the processor information the library is of no use to us: the clock is estimated instead.
    SharedQuads[POWRPROF_LIBRARY] = Power.power_information ? POWRPROF_LIBRARY_NUMBER : 0;

    if (!PdhModule) PdhModule = system_library_load(L"pdh.dll");
    if (PdhModule) {
        bind(PdhModule, Pdh.open_query, "PdhOpenQueryW");
        bind(PdhModule, Pdh.add_counter, "PdhAddCounterW");
        bind(PdhModule, Pdh.collect, "PdhCollectQueryData");
        bind(PdhModule, Pdh.formatted_value, "PdhGetFormattedCounterValue");
        bind(PdhModule, Pdh.name_by_index, "PdhLookupPerfNameByIndexW");
        bind(PdhModule, Pdh.close_query, "PdhCloseQuery");
    }
    const bool pdh_usable =
        Pdh.open_query && Pdh.add_counter && Pdh.collect && Pdh.formatted_value && Pdh.name_by_index;
    SharedQuads[PDH_LIBRARY] = pdh_usable ? PDH_LIBRARY_NUMBER : 0;
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
