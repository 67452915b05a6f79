// The drive watcher's loop on the native build: a round of work, then 100 ms of sleep, until QUIT_FLAG is above 0.
#include <chrono>
#include <thread>

#include "core/shared_state.h"
#include "system/drive_watcher_round.h"

void drive_watcher_run(const DrivePlatform& platform, const DriveUi& ui) {
    DriveWatcherState state;
    drive_watcher_start();
    do {
        drive_watcher_round(state, platform, ui);
        if (SharedInts[QUIT_FLAG].load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        drive_watcher_round_end(ui);
    } while (SharedInts[QUIT_FLAG].load() <= 0);
}
