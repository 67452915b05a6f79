// The drive monitor's entry points for start-up, on the program's real drives and windows.
#include "system/drive_monitor.h"

#include "system/drive_rescan.h"
#include "system/drive_watcher_round.h"

std::wstring drive_letters() { return drive_letters_read(drive_platform_default()); }

void drives_rescan() { drive_rescan_apply(drive_platform_default(), drive_ui_default()); }

void drive_filter_fill() { drive_filter_apply(drive_ui_default()); }

void drive_watcher_thread(int64_t) { drive_watcher_run(drive_platform_default(), drive_ui_default()); }
