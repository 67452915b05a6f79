// The atomic save under crashes: a writer process is killed at random moments while it saves, and every
// time the store and its backup are found whole, old or new.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "fakes/store_writer/store_format.h"
#include "files_test_support.h"

namespace {

TEST(StoreAtomicSave, KilledWriterLeavesAWholeOldOrNewFile) {
    TempFolder temp;
    const std::filesystem::path store = temp.Path / "SX-Store.json";
    ASSERT_TRUE(file_write_atomic(store, store_contents(0), false));
    std::mt19937 random(12345);
    int64_t newest = 0;
    int changed = 0;
    for (int round = 1; round <= 300; ++round) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            uint32_t version = static_cast<uint32_t>(round) * 100000u;
            for (;;) {
                if (!file_write_atomic(store, store_contents(++version), true)) _exit(1);
                // After the first save the parent's kill may come at any moment of the later ones.
                if (started[1] >= 0) {
                    const char byte = 1;
                    if (write(started[1], &byte, 1) != 1) _exit(1);
                    close(started[1]);
                    started[1] = -1;
                }
            }
        }
        close(started[1]);
        char byte = 0;
        ASSERT_EQ(read(started[0], &byte, 1), 1);
        close(started[0]);
        usleep(std::uniform_int_distribution<int>(0, 4000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own in round " << round;

        std::string bytes;
        ASSERT_TRUE(file_read_all(store, bytes, 1 << 20)) << round;
        const int64_t version = store_version(bytes);
        ASSERT_GE(version, 0) << "torn store in round " << round;
        if (version != newest) ++changed;
        newest = version;
        std::string backup;
        if (file_read_all(file_backup_path(store), backup, 1 << 20)) {
            ASSERT_GE(store_version(backup), 0) << "torn backup in round " << round;
        }
    }
    // Every round saved at least once before it was killed.
    EXPECT_EQ(changed, 300);
}

}  // namespace
