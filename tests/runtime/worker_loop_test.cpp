// The worker loop: what each quit order still runs after the quit, which copy requests a worker serves, and
// that rounds keep their period and a quit ends the wait at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "runtime/worker_loop.h"

namespace {

constexpr int COPY_TAB = 3;
constexpr int OTHER_TAB = 5;

// A loop run on the test's thread, written down as a trace: R a round, L the last round, C<tab> a copy,
// E a round end.
struct Trace {
    std::atomic<int32_t> quit{0};
    std::atomic<int32_t> request{-1};
    std::string text;
    int rounds = 0;
    int round_ends = 0;

    void quit_raise() {
        quit = 1;
        quit_event_set();
    }
    ~Trace() { quit_event_clear(); }
};

enum QuitAt { BEFORE_START, IN_ROUND, IN_ROUND_END, NEVER };

struct LoopRun {
    WorkerQuitOrder order;
    QuitAt quit_at;
    int at = 0;              // the round (from 1) in which the quit is raised
    int round_false = 0;     // the round that returns false (0: none)
    int request = COPY_TAB;  // the copy request while the loop runs
    bool copies = true;      // the loop is given the copy request
};

std::string run_loop(const LoopRun& run, int second_tab = -1) {
    Trace trace;
    trace.request = run.request;
    if (run.quit_at == BEFORE_START) trace.quit_raise();
    WorkerLoop loop;
    loop.period_ms = 1;
    loop.quit_order = run.order;
    loop.quit_flag = &trace.quit;
    loop.copy_request = run.copies ? &trace.request : nullptr;
    loop.copy_tab = COPY_TAB;
    loop.second_copy_tab = second_tab;
    worker_loop_run(
        loop,
        [&](bool last) {
            trace.text += last ? "L" : "R";
            ++trace.rounds;
            if (trace.rounds > 20) return false;  // a loop that would not end
            if (run.quit_at == IN_ROUND && trace.rounds == run.at) trace.quit_raise();
            return trace.rounds != run.round_false;
        },
        [&](int tab) { trace.text += "C" + std::to_string(tab); },
        [&] {
            trace.text += "E";
            ++trace.round_ends;
            if (run.quit_at == IN_ROUND_END && trace.round_ends == run.at) trace.quit_raise();
        });
    return trace.text;
}

TEST(WorkerLoop, EachQuitOrderRunsWhatItShouldAfterTheQuit) {
    struct Case {
        const char* name;
        LoopRun run;
        const char* trace;
    };
    const Case cases[] = {
        // At once: the quit ends the loop wherever it is seen; a pending copy is not served.
        {"at once, quit before the start", {WORKER_QUIT_AT_ONCE, BEFORE_START}, ""},
        {"at once, quit in the first round", {WORKER_QUIT_AT_ONCE, IN_ROUND, 1}, "R"},
        {"at once, quit in the third round", {WORKER_QUIT_AT_ONCE, IN_ROUND, 3}, "RC3ERC3ER"},
        {"at once, quit in a round end", {WORKER_QUIT_AT_ONCE, IN_ROUND_END, 2}, "RC3ERC3E"},
        {"at once, a round returns false", {WORKER_QUIT_AT_ONCE, NEVER, 0, 2}, "RC3ER"},
        // After the round end: the round that sees the quit still ends (and copies); the first round always runs.
        {"round end, quit before the start", {WORKER_QUIT_AFTER_ROUND_END, BEFORE_START}, "RC3E"},
        {"round end, quit in the second round", {WORKER_QUIT_AFTER_ROUND_END, IN_ROUND, 2}, "RC3ERC3E"},
        {"round end, quit in a round end", {WORKER_QUIT_AFTER_ROUND_END, IN_ROUND_END, 1}, "RC3E"},
        {"round end, a round returns false", {WORKER_QUIT_AFTER_ROUND_END, NEVER, 0, 2}, "RC3ER"},
        // After a last round: one more round, told so, with its round end.
        {"last round, quit before the start", {WORKER_QUIT_AFTER_LAST_ROUND, BEFORE_START}, "LC3E"},
        {"last round, quit in the second round", {WORKER_QUIT_AFTER_LAST_ROUND, IN_ROUND, 2}, "RC3ERC3ELC3E"},
        {"last round, quit in a round end", {WORKER_QUIT_AFTER_LAST_ROUND, IN_ROUND_END, 1}, "RC3ELC3E"},
        {"last round, a round returns false", {WORKER_QUIT_AFTER_LAST_ROUND, NEVER, 0, 2}, "RC3ER"},
    };
    for (const Case& c : cases) EXPECT_EQ(run_loop(c.run), c.trace) << c.name;
}

TEST(WorkerLoop, ACopyIsServedOnlyForTheWorkersOwnTabs) {
    struct Case {
        const char* name;
        int request;
        int second_tab;
        bool copies;
        const char* trace;
    };
    const Case cases[] = {
        {"its tab", COPY_TAB, -1, true, "RC3ERC3E"},
        {"its second tab", OTHER_TAB, OTHER_TAB, true, "RC5ERC5E"},
        {"another worker's tab", OTHER_TAB, -1, true, "RERE"},
        {"no request (an unused tab is -1 too)", -1, -1, true, "RERE"},
        {"a worker without a copy", COPY_TAB, -1, false, "RERE"},
    };
    for (const Case& c : cases) {
        LoopRun run{WORKER_QUIT_AT_ONCE, IN_ROUND_END, 2};
        run.request = c.request;
        run.copies = c.copies;
        EXPECT_EQ(run_loop(run, c.second_tab), c.trace) << c.name;
    }
}

TEST(WorkerLoop, RoundsKeepTheirPeriodAndAQuitEndsTheWaitAtOnce) {
    using Clock = std::chrono::steady_clock;
    for (const WorkerQuitOrder order :
         {WORKER_QUIT_AT_ONCE, WORKER_QUIT_AFTER_ROUND_END, WORKER_QUIT_AFTER_LAST_ROUND}) {
        SCOPED_TRACE(order);
        // Five rounds of 20 ms: not a spin.
        {
            Trace trace;
            WorkerLoop loop;
            loop.period_ms = 20;
            loop.quit_order = order;
            loop.quit_flag = &trace.quit;
            const Clock::time_point start = Clock::now();
            worker_loop_run(loop, [&](bool) {
                if (++trace.rounds == 5) trace.quit_raise();
                return true;
            });
            EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(75));
        }
        // A round of an hour, quit from another thread during its first wait: the loop ends long before.
        {
            Trace trace;
            WorkerLoop loop;
            loop.period_ms = 3'600'000;
            loop.quit_order = order;
            loop.quit_flag = &trace.quit;
            std::atomic<bool> waiting{false};
            std::thread quitter([&] {
                while (!waiting.load()) std::this_thread::yield();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                trace.quit_raise();
            });
            const Clock::time_point start = Clock::now();
            worker_loop_run(loop, [&](bool) {
                ++trace.rounds;
                waiting = true;
                return true;
            });
            quitter.join();
            EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
            EXPECT_LE(trace.rounds, 2);
        }
    }
}

}  // namespace
