// Facts about the machine and the moment that the start-up defaults depend on.
#pragma once

#include <string>

#include "core/shared_state.h"

// The processor's brand text from CPUID, as the processor gives it (may hold padding spaces).
std::wstring cpu_brand_text();

// Gathers the facts for shared_state_init: processor count, local hour and second, the roaming
// application data folder, the processor brand.
SharedStateFacts startup_facts_gather();

// The full path of the running program.
std::wstring program_path();
