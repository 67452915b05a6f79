// The drive watcher's loop: a round of work, then 100 ms of sleep, until QUIT_FLAG is above 0.
#include <windows.h>

#include "core/shared_state.h"
#include "system/drive_watcher_round.h"

void drive_watcher_run(const DrivePlatform& platform, const DriveUi& ui) {
    DriveWatcherState state;
    drive_watcher_start();
    do {
        drive_watcher_round(state, platform, ui);
        if (SharedInts[QUIT_FLAG].load() == 0) Sleep(100);
        drive_watcher_round_end(ui);
    } while (SharedInts[QUIT_FLAG].load() <= 0);
}
