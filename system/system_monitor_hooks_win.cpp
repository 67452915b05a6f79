// The windowing side's hooks that the system sampler calls.
#include "system/system_monitor.h"

namespace {

SystemMonitorHooks installed;

}  // namespace

void system_monitor_hooks_set(const SystemMonitorHooks& hooks) { installed = hooks; }

const SystemMonitorHooks& system_monitor_hooks() { return installed; }
