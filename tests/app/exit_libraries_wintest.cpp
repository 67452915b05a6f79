// The exit's library frees: in their fixed order, only those loaded, and never the performance-counter library.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/exit_sequence_win.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/program_libraries.h"
#include "system/system_libraries_win.h"
#include "system/system_monitor.h"

namespace {

std::vector<int> freed;

void freed_note(int number) { freed.push_back(number); }

struct Library {
    SharedQuadIndex element;
    int number;
    const wchar_t* file;
};

// Loaded as start-up and the ping monitor load them, deliberately not in the order of the frees.
constexpr Library NUMBERED[] = {
    {PING_IPHLPAPI_LIBRARY, LIBRARY_PING_IPHLPAPI, L"iphlpapi.dll"},
    {DNSAPI_LIBRARY, LIBRARY_DNSAPI, L"dnsapi.dll"},
    {IPHLPAPI_LIBRARY, LIBRARY_IPHLPAPI, L"iphlpapi.dll"},
    {MPR_LIBRARY, LIBRARY_MPR, L"mpr.dll"},
};

class ExitLibraries : public ::testing::Test {
protected:
    void SetUp() override {
        freed.clear();
        library_free_observer_set(freed_note);
        system_libraries_load();  // powrprof.dll under 115, pdh.dll bound by the system monitor
        for (const Library& library : NUMBERED)
            SharedQuads[library.element] = library_load(library.number, library.file);
    }
    void TearDown() override {
        library_free_observer_set(nullptr);
        for (const Library& library : NUMBERED) {
            library_free(library.number);
            SharedQuads[library.element] = 0;
        }
        system_libraries_free();
    }
};

TEST_F(ExitLibraries, AreFreedInTheirOrderAndThePerformanceCounterLibraryStays) {
    ASSERT_NE(SharedQuads[POWRPROF_LIBRARY].load(), 0) << "powrprof.dll did not load with its functions";
    ASSERT_NE(SharedQuads[PDH_LIBRARY].load(), 0) << "pdh.dll did not load with its functions";
    for (const Library& library : NUMBERED) ASSERT_NE(SharedQuads[library.element].load(), 0) << library.number;

    exit_libraries_free();

    const std::vector<int> order{LIBRARY_POWRPROF, LIBRARY_MPR, LIBRARY_IPHLPAPI, LIBRARY_DNSAPI,
                                 LIBRARY_PING_IPHLPAPI};
    EXPECT_EQ(freed, order);
    EXPECT_NE(SharedQuads[PDH_LIBRARY].load(), 0);
    EXPECT_NE(GetModuleHandleW(L"pdh.dll"), nullptr) << "the performance-counter library was freed";
    EXPECT_NE(pdh_functions().open_query, nullptr);
}

TEST_F(ExitLibraries, OneWhoseElementIsZeroStaysLoaded) {
    SharedQuads[DNSAPI_LIBRARY] = 0;  // as when the DNS library was not usable
    exit_libraries_free();
    EXPECT_EQ(freed, (std::vector<int>{LIBRARY_POWRPROF, LIBRARY_MPR, LIBRARY_IPHLPAPI, LIBRARY_PING_IPHLPAPI}));
    EXPECT_TRUE(library_loaded(LIBRARY_DNSAPI));
}

}  // namespace
