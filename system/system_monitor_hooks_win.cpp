// The windowing side's hooks that the system sampler calls.
#include "system/system_monitor.h"

namespace {

SystemMonitorHooks Hooks;

}  // namespace

void system_monitor_hooks_set(const SystemMonitorHooks& hooks) { Hooks = hooks; }

const SystemMonitorHooks& system_monitor_hooks() { return Hooks; }
